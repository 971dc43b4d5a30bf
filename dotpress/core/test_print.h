// ImpImprimirPrueba: the test sheet embossed as a job of its own, from one blocking call.
#pragma once

#include "dotpress/core/print_job.h"

namespace dotpress {

// Embosses the test sheet of the selected printer through `job`, with its progress window, and
// returns once it is done or cancelled: 13 without a selected printer (the user is told), 8
// while a job is open, else what opening the job gave.
int32_t printTestSheet(PrintJob& job, os::HWND owner);

} // namespace dotpress
