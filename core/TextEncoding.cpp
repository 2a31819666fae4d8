#include "core/TextEncoding.h"

#include <algorithm>

namespace core {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the well-formed sequence at `at` and its length, or length 0 when the
// bytes there are malformed.
struct Sequence {
    char32_t code = 0;
    size_t length = 0;
};

Sequence DecodeAt(std::string_view bytes, size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) return {lead, 1};
    size_t length;
    char32_t code, lowest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, lowest = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() - at < length) return {};
    for (size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + i]);
        if (!IsContinuation(byte)) return {};
        code = code << 6 | (byte & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {code, length};
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
        return;
    }
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = DecodeAt(bytes, at).length;
        if (length == 0) return false;
        at += length;
    }
    return true;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return TextEncoding::Utf16;
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    std::u16string text;
    text.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        const Sequence sequence = DecodeAt(bytes, at);
        AppendUtf16(text, sequence.length ? sequence.code : kReplacement);
        at += std::max<size_t>(sequence.length, 1);
    }
    return text;
}

std::string Utf16File(std::u16string_view text) {
    std::string file("\xFF\xFE");
    file.reserve(2 + 2 * text.size());
    for (char16_t unit : text) {
        file += static_cast<char>(unit & 0xFF);
        file += static_cast<char>(unit >> 8);
    }
    return file;
}

}  // namespace core
