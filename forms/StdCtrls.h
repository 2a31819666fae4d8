#pragma once
// Windowed controls that draw themselves: their own canvas and Paint, focus and tab stops,
// keyboard and mouse events, and the framework notifications unpacked into handlers.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "forms/Controls.h"

namespace forms {

using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, wchar_t& key)>;

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    std::string ClassName() const override { return "TCustomControl"; }

    // The paint DC while Paint runs; otherwise a screen-compatible memory DC, good for
    // measuring text without forcing a window into existence.
    TCanvas& Canvas();

    void SetParent(TWinControl* parent) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    const TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    using TWinControl::Paint;
    // Draws the whole control on Canvas().
    virtual void Paint() {}
    void Paint(HDC dc, const RECT& update) final;
    // Drawn over everything while the control has the focus and the keyboard cues are on: a
    // dotted rectangle round the control.
    virtual void PaintFocusMark();

    void WndProc(Message& message) override;
    virtual void WMSize(Message& message);
    virtual void WMSetFocus(Message& message);
    virtual void WMKillFocus(Message& message);
    virtual void WMKeyDown(Message& message);
    virtual void WMKeyUp(Message& message);
    virtual void WMChar(Message& message);
    virtual void WMLButtonDblClk(Message& message);
    virtual void CMEnabledChanged(Message& message);
    virtual void CMFontChanged(Message& message);
    virtual void CMTextChanged(Message& message);

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(wchar_t& key);

private:
    std::unique_ptr<MemoryDC> measureDC_;  // declared before the canvas: the canvas goes first
    TCanvas canvas_;
};

}  // namespace forms
