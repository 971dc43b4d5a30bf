#include "dotpress/core/print_job.h"

namespace dotpress {

int32_t PrintJob::openJob(os::HWND jobOwner, const char* name, const PrintOptions& jobOptions) {
    if (jobOpen()) {
        return STATUS_BUSY;
    }
    options = jobOptions;
    owner = jobOwner;
    const int32_t status = beginDocument(name);
    if (status != STATUS_OK) {
        return status;
    }
    resetAccounting();
    openProgressWindow();
    return STATUS_OK;
}

int32_t PrintJob::printJobLine(const char* line) {
    // A cancelled job draws nothing more; the accounting still follows the host's lines so that
    // the window keeps its numbers.
    if (!cancelRequested) {
        printLine(line);
    }
    accountLine();
    return STATUS_OK;
}

int32_t PrintJob::closeJob() {
    closeProgressWindow();
    if (cancelRequested && jobOpen()) {
        abortDocument();
    } else {
        endDocument();
    }
    return STATUS_OK;
}

} // namespace dotpress
