#include "core/Paths.h"

namespace core {

std::wstring FileBaseName(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\:");
    std::wstring_view name = separator == std::wstring_view::npos ? path : path.substr(separator + 1);
    // A dot in a folder name was cut off with the folder, so any dot left is the extension's.
    const size_t dot = name.find_last_of(L'.');
    return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

}  // namespace core
