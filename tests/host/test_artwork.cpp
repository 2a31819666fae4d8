// The committed pictures: the formats the program relies on, and the qualities that make
// the characters look right on a desktop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "core/Bitmap.h"
#include "core/Outline.h"

namespace fs = std::filesystem;
using core::Bitmap;
using core::Rgb;

namespace {

const fs::path kPictures = fs::path(KURUN_SOURCE_DIR) / "assets" / "pictures";
const char* const kUnits[] = {"Pelton", "Melka", "Rugo", "Fenwa"};
constexpr Rgb kKey{222, 171, 195};
constexpr Rgb kMagenta{255, 0, 255};

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

Bitmap Frame(int unit, int rgn) {
    return Bitmap::Load((kPictures / "sprites" / kUnits[unit] / ("Rgn" + std::to_string(rgn) + ".bmp")).string());
}

int Luma(Rgb c) { return (299 * c.red + 587 * c.green + 114 * c.blue + 500) / 1000; }
bool IsGrey(Rgb c) { return c.red == c.green && c.green == c.blue; }
bool IsGreyish(Rgb c) { return std::max({c.red, c.green, c.blue}) - std::min({c.red, c.green, c.blue}) <= 16; }

// Uncompressed DIB with a BITMAPINFOHEADER, stored bottom-up.
void ExpectPlainDib(const fs::path& path, int width, int height, int bits) {
    SCOPED_TRACE(path.string());
    std::vector<uint8_t> f = ReadBytes(path);
    ASSERT_GE(f.size(), 54u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(static_cast<int32_t>(U32(f, 18)), width);
    EXPECT_EQ(static_cast<int32_t>(U32(f, 22)), height);   // positive: bottom-up
    EXPECT_EQ(U16(f, 28), bits);
    EXPECT_EQ(U32(f, 30), 0u);
}

// ---- Sprite frames ----

TEST(SpriteFrames, AreKeyedEightBitPicturesSharingOneTable) {
    const Bitmap first = Frame(0, 1);
    const auto& table = first.Palette();
    ASSERT_GT(table.size(), 48u);
    ASSERT_LE(table.size(), 256u);
    EXPECT_EQ((Rgb{table[48].red, table[48].green, table[48].blue}), kKey);
    for (size_t i = 0; i < table.size(); ++i) {
        if (i != 48) {
            EXPECT_NE((Rgb{table[i].red, table[i].green, table[i].blue}), kKey) << "entry " << i;
        }
    }
    for (int u = 0; u < 4; ++u)
        for (int rgn = 1; rgn <= 16; ++rgn) {
            SCOPED_TRACE(std::string(kUnits[u]) + " Rgn" + std::to_string(rgn));
            ExpectPlainDib(kPictures / "sprites" / kUnits[u] / ("Rgn" + std::to_string(rgn) + ".bmp"), 40, 40, 8);
            Bitmap f = Frame(u, rgn);
            EXPECT_EQ(f.Palette(), table);
            EXPECT_EQ(f.Index(0, 39), 48);
            // The key fills the background: every border pixel is the key or part of the figure's
            // shadow, and the four corners are always the key.
            EXPECT_EQ(f.Index(0, 0), 48);
            EXPECT_EQ(f.Index(39, 0), 48);
            EXPECT_EQ(f.Index(39, 39), 48);
        }
}

TEST(SpriteFrames, RightFacingFramesMirrorTheLeftFacingOnes) {
    for (int u = 0; u < 4; ++u)
        for (int k = 0; k < 4; ++k) {
            Bitmap left = Frame(u, 9 + k), right = Frame(u, 13 + k);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    ASSERT_EQ(right.Index(x, y), left.Index(39 - x, y))
                        << kUnits[u] << " Rgn" << 13 + k << " at " << x << "," << y;
        }
}

TEST(SpriteFrames, OutlinesStayWithinTheRectangleBudget) {
    for (int u = 0; u < 4; ++u)
        for (int rgn = 1; rgn <= 16; ++rgn) {
            Bitmap f = Frame(u, rgn);
            size_t rects = core::BandRuns(core::ScanRuns(f)).size();
            EXPECT_GE(rects, 25u) << kUnits[u] << " Rgn" << rgn;
            EXPECT_LE(rects, 72u) << kUnits[u] << " Rgn" << rgn;
        }
}

TEST(SpriteFrames, FiguresAreCleanSolidShapes) {
    for (int u = 0; u < 4; ++u)
        for (int rgn = 1; rgn <= 16; ++rgn) {
            SCOPED_TRACE(std::string(kUnits[u]) + " Rgn" + std::to_string(rgn));
            Bitmap f = Frame(u, rgn);
            auto opaque = [&](int x, int y) { return x >= 0 && y >= 0 && x < 40 && y < 40 && f.Index(x, y) != 48; };
            // No stray pixels: every opaque pixel touches another one.
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    if (!opaque(x, y)) continue;
                    int neighbours = 0;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && opaque(x + dx, y + dy);
                    EXPECT_GT(neighbours, 0) << "stray pixel at " << x << "," << y;
                }
            // No holes: background shut in by the figure is allowed only where it shows the
            // ground between the legs, just above the shadow (the colours of the lowest row).
            int lowest = 39;
            while (lowest > 0 && [&] { for (int x = 0; x < 40; ++x) if (opaque(x, lowest)) return false; return true; }())
                --lowest;
            std::set<uint8_t> shadow;
            for (int x = 0; x < 40; ++x)
                if (opaque(x, lowest)) shadow.insert(f.Index(x, lowest));
            std::vector<int> region(1600, -1);
            auto flood = [&](int sx, int sy, int id) {
                std::vector<std::pair<int, int>> todo{{sx, sy}};
                region[sy * 40 + sx] = id;
                bool ground = false;
                while (!todo.empty()) {
                    auto [x, y] = todo.back();
                    todo.pop_back();
                    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                        int nx = x + dx, ny = y + dy;
                        if (opaque(nx, ny) && shadow.count(f.Index(nx, ny))) ground = true;
                        if (nx < 0 || ny < 0 || nx >= 40 || ny >= 40 || opaque(nx, ny) || region[ny * 40 + nx] != -1)
                            continue;
                        region[ny * 40 + nx] = id;
                        todo.push_back({nx, ny});
                    }
                }
                return ground;
            };
            for (int i = 0; i < 40; ++i)
                for (auto [x, y] : {std::pair{i, 0}, {i, 39}, {0, i}, {39, i}})
                    if (!opaque(x, y) && region[y * 40 + x] == -1) flood(x, y, 0);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    if (!opaque(x, y) && region[y * 40 + x] == -1) {
                        EXPECT_TRUE(flood(x, y, 1)) << "key-coloured hole at " << x << "," << y;
                    }
        }
}

