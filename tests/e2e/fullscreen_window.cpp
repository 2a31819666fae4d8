// A stand-in for a fullscreen program (a video, a game, a slide show) for the end-to-end tests:
// a borderless window that covers the primary monitor, takes the foreground and closes itself
// after the given number of milliseconds. With "caption" it is instead an ordinary captioned
// window shown maximized, which covers the monitor too where no taskbar takes room; with "second"
// it covers a monitor other than the primary one, where there is one.
#include <windows.h>

#include <cwchar>
#include <utility>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, msg, wParam, lParam);
    }
}

RECT ChosenMonitor(bool second) {
    RECT chosen{};
    auto take = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto& [second, chosen] = *reinterpret_cast<std::pair<bool, RECT*>*>(data);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(monitor, &info);
        const bool primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        if (primary != second) *chosen = info.rcMonitor;
        return TRUE;
    };
    std::pair<bool, RECT*> data{second, &chosen};
    EnumDisplayMonitors(nullptr, nullptr, take, reinterpret_cast<LPARAM>(&data));
    return chosen;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    wchar_t* rest = nullptr;
    const unsigned long lifetime = std::wcstoul(commandLine, &rest, 10);
    const bool caption = std::wcsstr(rest, L"caption") != nullptr;
    const bool second = std::wcsstr(rest, L"second") != nullptr;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(16, 96, 48));  // the test looks for this green
    windowClass.lpszClassName = L"KurunFullscreenStandIn";
    RegisterClassW(&windowClass);

    const RECT monitor = ChosenMonitor(second);
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
