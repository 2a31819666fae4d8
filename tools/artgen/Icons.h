#pragma once
// Windows icon files: each image is a BITMAPINFOHEADER (double height), 24-bit colour rows
// and a 1-bit AND mask, both bottom-up.
#include <cstdint>
#include <vector>

#include "tools/artgen/Art.h"

namespace artgen {

struct IconImage {
    Canvas colour;
    std::vector<bool> transparent;   // row-major, true where the desktop shows through
};

std::vector<uint8_t> EncodeIcon(const std::vector<IconImage>& images);

// The head of character 1 on a dark blue rounded square, size 16, 32 or 48.
IconImage DrawAppIcon(int size);

}  // namespace artgen
