#include "forms/Forms.h"

#include <algorithm>
#include <vector>

#include "core/Scale.h"
#include "forms/Dpi.h"
#include "forms/Properties.h"
#include "forms/Streaming.h"

namespace forms {

TApplication* Application = nullptr;

void ReportException(TObject* sender) {
    if (Application) Application->HandleException(sender);
}

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    visible_ = false;
    color_ = clBtnFace;
    parentColor_ = false;
    parentFont_ = false;
    left_ = 0, top_ = 0, width_ = 320, height_ = 240;
}

TCustomForm::~TCustomForm() {
    if (Application) Application->FormDestroyed(this);
}

void TCustomForm::InitInheritedComponent(const std::wstring& resourceName) {
    LoadLayout(TReader::LayoutResource(resourceName));
}

void TCustomForm::LoadLayout(const core::LayoutObject& layout) { TReader::ReadRoot(this, layout); }

int TCustomForm::PixelScaleForDpi(int dpi) const {
    return core::PixelScaleForDpi(ScaleBy(dpi, core::kDesignDpi, designedDpi_ > 0 ? designedDpi_ : core::kDesignDpi));
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    if (HasState(ComponentState::Designing)) return;
    const int scale = PixelScaleForDpi(static_cast<int>(MonitorDpiAt(POINT{left_, top_})));
    const int old = pixelScale_;
    if (scale == old) return;
    ChangeScale(scale, old);
    // The designed place is a place at the designed scale.
    SetBounds(ScaleBy(left_, scale, old), ScaleBy(top_, scale, old), width_, height_);
}

void TCustomForm::ChangeScale(int M, int D) {
    if (M == D || M <= 0 || D <= 0) return;
    const std::optional<POINT> before = ScaleAnchor();
    ScaleControls(M, D);
    ScalePixels(M, D);
    ScaleFont(M, D);
    POINT place{left_, top_};
    if (const std::optional<POINT> after = ScaleAnchor(); before && after)
        place = POINT{left_ + before->x - after->x, top_ + before->y - after->y};
    // One move: the window never shows the new size at the old place.
    SetBounds(place.x, place.y, ScaleBy(width_, M, D), ScaleBy(height_, M, D));
    if (handle_) InvalidateRect(handle_.Get(), nullptr, TRUE);
    HintsChanged();  // the controls' rectangles and the font are the new scale's
}

void TCustomForm::HintsChanged() {
    if (visible_) hints_.Update(*this, PointedHintsOnly);
}

void TCustomForm::RelayToHints(HWND window, const Message& message) { hints_.Relay(window, message); }

void TCustomForm::SetBounds(int left, int top, int width, int height) {
    const bool moves = left != left_ || top != top_;
    TWinControl::SetBounds(left, top, width, height);
    if (moves) hints_.WindowMoved();
}

void TCustomForm::ChangeDpi(int dpi, const RECT* suggested) {
    ChangeScale(PixelScaleForDpi(dpi), pixelScale_);
    // The size is ours (whole factors only); the place is the system's unless we keep a point.
    if (suggested && !ScaleAnchor()) SetBounds(suggested->left, suggested->top, width_, height_);
}

