// The component behind the library's own page configuration dialog.
#pragma once

#include "dotpress/core/printer_table.h"

namespace dotpress {

class PageConfigDialog : public virtual PrinterTable {
public:
    PageConfigDialog() { instance = this; }
    ~PageConfigDialog() {
        if (instance == this) {
            instance = nullptr;
        }
    }
    PrinterRecord* editedRecord = nullptr;
    static PageConfigDialog* instance;
};

} // namespace dotpress
