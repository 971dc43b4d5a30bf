// The component behind the hook on the system page-setup dialog.
#pragma once

#include "dotpress/core/print_session.h"

namespace dotpress {

class PageSetupHook : public virtual PrintSession {
public:
    PageSetupHook() { instance = this; }
    ~PageSetupHook() {
        if (instance == this) {
            instance = nullptr;
        }
    }
    PrinterRecord* editedRecord = nullptr;
    static PageSetupHook* instance;
};

} // namespace dotpress
