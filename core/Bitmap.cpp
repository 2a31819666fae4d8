#include "core/Bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <iterator>
#include <limits>

namespace core {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint16_t ReadU16(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint32_t ReadU32(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool IsPaletted(int bits) { return bits == 1 || bits == 4 || bits == 8; }

bool IsSupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes per row with the 4-byte alignment of the file format; 0 when it would not fit size_t.
size_t StrideFor(int width, int bits) {
    uint64_t rowBits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bits);
    uint64_t stride = (rowBits + 31) / 32 * 4;
    if (stride > std::numeric_limits<size_t>::max()) return 0;
    return static_cast<size_t>(stride);
}

// stride * height, or nothing when the product does not fit.
bool CheckedArea(size_t stride, int height, size_t& area) {
    size_t h = static_cast<size_t>(height);
    if (h != 0 && stride > std::numeric_limits<size_t>::max() / h) return false;
    area = stride * h;
    return true;
}

struct ChannelMask {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // largest value of the channel after shifting
};

ChannelMask MakeChannel(uint32_t mask) {
    ChannelMask c;
    c.mask = mask;
    if (mask == 0) return c;
    c.shift = std::countr_zero(mask);
    c.max = mask >> c.shift;
    return c;
}

uint8_t DecodeChannel(uint32_t pixel, const ChannelMask& c) {
    if (c.max == 0) return 0;
    uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<uint8_t>((v * 255 + c.max / 2) / c.max);
}

uint32_t EncodeChannel(uint8_t value, const ChannelMask& c) {
    if (c.max == 0) return 0;
    uint64_t v = (static_cast<uint64_t>(value) * c.max + 127) / 255;
    return static_cast<uint32_t>(v << c.shift) & c.mask;
}

std::array<uint32_t, 3> DefaultMasks(int bits) {
    if (bits == 16) return {0x7C00u, 0x03E0u, 0x001Fu};
    return {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
}

bool ValidMask(uint32_t mask, int bits) {
    if (mask == 0) return false;
    if (bits == 16 && (mask >> 16) != 0) return false;
    uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;  // one contiguous block of ones
}

}  // namespace

Bitmap::Bitmap(int width, int height, int bitsPerPixel, std::vector<PaletteEntry> palette) {
    if (width < 0 || height < 0)
        throw BitmapError("bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                          " is negative");
    if (!IsSupportedDepth(bitsPerPixel))
        throw BitmapError("unsupported bit depth " + std::to_string(bitsPerPixel));
    size_t stride = StrideFor(width, bitsPerPixel);
    size_t area = 0;
    if ((width > 0 && stride == 0) || !CheckedArea(stride, height, area))
        throw BitmapError("bitmap size overflows");
    if (IsPaletted(bitsPerPixel)) {
        size_t most = size_t{1} << bitsPerPixel;
        if (palette.empty()) palette.assign(most, PaletteEntry{});
        if (palette.size() > most)
            throw BitmapError("palette of " + std::to_string(palette.size()) + " entries for " +
                              std::to_string(bitsPerPixel) + "-bit pixels");
    } else {
        palette.clear();
    }
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = stride;
    palette_ = std::move(palette);
    masks_ = DefaultMasks(bitsPerPixel);
    pixels_.assign(area, 0);
}

Bitmap Bitmap::FromFile(std::span<const uint8_t> file) {
    const size_t size = file.size();
    if (size < kFileHeaderSize + 4) throw BitmapError("bitmap file is truncated: no header");
    if (file[0] != 'B' || file[1] != 'M') throw BitmapError("not a bitmap file: signature is not BM");
    const uint32_t offBits = ReadU32(file, 10);
    const uint32_t headerSize = ReadU32(file, kFileHeaderSize);
    if (headerSize < kInfoHeaderSize)
        throw BitmapError("unsupported bitmap header of " + std::to_string(headerSize) + " bytes");
    if (headerSize > size - kFileHeaderSize) throw BitmapError("bitmap file is truncated: header");

    const size_t h = kFileHeaderSize;
    const int32_t width = static_cast<int32_t>(ReadU32(file, h + 4));
    const int32_t rawHeight = static_cast<int32_t>(ReadU32(file, h + 8));
    const uint16_t planes = ReadU16(file, h + 12);
    const int bits = ReadU16(file, h + 14);
    const uint32_t compression = ReadU32(file, h + 16);
    const uint32_t clrUsed = ReadU32(file, h + 32);

    if (width <= 0) throw BitmapError("bitmap width " + std::to_string(width) + " is not positive");
    if (rawHeight == 0) throw BitmapError("bitmap height is 0");
    if (rawHeight == std::numeric_limits<int32_t>::min()) throw BitmapError("bitmap height is out of range");
    if (planes != 1) throw BitmapError("bitmap has " + std::to_string(planes) + " planes, expected 1");
    if (!IsSupportedDepth(bits)) throw BitmapError("unsupported bit depth " + std::to_string(bits));
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;

    // Colour masks sit inside a V4/V5 header, or right after a plain info header.
    size_t tableStart = h + headerSize;
    std::array<uint32_t, 3> masks = DefaultMasks(bits);
    if (compression == kBiBitfields) {
        if (bits != 16 && bits != 32)
            throw BitmapError("BI_BITFIELDS is not valid for " + std::to_string(bits) + "-bit pixels");
        size_t maskAt = h + kInfoHeaderSize;
        if (headerSize < kInfoHeaderSize + 12) {
            if (size - tableStart < 12) throw BitmapError("bitmap file is truncated: colour masks");
            tableStart += 12;
        }
        for (int i = 0; i < 3; ++i) {
            masks[i] = ReadU32(file, maskAt + 4 * i);
            if (!ValidMask(masks[i], bits)) throw BitmapError("invalid colour mask in bitmap");
        }
        if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2]))
            throw BitmapError("overlapping colour masks in bitmap");
    } else if (compression != kBiRgb) {
        throw BitmapError("unsupported bitmap compression " + std::to_string(compression));
    }

