#include "forms/Dpi.h"

#include "forms/Handles.h"
#include "forms/SystemLibrary.h"

namespace forms {

namespace {

// The system's DPI, for systems that know no other.
UINT SystemDpi() {
    WindowDC screen(nullptr);
    int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

}  // namespace

UINT MonitorDpiAt(POINT screenPoint) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    if (getDpiForMonitor) {
        UINT x = 0, y = 0;
        HMONITOR monitor = MonitorFromPoint(screenPoint, MONITOR_DEFAULTTONEAREST);
        if (monitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && x > 0) return x;
    }
    return SystemDpi();
}

}  // namespace forms
