// The 228-byte job block of the public header, and the bounds the library reads it within.
#pragma once

#include "dotpress.h"

#include <cstdint>

namespace dotpress {

using ::PageRange;
using ::PrintOptions;

// The used ranges of a host's block. A count outside 1..25 is taken as the nearest bound, so that
// no block makes us read past its ranges.
inline int32_t usedRangeCount(const PrintOptions& options) {
    if (options.rangeCount < 1) {
        return 1;
    }
    return options.rangeCount > MAX_PAGE_RANGES ? MAX_PAGE_RANGES : options.rangeCount;
}

inline const PageRange& rangeAt(const PrintOptions& options, int32_t index) {
    const int32_t used = usedRangeCount(options);
    return options.ranges[index < 0 ? 0 : (index >= used ? used - 1 : index)];
}

} // namespace dotpress
