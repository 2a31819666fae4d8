#include "forms/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "forms/Exceptions.h"
#include "forms/Menus.h"
#include "forms/Properties.h"
#include "forms/Streaming.h"
#include "forms/Text.h"

namespace forms {

HCURSOR CursorHandle(TCursor cursor) {
    static const std::map<TCursor, LPCWSTR> system = {
        {crArrow, IDC_ARROW},   {crCross, IDC_CROSS},         {crIBeam, IDC_IBEAM},  {crSizeAll, IDC_SIZEALL},
        {crNoDrop, IDC_NO},     {crHourGlass, IDC_WAIT},      {crHandPoint, IDC_HAND}, {crDrag, IDC_ARROW},
        {crDefault, IDC_ARROW},
    };
    auto it = system.find(cursor);
    return LoadCursorW(nullptr, it == system.end() ? IDC_ARROW : it->second);
}

std::span<const std::pair<std::string_view, TCursor>> CursorNames() {
    static constexpr std::pair<std::string_view, TCursor> names[] = {
        {"crDefault", crDefault}, {"crNone", crNone},         {"crArrow", crArrow},
        {"crCross", crCross},     {"crIBeam", crIBeam},       {"crSizeAll", crSizeAll},
        {"crDrag", crDrag},       {"crNoDrop", crNoDrop},     {"crHourGlass", crHourGlass},
        {"crHandPoint", crHandPoint},
    };
    return names;
}

TShiftState KeyboardShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    return shift;
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() { SetParent(nullptr); }

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        Invalidate();
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_) {
        parent_->InsertControl(this);
        if (parentColor_) color_ = parent_->Color();
        if (parentFont_) font_ = parent_->Font();
        Invalidate();
    }
}

TComponent* TControl::LayoutContainer() const { return parent_ ? static_cast<TComponent*>(parent_) : Owner(); }

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    left_ = left, top_ = top, width_ = width, height_ = height;
    Invalidate();
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    // What the control covered is drawn again, from the background up.
    if (parent_ && parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), nullptr, TRUE);
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Invalidate();
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetCaption(const std::wstring& value) {
    if (value == caption_) return;
    caption_ = value;
    Invalidate();
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor value) {
    parentColor_ = false;
    if (value == color_) return;
    color_ = value;
    Invalidate();
}

void TControl::SetParentColor(bool value) {
    parentColor_ = value;
    if (value && parent_) ParentColorChanged();
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && parent_) ParentFontChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    color_ = parent_->Color();
    Invalidate();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    font_ = parent_->Font();
    FontChanged();
    parentFont_ = true;
}

void TControl::FontChanged() {
    Invalidate();
    Perform(CM_FONTCHANGED);
}

void TControl::SetFont(const TFont& value) {
    font_ = value;
    parentFont_ = false;
    FontChanged();
}

void TControl::Invalidate() {
    if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
    parent_->InvalidateChild(BoundsRect());
}

void TControl::BringToFront() {
    if (parent_) parent_->BringControlToFront(this);
}

void TControl::SendToBack() {
    if (parent_) parent_->SendControlToBack(this);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Dispatch(Message&) {}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    Message message{msg, wParam, lParam};
    Dispatch(message);
    return message.result;
}

void TControl::ChangeScale(int M, int D) {
    if (M == D || M <= 0 || D <= 0) return;
    ScalePixels(M, D);
    ScaleBounds(M, D);
    ScaleFont(M, D);
}

void TControl::ScalePixels(int M, int D) { pixelScale_ = std::max(1, ScaleBy(pixelScale_, M, D)); }

void TControl::ScaleBounds(int M, int D) {
    SetBounds(ScaleBy(left_, M, D), ScaleBy(top_, M, D), ScaleBy(width_, M, D), ScaleBy(height_, M, D));
}

// A font of the parent's comes down with the parent's own scaling.
void TControl::ScaleFont(int M, int D) {
    if (parentFont_) return;
    font_.Height = ScaleBy(font_.Height, M, D);
    font_.Changed();
    FontChanged();
}

void TControl::Notification(TComponent* component, bool removing) {
    if (removing && component == popupMenu_) popupMenu_ = nullptr;
}

