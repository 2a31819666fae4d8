#pragma once
// The pixel density of the monitors, read the way each Windows version allows.
#include <windows.h>

namespace forms {

// Messages of per-monitor aware programs, named here for older platform headers.
constexpr UINT WM_DPICHANGED_ = 0x02E0;
constexpr UINT WM_GETDPISCALEDSIZE_ = 0x02E4;

// The DPI of the monitor nearest the screen point: the monitor's own where the system tells
// it (Windows 8.1 and later), otherwise the system's.
UINT MonitorDpiAt(POINT screenPoint);

}  // namespace forms
