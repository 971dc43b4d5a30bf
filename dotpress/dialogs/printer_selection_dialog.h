// The component behind the printer selection dialog: the system's print-setup dialog with the
// library's template and a hook that lists the library's own printer table.
#pragma once

#include "dotpress/core/printer_table.h"
#include "platform/os.h"

namespace dotpress {

class PrinterSelectionDialog : public virtual PrinterTable {
public:
    PrinterSelectionDialog() { instance = this; }
    ~PrinterSelectionDialog() {
        if (instance == this) {
            instance = nullptr;
        }
    }

    // ImpSeleccionarImpresora: shows the dialog; the outcome is only in `selected` and, after
    // "&Predeterminar", in the registry.
    int32_t selectPrinter(os::HWND owner);

    // The entry chosen in the open dialog: a table index, or `count` for no printer.
    int32_t dialogPrinter = 0;
    static PrinterSelectionDialog* instance;

private:
    static os::UINT_PTR OS_CALLBACK hookProc(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                             os::LPARAM lParam);
    void initDialog(os::HWND dialog);
    // True where the hook has answered the command alone and the system must not see it.
    bool command(os::HWND dialog, int id, os::WORD code, os::HWND control);
    void showChoice(os::HWND dialog);
};

} // namespace dotpress
