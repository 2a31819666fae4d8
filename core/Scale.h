#pragma once
// Whole-number scaling of pixel art: the factor by which pictures, outlines, window layouts and
// walking distances are enlarged on a screen of a given pixel density.

namespace core {

// The density everything is designed at: one picture pixel is one screen pixel there.
constexpr int kDesignDpi = 96;
// The largest factor given; denser screens than 8 x 96 dpi do not exist, bad readings do.
constexpr int kMaxPixelScale = 8;

// The nearest whole multiple of the design density, halves rounding up, never below 1:
// 96 and 120 dpi give 1, 144 (exactly 1.5) to 216 give 2, 240 (2.5) to 312 give 3.
// A reading of 0 or less gives 1; a huge one gives kMaxPixelScale.
int PixelScaleForDpi(int dpi);

}  // namespace core
