#pragma once
// The shaped buttons of the sample window: glossy shapes on the magenta key, each drawn
// normal, pressed and greyed. All glyphs of a button keep the normal glyph's outline.
#include <string>
#include <vector>

#include "tools/artgen/Art.h"

namespace artgen {

struct ButtonGlyph {
    std::string file;  // <control>.Glyph<n>.bmp: the layout's control and glyph property
    Canvas picture;
};

// Every glyph of the sample window's buttons; a button may lack its pressed or disabled one.
std::vector<ButtonGlyph> DrawButtonGlyphs();

}  // namespace artgen
