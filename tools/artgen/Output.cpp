// Writing every picture into the assets folder.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tools/artgen/Buttons.h"
#include "tools/artgen/CheckBox.h"
#include "tools/artgen/Icons.h"
#include "tools/artgen/Output.h"
#include "tools/artgen/Settings.h"
#include "tools/artgen/Sprites.h"

namespace fs = std::filesystem;

namespace artgen {
namespace {

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error(path.string() + ": cannot write");
}

void WriteSprites(const fs::path& pictures) {
    for (int slot = 0; slot < kCharacterCount; ++slot) {
        const Character& who = *Roster()[slot];
        fs::path dir = pictures / "sprites" / who.unit;
        fs::create_directories(dir);
        int fewest = 1 << 30, most = 0;
        for (int rgn = 1; rgn <= 16; ++rgn) {
            core::Bitmap frame = RenderFrame(slot, rgn);
            int rects = RegionRectangles(frame);
            fewest = std::min(fewest, rects);
            most = std::max(most, rects);
            if (rects < 25 || rects > 72)
                std::fprintf(stderr, "warning: %s Rgn%d outline takes %d rectangles\n", who.unit, rgn, rects);
            for (const std::string& fault : FrameFaults(frame))
                std::fprintf(stderr, "warning: %s Rgn%d: %s\n", who.unit, rgn, fault.c_str());
            frame.Save((dir / ("Rgn" + std::to_string(rgn) + ".bmp")).string());
        }
        std::printf("%-7s outline rectangles %d..%d\n", who.unit, fewest, most);
    }
}

void WriteSettings(const fs::path& pictures) {
    fs::path dir = pictures / "settings";
    fs::create_directories(dir);
    DrawSkin().ToBitmap24().Save((dir / "skin.bmp").string());
    for (const ButtonPlace* b : {&kInfoButton, &kNextButton, &kPrevButton, &kCloseButton})
        DrawButton(*b).ToBitmap24().Save((dir / b->file).string());
}

void WritePortraits(const fs::path& pictures) {
    fs::path dir = pictures / "portraits";
    fs::create_directories(dir);
    for (int slot = 0; slot < kCharacterCount; ++slot) {
        Canvas colour = DrawPortrait(slot);
        std::string n = std::to_string(slot + 1);
        colour.ToBitmap24().Save((dir / ("portrait" + n + ".bmp")).string());
        GreyPortrait(colour).ToBitmap24().Save((dir / ("portrait" + n + "_grey.bmp")).string());
    }
}

void WriteIcons(const fs::path& pictures) {
    fs::path dir = pictures / "icons";
    fs::create_directories(dir);
    IconImage main = DrawAppIcon(32);
    WriteBytes(dir / "tray.ico", EncodeIcon({main}));
    // Explorer picks the best size; the 32-pixel image stays first and identical to the tray's.
    WriteBytes(dir / "kurun.ico", EncodeIcon({main, DrawAppIcon(16), DrawAppIcon(48)}));
}

void WriteButtons(const fs::path& pictures) {
    fs::path dir = pictures / "buttons";
    fs::create_directories(dir);
    for (const ButtonGlyph& glyph : DrawButtonGlyphs()) glyph.picture.ToBitmap24().Save((dir / glyph.file).string());
}

}  // namespace

void WriteAll(const fs::path& assets) {
    fs::path pictures = assets / "pictures";
    WriteSprites(pictures);
    WriteSettings(pictures);
    WritePortraits(pictures);
    WriteIcons(pictures);
    WriteButtons(pictures);
    fs::create_directories(pictures);
    DrawCheckStrip().Save((pictures / "checkbox.bmp").string());
}

}  // namespace artgen
