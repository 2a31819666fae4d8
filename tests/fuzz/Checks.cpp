#include "tests/fuzz/Checks.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "core/Bitmap.h"
#include "core/ImageListStream.h"
#include "core/Layout.h"
#include "core/Numbers.h"
#include "core/Outline.h"
#include "core/TextEncoding.h"
#include "core/Zip.h"

namespace fuzz {

namespace {

void Require(bool condition, const char* what) {
    if (!condition) throw FuzzCheckFailed(what);
}

std::string_view AsText(std::span<const uint8_t> input) {
    return {reinterpret_cast<const char*>(input.data()), input.size()};
}

// The bytes a picture's pixels take, which a file must have held.
size_t PixelBytes(const core::Bitmap& picture) { return picture.Stride() * static_cast<size_t>(picture.Height()); }

// Rectangles that are not empty, lie inside width x height and do not overlap, as the bands of
// an outline must.
void RequireBandsInside(const std::vector<core::Rect>& bands, int width, int height) {
    for (size_t i = 0; i < bands.size(); ++i) {
        const core::Rect& r = bands[i];
        Require(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height, "outline outside the picture");
        Require(r.left < r.right && r.top < r.bottom, "empty rectangle in an outline");
        if (i > 0) {
            const core::Rect& p = bands[i - 1];
            Require(p.top < r.top || (p.top == r.top && p.bottom == r.bottom && p.right < r.left),
                    "outline rectangles out of band order or overlapping");
        }
    }
}

int64_t Area(const std::vector<core::Rect>& rects) {
    int64_t area = 0;
    for (const core::Rect& r : rects) area += int64_t{r.right - r.left} * (r.bottom - r.top);
    return area;
}

// The picture's outline as the designer makes it: inside the picture, covering exactly the
// opaque runs, and read back equal from its stored block.
void CheckOutline(core::Bitmap picture) {
    std::vector<uint8_t> block;
    try {
        block = core::ComputeRgnData(picture);
    } catch (const core::OutlineError& e) {
        Require(e.Failure() == core::OutlineFailure::TooManyRuns, "outline refused a picture with pixels");
        return;
    }
    const std::vector<core::Rect> runs = core::ScanRuns(picture);
    const std::vector<core::Rect> bands = core::DecodeRgnData(block);
    RequireBandsInside(bands, picture.Width(), picture.Height());
    Require(Area(bands) == Area(runs), "outline bands do not cover the runs");
    Require(core::BandRuns(bands) == bands, "banding an outline changes it");
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsWellFormedUtf16(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) return false;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

// The number the text means by a second reading: blanks, a sign, a base prefix, then digits.
std::optional<int32_t> ReferenceNumber(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$')) {
        base = 16, text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16, text.remove_prefix(2);
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
    uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (end != text.data() + text.size() || error != std::errc()) return std::nullopt;
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (magnitude > (uint64_t{1} << 31) || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

void CheckBitmapFile(std::span<const uint8_t> input) {
    core::Bitmap picture;
    try {
        picture = core::Bitmap::FromFile(input);
    } catch (const core::BitmapError&) {
        return;
    }
    Require(!picture.Empty() && PixelBytes(picture) <= input.size(), "pixels larger than the file");
    Require(core::Bitmap::FromFile(picture.ToFile()) == picture, "a written picture reads back different");
    const core::Bitmap mirrored = picture.Mirrored();
    Require(mirrored.Width() == picture.Width() && mirrored.Height() == picture.Height(), "mirror changes the size");
    Require(mirrored.Mirrored() == picture, "mirroring twice changes the picture");
    CheckOutline(picture);
}

void CheckRgnData(std::span<const uint8_t> input) {
    std::vector<core::Rect> rects;
    try {
        rects = core::DecodeRgnData(input);
    } catch (const std::invalid_argument&) {
        return;
    }
    Require(32 + 16 * rects.size() == input.size(), "more rectangles than the block holds");
    // The stored size of the rectangles and the bounds are not read back.
    const std::vector<uint8_t> block = core::EncodeRgnData(rects);
    Require(block.size() == input.size() && std::equal(block.begin(), block.begin() + 12, input.begin()) &&
                std::equal(block.begin() + 32, block.end(), input.begin() + 32),
            "a decoded outline encodes differently");
}

void CheckLayout(std::span<const uint8_t> input) {
    core::LayoutObject root;
    try {
        root = core::ParseLayout(AsText(input));
    } catch (const core::LayoutError&) {
        return;
    }
    const std::string written = core::WriteLayout(root);
    Require(core::ParseLayout(written) == root, "a written layout reads back different");
    Require(core::WriteLayout(core::ParseLayout(written)) == written, "writing a layout twice differs");
    // Stored outlines travel in layouts; they are read as the program reads them.
    for (const core::LayoutProperty& property : root.properties)
        if (const auto* bytes = std::get_if<core::LayoutBytes>(&property.value)) CheckRgnData(*bytes);
}

void CheckLayoutArchive(std::span<const uint8_t> input) {
    // The names the program asks its archive for; the layouts themselves have their own target.
    for (const char* name : {"TFORM1", "TFORM2", "TFORM3", "TFORM4", "TSTATUSFORM1"}) {
        std::optional<std::vector<uint8_t>> member;
        try {
            member = core::ZipMember(input, name);
        } catch (const core::ZipError&) {
            return;
        }
        // Deflate gives at most 258 bytes for two bits.
        if (member) Require(member->size() <= input.size() * 1032, "member larger than its data can give");
    }
}

void CheckImageList(std::span<const uint8_t> input) {
    core::ImageListStream list;
    try {
        list = core::ImageListStream::Parse(input);
    } catch (const core::ImageListError&) {
        return;
    }
    Require(PixelBytes(list.images) + PixelBytes(list.mask) <= input.size(), "pictures larger than the stream");
    Require(list.count <= list.capacity, "more images than room");
    const core::ImageListStream again = core::ImageListStream::Parse(list.ToBytes());
    Require(again.count == list.count && again.capacity == list.capacity && again.grow == list.grow &&
                again.width == list.width && again.height == list.height &&
                again.backgroundColor == list.backgroundColor && again.flags == list.flags &&
                again.images == list.images && again.mask == list.mask,
            "a written image list reads back different");
}

void CheckNumber(std::span<const uint8_t> input) {
    // The settings file's text is UTF-16: two bytes a character.
    std::wstring text;
    for (size_t i = 0; i + 1 < input.size(); i += 2) text += static_cast<wchar_t>(input[i] | input[i + 1] << 8);
    const std::optional<int32_t> number = core::ParseInt32(text);
    Require(core::NumberToBool(text, true) == (!number || *number != 0), "a switch disagrees with its number");
    const bool narrow = std::all_of(text.begin(), text.end(), [](wchar_t c) { return c > 0 && c < 0x80; });
    if (narrow) Require(number == ReferenceNumber(std::string(text.begin(), text.end())), "number read wrongly");
    if (number) Require(core::ParseInt32(std::to_wstring(*number)) == number, "a number does not read back");
}

void CheckSettingsText(std::span<const uint8_t> input) {
    const std::string_view bytes = AsText(input);
    const core::TextEncoding encoding = core::DetectTextEncoding(bytes);
    const bool utf16Mark = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    Require((encoding == core::TextEncoding::Utf16) == utf16Mark, "UTF-16 without its mark or missed");
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) Require(encoding == core::TextEncoding::Ansi, "plain ASCII taken as something else");

    const std::u16string text = core::Utf8ToUtf16(bytes);
    Require(text.size() <= bytes.size(), "UTF-8 gives more characters than bytes");
    Require(IsWellFormedUtf16(text), "UTF-8 conversion makes broken UTF-16");
    if (encoding == core::TextEncoding::Utf8 && !bytes.starts_with("\xEF\xBB\xBF"))
        Require(Utf16ToUtf8(text) == bytes, "UTF-8 text does not convert back to its bytes");

    const std::string file = core::Utf16File(text);
    Require(file.size() == 2 + 2 * text.size() && core::DetectTextEncoding(file) == core::TextEncoding::Utf16,
            "a UTF-16 file is not one");
}

}  // namespace fuzz
