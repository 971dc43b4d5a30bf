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
    // A cancelled job draws nothing more, and counts nothing more: the window keeps the page and
    // copy where printing stopped. The host is answered as for a printed line, so that it runs
    // on to ImpCerrarImpresora as it always has. Lines sent with no job open are counted as
    // ever, whatever became of the last job.
    if (!cancelRequested) {
        printLine(line);
    }
    if (!(cancelRequested && jobOpen())) {
        accountLine();
    }
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
