// The settings window skin and its title-strip buttons.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "tools/artgen/Settings.h"

namespace artgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr Rgb kMetal{118, 134, 158};
constexpr Rgb kMetalLight{196, 210, 228};
constexpr Rgb kMetalDark{46, 54, 72};
constexpr Rgb kField{46, 30, 70};
constexpr Rgb kRing{92, 66, 130};
constexpr int kFrame = 5;   // width of the frame on the left, right and bottom

// Brushed metal: a vertical light falloff with fine horizontal streaks.
Rgb BrushedMetal(int x, int y, int top, int height, uint32_t seed) {
    double t = height > 1 ? static_cast<double>(y - top) / (height - 1) : 0.5;
    Rgb base = t < 0.45 ? Mix(Shade(kMetal, 34), kMetal, t / 0.45) : Mix(kMetal, Shade(kMetal, -30), (t - 0.45) / 0.55);
    double streak = SmoothNoise(x, y * 9.0, 23.0, seed) - 0.5;
    double grain = Noise01(x, y, seed + 1) - 0.5;
    return Shade(base, static_cast<int>(std::lround(streak * 22 + grain * 8)));
}

void Bevel(Canvas& c, int x, int y, int w, int h, Rgb topLeft, Rgb bottomRight) {
    c.HLine(x, x + w - 2, y, topLeft);
    c.VLine(x, y, y + h - 2, topLeft);
    c.HLine(x, x + w - 1, y + h - 1, bottomRight);
    c.VLine(x + w - 1, y, y + h - 1, bottomRight);
}

void DrawTitleStrip(Canvas& c) {
    for (int y = 0; y < kTitleRows; ++y)
        for (int x = 0; x < kSkinSize; ++x) c.Set(x, y, BrushedMetal(x, y, 0, kTitleRows - 1, 11));
    // Rivets between the plate and the buttons.
    for (int x : {236, 300, 347}) {
        if (x >= kSkinSize - 3) continue;
        c.Set(x, 9, Shade(kMetalLight, 20));
        c.Set(x + 1, 10, kMetalDark);
        c.Set(x, 10, kMetal);
        c.Set(x + 1, 9, kMetalLight);
    }
    // A recessed plate behind the window title, so white text reads on it.
    const int px = 59, py = 3, pw = 176, ph = 15;
    for (int y = py; y < py + ph; ++y)
        for (int x = px; x < px + pw; ++x) {
            double t = static_cast<double>(y - py) / (ph - 1);
            Rgb plate = Mix(Rgb{40, 50, 74}, Rgb{64, 78, 106}, t);
            c.Set(x, y, Shade(plate, static_cast<int>((Noise01(x, y, 5) - 0.5) * 6)));
        }
    Bevel(c, px - 1, py - 1, pw + 2, ph + 2, kMetalDark, kMetalLight);
}

void DrawField(Canvas& c) {
    const double cx = 236, cy = 196;
    for (int y = kTitleRows; y < kSkinSize - kFrame; ++y)
        for (int x = kFrame; x < kSkinSize - kFrame; ++x) {
            double r = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            double wave = 0.5 + 0.5 * std::cos(2 * kPi * r / 22.0);
            double fade = std::clamp(1.15 - r / 260.0, 0.25, 1.0);
            Rgb p = Mix(kField, kRing, std::pow(wave, 6.0) * 0.55 * fade);
            double cloud = SmoothNoise(x, y, 31.0, 21) - 0.5;
            double grain = Noise01(x, y, 22) - 0.5;
            c.Set(x, y, Shade(p, static_cast<int>(std::lround(cloud * 16 + grain * 7))));
        }
}

