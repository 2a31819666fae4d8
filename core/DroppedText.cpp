#include "core/DroppedText.h"

#include <cwctype>

namespace core {

namespace {

// Calls `take` with each line of the text, without its line break, until it returns true.
template <class F>
void ForEachLine(std::wstring_view text, F take) {
    while (!text.empty()) {
        const size_t end = text.find_first_of(L"\r\n");
        if (take(text.substr(0, end))) return;
        if (end == std::wstring_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

std::wstring FirstUri(std::wstring_view text) {
    std::wstring found;
    ForEachLine(text, [&](std::wstring_view line) {
        if (line.empty() || line.front() == L'#') return false;
        found = line;
        return true;
    });
    return found;
}

std::wstring InternetShortcutUrl(std::wstring_view text) {
    std::wstring found;
    ForEachLine(text, [&](std::wstring_view line) {
        const bool isUrl = line.size() > 4 && std::towupper(line[0]) == L'U' && std::towupper(line[1]) == L'R' &&
                           std::towupper(line[2]) == L'L' && line[3] == L'=';
        if (isUrl) found = line.substr(4);
        return isUrl;
    });
    return found;
}

}  // namespace core
