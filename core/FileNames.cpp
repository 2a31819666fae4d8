#include "core/FileNames.h"

namespace core {

std::wstring ExtractFilePath(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\:");
    return separator == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, separator + 1));
}

}  // namespace core
