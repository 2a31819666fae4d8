#include "forms/Platform.h"

#include <shellapi.h>

#include "forms/ShellLink.h"

namespace forms {

TPlatformSeam DefaultPlatform() {
    return TPlatformSeam{
        [](UINT type) { MessageBeep(type); },
        [](const TShellOpenRequest& r) {
            ShellExecuteW(r.parent, r.verb.c_str(), r.file.c_str(), r.parameters.c_str(), r.directory.c_str(),
                          r.showCommand);
        },
        [](DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data) != FALSE; },
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

}  // namespace forms
