// Posts one notification to kurun's tray icon as the shell does for a focused icon (the
// version-4 form: the event in the low word, the icon's anchor in wParam): Wine's own tray
// sends no keyboard notifications. Usage: tray_notify.exe EVENT [X Y]; EVENT in hex
// (401 NIN_KEYSELECT, 7B WM_CONTEXTMENU). Exit 1 when no icon window is found.
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance, (void)previous, (void)commandLine, (void)show;
    const int argc = __argc;
    wchar_t** argv = __wargv;
    if (argc < 2) return 2;
    const UINT event = (UINT)wcstoul(argv[1], NULL, 16);
    const int x = argc > 3 ? _wtoi(argv[2]) : 0, y = argc > 3 ? _wtoi(argv[3]) : 0;
    HWND icon = FindWindowW(L"KurunTrayIcon", NULL);
    if (!icon) return 1;
    return PostMessageW(icon, WM_USER + 101, MAKEWPARAM(x, y), MAKELPARAM(event, 0)) ? 0 : 1;
}
