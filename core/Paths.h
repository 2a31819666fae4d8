#pragma once
// Names taken from Windows paths, as text rules without the platform.
#include <string>
#include <string_view>

namespace core {

// The file name without its folder (anything up to the last backslash or colon) and without
// its extension (from the last dot of the file name on): "C:\a.b\kurun.exe" gives "kurun".
std::wstring FileBaseName(std::wstring_view path);

// The file name with its extension, without the folder: "C:\a\kurun.exe" gives "kurun.exe".
std::wstring ExtractFileName(std::wstring_view path);

// The folder of a path with its trailing separator: everything up to the last backslash or
// colon; empty for a bare name.
std::wstring ExtractFilePath(std::wstring_view path);

}  // namespace core
