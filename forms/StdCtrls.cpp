#include "forms/StdCtrls.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "forms/Exceptions.h"
#include "forms/Properties.h"
#include "forms/Streaming.h"

namespace forms {

TShiftState KeyboardShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    return shift;
}

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
    // Caught here so that the caller still ends the paint: an unvalidated window would
    // ask to be painted again at once, forever.
    try {
        Paint();
        PaintControls(dc, update);
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
    case WM_MOUSEMOVE:
        if (OnMouseMove) OnMouseMove(this, KeyboardShiftState(), GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam));
        DefaultHandler(message);
        return;
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
    GetWindowRect(handle_, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&bounds), 2);
    left_ = bounds.left, top_ = bounds.top;
    width_ = bounds.right - bounds.left, height_ = bounds.bottom - bounds.top;
}

void TCustomControl::WMSetFocus(Message& message) {
    DefaultHandler(message);
    if (OnEnter) OnEnter(this);
}

void TCustomControl::WMKillFocus(Message& message) {
    DefaultHandler(message);
    if (OnExit) OnExit(this);
}

void TCustomControl::WMKeyDown(Message& message) {
    WORD key = static_cast<WORD>(message.wParam);
    TShiftState shift = KeyboardShiftState();
    KeyDown(key, shift);
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        SelectNext(!(shift & ssShift));
        key = 0;
    }
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

void TCustomControl::MouseDown(int, POINT point) {
    if (OnMouseDown) OnMouseDown(this, TMouseButton::Left, KeyboardShiftState() | ssLeft, point.x, point.y);
}

void TCustomControl::MouseUp(int, POINT point) {
    if (OnMouseUp) OnMouseUp(this, TMouseButton::Left, KeyboardShiftState(), point.x, point.y);
}

const TPropertyTable<TComponent>& TCustomControl::StoredProperties() const {
    using P = TProperties<TCustomControl>;
    // Handlers are published with the sender alone; the event's other arguments are dropped.
    auto key = [](TKeyEvent TCustomControl::*event) {
        return [event](TCustomControl& control, const core::LayoutValue& value, TReader& reader) {
            control.*event = [h = reader.Method(value)](TObject* sender, WORD&, TShiftState) { h(sender); };
        };
    };
    auto mouse = [](TMouseEvent TCustomControl::*event) {
        return [event](TCustomControl& control, const core::LayoutValue& value, TReader& reader) {
            control.*event = [h = reader.Method(value)](TObject* sender, TMouseButton, TShiftState, int, int) {
                h(sender);
            };
        };
    };
    static const TPropertyTable<TComponent> table(&TWinControl::StoredProperties(), {
        P::Event("OnEnter", &TCustomControl::OnEnter),
        P::Event("OnExit", &TCustomControl::OnExit),
        P::Custom("OnKeyDown", key(&TCustomControl::OnKeyDown)),
        P::Custom("OnKeyUp", key(&TCustomControl::OnKeyUp)),
        P::Custom("OnKeyPress", [](TCustomControl& control, const core::LayoutValue& value, TReader& reader) {
            control.OnKeyPress = [h = reader.Method(value)](TObject* sender, wchar_t&) { h(sender); };
        }),
        P::Custom("OnMouseDown", mouse(&TCustomControl::OnMouseDown)),
        P::Custom("OnMouseUp", mouse(&TCustomControl::OnMouseUp)),
        P::Custom("OnMouseMove", [](TCustomControl& control, const core::LayoutValue& value, TReader& reader) {
            control.OnMouseMove = [h = reader.Method(value)](TObject* sender, TShiftState, int, int) { h(sender); };
        }),
    });
    return table;
}

}  // namespace forms
