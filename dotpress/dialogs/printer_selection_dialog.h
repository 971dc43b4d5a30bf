// The component behind the printer selection dialog.
#pragma once

#include "dotpress/core/printer_table.h"

namespace dotpress {

class PrinterSelectionDialog : public virtual PrinterTable {
public:
    PrinterSelectionDialog() { instance = this; }
    ~PrinterSelectionDialog() {
        if (instance == this) {
            instance = nullptr;
        }
    }
    int32_t dialogPrinter = 0;
    static PrinterSelectionDialog* instance;
};

} // namespace dotpress
