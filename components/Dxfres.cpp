#include "components/Dxfres.h"

#include <algorithm>
#include <mutex>

namespace components {

forms::TBitmap& GlyphStrip() {
    static forms::TBitmap strip;
    return strip;
}

forms::TBitmap& PaintBuffer() {
    static forms::TBitmap buffer;
    return buffer;
}

void GrowPaintBuffer(int width, int height) {
    forms::TBitmap& buffer = PaintBuffer();
    width = std::max(width, buffer.Width());
    height = std::max(height, buffer.Height());
    if (width != buffer.Width() || height != buffer.Height()) buffer.SetSize(width, height);
}

void InitializeDxfresUnit() {
    static std::once_flag once;
    std::call_once(once, [] {
        try {
            GlyphStrip().LoadFromResource(L"CHECKBOX");
        } catch (...) {
            // Without the strip the check boxes still work: they draw no box.
            GlyphStrip().Clear();
        }
    });
}

void SetGlyphStrip(const forms::TBitmap& strip) {
    InitializeDxfresUnit();
    GlyphStrip().Assign(strip);
}

}  // namespace components