// Each character stands on one grey shadow that stays put while it walks, so the window
// does not jitter; the figure itself changes from step to step.
TEST(SpriteFrames, WalkOnAFixedGreyShadow) {
    for (int u = 0; u < 4; ++u) {
        SCOPED_TRACE(kUnits[u]);
        int bottom = -1, centre = 0, left = 0, right = 0;
        for (int rgn = 1; rgn <= 16; ++rgn) {
            Bitmap f = Frame(u, rgn);
            int y = 39;
            while (y >= 0 && [&] { for (int x = 0; x < 40; ++x) if (f.Index(x, y) != 48) return false; return true; }()) --y;
            ASSERT_GE(y, 0);
            int l = 0, r = 39;
            while (f.Index(l, y) == 48) ++l;
            while (f.Index(r, y) == 48) --r;
            for (int x = l; x <= r; ++x) EXPECT_TRUE(IsGreyish(f.Color(x, y))) << "Rgn" << rgn << " at " << x;
            // Same spot in every frame; same size within a walk (a long body may cast a longer
            // shadow sideways).
            if (rgn == 1) bottom = y, centre = l + r;
            EXPECT_EQ(y, bottom) << "Rgn" << rgn;
            EXPECT_EQ(l + r, centre) << "Rgn" << rgn;
            if ((rgn - 1) % 4 == 0) left = l, right = r;
            EXPECT_EQ(l, left) << "Rgn" << rgn;
            EXPECT_EQ(r, right) << "Rgn" << rgn;
        }
        for (int group = 0; group < 3; ++group) {
            std::vector<Bitmap> distinct;
            for (int k = 1; k <= 4; ++k) {
                Bitmap f = Frame(u, group * 4 + k);
                if (std::find(distinct.begin(), distinct.end(), f) == distinct.end()) distinct.push_back(f);
            }
            EXPECT_GE(distinct.size(), 3u) << "walk group " << group;
        }
    }
}

