#pragma once
// The characters as good desktop citizens: out of the way of fullscreen programs, and on the
// monitors there are when the display configuration changes.
#include <windows.h>

#include <optional>
#include <vector>

#include "core/Monitors.h"
#include "forms/Controls.h"
#include "forms/ExtCtrls.h"

namespace kurun {

// The monitors as the system has them now.
std::vector<core::Monitor> CurrentMonitors();
// The foreground window as the fullscreen rule sees it; nothing when no window has the foreground.
std::optional<core::ForegroundWindow> CurrentForeground();
// What SHQueryUserNotificationState says; Normal where it cannot say.
core::ShellState CurrentShellState();
// What shows of a window on the screen: its outline's box, or the whole window without one.
core::Rect VisibleRect(HWND window);
// Moves a window that lies on no monitor into the nearest monitor's work area.
void BringOntoMonitors(forms::TWinControl& window, const std::vector<core::Monitor>& monitors);

class TDesktopWatch : public forms::TComponent {
public:
    // Looks at the foreground window about once a second and listens for display changes on the
    // application's window, from now until it is freed.
    explicit TDesktopWatch(forms::TComponent* owner);
    ~TDesktopWatch() override;
    std::string ClassName() const override { return "TDesktopWatch"; }

    void CheckFullscreen();
    // Hides and stops the characters on the covered monitors (a flag for each of Monitors())
    // and brings back the others where they stood.
    void KeepOutOfTheWay(const std::vector<bool>& covered);
    // Reads the monitors afresh and brings every window of the program that lies on none of them
    // onto the nearest one.
    void DisplayChanged();
    const std::vector<core::Monitor>& Monitors() const { return monitors_; }
    forms::TTimer* Timer() const { return timer_; }

private:
    // Whether the window's rectangle, whatever kind of window it is, covers a whole monitor.
    bool CouldCoverAMonitor(HWND window) const;
    forms::TTimer* timer_;
    std::vector<core::Monitor> monitors_;
    std::vector<bool> covered_;  // the last decision
};

}  // namespace kurun
