// One libFuzzer program per check; the build names the check in KURUN_FUZZ_CHECK.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/Checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::KURUN_FUZZ_CHECK({data, size});
    return 0;
}