void DrawFrame(Canvas& c) {
    for (int y = kTitleRows; y < kSkinSize; ++y)
        for (int x = 0; x < kSkinSize; ++x) {
            bool side = x < kFrame || x >= kSkinSize - kFrame;
            bool bottom = y >= kSkinSize - kFrame;
            if (!side && !bottom) continue;
            // Streaks run along each side.
            Rgb p = bottom && !side ? BrushedMetal(x, y, kSkinSize - kFrame, kFrame, 12)
                                    : BrushedMetal(y, x < kFrame ? x : x - (kSkinSize - kFrame), 0, kFrame, 13);
            c.Set(x, y, p);
        }
    // Outer bevel: lit from the top left.
    c.HLine(0, kSkinSize - 2, 0, kMetalLight);
    c.VLine(0, 0, kSkinSize - 2, kMetalLight);
    c.HLine(0, kSkinSize - 1, kSkinSize - 1, kMetalDark);
    c.VLine(kSkinSize - 1, 0, kSkinSize - 1, kMetalDark);
    c.HLine(1, kSkinSize - 3, 1, Mix(kMetalLight, kMetal, 0.5));
    c.VLine(1, 1, kSkinSize - 3, Mix(kMetalLight, kMetal, 0.5));
    c.HLine(1, kSkinSize - 2, kSkinSize - 2, Mix(kMetalDark, kMetal, 0.4));
    c.VLine(kSkinSize - 2, 1, kSkinSize - 2, Mix(kMetalDark, kMetal, 0.4));
    // The field sits below the frame: shadow on its top and left edge, light on the others.
    Bevel(c, kFrame - 1, kTitleRows - 1, kSkinSize - 2 * kFrame + 2, kSkinSize - kTitleRows - kFrame + 2,
          Rgb{24, 26, 40}, Shade(kMetalLight, -20));
}

// Engraved details that frame the rows: separators and wells for the portraits.
void DrawRowDecor(Canvas& c) {
    auto engrave = [&](int y) {
        for (int x = 9; x <= 340; ++x) {
            double edge = std::min({1.0, (x - 8) / 24.0, (341 - x) / 24.0});
            c.Blend(x, y, Rgb{16, 8, 28}, 0.85 * edge);
            c.Blend(x, y + 1, Rgb{120, 96, 160}, 0.45 * edge);
        }
    };
    for (int r = 0; r < 4; ++r) engrave(kRowTop[r] - 6);
    engrave(kRowTop[3] + 72 - 6);
    for (int r = 0; r < 4; ++r) {
        int y = kRowTop[r] + 15;
        Bevel(c, 11, y, 50, 50, Rgb{14, 8, 24}, Rgb{130, 108, 170});
        c.FillRect(12, y + 1, 48, 48, Rgb{24, 16, 36});
    }
}

Rgb BlueGloss(double t) {   // t: 0 at the top of the oval, 1 at the bottom
    Rgb top{150, 200, 255}, mid{40, 104, 214}, low{20, 52, 150};
    return t < 0.5 ? Mix(top, mid, t / 0.5) : Mix(mid, low, (t - 0.5) / 0.5);
}

// A glossy blue oval filling the box, antialiased against what is already there.
void DrawOval(Canvas& c, double x, double y, double w, double h) {
    auto in = [&](double ox, double oy, double grow) {
        double nx = (ox - (x + w / 2)) / (w / 2 + grow), ny = (oy - (y + h / 2)) / (h / 2 + grow);
        return nx * nx + ny * ny <= 1.0;
    };
    for (int py = static_cast<int>(y) - 1; py <= y + h + 1; ++py)
        for (int px = static_cast<int>(x) - 1; px <= x + w + 1; ++px) {
            double rim = Coverage(px, py, [&](double a, double b) { return in(a, b, 0); });
            double body = Coverage(px, py, [&](double a, double b) { return in(a, b, -1.0); });
            if (rim <= 0) continue;
            c.Blend(px, py, Rgb{14, 30, 86}, rim);
            if (body > 0) c.Blend(px, py, BlueGloss((py + 0.5 - y) / h), body);
            // The gloss: a soft white lens over the upper half.
            double gloss = Coverage(px, py, [&](double a, double b) {
                double gx = (a - (x + w / 2)) / (w / 2 - 3), gy = (b - (y + h * 0.32)) / (h * 0.22);
                return gx * gx + gy * gy <= 1.0;
            });
            if (gloss > 0) c.Blend(px, py, Rgb{255, 255, 255}, 0.45 * gloss * body);
        }
}

// A white spiral in the middle of the emblem, squashed to the oval's proportions.
void DrawSwirl(Canvas& c, double cx, double cy, double rx, double ry) {
    auto near = [&](double a, double b) {
        double u = (a - cx) / rx, v = (b - cy) / ry;
        for (int i = 0; i <= 360; ++i) {
            double th = i / 360.0 * 2.6 * kPi;
            double r = 0.12 + 0.88 * th / (2.6 * kPi);
            double sx = r * std::cos(th + 0.3), sy = -r * std::sin(th + 0.3);
            double dx = (u - sx) * rx, dy = (v - sy) * ry;
            if (dx * dx + dy * dy <= 0.95 * 0.95) return true;
        }
        return false;
    };
    for (int py = static_cast<int>(cy - ry) - 2; py <= cy + ry + 2; ++py)
        for (int px = static_cast<int>(cx - rx) - 2; px <= cx + rx + 2; ++px) {
            double cov = Coverage(px, py, near);
            if (cov > 0) c.Blend(px, py, Rgb{255, 255, 255}, cov);
        }
}

