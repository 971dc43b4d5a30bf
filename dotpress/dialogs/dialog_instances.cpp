// The class-wide pointers through which the dialog procedures reach their one object.
#include "dotpress/dialogs/page_config_dialog.h"
#include "dotpress/dialogs/page_setup_hook.h"
#include "dotpress/dialogs/printer_selection_dialog.h"

namespace dotpress {

PageConfigDialog* PageConfigDialog::instance = nullptr;
PageSetupHook* PageSetupHook::instance = nullptr;
PrinterSelectionDialog* PrinterSelectionDialog::instance = nullptr;

} // namespace dotpress
