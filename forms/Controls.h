#pragma once
// Controls: windowless ones painted by their parent, and windowed ones with a window each.
#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/Accessible.h"
#include "forms/Classes.h"
#include "forms/Graphics.h"

namespace forms {

class TWinControl;
class TPopupMenu;

struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// Framework notifications: sent to the control itself (Perform), never to the platform.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_LAST = CM_BASE + 0xFFF;

// Registers a window class of the program once; later calls only return its name.
const wchar_t* EnsureWindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0);
// The window that CreateWindowExW just returned; a failed creation raises EOSError.
HWND CheckCreated(HWND window);

// value * M / D, rounded: how every coordinate and size is scaled.
inline int ScaleBy(int value, int M, int D) { return MulDiv(value, M, D); }

// Reports an exception caught at a window-procedure or timer boundary (the application's report).
void ReportException(TObject* sender);

using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;
// The modifier keys held right now.
TShiftState KeyboardShiftState();

enum class TMouseButton { Left, Right, Middle };

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
// A key pressed in a control; the handler sets `key` to 0 when it has done the key's work.
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;

// How a control takes the mouse.
using TControlStyle = uint32_t;
constexpr TControlStyle csCaptureMouse = 1;  // keeps the mouse while the left button is held
constexpr TControlStyle csClickEvents = 2;   // a left press and release over it is a click
constexpr TControlStyle csDoubleClicks = 4;  // a double click is one; without it, a second press

// The window procedure of a window kind whose object is passed at creation (lpParam): binds
// the object at WM_NCCREATE and gives the window to its `window` member, hands it every
// message, reports exceptions at this boundary, and unbinds at WM_NCDESTROY.
template <class T, WindowHandle T::*window, void (T::*handler)(Message&)>
LRESULT CALLBACK ObjectWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

using TCursor = int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeAll = -22,
                  crDrag = -12, crNoDrop = -13, crHourGlass = -11, crHandPoint = -21;
HCURSOR CursorHandle(TCursor cursor);
// Cursor names as stored in layouts (crHandPoint, ...).
std::span<const std::pair<std::string_view, TCursor>> CursorNames();

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    RECT ClientRect() const { return RECT{0, 0, width_, height_}; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool value);
    TCursor Cursor = crDefault;
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
    std::wstring Hint;
    bool ShowHint = false;

    const std::wstring& Caption() const { return caption_; }
    virtual void SetCaption(const std::wstring& value);
    TColor Color() const { return color_; }
    virtual void SetColor(TColor value);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    // Tells the control that its font changed (after editing Font()).
    virtual void FontChanged();
    // Gives the control its own copy of the font; it no longer follows the parent's.
    void SetFont(const TFont& value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;

    virtual void Invalidate();
    void Repaint() { Invalidate(); }
    virtual void BringToFront();
    virtual void SendToBack();
    virtual void Click();
    virtual void DblClick();
    // Mouse input in the control's own coordinates; the base reports the events.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // A framework message sent to the control directly (not through a window).
    virtual void Dispatch(Message& message);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Scales the control by M/D: its place, its size, its own font and whatever else it keeps
    // in screen pixels. Pictures keep their stored size and are drawn PixelScale() times larger.
    virtual void ChangeScale(int M, int D);
    // Screen pixels per picture pixel: 1 as designed; whole ratios keep it whole.
    int PixelScale() const { return pixelScale_; }

    const TPropertyTable<TComponent>& StoredProperties() const override;
    TComponent* LayoutContainer() const override;

    // Framework-internal: the parent follows its children's colour and font.
    virtual void ParentColorChanged();
    virtual void ParentFontChanged();

protected:
    void Notification(TComponent* component, bool removing) override;
    virtual TColor DefaultColor() const { return clBtnFace; }
    // The parts of ChangeScale: the picture factor, the own font, and place and size.
    void ScalePixels(int M, int D);
    void ScaleFont(int M, int D);
    void ScaleBounds(int M, int D);

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::wstring caption_;
    TColor color_ = clBtnFace;
    TFont font_;
    bool parentColor_ = true;
    bool parentFont_ = true;
    int pixelScale_ = 1;

private:
    TWinControl* parent_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
};

// A windowless control: drawn into its parent's window, in the parent's z-order.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas& Canvas() { return canvas_; }
    // Called by the parent with its paint DC, origin moved to the control's corner.
    void PaintTo(HDC dc);
    // False while painting would draw nothing: the parent then spends no clipping on the control.
    virtual bool Paints() const { return true; }
    // Answers an erase-background message performed on the control; true: nothing to erase.
    virtual bool WMEraseBkGnd(HDC) { return false; }
    void Dispatch(Message& message) override;
protected:
    virtual void Paint() {}
private:
    TCanvas canvas_;
};

