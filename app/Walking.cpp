#include "app/Walking.h"

#include <array>

#include "app/CharacterForm.h"
#include "forms/ExtCtrls.h"

namespace kurun {

TWalking* Walking1 = nullptr;

namespace {

// Half of it on average, and at most all of it, passes between the pointer's first move and the
// first step. A look costs about what one 50 ms tick of the walking costs (under Wine 8 about
// seven requests to the system's server), so the program wakes a third as often as it walks.
constexpr UINT kPointerWatchInterval = 160;

std::array<forms::TTimer*, 4> WalkingTimers() {
    std::array<forms::TTimer*, 4> timers{};
    for (int n = 1; n <= 4; ++n) timers[static_cast<size_t>(n - 1)] = CharacterWindow(n)->Timer1;
    return timers;
}

bool AllCharactersExist() {
    for (int n = 1; n <= 4; ++n)
        if (!CharacterWindow(n)) return false;
    return true;
}

}  // namespace

TWalking::TWalking(forms::TComponent* owner)
    : forms::TComponent(owner), watch_(new forms::TPointerWatch(this, kPointerWatchInterval)) {
    watch_->OnMove = [this](forms::TObject*) { Resume(true); };
    Walking1 = this;
}

TWalking::~TWalking() {
    if (Walking1 == this) Walking1 = nullptr;
}

void TWalking::SetReason(core::StandReason reason, bool holds, int first) {
    reasons_.Set(reason, holds);
    if (!AllCharactersExist()) return;
    if (core::WalkingTimersRun(reasons_)) {
        if (!atRest_) StartTimers();
        return;
    }
    EndRest();
    for (int n : TimerStopOrder(first)) {
        CharacterWindow(n)->Timer1->SetEnabled(false);
        // Standing for a reason advances no counter: what the last tick left is forgotten.
        CharacterWindow(n)->ForgetLastTick();
    }
}

void TWalking::StartTimers() {
    for (forms::TTimer* timer : WalkingTimers()) timer->SetEnabled(true);
}

std::optional<std::optional<core::Point>> TWalking::StillPointer() const {
    if (!core::WalkingTimersRun(reasons_) || !AllCharactersExist()) return std::nullopt;
    std::optional<core::Point> pointer;
    for (int n = 1; n <= 4; ++n) {
        const TCharacterForm& character = *CharacterWindow(n);
        // Timers stopped by anyone but this rest are theirs to start again.
        if (!atRest_ && !character.Timer1->Enabled()) return std::nullopt;
        const TCharacterForm::LastTick& last = character.LastTickEnd();
        if (last.end == TCharacterForm::TickEnd::Waited) continue;
        if (last.end != TCharacterForm::TickEnd::Stood) return std::nullopt;
        if (character.FollowsPointer()) {
            if (pointer && !(*pointer == last.target)) return std::nullopt;
            pointer = last.target;
        } else if (const TCharacterForm& first = *CharacterWindow(1); !(last.target == core::Point{first.Left(), first.Top()})) {
            return std::nullopt;
        }
    }
    return pointer;
}

void TWalking::TickDone() {
    if (std::optional<std::optional<core::Point>> pointer = StillPointer())
        Rest(*pointer);
    else
        Resume(false);
}

void TWalking::Rest(std::optional<core::Point> pointer) {
    const std::optional<POINT> from = pointer ? std::optional<POINT>(POINT{pointer->x, pointer->y}) : std::nullopt;
    watch_->Watch(from);
    if (atRest_) return;
    atRest_ = true;
    for (forms::TTimer* timer : WalkingTimers()) timer->SetEnabled(false);
}

// The counters go on as the ticks missed meanwhile would have taken them.
void TWalking::EndRest() {
    if (!atRest_) return;
    atRest_ = false;
    watch_->Stop();
    const uint64_t now = GetTickCount64();
    for (int n = 1; n <= 4; ++n) CharacterWindow(n)->CatchUp(now);
}

// A pointer that has moved is followed at once, not a tick later.
void TWalking::Resume(bool tickNow) {
    if (!atRest_) return;
    EndRest();
    StartTimers();
    if (tickNow) forms::TickTogether(WalkingTimers());
}

}  // namespace kurun
