// The layout designer: stores each sprite frame's picture and each shaped button's glyphs in
// the layouts, with the outline of the frame's picture or the button's first glyph, so the
// program never scans pixels when it starts, and the settings window's pictures (skin,
// buttons, portrait list) in its layout.
//
//   kurun_designer --write <assets>   rewrite the layouts whose stored pictures or outlines changed
//   kurun_designer --check <assets>   exit 1 naming every stale layout, 0 when all are fresh
//
// Exit 2 on any error (missing picture, picture without a valid outline, unreadable layout).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/Bitmap.h"
#include "core/ImageListStream.h"
#include "core/Layout.h"
#include "core/Outline.h"

namespace fs = std::filesystem;

namespace {

// Each designed layout (assets/layouts/<name>.layout) and the folder below assets/pictures
// of its frames' and buttons' pictures: a frame's is <frame>.bmp, a button's
// <button>.Glyph1.bmp to .Glyph3.bmp. The settings window has pictures of other kinds too.
struct DesignedLayout {
    const char* name;
    const char* pictures;
};
const DesignedLayout kLayouts[] = {
    {"Pelton", "sprites/Pelton"}, {"Melka", "sprites/Melka"}, {"Rugo", "sprites/Rugo"},
    {"Fenwa", "sprites/Fenwa"},   {"ButtonSample", "buttons"}, {"StatusWindow1", "settings"},
};
const std::string_view kSettingsUnit = "StatusWindow1";

// Pictures of the settings window: control name and picture file below pictures/settings.
struct PicturePlace {
    const char* control;
    const char* file;
};
constexpr PicturePlace kSettingsPictures[] = {
    {"Image1", "skin.bmp"}, {"Image2", "info.bmp"}, {"Image3", "next.bmp"}, {"Image4", "prev.bmp"}, {"Image5", "close.bmp"}};
// The portrait list: colour portraits of characters 1 to 4, then their grey twins; room for
// one more, growing by four, on white.
constexpr const char* kPortraitFiles[] = {"portrait1.bmp",      "portrait2.bmp",      "portrait3.bmp",
                                          "portrait4.bmp",      "portrait1_grey.bmp", "portrait2_grey.bmp",
                                          "portrait3_grey.bmp", "portrait4_grey.bmp"};
constexpr int kPortraitCapacity = 9, kPortraitGrowth = 4;
// The tray icon's picture, stored as its icon file.
constexpr const char* kTrayIconFile = "tray.ico";
constexpr uint32_t kWhite = 0x00FFFFFF;

struct DesignError {
    std::string file;
    std::string message;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DesignError{path.string(), "cannot open"};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw DesignError{path.string(), "cannot read"};
    return text;
}

// Writes beside the target and swaps it in, so a failed write leaves the old layout whole.
void WriteText(const fs::path& path, const std::string& text) {
    fs::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            throw DesignError{path.string(), "cannot write"};
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw DesignError{path.string(), "cannot replace: " + ec.message()};
    }
}

