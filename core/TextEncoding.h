#pragma once
// How the bytes of a text file such as the settings file are meant, and their conversion to the
// UTF-16 file the program writes.
#include <string>
#include <string_view>

namespace core {

enum class TextEncoding {
    Utf16,  // a UTF-16 byte order mark, either byte order
    Utf8,   // a UTF-8 mark, or valid UTF-8 holding a byte outside ASCII
    Ansi,   // anything else: the ANSI code page
};

// Without a mark, bytes that are valid UTF-8 and hold at least one byte outside ASCII are taken
// as UTF-8, as current editors save text: a multi-byte ANSI code page such as Shift-JIS is
// practically never valid UTF-8 once it holds letters of its own. Plain ASCII stays ANSI.
TextEncoding DetectTextEncoding(std::string_view bytes);

// Well-formed UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// UTF-8 text, a leading mark dropped, as UTF-16; each malformed byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);

// The bytes of a UTF-16 little-endian file: its mark, then the text.
std::string Utf16File(std::u16string_view text);

}  // namespace core
