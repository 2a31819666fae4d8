#pragma once
// Whether and how the characters walk. The reasons that keep them standing (the settings window,
// a pause, a locked session, a dark display, a power saver) decide whether the walking timers
// run. While they run and nothing can move (the pointer still and every character in its rest
// box), a pointer watch takes their place, so the program sleeps until the pointer moves.
#include <optional>

#include "core/Walk.h"
#include "core/WalkRule.h"
#include "forms/Classes.h"
#include "forms/PointerWatch.h"

namespace kurun {

class TWalking : public forms::TComponent {
public:
    explicit TWalking(forms::TComponent* owner);
    ~TWalking() override;
    std::string ClassName() const override { return "TWalking"; }

    bool Holds(core::StandReason reason) const { return reasons_.Holds(reason); }
    // Applies the rule at once; stopping begins with character `first`'s timer.
    void SetReason(core::StandReason reason, bool holds, int first = 1);
    // True while the timers stand because nothing can move, and the watch looks for the pointer.
    bool AtRest() const { return atRest_; }

    // After each character's tick: once nothing can move, the timers give way to the watch.
    void TickDone();
    // Something other than a tick changed what a character would do (moved, shown, hid or
    // scaled it): the timers take over again.
    void Wake() { Resume(false); }

private:
    // The pointer by which characters 1 to 3 all stood (none when none of them looks at it),
    // or nothing when a character may still move.
    std::optional<std::optional<core::Point>> StillPointer() const;
    void Rest(std::optional<core::Point> pointer);
    void EndRest();
    void Resume(bool tickNow);
    void StartTimers();

    core::StandReasons reasons_;
    bool atRest_ = false;
    forms::TPointerWatch* watch_;
};

// The one instance, made by character 1's window at start-up; null before and after.
extern TWalking* Walking1;

}  // namespace kurun
