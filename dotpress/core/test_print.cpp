#include "dotpress/core/test_print.h"

#include "dotpress/core/test_sheet.h"
#include "dotpress/dialogs/print_dialog.h"

namespace dotpress {

namespace {

constexpr char kDocumentName[] = "Hoja de prueba";

// At most this many of the thread's messages between two lines. A host window that posts itself
// its next piece of work, a window whose paint never validates, a timer slower than its period:
// each keeps the queue from ever emptying, so a loop that waited for an empty one would never get
// back to the sheet.
constexpr int kMessagesPerLine = 32;

// Hands up to kMessagesPerLine waiting messages to their windows as a modal dialog's loop does,
// the keys of the progress window through its dialog manager so that Enter, Esc and Space press
// "Cancelar"; it stops as soon as the sheet is no longer `running` (cancelled, or closed by the
// host's window procedures). False when it met WM_QUIT: that is posted again, for the host's own
// loop, which was asked to end.
template <typename Running> bool dispatchMessages(const PrintJob& job, Running running) {
    os::MSG message;
    for (int taken = 0; taken < kMessagesPerLine && running(); ++taken) {
        if (!os::PeekMessageW(&message, nullptr, 0, 0, os::PM_REMOVE)) {
            break;
        }
        if (message.message == os::WM_QUIT) {
            os::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (job.dialog && os::IsDialogMessageW(job.dialog, &message)) {
            continue;
        }
        os::TranslateMessage(&message);
        os::DispatchMessageW(&message);
    }
    return true;
}

uint16_t atLeastOne(int16_t value) {
    return value < 1 ? 1 : static_cast<uint16_t>(value);
}

} // namespace

int32_t printTestSheet(PrintJob& job, os::HWND owner) {
    if (job.jobOpen()) {
        return STATUS_BUSY;
    }
    if (!job.printerSelected()) {
        os::MessageBoxW(owner, u"Debe seleccionar una impresora.", u"Atención",
                        os::MB_OK | os::MB_ICONWARNING);
        return STATUS_NO_PRINTER;
    }
    // The printer's own page, whatever the host's document is laid out for and whatever the
    // binding option: the sheet shows the page the printer has.
    const PrinterParams& params = job.selectedRecord().params;
    SheetFormat format{atLeastOne(params.lines), atLeastOne(params.columns), job.ansiTable == 1,
                       params.doubleSided != 0};
    if (format.columns > kMaxSheetColumns) {
        format.columns = kMaxSheetColumns;
    }
    const uint32_t pages = TestSheet::pageCount(format);
    PrintOptions sheetOptions{};
    sheetOptions.rangeKind = RANGE_ALL;
    sheetOptions.copies = 1;
    sheetOptions.totalPages = pages;
    sheetOptions.rangeCount = 1;
    sheetOptions.ranges[0] = {1, pages};

    const uint16_t hostLines = job.areaLines;
    const uint16_t hostColumns = job.areaColumns;
    job.areaLines = format.lines;
    job.areaColumns = format.columns;
    const int32_t status = job.openJob(owner, kDocumentName, sheetOptions, true);
    if (status == STATUS_OK) {
        const uint32_t sheetJob = job.counts.jobsOpened;
        // While the sheet runs the owner takes no input, as under a modal dialog: the user is in
        // the progress window, and the host cannot start anything of ours meanwhile. The job
        // enables it again before its window goes, whoever closes it.
        job.disableOwner(owner);
        auto stillOurs = [&] { return job.jobOpen() && job.counts.jobsOpened == sheetJob; };
        auto running = [&] { return stillOurs() && !job.cancelRequested; };

        TestSheet sheet(format);
        char line[kMaxSheetColumns + 1];
        bool quit = !dispatchMessages(job, running);
        while (!quit && running() && sheet.next(line)) {
            job.printJobLine(line);
            quit = !dispatchMessages(job, running);
        }
        if (quit && stillOurs()) {
            // The program is ending: what was embossed is dropped, as on the user's cancel.
            job.cancelRequested = 1;
        }
        if (stillOurs()) {
            job.closeJob();
        }
    }
    // The host's area comes back, unless the host set another one meanwhile.
    if (job.areaLines == format.lines && job.areaColumns == format.columns) {
        job.areaLines = hostLines;
        job.areaColumns = hostColumns;
    }
    return status;
}

} // namespace dotpress
