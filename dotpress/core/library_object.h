// The one object of the library: every component, sharing one printer table, one job state and
// one print session through virtual inheritance. Building it reads the binding option; the
// printer table is built by the first call that needs it; destroying it stores the settings.
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

    // Builds the printer table the first time. Not at load: the loader lock is held then, and
    // enumerating printers and asking their drivers goes to the spooler, the drivers' own
    // libraries and GDI, and may show a message box. That box runs a modal loop in which the
    // host's windows may call us again: until the table is whole, the answer is false.
    bool ensurePrinterTable();

    // ImpConfigurarPagina: the system's page setup with the hook for a selected printer whose
    // driver answers the parameter escapes, the library's own dialog otherwise.
    void configurePage(os::HWND owner);

private:
    // A table never built has its default record read from the registry at unload, so that the
    // default parameters are written back as they were stored (or the built-in ones, created).
    void ensureDefaultRecord();
    void buildPrinterTable();

    enum class Table { NotBuilt, Building, Built };
    Table table = Table::NotBuilt;
    void addPrinter(uint32_t index, const os::PRINTER_INFO_2W& info);
};

} // namespace dotpress
