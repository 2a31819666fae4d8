#include "app/DesktopWatch.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "app/CharacterForm.h"
#include "app/StatusWindow1.h"
#include "forms/Forms.h"

namespace kurun {

namespace {

constexpr UINT kFullscreenCheckInterval = 1000;

core::Rect ToRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The desktop behind the icons and the shell's taskbars are never a fullscreen program.
bool IsShellWindow(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    constexpr std::array<std::wstring_view, 5> kShellClasses = {
        L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd", L"#32769"};
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::ranges::find(kShellClasses, std::wstring_view(name, static_cast<size_t>(std::max(length, 0)))) !=
           kShellClasses.end();
}

}  // namespace

std::vector<core::Monitor> CurrentMonitors() {
    std::vector<core::Monitor> monitors;
    auto add = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info))
            reinterpret_cast<std::vector<core::Monitor>*>(data)->push_back({ToRect(info.rcMonitor), ToRect(info.rcWork)});
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::optional<core::ForegroundWindow> CurrentForeground() {
    HWND window = GetForegroundWindow();
    RECT bounds{};
    // A hidden or minimized window covers nothing, whatever its rectangle says.
    if (!window || !IsWindowVisible(window) || IsIconic(window) || !GetWindowRect(window, &bounds))
        return std::nullopt;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    return core::ForegroundWindow{ToRect(bounds), (style & WS_CAPTION) == WS_CAPTION, IsShellWindow(window),
                                  process == GetCurrentProcessId()};
}

core::ShellState CurrentShellState() {
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state))) return core::ShellState::Normal;
    switch (state) {
    case QUNS_BUSY: return core::ShellState::Busy;
    case QUNS_RUNNING_D3D_FULL_SCREEN: return core::ShellState::Direct3DFullScreen;
    case QUNS_PRESENTATION_MODE: return core::ShellState::PresentationMode;
    default: return core::ShellState::Normal;
    }
}

core::Rect VisibleRect(HWND window) {
    RECT bounds{}, box{};
    GetWindowRect(window, &bounds);
    const int kind = GetWindowRgnBox(window, &box);
    if (kind != SIMPLEREGION && kind != COMPLEXREGION) return ToRect(bounds);
    return {bounds.left + box.left, bounds.top + box.top, bounds.left + box.right, bounds.top + box.bottom};
}

void BringOntoMonitors(forms::TWinControl& window, const std::vector<core::Monitor>& monitors) {
    const core::Rect visible = VisibleRect(window.Handle());
    if (std::optional<core::Point> to = core::PlaceOnMonitors(visible, monitors))
        window.SetBounds(window.Left() + (to->x - visible.left), window.Top() + (to->y - visible.top),
                         window.Width(), window.Height());
}

TDesktopWatch::TDesktopWatch(forms::TComponent* owner)
    : forms::TComponent(owner), timer_(new forms::TTimer(this)), monitors_(CurrentMonitors()) {
    timer_->SetInterval(kFullscreenCheckInterval);
    timer_->SetOnTimer([this](forms::TObject*) { CheckFullscreen(); });
    if (!forms::Application) return;
    forms::Application->HookMainWindow(this, [this](forms::Message& message) {
        if (message.msg == WM_DISPLAYCHANGE) DisplayChanged();
        return false;  // the message goes on to the others and the default handling
    });
}

TDesktopWatch::~TDesktopWatch() {
    if (forms::Application) forms::Application->UnhookMainWindow(this);
}

// Once a second, most often with nothing covered: the rest of what the rule needs is asked only
// when the foreground window's rectangle alone could cover a monitor, as each question costs
// the system's window server a wake-up.
void TDesktopWatch::CheckFullscreen() {
    const core::ShellState shell = CurrentShellState();
    if (shell == core::ShellState::Normal && !CouldCoverAMonitor(GetForegroundWindow())) {
        KeepOutOfTheWay(std::vector<bool>(monitors_.size(), false));
        return;
    }
    KeepOutOfTheWay(core::CoveredMonitors(CurrentForeground(), shell, monitors_));
}

bool TDesktopWatch::CouldCoverAMonitor(HWND window) const {
    RECT bounds{};
    if (!window || !GetWindowRect(window, &bounds)) return false;
    const std::vector<bool> covered = core::CoveredMonitors(core::ForegroundWindow{ToRect(bounds)},
                                                            core::ShellState::Normal, monitors_);
    return std::ranges::find(covered, true) != covered.end();
}

// While nothing is covered, and nothing was, there is nothing to do. While something stays
// covered the characters are looked at again: one may have walked onto a covered monitor.
void TDesktopWatch::KeepOutOfTheWay(const std::vector<bool>& covered) {
    const bool anyCovered = std::ranges::find(covered, true) != covered.end();
    if (!anyCovered && std::ranges::find(covered_, true) == covered_.end()) return;
    covered_ = covered;
    for (int n = 1; n <= kRowCount; ++n) {
        TCharacterForm* character = CharacterWindow(n);
        if (!character) continue;
        const int monitor = anyCovered ? core::NearestMonitor(VisibleRect(character->Handle()), monitors_) : -1;
        character->SetOutOfTheWay(monitor >= 0 && static_cast<size_t>(monitor) < covered.size() &&
                                  covered[static_cast<size_t>(monitor)]);
    }
}

void TDesktopWatch::DisplayChanged() {
    monitors_ = CurrentMonitors();
    for (int n = 1; n <= kRowCount; ++n)
        if (TCharacterForm* character = CharacterWindow(n)) BringOntoMonitors(*character, monitors_);
    if (StatusForm1) BringOntoMonitors(*StatusForm1, monitors_);
    CheckFullscreen();  // the covered monitors may be others now
}

}  // namespace kurun