// Hue of the most used saturated colour over all of a character's frames, 0..360.
double DominantHue(int u) {
    std::map<int, int> hues;
    for (int rgn = 1; rgn <= 16; ++rgn) {
        Bitmap f = Frame(u, rgn);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                if (f.Index(x, y) == 48) continue;
                Rgb c = f.Color(x, y);
                int hi = std::max({c.red, c.green, c.blue}), lo = std::min({c.red, c.green, c.blue});
                if (hi < 80 || hi - lo < 60) continue;   // outlines, shadows, whites
                double h;
                if (hi == c.red) h = std::fmod(60.0 * (c.green - c.blue) / (hi - lo) + 360, 360);
                else if (hi == c.green) h = 60.0 * (c.blue - c.red) / (hi - lo) + 120;
                else h = 60.0 * (c.red - c.green) / (hi - lo) + 240;
                ++hues[static_cast<int>(h) / 20];
            }
    }
    auto best = std::max_element(hues.begin(), hues.end(), [](auto& a, auto& b) { return a.second < b.second; });
    return best->first * 20 + 10;
}

TEST(SpriteFrames, EachCharacterHasItsOwnMainColour) {
    double red = DominantHue(0), blue = DominantHue(1), pink = DominantHue(2), green = DominantHue(3);
    EXPECT_TRUE(red < 20 || red > 340) << red;
    EXPECT_TRUE(blue > 200 && blue < 250) << blue;
    EXPECT_TRUE(pink > 310 || pink < 10) << pink;
    EXPECT_TRUE(green > 80 && green < 160) << green;
}

// ---- Check-box strip ----

class CheckStrip : public ::testing::Test {
protected:
    void SetUp() override { strip = Bitmap::Load((kPictures / "checkbox.bmp").string()); }
    Rgb At(int cell, int x, int y) const { return strip.Color(cell * 18 + x, y); }
    Bitmap strip;
};

TEST_F(CheckStrip, IsFiftySixEightBitCells) {
    ExpectPlainDib(kPictures / "checkbox.bmp", 1008, 18, 8);
    EXPECT_EQ(strip.Palette().size(), 256u);
    EXPECT_EQ(strip.Width() / (strip.Height() * 4), 14);
}

TEST_F(CheckStrip, EveryGlyphSitsOnMagenta) {
    for (int cell = 0; cell < 56; ++cell) {
        EXPECT_EQ(At(cell, 0, 17), kMagenta) << "cell " << cell;
        for (int x = 0; x < 18; ++x) EXPECT_EQ(At(cell, x, 17), kMagenta) << "cell " << cell;
        int glyph = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) glyph += !(At(cell, x, y) == kMagenta);
        EXPECT_GT(glyph, 20) << "cell " << cell;
        EXPECT_LT(glyph, 18 * 17) << "cell " << cell;
    }
}

TEST_F(CheckStrip, DisabledCellsAreGreyedCopiesOfTheEnabledOnes) {
    for (int style = 0; style < 14; ++style)
        for (int checked = 0; checked < 2; ++checked) {
            int enabled = style * 4 + checked, disabled = enabled + 2;
            bool differs = false;
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 18; ++x) {
                    Rgb e = At(enabled, x, y), d = At(disabled, x, y);
                    ASSERT_EQ(e == kMagenta, d == kMagenta) << "style " << style + 1 << " at " << x << "," << y;
                    if (!(d == kMagenta)) {
                        EXPECT_TRUE(IsGrey(d)) << "style " << style + 1 << " at " << x << "," << y;
                    }
                }
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 18; ++x) differs |= !(At(style * 4, x, y) == At(style * 4 + 1, x, y));
            EXPECT_TRUE(differs) << "style " << style + 1 << " looks the same checked and unchecked";
        }
}

