#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "core/Bitmap.h"

using core::Bitmap;
using core::BitmapError;
using core::PaletteEntry;
using core::Rgb;

namespace {

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& f, size_t at, uint16_t v) {
    f[at] = static_cast<uint8_t>(v);
    f[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A hand-built file, independent of ToFile: 40-byte header unless told otherwise.
std::vector<uint8_t> MakeFile(int width, int height, int bits, const std::vector<uint8_t>& pixelRows,
                              const std::vector<PaletteEntry>& palette = {}, uint32_t clrUsed = 0,
                              uint32_t headerSize = 40, uint32_t compression = 0,
                              const std::vector<uint32_t>& masks = {}) {
    size_t tables = (compression == 3 && headerSize == 40 ? 12 : 0) + 4 * palette.size();
    size_t off = 14 + headerSize + tables;
    std::vector<uint8_t> f(off, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 10, static_cast<uint32_t>(off));
    Put32(f, 14, headerSize);
    Put32(f, 18, static_cast<uint32_t>(width));
    Put32(f, 22, static_cast<uint32_t>(height));
    Put16(f, 26, 1);
    Put16(f, 28, static_cast<uint16_t>(bits));
    Put32(f, 30, compression);
    Put32(f, 46, clrUsed);
    size_t at = 14 + headerSize;
    if (compression == 3) {
        size_t maskAt = headerSize == 40 ? at : 14 + 40;
        for (size_t i = 0; i < masks.size(); ++i) Put32(f, maskAt + 4 * i, masks[i]);
        if (headerSize == 40) at += 12;
    }
    for (const PaletteEntry& p : palette) {
        f[at++] = p.blue;
        f[at++] = p.green;
        f[at++] = p.red;
        f[at++] = 0;
    }
    f.insert(f.end(), pixelRows.begin(), pixelRows.end());
    Put32(f, 2, static_cast<uint32_t>(f.size()));
    return f;
}

std::vector<PaletteEntry> Grey(int n) {
    std::vector<PaletteEntry> p;
    for (int i = 0; i < n; ++i) {
        auto v = static_cast<uint8_t>(i * 255 / std::max(1, n - 1));
        p.push_back({v, v, v, 0});
    }
    return p;
}

// A valid 2 x 2 8-bit file, bottom-up: bottom row 1 2, top row 3 4.
std::vector<uint8_t> Valid8() { return MakeFile(2, 2, 8, {1, 2, 0, 0, 3, 4, 0, 0}, Grey(4), 4); }

}  // namespace

TEST(BitmapRead, MalformedFilesAreRejected) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"empty file", [](auto& f) { f.clear(); }},
        {"file header only", [](auto& f) { f.resize(14); }},
        {"wrong signature", [](auto& f) { f[0] = 'X'; }},
        {"core header", [](auto& f) { Put32(f, 14, 12); }},
        {"header past end", [](auto& f) { Put32(f, 14, 4000); }},
        {"truncated header", [](auto& f) { f.resize(30); }},
        {"zero width", [](auto& f) { Put32(f, 18, 0); }},
        {"negative width", [](auto& f) { Put32(f, 18, static_cast<uint32_t>(-2)); }},
        {"zero height", [](auto& f) { Put32(f, 22, 0); }},
        {"minimum height", [](auto& f) { Put32(f, 22, 0x80000000u); }},
        {"two planes", [](auto& f) { Put16(f, 26, 2); }},
        {"bit depth 7", [](auto& f) { Put16(f, 28, 7); }},
        {"bit depth 0", [](auto& f) { Put16(f, 28, 0); }},
        {"RLE8", [](auto& f) { Put32(f, 30, 1); }},
        {"JPEG", [](auto& f) { Put32(f, 30, 4); }},
        {"bitfields on 8 bits", [](auto& f) { Put32(f, 30, 3); }},
        {"palette past end", [](auto& f) { Put32(f, 46, 0); f.resize(14 + 40 + 4 * 10); }},
        {"offset past end", [](auto& f) { Put32(f, 10, 100000); }},
        {"offset inside header", [](auto& f) { Put32(f, 10, 20); }},
        {"pixels truncated by one byte", [](auto& f) { f.pop_back(); }},
        {"width overflow", [](auto& f) { Put32(f, 18, 0x7FFFFFFF); Put32(f, 22, 0x7FFFFFFF); }},
        {"height far past data", [](auto& f) { Put32(f, 22, 100000); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> f = Valid8();
        c.damage(f);
        // A copy of exactly the file's length lets a sanitizer catch any read past it.
        std::vector<uint8_t> exact(f.begin(), f.end());
        EXPECT_THROW(Bitmap::FromFile(exact), BitmapError) << c.what;
    }
    EXPECT_NO_THROW(Bitmap::FromFile(Valid8()));
}

