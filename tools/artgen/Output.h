#pragma once
#include <filesystem>

namespace artgen {

// Writes every picture under <assets>/pictures, replacing what is there.
void WriteAll(const std::filesystem::path& assets);

}  // namespace artgen
