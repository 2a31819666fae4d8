#include "forms/ExtCtrls.h"

#include "forms/Controls.h"
#include "forms/Properties.h"

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

const TPropertyTable<TComponent>& TTimer::StoredProperties() const {
    using P = TProperties<TTimer>;
    static const TPropertyTable<TComponent> table(&TComponent::StoredProperties(), {
        P::Boolean("Enabled", &TTimer::enabled_, true),
        P::Integer("Interval", &TTimer::interval_, 1000),
        P::Event("OnTimer", &TTimer::onTimer_),
    });
    return table;
}

}  // namespace forms
