#include "forms/StdCtrls.h"

#include <algorithm>
#include <vector>

#include "forms/Exceptions.h"
#include "forms/Properties.h"
#include "forms/Streaming.h"

namespace forms {

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { color_ = clWindow; }

TCustomControl::~TCustomControl() {
    // The window goes while this object is still whole; its last messages (focus loss) must
    // not reach event handlers of a control that is being taken apart.
    SetState(ComponentState::Destroying, true);
    DestroyHandle();
}

TCanvas& TCustomControl::Canvas() {
    if (!canvas_.Handle()) {
        if (!measureDC_) measureDC_ = std::make_unique<MemoryDC>();
        canvas_.SetHandle(measureDC_->Get());
    }
    return canvas_;
}

void TCustomControl::Paint(HDC dc, const RECT& update) {
    canvas_.SetHandle(dc);
    canvas_.SetFont(font_);
    canvas_.BrushColor = color_;
    canvas_.BrushStyle = TBrushStyle::Solid;
    // Caught here so that the canvas always lets go of the paint DC, which ends with the paint.
    try {
        Paint();
        PaintControls(dc, update);
        if (Focused() && FocusCuesShown()) PaintFocusMark();
    } catch (...) {
        ReportException(this);
    }
    canvas_.SetHandle(measureDC_ ? measureDC_->Get() : nullptr);
}

void TCustomControl::SetParent(TWinControl* parent) {
    if (parent == Parent()) return;
    // The window belongs to the old parent's window; a new one is made under the new parent.
    if (HandleAllocated()) DestroyHandle();
    TFont before = font_;
    TWinControl::SetParent(parent);
    if (parent && parentFont_ && !(before == font_)) FontChanged();
}

void TCustomControl::WndProc(Message& message) {
    // While the object is taken apart only the platform's handling remains.
    if (HasState(ComponentState::Destroying)) {
        TWinControl::WndProc(message);
        return;
    }
    switch (message.msg) {
    case WM_SIZE: WMSize(message); return;
    case WM_SETFOCUS: WMSetFocus(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_KEYDOWN: WMKeyDown(message); return;
    case WM_KEYUP: WMKeyUp(message); return;
    case WM_CHAR: WMChar(message); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(message); return;
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case CM_TEXTCHANGED: CMTextChanged(message); return;
    default: TWinControl::WndProc(message);
    }
}

void TCustomControl::WMSize(Message& message) {
    DefaultHandler(message);
    // Whoever sized the window, the control's bounds follow it.
    RECT bounds{};
    GetWindowRect(handle_.Get(), &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(handle_.Get()), reinterpret_cast<POINT*>(&bounds), 2);
    left_ = bounds.left, top_ = bounds.top;
    width_ = bounds.right - bounds.left, height_ = bounds.bottom - bounds.top;
}

void TCustomControl::WMSetFocus(Message& message) {
    DefaultHandler(message);
    if (FocusCuesShown()) FocusMarkChanged();
    if (OnEnter) OnEnter(this);
}

void TCustomControl::WMKillFocus(Message& message) {
    DefaultHandler(message);
    if (FocusCuesShown()) FocusMarkChanged();
    if (OnExit) OnExit(this);
}

void TCustomControl::WMKeyDown(Message& message) {
    WORD key = static_cast<WORD>(message.wParam);
    TShiftState shift = KeyboardShiftState();
    PreviewKey(key, shift);
    if (key) KeyDown(key, shift);
    if (key && TabToNext(key, shift)) key = 0;
    message.wParam = key;
    if (key != 0) DefaultHandler(message);
}

void TCustomControl::WMKeyUp(Message& message) {
    WORD key = static_cast<WORD>(message.wParam);
    KeyUp(key, KeyboardShiftState());
    message.wParam = key;
    if (key != 0) DefaultHandler(message);
}

void TCustomControl::WMChar(Message& message) {
    auto key = static_cast<wchar_t>(message.wParam);
    KeyPress(key);
    message.wParam = key;
    if (key != 0 && key != L'\t') DefaultHandler(message);
}

void TCustomControl::WMLButtonDblClk(Message& message) { TWinControl::WndProc(message); }

void TCustomControl::PaintFocusMark() { canvas_.DrawFocusRect(ClientRect()); }

void TCustomControl::CMEnabledChanged(Message&) { Invalidate(); }
void TCustomControl::CMFontChanged(Message&) { Invalidate(); }
void TCustomControl::CMTextChanged(Message&) { Invalidate(); }

void TCustomControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TCustomControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TCustomControl::KeyPress(wchar_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

const TPropertyTable<TComponent>& TCustomControl::StoredProperties() const {
    using P = TProperties<TCustomControl>;
    static const TPropertyTable<TComponent> table(&TWinControl::StoredProperties(), {
        P::Event("OnEnter", &TCustomControl::OnEnter),
        P::Event("OnExit", &TCustomControl::OnExit),
        P::Event("OnKeyDown", &TCustomControl::OnKeyDown),
        P::Event("OnKeyUp", &TCustomControl::OnKeyUp),
        P::Event("OnKeyPress", &TCustomControl::OnKeyPress),
    });
    return table;
}

}  // namespace forms
