// The sample window's shaped buttons. Edges are hard: a pixel is the button's or the key's,
// since a blended edge would leave a pink fringe once the key is left out.
#include "tools/artgen/Buttons.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace artgen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kWhite{255, 255, 255};

enum class Look { Normal, Pressed };

struct Gloss {
    Rgb light, body, dark;  // top, middle and bottom of the face
};

// Pen strokes on the face, given the face's offset (one pixel down and right when pressed).
using Icon = std::function<void(Canvas&, int dx, int dy)>;

struct Button {
    const char* control;
    int width, height;
    std::function<bool(double x, double y)> inside;  // in glyph pixels
    Gloss gloss;
    Icon icon;
    bool hasPressed, hasDisabled;
};

// How far each pixel lies inside the shape, in steps to the nearest outside pixel (0: outside).
std::vector<int> Depths(const Button& b) {
    std::vector<int> depth(static_cast<size_t>(b.width * b.height), 0);
    auto at = [&](int x, int y) -> int& { return depth[static_cast<size_t>(y * b.width + x)]; };
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) at(x, y) = Coverage(x, y, b.inside) >= 0.5 ? 99 : 0;
    // The bottom-left pixel is the key, whatever the shape says.
    at(0, b.height - 1) = 0;
    for (int step = 1; step <= 3; ++step)
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                if (at(x, y) != 99) continue;
                auto outer = [&](int nx, int ny) {
                    return nx < 0 || ny < 0 || nx >= b.width || ny >= b.height || at(nx, ny) < step;
                };
                if (outer(x - 1, y) || outer(x + 1, y) || outer(x, y - 1) || outer(x, y + 1)) at(x, y) = step;
            }
    return depth;
}

Rgb Face(const Gloss& g, double t) {  // t: 0 at the top, 1 at the bottom
    return t < 0.5 ? Mix(g.light, g.body, t / 0.5) : Mix(g.body, g.dark, (t - 0.5) / 0.5);
}

Canvas DrawFace(const Button& b, Look look) {
    const bool pressed = look == Look::Pressed;
    Canvas c(b.width, b.height, kMagenta);
    std::vector<int> depth = Depths(b);
    auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= b.width || y >= b.height ? 0 : depth[static_cast<size_t>(y * b.width + x)];
    };
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            int d = at(x, y);
            if (d == 0) continue;
            double t = (y + 0.5) / b.height;
            // Pressed, the face is lit from below and sits lower: a hollow instead of a dome.
            Rgb face = pressed ? Shade(Face(b.gloss, 0.35 + 0.65 * (1 - t)), -36) : Face(b.gloss, t);
            if (d == 1) {
                face = Shade(b.gloss.dark, -80);
            } else if (d == 2) {
                bool upperLeft = at(x - 1, y) < d || at(x, y - 1) < d;
                bool lit = upperLeft != pressed;
                face = lit ? Mix(face, kWhite, 0.45) : Shade(face, -40);
            }
            c.Set(x, y, face);
        }
    if (!pressed) {
        // The gloss: a soft white lens over the upper part of the face.
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                if (at(x, y) < 3) continue;
                double gx = (x + 0.5 - b.width / 2.0) / (b.width * 0.30);
                double gy = (y + 0.5 - b.height * 0.30) / (b.height * 0.15);
                if (gx * gx + gy * gy <= 1.0) c.Blend(x, y, kWhite, 0.40);
            }
    }
    if (b.icon) b.icon(c, pressed ? 1 : 0, pressed ? 1 : 0);
    // Nothing of the button may read as the key.
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (at(x, y) > 0 && c.At(x, y) == kMagenta) c.Set(x, y, Rgb{254, 0, 255});
    return c;
}

// Greyed and flattened: the same picture with the life taken out.
Canvas Disabled(const Canvas& normal) {
    Canvas c = normal;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (!(c.At(x, y) == kMagenta)) c.Set(x, y, Mix(Grey(c.At(x, y)), Rgb{150, 150, 150}, 0.45));
    return c;
}

// Filled where `inside` holds for most of the pixel, with a dark line one pixel below right.
void Stamp(Canvas& c, const std::function<bool(double, double)>& inside, Rgb colour, Rgb shadow) {
    for (int y = c.Height() - 1; y >= 0; --y)
        for (int x = c.Width() - 1; x >= 0; --x)
            if (Coverage(x, y, inside) >= 0.5) {
                if (!(c.At(x + 1, y + 1) == kMagenta) && Coverage(x + 1, y + 1, inside) < 0.5) c.Set(x + 1, y + 1, shadow);
                c.Set(x, y, colour);
            }
}

