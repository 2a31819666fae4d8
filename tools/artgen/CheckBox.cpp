#include "tools/artgen/CheckBox.h"

#include <cmath>
#include <map>
#include <stdexcept>

namespace artgen {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kLightGrey{192, 192, 192};
constexpr Rgb kDarkGrey{64, 64, 64};

// Hard-edged shapes only: a blended edge would leave pink fringes around the key colour.
void Disc(Canvas& c, double cx, double cy, double r, Rgb colour) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) c.Set(x, y, colour);
}

// A ball with a dark rim and a highlight at its upper left.
void Ball(Canvas& c, double cx, double cy, double r, Rgb colour) {
    Disc(c, cx, cy, r, Shade(colour, -60));
    Disc(c, cx, cy, r - 1, colour);
    Disc(c, cx - r * 0.35, cy - r * 0.35, std::max(1.0, r * 0.35), Mix(colour, kWhite, 0.7));
}

void RoundedSquare(Canvas& c, int x, int y, int size, Rgb border, Rgb face) {
    c.FillRect(x + 1, y, size - 2, size, border);
    c.FillRect(x, y + 1, size, size - 2, border);
    c.FillRect(x + 1, y + 1, size - 2, size - 2, face);
    c.Set(x + 1, y + 1, border);
    c.Set(x + size - 2, y + 1, border);
    c.Set(x + 1, y + size - 2, border);
    c.Set(x + size - 2, y + size - 2, border);
}

void Raised(Canvas& c, int x, int y, int size, Rgb face) {
    c.FillRect(x, y, size, size, face);
    c.HLine(x, x + size - 2, y, kWhite);
    c.VLine(x, y, y + size - 2, kWhite);
    c.HLine(x, x + size - 1, y + size - 1, kBlack);
    c.VLine(x + size - 1, y, y + size - 1, kBlack);
    c.HLine(x + 1, x + size - 2, y + size - 2, kGrey);
    c.VLine(x + size - 2, y + 1, y + size - 2, kGrey);
}

// Style 1, the one the settings window uses: a sunken white box at columns 0..13, rows 2..15.
void Sunken(Canvas& c, bool checked, bool disabled) {
    c.FillRect(0, 2, 14, 14, disabled ? kLightGrey : kWhite);
    c.HLine(0, 12, 2, kGrey);
    c.VLine(0, 2, 14, kGrey);
    c.HLine(1, 11, 3, kBlack);
    c.VLine(1, 3, 13, kBlack);
    c.HLine(0, 13, 15, kWhite);
    c.VLine(13, 2, 15, kWhite);
    c.HLine(1, 12, 14, kLightGrey);
    c.VLine(12, 3, 14, kLightGrey);
    if (!checked) return;
    Rgb ink = disabled ? kGrey : Rgb{30, 70, 224};
    Rgb edge = disabled ? Rgb{96, 96, 96} : Rgb{10, 30, 140};
    // Short stroke down to the right, long stroke up past the box to the last column.
    static const int spans[][3] = {
        {1, 16, 17}, {2, 15, 17}, {3, 14, 16}, {4, 13, 15}, {5, 12, 14}, {6, 11, 13},
        {7, 10, 12}, {8, 9, 11},  {9, 8, 10},  {10, 4, 9},  {11, 5, 8},  {12, 6, 7},
    };
    static const int shortStroke[][3] = {{7, 3, 3}, {8, 3, 4}, {9, 3, 5}};
    for (auto& s : spans)
        for (int x = s[1]; x <= s[2]; ++x) c.Set(x, s[0], ink);
    for (auto& s : shortStroke)
        for (int x = s[1]; x <= s[2]; ++x) c.Set(x, s[0], ink);
    for (auto& s : spans) c.Set(s[2], s[0], edge);
    c.Set(5, 11, edge);
    c.Set(6, 12, edge);
}

void BigTick(Canvas& c, int x, int y, Rgb ink) {
    // A heavy tick inside a 13 x 13 area at (x, y).
    static const int rows[][3] = {
        {2, 10, 11}, {3, 9, 11}, {4, 8, 10}, {5, 1, 2}, {5, 7, 9}, {6, 1, 3}, {6, 6, 8},
        {7, 2, 7},   {8, 3, 6},  {9, 4, 5},
    };
    for (auto& r : rows)
        for (int i = r[1]; i <= r[2]; ++i) c.Set(x + i, y + r[0], ink);
}

void Diamond(Canvas& c, int cx, int cy, int r, Rgb colour) {
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x)
            if (std::abs(x) + std::abs(y) <= r) c.Set(cx + x, cy + y, colour);
}

