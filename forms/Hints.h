#pragma once
// Hints: a tooltip for every control of a form that has a hint and shows it.
#include <windows.h>

#include <climits>

#include "forms/Controls.h"
#include "forms/Handles.h"

namespace forms {

class TFormHints {
public:
    TFormHints() = default;
    TFormHints(const TFormHints&) = delete;
    TFormHints& operator=(const TFormHints&) = delete;

    // Registers the hints of every control below `root` anew. Pointed-only hints come from the
    // user's own pointing alone (see Relay) after the system's hover time, in the root's font.
    void Update(TWinControl& root, bool pointedOnly = false);
    int ToolCount() const;
    HWND Handle() const { return tooltip_.Get(); }

    // Pointed-only hints: the root hands its mouse messages here. A move that only comes from
    // the window moving under a resting pointer raises nothing.
    void Relay(HWND window, const Message& message);
    // The root window moved: a shown hint goes, and the pointer where it rests is no pointing.
    void WindowMoved();
    // The pointer left the root window (WM_MOUSELEAVE): a shown hint goes.
    void PointerLeft();

private:
    void AddTools(TWinControl& parent);
    // Takes away a hint on its way or shown.
    void Pop();
    void AddTool(HWND window, UINT_PTR id, UINT flags, const RECT& rect, const std::wstring& text);
    WindowHandle tooltip_;
    bool pointedOnly_ = false;
    // Where the pointer rested when the window last moved; far away until then.
    POINT restingPointer_{INT_MIN, INT_MIN};
    // A hint may be on its way or shown: a move has been relayed since the last one went.
    bool raised_ = false;
};

}  // namespace forms
