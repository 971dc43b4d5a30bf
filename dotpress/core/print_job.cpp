#include "dotpress/core/print_job.h"

#include "dotpress/core/library_instance.h"

namespace dotpress {

PrintJob::PrintJob() : heldModule(nullptr) {}

int32_t PrintJob::openJob(os::HWND jobOwner, const char* name, const PrintOptions& jobOptions,
                          bool sheet) {
    if (jobOpen()) {
        return STATUS_BUSY;
    }
    options = jobOptions;
    owner = jobOwner;
    const int32_t status = beginDocument(name, sheet);
    if (status != STATUS_OK) {
        return status;
    }
    // An open job keeps the library loaded. Its window runs our dialog procedure and its document
    // waits for our EndDoc; a host that frees the library before closing the job (on another
    // thread, say) would otherwise leave the window pointing into an unmapped image, and the
    // unload, under the loader lock, may neither destroy a window nor end a document. So the job
    // holds a reference of its own until it is closed, on the host's thread, in ImpCerrarImpresora.
    os::GetModuleHandleExW(os::GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<const char16_t*>(moduleHandle), &heldModule);
    resetAccounting();
    jobOpened(selectedRecord().params.doubleSided != 0);
    openProgressWindow();
    return STATUS_OK;
}

int32_t PrintJob::printJobLine(const char* line) {
    // A cancelled job draws nothing more, and counts nothing more: the window keeps the page and
    // copy where printing stopped. The host is answered as for a printed line, so that it runs
    // on to ImpCerrarImpresora as it always has. Lines sent with no job open are counted as
    // ever, whatever became of the last job.
    if (!cancelRequested) {
        if (printLine(line) == STATUS_OK) {
            counts.linePrinted(currentPage, copy);
        }
    } else if (jobOpen()) {
        counts.lineIgnored();
    }
    if (!(cancelRequested && jobOpen())) {
        accountLine();
    }
    return STATUS_OK;
}

int32_t PrintJob::closeJob() {
    if (jobOpen() && !cancelRequested) {
        // A last page the host did not fill is ended by the close, and with it the copy it ends.
        const bool pageEndedByTheClose = lineOnPage > 1 && pageOrdinal <= totalPages;
        if (pageEndedByTheClose && endsACopy(options, rangeIndex, currentPage)) {
            counts.copyFinished();
        }
        counts.closed(pageOrdinal > totalPages ||
                      (pageEndedByTheClose && pageOrdinal == totalPages));
    }
    if (jobOpen() && !testSheet) {
        jobClosed(cancelRequested != 0, options, counts.pagesSent());
    }
    closeProgressWindow();
    if (cancelRequested && jobOpen()) {
        abortDocument();
    } else {
        endDocument();
    }
    // The caller holds its own reference while it calls us, so this one is never the last.
    if (heldModule) {
        const os::HINSTANCE module = heldModule;
        heldModule = nullptr;
        os::FreeLibrary(module);
    }
    return STATUS_OK;
}

} // namespace dotpress
