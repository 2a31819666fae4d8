#pragma once
// Hints: a hint for every control of a form that has one and shows it, in the application's one
// hint window, which is made when a hint first shows.
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "forms/Controls.h"

namespace forms {

class TFormHints {
public:
    TFormHints() = default;
    ~TFormHints();
    TFormHints(const TFormHints&) = delete;
    TFormHints& operator=(const TFormHints&) = delete;

    // Registers the hints of every control below `root` anew. Pointed-only hints come from the
    // user's own pointing alone (see Relay) and show in the root's font; the others in the
    // system's status font.
    void Update(TWinControl& root, bool pointedOnly = false);
    int ToolCount() const { return static_cast<int>(tools_.size()); }
    // The application's hint window while one of this form's hints shows; null otherwise.
    HWND Shown() const;

    // The form's windows hand their mouse messages here (moves, presses and WM_MOUSELEAVE).
    // A hint shows after the pointer has rested on its control for the system's hover time and
    // goes on a press, when the pointer leaves, and after a while. For pointed-only hints, a
    // move that only comes from the window moving under a resting pointer raises nothing.
    void Relay(HWND window, const Message& message);
    // The root window moved: a hint on its way or shown goes, and the pointer where it rests is
    // no pointing.
    void WindowMoved();
    // Takes away a hint on its way or shown (the form hides, say).
    void Pop();

    // For the hint window's timer: the hover time has passed, or the hint has shown long enough.
    void HoverEnded();
    void ShowEnded();

private:
    struct Tool {
        HWND window;
        RECT rect;  // in the window's client area; empty for the whole window
        std::wstring text;
    };
    void AddTools(TWinControl& parent);
    const Tool* ToolAt(HWND window, POINT client) const;

    std::vector<Tool> tools_;
    TWinControl* root_ = nullptr;
    bool pointedOnly_ = false;
    UINT hoverTime_ = 400;  // the system's, as it was when the hints were registered
    const Tool* pointed_ = nullptr;  // the tool under the pointer, whose hint is on its way or shown
    bool spent_ = false;             // its hint has shown its while
    // Where the pointer rested when the window last moved; far away until then.
    POINT restingPointer_{INT_MIN, INT_MIN};
};

}  // namespace forms
