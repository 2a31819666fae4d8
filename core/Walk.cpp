#include "core/Walk.h"

#include <stdexcept>

namespace core {

const std::array<WalkConstants, 4> kWalkConstants = {{
    {0, 32, 2, WalkTarget::Cursor, WalkExtraRule::FollowFirstCheckBox},
    {-24, 12, 1, WalkTarget::Cursor, WalkExtraRule::None},
    {-48, 24, 2, WalkTarget::Cursor, WalkExtraRule::None},
    {-12, 32, 1, WalkTarget::FirstCharacter, WalkExtraRule::WaitForFirstCharacter},
}};

Point WalkTick::Destination(Point window) const {
    for (int i = 0; i < moveCount; ++i) {
        const WalkMove& move = moves[static_cast<size_t>(i)];
        (move.axis == WalkAxis::Vertical ? window.y : window.x) = move.newValue;
    }
    return window;
}

WalkConstants ScaledWalk(const WalkConstants& c, int scale) {
    const int32_t k = scale < 1 ? 1 : scale;
    return {c.low * k, c.high * k, c.step * k, c.target, c.extra};
}

int32_t AdvanceWalkFrame(int32_t walkFrame, int64_t ticks) {
    if (ticks <= 0) return walkFrame;
    // A counter outside the cycle comes back to it at 0 with its first advance.
    if (walkFrame < 0 || walkFrame > 3) return static_cast<int32_t>((ticks - 1) % 4);
    return static_cast<int32_t>((walkFrame + ticks) % 4);
}

WalkTick PlanWalk(const WalkConstants& c, Point window, Point target, int32_t walkFrame) {
    // With a rest box no wider than the step, one axis could step both ways in a tick.
    if (c.step < 0 || int64_t{c.high} - c.low < c.step)
        throw std::invalid_argument("walk constants: the rest box must not be narrower than the step");

    WalkTick tick;
    // The cycle runs 1, 2, 3, 0 and advances on standing ticks too.
    tick.walkFrame = AdvanceWalkFrame(walkFrame, 1);
    const int k = tick.walkFrame;
    auto move = [&tick](int frame, WalkAxis axis, int64_t value) {
        tick.moves[tick.moveCount++] = {frame, axis, static_cast<int32_t>(value)};
    };

    // Each test sees the coordinate as the one before it left it. Sums are taken in 64 bits so
    // that no coordinate can overflow a comparison.
    int64_t top = window.y;
    if (target.y < top + c.low) move(kUpFrame + k, WalkAxis::Vertical, top -= c.step);
    if (target.y > top + c.high) move(kDownFrame + k, WalkAxis::Vertical, top += c.step);
    int64_t left = window.x;
    if (target.x < left + c.low) move(kLeftFrame + k, WalkAxis::Horizontal, left -= c.step);
    if (target.x > left + c.high) move(kRightFrame + k, WalkAxis::Horizontal, left += c.step);
    return tick;
}

}  // namespace core
