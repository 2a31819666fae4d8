#include "forms/Edits.h"

#include "forms/Properties.h"

namespace forms {

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    color_ = clWindow;
    parentColor_ = false;
    width_ = 121, height_ = 21;
    TabStop = true;
}

TEdit::~TEdit() {
    // The window goes first: it still uses the brush and the font while it is destroyed.
    text_ = Text();
    DestroyHandle();
}

std::wstring TEdit::Text() const {
    if (!handle_) return text_;
    int length = GetWindowTextLengthW(handle_.Get());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle_.Get(), text.data(), length + 1)));
    return text;
}

void TEdit::SetText(const std::wstring& value) {
    text_ = value;
    if (handle_) SetWindowTextW(handle_.Get(), value.c_str());
    else if (OnChange) OnChange(this);
}

void TEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (handle_) SendMessageW(handle_.Get(), EM_SETREADONLY, value, 0);
}

void TEdit::SetBorderSingle(bool value) {
    if (value == borderSingle_) return;
    borderSingle_ = value;
    if (handle_) {
        DestroyHandle();
        Handle();
    }
}

void TEdit::SetColor(TColor value) {
    brush_.Reset();
    TWinControl::SetColor(value);
}

void TEdit::SetEnabled(bool value) {
    TWinControl::SetEnabled(value);
    // A disabled box gives the focus away, so the keyboard never lands where the mouse cannot.
    if (!value && handle_ && GetFocus() == handle_.Get() && GetParent(handle_.Get())) ::SetFocus(GetParent(handle_.Get()));
}

void TEdit::CreateParams(CreateParamsData& params) {
    TWinControl::CreateParams(params);
    params.platformClass = L"EDIT";
    params.style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0) | (borderSingle_ ? WS_BORDER : 0);
    params.caption = text_;
}

void TEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(handle_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    SetMargins();
}

// No inner margins: the text sits where a flat box of fixed height has room for it.
void TEdit::SetMargins() {
    if (handle_)
        SendMessageW(handle_.Get(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                     MAKELPARAM(pixelScale_, pixelScale_));
}

void TEdit::ChangeScale(int M, int D) {
    TWinControl::ChangeScale(M, D);
    SetMargins();
}

void TEdit::DescribeAccessible(TAccessibleInfo& info) {
    info.Role = ROLE_SYSTEM_TEXT;
    if (readOnly_) info.State |= STATE_SYSTEM_READONLY;
    info.Value = Text();
}

void TEdit::WndProc(Message& message) {
    switch (message.msg) {
    case WM_PAINT:
        DefaultHandler(message);
        if (Focused() && FocusCuesShown()) {
            // Dotted over the frame, which the box draws inside its client area: the text keeps every pixel.
            WindowDC dc(handle_.Get());
            RECT client{};
            GetClientRect(handle_.Get(), &client);
            DrawFocusRect(dc.Get(), &client);
        }
        return;
    // The platform control paints, takes the mouse and answers hit tests itself.
    case WM_ERASEBKGND:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CONTEXTMENU:
        DefaultHandler(message);
        return;
    case CM_FONTCHANGED:
        if (handle_) SendMessageW(handle_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
        SetMargins();  // a new font brings the platform's margins
        return;
    case WM_LBUTTONDBLCLK:
        DefaultHandler(message);
        if (OnDblClick) OnDblClick(this);
        return;
    case WM_KEYDOWN: {
        WORD key = static_cast<WORD>(message.wParam);
        const TShiftState shift = KeyboardShiftState();
        PreviewKey(key, shift);
        // A single-line box has no use for the tab key: it moves on to the next stop.
        if (key && TabToNext(key, shift)) key = 0;
        if (key && OnKeyDown) OnKeyDown(this, key, shift);
        if (key) {
            DefaultHandler(message);
            return;
        }
        // Done: the character the key made (Enter's, Ctrl+V's, Tab's) must not reach the box as well.
        MSG typed;
        PeekMessageW(&typed, handle_.Get(), WM_CHAR, WM_CHAR, PM_REMOVE);
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        DefaultHandler(message);
        if (FocusCuesShown()) FocusMarkChanged();
        return;
    case WM_SETTEXT:
        DefaultHandler(message);
        NotifyAccessible(EVENT_OBJECT_VALUECHANGE, handle_.Get());
        if (OnChange) OnChange(this);
        return;
    case WM_NCDESTROY:
        text_ = Text();
        DefaultHandler(message);
        return;
    default:
        TWinControl::WndProc(message);
    }
}

HBRUSH TEdit::CtlColor(HDC dc) {
    if (!brush_) brush_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    SetTextColor(dc, ColorToRGB(font_.Color));
    SetBkColor(dc, ColorToRGB(color_));
    return brush_.Get();
}

const TPropertyTable<TComponent>& TEdit::StoredProperties() const {
    using P = TProperties<TEdit>;
    static constexpr std::pair<std::string_view, bool> borders[] = {{"bsNone", false}, {"bsSingle", true}};
    static const TPropertyTable<TComponent> table(&TWinControl::StoredProperties(), {
        P::String("Text", &TEdit::Text, &TEdit::SetText, L""),
        P::Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly, false),
        P::Ident<bool>("BorderStyle", borders, &TEdit::BorderSingle, &TEdit::SetBorderSingle, true),
        P::Boolean("TabStop", &TEdit::TabStop, true),
        P::Event("OnChange", &TEdit::OnChange),
        // The height is the stored one.
        P::Ignored({"AutoSize"}),
    });
    return table;
}

}  // namespace forms
