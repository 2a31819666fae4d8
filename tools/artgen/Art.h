#pragma once
// Drawing helpers shared by every picture the generator makes: a 24-bit canvas with a few
// primitives, deterministic noise, and the Scale2x enlargement used for portraits and icons.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Bitmap.h"

namespace artgen {

using core::Rgb;

// The key colour of the widget pictures (check-box strip, shaped buttons).
constexpr Rgb kMagenta{255, 0, 255};

Rgb Mix(Rgb a, Rgb b, double t);              // t = 0 gives a, 1 gives b
Rgb Shade(Rgb c, int delta);                  // lighter (+) or darker (-), clamped
int Luma(Rgb c);                              // 0..255, ITU-R 601 weights
Rgb Grey(Rgb c);                              // the same luma as a grey

// Same value for the same arguments on every machine and run.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed);
double Noise01(uint32_t x, uint32_t y, uint32_t seed);   // [0, 1)
// Smooth value noise in [0, 1), cell size in pixels.
double SmoothNoise(double x, double y, double cell, uint32_t seed);

// Fraction of pixel (x, y) that lies inside a shape, sampled on a 4 x 4 grid.
double Coverage(int x, int y, const std::function<bool(double, double)>& inside);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgb fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgb At(int x, int y) const { return pixels_[y * width_ + x]; }
    void Set(int x, int y, Rgb c) { if (Inside(x, y)) pixels_[y * width_ + x] = c; }
    void Blend(int x, int y, Rgb c, double alpha);

    void FillRect(int x, int y, int w, int h, Rgb c);
    void FrameRect(int x, int y, int w, int h, Rgb c);
    void HLine(int x0, int x1, int y, Rgb c);
    void VLine(int x, int y0, int y1, Rgb c);
    void Line(int x0, int y0, int x1, int y1, Rgb c);
    // Pixels whose centre lies inside the ellipse with the given bounding box.
    bool InEllipse(double px, double py, double x, double y, double w, double h) const;
    void FillEllipse(int x, int y, int w, int h, Rgb c);
    void Paste(const Canvas& src, int x, int y);

    core::Bitmap ToBitmap24() const;
    static Canvas FromBitmap(const core::Bitmap& bmp);

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgb> pixels_;
};

// Pixel-art enlargement by two (EPX / Scale2x): keeps hard edges but rounds diagonal steps.
Canvas Scale2x(const Canvas& src);

}  // namespace artgen