    std::vector<PaletteEntry> palette;
    if (IsPaletted(bits)) {
        const uint32_t most = 1u << bits;
        const uint32_t count = (clrUsed == 0 || clrUsed > most) ? most : clrUsed;
        if ((size - tableStart) / 4 < count) throw BitmapError("bitmap palette runs past the end of the file");
        palette.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            size_t at = tableStart + 4 * i;
            palette[i] = {file[at], file[at + 1], file[at + 2], file[at + 3]};
        }
        tableStart += 4 * static_cast<size_t>(count);
    }

    const size_t stride = StrideFor(width, bits);
    size_t area = 0;
    if (stride == 0 || !CheckedArea(stride, height, area)) throw BitmapError("bitmap size overflows");
    if (offBits < tableStart) throw BitmapError("bitmap pixel offset lies inside the header");
    if (offBits > size || area > size - offBits)
        throw BitmapError("bitmap file is truncated: pixel data runs past the end of the file");

    Bitmap bmp;
    bmp.width_ = width;
    bmp.height_ = height;
    bmp.bitsPerPixel_ = bits;
    bmp.stride_ = stride;
    bmp.palette_ = std::move(palette);
    bmp.masks_ = masks;
    bmp.pixels_.resize(area);
    const uint8_t* src = file.data() + offBits;
    for (int32_t row = 0; row < height; ++row) {
        int32_t y = topDown ? row : height - 1 - row;
        std::copy_n(src + static_cast<size_t>(row) * stride, stride,
                    bmp.pixels_.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(y) * stride));
    }
    return bmp;
}

std::vector<uint8_t> Bitmap::ToFile() const {
    if (Empty()) throw BitmapError("cannot write an empty bitmap");
    // A paletted file with no colour count means a full palette, so an empty one cannot be stored.
    if (IsPaletted(bitsPerPixel_) &&
        (palette_.empty() || palette_.size() > (size_t{1} << bitsPerPixel_)))
        throw BitmapError("cannot write a " + std::to_string(bitsPerPixel_) + "-bit bitmap with " +
                          std::to_string(palette_.size()) + " palette entries");
    const bool bitfields = (bitsPerPixel_ == 16 || bitsPerPixel_ == 32) && masks_ != DefaultMasks(bitsPerPixel_);
    const size_t tableSize = (bitfields ? 12 : 0) + 4 * palette_.size();
    const size_t offBits = kFileHeaderSize + kInfoHeaderSize + tableSize;
    const size_t total = offBits + pixels_.size();
    if (total > std::numeric_limits<uint32_t>::max()) throw BitmapError("bitmap is too large for a file");

    std::vector<uint8_t> out;
    out.reserve(total);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<uint32_t>(total));
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(offBits));
    PutU32(out, kInfoHeaderSize);
    PutU32(out, static_cast<uint32_t>(width_));
    PutU32(out, static_cast<uint32_t>(height_));
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(bitsPerPixel_));
    PutU32(out, bitfields ? kBiBitfields : kBiRgb);
    PutU32(out, static_cast<uint32_t>(pixels_.size()));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(palette_.size()));
    PutU32(out, 0);
    if (bitfields)
        for (uint32_t m : masks_) PutU32(out, m);
    for (const PaletteEntry& p : palette_) {
        out.push_back(p.blue);
        out.push_back(p.green);
        out.push_back(p.red);
        out.push_back(p.reserved);
    }
    for (int y = height_ - 1; y >= 0; --y) {
        const uint8_t* row = Row(y);
        out.insert(out.end(), row, row + stride_);
    }
    return out;
}

uint8_t* Bitmap::Row(int y) {
    return const_cast<uint8_t*>(static_cast<const Bitmap&>(*this).Row(y));
}

