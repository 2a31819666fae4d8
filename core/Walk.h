#pragma once
// The walking rule of the characters: each tick a character steps toward its target on each
// axis that lies outside its rest box, showing the walk-cycle frame of that direction.
#include <array>
#include <cstddef>
#include <cstdint>

namespace core {

struct Point { int32_t x = 0, y = 0; friend bool operator==(const Point&, const Point&) = default; };

enum class WalkTarget { Cursor, FirstCharacter };
enum class WalkExtraRule { None, FollowFirstCheckBox, WaitForFirstCharacter };

// Per character: the rest box is window + low .. window + high on each axis.
struct WalkConstants {
    int32_t low;    // A
    int32_t high;   // B
    int32_t step;   // S, pixels per tick and axis
    WalkTarget target;
    WalkExtraRule extra;
};

// The four characters, index 0 = character 1.
extern const std::array<WalkConstants, 4> kWalkConstants;

enum class WalkAxis { Vertical, Horizontal };

// One move within a tick: show frame `frame` (1..16), then set the axis coordinate.
struct WalkMove {
    int frame;
    WalkAxis axis;
    int32_t newValue;
    friend bool operator==(const WalkMove&, const WalkMove&) = default;
};

struct WalkTick {
    int32_t walkFrame = 0;          // the counter after this tick (0..3)
    int moveCount = 0;              // 0, 1 or 2; vertical move first
    std::array<WalkMove, 2> moves{};

    // What the tick leaves: the frame shown last (0 when the character stands) and the window's place.
    int LastFrame() const { return moveCount ? moves[static_cast<size_t>(moveCount - 1)].frame : 0; }
    Point Destination(Point window) const;
};

// The constants of a character drawn at `scale` screen pixels per picture pixel: rest box and
// step in screen pixels, so the character looks and moves alike at every scale. A scale below 1
// counts as 1.
WalkConstants ScaledWalk(const WalkConstants& constants, int scale);

// Frames by direction: up 1-4, down 5-8, left 9-12, right 13-16.
constexpr int kUpFrame = 1, kDownFrame = 5, kLeftFrame = 9, kRightFrame = 13;

// Plans one tick for a character at `window` (Left, Top) with the counter at `walkFrame`.
WalkTick PlanWalk(const WalkConstants& constants, Point window, Point target, int32_t walkFrame);

// The counter after `ticks` more ticks that reach the cycle, standing or moving: where a
// character resumes after a rest in which no tick ran.
int32_t AdvanceWalkFrame(int32_t walkFrame, int64_t ticks);

}  // namespace core
