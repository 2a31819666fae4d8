#include "tools/artgen/Art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace artgen {

static uint8_t Clamp8(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

Rgb Mix(Rgb a, Rgb b, double t) {
    return {Clamp8(a.red + (b.red - a.red) * t), Clamp8(a.green + (b.green - a.green) * t),
            Clamp8(a.blue + (b.blue - a.blue) * t)};
}

Rgb Shade(Rgb c, int d) {
    return {Clamp8(c.red + d), Clamp8(c.green + d), Clamp8(c.blue + d)};
}

int Luma(Rgb c) { return (299 * c.red + 587 * c.green + 114 * c.blue + 500) / 1000; }

Rgb Grey(Rgb c) {
    uint8_t l = static_cast<uint8_t>(Luma(c));
    return {l, l, l};
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ x * 0x85EBCA77u ^ y * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Noise01(uint32_t x, uint32_t y, uint32_t seed) { return (Hash(x, y, seed) >> 8) / 16777216.0; }

double SmoothNoise(double x, double y, double cell, uint32_t seed) {
    double fx = x / cell, fy = y / cell;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto n = [&](int a, int b) { return Noise01(static_cast<uint32_t>(a + 4096), static_cast<uint32_t>(b + 4096), seed); };
    double top = n(ix, iy) * (1 - tx) + n(ix + 1, iy) * tx;
    double bottom = n(ix, iy + 1) * (1 - tx) + n(ix + 1, iy + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

double Coverage(int x, int y, const std::function<bool(double, double)>& inside) {
    int hits = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            if (inside(x + (i + 0.5) / 4.0, y + (j + 0.5) / 4.0)) ++hits;
    return hits / 16.0;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Rgb c, double alpha) {
    if (Inside(x, y)) Set(x, y, Mix(At(x, y), c, alpha));
}

void Canvas::FillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Canvas::FrameRect(int x, int y, int w, int h, Rgb c) {
    HLine(x, x + w - 1, y, c);
    HLine(x, x + w - 1, y + h - 1, c);
    VLine(x, y, y + h - 1, c);
    VLine(x + w - 1, y, y + h - 1, c);
}

void Canvas::HLine(int x0, int x1, int y, Rgb c) {
    for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) Set(x, y, c);
}

void Canvas::VLine(int x, int y0, int y1, Rgb c) {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) Set(x, y, c);
}

void Canvas::Line(int x0, int y0, int x1, int y1, Rgb c) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    for (;;) {
        Set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

bool Canvas::InEllipse(double px, double py, double x, double y, double w, double h) const {
    double cx = x + w / 2.0, cy = y + h / 2.0;
    double nx = (px + 0.5 - cx) / (w / 2.0), ny = (py + 0.5 - cy) / (h / 2.0);
    return nx * nx + ny * ny <= 1.0;
}

void Canvas::FillEllipse(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (InEllipse(i, j, x, y, w, h)) Set(i, j, c);
}

void Canvas::Paste(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.Height(); ++j)
        for (int i = 0; i < src.Width(); ++i) Set(x + i, y + j, src.At(i, j));
}

core::Bitmap Canvas::ToBitmap24() const {
    core::Bitmap bmp(width_, height_, 24);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) bmp.SetColor(x, y, At(x, y));
    return bmp;
}

Canvas Canvas::FromBitmap(const core::Bitmap& bmp) {
    Canvas c(bmp.Width(), bmp.Height());
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) c.Set(x, y, bmp.Color(x, y));
    return c;
}

Canvas Scale2x(const Canvas& s) {
    Canvas d(s.Width() * 2, s.Height() * 2);
    auto at = [&](int x, int y) {
        return s.At(std::clamp(x, 0, s.Width() - 1), std::clamp(y, 0, s.Height() - 1));
    };
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            Rgb p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y), e = at(x, y + 1);
            Rgb r0 = p, r1 = p, r2 = p, r3 = p;
            if (!(a == e) && !(c == b)) {
                if (c == a) r0 = a;
                if (a == b) r1 = b;
                if (c == e) r2 = c;
                if (e == b) r3 = b;
            }
            d.Set(2 * x, 2 * y, r0);
            d.Set(2 * x + 1, 2 * y, r1);
            d.Set(2 * x, 2 * y + 1, r2);
            d.Set(2 * x + 1, 2 * y + 1, r3);
        }
    return d;
}

}  // namespace artgen