const uint8_t* Bitmap::Row(int y) const {
    if (y < 0 || y >= height_) throw std::out_of_range("bitmap row " + std::to_string(y) + " out of range");
    return pixels_.data() + static_cast<size_t>(y) * stride_;
}

void Bitmap::CheckPixel(int x, int y) const {
    if (x < 0 || x >= width_ || y < 0 || y >= height_)
        throw std::out_of_range("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") out of range");
}

uint8_t Bitmap::Index(int x, int y) const {
    CheckPixel(x, y);
    const uint8_t* row = Row(y);
    switch (bitsPerPixel_) {
    case 8: return row[x];
    case 4: return static_cast<uint8_t>((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    case 1: return static_cast<uint8_t>((row[x / 8] >> (7 - x % 8)) & 0x01);
    default: throw std::logic_error("palette index of a " + std::to_string(bitsPerPixel_) + "-bit picture");
    }
}

void Bitmap::SetIndex(int x, int y, uint8_t index) {
    CheckPixel(x, y);
    uint8_t* row = Row(y);
    switch (bitsPerPixel_) {
    case 8: row[x] = index; break;
    case 4: {
        int shift = x % 2 == 0 ? 4 : 0;
        row[x / 2] = static_cast<uint8_t>((row[x / 2] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
        break;
    }
    case 1: {
        int shift = 7 - x % 8;
        row[x / 8] = static_cast<uint8_t>((row[x / 8] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    default: throw std::logic_error("palette index of a " + std::to_string(bitsPerPixel_) + "-bit picture");
    }
}

Rgb Bitmap::Color(int x, int y) const {
    CheckPixel(x, y);
    if (IsPaletted(bitsPerPixel_)) {
        uint8_t i = Index(x, y);
        if (i >= palette_.size()) return Rgb{};  // an index past a short palette shows black
        const PaletteEntry& p = palette_[i];
        return Rgb{p.red, p.green, p.blue};
    }
    const uint8_t* row = Row(y);
    if (bitsPerPixel_ == 24) {
        const uint8_t* p = row + 3 * static_cast<size_t>(x);
        return Rgb{p[2], p[1], p[0]};
    }
    uint32_t pixel = 0;
    if (bitsPerPixel_ == 16) {
        const uint8_t* p = row + 2 * static_cast<size_t>(x);
        pixel = static_cast<uint32_t>(p[0] | (p[1] << 8));
    } else {
        const uint8_t* p = row + 4 * static_cast<size_t>(x);
        pixel = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    return Rgb{DecodeChannel(pixel, MakeChannel(masks_[0])), DecodeChannel(pixel, MakeChannel(masks_[1])),
               DecodeChannel(pixel, MakeChannel(masks_[2]))};
}

void Bitmap::SetColor(int x, int y, Rgb color) {
    CheckPixel(x, y);
    uint8_t* row = Row(y);
    if (bitsPerPixel_ == 24) {
        uint8_t* p = row + 3 * static_cast<size_t>(x);
        p[0] = color.blue;
        p[1] = color.green;
        p[2] = color.red;
        return;
    }
    if (bitsPerPixel_ != 16 && bitsPerPixel_ != 32)
        throw std::logic_error("colour of a " + std::to_string(bitsPerPixel_) + "-bit paletted pixel");
    uint32_t pixel = EncodeChannel(color.red, MakeChannel(masks_[0])) |
                     EncodeChannel(color.green, MakeChannel(masks_[1])) |
                     EncodeChannel(color.blue, MakeChannel(masks_[2]));
    int bytes = bitsPerPixel_ / 8;
    uint8_t* p = row + static_cast<size_t>(bytes) * static_cast<size_t>(x);
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(pixel >> (8 * i));
}

void Bitmap::Normalise() {
    if (Empty() || bitsPerPixel_ == 8 || bitsPerPixel_ == 24) return;
    const int target = (bitsPerPixel_ == 1 || bitsPerPixel_ == 4) ? 8 : 24;
    Bitmap out(width_, height_, target, target == 8 ? palette_ : std::vector<PaletteEntry>{});
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (target == 8)
                out.SetIndex(x, y, Index(x, y));
            else
                out.SetColor(x, y, Color(x, y));
        }
    *this = std::move(out);
}

Bitmap Bitmap::Mirrored() const {
    Bitmap out = *this;
    if (Empty()) return out;
    if (bitsPerPixel_ < 8) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) out.SetIndex(width_ - 1 - x, y, Index(x, y));
        return out;
    }
    const size_t bytes = static_cast<size_t>(bitsPerPixel_ / 8);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* src = Row(y);
        uint8_t* dst = out.Row(y);
        for (int x = 0; x < width_; ++x)
            std::copy_n(src + bytes * static_cast<size_t>(x), bytes,
                        dst + bytes * static_cast<size_t>(width_ - 1 - x));
    }
    return out;
}

}  // namespace core
