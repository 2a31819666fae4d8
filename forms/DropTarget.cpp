#include "forms/DropTarget.h"

#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string_view>
#include <utility>

#include "core/DroppedText.h"
#include "forms/Controls.h"
#include "forms/Handles.h"

namespace forms {

namespace {

using Microsoft::WRL::ComPtr;

// How the bytes of a format are meant.
enum class Encoding {
    Utf16,
    Ansi,
    XText,  // what Wine brings unchanged from X: UTF-16 when it holds a zero byte, else UTF-8
};

std::wstring Widen(std::string_view bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
}

// The text up to its terminator, without a byte order mark.
std::wstring Decode(std::string_view bytes, Encoding encoding) {
    std::wstring text;
    const bool zeroInside = bytes.substr(0, bytes.empty() ? 0 : bytes.size() - 1).find('\0') != std::string_view::npos;
    if (encoding == Encoding::Utf16 || (encoding == Encoding::XText && zeroInside))
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    else
        text = Widen(bytes, encoding == Encoding::Ansi ? CP_ACP : CP_UTF8);
    if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
    return text.substr(0, text.find(L'\0'));
}

// A storage medium that is released however the reading ends.
class Medium {
public:
    Medium() = default;
    ~Medium() { ReleaseStgMedium(&medium_); }
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    STGMEDIUM* Out() { return &medium_; }
    const STGMEDIUM* operator->() const { return &medium_; }
private:
    STGMEDIUM medium_{};
};

constexpr ULONG kLargestStreamRead = 64 * 1024;  // a .url file is a few hundred bytes

// The bytes of `format` (item `index` of a group, or -1), in memory or from a stream.
std::optional<std::string> FormatBytes(IDataObject* data, CLIPFORMAT format, LONG index = -1) {
    FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, index, TYMED_HGLOBAL | TYMED_ISTREAM};
    Medium medium;
    if (!format || FAILED(data->GetData(&wanted, medium.Out()))) return std::nullopt;
    if (medium->tymed == TYMED_HGLOBAL) return std::string(GlobalMemoryLock(medium->hGlobal).Bytes());
    if (medium->tymed != TYMED_ISTREAM) return std::nullopt;
    std::string bytes(kLargestStreamRead, '\0');
    ULONG read = 0;
    medium->pstm->Read(bytes.data(), kLargestStreamRead, &read);
    bytes.resize(read);
    return bytes;
}

CLIPFORMAT Registered(const wchar_t* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); }

std::wstring Whole(std::wstring_view text) { return std::wstring(text); }

// A dragged internet shortcut (a link dragged out of a browser, an address bar's icon) comes
// as a virtual .url file.
bool DragsOneInternetShortcut(IDataObject* data) {
    const auto bytes = FormatBytes(data, Registered(CFSTR_FILEDESCRIPTORW));
    if (!bytes || bytes->size() < sizeof(FILEGROUPDESCRIPTORW)) return false;
    const auto* group = reinterpret_cast<const FILEGROUPDESCRIPTORW*>(bytes->data());
    std::wstring name(group->fgd[0].cFileName, wcsnlen(group->fgd[0].cFileName, MAX_PATH));
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return group->cItems == 1 && name.ends_with(L".url");
}

// The forms a link or a text is offered in, the most exact first.
struct TextForm {
    const wchar_t* name;  // a registered format, or null for CF_UNICODETEXT
    Encoding encoding;
    std::wstring (*address)(std::wstring_view text);
};
constexpr TextForm kTextForms[] = {
    {L"UniformResourceLocatorW", Encoding::Utf16, Whole},  // Windows browsers
    {L"UniformResourceLocator", Encoding::Ansi, Whole},
    {L"text/x-moz-url", Encoding::XText, core::FirstUri},  // X browsers through Wine: address, title
    {L"_NETSCAPE_URL", Encoding::XText, core::FirstUri},
    {L"text/uri-list", Encoding::XText, core::FirstUri},
    {nullptr, Encoding::Utf16, Whole},
};