void DrawStyle(Canvas& c, int style, bool checked, bool disabled) {
    switch (style) {
    case 1:
        Sunken(c, checked, disabled);
        break;
    case 2:
        RoundedSquare(c, 1, 3, 13, kGrey, Rgb{212, 212, 212});
        if (checked) Ball(c, 7.5, 9.5, 3.5, Rgb{70, 70, 82});
        break;
    case 3: {
        RoundedSquare(c, 1, 3, 13, Rgb{20, 100, 30}, Rgb{60, 170, 70});
        c.FillRect(3, 4, 9, 4, Rgb{140, 220, 140});
        c.HLine(3, 11, 4, Rgb{200, 250, 200});
        if (checked) {
            Disc(c, 7.5, 9.5, 3.2, Rgb{20, 40, 20});
            c.Set(6, 11, Rgb{50, 90, 50});
        }
        break;
    }
    case 4:
        Raised(c, 1, 3, 13, kLightGrey);
        if (checked) BigTick(c, 1, 3, kBlack);
        break;
    case 5:
        RoundedSquare(c, 1, 3, 13, kBlack, Rgb{200, 200, 200});
        if (checked) BigTick(c, 1, 3, kBlack);
        break;
    case 6:
        c.FillRect(1, 3, 13, 13, Rgb{180, 180, 180});
        if (checked) BigTick(c, 1, 3, Rgb{255, 128, 0});
        break;
    case 7:
        Raised(c, 1, 3, 13, kLightGrey);
        if (checked) c.FillRect(5, 7, 5, 5, kBlack);
        break;
    case 8:
        Diamond(c, 7, 9, 7, kDarkGrey);
        Diamond(c, 7, 9, 6, Rgb{190, 190, 190});
        if (checked) Diamond(c, 7, 9, 3, kBlack);
        break;
    case 9:
        c.FillRect(1, 3, 13, 13, Rgb{84, 50, 24});
        c.FillRect(2, 4, 11, 11, Rgb{150, 96, 50});
        if (checked)
            for (int i = 0; i < 7; ++i) {
                c.Set(4 + i, 6 + i, kBlack);
                c.Set(5 + i, 6 + i, kBlack);
                c.Set(10 - i, 6 + i, kBlack);
                c.Set(11 - i, 6 + i, kBlack);
            }
        break;
    case 10:
        RoundedSquare(c, 1, 3, 13, kGrey, disabled ? kLightGrey : kWhite);
        if (checked) Ball(c, 7.5, 9.5, 3.5, Rgb{40, 90, 230});
        break;
    case 11:
        c.FillRect(1, 3, 13, 13, Rgb{10, 20, 90});
        c.FrameRect(1, 3, 13, 13, Rgb{0, 0, 40});
        if (checked) c.FillRect(5, 7, 5, 5, kLightGrey);
        break;
    case 12:
        Disc(c, 7.5, 9.5, 6.5, Rgb{10, 40, 140});
        Disc(c, 7.5, 9.5, 5.5, Rgb{50, 110, 220});
        if (checked) Ball(c, 7.5, 9.5, 3.2, kLightGrey);
        break;
    case 13:
        c.FillRect(1, 3, 13, 13, kDarkGrey);
        c.FillRect(3, 5, 9, 9, kLightGrey);
        if (checked) {
            Disc(c, 7.5, 9.5, 3.6, Rgb{60, 120, 170});
            Disc(c, 7.5, 9.5, 2.6, Rgb{150, 210, 240});
            c.Set(6, 8, kWhite);
            c.Set(7, 8, kWhite);
            c.Set(6, 9, kWhite);
        }
        break;
    case 14:
        if (!checked) {
            c.VLine(7, 8, 15, kDarkGrey);
            c.VLine(8, 8, 14, kGrey);
            Ball(c, 7.5, 6.0, 3.6, Rgb{220, 30, 40});
        } else {
            for (int i = 0; i < 7; ++i) {
                c.Set(9 + i, 8 + i, kDarkGrey);
                c.Set(10 + i, 8 + i, kGrey);
            }
            Ball(c, 7.0, 6.5, 3.6, Rgb{220, 30, 40});
        }
        break;
    default:
        throw std::logic_error("no such check-box style");
    }
}

}  // namespace

Canvas DrawCheckCell(int style, int state) {
    Canvas c(kCell, kCell, kMagenta);
    bool checked = state % 2 == 1, disabled = state >= 2;
    DrawStyle(c, style, checked, disabled);
    if (disabled)
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                if (!(c.At(x, y) == kMagenta)) c.Set(x, y, Grey(c.At(x, y)));
    return c;
}

core::Bitmap DrawCheckStrip() {
    Canvas strip(kCell * 4 * kStyles, kCell, kMagenta);
    for (int s = 1; s <= kStyles; ++s)
        for (int state = 0; state < 4; ++state) strip.Paste(DrawCheckCell(s, state), ((s - 1) * 4 + state) * kCell, 0);
    // Colour table in order of first use, so the file is the same every run.
    std::vector<core::PaletteEntry> table;
    std::map<uint32_t, uint8_t> index;
    core::Bitmap bmp(strip.Width(), strip.Height(), 8, std::vector<core::PaletteEntry>(256));
    for (int y = 0; y < strip.Height(); ++y)
        for (int x = 0; x < strip.Width(); ++x) {
            Rgb p = strip.At(x, y);
            uint32_t key = p.red << 16 | p.green << 8 | p.blue;
            auto it = index.find(key);
            if (it == index.end()) {
                if (table.size() == 256) throw std::logic_error("check-box strip has too many colours");
                it = index.emplace(key, static_cast<uint8_t>(table.size())).first;
                table.push_back({p.blue, p.green, p.red, 0});
            }
            bmp.SetIndex(x, y, it->second);
        }
    for (size_t i = 0; i < table.size(); ++i) bmp.Palette()[i] = table[i];
    return bmp;
}

}  // namespace artgen
