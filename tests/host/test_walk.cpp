#include <gtest/gtest.h>

#include <vector>

#include "core/Walk.h"

using core::kWalkConstants;
using core::PlanWalk;
using core::Point;
using core::WalkAxis;
using core::WalkMove;
using core::WalkTick;

namespace {

std::vector<WalkMove> Moves(const WalkTick& t) { return {t.moves.begin(), t.moves.begin() + t.moveCount}; }

// The moves of one tick for character `n` (1..4) with the counter at 0 (so frame index 1).
std::vector<WalkMove> Step(int n, Point window, Point target) {
    return Moves(PlanWalk(kWalkConstants[n - 1], window, target, 0));
}

}  // namespace

TEST(Walk, RestBoxEdgesOfEveryCharacter) {
    struct Box { int low, high, step; };
    const Box boxes[] = {{0, 32, 2}, {-24, 12, 1}, {-48, 24, 2}, {-12, 32, 1}};
    const Point w{100, 200};
    for (int n = 1; n <= 4; ++n) {
        const Box& b = boxes[n - 1];
        SCOPED_TRACE(n);
        // Inside at all four edges: no move.
        for (int dx : {b.low, b.high})
            for (int dy : {b.low, b.high}) EXPECT_TRUE(Step(n, w, {w.x + dx, w.y + dy}).empty());
        // One pixel outside each edge: one step toward the target, frame index 1.
        const int mid = (b.low + b.high) / 2;
        EXPECT_EQ(Step(n, w, {w.x + mid, w.y + b.low - 1}), (std::vector<WalkMove>{{2, WalkAxis::Vertical, w.y - b.step}}));
        EXPECT_EQ(Step(n, w, {w.x + mid, w.y + b.high + 1}), (std::vector<WalkMove>{{6, WalkAxis::Vertical, w.y + b.step}}));
        EXPECT_EQ(Step(n, w, {w.x + b.low - 1, w.y + mid}), (std::vector<WalkMove>{{10, WalkAxis::Horizontal, w.x - b.step}}));
        EXPECT_EQ(Step(n, w, {w.x + b.high + 1, w.y + mid}), (std::vector<WalkMove>{{14, WalkAxis::Horizontal, w.x + b.step}}));
    }
}

TEST(Walk, FrameCycleOverTicks) {
    // Walking down: the first tick shows Rgn6, then Rgn7, Rgn8, Rgn5, Rgn6 ...
    Point w{0, 0};
    int32_t counter = 0;
    std::vector<int> frames, counters;
    for (int i = 0; i < 6; ++i) {
        WalkTick t = PlanWalk(kWalkConstants[0], w, {10, 500}, counter);
        ASSERT_EQ(t.moveCount, 1);
        frames.push_back(t.moves[0].frame);
        counters.push_back(t.walkFrame);
        counter = t.walkFrame;
        w.y = t.moves[0].newValue;
    }
    EXPECT_EQ(frames, (std::vector<int>{6, 7, 8, 5, 6, 7}));
    EXPECT_EQ(counters, (std::vector<int>{1, 2, 3, 0, 1, 2}));
    EXPECT_EQ(w.y, 12);
}

TEST(Walk, StandingTicksAdvanceTheCounter) {
    const Point w{50, 50};
    WalkTick t1 = PlanWalk(kWalkConstants[1], w, w, 0);
    WalkTick t2 = PlanWalk(kWalkConstants[1], w, w, t1.walkFrame);
    EXPECT_EQ(t1.moveCount + t2.moveCount, 0);
    EXPECT_EQ(t1.LastFrame(), 0);
    EXPECT_EQ(t1.Destination(w), w);
    EXPECT_EQ(t2.walkFrame, 2);
    // Resuming to the left shows left frame index 3.
    WalkTick t3 = PlanWalk(kWalkConstants[1], w, {0, 50}, t2.walkFrame);
    EXPECT_EQ(Moves(t3), (std::vector<WalkMove>{{12, WalkAxis::Horizontal, 49}}));
    EXPECT_EQ(t3.Destination(w), (Point{49, 50}));
    // A counter out of its range starts the cycle again rather than naming a frame past 16.
    EXPECT_EQ(PlanWalk(kWalkConstants[1], w, w, 7).walkFrame, 0);
    EXPECT_EQ(PlanWalk(kWalkConstants[1], w, w, -3).walkFrame, 0);
}

