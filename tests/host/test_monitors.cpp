#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/Monitors.h"

using core::CoveredMonitors;
using core::ForegroundWindow;
using core::Monitor;
using core::PlaceOnMonitors;
using core::Point;
using core::Rect;
using core::ShellState;

namespace {

// A monitor with a 40-pixel taskbar along its bottom.
Monitor WithTaskbar(int left, int top, int width, int height) {
    return {{left, top, left + width, top + height}, {left, top, left + width, top + height - 40}};
}

// The primary 1920 x 1080 at the origin and a second one of 1280 x 1024 to its right.
const std::vector<Monitor> kSideBySide = {WithTaskbar(0, 0, 1920, 1080), WithTaskbar(1920, 0, 1280, 1024)};
// A monitor left of the primary: its coordinates are negative.
const std::vector<Monitor> kLeftOfPrimary = {WithTaskbar(0, 0, 1920, 1080), WithTaskbar(-1600, -120, 1600, 1200)};

ForegroundWindow Popup(Rect bounds) { return {bounds, false, false, false}; }

std::vector<bool> Covered(const std::optional<ForegroundWindow>& foreground, const std::vector<Monitor>& monitors,
                          ShellState shell = ShellState::Normal) {
    return CoveredMonitors(foreground, shell, monitors);
}

// A 40 x 40 sprite at (x, y).
Rect Sprite(int x, int y) { return {x, y, x + 40, y + 40}; }

}  // namespace

TEST(Fullscreen, ACaptionlessWindowCoveringAMonitorCoversThatOneOnly) {
    EXPECT_EQ(Covered(Popup({0, 0, 1920, 1080}), kSideBySide), (std::vector<bool>{true, false}));
    EXPECT_EQ(Covered(Popup({1920, 0, 3200, 1024}), kSideBySide), (std::vector<bool>{false, true}));
    // Larger than the monitor (a frame drawn outside it) and spanning both.
    EXPECT_EQ(Covered(Popup({-8, -8, 3208, 1088}), kSideBySide), (std::vector<bool>{true, true}));
    // Negative coordinates: the monitor left of the primary.
    EXPECT_EQ(Covered(Popup({-1600, -120, 0, 1080}), kLeftOfPrimary), (std::vector<bool>{false, true}));
}

TEST(Fullscreen, WhatNeverCounts) {
    const Rect whole{0, 0, 1920, 1080};
    // A maximized window over a taskbar that hides itself covers the monitor but has a caption.
    EXPECT_EQ(Covered(ForegroundWindow{{-8, -8, 1928, 1088}, true, false, false}, kSideBySide),
              (std::vector<bool>{false, false}));
    // The desktop and the shell's tray, and this program's own windows.
    EXPECT_EQ(Covered(ForegroundWindow{whole, false, true, false}, kSideBySide), (std::vector<bool>{false, false}));
    EXPECT_EQ(Covered(ForegroundWindow{whole, false, false, true}, kSideBySide), (std::vector<bool>{false, false}));
    // One pixel short of the monitor, the work area only, or nothing in the foreground at all.
    EXPECT_EQ(Covered(Popup({0, 0, 1919, 1080}), kSideBySide), (std::vector<bool>{false, false}));
    EXPECT_EQ(Covered(Popup(kSideBySide[0].workArea), kSideBySide), (std::vector<bool>{false, false}));
    EXPECT_EQ(Covered(std::nullopt, kSideBySide), (std::vector<bool>{false, false}));
    EXPECT_TRUE(Covered(Popup(whole), {}).empty());
}

TEST(Fullscreen, WhatTheShellSaysCountsToo) {
    // Busy or a Direct3D program: the foreground window's monitor, even when its window is smaller.
    const Rect small{2000, 100, 2640, 580};
    EXPECT_EQ(Covered(Popup(small), kSideBySide, ShellState::Busy), (std::vector<bool>{false, true}));
    EXPECT_EQ(Covered(Popup(small), kSideBySide, ShellState::Direct3DFullScreen), (std::vector<bool>{false, true}));
    EXPECT_EQ(Covered(Popup(small), kSideBySide, ShellState::Normal), (std::vector<bool>{false, false}));
    // ... but not for a captioned window, the shell or this program.
    EXPECT_EQ(Covered(ForegroundWindow{small, true, false, false}, kSideBySide, ShellState::Busy),
              (std::vector<bool>{false, false}));
    EXPECT_EQ(Covered(ForegroundWindow{small, false, false, true}, kSideBySide, ShellState::Busy),
              (std::vector<bool>{false, false}));
    // Presentation mode asks for quiet everywhere, whatever has the foreground.
    EXPECT_EQ(Covered(std::nullopt, kSideBySide, ShellState::PresentationMode), (std::vector<bool>{true, true}));
}

