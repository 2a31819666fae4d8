// The fuzz targets' checks over the kept inputs: the hand-made seeds and every finding once
// mended (tests/fuzz/regressions/<target>/), so a finding stays a regular test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/Checks.h"

namespace fs = std::filesystem;

TEST(FuzzInputs, EveryKeptInputPassesItsTargetsChecks) {
    int replayed = 0;
    for (const fuzz::Target& target : fuzz::kTargets)
        for (const char* kind : {"seeds", "regressions"}) {
            const fs::path folder = fs::path(KURUN_SOURCE_DIR) / "tests" / "fuzz" / kind / target.name;
            if (!fs::is_directory(folder)) continue;
            for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
                std::ifstream in(file.path(), std::ios::binary);
                const std::vector<uint8_t> input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
                EXPECT_NO_THROW(target.check(input)) << file.path();
                ++replayed;
            }
        }
    EXPECT_GT(replayed, 20);
}
