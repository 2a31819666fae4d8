#include "forms/Hints.h"

#include <windowsx.h>

#include <algorithm>

#include "forms/Handles.h"

namespace forms {

namespace {

POINT MessageScreenPos() {
    const DWORD pos = GetMessagePos();
    return POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

UINT HoverTime() {
    UINT hover = 400;
    SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hover, 0);
    return hover;
}

constexpr UINT kShowTime = 5000;  // as long as the system's tooltips stay

// The application's one hint window, shared by every form: one pointer shows one hint at a
// time. It is made when a hint first shows, so a program whose hints nobody asks for spends
// nothing on them; its timers need no window.
class HintWindow {
public:
    static HintWindow& Instance() {
        static HintWindow instance;
        return instance;
    }
    TFormHints* Owner() const { return owner_; }
    bool Showing() const { return window_ && IsWindowVisible(window_.Get()); }
    HWND Handle() const { return window_.Get(); }

    // `owner`'s hint is on its way: the owner is told when `delay` has passed.
    void Arm(TFormHints* owner, UINT delay) {
        Hide();
        owner_ = owner;
        StartTimer(delay);
    }
    void Show(const std::wstring& text, HFONT font, POINT pointer) {
        if (!Create()) return;
        text_ = text;
        font_ = font ? font : StatusFont();
        const RECT place = PlaceBelow(pointer, TextSize());
        SetWindowPos(window_.Get(), HWND_TOPMOST, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        InvalidateRect(window_.Get(), nullptr, TRUE);
        StartTimer(kShowTime);
    }
    // Takes away the hint on its way or shown, and forgets its owner.
    void Hide() {
        StopTimer();
        if (Showing()) ShowWindow(window_.Get(), SW_HIDE);
        owner_ = nullptr;
    }

private:
    void StartTimer(UINT delay) {
        StopTimer();
        timer_ = SetTimer(nullptr, 0, delay, &TimerFired);
    }
    void StopTimer() {
        if (timer_) KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    static void CALLBACK TimerFired(HWND, UINT, UINT_PTR, DWORD) {
        HintWindow& self = Instance();
        self.StopTimer();
        if (!self.owner_) return;
        if (self.Showing()) self.owner_->ShowEnded();
        else self.owner_->HoverEnded();
    }

    bool Create() {
        if (window_) return true;
        window_.Reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                      EnsureWindowClass(L"TFormHintWindow", &Procedure, CS_DROPSHADOW | CS_SAVEBITS),
                                      nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                                      nullptr));
        return static_cast<bool>(window_);  // no hints is no reason to refuse anything else
    }
    HFONT StatusFont() {
        if (!statusFont_) {
            NONCLIENTMETRICSW metrics{};
            metrics.cbSize = sizeof(metrics);
            SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
            statusFont_.Reset(CreateFontIndirectW(&metrics.lfStatusFont));
        }
        return statusFont_.Get();
    }
    // The text's distance from the one-pixel frame, across and down; it grows with the font.
    SIZE Padding() const {
        const int across = std::max(2, static_cast<int>(textHeight_ / 6));
        return SIZE{across + 1, across / 2 + 1};
    }
    SIZE TextSize() {
        WindowDC screen(nullptr);
        SelectedObject font(screen.Get(), font_);
        RECT text{};
        DrawTextW(screen.Get(), text_.c_str(), static_cast<int>(text_.size()), &text, DT_CALCRECT | DT_NOPREFIX);
        textHeight_ = text.bottom - text.top;
        const SIZE padding = Padding();
        return SIZE{text.right + 2 * padding.cx, text.bottom + 2 * padding.cy};
    }
    // Below the pointer's picture, inside the work area of the pointer's monitor.
    static RECT PlaceBelow(POINT pointer, SIZE size) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const int below = pointer.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
        const int top = below + size.cy <= work.bottom ? below : pointer.y - size.cy - 2;
        const int left = std::clamp(static_cast<int>(pointer.x), static_cast<int>(work.left),
                                    std::max(static_cast<int>(work.left), static_cast<int>(work.right - size.cx)));
        return RECT{left, top, left + size.cx, top + size.cy};
    }
    void Paint(HDC dc) {
        RECT client{};
        GetClientRect(window_.Get(), &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
        FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
        SelectedObject font(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        const SIZE padding = Padding();
        RECT text{client.left + padding.cx, client.top + padding.cy, client.right - padding.cx, client.bottom};
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &text, DT_NOPREFIX);
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_PAINT: {
            PaintScope paint(window);
            Instance().Paint(paint.Get());
            return 0;
        }
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // the pointer belongs to what lies below
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
        }
    }