// The one style the settings window shows, pixel by pixel.
TEST_F(CheckStrip, StyleOneIsTheSunkenWhiteBox) {
    const Rgb grey{128, 128, 128}, black{0, 0, 0}, white{255, 255, 255}, light{192, 192, 192};
    for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE("state " + std::to_string(state));
        const bool checked = state % 2, disabled = state >= 2;
        auto expected = [&](int x, int y) -> Rgb {
            if (x > 13 || y < 2 || y > 15) return kMagenta;
            if (y == 15 || x == 13) return white;
            if (y == 2 || x == 0) return grey;
            if (y == 14 || x == 12) return light;
            if (y == 3 || x == 1) return black;
            return disabled ? light : white;
        };
        bool tickAtLastColumn = false;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) {
                Rgb p = At(state, x, y), want = expected(x, y);
                if (!checked) {
                    EXPECT_EQ(p, want) << x << "," << y;
                } else if (!(p == want)) {
                    // Only the tick differs: blue, or grey when disabled.
                    bool tick = disabled ? IsGrey(p) && p.red < 192 : p.blue > 100 && p.blue > p.red + 60 && p.blue > p.green + 60;
                    EXPECT_TRUE(tick) << x << "," << y;
                    tickAtLastColumn |= x == 17;
                }
            }
        if (checked) {
            EXPECT_TRUE(tickAtLastColumn);
        }
        // The 13 x 13 check box shows columns 0..12, rows 2..14: the box with its tick.
        if (checked) {
            int tick = 0;
            for (int y = 4; y <= 13; ++y)
                for (int x = 2; x <= 11; ++x) tick += !(At(state, x, y) == expected(x, y));
            EXPECT_GT(tick, 15);
        }
    }
}

// ---- Settings window ----

TEST(SettingsPictures, HaveTheirSizesAndFormats) {
    ExpectPlainDib(kPictures / "settings" / "skin.bmp", 350, 350, 24);
    ExpectPlainDib(kPictures / "settings" / "info.bmp", 53, 17, 24);
    ExpectPlainDib(kPictures / "settings" / "next.bmp", 25, 17, 24);
    ExpectPlainDib(kPictures / "settings" / "prev.bmp", 25, 17, 24);
    ExpectPlainDib(kPictures / "settings" / "close.bmp", 39, 16, 24);
}

TEST(SettingsPictures, InformationButtonBlendsIntoTheTitleStrip) {
    Bitmap skin = Bitmap::Load((kPictures / "settings" / "skin.bmp").string());
    Bitmap info = Bitmap::Load((kPictures / "settings" / "info.bmp").string());
    for (auto [x, y] : {std::pair{0, 0}, {52, 0}, {0, 16}, {52, 16}})
        EXPECT_EQ(info.Color(x, y), skin.Color(4 + x, 2 + y)) << x << "," << y;
}

TEST(SettingsPictures, ArrowsPointTheRightWay) {
    // The red arrow's widest row is at its base: near the top for down, near the bottom for up.
    auto widestRedRow = [](const Bitmap& b) {
        int best = -1, bestCount = 0;
        for (int y = 0; y < b.Height(); ++y) {
            int n = 0;
            for (int x = 0; x < b.Width(); ++x) {
                Rgb c = b.Color(x, y);
                n += c.red > 150 && c.red > c.blue + 60 && c.red > c.green + 60;
            }
            if (n > bestCount) best = y, bestCount = n;
        }
        return best;
    };
    int down = widestRedRow(Bitmap::Load((kPictures / "settings" / "next.bmp").string()));
    int up = widestRedRow(Bitmap::Load((kPictures / "settings" / "prev.bmp").string()));
    EXPECT_LT(down, 8);
    EXPECT_GT(up, 8);
}

// White text with a dark shadow must stay readable wherever the window writes it.
TEST(SettingsPictures, TextAreasAreDarkEnoughForWhiteText) {
    Bitmap skin = Bitmap::Load((kPictures / "settings" / "skin.bmp").string());
    auto darkest = [&](int x0, int y0, int w, int h) {
        int worst = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) worst = std::max(worst, Luma(skin.Color(x, y)));
        return worst;
    };
    EXPECT_LT(darkest(60, 5, 170, 12), 110) << "title";
    EXPECT_LT(darkest(72, 331, 265, 13), 110) << "footer";
    for (int y0 : {34, 106, 178, 250}) {
        EXPECT_LT(darkest(28, y0, 70, 14), 110) << "name of row at " << y0;
        EXPECT_LT(darkest(64, y0 + 27, 40, 14), 110) << "Launch! of row at " << y0;
    }
}

