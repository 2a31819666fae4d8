// A stand-in for a fullscreen program (a video, a game, a slide show) for the end-to-end tests:
// a borderless window that covers the primary monitor, takes the foreground and closes itself
// after the given number of milliseconds. With "caption" it is instead an ordinary captioned
// window shown maximized, which covers the monitor too where no taskbar takes room.
#include <windows.h>

#include <cwchar>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, msg, wParam, lParam);
    }
}

RECT PrimaryMonitor() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    wchar_t* rest = nullptr;
    const unsigned long lifetime = std::wcstoul(commandLine, &rest, 10);
    const bool caption = std::wcsstr(rest, L"caption") != nullptr;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(16, 96, 48));  // the test looks for this green
    windowClass.lpszClassName = L"KurunFullscreenStandIn";
    RegisterClassW(&windowClass);

    const RECT monitor = PrimaryMonitor();
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Fullscreen stand-in",
                                  caption ? WS_OVERLAPPEDWINDOW : WS_POPUP, monitor.left, monitor.top,
                                  monitor.right - monitor.left, monitor.bottom - monitor.top, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, caption ? SW_SHOWMAXIMIZED : SW_SHOW);
    SetForegroundWindow(window);
    SetTimer(window, kLifetimeTimer, lifetime ? lifetime : 5000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
