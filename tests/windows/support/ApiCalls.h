#pragma once
// Counts this program's own calls of the window-system functions that a walking tick may make,
// by pointing the program's import table entries at counting stand-ins for as long as the
// counter lives. Calls made inside the system libraries themselves are not seen.
#include <array>

namespace wintest {

enum class Api {
    SetWindowRgn,    // outline changes
    SetWindowPos,    // moves, sizes, z-order
    MoveWindow,
    ShowWindow,      // visibility
    SetWindowLongW,  // styles
    InvalidateRect,  // repaints asked for
    RedrawWindow,
    UpdateWindow,
    BeginPaint,      // repaints done
    GetCursorPos,    // cursor reads
    Count
};

class ApiCalls {
public:
    ApiCalls();
    ~ApiCalls();
    ApiCalls(const ApiCalls&) = delete;
    ApiCalls& operator=(const ApiCalls&) = delete;

    int operator[](Api api) const;
    // Every counted call that reaches a window: all of them but the cursor reads.
    int WindowCalls() const;
    void Reset();
};

}  // namespace wintest
