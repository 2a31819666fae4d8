#include "forms/Clipboard.h"

#include <shellapi.h>

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

class GlobalLockScope {
public:
    explicit GlobalLockScope(HANDLE memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockScope() {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const void* Data() const { return data_; }
    size_t Size() const { return data_ ? GlobalSize(memory_) : 0; }
private:
    HANDLE memory_;
    void* data_;
};

std::optional<std::wstring> FirstFile() {
    auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    if (!drop || DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return std::nullopt;
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    name.resize(DragQueryFileW(drop, 0, name.data(), length + 1));
    return name;
}

std::optional<std::wstring> Text() {
    GlobalLockScope lock(GetClipboardData(CF_UNICODETEXT));
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
