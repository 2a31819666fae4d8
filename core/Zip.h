#pragma once
// Reading a zip archive held in memory, as the program keeps its stored layouts: members stored
// as they are or deflated (raw DEFLATE streams), no encryption, no archives over 4 GB.
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace core {

class ZipError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes a raw DEFLATE stream that must give exactly `size` bytes; anything else (a damaged or
// cut stream, more or fewer bytes) raises ZipError. Never reads or writes past either end.
std::vector<uint8_t> Inflate(std::span<const uint8_t> stream, size_t size);

// The contents of the member of that exact name, or nothing when the archive has none; a damaged
// archive or member raises ZipError.
std::optional<std::vector<uint8_t>> ZipMember(std::span<const uint8_t> archive, std::string_view name);

}  // namespace core
