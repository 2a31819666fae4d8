#pragma once
// Side effects on the user's desktop that tests must observe without making them: the beep,
// the shell's open verb, the notification-area icon and the Startup folder. Tests replace the
// functions; the program uses the platform's.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace forms {

struct TShellOpenRequest {
    HWND parent;
    std::wstring verb, file, parameters, directory;
    int showCommand;
};

struct TPlatformSeam {
    std::function<void(UINT type)> Beep;
    std::function<void(const TShellOpenRequest& request)> ShellOpen;
    // Shell_NotifyIconW: adds, modifies or deletes a notification-area icon; whether the shell took it.
    std::function<bool(DWORD message, NOTIFYICONDATAW& data)> NotifyIcon;
    // The folder whose shortcuts start programs when the user signs in.
    std::function<std::wstring()> StartupFolder;
};

// The current seam; a test assigns its own functions and restores the defaults afterwards.
TPlatformSeam& Platform();
TPlatformSeam DefaultPlatform();

// MessageBeep through the seam.
void Beep(UINT type = 0);
// ShellExecuteW through the seam; the result is not looked at, as a failed open stays silent.
void ShellOpen(HWND parent, const std::wstring& verb, const std::wstring& file);

}  // namespace forms
