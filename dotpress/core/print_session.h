// The open job's device context and the page it is writing, and the driver operations that talk
// to a printer through its own device context.
#pragma once

#include "dotpress/core/job_state.h"
#include "dotpress/core/job_summary.h"
#include "dotpress/core/printer_table.h"
#include "platform/os.h"

#include <cstdint>

namespace dotpress {

constexpr int32_t STATUS_OK = 0;
constexpr int32_t STATUS_SPOOLER_ERROR = 1;
constexpr int32_t STATUS_NO_DC = 6;
constexpr int32_t STATUS_BUSY = 8;
constexpr int32_t STATUS_NOT_OPEN = 9;
constexpr int32_t STATUS_PROBE_NO_DC = 15;
constexpr int32_t STATUS_START_DOC_FAILED = 16;

constexpr size_t kLineBufferBytes = 520; // at most 519 bytes of text and a terminating zero

// Whether the line that makes `lines` on its page fills the page of a printing area of
// `areaLines`. A 16-bit count wraps around, so without an area a page holds 65536 lines; an
// area made shorter in the middle of a page ends that page at its next line rather than letting
// the lines run off the sheet. The session ends its device pages and the page accounting counts
// its pages by this one rule.
inline bool fillsPage(int16_t lines, uint16_t areaLines) {
    return lines == areaLines || (areaLines > 0 && lines > areaLines);
}

class PrintSession : public virtual PrinterTable, public virtual JobState {
public:
    PrintSession();
    ~PrintSession();

    // Driver operations (driver_escapes.cpp).
    int32_t readDeviceMode(PrinterRecord& record);
    int32_t getPrinterParams(PrinterRecord& record);
    int32_t setPrinterParams(PrinterRecord& record);
    int32_t showPrinterProperties(os::HWND owner, PrinterRecord& record);
    int32_t probeCustomFormat(uint32_t index, int16_t& result);
    int32_t testParamsEscape();

    // The document (print_session.cpp). A document on the printer's own format (the test sheet)
    // leaves out the binding margin: its lines start where the page does.
    int32_t beginDocument(const char* name, bool sheet = false);
    int32_t printLine(const char* line);
    int32_t endDocument();
    // Drops the open document: the spooler discards what it received.
    int32_t abortDocument();
    int32_t startPage();
    int32_t endPage();
    void convertLine(const char* line);
    void queryFontMetrics();

    bool jobOpen() const { return dc != nullptr; }

    PrinterRecord* jobRecord;
    os::HDC dc;
    int32_t pageOpen;
    int16_t pageLines;
    int32_t y;
    int32_t lineHeight;
    int32_t charWidth;
    char lineBuffer[kLineBufferBytes];
    int16_t lineLength;
    // The open job is the test sheet: on the printer's own format, with no binding margin; and no
    // job of the host's document, so how it ends makes no offer to go on with one.
    bool testSheet = false;
    // What the last job did, for ImpObtenerResumen.
    JobCounts counts;

private:
    // Deletes the job's device context, if any, and its record copy.
    void releaseJob();
};

} // namespace dotpress
