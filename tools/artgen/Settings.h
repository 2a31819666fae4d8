#pragma once
// Pictures of the settings window: the skin, the four title-strip buttons and the portraits.
#include "tools/artgen/Art.h"

namespace artgen {

constexpr int kSkinSize = 350;
constexpr int kTitleRows = 21;
constexpr int kRowTop[4] = {34, 106, 178, 250};

struct ButtonPlace {
    const char* file;
    int x, y, w, h;
};
// Where each button sits on the skin (in its panel at the window's coordinates).
constexpr ButtonPlace kInfoButton{"info.bmp", 4, 2, 53, 17};
constexpr ButtonPlace kNextButton{"next.bmp", 240, 2, 25, 17};
constexpr ButtonPlace kPrevButton{"prev.bmp", 270, 2, 25, 17};
constexpr ButtonPlace kCloseButton{"close.bmp", 306, 2, 39, 16};

Canvas DrawSkin();
Canvas DrawButton(const ButtonPlace& place);

// Head-and-shoulders portrait of character slot 0..3, 48 x 48, and its grey twin.
Canvas DrawPortrait(int slot);
Canvas GreyPortrait(const Canvas& colour);

}  // namespace artgen