bool IsFrameName(const std::string& name) {
    if (name.size() <= 3 || name.compare(0, 3, "Rgn") != 0) return false;
    for (size_t i = 3; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

// The picture's own stored form: its file's length (32-bit little-endian), then the file.
core::LayoutBytes StoredPicture(const core::Bitmap& picture) {
    std::vector<uint8_t> file = picture.ToFile();
    core::LayoutBytes data;
    data.reserve(4 + file.size());
    const auto size = static_cast<uint32_t>(file.size());
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(size >> (8 * i)));
    data.insert(data.end(), file.begin(), file.end());
    return data;
}

core::Bitmap LoadPicture(const fs::path& path) {
    if (!fs::exists(path)) throw DesignError{path.string(), "picture is missing"};
    try {
        return core::Bitmap::Load(path.string());
    } catch (const core::BitmapError& e) {
        throw DesignError{path.string(), e.what()};
    }
}

// The outline of the picture, which it converts in place (1 and 4-bit become 8-bit), so the
// layout stores the converted picture.
core::LayoutBytes Outline(core::Bitmap& picture, const fs::path& path) {
    try {
        return core::ComputeRgnData(picture);
    } catch (const core::OutlineError& e) {
        throw DesignError{path.string(), e.what()};
    }
}

void DesignFrame(core::LayoutObject& frame, const fs::path& pictureDir) {
    const fs::path path = pictureDir / (frame.name + ".bmp");
    core::Bitmap picture = LoadPicture(path);
    core::LayoutBytes outline = Outline(picture, path);
    frame.Set("RgnBitmap.Data", StoredPicture(picture));
    frame.Set("RgnData", std::move(outline));
}

bool IsTrue(const core::LayoutProperty* property) {
    const auto* ident = property ? std::get_if<core::LayoutIdent>(&property->value) : nullptr;
    return ident && (ident->name == "True" || ident->name == "true");
}

// The glyphs the button's pictures give it (the pressed and disabled ones may be missing),
// the outline of the first, and with AutoSize the first glyph's size.
void DesignButton(core::LayoutObject& button, const fs::path& pictureDir) {
    const fs::path path = pictureDir / (button.name + ".Glyph1.bmp");
    core::Bitmap normal = LoadPicture(path);
    core::LayoutBytes outline = Outline(normal, path);
    button.Set("Glyph1.Data", StoredPicture(normal));
    for (const char* property : {"Glyph2", "Glyph3"}) {
        const fs::path other = pictureDir / (button.name + "." + property + ".bmp");
        const std::string stored = std::string(property) + ".Data";
        if (fs::exists(other)) button.Set(stored, StoredPicture(LoadPicture(other)));
        else std::erase_if(button.properties, [&](const core::LayoutProperty& p) { return p.name == stored; });
    }
    button.Set("RgnData", std::move(outline));
    if (IsTrue(button.Find("AutoSize"))) {
        button.Set("Width", int64_t{normal.Width()});
        button.Set("Height", int64_t{normal.Height()});
    }
}

// Gives every sprite frame and shaped button below `object` its pictures and outline.
void DesignControls(core::LayoutObject& object, const fs::path& pictureDir) {
    for (core::LayoutObject& child : object.children) {
        if (child.className == "TRgn" && IsFrameName(child.name)) DesignFrame(child, pictureDir);
        else if (child.className == "TRgnBtn") DesignButton(child, pictureDir);
        DesignControls(child, pictureDir);
    }
}

// A picture property's stored form: the graphic's class name (length byte first), then the
// picture's own stored data.
core::LayoutBytes StoredGraphic(const core::Bitmap& picture) {
    constexpr std::string_view kClass = "TBitmap";
    core::LayoutBytes data{static_cast<uint8_t>(kClass.size())};
    data.insert(data.end(), kClass.begin(), kClass.end());
    core::LayoutBytes stored = StoredPicture(picture);
    data.insert(data.end(), stored.begin(), stored.end());
    return data;
}

core::LayoutObject& Child(core::LayoutObject& parent, const std::string& name, const fs::path& layoutPath) {
    if (core::LayoutObject* child = parent.FindChild(name)) return *child;
    for (core::LayoutObject& child : parent.children)
        if (!child.children.empty())
            if (core::LayoutObject* found = child.FindChild(name)) return *found;
    throw DesignError{layoutPath.string(), "no control named " + name};
}

// An icon file as it is, after a look at its header.
core::LayoutBytes LoadIconFile(const fs::path& path) {
    if (!fs::exists(path)) throw DesignError{path.string(), "icon is missing"};
    const std::string file = ReadText(path);
    if (file.size() < 22 || file[0] != 0 || file[1] != 0 || file[2] != 1 || file[3] != 0 || (file[4] == 0 && file[5] == 0))
        throw DesignError{path.string(), "not an icon file"};
    return core::LayoutBytes(file.begin(), file.end());
}

// Gives the settings window its skin, buttons, portrait list and tray icon.
void DesignSettings(core::LayoutObject& root, const fs::path& assets, const fs::path& layoutPath) {
    const fs::path settingsDir = assets / "pictures" / "settings";
    for (const PicturePlace& place : kSettingsPictures)
        Child(root, place.control, layoutPath).Set("Picture.Data", StoredGraphic(LoadPicture(settingsDir / place.file)));
    std::vector<core::Bitmap> portraits;
    for (const char* file : kPortraitFiles) portraits.push_back(LoadPicture(assets / "pictures" / "portraits" / file));
    try {
        core::ImageListStream list =
            core::ImageListStream::FromPictures(portraits, kPortraitCapacity, kPortraitGrowth, kWhite);
        Child(root, "ImageList1", layoutPath).Set("Bitmap", list.ToBytes());
    } catch (const core::ImageListError& e) {
        throw DesignError{layoutPath.string(), e.what()};
    }
    Child(root, "TrayIcon1", layoutPath).Set("Icon.Data", LoadIconFile(assets / "pictures" / "icons" / kTrayIconFile));
}

// The layout text as the designer would store it.
std::string Designed(const fs::path& layoutPath, const std::string& text, const fs::path& assets,
                     const DesignedLayout& layout) {
    try {
        core::LayoutObject root = core::ParseLayout(text);
        DesignControls(root, assets / "pictures" / layout.pictures);
        if (layout.name == kSettingsUnit) DesignSettings(root, assets, layoutPath);
        return core::WriteLayout(root);
    } catch (const core::LayoutError& e) {
        throw DesignError{layoutPath.string(), e.what()};
    }
}

int Usage() {
    std::fprintf(stderr, "usage: kurun_designer --write|--check <assets folder>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage();
    const bool write = std::strcmp(argv[1], "--write") == 0;
    if (!write && std::strcmp(argv[1], "--check") != 0) return Usage();
    const fs::path assets = argv[2];

    int errors = 0, stale = 0, written = 0;
    for (const DesignedLayout& layout : kLayouts) {
        const fs::path layoutPath = assets / "layouts" / (std::string(layout.name) + ".layout");
        try {
            const std::string text = ReadText(layoutPath);
            const std::string designed = Designed(layoutPath, text, assets, layout);
            if (designed == text) continue;
            if (write) {
                WriteText(layoutPath, designed);
                std::printf("wrote %s\n", layoutPath.string().c_str());
                ++written;
            } else {
                std::printf("stale: %s\n", layoutPath.string().c_str());
                ++stale;
            }
        } catch (const DesignError& e) {
            std::fprintf(stderr, "%s: %s\n", e.file.c_str(), e.message.c_str());
            ++errors;
        }
    }
    if (errors > 0) return 2;
    if (stale > 0) {
        std::printf("%d layout(s) do not match their pictures; regenerate them with `make layouts`\n", stale);
        return 1;
    }
    if (write)
        std::printf("%d layout(s) written, %d up to date\n", written, static_cast<int>(std::size(kLayouts)) - written);
    return 0;
}
