#pragma once
// What every bitmap check box shares: the glyph strip and the one paint buffer.
#include "forms/Graphics.h"

namespace components {

// The strip of glyph cells, loaded from the bitmap resource "CHECKBOX"; empty when the
// resource is missing or unreadable.
forms::TBitmap& GlyphStrip();
// The off-screen surface that every check box composes its picture on.
forms::TBitmap& PaintBuffer();
// Makes the buffer at least width x height; it never shrinks.
void GrowPaintBuffer(int width, int height);

// Loads the strip; only the first call does anything. Failures leave the strip empty.
void InitializeDxfresUnit();
// Puts another picture in the strip's place (a program with its own art, or a test).
void SetGlyphStrip(const forms::TBitmap& strip);

}  // namespace components
