#pragma once
// Side effects on the user's desktop that tests must observe without making them: the beep,
// the shell's open verb, the notification-area icon, the Open dialog and the Startup folder.
// Tests replace the functions; the program uses the platform's.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

namespace forms {

struct TShellOpenRequest {
    HWND parent;
    std::wstring verb, file, parameters, directory;
    int showCommand;
};

struct TOpenFileRequest {
    HWND owner;
    std::wstring title, initialFolder;
};

struct TPlatformSeam {
    std::function<void(UINT type)> Beep;
    std::function<void(const TShellOpenRequest& request)> ShellOpen;
    // Shell_NotifyIconW: adds, modifies or deletes a notification-area icon; whether the shell took it.
    std::function<bool(DWORD message, NOTIFYICONDATAW& data)> NotifyIcon;
    // The system's Open dialog for one existing file of any kind; nothing when cancelled.
    std::function<std::optional<std::wstring>(const TOpenFileRequest& request)> OpenFile;
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
// The Open dialog through the seam.
std::optional<std::wstring> ChooseFile(HWND owner, const std::wstring& title, const std::wstring& initialFolder);

}  // namespace forms
