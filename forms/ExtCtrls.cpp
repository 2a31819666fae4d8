#include "forms/ExtCtrls.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "forms/Controls.h"
#include "forms/CursorPos.h"
#include "forms/Properties.h"

namespace forms {

namespace {

// The cursor reading shared by the timers of the period being ticked.
struct TSharedCursor {
    bool ticking = false;
    std::optional<bool> read;  // whether it could be read, once it has been
    POINT position{};
};
TSharedCursor sharedCursor;

// The timers of one period share a reading; a period ticked inside another (a modal loop in a
// handler) reads afresh, and so does the rest of the outer one, as time has passed meanwhile.
class TSharedCursorScope {
public:
    TSharedCursorScope() : outerTicking_(sharedCursor.ticking) { sharedCursor = {true, {}, {}}; }
    ~TSharedCursorScope() { sharedCursor = {outerTicking_, {}, {}}; }
    TSharedCursorScope(const TSharedCursorScope&) = delete;
    TSharedCursorScope& operator=(const TSharedCursorScope&) = delete;
private:
    bool outerTicking_;
};

// The running timers by interval, each interval on one platform timer of a message-only window
// that lives while any timer runs.
class TTimerPool {
public:
    static TTimerPool& Instance() {
        static TTimerPool pool;
        return pool;
    }

    void Join(TTimer* timer) {
        // The window first: a timer that cannot run is not counted as running.
        if (!window_)
            window_.Reset(CheckCreated(CreateWindowExW(0, EnsureWindowClass(L"KurunTimer", WindowProcedure), L"", 0, 0,
                                                       0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                                       nullptr)));
        std::vector<TTimer*>& running = running_[timer->Interval()];
        running.push_back(timer);
        if (running.size() == 1) SetTimer(window_.Get(), timer->Interval(), timer->Interval(), nullptr);
    }

    void Leave(TTimer* timer, UINT interval) {
        auto it = running_.find(interval);
        std::erase(it->second, timer);
        if (!it->second.empty()) return;
        KillTimer(window_.Get(), interval);
        running_.erase(it);
        if (running_.empty()) window_.Reset();
    }

private:
    // A tick may stop, start or free timers of its own period: each ticks only while it still runs.
    void Tick(UINT interval) {
        auto it = running_.find(interval);
        if (it == running_.end()) return;
        const std::vector<TTimer*> due = it->second;
        TSharedCursorScope cursor;
        for (TTimer* timer : due) {
            auto now = running_.find(interval);
            if (now != running_.end() && std::find(now->second.begin(), now->second.end(), timer) != now->second.end())
                timer->Tick();
        }
    }

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != WM_TIMER) return DefWindowProcW(window, msg, wParam, lParam);
        Instance().Tick(static_cast<UINT>(wParam));
        return 0;
    }

    WindowHandle window_;
    std::map<UINT, std::vector<TTimer*>> running_;
};

}  // namespace

bool TimerCursorPos(POINT& position) {
    if (!sharedCursor.ticking) return ReadCursorPos(position);
    if (!sharedCursor.read) sharedCursor.read = ReadCursorPos(sharedCursor.position);
    position = sharedCursor.position;
    return *sharedCursor.read;
}

void TickTogether(std::span<TTimer* const> timers) {
    TSharedCursorScope cursor;
    for (TTimer* timer : timers)
        if (timer->Enabled()) timer->Tick();
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    enabled_ = false;
    UpdateTimer();
}

void TTimer::Tick() {
    try {
        // A copy: the handler may free its own timer.
        if (TNotifyEvent handler = onTimer_) handler(this);
    } catch (...) {
        ReportException(this);
    }
}

// A timer that goes on running at the same interval keeps its place and its period.
void TTimer::UpdateTimer() {
    bool run = enabled_ && interval_ != 0 && onTimer_ && !HasState(ComponentState::Loading);
    UINT interval = run ? interval_ : 0;
    if (interval == runningInterval_) return;
    if (runningInterval_) TTimerPool::Instance().Leave(this, std::exchange(runningInterval_, 0));
    if (!interval) return;
    TTimerPool::Instance().Join(this);
    runningInterval_ = interval;
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
