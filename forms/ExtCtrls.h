#pragma once
// Timers: window-message timers on the user-interface thread. Timers of equal interval share one
// platform timer, so the program wakes once a period however many of them run; they tick in the
// order in which they started.
#include <windows.h>

#include <span>

#include "forms/Classes.h"
#include "forms/Handles.h"

namespace forms {

// The cursor position for a timer's event handler: the timers that tick together in one period
// share one reading, taken when the first of them asks; anywhere else each call reads afresh.
// False when the position cannot be read.
bool TimerCursorPos(POINT& position);

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

    const TPropertyTable<TComponent>& StoredProperties() const override;
    void Loaded() override;

private:
    void UpdateTimer();
    UINT runningInterval_ = 0;  // the interval whose shared timer it is in; 0 while stopped
    bool enabled_ = true;
    UINT interval_ = 1000;
    TNotifyEvent onTimer_;
};

// Ticks the timers now, in order, as one period of their platform timer would: they share one
// cursor reading, and one stopped by an earlier one's tick does not tick.
void TickTogether(std::span<TTimer* const> timers);

}  // namespace forms
