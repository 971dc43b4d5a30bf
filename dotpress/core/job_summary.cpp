#include "dotpress/core/job_summary.h"

namespace dotpress {

void JobCounts::fill(JobSummary& summary, int32_t state) const {
    summary.state = state;
    summary.pagesPrinted = pagesPrinted;
    summary.blankPages = blankPages;
    // Every face is a side of a sheet: on a double-sided embosser the empty backs keep each
    // range's first page on a front, so the faces pair up in the order they were printed.
    const uint64_t faces = static_cast<uint64_t>(pagesPrinted) + blankPages;
    summary.sheets = saturated(doubleSided ? faces / 2 + faces % 2 : faces);
    summary.copiesFinished = copiesFinished;
    summary.lastPage = lastPage;
    summary.lastCopy = lastCopy;
    summary.linesPrinted = linesPrinted;
    summary.linesCut = linesCut;
    summary.charactersCut = charactersCut;
    summary.bytesDropped = droppedBytes;
    summary.linesIgnored = linesIgnored;
    summary.jobNumber = jobsOpened;
    summary.pagesPlanned = pagesPlanned;
    summary.copiesPlanned = copiesPlanned;
}

} // namespace dotpress
