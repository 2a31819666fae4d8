#pragma once
// Numbers written as text, as the settings file stores them.
#include <cstdint>
#include <optional>
#include <string_view>

namespace core {

// A whole signed 32-bit number: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$", "0x" or "0X". Nothing when the text is anything else, or
// the number does not fit.
std::optional<int32_t> ParseInt32(std::wstring_view text);

// A switch stored as a number: any number but 0 is on, 0 is off; text that is not a number
// gives `defaultValue`.
bool NumberToBool(std::wstring_view text, bool defaultValue);

}  // namespace core
