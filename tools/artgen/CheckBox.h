#pragma once
// The check-box glyph strip: 14 styles of four 18 x 18 cells (unchecked, checked, then the
// same two disabled), magenta around every glyph.
#include "core/Bitmap.h"
#include "tools/artgen/Art.h"

namespace artgen {

constexpr int kCell = 18;
constexpr int kStyles = 14;

// One cell; style 1..14, state 0..3 in strip order.
Canvas DrawCheckCell(int style, int state);
// The whole strip as an 8-bit picture with a 256-entry table.
core::Bitmap DrawCheckStrip();

}  // namespace artgen