const TPropertyTable<TComponent>& TControl::StoredProperties() const {
    using P = TProperties<TControl>;
    static const TPropertyTable<TComponent> table(&TComponent::StoredProperties(), {
        P::Integer("Left", &TControl::Left, &TControl::SetLeft),
        P::Integer("Top", &TControl::Top, &TControl::SetTop),
        P::Integer("Width", &TControl::Width, &TControl::SetWidth),
        P::Integer("Height", &TControl::Height, &TControl::SetHeight),
        P::String("Caption", &TControl::Caption, &TControl::SetCaption, L""),
        P::Ident<TCursor>("Cursor", CursorNames(), &TControl::Cursor, crDefault),
        P::String("Hint", &TControl::Hint, L""),
        P::Reference<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu),
        P::Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true),
        P::Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true),
        // Reading starts from the parent's colour and font, so an own one is written whole.
        P::Custom(
            "Color", [](TControl& control, const core::LayoutValue& value, TReader& reader) {
                control.SetColor(ReadColor(reader, value));
            },
            [](const TControl& control, TWriter& writer, const std::string& name) {
                if (!control.parentColor_) WriteColor(writer, name, control.color_);
            }),
        P::Group(
            "Font.", &TControl::font_, TFont::StoredProperties(),
            [](const TControl& control) { return !control.parentFont_; },
            [](TControl& control) {
                control.font_.Changed();
                control.parentFont_ = false;
                control.FontChanged();
            }),
        P::Boolean("ShowHint", &TControl::ShowHint, false),
        P::Custom("ParentColor", [](TControl& control, const core::LayoutValue& value, TReader& reader) {
            control.SetParentColor(reader.Boolean(value));
        }),
        P::Custom("ParentFont", [](TControl& control, const core::LayoutValue& value, TReader& reader) {
            control.SetParentFont(reader.Boolean(value));
        }),
        P::Event("OnClick", &TControl::OnClick),
        P::Event("OnDblClick", &TControl::OnDblClick),
        P::Event("OnMouseDown", &TControl::OnMouseDown),
        P::Event("OnMouseUp", &TControl::OnMouseUp),
        P::Event("OnMouseMove", &TControl::OnMouseMove),
        // Stored for the designer's sake; nothing here acts on them.
        P::Ignored({"ParentShowHint", "DragMode", "DragCursor", "HelpType", "HelpKeyword", "HelpContext", "Ctl3D",
                    "ParentCtl3D", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnStartDrag"}),
    });
    return table;
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::Dispatch(Message& message) {
    if (message.msg == WM_ERASEBKGND && WMEraseBkGnd(reinterpret_cast<HDC>(message.wParam))) message.result = 1;
}

void TGraphicControl::PaintTo(HDC dc) {
    canvas_.SetHandle(dc);
    canvas_.Font = font_;
    canvas_.BrushColor = color_;
    Paint();
    canvas_.SetHandle(nullptr);
}

// ---- TWinControl ----

const TPropertyTable<TComponent>& TWinControl::StoredProperties() const {
    using P = TProperties<TWinControl>;
    static const TPropertyTable<TComponent> table(&TControl::StoredProperties(), {
        P::Integer("TabOrder", &TWinControl::TabOrder, 0),
        P::Boolean("TabStop", &TWinControl::TabStop, false),
    });
    return table;
}

namespace {

// Cues hidden until the keyboard is used, so the mouse alone never sees a mark. (The system's
// "always show" setting is not asked: Wine has it on by default.)
constexpr WORD kInitialUIState = UISF_HIDEFOCUS | UISF_HIDEACCEL;

// The cues after a WM_CHANGEUISTATE or WM_UPDATEUISTATE with this wParam.
WORD ChangedUIState(WORD state, WPARAM change) {
    const WORD flags = HIWORD(change) & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
    switch (LOWORD(change)) {
    case UIS_SET: return state | flags;
    case UIS_CLEAR: return state & ~flags;
    case UIS_INITIALIZE: return state | flags;
    default: return state;
    }
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner), uiState_(kInitialUIState) {}

TWinControl::~TWinControl() {
    accessible_.reset();  // a reader's later questions find the object gone, not this control
    // Child controls go with their parent, before the window does.
    while (!controls_.empty()) delete controls_.back();
    DestroyHandle();
}

void TWinControl::DestroyHandle() { handle_.Reset(); }

HWND TWinControl::Handle() {
    if (!handle_) CreateWnd();
    return handle_.Get();
}

void TWinControl::CreateParams(CreateParamsData& params) {
    params.style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (TabStop ? WS_TABSTOP : 0) |
                   (enabled_ ? 0 : WS_DISABLED);
    params.parent = Parent() ? Parent()->Handle() : nullptr;
    params.caption = caption_;
}

const wchar_t* EnsureWindowClass(const wchar_t* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return name;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, L"MAINICON");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
    return name;
}

