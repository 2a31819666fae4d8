#include <gtest/gtest.h>

#include "core/Walk.h"
#include "core/WalkRule.h"

using core::StandReason;

// Every combination of reasons, ended one by one in every order of index: the timers run only
// once the last has ended, and never while one still holds.
TEST(WalkRule, TheTimersRunOnlyWhenNoReasonHolds) {
    constexpr unsigned kCombinations = 1u << core::kStandReasonCount;
    for (unsigned held = 0; held < kCombinations; ++held) {
        SCOPED_TRACE(held);
        core::StandReasons reasons;
        for (size_t r = 0; r < core::kStandReasonCount; ++r)
            if (held & (1u << r)) reasons.Set(static_cast<StandReason>(r), true);
        EXPECT_EQ(core::WalkingTimersRun(reasons), held == 0);
        unsigned left = held;
        for (size_t r = 0; r < core::kStandReasonCount; ++r) {
            if (!(left & (1u << r))) continue;
            reasons.Set(static_cast<StandReason>(r), false);
            left &= ~(1u << r);
            EXPECT_FALSE(reasons.Holds(static_cast<StandReason>(r)));
            EXPECT_EQ(core::WalkingTimersRun(reasons), left == 0);
        }
    }
}

// After a rest of any length the counter is where as many standing ticks would have left it.
TEST(WalkRule, TheCounterResumesWhereTheMissedTicksWouldHaveLeftIt) {
    const core::Point window{100, 100}, inside{110, 110};
    for (int32_t start : {0, 1, 2, 3, -7, 9}) {
        int32_t ticked = start;
        for (int64_t missed = 0; missed <= 40; ++missed) {
            SCOPED_TRACE(testing::Message() << "start " << start << ", missed " << missed);
            EXPECT_EQ(core::AdvanceWalkFrame(start, missed), ticked);
            ticked = core::PlanWalk(core::kWalkConstants[0], window, inside, ticked).walkFrame;
        }
    }
    // A rest of a month (50 ms ticks) overflows nothing.
    constexpr int64_t kMonth = 31LL * 24 * 3600 * 20;
    EXPECT_EQ(core::AdvanceWalkFrame(2, kMonth), static_cast<int32_t>((2 + kMonth) % 4));
    EXPECT_EQ(core::AdvanceWalkFrame(3, int64_t{1} << 40), 3);
}