TEST(BitmapRead, MalformedBitfieldsAreRejected) {
    auto file = [](std::vector<uint32_t> masks) {
        return MakeFile(1, 1, 16, {0, 0, 0, 0}, {}, 0, 40, 3, masks);
    };
    EXPECT_NO_THROW(Bitmap::FromFile(file({0xF800, 0x07E0, 0x001F})));
    EXPECT_THROW(Bitmap::FromFile(file({0, 0x07E0, 0x001F})), BitmapError);
    EXPECT_THROW(Bitmap::FromFile(file({0xF0F0, 0x0700, 0x000F})), BitmapError);  // not contiguous
    EXPECT_THROW(Bitmap::FromFile(file({0xFF00, 0x0FF0, 0x000F})), BitmapError);  // overlapping
    EXPECT_THROW(Bitmap::FromFile(file({0xF8000, 0x07E0, 0x001F})), BitmapError); // wider than 16 bits
    std::vector<uint8_t> noMasks = MakeFile(1, 1, 16, {}, {}, 0, 40, 0);
    Put32(noMasks, 30, 3);
    EXPECT_THROW(Bitmap::FromFile(noMasks), BitmapError);
}

TEST(BitmapRead, EightBitRowsAndPalette) {
    Bitmap b = Bitmap::FromFile(Valid8());
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.BitsPerPixel(), 8);
    EXPECT_EQ(b.Stride(), 4u);
    EXPECT_EQ(b.Palette().size(), 4u);
    EXPECT_EQ(b.Row(0)[0], 3);
    EXPECT_EQ(b.Row(1)[1], 2);
    EXPECT_EQ(b.Index(1, 0), 4);
    EXPECT_EQ(b.Color(0, 0), (Rgb{255, 255, 255}));  // index 3 of a 4-entry grey ramp
}

TEST(BitmapRead, TopDownAndBottomUpGiveTheSameRows) {
    std::vector<uint8_t> bottomUp = MakeFile(3, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0,
                                                        7, 7, 7, 8, 8, 8, 9, 9, 9, 0, 0, 0});
    std::vector<uint8_t> topDown = MakeFile(3, -2, 24, {7, 7, 7, 8, 8, 8, 9, 9, 9, 0, 0, 0,
                                                       1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0});
    Bitmap a = Bitmap::FromFile(bottomUp), b = Bitmap::FromFile(topDown);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(0, std::memcmp(a.Row(0), b.Row(0), a.Stride()));
    EXPECT_EQ(a.Row(0)[0], 7);
    EXPECT_EQ(a, b);
}

TEST(BitmapRead, PaletteCountIsDefaultedAndClamped) {
    // biClrUsed 0 on a 1-bit picture: two entries.
    Bitmap one = Bitmap::FromFile(MakeFile(1, 1, 1, {0x80, 0, 0, 0}, Grey(2), 0));
    EXPECT_EQ(one.Palette().size(), 2u);
    EXPECT_EQ(one.Index(0, 0), 1);
    // More colours claimed than a 4-bit pixel can address: only 16 are read.
    std::vector<uint8_t> f = MakeFile(1, 1, 4, {0xF0, 0, 0, 0}, Grey(16), 300);
    Bitmap four = Bitmap::FromFile(f);
    EXPECT_EQ(four.Palette().size(), 16u);
    EXPECT_EQ(four.Color(0, 0), (Rgb{255, 255, 255}));
    // A short palette and an index past it: black, no read outside the palette.
    Bitmap shortPal = Bitmap::FromFile(MakeFile(1, 1, 8, {200, 0, 0, 0}, Grey(2), 2));
    EXPECT_EQ(shortPal.Color(0, 0), Rgb{});
}

TEST(BitmapRead, LaterHeaderVersionsAndBitfields) {
    // V5 header, 32-bit with masks inside the header (A8B8G8R8 order swapped from the default).
    std::vector<uint8_t> v5 = MakeFile(1, 1, 32, {0x11, 0x22, 0x33, 0x44}, {}, 0, 124, 3,
                                       {0x000000FF, 0x0000FF00, 0x00FF0000});
    Bitmap b = Bitmap::FromFile(v5);
    EXPECT_EQ(b.Color(0, 0), (Rgb{0x11, 0x22, 0x33}));
    // 16-bit 5-6-5 with masks after a plain header.
    std::vector<uint8_t> rgb565 = MakeFile(2, 1, 16, {0x00, 0xF8, 0xE0, 0x07}, {}, 0, 40, 3,
                                           {0xF800, 0x07E0, 0x001F});
    Bitmap c = Bitmap::FromFile(rgb565);
    EXPECT_EQ(c.Color(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(c.Color(1, 0), (Rgb{0, 255, 0}));
    // 16-bit BI_RGB is 5-5-5.
    Bitmap d = Bitmap::FromFile(MakeFile(1, 1, 16, {0x1F, 0x00, 0, 0}));
    EXPECT_EQ(d.Color(0, 0), (Rgb{0, 0, 255}));
}

TEST(BitmapWrite, RoundTripsEveryDepth) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        Bitmap b(5, 3, bits, bits <= 8 ? Grey(1 << bits) : std::vector<PaletteEntry>{});
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                if (bits <= 8)
                    b.SetIndex(x, y, static_cast<uint8_t>((x + 2 * y) % (1 << bits)));
                else
                    b.SetColor(x, y, Rgb{static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 80), 200});
            }
        std::vector<uint8_t> file = b.ToFile();
        EXPECT_EQ(Bitmap::FromFile(file), b) << bits;
        EXPECT_EQ(file.size(), 14 + 40 + 4 * b.Palette().size() + 3 * b.Stride()) << bits;
    }
}