// A class of the program that behaves like a platform control but hands every message to the
// framework first; returns the platform control's own procedure for the default handling.
namespace {
std::wstring EnsurePlatformSubclass(const wchar_t* platformClass, WNDPROC procedure, WNDPROC& original) {
    static std::map<std::wstring, WNDPROC> originals;
    std::wstring name = std::wstring(L"Kurun") + platformClass;
    if (auto it = originals.find(name); it != originals.end()) {
        original = it->second;
        return name;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(nullptr, platformClass, &windowClass)) throw EOSError(L"ウィンドウを作成できません");
    original = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name.c_str();
    if (!RegisterClassExW(&windowClass)) throw EOSError(L"ウィンドウを作成できません");
    originals[name] = original;
    return name;
}
}  // namespace

HWND CheckCreated(HWND window) {
    if (!window) throw EOSError(L"ウィンドウを作成できません");
    return window;
}

void TWinControl::CreateWnd() {
    if (Parent()) uiState_ = Parent()->uiState_;  // a new child shows the cues its parent shows
    CreateParamsData params;
    CreateParams(params);
    const WNDPROC procedure = &ObjectWindowProcedure<TWinControl, &TWinControl::handle_, &TWinControl::MainWndProc>;
    std::wstring platformClassName;
    const wchar_t* windowClass;
    if (params.platformClass) {
        platformClassName = EnsurePlatformSubclass(params.platformClass, procedure, platformProcedure_);
        windowClass = platformClassName.c_str();
    } else {
        windowClass = EnsureWindowClass(L"KurunWindow", procedure, CS_DBLCLKS);
    }
    // The window procedure takes the handle on the first message.
    CheckCreated(CreateWindowExW(params.exStyle, windowClass, params.caption.c_str(), params.style, left_, top_,
                                 width_, height_, params.parent, nullptr, GetModuleHandleW(nullptr), this));
    for (TControl* control : controls_)
        if (auto child = dynamic_cast<TWinControl*>(control)) child->Handle();
}

void TWinControl::DefaultHandler(Message& message) {
    message.result = platformProcedure_ ? CallWindowProcW(platformProcedure_, handle_.Get(), message.msg,
                                                          message.wParam, message.lParam)
                                        : DefWindowProcW(handle_.Get(), message.msg, message.wParam, message.lParam);
}

// The form's hints see the mouse whatever a control does with it.
void TWinControl::MainWndProc(Message& message) {
    if ((message.msg >= WM_MOUSEFIRST && message.msg <= WM_MOUSELAST) || message.msg == WM_MOUSELEAVE)
        RelayToHints(handle_.Get(), message);
    WndProc(message);
}

