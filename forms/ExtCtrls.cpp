#include "forms/ExtCtrls.h"

#include "forms/Controls.h"
#include "forms/Streaming.h"

namespace forms {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    window_ = CreateWindowExW(0, EnsureWindowClass(L"KurunTimer", WindowProcedure), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
    KillTimer(window_, 1);
    DestroyWindow(window_);
}

LRESULT CALLBACK TTimer::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        if (auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA))) timer->Tick();
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

void TTimer::Tick() {
    try {
        if (onTimer_) onTimer_(this);
    } catch (...) {
        ReportException(this);
    }
}

void TTimer::UpdateTimer() {
    KillTimer(window_, 1);
    if (enabled_ && interval_ != 0 && onTimer_ && !HasState(ComponentState::Loading)) SetTimer(window_, 1, interval_, nullptr);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(UINT value) {
    if (value == interval_) return;
    interval_ = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

bool TTimer::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    if (name == "Enabled") enabled_ = reader.Boolean(value);
    else if (name == "Interval") interval_ = static_cast<UINT>(reader.Integer(value));
    else if (name == "OnTimer") onTimer_ = reader.Method(value);
    else return TComponent::ReadProperty(name, value, reader);
    return true;
}

void TTimer::WriteProperties(TWriter& writer) const {
    if (!enabled_) writer.Boolean("Enabled", false);
    if (interval_ != 1000) writer.Integer("Interval", interval_);
}

}  // namespace forms