TEST(Portraits, ComeInColourAndMatchingGrey) {
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE("portrait " + std::to_string(n));
        fs::path colourPath = kPictures / "portraits" / ("portrait" + std::to_string(n) + ".bmp");
        fs::path greyPath = kPictures / "portraits" / ("portrait" + std::to_string(n) + "_grey.bmp");
        ExpectPlainDib(colourPath, 48, 48, 24);
        ExpectPlainDib(greyPath, 48, 48, 24);
        Bitmap colour = Bitmap::Load(colourPath.string()), grey = Bitmap::Load(greyPath.string());
        int coloured = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                Rgb c = colour.Color(x, y), g = grey.Color(x, y);
                ASSERT_TRUE(IsGrey(g)) << x << "," << y;
                EXPECT_NEAR(g.red, Luma(c), 1) << x << "," << y;
                coloured += !IsGrey(c);
            }
        EXPECT_GT(coloured, 48 * 48 / 2);
    }
}

// Colours a character's frames use and no other character's frames do.
std::set<std::tuple<int, int, int>> OwnColours(int unit) {
    std::map<std::tuple<int, int, int>, std::set<int>> users;
    for (int u = 0; u < 4; ++u)
        for (int rgn = 1; rgn <= 16; ++rgn) {
            Bitmap f = Frame(u, rgn);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    if (f.Index(x, y) != 48) {
                        Rgb c = f.Color(x, y);
                        users[{c.red, c.green, c.blue}].insert(u);
                    }
        }
    std::set<std::tuple<int, int, int>> own;
    for (auto& [colour, who] : users)
        if (who.size() == 1 && *who.begin() == unit) own.insert(colour);
    return own;
}

double ShareOfOwnColours(const Bitmap& picture, int unit) {
    auto own = OwnColours(unit);
    int hits = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            Rgb c = picture.Color(x, y);
            hits += own.count({c.red, c.green, c.blue});
        }
    return static_cast<double>(hits) / (picture.Width() * picture.Height());
}

// Portrait n is drawn from character n's own sprite, not from another one.
TEST(Portraits, ShowTheirOwnCharacter) {
    for (int n = 1; n <= 4; ++n) {
        Bitmap portrait = Bitmap::Load((kPictures / "portraits" / ("portrait" + std::to_string(n) + ".bmp")).string());
        for (int u = 0; u < 4; ++u) {
            double share = ShareOfOwnColours(portrait, u);
            if (u == n - 1) {
                EXPECT_GT(share, 0.25) << "portrait " << n;
            } else {
                EXPECT_LT(share, 0.02) << "portrait " << n << " has colours of " << kUnits[u];
            }
        }
    }
}

// ---- Icons ----

struct IconEntry {
    int width, height, bits;
    std::vector<uint8_t> image;
};

std::vector<IconEntry> ReadIcon(const fs::path& path) {
    std::vector<uint8_t> f = ReadBytes(path);
    std::vector<IconEntry> out;
    if (f.size() < 6 || U16(f, 0) != 0 || U16(f, 2) != 1) return out;
    for (int i = 0; i < U16(f, 4); ++i) {
        size_t e = 6 + 16 * i;
        uint32_t size = U32(f, e + 8), offset = U32(f, e + 12);
        if (offset + size > f.size()) return {};
        out.push_back({f[e] ? f[e] : 256, f[e + 1] ? f[e + 1] : 256, U16(f, e + 6),
                       std::vector<uint8_t>(f.begin() + offset, f.begin() + offset + size)});
    }
    return out;
}

TEST(Icons, TrayIconIsOne32PixelImageWithAMask) {
    fs::path path = kPictures / "icons" / "tray.ico";
    EXPECT_EQ(fs::file_size(path), 3262u);
    std::vector<IconEntry> icon = ReadIcon(path);
    ASSERT_EQ(icon.size(), 1u);
    const IconEntry& e = icon[0];
    EXPECT_EQ(e.width, 32);
    EXPECT_EQ(e.height, 32);
    EXPECT_EQ(e.bits, 24);
    ASSERT_EQ(e.image.size(), 3240u);
    EXPECT_EQ(U32(e.image, 0), 40u);
    EXPECT_EQ(U32(e.image, 4), 32u);
    EXPECT_EQ(U32(e.image, 8), 64u);   // colour rows and mask rows
    EXPECT_EQ(U16(e.image, 14), 24);
    // Masked pixels are black in the colour rows, so the desktop shows through unchanged.
    int transparent = 0, dark = 0;
    for (int row = 0; row < 32; ++row)
        for (int x = 0; x < 32; ++x) {
            bool masked = e.image[40 + 3072 + row * 4 + x / 8] & (0x80 >> (x % 8));
            const uint8_t* p = &e.image[40 + row * 96 + x * 3];
            if (masked) {
                ++transparent;
                EXPECT_EQ(p[0] | p[1] | p[2], 0) << x << "," << row;
            } else {
                dark += p[0] > p[2] + 20 && p[2] < 80;   // the dark blue background
            }
        }
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, 32 * 32 / 8);
    EXPECT_GT(dark, 100);
    // The head is character 1's.
    Bitmap head(32, 32, 24);
    for (int row = 0; row < 32; ++row)
        for (int x = 0; x < 32; ++x) {
            const uint8_t* p = &e.image[40 + row * 96 + x * 3];
            head.SetColor(x, 31 - row, Rgb{p[2], p[1], p[0]});
        }
    EXPECT_GT(ShareOfOwnColours(head, 0), 0.25);
}

