#include "core/ImageListStream.h"

#include <cstring>

namespace core {

namespace {

constexpr uint16_t kMagic = 0x4C49;  // "IL"
constexpr uint16_t kVersion = 0x101;
constexpr uint16_t kMaskFlag = 0x0001;
constexpr uint16_t kColor32 = 0x0020;
constexpr size_t kHeaderSize = 28;

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

void PutWord(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// A .bmp file starting at `at`; its length comes from its own headers.
Bitmap ReadPicture(std::span<const uint8_t> bytes, size_t& at) {
    if (bytes.size() - at < 14 + 40) throw ImageListError("image list: picture is truncated");
    const uint8_t* header = bytes.data() + at;
    uint32_t fileSize = 0;
    std::memcpy(&fileSize, header + 2, 4);
    if (fileSize < 54 || fileSize > bytes.size() - at) throw ImageListError("image list: picture is truncated");
    try {
        Bitmap picture = Bitmap::FromFile(bytes.subspan(at, fileSize));
        at += fileSize;
        return picture;
    } catch (const BitmapError& e) {
        throw ImageListError(std::string("image list: ") + e.what());
    }
}

}  // namespace

ImageListStream ImageListStream::Parse(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize || Word(bytes, 0) != kMagic || Word(bytes, 2) != kVersion)
        throw ImageListError("image list: not an image-list stream");
    ImageListStream list;
    list.count = Word(bytes, 4);
    list.capacity = Word(bytes, 6);
    list.grow = Word(bytes, 8);
    list.width = Word(bytes, 10);
    list.height = Word(bytes, 12);
    std::memcpy(&list.backgroundColor, bytes.data() + 14, 4);
    list.flags = Word(bytes, 18);
    if (list.count > list.capacity || list.width == 0 || list.height == 0)
        throw ImageListError("image list: header does not describe a list");
    size_t at = kHeaderSize;
    list.images = ReadPicture(bytes, at);
    if (list.flags & kMaskFlag) list.mask = ReadPicture(bytes, at);
    const int needWidth = kTilesPerRow * list.width, needHeight = TileRows(list.count) * list.height;
    auto tooSmall = [&](const Bitmap& b) { return b.Width() < needWidth || b.Height() < needHeight; };
    if (tooSmall(list.images) || (!list.mask.Empty() && tooSmall(list.mask)))
        throw ImageListError("image list: pictures are smaller than the images they hold");
    return list;
}

std::vector<uint8_t> ImageListStream::ToBytes() const {
    std::vector<uint8_t> out;
    PutWord(out, kMagic);
    PutWord(out, kVersion);
    PutWord(out, static_cast<uint16_t>(count));
    PutWord(out, static_cast<uint16_t>(capacity));
    PutWord(out, static_cast<uint16_t>(grow));
    PutWord(out, static_cast<uint16_t>(width));
    PutWord(out, static_cast<uint16_t>(height));
    PutWord(out, static_cast<uint16_t>(backgroundColor));
    PutWord(out, static_cast<uint16_t>(backgroundColor >> 16));
    PutWord(out, flags);
    for (int i = 0; i < 4; ++i) PutWord(out, 0xFFFF);  // no overlay images
    std::vector<uint8_t> picture = images.ToFile();
    out.insert(out.end(), picture.begin(), picture.end());
    if (flags & kMaskFlag) {
        std::vector<uint8_t> maskFile = mask.ToFile();
        out.insert(out.end(), maskFile.begin(), maskFile.end());
    }
    return out;
}

ImageListStream ImageListStream::FromPictures(const std::vector<Bitmap>& pictures, int capacity, int grow,
                                              uint32_t backgroundColor) {
    if (pictures.empty() || static_cast<int>(pictures.size()) > capacity)
        throw ImageListError("image list: no room for the pictures");
    ImageListStream list;
    list.count = static_cast<int>(pictures.size());
    list.capacity = capacity;
    list.grow = grow;
    list.width = pictures[0].Width();
    list.height = pictures[0].Height();
    list.backgroundColor = backgroundColor;
    list.flags = kColor32 | kMaskFlag;
    const int width = kTilesPerRow * list.width, height = TileRows(capacity) * list.height;
    list.images = Bitmap(width, height, 32);
    // Mask bit 0 is opaque: palette entry 0 black, 1 white.
    list.mask = Bitmap(width, height, 1, {PaletteEntry{0, 0, 0, 0}, PaletteEntry{255, 255, 255, 0}});
    for (int i = 0; i < list.count; ++i) {
        const Bitmap& picture = pictures[static_cast<size_t>(i)];
        if (picture.Width() != list.width || picture.Height() != list.height)
            throw ImageListError("image list: pictures differ in size");
        const int left = (i % kTilesPerRow) * list.width, top = (i / kTilesPerRow) * list.height;
        for (int y = 0; y < list.height; ++y)
            for (int x = 0; x < list.width; ++x) list.images.SetColor(left + x, top + y, picture.Color(x, y));
    }
    return list;
}

}  // namespace core
