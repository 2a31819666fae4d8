#include <gtest/gtest.h>

#include <climits>

#include "core/Scale.h"

using core::PixelScaleForDpi;

// What each common display setting gives (percent = dpi / 96).
TEST(PixelScale, CommonSettingsRoundToTheNearestWholeFactorHalvesUp) {
    const struct { int dpi, scale; } settings[] = {
        {96, 1},  {120, 1}, {143, 1}, {144, 2}, {168, 2}, {192, 2}, {216, 2},
        {239, 2}, {240, 3}, {288, 3}, {336, 4}, {384, 4}, {480, 5}, {768, 8},
    };
    for (const auto& s : settings) EXPECT_EQ(PixelScaleForDpi(s.dpi), s.scale) << s.dpi << " dpi";
}

TEST(PixelScale, BadReadingsGiveASafeFactor) {
    EXPECT_EQ(PixelScaleForDpi(0), 1);
    EXPECT_EQ(PixelScaleForDpi(-192), 1);
    EXPECT_EQ(PixelScaleForDpi(1), 1);
    EXPECT_EQ(PixelScaleForDpi(72), 1);
    EXPECT_EQ(PixelScaleForDpi(100000), core::kMaxPixelScale);
    EXPECT_EQ(PixelScaleForDpi(INT_MAX), core::kMaxPixelScale);
}