bool InPolygon(double px, double py, const std::vector<std::pair<double, double>>& v) {
    bool in = false;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        auto [xi, yi] = v[i];
        auto [xj, yj] = v[j];
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double ex = bx - ax, ey = by - ay;
    double t = std::clamp(((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
    return std::hypot(px - ax - t * ex, py - ay - t * ey);
}

std::vector<std::pair<double, double>> Star(double cx, double cy, double outer, double inner) {
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 10; ++i) {
        double r = i % 2 ? inner : outer, a = -kPi / 2 + i * kPi / 5;
        points.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return points;
}

std::vector<Button> SampleButtons() {
    const Gloss blue{{150, 200, 255}, {40, 104, 214}, {20, 52, 150}};
    const Gloss gold{{255, 244, 160}, {244, 184, 36}, {178, 104, 6}};
    const Gloss red{{255, 160, 160}, {222, 44, 64}, {142, 12, 34}};
    const Gloss green{{182, 244, 156}, {66, 176, 66}, {22, 104, 34}};
    const Rgb cream{255, 248, 206}, ink{14, 30, 86};

    // A round play button: a cream triangle on blue.
    Button play{"RgnBtn1", 36, 36, [](double x, double y) { return std::hypot(x - 18, y - 18) <= 17.2; }, blue,
                [=](Canvas& c, int dx, int dy) {
                    std::vector<std::pair<double, double>> tri = {{14.0 + dx, 10.5 + dy}, {14.0 + dx, 25.5 + dy},
                                                                  {27.0 + dx, 18.0 + dy}};
                    Stamp(c, [&](double x, double y) { return InPolygon(x, y, tri); }, cream, ink);
                },
                true, true};
    // A five-pointed star, gold all through; no disabled picture.
    auto star = Star(19, 19.6, 18.6, 8.2);
    Button gem{"RgnBtn2", 38, 36, [star](double x, double y) { return InPolygon(x, y, star); }, gold, {}, true,
               false};
    // A heart with a white shine; no pressed picture.
    Button heart{"RgnBtn3", 34, 30,
                 [](double x, double y) {
                     double u = (x - 17) / 14.6 * 1.14, v = 1.22 - (y - 1.2) / 27.4 * 2.24;
                     double a = u * u + v * v - 1;
                     return a * a * a - u * u * v * v * v <= 0;
                 },
                 red,
                 [](Canvas& c, int dx, int dy) {
                     Stamp(c, [&](double x, double y) { return std::hypot(x - 9.5 - dx, y - 8.5 - dy) <= 2.3; },
                           Rgb{255, 236, 236}, Rgb{200, 40, 60});
                 },
                 false, true};
    // A capsule with a white tick.
    Button pill{"RgnBtn4", 30, 16,
                [](double x, double y) {
                    return SegmentDistance(x, y, 8, 8, 22, 8) <= 7.6;
                },
                green,
                [=](Canvas& c, int dx, int dy) {
                    Stamp(c,
                          [&](double x, double y) {
                              double a = SegmentDistance(x, y, 10.5 + dx, 8 + dy, 13.5 + dx, 11 + dy);
                              double b = SegmentDistance(x, y, 13.5 + dx, 11 + dy, 19.5 + dx, 4.5 + dy);
                              return std::min(a, b) <= 1.1;
                          },
                          kWhite, Rgb{10, 70, 20});
                },
                true, true};
    return {play, gem, heart, pill};
}

}  // namespace

std::vector<ButtonGlyph> DrawButtonGlyphs() {
    std::vector<ButtonGlyph> glyphs;
    for (const Button& b : SampleButtons()) {
        std::string name = b.control;
        Canvas normal = DrawFace(b, Look::Normal);
        glyphs.push_back({name + ".Glyph1.bmp", normal});
        if (b.hasPressed) glyphs.push_back({name + ".Glyph2.bmp", DrawFace(b, Look::Pressed)});
        if (b.hasDisabled) glyphs.push_back({name + ".Glyph3.bmp", Disabled(normal)});
    }
    return glyphs;
}

}  // namespace artgen
