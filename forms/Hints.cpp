#include "forms/Hints.h"

#include <commctrl.h>

#include "forms/SystemLibrary.h"

namespace forms {

namespace {

POINT MessageScreenPos() {
    const DWORD pos = GetMessagePos();
    return POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

// The common controls are loaded from the system folder when first needed, never imported: an
// imported comctl32 would be searched beside the program first.
void RegisterTooltipClass() {
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const auto initCommonControlsEx =
        SystemFunction<InitCommonControlsExFn>(L"comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
    if (initCommonControlsEx) initCommonControlsEx(&init);
}

}  // namespace

void TFormHints::Update(TWinControl& root, bool pointedOnly) {
    pointedOnly_ = pointedOnly;
    if (!tooltip_) {
        RegisterTooltipClass();
        tooltip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root.Handle(),
                                       nullptr, GetModuleHandleW(nullptr), nullptr));
        if (!tooltip_) return;  // no hints is no reason to refuse the window
        if (pointedOnly_) {
            UINT hover = 400;
            SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hover, 0);
            SendMessageW(tooltip_.Get(), TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(hover, 0));
        }
    }
    // The root's font is scaled with it, so the hint follows the monitor's factor.
    if (pointedOnly_) SendMessageW(tooltip_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(root.Font().Handle()), FALSE);
    while (ToolCount() > 0) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        SendMessageW(tooltip_.Get(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tooltip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    AddTools(root);
}

int TFormHints::ToolCount() const {
    return tooltip_ ? static_cast<int>(SendMessageW(tooltip_.Get(), TTM_GETTOOLCOUNT, 0, 0)) : 0;
}

void TFormHints::AddTools(TWinControl& parent) {
    for (TControl* control : parent.Controls()) {
        auto* windowed = dynamic_cast<TWinControl*>(control);
        const bool shows = control->ShowHint && !control->Hint.empty();
        if (windowed) {
            if (shows)
                AddTool(parent.Handle(), reinterpret_cast<UINT_PTR>(windowed->Handle()), TTF_IDISHWND, RECT{},
                        control->Hint);
            AddTools(*windowed);
        } else if (shows) {
            AddTool(parent.Handle(), reinterpret_cast<UINT_PTR>(control), 0, control->BoundsRect(), control->Hint);
        }
    }
}

void TFormHints::AddTool(HWND window, UINT_PTR id, UINT flags, const RECT& rect, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = flags | (pointedOnly_ ? 0 : TTF_SUBCLASS);
    tool.hwnd = window;
    tool.uId = id;
    tool.rect = rect;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TFormHints::Relay(HWND window, const Message& message) {
    if (!tooltip_ || !pointedOnly_) return;
    const POINT at = MessageScreenPos();
    if (message.msg == WM_MOUSEMOVE) {
        if (at.x == restingPointer_.x && at.y == restingPointer_.y) return;
        restingPointer_ = POINT{INT_MIN, INT_MIN};  // the pointer has moved since
        // Told when it leaves, as the tooltip is not watching the window itself.
        TRACKMOUSEEVENT leave{sizeof(leave), TME_LEAVE, window, 0};
        TrackMouseEvent(&leave);
        raised_ = true;
    }
    MSG relayed{window, message.msg, message.wParam, message.lParam, static_cast<DWORD>(GetMessageTime()), at};
    SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// Only a hint on its way or shown costs the tooltip a message: every step of a walk comes here.
void TFormHints::Pop() {
    if (!raised_) return;
    SendMessageW(tooltip_.Get(), TTM_POP, 0, 0);
    raised_ = false;
}

void TFormHints::PointerLeft() {
    if (tooltip_ && pointedOnly_) Pop();
}

void TFormHints::WindowMoved() {
    if (!tooltip_ || !pointedOnly_) return;
    restingPointer_ = MessageScreenPos();
    Pop();
}

}  // namespace forms