TEST(BitmapWrite, HeaderFieldsAndBottomUpOrder) {
    Bitmap b(2, 2, 8, Grey(3));
    b.SetIndex(0, 0, 2);  // top-left
    std::vector<uint8_t> f = b.ToFile();
    auto u32 = [&](size_t at) { return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24; };
    EXPECT_EQ(u32(2), f.size());
    EXPECT_EQ(u32(10), 14u + 40 + 12);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(static_cast<int32_t>(u32(22)), 2);  // positive height: bottom-up
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(u32(46), 3u);  // biClrUsed = palette size
    EXPECT_EQ(f[u32(10) + 4], 2);  // second stored row is the top one
    EXPECT_THROW(Bitmap().ToFile(), BitmapError);
    Bitmap noPalette(1, 1, 8);
    noPalette.Palette().clear();
    EXPECT_THROW(noPalette.ToFile(), BitmapError);
}

TEST(BitmapWrite, SaveAndLoadThroughAFile) {
    auto path = std::filesystem::temp_directory_path() / "kurun_bitmap_test.bmp";
    Bitmap b(3, 3, 24);
    b.SetColor(2, 1, Rgb{1, 2, 3});
    b.Save(path.string());
    EXPECT_EQ(Bitmap::Load(path.string()), b);
    std::filesystem::remove(path);
    EXPECT_THROW(Bitmap::Load(path.string()), BitmapError);
}

TEST(BitmapNormalise, LowDepthsBecomeEightBitKeepingColours) {
    for (int bits : {1, 4}) {
        std::vector<PaletteEntry> pal;
        for (int i = 0; i < (1 << bits); ++i)
            pal.push_back({static_cast<uint8_t>(i * 13), static_cast<uint8_t>(100 + i), static_cast<uint8_t>(255 - i), 0});
        Bitmap b(9, 2, bits, pal);
        for (int x = 0; x < 9; ++x) b.SetIndex(x, 1, static_cast<uint8_t>(x % (1 << bits)));
        Bitmap n = b;
        n.Normalise();
        EXPECT_EQ(n.BitsPerPixel(), 8);
        EXPECT_EQ(n.Palette(), pal);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 9; ++x) {
                EXPECT_EQ(n.Index(x, y), b.Index(x, y));
                EXPECT_EQ(n.Color(x, y), b.Color(x, y));
            }
    }
}

TEST(BitmapNormalise, WideDepthsBecomeTwentyFourBit) {
    for (int bits : {16, 32}) {
        Bitmap b(2, 1, bits);
        b.SetColor(1, 0, Rgb{255, 0, 255});
        b.Normalise();
        EXPECT_EQ(b.BitsPerPixel(), 24);
        EXPECT_EQ(b.Color(1, 0), (Rgb{255, 0, 255}));
        EXPECT_EQ(b.Color(0, 0), Rgb{});
    }
    Bitmap eight(2, 2, 8), copy = eight;
    eight.Normalise();
    EXPECT_EQ(eight, copy);
}

TEST(BitmapMirror, FlipsEveryDepth) {
    for (int bits : {1, 4, 8, 24, 32}) {
        Bitmap b(5, 2, bits);
        if (bits <= 8) {
            b.SetIndex(0, 1, 1);
            b.SetIndex(1, 1, 1);
        } else {
            b.SetColor(0, 1, Rgb{9, 8, 7});
            b.SetColor(1, 1, Rgb{1, 2, 3});
        }
        Bitmap m = b.Mirrored();
        EXPECT_EQ(m.Color(4, 1), b.Color(0, 1)) << bits;
        EXPECT_EQ(m.Color(3, 1), b.Color(1, 1)) << bits;
        EXPECT_EQ(m.Color(0, 1), b.Color(4, 1)) << bits;
        EXPECT_EQ(m.Mirrored(), b) << bits;
    }
}

TEST(BitmapAccess, OutOfRangeIsRefused) {
    Bitmap b(2, 2, 8);
    EXPECT_THROW(b.Row(2), std::out_of_range);
    EXPECT_THROW(b.Row(-1), std::out_of_range);
    EXPECT_THROW(b.Index(2, 0), std::out_of_range);
    EXPECT_THROW(b.SetColor(0, 0, Rgb{}), std::logic_error);
    EXPECT_THROW(Bitmap(-1, 1, 8), BitmapError);
    EXPECT_THROW(Bitmap(1, 1, 12), BitmapError);
    EXPECT_THROW(Bitmap(1, 1, 1, Grey(3)), BitmapError);
}
