#pragma once
// Sprite frames: the one colour table all 64 frames share, text pixel maps, and a small
// layer compositor that gives every stamped part its own dark outline.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Bitmap.h"
#include "tools/artgen/Art.h"

namespace artgen {

constexpr int kFrameSize = 40;
constexpr uint8_t kKeyIndex = 48;
constexpr Rgb kKeyColor{222, 171, 195};
constexpr int kCharacterCount = 4;
constexpr int kInksPerCharacter = 32;   // table slots each character owns
constexpr int kPaletteSize = 64 + kCharacterCount * kInksPerCharacter;

enum class Facing { Up, Down, Left };   // right-facing frames are mirrors of the left ones

struct Ink {
    char code;
    Rgb color;
};

// Inks every character may use. Character inks must not reuse these codes.
//   'S' 'T' drop shadow (outer, inner), 'O' black, 'I' white.
const std::vector<Ink>& SharedInks();

// A text pixel map: one string per row, one character per pixel. '.' and ' ' are empty,
// '#' is the owner's outline ink, every other character is looked up in the inks.
class PixelMap {
public:
    PixelMap(std::initializer_list<const char*> rows);
    // Rows written as their left half only; the right half is the mirror image.
    static PixelMap Symmetric(std::initializer_list<const char*> leftHalves);

    // The same map with each ink in from replaced by the ink at the same place in to
    // (a far leg drawn in the shade inks, say).
    PixelMap Recoloured(const std::string& from, const std::string& to) const;

    int Width() const { return width_; }
    int Height() const { return static_cast<int>(rows_.size()); }
    char At(int x, int y) const;   // '.' outside
    bool Filled(int x, int y) const;

private:
    PixelMap() = default;
    std::vector<std::string> rows_;
    int width_ = 0;
};

class Sprite;

// Everything one character contributes: its own inks, how to draw a frame, and where its
// head sits for the portrait and icon.
struct Character {
    const char* unit;            // folder and unit name
    std::vector<Ink> inks;       // at most kInksPerCharacter
    char outlineInk;             // ink used for '#' and the automatic outlines
    void (*draw)(Sprite& sprite, Facing facing, int step);
    Rgb portraitLight, portraitDark;   // background of the colour portrait
    int headX, headY;            // top-left of a 24 x 24 head-and-shoulders square in the front frame
    // Draws the head alone inside the 16 x 16 square at the top-left, for the icons; may be null.
    void (*drawBadge)(Sprite& sprite) = nullptr;
};

const Character& Pelton();
const Character& Melka();
const Character& Rugo();
const Character& Fenwa();
// In roster order: characters 1 to 4.
const std::array<const Character*, kCharacterCount>& Roster();

// The colour table of every frame: shared inks, the key at 48, then each character's block.
std::vector<core::PaletteEntry> SpritePalette();

class Sprite {
public:
    Sprite(const Character& who, int slot);   // slot = roster position 0..3

    // Draws a map with its top-left at (x, y). With outline, every empty pixel that touches
    // the map's filled pixels (sideways or vertically) first gets the outline ink, so parts
    // stamped later stand out from the ones below. Flip mirrors the map left to right.
    void Stamp(const PixelMap& map, int x, int y, bool outline = true, bool flip = false);
    void Dot(int x, int y, char ink);
    // The grey drop shadow: an ellipse with the given bounding box, darker in its middle.
    void Shadow(int x, int y, int w, int h);

    // Closes the pinholes that overlapping parts leave (enclosed background of at most three
    // pixels) with the outline ink, as a pixel artist would.
    void ClosePinholes();

    uint8_t At(int x, int y) const { return pixels_[y * kFrameSize + x]; }
    core::Bitmap ToBitmap() const;

private:
    uint8_t IndexOf(char ink) const;
    void Put(int x, int y, uint8_t index);

    std::array<uint8_t, 256> lookup_{};
    std::array<uint8_t, kFrameSize * kFrameSize> pixels_{};
};

// One frame: Rgn number 1..16 in the order the character windows use them.
core::Bitmap RenderFrame(int slot, int rgn);

// A square from a sprite as colours; key pixels come out as kKeyColor.
Canvas CropSprite(const core::Bitmap& frame, int x, int y, int size);
// The character's 16 x 16 icon head (key colour around it).
Canvas RenderBadge(int slot);

// How many rectangles the frame's outline takes in the banded region form: consecutive rows
// with identical opaque runs make one band; the count is the sum of runs over bands.
int RegionRectangles(const core::Bitmap& picture);

// Drawing mistakes worth a warning: pixels that touch no other pixel, and background pixels
// shut in by the figure (they would be holes in the window).
std::vector<std::string> FrameFaults(const core::Bitmap& frame);

}  // namespace artgen
