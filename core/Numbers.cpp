#include "core/Numbers.h"

namespace core {

namespace {

int DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return 99;
}

// Strips a hexadecimal prefix and returns the base of what follows.
int TakeBase(std::wstring_view& text) {
    if (text.starts_with(L'$')) {
        text.remove_prefix(1);
        return 16;
    }
    if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
        text.remove_prefix(2);
        return 16;
    }
    return 10;
}

}  // namespace

std::optional<int32_t> ParseInt32(std::wstring_view text) {
    while (text.starts_with(L' ') || text.starts_with(L'\t')) text.remove_prefix(1);
    bool negative = false;
    if (text.starts_with(L'+') || text.starts_with(L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    const int base = TakeBase(text);
    if (text.empty()) return std::nullopt;
    // The magnitude may reach 2^31 only for a negative number.
    const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
    int64_t magnitude = 0;
    for (wchar_t c : text) {
        const int digit = DigitValue(c);
        if (digit >= base) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

bool NumberToBool(std::wstring_view text, bool defaultValue) {
    const std::optional<int32_t> number = ParseInt32(text);
    return number ? *number != 0 : defaultValue;
}

}  // namespace core