    WindowHandle window_;
    FontHandle statusFont_;
    UINT_PTR timer_ = 0;
    TFormHints* owner_ = nullptr;
    std::wstring text_;
    HFONT font_ = nullptr;
    LONG textHeight_ = 0;
};

}  // namespace

TFormHints::~TFormHints() { Pop(); }

void TFormHints::Update(TWinControl& root, bool pointedOnly) {
    Pop();
    pointed_ = nullptr;
    root_ = &root;
    pointedOnly_ = pointedOnly;
    hoverTime_ = HoverTime();
    tools_.clear();
    AddTools(root);
}

HWND TFormHints::Shown() const {
    HintWindow& hint = HintWindow::Instance();
    return hint.Owner() == this && hint.Showing() ? hint.Handle() : nullptr;
}

void TFormHints::AddTools(TWinControl& parent) {
    for (TControl* control : parent.Controls()) {
        auto* windowed = dynamic_cast<TWinControl*>(control);
        const bool shows = control->ShowHint && !control->Hint.empty();
        if (windowed) {
            if (shows) tools_.push_back({windowed->Handle(), RECT{}, control->Hint});
            AddTools(*windowed);
        } else if (shows) {
            tools_.push_back({parent.Handle(), control->BoundsRect(), control->Hint});
        }
    }
}

// A control without a window of its own is found by its rectangle; the last one added lies on top.
const TFormHints::Tool* TFormHints::ToolAt(HWND window, POINT client) const {
    for (auto tool = tools_.rbegin(); tool != tools_.rend(); ++tool)
        if (tool->window == window && (IsRectEmpty(&tool->rect) || PtInRect(&tool->rect, client))) return &*tool;
    return nullptr;
}

void TFormHints::Relay(HWND window, const Message& message) {
    if (tools_.empty()) return;
    switch (message.msg) {
    case WM_MOUSEMOVE: {
        if (pointedOnly_) {
            const POINT at = MessageScreenPos();
            if (at.x == restingPointer_.x && at.y == restingPointer_.y) return;
            restingPointer_ = POINT{INT_MIN, INT_MIN};  // the pointer has moved since
        }
        const Tool* tool = ToolAt(window, POINT{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)});
        if (tool != pointed_) {
            Pop();
            pointed_ = tool;
            spent_ = false;
            if (!tool) return;
            // Told when it leaves: the pointer may go straight to another program.
            TRACKMOUSEEVENT leave{sizeof(leave), TME_LEAVE, window, 0};
            TrackMouseEvent(&leave);
        }
        // Every move starts the wait afresh: the hint comes once the pointer rests.
        if (tool && !spent_ && !Shown()) HintWindow::Instance().Arm(this, hoverTime_);
        return;
    }
    case WM_MOUSELEAVE:
        if (pointed_ && pointed_->window == window) {
            Pop();
            pointed_ = nullptr;
        }
        return;
    default:  // a press: the hint would only be in the way
        Pop();
    }
}

void TFormHints::HoverEnded() {
    if (!pointed_) return;
    POINT pointer{};
    GetCursorPos(&pointer);
    HintWindow::Instance().Show(pointed_->text, pointedOnly_ ? root_->Font().Handle() : nullptr, pointer);
}

// Shown long enough: it comes again only when the pointer has gone to another control.
void TFormHints::ShowEnded() {
    Pop();
    spent_ = true;
}

// Only a hint on its way or shown costs anything here: every step of a walk comes this way.
void TFormHints::Pop() {
    HintWindow& hint = HintWindow::Instance();
    if (hint.Owner() == this) hint.Hide();
}

void TFormHints::WindowMoved() {
    if (pointedOnly_) restingPointer_ = MessageScreenPos();
    Pop();
}

}  // namespace forms