std::wstring DroppedText(IDataObject* data) {
    for (const TextForm& form : kTextForms) {
        const auto bytes = FormatBytes(data, form.name ? Registered(form.name) : CF_UNICODETEXT);
        if (bytes) return form.address(Decode(*bytes, form.encoding));
    }
    if (DragsOneInternetShortcut(data))
        if (const auto bytes = FormatBytes(data, Registered(CFSTR_FILECONTENTS), 0))
            return core::InternetShortcutUrl(Decode(*bytes, Encoding::XText));
    return {};
}

// An empty list (Wine's for a web address dragged as text/uri-list) is a lone terminator, which
// DragQueryFileW would count as one name and read past.
bool NamesNothing(HDROP drop) {
    const GlobalMemoryLock memory(drop);
    const std::string_view bytes = memory.Bytes();
    if (bytes.size() < sizeof(DROPFILES)) return true;
    const auto* header = reinterpret_cast<const DROPFILES*>(bytes.data());
    const size_t unit = header->fWide ? sizeof(wchar_t) : 1;
    const std::string_view first = bytes.substr(std::min<size_t>(header->pFiles, bytes.size()), unit);
    return first.size() < unit || first.find_first_not_of('\0') == std::string_view::npos;
}

// Runs a handler at the edge of the system's call: no exception crosses it.
template <class F>
auto Guarded(F call, decltype(call()) failed) {
    try {
        return call();
    } catch (...) {
        ReportException(nullptr);
        return failed;
    }
}

class TDropTarget final : public IDropTarget {
public:
    explicit TDropTarget(TDropHandler handler) : handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IDropTarget) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        accepted_ = Guarded([&] { return handler_.Accepts(ReadDroppedData(data)); }, false);
        return DragOver(0, {}, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = Effect(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        accepted_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        accepted_ = Guarded(
            [&] {
                const TDroppedData dropped = ReadDroppedData(data);
                if (!handler_.Accepts(dropped)) return false;
                handler_.Take(dropped);
                return true;
            },
            false);
        *effect = Effect(*effect);
        accepted_ = false;
        return S_OK;
    }

private:
    // A copy where the source allows it, else a link; never a move.
    DWORD Effect(DWORD allowed) const {
        if (!accepted_) return DROPEFFECT_NONE;
        if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
        return allowed & DROPEFFECT_LINK;
    }

    TDropHandler handler_;
    ULONG references_ = 1;
    bool accepted_ = false;
};

}  // namespace

std::vector<std::wstring> DroppedFileNames(HDROP drop) {
    if (NamesNothing(drop)) return {};
    std::vector<std::wstring> names(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < names.size(); ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        names[i].resize(static_cast<size_t>(length) + 1);
        names[i].resize(DragQueryFileW(drop, i, names[i].data(), length + 1));
    }
    return names;
}

TDroppedData ReadDroppedData(IDataObject* data) {
    TDroppedData dropped;
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    Medium medium;
    // Wine offers an empty list for a web address dragged as text/uri-list.
    if (SUCCEEDED(data->GetData(&files, medium.Out())) && medium->tymed == TYMED_HGLOBAL)
        dropped.Files = DroppedFileNames(static_cast<HDROP>(medium->hGlobal));
    if (dropped.Files.empty()) dropped.Text = DroppedText(data);
    return dropped;
}

TDropTargetRegistration::TDropTargetRegistration(HWND window, TDropHandler handler) : window_(window) {
    ComPtr<IDropTarget> target;
    target.Attach(new TDropTarget(std::move(handler)));
    registered_ = SUCCEEDED(RegisterDragDrop(window, target.Get()));
}

TDropTargetRegistration::~TDropTargetRegistration() {
    if (registered_) RevokeDragDrop(window_);
}

}  // namespace forms