void TCustomForm::AfterConstruction() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::CreateParams(CreateParamsData& params) {
    params.style = WS_POPUP | WS_CLIPCHILDREN | (enabled_ ? 0 : WS_DISABLED);
    switch (borderStyle_) {
    case TBorderStyle::None: break;
    case TBorderStyle::Single:
    case TBorderStyle::ToolWindow: params.style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    case TBorderStyle::Dialog: params.style |= WS_CAPTION | WS_SYSMENU | DS_MODALFRAME; break;
    default: params.style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    params.exStyle = formStyle_ == TFormStyle::StayOnTop ? WS_EX_TOPMOST : 0;
    if (!Activatable) params.exStyle |= WS_EX_NOACTIVATE;
    params.parent = Application ? Application->Handle() : nullptr;
    params.caption = caption_;
}

void TCustomForm::UpdateStyles() {
    if (!handle_) return;
    CreateParamsData params;
    CreateParams(params);
    DWORD visible = GetWindowLongW(handle_.Get(), GWL_STYLE) & WS_VISIBLE;
    SetWindowLongW(handle_.Get(), GWL_STYLE, static_cast<LONG>(params.style | visible));
    SetWindowPos(handle_.Get(), formStyle_ == TFormStyle::StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // Keep the outer size the layout gave, whatever the frame now is.
    UpdateWindowPlacement();
}

void TCustomForm::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    UpdateStyles();
}

void TCustomForm::SetBrushStyle(TBrushStyle value) {
    if (value == brushStyle_) return;
    brushStyle_ = value;
    Invalidate();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
    if (value == formStyle_) return;
    formStyle_ = value;
    UpdateStyles();
}

void TCustomForm::SetColor(TColor value) {
    TWinControl::SetColor(value);
    for (TControl* control : Controls()) control->ParentColorChanged();
}

void TCustomForm::SetVisible(bool value) {
    if (value == visible_ && (!value || handle_)) return;
    visible_ = value;
    if (value) {
        hints_.Update(*this, PointedHintsOnly);
        // An ornament shown activated would take the keyboard focus from whatever the user is
        // typing into, and Wine would hand it to the window manager for good.
        ShowWindow(Handle(), Activatable ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
        if (formStyle_ == TFormStyle::StayOnTop)
            SetWindowPos(handle_.Get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (OnShow) OnShow(this);
    } else if (handle_) {
        hints_.Pop();
        ShowWindow(handle_.Get(), SW_HIDE);
        if (OnHide) OnHide(this);
    }
}

void TCustomForm::SetClientSize(bool horizontal, int value) {
    CreateParamsData params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.style, FALSE, params.exStyle);
    if (horizontal) SetWidth(value + frame.right - frame.left);
    else SetHeight(value + frame.bottom - frame.top);
}

void TCustomForm::Show() { SetVisible(true); }
void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Close() {
    if (OnClose) OnClose(this);
    if (inModal_) ModalResult = 2;  // cancel
    else if (Application && Application->MainForm() == this) Application->Terminate();
    else Hide();
}

int TCustomForm::ShowModal() {
    if (visible_ || !enabled_) throw EInvalidOperation(L"表示されているウィンドウをモーダルにすることはできません");
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && IsWindowEnabled(window))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);
    // However the nested loop ends, the other windows come back, this one goes and the window
    // that was in front gets the keyboard back.
    struct ModalScope {
        TCustomForm& form;
        const std::vector<HWND>& disabled;
        HWND before;
        ~ModalScope() {
            form.inModal_ = false;
            for (HWND window : disabled) EnableWindow(window, TRUE);
            form.Hide();
            if (before && before != form.handle_.Get() && IsWindowVisible(before)) SetForegroundWindow(before);
        }
    } scope{*this, disabled, GetForegroundWindow()};
    ModalResult = 0;
    inModal_ = true;
    focusedChild_ = nullptr;  // a new showing starts at ActiveControl
    // Each showing starts without the keyboard cues, as a new dialog does: keys turn them on.
    SendMessageW(Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    Show();
    // Asked for from the tray or by another start, it must not open behind the window in front.
    SetForegroundWindow(Handle());
    if (ActiveControl && ActiveControl->Visible() && ActiveControl->Enabled()) ActiveControl->SetFocus();
    while (ModalResult == 0 && Application && !Application->Terminated()) Application->HandleMessage();
    return ModalResult;
}

bool TCustomForm::WMEraseBkGnd(HDC dc) {
    if (brushStyle_ == TBrushStyle::Clear) return true;
    return TWinControl::WMEraseBkGnd(dc);
}

void TCustomForm::WMClose(Message&) { Close(); }

// The default handling focuses the form itself on activation; the keyboard goes back to the
// control it was in, or to ActiveControl, as the system's dialogs do.
void TCustomForm::WMActivate(Message& message) {
    const HWND window = handle_.Get();
    if (LOWORD(message.wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        focusedChild_ = focus && IsChild(window, focus) ? focus : nullptr;
        DefaultHandler(message);
        return;
    }
    DefaultHandler(message);
    HWND target = focusedChild_ && IsChild(window, focusedChild_) ? focusedChild_ : nullptr;
    if (!target && ActiveControl && ActiveControl->HandleAllocated()) target = ActiveControl->Handle();
    if (target && IsWindowVisible(target) && IsWindowEnabled(target)) ::SetFocus(target);
}

void TCustomForm::PreviewKey(WORD& key, TShiftState shift) {
    if (!FocusCuesShown()) SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    if (KeyPreview && OnKeyDown) OnKeyDown(this, key, shift);
}

void TCustomForm::WndProc(Message& message) {
    switch (message.msg) {
    case WM_CLOSE:
        WMClose(message);
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(message);
        return;
    case WM_ACTIVATE:
        WMActivate(message);
        return;
    case WM_ENDSESSION:
        // The system ends the process once every window has answered: end the program now.
        if (message.wParam && Application) Application->CloseMainForm();
        return;
    case WM_GETDPISCALEDSIZE_: {
        // Tells the system the size at the new scale, so its suggested rectangle fits it.
        const int scale = PixelScaleForDpi(LOWORD(message.wParam));
        auto* size = reinterpret_cast<SIZE*>(message.lParam);
        size->cx = ScaleBy(width_, scale, pixelScale_);
        size->cy = ScaleBy(height_, scale, pixelScale_);
        message.result = TRUE;
        return;
    }
    case WM_DPICHANGED_:
        ChangeDpi(LOWORD(message.wParam), reinterpret_cast<const RECT*>(message.lParam));
        return;
    case WM_MOUSEACTIVATE:
        if (!Activatable) {
            message.result = MA_NOACTIVATE;
            return;
        }
        [[fallthrough]];
    default:
        TWinControl::WndProc(message);
    }
}

const TPropertyTable<TComponent>& TCustomForm::StoredProperties() const {
    using P = TProperties<TCustomForm>;
    static constexpr std::pair<std::string_view, TBorderStyle> borderStyles[] = {
        {"bsNone", TBorderStyle::None},     {"bsSingle", TBorderStyle::Single},
        {"bsSizeable", TBorderStyle::Sizeable}, {"bsDialog", TBorderStyle::Dialog},
        {"bsToolWindow", TBorderStyle::ToolWindow}, {"bsSizeToolWin", TBorderStyle::SizeToolWin},
    };
    static constexpr std::pair<std::string_view, TFormStyle> formStyles[] = {
        {"fsNormal", TFormStyle::Normal}, {"fsStayOnTop", TFormStyle::StayOnTop}};
    static const TPropertyTable<TComponent> table(&TWinControl::StoredProperties(), {
        P::Ident<TBorderStyle>("BorderStyle", borderStyles, &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                               TBorderStyle::Sizeable),
        P::Ident<TFormStyle>("FormStyle", formStyles, &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                             TFormStyle::Normal),
        // The outer size follows from the client size and the border; only the outer one is written.
        P::Custom("ClientWidth", [](TCustomForm& form, const core::LayoutValue& value, TReader& reader) {
            form.SetClientSize(true, static_cast<int>(reader.Integer(value)));
        }),
        P::Custom("ClientHeight", [](TCustomForm& form, const core::LayoutValue& value, TReader& reader) {
            form.SetClientSize(false, static_cast<int>(reader.Integer(value)));
        }),
        P::Boolean("OldCreateOrder", &TCustomForm::OldCreateOrder, false),
        // Read, never written: the DPI the layout was designed at.
        P::Custom("PixelsPerInch", [](TCustomForm& form, const core::LayoutValue& value, TReader& reader) {
            form.designedDpi_ = static_cast<int>(reader.Integer(value));
        }),
        P::Event("OnCreate", &TCustomForm::OnCreate),
        P::Event("OnShow", &TCustomForm::OnShow),
        P::Event("OnHide", &TCustomForm::OnHide),
        P::Event("OnClose", &TCustomForm::OnClose),
        // Designer bookkeeping: a borderless window has no border icons, the position is the designed one.
        P::Ignored({"BorderIcons", "TextHeight", "Position", "Scaled"}),
    });
    return table;
}

// ---- TApplication ----

LRESULT CALLBACK TApplication::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, msg, wParam, lParam);
    Message message{msg, wParam, lParam};
    try {
        // A copy: a hook may remove itself or another.
        auto hooks = self->hooks_;
        for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
            if (it->second(message)) return message.result;
        // Closing this window would take every form with it and leave the loop running: a
        // close request (taskkill, another program) or the session's end ends the program instead.
        if (msg == WM_CLOSE || (msg == WM_ENDSESSION && wParam)) {
            self->CloseMainForm();
            return 0;
        }
    } catch (...) {
        ReportException(self);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    handle_.Reset(CheckCreated(CreateWindowExW(0, EnsureWindowClass(L"KurunApplication", WindowProcedure),
                                               L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)));
    SetWindowLongPtrW(handle_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Only an application that exists becomes the program's.
    if (!Application) Application = this;
}

TApplication::~TApplication() {
    // The forms go before the window that owns them.
    while (ComponentCount() > 0) delete Component(ComponentCount() - 1);
    handle_.Reset();
    if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (handle_) SetWindowTextW(handle_.Get(), title.c_str());
}

void TApplication::ShowTaskbarButton(bool show) {
    if (handle_) ShowWindow(handle_.Get(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TApplication::HookMainWindow(const void* key, TWindowHook hook) {
    UnhookMainWindow(key);
    hooks_.emplace_back(key, std::move(hook));
}

void TApplication::UnhookMainWindow(const void* key) {
    std::erase_if(hooks_, [key](const auto& hook) { return hook.first == key; });
}

void TApplication::FormDestroyed(TCustomForm* form) {
    if (form == mainForm_) mainForm_ = nullptr;
}

void TApplication::Run() {
    if (mainForm_ && ShowMainForm) {
        ShowTaskbarButton(true);
        mainForm_->Show();
    }
    while (!terminated_ && mainForm_) HandleMessage();
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::CloseMainForm() {
    if (mainForm_) mainForm_->Close();
    else Terminate();
}

bool TApplication::HandleMessage() {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void TApplication::HandleException(TObject* sender) {
    Exception error = AsFrameworkException(std::current_exception());
    if (OnException) OnException(sender, error);
    else ShowException(error);
}

void TApplication::ShowException(const Exception& error) {
    MessageBoxW(GetActiveWindow(), error.Message().c_str(), title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace forms
