// What a job did, counted as it runs: the pages and empty backs, the lines and what the
// translation and the cut took from them, the copies completed and where printing stands. The
// session and the page accounting note each event here; ImpObtenerResumen reads it back. Every
// note is an increment or two on the line's path, so that a printed line costs what it did.
#pragma once

#include "dotpress.h"
#include "dotpress/core/print_options.h"
#include "dotpress/core/saturating.h"

#include <cstdint>

namespace dotpress {

class JobCounts {
public:
    // A job has opened: everything counts from zero, printing stands at its first page.
    void start(bool doubleSidedPrinter, uint32_t firstPage, uint32_t pages, uint32_t copies) {
        const uint32_t opened = jobsOpened + 1;
        *this = JobCounts{};
        jobsOpened = opened;
        doubleSided = doubleSidedPrinter;
        lastPage = firstPage;
        lastCopy = 1;
        pagesPlanned = pages;
        copiesPlanned = copies;
    }

    // A line drawn on `page` of `copy`, as the page accounting counts them.
    void linePrinted(uint32_t page, uint32_t copy) {
        count(linesPrinted);
        lastPage = page;
        lastCopy = copy;
    }
    // Control bytes the translation of a line dropped.
    void bytesDropped(uint32_t dropped) { droppedBytes = saturatingAdd(droppedBytes, dropped); }
    // A line that lost `characters` to the printing area's width.
    void lineCut(uint32_t characters) {
        count(linesCut);
        charactersCut = saturatingAdd(charactersCut, characters);
    }
    void lineIgnored() { count(linesIgnored); }
    void pageEnded() { count(pagesPrinted); }
    void blankPageAdded() { count(blankPages); }
    void copyFinished() { count(copiesFinished); }
    // The host closed the job, which had or had not reached its last page.
    void closed(bool reachedLastPage) { closedEarly = !reachedLastPage; }
    bool closedBeforeLastPage() const { return closedEarly; }
    // Pages ended that carry the host's lines, as the summary gives them.
    uint32_t pagesSent() const { return pagesPrinted; }

    // The summary of the job as it stands; `state` is one of the JOB_STATE values.
    void fill(JobSummary& summary, int32_t state) const;

    // Jobs opened since the library was loaded; each job's number.
    uint32_t jobsOpened = 0;

private:
    // Every count stops at its limit rather than wrapping to a small number.
    static void count(uint32_t& counter) { counter = saturatingAdd(counter, 1); }

    bool doubleSided = false;
    uint32_t pagesPrinted = 0;
    uint32_t blankPages = 0;
    uint32_t copiesFinished = 0;
    uint32_t lastPage = 0;
    uint32_t lastCopy = 0;
    uint32_t linesPrinted = 0;
    uint32_t linesCut = 0;
    uint32_t charactersCut = 0;
    uint32_t droppedBytes = 0;
    uint32_t linesIgnored = 0;
    uint32_t pagesPlanned = 0;
    uint32_t copiesPlanned = 0;
    bool closedEarly = false;
};

// Whether `page` of the range at `rangeIndex` is the last page of a copy: the last page of the
// last range the job's block uses.
inline bool endsACopy(const PrintOptions& options, int32_t rangeIndex, uint32_t page) {
    const int32_t last = usedRangeCount(options) - 1;
    return rangeIndex == last && page == rangeAt(options, last).lastPage;
}

// The bytes a line loses beyond the part the "ASCII" table converted: `text` is where the
// conversion stopped when the line buffer was full. Control bytes there are dropped rather than
// cut.
struct LineRest {
    uint32_t characters = 0;
    uint32_t dropped = 0;
};
inline LineRest measureRest(const char* text) {
    LineRest rest;
    for (const char* p = text; *p; ++p) {
        if (static_cast<unsigned char>(*p) >= 32) {
            rest.characters = saturatingAdd(rest.characters, 1);
        } else {
            rest.dropped = saturatingAdd(rest.dropped, 1);
        }
    }
    return rest;
}

} // namespace dotpress