TEST(Walk, DiagonalMovesVerticallyThenHorizontally) {
    WalkTick t = PlanWalk(kWalkConstants[2], {300, 300}, {0, 0}, 2);
    EXPECT_EQ(t.walkFrame, 3);
    EXPECT_EQ(Moves(t), (std::vector<WalkMove>{{4, WalkAxis::Vertical, 298}, {12, WalkAxis::Horizontal, 298}}));
    // What the tick leaves: the sideways frame, and both steps taken.
    EXPECT_EQ(t.LastFrame(), 12);
    EXPECT_EQ(t.Destination({300, 300}), (Point{298, 298}));
    WalkTick dr = PlanWalk(kWalkConstants[0], {0, 0}, {100, 100}, 3);
    EXPECT_EQ(Moves(dr), (std::vector<WalkMove>{{5, WalkAxis::Vertical, 2}, {13, WalkAxis::Horizontal, 2}}));
}

TEST(Walk, NegativeCoordinates) {
    // A monitor left of and above the primary one.
    EXPECT_EQ(Step(1, {-50, 140}, {-1000, -20}),
              (std::vector<WalkMove>{{2, WalkAxis::Vertical, 138}, {10, WalkAxis::Horizontal, -52}}));
    EXPECT_TRUE(Step(1, {-50, -50}, {-50, -18}).empty());
    EXPECT_EQ(Step(1, {-50, -50}, {-50, -17}), (std::vector<WalkMove>{{6, WalkAxis::Vertical, -48}}));
    EXPECT_EQ(Step(4, {-12, 0}, {-25, 0}), (std::vector<WalkMove>{{10, WalkAxis::Horizontal, -13}}));
}

TEST(Walk, ExtremeCoordinatesAndBadConstants) {
    // Sums that would overflow 32 bits still compare correctly.
    EXPECT_EQ(Step(3, {INT32_MIN + 10, 0}, {INT32_MAX, 0}).size(), 1u);
    EXPECT_TRUE(Step(1, {INT32_MAX - 5, 0}, {INT32_MAX, 0}).empty());
    // A rest box narrower than the step could move one axis both ways in a tick.
    EXPECT_THROW(PlanWalk({0, 1, 2, core::WalkTarget::Cursor, core::WalkExtraRule::None}, {}, {}, 0),
                 std::invalid_argument);
}

// At scale k every distance of the rule is k screen pixels per picture pixel: the walk of a
// scaled character is the walk at scale 1 with every coordinate multiplied, frame for frame.
TEST(Walk, ScaledCharacterWalksTheSameWayInBiggerSteps) {
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        for (int k : {2, 3}) {
            const core::WalkConstants scaled = core::ScaledWalk(kWalkConstants[n - 1], k);
            EXPECT_EQ(scaled.step, kWalkConstants[n - 1].step * k);
            EXPECT_EQ(scaled.target, kWalkConstants[n - 1].target);
            EXPECT_EQ(scaled.extra, kWalkConstants[n - 1].extra);
            Point small{10, 20}, big{10 * k, 20 * k};
            const Point target{300, -150};
            int32_t counter = 0, bigCounter = 0;
            for (int tick = 0; tick < 400; ++tick) {
                WalkTick a = PlanWalk(kWalkConstants[n - 1], small, target, counter);
                WalkTick b = PlanWalk(scaled, big, {target.x * k, target.y * k}, bigCounter);
                ASSERT_EQ(a.moveCount, b.moveCount);
                ASSERT_EQ(a.LastFrame(), b.LastFrame());
                small = a.Destination(small), big = b.Destination(big);
                counter = a.walkFrame, bigCounter = b.walkFrame;
                ASSERT_EQ(big, (Point{small.x * k, small.y * k}));
            }
        }
    }
    // No scale below 1: a bad factor leaves the constants as they are.
    EXPECT_EQ(core::ScaledWalk(kWalkConstants[0], 0).step, kWalkConstants[0].step);
    EXPECT_EQ(core::ScaledWalk(kWalkConstants[2], -3).low, kWalkConstants[2].low);
}
