#pragma once
// The timers of the component library: one pool of window-message timers that many users
// share, and a high-resolution timer driven by a thread of its own.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "forms/Classes.h"
#include "forms/Controls.h"
#include "forms/ExtCtrls.h"
#include "forms/Handles.h"

namespace components {

// Callbacks that tick on the user-interface thread, each on a timer of the framework, so those
// of one interval share a platform timer. Intervals are multiples of 50 ms, at least 50: others
// are rounded up.
class TTimerPool {
public:
    using TimerId = uint16_t;
    TTimerPool() = default;
    TTimerPool(const TTimerPool&) = delete;
    TTimerPool& operator=(const TTimerPool&) = delete;

    // The program's one pool, made on first use.
    static TTimerPool& Global();
    static UINT RoundInterval(UINT interval);

    // A new, enabled timer; 0 when every id is taken.
    TimerId Add(forms::TNotifyEvent callback, UINT interval);
    void Remove(TimerId id);
    void SetEnabled(TimerId id, bool enabled);
    void SetInterval(TimerId id, UINT interval);

    bool Contains(TimerId id) const { return timers_.contains(id); }
    bool Enabled(TimerId id) const;
    UINT Interval(TimerId id) const;
    // One tick of a timer, as the platform delivers it (exceptions go to the application's report).
    void Tick(TimerId id);

private:
    forms::TTimer* Find(TimerId id) const;
    std::map<TimerId, std::unique_ptr<forms::TTimer>> timers_;
    TimerId lastId_ = 0;
};

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A timer whose thread waits out each interval. Unthreaded, each tick is handed to the thread
// that made the timer (through its message queue) and runs there; threaded, ticks run on the
// timer's own thread. Ticks that arrive while one is still waiting to run are merged.
class THiTimer : public forms::TObject {
public:
    explicit THiTimer(bool threaded);
    ~THiTimer() override;
    THiTimer(const THiTimer&) = delete;
    THiTimer& operator=(const THiTimer&) = delete;

    bool Threaded() const { return threaded_; }
    UINT Interval() const;
    void SetInterval(UINT interval);
    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority priority);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Set before enabling: the thread reads it.
    forms::TNotifyEvent OnTimer;

private:
    void Run();
    void Fire();
    void Deliver();
    void WndProc(forms::Message& message);

    const bool threaded_;
    forms::WindowHandle window_;  // on the making thread: unthreaded ticks and threaded failures
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    UINT interval_ = 1000;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
    bool enabled_ = false;
    bool stopping_ = false;
    unsigned generation_ = 0;  // counts changes, so the thread starts its wait again
    bool tickPending_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace components
