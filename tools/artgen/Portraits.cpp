// Portraits for the settings rows: the front-facing sprite's head and shoulders, enlarged
// with Scale2x so the pixel art keeps its edges, on the character's own background.
#include <algorithm>
#include <cmath>

#include "tools/artgen/Settings.h"
#include "tools/artgen/Sprites.h"

namespace artgen {

Canvas DrawPortrait(int slot) {
    const Character& who = *Roster()[slot];
    core::Bitmap front = RenderFrame(slot, 5);
    Canvas head = Scale2x(CropSprite(front, who.headX, who.headY, 24));
    Canvas c(48, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            // A soft glow behind the head, darker towards the corners.
            double d = std::hypot(x + 0.5 - 24, y + 0.5 - 20) / 34.0;
            Rgb bg = Mix(who.portraitLight, who.portraitDark, std::clamp(d, 0.0, 1.0));
            // Faint diagonal stripes give the background some texture.
            if (((x + y) / 3) % 2 == 0) bg = Shade(bg, -6);
            Rgb p = head.At(x, y);
            c.Set(x, y, p == kKeyColor ? bg : p);
        }
    Rgb edge = Mix(who.portraitDark, Rgb{0, 0, 0}, 0.45);
    c.FrameRect(0, 0, 48, 48, edge);
    return c;
}

Canvas GreyPortrait(const Canvas& colour) {
    Canvas c(colour.Width(), colour.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) c.Set(x, y, Grey(colour.At(x, y)));
    return c;
}

}  // namespace artgen
