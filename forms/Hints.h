#pragma once
// Hints: a tooltip for every control of a form that has a hint and shows it.
#include <windows.h>

#include "forms/Controls.h"
#include "forms/Handles.h"

namespace forms {

class TFormHints {
public:
    TFormHints() = default;
    TFormHints(const TFormHints&) = delete;
    TFormHints& operator=(const TFormHints&) = delete;

    // Registers the hints of every control below `root` anew.
    void Update(TWinControl& root);
    int ToolCount() const;
    HWND Handle() const { return tooltip_.Get(); }

private:
    void AddTools(TWinControl& parent);
    void AddTool(HWND window, UINT_PTR id, UINT flags, const RECT& rect, const std::wstring& text);
    WindowHandle tooltip_;
};

}  // namespace forms
