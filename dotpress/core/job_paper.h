// What a job takes of the paper, and what is left of one the user cancelled: pure counts over a
// job block, as the session, the page accounting and the summary count the same job. The print
// dialog tells them before the job starts.
#pragma once

#include "dotpress/core/print_options.h"

#include <cstdint>

namespace dotpress {

struct PaperUse {
    uint64_t faces = 0;  // pages with lines, and the empty backs the session adds
    uint64_t sheets = 0; // two faces to a sheet on a double-sided printer
};

// The whole job of `job` on a printer that prints one side or both. Every page of every range
// is a face once per copy; with several copies on a double-sided printer a range that ends on a
// front gets an empty back after each of its copies (collated, after each repetition of its last
// page: as many), so the order of the copies does not change the count.
PaperUse paperUse(const PrintOptions& job, bool doubleSided);

// What remains of a cancelled job, as one more job: the pages from the first page not completely
// sent to the end of its range, then the ranges after it.
//
// Copies one after another (or a single copy): the rest of the copy in progress, one copy, and
// `copiesLeft` whole copies after it that the user prints as a job of their own.
// Collated copies (each page `copies` times before the next): every copy is in progress at once,
// so the rest keeps every copy and the order; the copies of `firstPage` already embossed are
// printed again (`repeated` of them), which the user is told, rather than lost.
// On a double-sided printer the rest starts with the front of the sheet the first unsent page is
// on, so that the sheet is embossed again whole.
struct Continuation {
    uint32_t firstPage = 0;
    int32_t rangeCount = 0;
    PageRange ranges[MAX_PAGE_RANGES] = {};
    uint32_t copies = 1;
    int32_t collate = 0;
    uint32_t copiesLeft = 0;
    uint32_t repeated = 0;
};

// The rest of `job` after its first `pagesDone` pages in the job's order; false when nothing is
// left, or when the block is not one the dialog could have made for a document of
// `documentPages` pages (its ranges, copies or total do not hold together), so that a host's own
// block never leads to a wrong offer.
bool continuationOf(const PrintOptions& job, bool doubleSided, uint32_t documentPages,
                    uint64_t pagesDone, Continuation& rest);

// The last job of this load that the user cancelled, kept for the print dialog's offer to go on.
// The dialog notes the document it was accepted for; the job notes how it started and ended.
class CancelledJob {
public:
    void dialogAccepted(uint16_t documentPages) { acceptedPages = documentPages; }
    void jobOpened(bool doubleSidedPrinter) {
        openedPages = acceptedPages;
        openedDoubleSided = doubleSidedPrinter;
    }
    // A job the user cancelled leaves the offer; a job that ends any other way takes it away.
    void jobClosed(bool cancelledByUser, const PrintOptions& job, uint32_t pagesDone);
    // The offer for a dialog of a document of `documentPages` pages, if there is one.
    bool continuation(uint16_t documentPages, Continuation& rest) const;

private:
    uint16_t acceptedPages = 0;
    uint16_t openedPages = 0;
    bool openedDoubleSided = false;

    bool cancelled = false;
    PrintOptions job{};
    uint16_t documentPages = 0;
    bool doubleSided = false;
    uint32_t pagesDone = 0;
};

} // namespace dotpress
