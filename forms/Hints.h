#pragma once
// Hints: a tooltip for every control of a form that has a hint and shows it.
#include <windows.h>

#include "forms/Controls.h"

namespace forms {

class TFormHints {
public:
    TFormHints() = default;
    ~TFormHints();
    TFormHints(const TFormHints&) = delete;
    TFormHints& operator=(const TFormHints&) = delete;

    // Registers the hints of every control below `root` anew.
    void Update(TWinControl& root);
    int ToolCount() const;
    HWND Handle() const { return tooltip_; }

private:
    void AddTools(TWinControl& parent);
    void AddTool(HWND window, UINT_PTR id, UINT flags, const RECT& rect, const std::wstring& text);
    HWND tooltip_ = nullptr;
};

}  // namespace forms