void DrawEmblem(Canvas& c, int x, int y, int w, int h) {
    DrawOval(c, x + 0.5, y + 0.5, w - 1.0, h - 1.0);
    DrawSwirl(c, x + w / 2.0, y + h / 2.0 + 0.5, w * 0.26, h * 0.3);
}

// Filled polygon with antialiased edges and a dark rim.
void DrawShape(Canvas& c, const std::function<double(double, double)>& distance, int x0, int y0, int x1, int y1,
               Rgb light, Rgb dark, Rgb rim, double ty, double th) {
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            double outer = Coverage(px, py, [&](double a, double b) { return distance(a, b) <= 0.9; });
            double inner = Coverage(px, py, [&](double a, double b) { return distance(a, b) <= -0.1; });
            if (outer > 0) c.Blend(px, py, rim, outer);
            if (inner > 0) c.Blend(px, py, Mix(light, dark, std::clamp((py + 0.5 - ty) / th, 0.0, 1.0)), inner);
        }
}

// Distance-like value for a triangle: > 0 outside, < 0 inside (in pixels, roughly).
double TriangleDistance(double px, double py, const double (&v)[3][2]) {
    double area = (v[1][0] - v[0][0]) * (v[2][1] - v[0][1]) - (v[1][1] - v[0][1]) * (v[2][0] - v[0][0]);
    double sign = area > 0 ? 1.0 : -1.0;
    double worst = -1e9;
    for (int i = 0; i < 3; ++i) {
        const double* a = v[i];
        const double* b = v[(i + 1) % 3];
        double ex = b[0] - a[0], ey = b[1] - a[1];
        double inside = sign * (ex * (py - a[1]) - ey * (px - a[0])) / std::hypot(ex, ey);
        worst = std::max(worst, -inside);
    }
    return worst;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double ex = bx - ax, ey = by - ay;
    double t = std::clamp(((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
    return std::hypot(px - ax - t * ex, py - ay - t * ey);
}

}  // namespace

Canvas DrawSkin() {
    Canvas c(kSkinSize, kSkinSize);
    DrawTitleStrip(c);
    DrawField(c);
    DrawFrame(c);
    DrawRowDecor(c);
    DrawEmblem(c, kInfoButton.x, kInfoButton.y, kInfoButton.w, kInfoButton.h);
    return c;
}

Canvas DrawButton(const ButtonPlace& b) {
    // Start from the title strip under the button so its corners blend in.
    Canvas strip(kSkinSize, kTitleRows);
    DrawTitleStrip(strip);
    Canvas c(b.w, b.h);
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x) c.Set(x, y, strip.At(b.x + x, b.y + y));
    const std::string_view file = b.file;
    if (file == kInfoButton.file) {
        DrawEmblem(c, 0, 0, b.w, b.h);
        return c;
    }
    DrawOval(c, 0.5, 0.5, b.w - 1.0, b.h - 1.0);
    const double cx = b.w / 2.0, cy = b.h / 2.0;
    if (file == kNextButton.file || file == kPrevButton.file) {
        bool down = file == kNextButton.file;
        double tip = down ? cy + 4.6 : cy - 4.6, base = down ? cy - 3.4 : cy + 3.4;
        double tri[3][2] = {{cx - 5.2, base}, {cx + 5.2, base}, {cx, tip}};
        DrawShape(c, [&](double a, double bb) { return TriangleDistance(a, bb, tri); }, 0, 0, b.w - 1, b.h - 1,
                  Rgb{255, 110, 90}, Rgb{200, 16, 20}, Rgb{80, 0, 8}, std::min(tip, base), 8);
    } else {
        double r = 3.6;
        auto cross = [&](double a, double bb) {
            double d1 = SegmentDistance(a, bb, cx - r, cy - r, cx + r, cy + r);
            double d2 = SegmentDistance(a, bb, cx - r, cy + r, cx + r, cy - r);
            return std::min(d1, d2) - 1.5;
        };
        DrawShape(c, cross, 0, 0, b.w - 1, b.h - 1, Rgb{255, 250, 150}, Rgb{240, 190, 20}, Rgb{90, 60, 0},
                  cy - r - 1, 2 * r + 2);
    }
    return c;
}

}  // namespace artgen
