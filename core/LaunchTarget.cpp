#include "core/LaunchTarget.h"

#include <algorithm>
#include <cwctype>

namespace core {

namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000; }

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') {
        text = text.substr(1, text.size() - 2);
        while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    }
    return text;
}

bool IsDrivePath(std::wstring_view text) {
    return text.size() >= 3 && ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z')) &&
           text[1] == L':' && text[2] == L'\\';
}

// \\server\share...: a server name after the two backslashes.
bool IsUncPath(std::wstring_view text) {
    return text.size() > 2 && text.substr(0, 2) == L"\\\\" && text[2] != L'\\';
}

}  // namespace

bool IsWebAddress(std::wstring_view text) {
    for (std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")})
        if (StartsWithNoCase(text, scheme) && text.size() > scheme.size()) return true;
    return false;
}

std::optional<std::wstring> LaunchTargetFromText(std::wstring_view text) {
    const std::wstring_view target = Trimmed(text);
    // One line only: a second line would reach the shell as part of the name.
    if (target.find_first_of(L"\r\n") != std::wstring_view::npos) return std::nullopt;
    if (IsDrivePath(target) || IsUncPath(target) || IsWebAddress(target)) return std::wstring(target);
    return std::nullopt;
}

std::wstring ShortTargetName(std::wstring_view target) {
    if (IsWebAddress(target)) return std::wstring(target);
    std::wstring_view path = target;
    if (path.size() > 3 && path.back() == L'\\') path.remove_suffix(1);  // a folder, not a root
    const size_t separator = path.find_last_of(L"\\:");
    if (separator == std::wstring_view::npos || separator + 1 == path.size()) return std::wstring(path);
    return std::wstring(path.substr(separator + 1));
}

std::wstring DescribeTarget(std::wstring_view rowName, std::wstring_view shortName, std::wstring_view unset) {
    std::wstring text(rowName);
    text += L": ";
    text += shortName.empty() ? unset : shortName;
    return text;
}

}  // namespace core
