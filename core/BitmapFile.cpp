// Picture files on disk, for the build machine's tools and tests. Apart from the rest of the
// class so that the program, which takes its pictures from its layouts, links no file streams.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/Bitmap.h"

namespace core {

Bitmap Bitmap::Load(const std::string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) throw BitmapError(path + ": cannot open");
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw BitmapError(path + ": cannot read");
    try {
        return FromFile(data);
    } catch (const BitmapError& e) {
        throw BitmapError(path + ": " + e.what());
    }
}

void Bitmap::Save(const std::string& path) const {
    std::vector<uint8_t> data = ToFile();
    // Write beside the target and swap it in, so a failed write leaves the old file whole.
    std::filesystem::path target(path);
    std::filesystem::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw BitmapError(path + ": cannot create");
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw BitmapError(path + ": cannot write");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw BitmapError(path + ": cannot replace the file");
    }
}

}  // namespace core
