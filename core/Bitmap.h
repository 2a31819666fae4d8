#pragma once
// Device-independent bitmaps as stored in .bmp files: reading, writing, pixel access,
// the pixel-format normalisation used by outline computation, and mirroring.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace core {

// A malformed or unsupported bitmap file.
class BitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PaletteEntry {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// An uncompressed DIB held in memory. Rows are addressed from the top, whatever the
// file order was; each row is stored with the 4-byte alignment of the file format.
class Bitmap {
public:
    Bitmap() = default;
    // A bitmap of the given size and depth (1, 4, 8, 24 or 32), filled with zero bytes.
    // Paletted depths get a palette of 2^bits black entries unless one is given.
    Bitmap(int width, int height, int bitsPerPixel, std::vector<PaletteEntry> palette = {});

    // Parses a complete .bmp file (BITMAPFILEHEADER + BITMAPINFOHEADER or a later
    // header version, BI_RGB, or BI_BITFIELDS for 16/32 bits). Throws BitmapError on anything
    // malformed: truncated data, zero or negative sizes, offsets past the end, overflow.
    static Bitmap FromFile(std::span<const uint8_t> file);
    static Bitmap Load(const std::string& path);

    // A complete .bmp file: BITMAPINFOHEADER, uncompressed, rows bottom-up.
    std::vector<uint8_t> ToFile() const;
    void Save(const std::string& path) const;

    bool Empty() const { return width_ == 0 || height_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    size_t Stride() const { return stride_; }

    // Red, green and blue masks of 16 and 32-bit pixels (5-5-5 and 8-8-8 unless the file
    // gave others).
    const std::array<uint32_t, 3>& ColorMasks() const { return masks_; }

    std::vector<PaletteEntry>& Palette() { return palette_; }
    const std::vector<PaletteEntry>& Palette() const { return palette_; }

    // Raw bytes of row y, counted from the top.
    uint8_t* Row(int y);
    const uint8_t* Row(int y) const;

    // Palette index of a 1, 4 or 8-bit pixel.
    uint8_t Index(int x, int y) const;
    void SetIndex(int x, int y, uint8_t index);
    // Colour of any pixel (through the palette for paletted depths).
    Rgb Color(int x, int y) const;
    // For 24 and 32-bit pictures only.
    void SetColor(int x, int y, Rgb color);

    // 1 and 4-bit pictures become 8-bit (palette kept), 8 and 24-bit stay,
    // every other depth becomes 24-bit.
    void Normalise();

    // The picture flipped left to right.
    Bitmap Mirrored() const;

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 0;
    size_t stride_ = 0;
    std::vector<PaletteEntry> palette_;
    std::array<uint32_t, 3> masks_{};
    std::vector<uint8_t> pixels_;  // top row first

    void CheckPixel(int x, int y) const;
};

}  // namespace core
