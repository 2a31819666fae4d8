#include "components/Timers.h"

#include <chrono>

#include "forms/Controls.h"

namespace components {

// ---- TTimerPool ----

TTimerPool& TTimerPool::Global() {
    static TTimerPool pool;
    return pool;
}

UINT TTimerPool::RoundInterval(UINT interval) {
    if (interval < 50) return 50;
    return interval % 50 == 0 ? interval : (interval / 50 + 1) * 50;
}

TTimerPool::TimerId TTimerPool::Add(forms::TNotifyEvent callback, UINT interval) {
    if (timers_.size() >= 0xFFFF) return 0;
    TimerId id = lastId_;
    do id = static_cast<TimerId>(id == 0xFFFF ? 1 : id + 1);
    while (timers_.contains(id));
    auto timer = std::make_unique<forms::TTimer>(nullptr);
    timer->SetInterval(RoundInterval(interval));
    // The pool's callers are told nothing of the timer that ticks for them.
    timer->SetOnTimer([callback = std::move(callback)](forms::TObject*) {
        if (callback) callback(nullptr);
    });
    lastId_ = id;
    timers_.emplace(id, std::move(timer));
    return id;
}

void TTimerPool::Remove(TimerId id) { timers_.erase(id); }

forms::TTimer* TTimerPool::Find(TimerId id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? nullptr : it->second.get();
}

void TTimerPool::SetEnabled(TimerId id, bool enabled) {
    if (forms::TTimer* timer = Find(id)) timer->SetEnabled(enabled);
}

void TTimerPool::SetInterval(TimerId id, UINT interval) {
    if (forms::TTimer* timer = Find(id)) timer->SetInterval(RoundInterval(interval));
}

bool TTimerPool::Enabled(TimerId id) const {
    forms::TTimer* timer = Find(id);
    return timer && timer->Enabled();
}

UINT TTimerPool::Interval(TimerId id) const {
    forms::TTimer* timer = Find(id);
    return timer ? timer->Interval() : 0;
}

void TTimerPool::Tick(TimerId id) {
    forms::TTimer* timer = Find(id);
    if (timer && timer->Enabled()) timer->Tick();
}

// ---- THiTimer ----

namespace {
constexpr UINT WM_TIMER_TICK = WM_USER + 1;
constexpr UINT WM_TIMER_FAILED = WM_USER + 2;

int PlatformPriority(TThreadPriority priority) {
    switch (priority) {
    case TThreadPriority::tpIdle: return THREAD_PRIORITY_IDLE;
    case TThreadPriority::tpLowest: return THREAD_PRIORITY_LOWEST;
    case TThreadPriority::tpLower: return THREAD_PRIORITY_BELOW_NORMAL;
    case TThreadPriority::tpHigher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case TThreadPriority::tpHighest: return THREAD_PRIORITY_HIGHEST;
    case TThreadPriority::tpTimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
    default: return THREAD_PRIORITY_NORMAL;
    }
}
}  // namespace

THiTimer::THiTimer(bool threaded) : threaded_(threaded) {
    auto* procedure = &forms::ObjectWindowProcedure<THiTimer, &THiTimer::window_, &THiTimer::WndProc>;
    forms::CheckCreated(CreateWindowExW(0, forms::EnsureWindowClass(L"KurunHiTimer", procedure), L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this));
    thread_ = std::thread(&THiTimer::Run, this);
}

THiTimer::~THiTimer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    // Ticks still queued for the window go with it.
    window_.Reset();
}

UINT THiTimer::Interval() const {
    std::lock_guard lock(mutex_);
    return interval_;
}

TThreadPriority THiTimer::Priority() const {
    std::lock_guard lock(mutex_);
    return priority_;
}

bool THiTimer::Enabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void THiTimer::SetInterval(UINT interval) {
    {
        std::lock_guard lock(mutex_);
        interval_ = interval == 0 ? 1 : interval;
        ++generation_;
    }
    changed_.notify_all();
}

void THiTimer::SetPriority(TThreadPriority priority) {
    {
        std::lock_guard lock(mutex_);
        priority_ = priority;
        ++generation_;
    }
    changed_.notify_all();
}

void THiTimer::SetEnabled(bool enabled) {
    {
        std::lock_guard lock(mutex_);
        enabled_ = enabled;
        ++generation_;
    }
    changed_.notify_all();
}

void THiTimer::Run() {
    std::unique_lock lock(mutex_);
    int appliedPriority = THREAD_PRIORITY_NORMAL;
    while (!stopping_) {
        if (PlatformPriority(priority_) != appliedPriority) {
            appliedPriority = PlatformPriority(priority_);
            SetThreadPriority(GetCurrentThread(), appliedPriority);
        }
        const unsigned seen = generation_;
        auto changed = [&] { return stopping_ || generation_ != seen; };
        if (!enabled_) {
            changed_.wait(lock, changed);
            continue;
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_);
        if (changed_.wait_until(lock, deadline, changed)) continue;
        lock.unlock();
        Fire();
        lock.lock();
    }
}

void THiTimer::Fire() {
    if (!threaded_) {
        {
            std::lock_guard lock(mutex_);
            if (tickPending_) return;
            tickPending_ = true;
        }
        PostMessageW(window_.Get(), WM_TIMER_TICK, 0, 0);
        return;
    }
    try {
        if (OnTimer) OnTimer(this);
    } catch (...) {
        // Reported on the thread that owns the report, like every other failure.
        {
            std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
        }
        PostMessageW(window_.Get(), WM_TIMER_FAILED, 0, 0);
    }
}

void THiTimer::Deliver() {
    {
        std::lock_guard lock(mutex_);
        tickPending_ = false;
        if (!enabled_) return;
    }
    if (OnTimer) OnTimer(this);
}

void THiTimer::WndProc(forms::Message& message) {
    if (message.msg == WM_TIMER_TICK) {
        Deliver();
    } else if (message.msg == WM_TIMER_FAILED) {
        std::exception_ptr failure;
        {
            std::lock_guard lock(mutex_);
            failure = std::exchange(failure_, nullptr);
        }
        if (failure) std::rethrow_exception(failure);
    } else {
        message.result = DefWindowProcW(window_.Get(), message.msg, message.wParam, message.lParam);
    }
}

}  // namespace components
