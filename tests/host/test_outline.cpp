#include <gtest/gtest.h>

#include <string>

#include "core/Outline.h"

using core::Bitmap;
using core::OutlineError;
using core::OutlineFailure;
using core::Rect;
using core::Rgb;

namespace {

// An 8-bit picture from text rows: each character is a palette index ('.' = 0, 'A' = 1, '2' = 2 ...).
Bitmap Picture(const std::vector<std::string>& rows, int bits = 8) {
    Bitmap b(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), bits);
    for (int i = 0; i < static_cast<int>(b.Palette().size()); ++i)
        b.Palette()[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            char c = rows[y][x];
            b.SetIndex(x, y, static_cast<uint8_t>(c == '.' ? 0 : c == 'A' ? 1 : c - '0'));
        }
    return b;
}

std::vector<uint8_t> Le(std::initializer_list<int32_t> values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return out;
}

std::vector<Rect> Outline(Bitmap picture) { return core::DecodeRgnData(core::ComputeRgnData(picture)); }

// A row of `runs` one-pixel runs, each followed by a key pixel, then `extra` more key pixels;
// `dropLastKey` leaves the last run touching the right edge.
Bitmap RunRow(int runs, int extra, bool dropLastKey = false) {
    std::string row;
    for (int i = 0; i < runs; ++i) row += "A.";
    if (dropLastKey) row.pop_back();
    row += std::string(extra, '.');
    return Picture({row, std::string(row.size(), '.')});
}

}  // namespace

TEST(Outline, SmallPictureByteForByte) {
    Bitmap b = Picture({".AA.", "A.AA", "...."});
    std::vector<uint8_t> expected = Le({32, 1, 3, 48, 0, 0, 4, 2,
                                        1, 0, 3, 1,
                                        0, 1, 1, 2,
                                        2, 1, 4, 2});
    std::vector<uint8_t> block = core::ComputeRgnData(b);
    EXPECT_EQ(block.size(), 80u);
    EXPECT_EQ(block, expected);
}

TEST(Outline, IdenticalAdjacentRowsFormOneBand) {
    EXPECT_EQ(Outline(Picture({".AA.", ".AA.", "...."})), (std::vector<Rect>{{1, 0, 3, 2}}));
    // An empty row between identical rows keeps them apart; a different row in between too.
    EXPECT_EQ(Outline(Picture({".AA.", "....", ".AA.", "...."})),
              (std::vector<Rect>{{1, 0, 3, 1}, {1, 2, 3, 3}}));
    EXPECT_EQ(Outline(Picture({"A.A.", "A.A.", "AA..", "A.A.", "...."})),
              (std::vector<Rect>{{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 2, 3}, {0, 3, 1, 4}, {2, 3, 3, 4}}));
}

