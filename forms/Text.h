#pragma once
// Conversions between the UTF-8 of files and the UTF-16 of the Win32 W functions.
#include <string>
#include <string_view>

namespace forms {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace forms
