#include "dotpress/core/test_print.h"

#include "dotpress/core/test_sheet.h"
#include "dotpress/dialogs/print_dialog.h"

namespace dotpress {

namespace {

constexpr char kDocumentName[] = "Hoja de prueba";

// Hands the thread's waiting messages to their windows as a modal dialog's loop does, the keys
// of the progress window through its dialog manager so that Enter, Esc and Space press
// "Cancelar". False when the loop met WM_QUIT: it is posted again, for the host's own loop, which
// was asked to end.
bool dispatchMessages(os::HWND progress) {
    os::MSG message;
    while (os::PeekMessageW(&message, nullptr, 0, 0, os::PM_REMOVE)) {
        if (message.message == os::WM_QUIT) {
            os::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (progress && os::IsDialogMessageW(progress, &message)) {
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
    // The printer's own page, whatever the host's document is laid out for.
    const PrinterParams& params = job.selectedRecord().params;
    SheetFormat format{atLeastOne(params.lines), atLeastOne(params.columns), job.ansiTable == 1};
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
    const int32_t status = job.openJob(owner, kDocumentName, sheetOptions);
    if (status == STATUS_OK) {
        const uint32_t sheetJob = job.counts.jobsOpened;
        // While the sheet runs the owner takes no input, as under a modal dialog: the user is in
        // the progress window, and the host cannot start anything of ours meanwhile. The job
        // enables it again before its window goes, whoever closes it.
        job.disableOwner(owner);
        auto stillOurs = [&] { return job.jobOpen() && job.counts.jobsOpened == sheetJob; };

        TestSheet sheet(format);
        char line[kMaxSheetColumns + 1];
        bool quit = !dispatchMessages(job.dialog);
        while (!quit && stillOurs() && !job.cancelRequested && sheet.next(line)) {
            job.printJobLine(line);
            quit = !dispatchMessages(job.dialog);
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