TEST(Icons, ProgramIconStartsWithTheTrayImage) {
    std::vector<IconEntry> tray = ReadIcon(kPictures / "icons" / "tray.ico");
    std::vector<IconEntry> main = ReadIcon(kPictures / "icons" / "kurun.ico");
    ASSERT_FALSE(tray.empty());
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(main[0].image, tray[0].image);
    for (const IconEntry& e : main) {
        EXPECT_EQ(e.bits, 24);
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(U32(e.image, 8), static_cast<uint32_t>(2 * e.height));
    }
}

// ---- Shaped buttons of the sample window ----

TEST(ButtonGlyphs, EveryGlyphOfAButtonHasTheFirstOnesShapeOnMagenta) {
    const std::map<std::string, std::vector<int>> glyphs = {
        {"RgnBtn1", {1, 2, 3}}, {"RgnBtn2", {1, 2}}, {"RgnBtn3", {1, 3}}, {"RgnBtn4", {1, 2, 3}}};
    for (const auto& [button, indexes] : glyphs) {
        auto path = [&](int n) { return kPictures / "buttons" / (button + ".Glyph" + std::to_string(n) + ".bmp"); };
        const Bitmap normal = Bitmap::Load(path(1).string());
        for (int n = 1; n <= 3; ++n) {
            SCOPED_TRACE(path(n).string());
            bool wanted = std::find(indexes.begin(), indexes.end(), n) != indexes.end();
            ASSERT_EQ(fs::exists(path(n)), wanted);
            if (!wanted) continue;
            ExpectPlainDib(path(n), normal.Width(), normal.Height(), 24);
            const Bitmap glyph = Bitmap::Load(path(n).string());
            EXPECT_EQ(glyph.Color(0, glyph.Height() - 1), kMagenta);
            EXPECT_EQ(glyph.Color(0, 0), kMagenta) << "a shape, not a rectangle";
            int opaque = 0;
            for (int y = 0; y < glyph.Height(); ++y)
                for (int x = 0; x < glyph.Width(); ++x) {
                    bool key = glyph.Color(x, y) == kMagenta;
                    ASSERT_EQ(key, normal.Color(x, y) == kMagenta) << x << "," << y;
                    opaque += !key;
                    if (n == 3 && !key) {
                        EXPECT_TRUE(IsGreyish(glyph.Color(x, y))) << x << "," << y;
                    }
                }
            EXPECT_GT(opaque, glyph.Width() * glyph.Height() / 4);
        }
    }
}

// ---- Generator ----

TEST(ArtGenerator, ReproducesTheCommittedPictures) {
    fs::path exe = fs::read_symlink("/proc/self/exe").parent_path() / "kurun_artgen";
    if (!fs::exists(exe)) GTEST_SKIP() << "kurun_artgen is not built beside the tests";
    fs::path temp = fs::temp_directory_path() / ("kurun-artgen-" + std::to_string(::getpid()));
    fs::remove_all(temp);
    std::string command = "\"" + exe.string() + "\" \"" + temp.string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(temp / "pictures")) {
        if (!entry.is_regular_file()) continue;
        fs::path relative = fs::relative(entry.path(), temp / "pictures");
        EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(kPictures / relative)) << relative << " is stale";
        ++compared;
    }
    fs::remove_all(temp);
    EXPECT_EQ(compared, 64 + 5 + 8 + 2 + 1 + 10);
}

}  // namespace
