// The print dialog component: the system print dialog with our template and hook, the page-list
// parser behind it, and the binding option's life in the registry. It answers
// ImpMostrarDialogoImprimir.
#pragma once

#include "dotpress/core/job_paper.h"
#include "dotpress/core/print_options.h"
#include "dotpress/core/printer_table.h"
#include "platform/os.h"

namespace dotpress {

constexpr int32_t STATUS_NOT_CONFIRMED = 1;
constexpr int32_t STATUS_NULL_OPTIONS = 7;
constexpr int32_t STATUS_NO_PRINTER = 13;

constexpr int32_t PAGE_LIST_MAX_CHARS = 25;
constexpr int PRINT_DIALOG_RESULT = 1011; // "Imprimir" ends the dialog with this

enum class PageToken { End, Dash, Comma, Number, Invalid };

class PrintDialog : public virtual PrinterTable, public virtual CancelledJob {
public:
    PrintDialog();
    ~PrintDialog();

    // The export's body: 13 (no printer, message shown), 7 (null block), 1 (cancelled, block
    // cleared) or 0 (accepted, block filled).
    int32_t showPrintDialog(os::HWND owner, PrintOptions* hostOptions, int32_t documentPages);

    static os::UINT_PTR OS_CALLBACK hookProc(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                             os::LPARAM lParam);
    os::INT_PTR initPrintDialog();
    void onPrintDialogCommand(int id, int code, os::HWND control);
    void fillPrinterList(os::HWND list);
    void showPrinterFacts(bool withBinding);
    bool collectOptions();
    bool fitsPaper();
    // The next token of pageListText from pageListPos; a number's value is left in *value.
    PageToken nextToken(uint64_t* value);
    // Reads pageListText into options.ranges; shows the user's mistake and fails on the first one.
    bool parsePageList();

    int32_t dialogPrinter = 0;
    PrintOptions options{}; // the working block, kept between runs
    os::PRINTDLGW printDlg{};
    os::HWND dialogWindow = nullptr; // the dialog being shown
    os::HWND bindingBox = nullptr;
    os::HWND pageListEdit = nullptr;
    char16_t pageListText[260] = {};
    int32_t pageListLength = 0;
    int32_t pageListPos = 0;
    static PrintDialog* instance;

    // What the dialog tells of the paper and offers after a cancel (print_dialog_paper.cpp).
    // The sheets line follows the choice as it stands; a page list that does not parse yet shows
    // no number, and no message while the user types.
    void showPaperUse();
    // Shows the offer to go on with the cancelled job when there is one for this document.
    void offerToGoOn();
    // The box ticked or unticked: the rest of the cancelled job in the range, page list, copies
    // and collation, or back to what the user had there.
    void onGoOnBox();
    // The rest of the cancelled job as the job's ranges, when the box is ticked and the page list
    // still says what the box put there (its ranges are kept exactly as they were cut, even where
    // typing the same text would move a range to its sheet).
    bool takeContinuation();

    bool dialogReady = false; // initialised, and not yet ended
    bool quietParse = false;  // the page list is read for the sheets line: no messages
    bool offering = false;    // the box is shown for `goOn`
    Continuation goOn{};
    char16_t goOnList[PAGE_LIST_MAX_CHARS + 1] = {};
    // What the box replaced, put back when it is unticked.
    int32_t keptRangeKind = RANGE_ALL;
    char16_t keptList[PAGE_LIST_MAX_CHARS + 1] = {};
    char16_t keptCopies[32] = {};
    os::UINT keptCollate = 0;

private:
    uint16_t maxPage() const { return printDlg.nMaxPage; }
    PrinterRecord& dialogRecord();
    // The binding box of the chosen printer: usable with two spare columns, else off for good.
    void showBinding();
    void showPageListMessage(const char16_t* text);
};

} // namespace dotpress
