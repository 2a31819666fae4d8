#include "forms/PointerWatch.h"

#include "forms/ExtCtrls.h"

namespace forms {

TPointerWatch::TPointerWatch(TComponent* owner, UINT interval) : TComponent(owner), timer_(new TTimer(this)) {
    timer_->SetEnabled(false);
    timer_->SetInterval(interval);
    timer_->SetOnTimer([this](TObject*) { Look(); });
}

void TPointerWatch::Watch(std::optional<POINT> from) {
    from_ = from;
    timer_->SetEnabled(true);
}

void TPointerWatch::Stop() { timer_->SetEnabled(false); }

// The system's own answer: nothing of the program moves while it watches, so no Wine keeps an
// old position for it.
void TPointerWatch::Look() {
    POINT now{};
    if (!GetCursorPos(&now)) return;
    if (!from_) from_ = now;
    if (now.x == from_->x && now.y == from_->y) return;
    Stop();
    if (TNotifyEvent handler = OnMove) handler(this);
}

}  // namespace forms
