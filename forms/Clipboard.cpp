#include "forms/Clipboard.h"

#include <vector>

#include "forms/DropTarget.h"
#include "forms/Handles.h"

namespace forms {

namespace {

class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ClipboardScope() {
        if (open_) CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool Open() const { return open_; }
private:
    bool open_;
};

std::optional<std::wstring> FirstFile() {
    const std::vector<std::wstring> names = DroppedFileNames(static_cast<HDROP>(GetClipboardData(CF_HDROP)));
    if (names.empty()) return std::nullopt;
    return names.front();
}

std::optional<std::wstring> Text() {
    GlobalMemoryLock lock(GetClipboardData(CF_UNICODETEXT));
    if (!lock.Data()) return std::nullopt;
    // Up to the terminator, and never past the block, whatever another program put there.
    const auto* text = static_cast<const wchar_t*>(lock.Data());
    const size_t room = lock.Size() / sizeof(wchar_t);
    size_t length = 0;
    while (length < room && text[length]) ++length;
    return std::wstring(text, length);
}

}  // namespace

TClipboardContent ReadClipboard(HWND owner) {
    ClipboardScope clipboard(owner);
    if (!clipboard.Open()) return {};
    TClipboardContent content;
    if (IsClipboardFormatAvailable(CF_HDROP)) content.firstFile = FirstFile();
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) content.text = Text();
    return content;
}

}  // namespace forms
