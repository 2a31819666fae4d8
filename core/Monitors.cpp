#include "core/Monitors.h"

#include <algorithm>
#include <cstdint>

namespace core {

namespace {

bool Contains(const Rect& outer, const Rect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int64_t OverlapArea(const Rect& a, const Rect& b) {
    const int64_t width = int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const int64_t height = int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The gap between two rectangles on one axis, 0 where they overlap on it.
int64_t Gap(int32_t lowA, int32_t highA, int32_t lowB, int32_t highB) {
    return std::max<int64_t>({0, int64_t{lowB} - highA, int64_t{lowA} - highB});
}

int64_t SquaredDistance(const Rect& a, const Rect& b) {
    const int64_t dx = Gap(a.left, a.right, b.left, b.right);
    const int64_t dy = Gap(a.top, a.bottom, b.top, b.bottom);
    return dx * dx + dy * dy;
}

// An empty rectangle still stands somewhere: its top-left pixel.
Rect AtLeastOnePixel(Rect rect) {
    if (rect.right <= rect.left) rect.right = (rect.left = std::min(rect.left, INT32_MAX - 1)) + 1;
    if (rect.bottom <= rect.top) rect.bottom = (rect.top = std::min(rect.top, INT32_MAX - 1)) + 1;
    return rect;
}

// The start of a span of `length` at `at`, moved into low .. high as little as possible; a span
// longer than the room starts at low.
int32_t Fit(int32_t at, int64_t length, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::max<int64_t>(low, std::min<int64_t>(at, high - length)));
}

}  // namespace

std::vector<bool> CoveredMonitors(const std::optional<ForegroundWindow>& foreground, ShellState shell,
                                  std::span<const Monitor> monitors) {
    std::vector<bool> covered(monitors.size(), shell == ShellState::PresentationMode);
    if (!foreground || foreground->isShell || foreground->isOwn || foreground->hasCaption) return covered;
    bool coversAny = false;
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (Contains(foreground->bounds, monitors[i].bounds)) covered[i] = coversAny = true;
    }
    if (!coversAny && (shell == ShellState::Busy || shell == ShellState::Direct3DFullScreen)) {
        const int nearest = NearestMonitor(foreground->bounds, monitors);
        if (nearest >= 0) covered[static_cast<size_t>(nearest)] = true;
    }
    return covered;
}

int NearestMonitor(const Rect& rect, std::span<const Monitor> monitors) {
    const Rect area = AtLeastOnePixel(rect);
    int best = -1;
    int64_t bestOverlap = 0, bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const int64_t overlap = OverlapArea(area, monitors[i].bounds);
        const int64_t distance = SquaredDistance(area, monitors[i].bounds);
        const bool better = best < 0 || overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && distance < bestDistance);
        if (better) {
            best = static_cast<int>(i);
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<Point> PlaceOnMonitors(const Rect& rect, std::span<const Monitor> monitors) {
    const Rect area = AtLeastOnePixel(rect);
    const int nearest = NearestMonitor(area, monitors);
    if (nearest < 0 || OverlapArea(area, monitors[static_cast<size_t>(nearest)].bounds) > 0) return std::nullopt;
    const Rect& work = monitors[static_cast<size_t>(nearest)].workArea;
    return Point{Fit(rect.left, int64_t{area.right} - area.left, work.left, work.right),
                 Fit(rect.top, int64_t{area.bottom} - area.top, work.top, work.bottom)};
}

}  // namespace core
