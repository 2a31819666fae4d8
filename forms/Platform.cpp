#include "forms/Platform.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "forms/SystemLibrary.h"
#include "forms/ShellLink.h"

namespace forms {

namespace {

std::optional<std::wstring> OpenFileDialog(const TOpenFileRequest& request) {
    using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto getOpenFileName = SystemFunction<GetOpenFileNameFn>(L"comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName) return std::nullopt;
    std::vector<wchar_t> name(32768, L'\0');  // the longest path the system knows
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = L"すべてのファイル (*.*)\0*.*\0";
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    dialog.lpstrTitle = request.title.c_str();
    // A shortcut is taken as it is, as a drop takes it; the current folder stays the program's.
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   OFN_NODEREFERENCELINKS;
    if (!getOpenFileName(&dialog)) return std::nullopt;
    return std::wstring(name.data());
}

}  // namespace

TPlatformSeam DefaultPlatform() {
    return TPlatformSeam{
        [](UINT type) { MessageBeep(type); },
        [](const TShellOpenRequest& r) {
            ShellExecuteW(r.parent, r.verb.c_str(), r.file.c_str(), r.parameters.c_str(), r.directory.c_str(),
                          r.showCommand);
        },
        [](DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data) != FALSE; },
        &OpenFileDialog,
        StartupFolder,
    };
}

TPlatformSeam& Platform() {
    static TPlatformSeam seam = DefaultPlatform();
    return seam;
}

void Beep(UINT type) { Platform().Beep(type); }

void ShellOpen(HWND parent, const std::wstring& verb, const std::wstring& file) {
    // Empty parameters and directory, not null: the shell gets exactly what a user would type.
    Platform().ShellOpen(TShellOpenRequest{parent, verb, file, L"", L"", SW_SHOW});
}

std::optional<std::wstring> ChooseFile(HWND owner, const std::wstring& title, const std::wstring& initialFolder) {
    return Platform().OpenFile(TOpenFileRequest{owner, title, initialFolder});
}

}  // namespace forms
