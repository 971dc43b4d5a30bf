#include "dotpress/core/job_paper.h"

namespace dotpress {

namespace {

uint64_t lengthOf(const PageRange& r) {
    return r.lastPage >= r.firstPage ? uint64_t{r.lastPage} - r.firstPage + 1 : 0;
}

} // namespace

PaperUse paperUse(const PrintOptions& job, bool doubleSided) {
    uint64_t pages = 0;
    uint64_t frontEnds = 0;
    for (int32_t i = 0; i < usedRangeCount(job); ++i) {
        pages += lengthOf(job.ranges[i]);
        frontEnds += job.ranges[i].lastPage % 2;
    }
    PaperUse use;
    use.faces = (pages + (doubleSided && job.copies > 1 ? frontEnds : 0)) * job.copies;
    use.sheets = doubleSided ? use.faces / 2 + use.faces % 2 : use.faces;
    return use;
}

bool continuationOf(const PrintOptions& job, bool doubleSided, uint32_t documentPages,
                    uint64_t pagesDone, Continuation& rest) {
    const int32_t n = job.rangeCount;
    if (n < 1 || n > MAX_PAGE_RANGES || job.copies == 0) {
        return false;
    }
    uint64_t perCopy = 0;
    for (int32_t k = 0; k < n; ++k) {
        const PageRange& r = job.ranges[k];
        if (r.firstPage < 1 || r.firstPage > r.lastPage || r.lastPage > documentPages) {
            return false;
        }
        perCopy += lengthOf(r);
    }
    const uint64_t copies = job.copies;
    // The page accounting stops at the block's total: only a block whose total is its pages
    // times its copies is counted in the order reckoned here.
    if (job.totalPages != perCopy * copies || pagesDone >= perCopy * copies) {
        return false;
    }
    const bool collated = job.collate != 0 && copies > 1;
    const bool backs = doubleSided && copies > 1;
    auto back = [&](int32_t k) -> uint64_t { return backs && job.ranges[k].lastPage % 2 == 1; };
    auto range = [&](int32_t k) -> const PageRange& { return job.ranges[k]; };

    // The first page not completely sent: page p of range i, in copy q (copies one after
    // another) or as its repetition c (collated); and its face from the job's first.
    int32_t i = 0;
    uint64_t q = 0, c = 0, face = 0, at = pagesDone;
    if (!collated) {
        uint64_t facesPerCopy = perCopy;
        for (int32_t k = 0; k < n; ++k) {
            facesPerCopy += back(k);
        }
        q = at / perCopy;
        at %= perCopy;
        face = q * facesPerCopy;
        for (; at >= lengthOf(range(i)); ++i) {
            at -= lengthOf(range(i));
            face += lengthOf(range(i)) + back(i);
        }
        face += at;
    } else {
        for (; at >= lengthOf(range(i)) * copies; ++i) {
            at -= lengthOf(range(i)) * copies;
            face += (lengthOf(range(i)) + back(i)) * copies;
        }
        c = at % copies;
        at /= copies;
        const bool lastWithBacks = range(i).firstPage + at == range(i).lastPage && back(i);
        face += at * copies + (lastWithBacks ? 2 * c : c);
    }
    auto p = static_cast<uint32_t>(range(i).firstPage + at);

    // A back face: the sheet is embossed again from its front, the face before, unless that is
    // an empty back, whose sheet has nothing else to lose.
    const bool rangeStart = p == range(i).firstPage && c == 0;
    const bool afterEmptyBack = collated ? (c > 0 && p == range(i).lastPage && back(i)) ||
                                               (rangeStart && i > 0 && back(i - 1))
                                         : rangeStart && back(i > 0 ? i - 1 : n - 1);
    if (doubleSided && face % 2 == 1 && !afterEmptyBack) {
        if (collated && c > 0) {
            --c;
        } else if (p > range(i).firstPage) {
            --p;
            c = copies - 1;
        } else {
            // The last page of the range before, in this copy or, at a copy's start, the one
            // before (an odd face is never the job's first).
            if (i == 0) {
                --q;
                i = n;
            }
            p = range(--i).lastPage;
            c = copies - 1;
        }
    }

    rest = Continuation{};
    rest.firstPage = p;
    rest.ranges[0] = {p, range(i).lastPage};
    rest.rangeCount = 1;
    for (int32_t k = i + 1; k < n; ++k) {
        rest.ranges[rest.rangeCount++] = range(k);
    }
    if (collated) {
        rest.copies = job.copies;
        rest.collate = 1;
        rest.repeated = static_cast<uint32_t>(c);
    } else {
        rest.copiesLeft = static_cast<uint32_t>(copies - q - 1);
    }
    return true;
}

void CancelledJob::jobClosed(bool cancelledByUser, const PrintOptions& closed, uint32_t done) {
    cancelled = cancelledByUser;
    job = closed;
    documentPages = openedPages;
    doubleSided = openedDoubleSided;
    pagesDone = done;
}

bool CancelledJob::continuation(uint16_t pages, Continuation& rest) const {
    return cancelled && pages == documentPages &&
           continuationOf(job, doubleSided, documentPages, pagesDone, rest);
}

} // namespace dotpress
