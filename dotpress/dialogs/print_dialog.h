// The print dialog component: the system print dialog with our template and hook, the page-list
// parser behind it, and the binding option's life in the registry. It answers
// ImpMostrarDialogoImprimir.
#pragma once

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

class PrintDialog : public virtual PrinterTable {
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

private:
    uint16_t maxPage() const { return printDlg.nMaxPage; }
    PrinterRecord& dialogRecord();
    // The binding box of the chosen printer: usable with two spare columns, else off for good.
    void showBinding();
    void showPageListMessage(const char16_t* text);
};

} // namespace dotpress