// A control with a window of its own; its windowless children live in its client area.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    HWND Handle();
    bool HandleAllocated() const { return static_cast<bool>(handle_); }
    void DestroyHandle();

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void SetCaption(const std::wstring& value) override;
    // Children that follow the parent's font get the new one.
    void FontChanged() override;
    void Invalidate() override;
    void BringToFront() override;
    void SendToBack() override;
    bool Focused() const;
    virtual void SetFocus();
    bool TabStop = false;
    // Position among the parent's tab stops; equal values keep the creation order.
    int TabOrder = 0;
    // Moves the focus to the parent's next (or previous) tab stop.
    void SelectNext(bool forward);
    // Tab moves the focus to the next stop and Shift+Tab back; false for any other key, and for
    // Ctrl+Tab and Alt+Tab, which belong to others.
    bool TabToNext(WORD key, TShiftState shift);
    const TPropertyTable<TComponent>& StoredProperties() const override;

    // What a screen reader hears of the control: what its class says, then what its owner adds
    // (a name, more states). A control that tells neither a role nor a name leaves the answer
    // to the system.
    std::function<void(TAccessibleInfo&)> OnAccessibleInfo;
    TAccessibleInfo AccessibleInfo();
    // The owner's accessible default action; unset: the class's own.
    TNotifyEvent OnAccessibleAction;
    // The keyboard cues (UISF_HIDEFOCUS, UISF_HIDEACCEL), kept per window as the platform's
    // controls keep them: Wine's default handling keeps none. Hidden until the keyboard is used.
    WORD UIState() const { return uiState_; }
    bool FocusCuesShown() const { return !(uiState_ & UISF_HIDEFOCUS); }

    // Children in z-order, bottom first: windowless ones, then windowed ones.
    const std::vector<TControl*>& Controls() const { return controls_; }
    TControl* ControlAtPos(POINT clientPoint) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void BringControlToFront(TControl* control);
    void SendControlToBack(TControl* control);
    // Asks for a windowless child's rectangle to be painted again, its background first; while
    // an InvalidationBatch is open the rectangles are gathered into one request.
    void InvalidateChild(const RECT& bounds);
    // Sends a message to every child control, windowless or windowed.
    void Broadcast(Message& message);
    // The children first, so that a font this control hands down finds them scaled.
    void ChangeScale(int M, int D) override;
    void ScaleControls(int M, int D);

    void AddLayoutChild(TComponent* child) override;

    // The window procedure's way in: the hints see the mouse messages, then WndProc has them.
    void MainWndProc(Message& message);
    // Every message of the window arrives here; the default handling is DefaultHandler.
    virtual void WndProc(Message& message);
    void DefaultHandler(Message& message);
    void Dispatch(Message& message) override { WndProc(message); }

protected:
    struct CreateParamsData {
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        HWND parent = nullptr;
        std::wstring caption;
        // A platform control class (EDIT, ...) that the window is built on, or null for the
        // framework's own class.
        const wchar_t* platformClass = nullptr;
    };
    virtual void CreateParams(CreateParamsData& params);
    virtual void CreateWnd();
    virtual void Paint(HDC dc, const RECT& update);
    void PaintControls(HDC dc, const RECT& update);
    virtual bool WMEraseBkGnd(HDC dc);
    virtual LRESULT WMNCHitTest(Message& message);
    virtual void WMDropFiles(Message& message) { DefaultHandler(message); }
    virtual void DescribeAccessible(TAccessibleInfo&) {}
    virtual void DoAccessibleAction() { Click(); }
    // Each key pressed in a control reaches its form first (KeyPreview); a form that has done
    // the key's work sets `key` to 0.
    virtual void PreviewKey(WORD& key, TShiftState shift);
    // The focused control's mark must be drawn again or taken away (focus or cues changed).
    virtual void FocusMarkChanged() { Invalidate(); }
    // The brush of a platform child's background (WM_CTLCOLOR...); null: the platform's own.
    virtual HBRUSH CtlColor(HDC) { return nullptr; }
    // A mouse message of `window` (this control's or a child's) for the hints; the form takes it.
    virtual void RelayToHints(HWND window, const Message& message) {
        if (TWinControl* parent = Parent()) parent->RelayToHints(window, message);
    }
    void UpdateWindowPlacement();

    WindowHandle handle_;

private:
    // Hands a mouse message to the control that has the mouse, the windowless child under
    // it, or this control; false when the platform should see the message too.
    bool HandleMouse(Message& message);
    bool HandleSetCursor(Message& message);
    bool HandleContextMenu(Message& message);
    bool HandleChildColor(Message& message);
    bool AnswerGetObject(Message& message);
    void WMUpdateUIState(Message& message);
    void WMChangeUIState(Message& message);

    friend class InvalidationBatch;
    std::vector<TControl*> controls_;
    int batches_ = 0;
    RECT batched_{};  // what open batches have gathered
    TControl* mouseControl_ = nullptr;  // holds the mouse while the left button is down
    TControl* clicked_ = nullptr;       // pressed with the left button; a release over it clicks
    WNDPROC platformProcedure_ = nullptr;  // the platform class's own procedure, if built on one
    std::unique_ptr<TAccessibleServer> accessible_;  // made when a screen reader first asks
    WORD uiState_;
};

// Gathers a window's invalidations of windowless children while it lives and makes one request
// of their union at its end: with the background drawn first, unless told that whatever shows
// of the gathered rectangles is painted whole by the children (SkipBackground).
class InvalidationBatch {
public:
    explicit InvalidationBatch(TWinControl& window);
    ~InvalidationBatch();
    InvalidationBatch(const InvalidationBatch&) = delete;
    InvalidationBatch& operator=(const InvalidationBatch&) = delete;
    void SkipBackground() { erase_ = false; }
private:
    TWinControl& window_;
    bool erase_ = true;
};

template <class T, WindowHandle T::*window, void (T::*handler)(Message&)>
LRESULT CALLBACK ObjectWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        (self->*window).Reset(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    Message message{msg, wParam, lParam};
    try {
        (self->*handler)(message);
    } catch (...) {
        ReportException(self);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        (self->*window).Detach();  // the system has destroyed the window
    }
    return message.result;
}

}  // namespace forms
