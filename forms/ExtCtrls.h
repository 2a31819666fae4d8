#pragma once
// Timers: window-message timers on the user-interface thread.
#include <windows.h>

#include "forms/Classes.h"

namespace forms {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT value);
    TNotifyEvent OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);
    // One tick, as the platform timer delivers it (exceptions go to the application's report).
    void Tick();
    HWND WindowHandle() const { return window_; }

    const TPropertyTable<TComponent>& StoredProperties() const override;
    void Loaded() override;

private:
    void UpdateTimer();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    bool enabled_ = true;
    UINT interval_ = 1000;
    TNotifyEvent onTimer_;
};

}  // namespace forms
