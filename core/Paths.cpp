#include "core/Paths.h"

namespace core {

namespace {

// Where the file name starts: just after the last backslash or colon.
size_t FileNameStart(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\:");
    return separator == std::wstring_view::npos ? 0 : separator + 1;
}

}  // namespace

std::wstring FileBaseName(std::wstring_view path) {
    const std::wstring_view name = path.substr(FileNameStart(path));
    // A dot in a folder name was cut off with the folder, so any dot left is the extension's.
    const size_t dot = name.find_last_of(L'.');
    return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

std::wstring ExtractFileName(std::wstring_view path) { return std::wstring(path.substr(FileNameStart(path))); }

std::wstring ExtractFilePath(std::wstring_view path) { return std::wstring(path.substr(0, FileNameStart(path))); }

}  // namespace core