void TWinControl::WndProc(Message& message) {
    switch (message.msg) {
    case WM_PAINT: {
        PaintScope paint(handle_.Get());
        Paint(paint.Get(), paint.Update());
        return;
    }
    case WM_ERASEBKGND:
        if (WMEraseBkGnd(reinterpret_cast<HDC>(message.wParam))) message.result = 1;
        else DefaultHandler(message);
        return;
    case WM_NCHITTEST:
        message.result = WMNCHitTest(message);
        return;
    case WM_DROPFILES:
        WMDropFiles(message);
        return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (!HandleChildColor(message)) DefaultHandler(message);
        return;
    case WM_SETCURSOR:
        if (!HandleSetCursor(message)) DefaultHandler(message);
        return;
    case WM_CONTEXTMENU:
        if (!HandleContextMenu(message)) DefaultHandler(message);
        return;
    case WM_GETOBJECT:
        if (!AnswerGetObject(message)) DefaultHandler(message);
        return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (!HandleMouse(message)) DefaultHandler(message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(message.wParam);
        PreviewKey(key, KeyboardShiftState());
        if (key) DefaultHandler(message);
        return;
    }
    case WM_UPDATEUISTATE:
        WMUpdateUIState(message);
        return;
    case WM_CHANGEUISTATE:
        WMChangeUIState(message);
        return;
    case WM_QUERYUISTATE:
        message.result = uiState_;
        return;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: no release will come for the press.
        if (reinterpret_cast<HWND>(message.lParam) != handle_.Get()) mouseControl_ = clicked_ = nullptr;
        DefaultHandler(message);
        return;
    default:
        // Framework notifications mean nothing to the platform.
        if (message.msg >= CM_BASE && message.msg <= CM_LAST) return;
        DefaultHandler(message);
    }
}

void TWinControl::Paint(HDC dc, const RECT& update) { PaintControls(dc, update); }

TAccessibleInfo TWinControl::AccessibleInfo() {
    TAccessibleInfo info;
    DescribeAccessible(info);
    if (OnAccessibleInfo) OnAccessibleInfo(info);
    return info;
}

bool TWinControl::AnswerGetObject(Message& message) {
    if (!accessible_) {
        const TAccessibleInfo info = AccessibleInfo();
        if (!info.Role && info.Name.empty()) return false;
        // The action runs as a click's would: an error is reported here, not to the reader.
        accessible_ = std::make_unique<TAccessibleServer>([this] { return AccessibleInfo(); }, [this] {
            try {
                if (OnAccessibleAction) OnAccessibleAction(this);
                else DoAccessibleAction();
            } catch (...) {
                ReportException(this);
            }
        });
    }
    return accessible_->AnswerGetObject(handle_.Get(), message.wParam, message.lParam, message.result);
}

void TWinControl::PreviewKey(WORD& key, TShiftState shift) {
    if (Parent()) Parent()->PreviewKey(key, shift);
}

// Handed down to the children here, as the platform does on Windows and Wine does not.
void TWinControl::WMUpdateUIState(Message& message) {
    const WORD state = ChangedUIState(uiState_, message.wParam);
    if (state != uiState_) {
        uiState_ = state;
        if (Focused()) FocusMarkChanged();
    }
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control); child && child->handle_)
            SendMessageW(child->handle_.Get(), WM_UPDATEUISTATE, message.wParam, 0);
    if (platformProcedure_) DefaultHandler(message);
}

// A change asked for anywhere goes up to the top window, which tells everyone if it is news.
void TWinControl::WMChangeUIState(Message& message) {
    if (Parent() && Parent()->HandleAllocated())
        SendMessageW(Parent()->Handle(), WM_CHANGEUISTATE, message.wParam, message.lParam);
    else if (ChangedUIState(uiState_, message.wParam) != uiState_)
        SendMessageW(handle_.Get(), WM_UPDATEUISTATE, message.wParam, 0);
}

void TWinControl::PaintControls(HDC dc, const RECT& update) {
    for (TControl* control : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        if (!graphic || !graphic->Visible() || !graphic->Paints()) continue;
        RECT bounds = graphic->BoundsRect(), overlap;
        if (!IntersectRect(&overlap, &bounds, &update)) continue;
        SavedDC saved(dc);
        IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
        OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        graphic->PaintTo(dc);
    }
}

bool TWinControl::WMEraseBkGnd(HDC dc) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.BrushColor = color_;
    RECT client{};
    GetClientRect(handle_.Get(), &client);
    canvas.FillRect(client);
    return true;
}

LRESULT TWinControl::WMNCHitTest(Message& message) {
    DefaultHandler(message);
    return message.result;
}

TControl* TWinControl::ControlAtPos(POINT clientPoint) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        auto* graphic = dynamic_cast<TGraphicControl*>(*it);
        if (!graphic || !graphic->Visible() || !graphic->Enabled()) continue;
        RECT bounds = graphic->BoundsRect();
        if (PtInRect(&bounds, clientPoint)) return graphic;
    }
    return nullptr;
}

