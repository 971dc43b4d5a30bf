// What the running job was started with: its options, its document and where the page
// accounting stands.
#pragma once

#include "dotpress/core/print_options.h"
#include "platform/os.h"

#include <cstdint>

namespace dotpress {

class JobState {
public:
    PrintOptions options{};
    os::DOCINFOW docInfo{};
    char16_t documentName[260]{};
    int32_t rangeIndex = 0;   // the range being printed, kept inside the used ranges
    uint32_t currentPage = 0; // the page being printed
};

} // namespace dotpress
