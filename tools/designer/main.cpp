// The layout designer: stores each sprite frame's picture and its outline in the character
// windows' layouts, so the program never scans pixels when it starts, and the settings
// window's pictures (skin, buttons, portrait list) in its layout.
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
#include <vector>

#include "core/Bitmap.h"
#include "core/ImageListStream.h"
#include "core/Layout.h"
#include "core/Outline.h"

namespace fs = std::filesystem;

namespace {

const char* const kUnits[] = {"Pelton", "Melka", "Rugo", "Fenwa"};
const char* const kSettingsUnit = "StatusWindow1";

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

// Gives every sprite frame below `object` the picture and outline made from its picture file.
void DesignFrames(core::LayoutObject& object, const fs::path& pictureDir) {
    for (core::LayoutObject& child : object.children) {
        if (child.className == "TRgn" && IsFrameName(child.name)) {
            const fs::path picturePath = pictureDir / (child.name + ".bmp");
            if (!fs::exists(picturePath)) throw DesignError{picturePath.string(), "picture is missing"};
            try {
                core::Bitmap picture = core::Bitmap::Load(picturePath.string());
                // Converts 1 and 4-bit pictures in place, so the layout stores the converted one.
                core::LayoutBytes outline = core::ComputeRgnData(picture);
                child.Set("RgnBitmap.Data", StoredPicture(picture));
                child.Set("RgnData", std::move(outline));
            } catch (const core::BitmapError& e) {
                throw DesignError{picturePath.string(), e.what()};
            } catch (const core::OutlineError& e) {
                throw DesignError{picturePath.string(), e.what()};
            }
        }
        DesignFrames(child, pictureDir);
    }
}

core::Bitmap LoadPicture(const fs::path& path) {
    if (!fs::exists(path)) throw DesignError{path.string(), "picture is missing"};
    try {
        return core::Bitmap::Load(path.string());
    } catch (const core::BitmapError& e) {
        throw DesignError{path.string(), e.what()};
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

// Gives the settings window its skin, buttons and portrait list.
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
}

// The layout text as the designer would store it.
std::string Designed(const fs::path& layoutPath, const std::string& text, const fs::path& assets,
                     const std::string& unit) {
    try {
        core::LayoutObject root = core::ParseLayout(text);
        if (unit == kSettingsUnit) DesignSettings(root, assets, layoutPath);
        else DesignFrames(root, assets / "pictures" / "sprites" / unit);
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

    std::vector<std::string> units(std::begin(kUnits), std::end(kUnits));
    units.push_back(kSettingsUnit);
    int errors = 0, stale = 0, written = 0;
    for (const std::string& unit : units) {
        const fs::path layoutPath = assets / "layouts" / (unit + ".layout");
        try {
            const std::string text = ReadText(layoutPath);
            const std::string designed = Designed(layoutPath, text, assets, unit);
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
        std::printf("%d layout(s) written, %d up to date\n", written, static_cast<int>(units.size()) - written);
    return 0;
}
