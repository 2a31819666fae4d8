#pragma once
// Windows among the monitors: which monitors a fullscreen program covers, and where a window that
// lies on no monitor any more goes. Coordinates are signed: a monitor left of or above the
// primary one has negative ones.
#include <optional>
#include <span>
#include <vector>

#include "core/Outline.h"
#include "core/Walk.h"

namespace core {

struct Monitor {
    Rect bounds;    // the whole monitor
    Rect workArea;  // without the taskbar and other docked bars
};

// The foreground window, as far as the fullscreen rule needs it.
struct ForegroundWindow {
    Rect bounds;
    bool hasCaption = false;
    bool isShell = false;  // the desktop (Progman, WorkerW) or the shell's tray
    bool isOwn = false;    // one of this program's windows
};

// What the shell says of the user (SHQueryUserNotificationState); Normal where it cannot say.
enum class ShellState { Normal, Busy, Direct3DFullScreen, PresentationMode };

// One flag per monitor: whether a fullscreen program covers it. A window covers a monitor when it
// has no caption and takes in all of it; a captioned window never counts, because a maximized
// one covers its monitor too when the taskbar hides itself. The desktop, the shell and this
// program never count. A busy or Direct3D fullscreen state of the shell counts for the
// foreground window's monitor; presentation mode for every monitor.
std::vector<bool> CoveredMonitors(const std::optional<ForegroundWindow>& foreground, ShellState shell,
                                  std::span<const Monitor> monitors);

// The monitor that shares most of `rect`, or when none does, the nearest one; -1 without monitors.
int NearestMonitor(const Rect& rect, std::span<const Monitor> monitors);

// Where the top-left corner of `rect` (what shows of a window) goes when it lies on no monitor:
// into the nearest monitor's work area, as close to where it was as fits. Nothing while any part
// of it is on a monitor: that part is seen, and a character walks back from there by itself.
std::optional<Point> PlaceOnMonitors(const Rect& rect, std::span<const Monitor> monitors);

}  // namespace core
