#include "tools/artgen/Icons.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/artgen/Sprites.h"

namespace artgen {
namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

std::vector<uint8_t> EncodeImage(const IconImage& im) {
    const int w = im.colour.Width(), h = im.colour.Height();
    const size_t colourStride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    const size_t maskStride = (static_cast<size_t>(w) + 31) / 32 * 4;
    std::vector<uint8_t> v;
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(w));
    Put32(v, static_cast<uint32_t>(2 * h));   // colour and mask stacked
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);
    Put32(v, static_cast<uint32_t>((colourStride + maskStride) * h));
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = h - 1; y >= 0; --y) {
        size_t start = v.size();
        for (int x = 0; x < w; ++x) {
            // Transparent pixels are black so the XOR step leaves the desktop alone.
            Rgb p = im.transparent[y * w + x] ? Rgb{} : im.colour.At(x, y);
            v.push_back(p.blue);
            v.push_back(p.green);
            v.push_back(p.red);
        }
        v.resize(start + colourStride, 0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < w; ++x)
            if (im.transparent[y * w + x]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        v.insert(v.end(), row.begin(), row.end());
    }
    return v;
}

}  // namespace

std::vector<uint8_t> EncodeIcon(const std::vector<IconImage>& images) {
    std::vector<std::vector<uint8_t>> encoded;
    for (const IconImage& im : images) {
        if (im.colour.Width() > 256 || im.colour.Height() > 256 ||
            im.transparent.size() != static_cast<size_t>(im.colour.Width() * im.colour.Height()))
            throw std::logic_error("bad icon image");
        encoded.push_back(EncodeImage(im));
    }
    std::vector<uint8_t> v;
    Put16(v, 0);
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        v.push_back(static_cast<uint8_t>(images[i].colour.Width() & 0xFF));
        v.push_back(static_cast<uint8_t>(images[i].colour.Height() & 0xFF));
        v.push_back(0);   // no palette
        v.push_back(0);
        Put16(v, 1);
        Put16(v, 24);
        Put32(v, static_cast<uint32_t>(encoded[i].size()));
        Put32(v, offset);
        offset += static_cast<uint32_t>(encoded[i].size());
    }
    for (const auto& e : encoded) v.insert(v.end(), e.begin(), e.end());
    return v;
}

IconImage DrawAppIcon(int size) {
    Canvas head = RenderBadge(0);
    if (size == 32) head = Scale2x(head);
    else if (size == 48) {
        Canvas big(48, 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) big.Set(x, y, head.At(x / 3, y / 3));
        head = big;
    } else if (size != 16) {
        throw std::logic_error("unsupported icon size");
    }
    IconImage im{Canvas(size, size), std::vector<bool>(static_cast<size_t>(size) * size, false)};
    const double radius = size / 6.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Rounded corners are cut out by the mask.
            double cx = std::clamp(x + 0.5, radius, size - radius), cy = std::clamp(y + 0.5, radius, size - radius);
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > radius) {
                im.transparent[y * size + x] = true;
                continue;
            }
            double t = (y + 0.5) / size;
            Rgb bg = Mix(Rgb{34, 52, 128}, Rgb{10, 16, 58}, t);
            Rgb p = head.At(x, y);
            im.colour.Set(x, y, p == kKeyColor ? bg : p);
        }
    return im;
}

}  // namespace artgen
