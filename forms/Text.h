#pragma once
// Conversions between the bytes of files and the UTF-16 of the Win32 W functions.
#include <string>
#include <string_view>

namespace forms {

// Bytes in the given code page (CP_UTF8, CP_ACP, ...) to UTF-16 and back.
std::wstring Decode(std::string_view bytes, unsigned codePage);
std::string Encode(std::wstring_view text, unsigned codePage);

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace forms