TEST(MonitorPlacement, AWindowOnAMonitorStaysEvenWhenPartlyOffIt) {
    EXPECT_EQ(PlaceOnMonitors(Sprite(100, 100), kSideBySide), std::nullopt);
    EXPECT_EQ(PlaceOnMonitors(Sprite(1900, 500), kSideBySide), std::nullopt);   // across both
    EXPECT_EQ(PlaceOnMonitors(Sprite(-39, 500), kSideBySide), std::nullopt);    // one column shows
    EXPECT_EQ(PlaceOnMonitors(Sprite(-1000, -100), kLeftOfPrimary), std::nullopt);
    // In the gap below the smaller right monitor: on none, so it goes to the nearest work area.
    EXPECT_EQ(PlaceOnMonitors(Sprite(2500, 1050), kSideBySide), (Point{2500, 944}));
}

TEST(MonitorPlacement, AWindowLeftOnNoMonitorGoesIntoTheNearestWorkArea) {
    // The monitor right of the primary removed: a character that stood on it.
    const std::vector<Monitor> primaryOnly(kSideBySide.begin(), kSideBySide.begin() + 1);
    EXPECT_EQ(PlaceOnMonitors(Sprite(2400, 300), primaryOnly), (Point{1880, 300}));
    EXPECT_EQ(PlaceOnMonitors(Sprite(2400, 1010), primaryOnly), (Point{1880, 1000}));  // above the taskbar
    // The monitor left of the primary removed: negative coordinates come back to 0.
    EXPECT_EQ(PlaceOnMonitors(Sprite(-900, -100), primaryOnly), (Point{0, 0}));
    EXPECT_EQ(PlaceOnMonitors(Sprite(-900, 400), primaryOnly), (Point{0, 400}));
    // The primary removed, the left one kept: the corner nearest to where it was.
    const std::vector<Monitor> leftOnly(kLeftOfPrimary.begin() + 1, kLeftOfPrimary.end());
    EXPECT_EQ(PlaceOnMonitors(Sprite(700, 300), leftOnly), (Point{-40, 300}));
    // A smaller resolution: 1920 x 1080 lowered to 1024 x 768.
    const std::vector<Monitor> lowered = {WithTaskbar(0, 0, 1024, 768)};
    EXPECT_EQ(PlaceOnMonitors(Sprite(1500, 900), lowered), (Point{984, 688}));
    EXPECT_EQ(PlaceOnMonitors(Sprite(1500, 200), lowered), (Point{984, 200}));
    // Below two monitors side by side: each goes up onto the one above it, keeping its x.
    EXPECT_EQ(PlaceOnMonitors(Sprite(100, 1300), kLeftOfPrimary), (Point{100, 1000}));
    EXPECT_EQ(PlaceOnMonitors(Sprite(-300, 1300), kLeftOfPrimary), (Point{-300, 1000}));
}

TEST(MonitorPlacement, LargeOrEmptyWindowsAndNoMonitors) {
    const std::vector<Monitor> lowered = {WithTaskbar(0, 0, 800, 600)};
    // Larger than the work area: its top-left corner at the work area's.
    EXPECT_EQ(PlaceOnMonitors({900, 700, 1800, 1400}, lowered), (Point{0, 0}));
    // An empty outline still stands at its corner.
    EXPECT_EQ(PlaceOnMonitors({900, 100, 900, 100}, lowered), (Point{799, 100}));
    EXPECT_EQ(PlaceOnMonitors({10, 10, 10, 10}, lowered), std::nullopt);
    EXPECT_EQ(PlaceOnMonitors(Sprite(5000, 5000), {}), std::nullopt);
    EXPECT_EQ(core::NearestMonitor(Sprite(0, 0), {}), -1);
    // Extreme coordinates do not overflow.
    EXPECT_EQ(PlaceOnMonitors({INT32_MIN, INT32_MIN, INT32_MIN + 40, INT32_MIN + 40}, lowered), (Point{0, 0}));
    EXPECT_EQ(PlaceOnMonitors({INT32_MAX - 40, INT32_MAX - 40, INT32_MAX, INT32_MAX}, lowered), (Point{760, 520}));
}
