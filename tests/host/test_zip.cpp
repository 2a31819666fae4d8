#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/Zip.h"

using core::Inflate;
using core::ZipError;
using core::ZipMember;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Streams made by zlib (raw DEFLATE, window 15): one of each block kind.
const Bytes kStored = FromHex("010500faff6b7572756e");  // "kurun"
const Bytes kFixed = FromHex("4b4c4a4e44458a00");       // "abcabcabcabcabcabc!"
const Bytes kDynamic = FromHex(
    "3d500902c330087a2b42dae5ff1f18a25b8f6844514401fe00a26847b6c5e3a343bedbf3f304d817fb93a59a8026d815"
    "18a226001528888349d6e454bd82ae112699f19cc0172f126b965bf8845b336049dd845de1fe5cfaa7296e8811456a3a"
    "e7c8234e434fe2e213acc3e7c7b92c767147803a055204c510c7f3b0b7c161b3cf5ac16e7f0d70b5a1fe1bf27962d5c3"
    "4ec7a8efceb337eebd7755f505");

// What kDynamic holds: 400 letters of a skewed alphabet from a fixed pseudo-random sequence.
Bytes DynamicText() {
    Bytes text;
    uint32_t x = 1;
    for (int i = 0; i < 400; ++i) {
        x = (x * 1103515245u + 12345u) & 0x7fffffffu;
        uint32_t v = (x >> 16) % 100;
        text.push_back(static_cast<uint8_t>('a' + (v < 50 ? 0 : v < 75 ? 1 : v < 88 ? 2 : v < 95 ? 3 : 4 + v % 5)));
    }
    return text;
}

}  // namespace

TEST(Inflate, EveryKindOfBlock) {
    EXPECT_EQ(Inflate(kStored, 5), Text("kurun"));
    EXPECT_EQ(Inflate(kFixed, 19), Text("abcabcabcabcabcabc!"));  // copies that overlap what they write
    EXPECT_EQ(Inflate(kDynamic, 400), DynamicText());
}

TEST(Inflate, DamagedOrMismatchedStreamsAreRefused) {
    // The declared size must be met exactly.
    EXPECT_THROW(Inflate(kFixed, 18), ZipError);
    EXPECT_THROW(Inflate(kFixed, 20), ZipError);
    EXPECT_THROW(Inflate(kStored, 4), ZipError);
    // A member claiming far more than its data can give is refused without taking that memory.
    EXPECT_THROW(Inflate(kStored, size_t{1} << 40), ZipError);
    // Cut anywhere, a stream fails rather than reading past its end.
    for (const Bytes* stream : {&kStored, &kFixed, &kDynamic})
        for (size_t cut = 0; cut < stream->size(); ++cut)
            EXPECT_THROW(Inflate({stream->data(), cut}, 400), ZipError) << cut;
    // A stored block whose length check does not match, and the reserved block kind.
    EXPECT_THROW(Inflate(FromHex("010500fbff6b7572756e"), 5), ZipError);
    EXPECT_THROW(Inflate(FromHex("07"), 1), ZipError);
    // A fixed block whose first code copies from before the start: length 3, distance 1.
    EXPECT_THROW(Inflate(FromHex("0302"), 3), ZipError);
    // Flipping any one bit of the dynamic stream never reads or writes out of bounds.
    for (size_t bit = 0; bit < kDynamic.size() * 8; ++bit) {
        Bytes damaged = kDynamic;
        damaged[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        try {
            Inflate(damaged, 400);
        } catch (const ZipError&) {
        }
    }
}

TEST(Zip, ThePackedLayoutsAreTheStoredLayouts) {
    const Bytes archive = ReadFile(KURUN_LAYOUTS_ZIP);
    ASSERT_FALSE(archive.empty());
    const std::pair<const char*, const char*> members[] = {{"TFORM1", "Pelton"}, {"TFORM2", "Melka"}, {"TFORM3", "Rugo"},
                                                           {"TFORM4", "Fenwa"}, {"TSTATUSFORM1", "StatusWindow1"}};
    for (auto [member, file] : members) {
        SCOPED_TRACE(member);
        std::optional<Bytes> packed = ZipMember(archive, member);
        ASSERT_TRUE(packed);
        EXPECT_EQ(*packed, ReadFile(std::filesystem::path(KURUN_SOURCE_DIR) / "assets" / "layouts" / (std::string(file) + ".layout")));
    }
    EXPECT_FALSE(ZipMember(archive, "TFORM"));
    EXPECT_FALSE(ZipMember(archive, "tform1"));
}

TEST(Zip, DamagedArchivesAreRefused) {
    const Bytes archive = ReadFile(KURUN_LAYOUTS_ZIP);
    EXPECT_THROW(ZipMember(Text("not an archive at all"), "TFORM1"), ZipError);
    EXPECT_THROW(ZipMember({archive.data(), archive.size() / 2}, "TFORM1"), ZipError);
    // The central directory pointing past the end.
    Bytes moved = archive;
    size_t end = moved.size() - 22;
    ASSERT_EQ(moved[end], 0x50);
    moved[end + 19] = 0x7f;
    EXPECT_THROW(ZipMember(moved, "TFORM1"), ZipError);
}
