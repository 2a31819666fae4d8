// The image-list stream that carries the settings window's portraits.
#include <gtest/gtest.h>

#include "core/ImageListStream.h"

namespace {

core::Bitmap Solid(int size, uint8_t shade) {
    core::Bitmap b(size, size, 24);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) b.SetColor(x, y, {shade, static_cast<uint8_t>(x), static_cast<uint8_t>(y)});
    return b;
}

std::vector<core::Bitmap> Eight() {
    std::vector<core::Bitmap> pictures;
    for (int i = 0; i < 8; ++i) pictures.push_back(Solid(48, static_cast<uint8_t>(10 * i)));
    return pictures;
}

TEST(ImageListStream, HoldsEightPortraitsInFourColumnsWithRoomForANinth) {
    core::ImageListStream list = core::ImageListStream::FromPictures(Eight(), 9, 4, 0xFFFFFF);
    std::vector<uint8_t> bytes = list.ToBytes();
    ASSERT_GE(bytes.size(), 28u);
    EXPECT_EQ(bytes[0], 'I');
    EXPECT_EQ(bytes[1], 'L');
    core::ImageListStream read = core::ImageListStream::Parse(bytes);
    EXPECT_EQ(read.count, 8);
    EXPECT_EQ(read.capacity, 9);
    EXPECT_EQ(read.grow, 4);
    EXPECT_EQ(read.width, 48);
    EXPECT_EQ(read.backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(read.images.Width(), 192);
    EXPECT_EQ(read.images.Height(), 144);
    EXPECT_EQ(read.images.BitsPerPixel(), 32);
    EXPECT_EQ(read.mask.BitsPerPixel(), 1);
    // Image 5 lies in column 1 of the second row.
    EXPECT_EQ(read.images.Color(48 + 7, 48 + 9), (core::Rgb{50, 7, 9}));
    EXPECT_EQ(read.images.Color(7, 9), (core::Rgb{0, 7, 9}));
    EXPECT_EQ(read.ToBytes(), bytes);
}

TEST(ImageListStream, RefusesWhatIsNotAWholeList) {
    std::vector<uint8_t> bytes = core::ImageListStream::FromPictures(Eight(), 9, 4, 0xFFFFFF).ToBytes();
    EXPECT_THROW(core::ImageListStream::Parse(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20)),
                 core::ImageListError);
    EXPECT_THROW(core::ImageListStream::Parse(std::vector<uint8_t>(bytes.begin(), bytes.end() - 100)),
                 core::ImageListError);
    std::vector<uint8_t> wrongMagic = bytes;
    wrongMagic[0] = 'X';
    EXPECT_THROW(core::ImageListStream::Parse(wrongMagic), core::ImageListError);
    // More images than the pictures have cells for.
    std::vector<uint8_t> tooMany = bytes;
    tooMany[4] = 13, tooMany[6] = 13;
    EXPECT_THROW(core::ImageListStream::Parse(tooMany), core::ImageListError);
    EXPECT_THROW(core::ImageListStream::FromPictures({Solid(48, 0), Solid(40, 0)}, 9, 4, 0), core::ImageListError);
}

}  // namespace
