#pragma once
// The platform's image-list stream: a 28-byte header followed by the picture of all images,
// tiled four to a row, and, for masked lists, a one-bit mask of the same size.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "core/Bitmap.h"

namespace core {

class ImageListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ImageListStream {
    static constexpr int kTilesPerRow = 4;
    int count = 0;     // images in use
    int capacity = 0;  // room for, before the list grows
    int grow = 4;      // images added when it grows
    int width = 0, height = 0;
    uint32_t backgroundColor = 0xFFFFFFFF;  // COLORREF, or CLR_NONE
    uint16_t flags = 0;                     // ILC_ bits: colour depth and ILC_MASK (1)
    Bitmap images;
    Bitmap mask;  // empty unless flags has ILC_MASK

    // Parses a stream; throws ImageListError on a bad header or pictures that do not fit it.
    static ImageListStream Parse(std::span<const uint8_t> bytes);
    std::vector<uint8_t> ToBytes() const;

    // Builds a list from same-sized pictures with an all-opaque mask, 32 bits per pixel.
    static ImageListStream FromPictures(const std::vector<Bitmap>& pictures, int capacity, int grow,
                                        uint32_t backgroundColor);
    // The picture area's size for `capacity` images.
    static int TileRows(int capacity) { return (capacity + kTilesPerRow - 1) / kTilesPerRow; }
};

}  // namespace core
