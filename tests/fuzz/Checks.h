#pragma once
// What each fuzz target does with one input: the reader runs on it and, where the reader accepts
// it, what it made is checked (round trips equal, sizes within what was read, outlines inside
// the picture). A failed check throws FuzzCheckFailed; a reader's own error on bad input is the
// expected answer and is caught. The same checks replay the kept inputs in the host tests.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

namespace fuzz {

class FuzzCheckFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

using Check = void (*)(std::span<const uint8_t> input);

void CheckBitmapFile(std::span<const uint8_t> input);
void CheckRgnData(std::span<const uint8_t> input);
void CheckLayout(std::span<const uint8_t> input);
void CheckLayoutArchive(std::span<const uint8_t> input);
void CheckImageList(std::span<const uint8_t> input);
void CheckNumber(std::span<const uint8_t> input);
void CheckSettingsText(std::span<const uint8_t> input);

struct Target {
    std::string_view name;  // also the folder of its kept inputs
    Check check;
};

constexpr Target kTargets[] = {
    {"bitmap", CheckBitmapFile},   {"rgndata", CheckRgnData},      {"layout", CheckLayout},
    {"zip", CheckLayoutArchive},   {"imagelist", CheckImageList},  {"number", CheckNumber},
    {"settings_text", CheckSettingsText},
};

}  // namespace fuzz
