#pragma once
// Parts of Windows path names.
#include <string>
#include <string_view>

namespace core {

// The folder of a path with its trailing separator: everything up to the last '\' or ':';
// empty for a bare name.
std::wstring ExtractFilePath(std::wstring_view path);

}  // namespace core
