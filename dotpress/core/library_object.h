// The one object of the library: every component, sharing one printer table, one job state and
// one print session through virtual inheritance. Building it builds the printer table;
// destroying it stores the settings.
#pragma once

#include "dotpress/core/print_job.h"
#include "dotpress/dialogs/page_config_dialog.h"
#include "dotpress/dialogs/page_setup_hook.h"
#include "dotpress/dialogs/print_dialog.h"
#include "dotpress/dialogs/printer_selection_dialog.h"

namespace dotpress {

class LibraryObject : public virtual PrintDialog,
                      public virtual PageConfigDialog,
                      public virtual PageSetupHook,
                      public virtual PrinterSelectionDialog,
                      public virtual PrintJob {
public:
    LibraryObject();
    ~LibraryObject();

    // What must outlive the process: the default page parameters and the binding option.
    void storeSettings();

    // ImpConfigurarPagina: the system's page setup with the hook for a selected printer whose
    // driver answers the parameter escapes, the library's own dialog otherwise.
    void configurePage(os::HWND owner);

private:
    void buildPrinterTable();
    void addPrinter(uint32_t index, const os::PRINTER_INFO_2W& info);
};

} // namespace dotpress