TEST(Outline, AllKeyPictureHasNoRectangles) {
    Bitmap b = Picture({"222", "222"});
    std::vector<uint8_t> block = core::ComputeRgnData(b);
    EXPECT_EQ(block, Le({32, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(Outline, BottomLeftPixelIsAlwaysKey) {
    // Everything else differs from it, so it is the one hole in the outline.
    EXPECT_EQ(Outline(Picture({"AAA", "AAA", "2AA"})),
              (std::vector<Rect>{{0, 0, 3, 2}, {1, 2, 3, 3}}));
}

TEST(Outline, EightBitComparesIndexesNotColours) {
    Bitmap b = Picture({"A.A", "..."});
    b.Palette()[1] = b.Palette()[0];  // same colour, different index
    EXPECT_EQ(Outline(b), (std::vector<Rect>{{0, 0, 1, 1}, {2, 0, 3, 1}}));
}

TEST(Outline, TwentyFourBitComparesAllThreeBytes) {
    Bitmap b(4, 2, 24);
    const Rgb key{10, 20, 30};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) b.SetColor(x, y, key);
    b.SetColor(0, 0, Rgb{11, 20, 30});
    b.SetColor(1, 0, Rgb{10, 21, 30});
    b.SetColor(2, 0, Rgb{10, 20, 31});
    EXPECT_EQ(Outline(b), (std::vector<Rect>{{0, 0, 3, 1}}));
}

TEST(Outline, LowDepthPicturesAreConvertedThenScanned) {
    for (int bits : {1, 4}) {
        Bitmap b = Picture({"A..A", ".AA.", "...."}, bits);
        std::vector<uint8_t> block = core::ComputeRgnData(b);
        EXPECT_EQ(b.BitsPerPixel(), 8) << "converted in place";
        EXPECT_EQ(b.Palette().size(), size_t{1} << bits);
        EXPECT_EQ(core::DecodeRgnData(block),
                  (std::vector<Rect>{{0, 0, 1, 1}, {3, 0, 4, 1}, {1, 1, 3, 2}}));
    }
}

TEST(Outline, WideDepthsBecomeTwentyFourBitAndAreScanned) {
    for (int bits : {16, 32}) {
        Bitmap b(3, 2, bits);
        b.SetColor(1, 0, Rgb{255, 255, 255});
        EXPECT_EQ(Outline(b), (std::vector<Rect>{{1, 0, 2, 1}})) << bits;
    }
    // Unnormalised wide pictures are not scanned at all.
    Bitmap raw(3, 2, 32);
    raw.SetColor(1, 0, Rgb{255, 255, 255});
    EXPECT_TRUE(core::ScanRuns(raw).empty());
}

TEST(Outline, RunLimitPerRow) {
    // Up to 101 runs pass when nothing is left after the key pixel ending the 101st.
    EXPECT_EQ(Outline(RunRow(100, 5)).size(), 100u);
    EXPECT_EQ(Outline(RunRow(101, 0)).size(), 101u);
    EXPECT_EQ(Outline(RunRow(101, 0, true)).size(), 101u);
    // A pixel left after that fails, even a key pixel holding no further run.
    for (Bitmap b : {RunRow(101, 1), RunRow(102, 0), RunRow(150, 0)}) {
        try {
            core::ComputeRgnData(b);
            ADD_FAILURE() << "accepted a row of " << b.Width() << " pixels";
        } catch (const OutlineError& e) {
            EXPECT_EQ(e.Failure(), OutlineFailure::TooManyRuns);
            EXPECT_STREQ(e.what(), "ﾋﾞｯﾄﾏｯﾌﾟの形状が不適です");
        }
    }
}

TEST(Outline, MissingAndZeroSizedPicturesFail) {
    auto failure = [](Bitmap b) {
        try {
            core::ComputeRgnData(b);
        } catch (const OutlineError& e) {
            return std::make_pair(e.Failure(), std::string(e.what()));
        }
        return std::make_pair(OutlineFailure::EmptyPicture, std::string("no error"));
    };
    EXPECT_EQ(failure(Bitmap()), std::make_pair(OutlineFailure::EmptyPicture,
                                                std::string("ﾋﾞｯﾄﾏｯﾌﾟが正しくｾｯﾄされていません")));
    EXPECT_EQ(failure(Bitmap(0, 3, 8)), std::make_pair(OutlineFailure::ZeroSize, std::string("幅または高さが 0 です")));
    EXPECT_EQ(failure(Bitmap(3, 0, 24)), std::make_pair(OutlineFailure::ZeroSize, std::string("幅または高さが 0 です")));
}

TEST(BandRuns, JoinsTouchingRunsAndSortsAnyInput) {
    const Rect runs[] = {{5, 1, 7, 2}, {0, 0, 2, 1}, {2, 0, 3, 1}, {0, 1, 3, 2}, {4, 0, 4, 1}};
    EXPECT_EQ(core::BandRuns(runs), (std::vector<Rect>{{0, 0, 3, 1}, {0, 1, 3, 2}, {5, 1, 7, 2}}));
    EXPECT_TRUE(core::BandRuns({}).empty());
}

TEST(RgnData, DecodeRoundTripsAndRejectsMalformedBlocks) {
    const std::vector<Rect> rects{{-3, 0, 2, 4}, {1, 4, 9, 5}};
    std::vector<uint8_t> block = core::EncodeRgnData(rects);
    EXPECT_EQ(block.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(block.begin() + 16, block.begin() + 32), Le({-3, 0, 9, 5}));
    EXPECT_EQ(core::DecodeRgnData(block), rects);

    auto damaged = [&](size_t at, int32_t value) {
        std::vector<uint8_t> b = block;
        std::vector<uint8_t> v = Le({value});
        std::copy(v.begin(), v.end(), b.begin() + static_cast<ptrdiff_t>(at));
        return b;
    };
    EXPECT_THROW(core::DecodeRgnData(damaged(0, 40)), std::invalid_argument);
    EXPECT_THROW(core::DecodeRgnData(damaged(4, 2)), std::invalid_argument);
    EXPECT_THROW(core::DecodeRgnData(damaged(8, 3)), std::invalid_argument);
    EXPECT_THROW(core::DecodeRgnData(damaged(8, 0x10000001)), std::invalid_argument);
    EXPECT_THROW(core::DecodeRgnData(std::span(block).first(31)), std::invalid_argument);
    EXPECT_THROW(core::DecodeRgnData(std::span(block).first(63)), std::invalid_argument);
    EXPECT_THROW(core::DecodeRgnData({}), std::invalid_argument);
}