namespace {

enum class MouseAction { Move, Down, Double, Up };

struct MouseInput {
    MouseAction action;
    TMouseButton button;
};

MouseInput Unpack(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN: return {MouseAction::Down, TMouseButton::Left};
    case WM_LBUTTONDBLCLK: return {MouseAction::Double, TMouseButton::Left};
    case WM_LBUTTONUP: return {MouseAction::Up, TMouseButton::Left};
    case WM_RBUTTONDOWN: return {MouseAction::Down, TMouseButton::Right};
    case WM_RBUTTONDBLCLK: return {MouseAction::Double, TMouseButton::Right};
    case WM_RBUTTONUP: return {MouseAction::Up, TMouseButton::Right};
    case WM_MBUTTONDOWN: return {MouseAction::Down, TMouseButton::Middle};
    case WM_MBUTTONDBLCLK: return {MouseAction::Double, TMouseButton::Middle};
    case WM_MBUTTONUP: return {MouseAction::Up, TMouseButton::Middle};
    default: return {MouseAction::Move, TMouseButton::Left};
    }
}

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState shift = KeyboardShiftState();
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    return shift;
}

}  // namespace

bool TWinControl::HandleMouse(Message& message) {
    POINT point{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    TControl* target = mouseControl_ ? mouseControl_ : ControlAtPos(point);
    if (!target) target = this;
    if (target != this) point = POINT{point.x - target->Left(), point.y - target->Top()};
    TShiftState shift = MouseShiftState(message.wParam);
    auto [action, button] = Unpack(message.msg);
    bool left = button == TMouseButton::Left;
    if (action == MouseAction::Double && !(target->ControlStyle & csDoubleClicks)) action = MouseAction::Down;

    switch (action) {
    case MouseAction::Move:
        target->MouseMove(shift, point.x, point.y);
        return false;
    case MouseAction::Down:
    case MouseAction::Double:
        if (left && (target->ControlStyle & csCaptureMouse)) {
            mouseControl_ = target;
            SetCapture(handle_.Get());
        }
        if (left) clicked_ = action == MouseAction::Down && (target->ControlStyle & csClickEvents) ? target : nullptr;
        if (action == MouseAction::Double) {
            if (target->ControlStyle & csClickEvents) target->DblClick();
            shift |= ssDouble;
        }
        target->MouseDown(button, shift, point.x, point.y);
        break;
    case MouseAction::Up: {
        bool click = left && clicked_ == target;
        if (left) {
            clicked_ = nullptr;
            if (std::exchange(mouseControl_, nullptr) && GetCapture() == handle_.Get()) ReleaseCapture();
        }
        target->MouseUp(button, shift, point.x, point.y);
        RECT client = target->ClientRect();
        if (click && PtInRect(&client, point)) target->Click();
        break;
    }
    }
    // The right button's release still has to become the context menu.
    return left;
}

bool TWinControl::HandleSetCursor(Message& message) {
    if (LOWORD(message.lParam) != HTCLIENT || reinterpret_cast<HWND>(message.wParam) != handle_.Get()) return false;
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(handle_.Get(), &point);
    TControl* target = ControlAtPos(point);
    TCursor cursor = target ? target->Cursor : Cursor;
    if (cursor == crDefault) return false;
    SetCursor(CursorHandle(cursor));
    message.result = TRUE;
    return true;
}

bool TWinControl::HandleChildColor(Message& message) {
    HWND childWindow = reinterpret_cast<HWND>(message.lParam);
    for (TControl* control : controls_) {
        auto* child = dynamic_cast<TWinControl*>(control);
        if (!child || child->handle_.Get() != childWindow) continue;
        HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(message.wParam));
        if (!brush) return false;
        message.result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    return false;
}

bool TWinControl::HandleContextMenu(Message& message) {
    POINT screen{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    if (message.lParam == -1) GetCursorPos(&screen);
    POINT client = screen;
    ScreenToClient(handle_.Get(), &client);
    TControl* target = ControlAtPos(client);
    TPopupMenu* menu = target && target->PopupMenu() ? target->PopupMenu() : PopupMenu();
    if (!menu) return false;
    menu->Popup(screen.x, screen.y);
    return true;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left, top_ = top, width_ = width, height_ = height;
    UpdateWindowPlacement();
}

void TWinControl::UpdateWindowPlacement() {
    if (handle_)
        SetWindowPos(handle_.Get(), nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (handle_ || value) ShowWindow(Handle(), value ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    if (handle_) EnableWindow(handle_.Get(), value);
    Invalidate();
    Perform(CM_ENABLEDCHANGED);
}

void TWinControl::SetCaption(const std::wstring& value) {
    if (value == caption_) return;
    caption_ = value;
    if (handle_) SetWindowTextW(handle_.Get(), caption_.c_str());
    Invalidate();
    Perform(CM_TEXTCHANGED);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    std::vector<TControl*> children = controls_;
    for (TControl* control : children) control->ParentFontChanged();
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_.Get(), nullptr, FALSE);
}

void TWinControl::BringToFront() {
    if (handle_) SetWindowPos(handle_.Get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TControl::BringToFront();
}

void TWinControl::SendToBack() {
    if (handle_) SetWindowPos(handle_.Get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TControl::SendToBack();
}

bool TWinControl::TabToNext(WORD key, TShiftState shift) {
    if (key != VK_TAB || (shift & (ssCtrl | ssAlt))) return false;
    SelectNext(!(shift & ssShift));
    return true;
}

void TWinControl::SelectNext(bool forward) {
    if (!Parent()) return;
    std::vector<TWinControl*> stops;
    for (TControl* control : Parent()->Controls()) {
        auto* window = dynamic_cast<TWinControl*>(control);
        if (window && (window == this || (window->TabStop && window->Visible() && window->Enabled())))
            stops.push_back(window);
    }
    std::stable_sort(stops.begin(), stops.end(), [](TWinControl* a, TWinControl* b) { return a->TabOrder < b->TabOrder; });
    auto it = std::find(stops.begin(), stops.end(), this);
    size_t index = static_cast<size_t>(it - stops.begin());
    size_t count = stops.size();
    for (size_t step = 1; step < count; ++step) {
        TWinControl* next = stops[(forward ? index + step : index + count - step) % count];
        if (next != this) {
            next->SetFocus();
            return;
        }
    }
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_.Get(); }

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto child = dynamic_cast<TWinControl*>(control); child && handle_) child->Handle();
}

void TWinControl::RemoveControl(TControl* control) {
    std::erase(controls_, control);
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (clicked_ == control) clicked_ = nullptr;
}

void TWinControl::BringControlToFront(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    controls_.push_back(control);
    control->Invalidate();
}

void TWinControl::SendControlToBack(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    controls_.insert(controls_.begin(), control);
    control->Invalidate();
}

void TWinControl::InvalidateChild(const RECT& bounds) {
    if (batches_ > 0) {
        UnionRect(&batched_, &batched_, &bounds);
        return;
    }
    // A windowless control need not cover its rectangle (a shape, a picture with a key
    // colour): the background beneath is drawn again first.
    if (HandleAllocated()) InvalidateRect(handle_.Get(), &bounds, TRUE);
}

InvalidationBatch::InvalidationBatch(TWinControl& window) : window_(window) {
    if (window_.batches_++ == 0) SetRectEmpty(&window_.batched_);
}

InvalidationBatch::~InvalidationBatch() {
    if (--window_.batches_ > 0 || IsRectEmpty(&window_.batched_) || !window_.HandleAllocated()) return;
    InvalidateRect(window_.Handle(), &window_.batched_, erase_ ? TRUE : FALSE);
}

void TWinControl::Broadcast(Message& message) {
    std::vector<TControl*> children = controls_;
    for (TControl* control : children) {
        control->Dispatch(message);
        if (message.result != 0) return;
    }
}

void TWinControl::ChangeScale(int M, int D) {
    if (M == D || M <= 0 || D <= 0) return;
    ScaleControls(M, D);
    TControl::ChangeScale(M, D);
}

void TWinControl::ScaleControls(int M, int D) {
    std::vector<TControl*> children = controls_;
    for (TControl* control : children) control->ChangeScale(M, D);
}

void TWinControl::AddLayoutChild(TComponent* child) {
    if (auto control = dynamic_cast<TControl*>(child)) control->SetParent(this);
}

}  // namespace forms
