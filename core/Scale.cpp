#include "core/Scale.h"

#include <algorithm>

namespace core {

int PixelScaleForDpi(int dpi) {
    if (dpi <= 0) return 1;
    // In 64 bits: the half is added before the division, so no reading can overflow.
    const long long factor = (static_cast<long long>(dpi) + kDesignDpi / 2) / kDesignDpi;
    return static_cast<int>(std::clamp<long long>(factor, 1, kMaxPixelScale));
}

}  // namespace core
