#include "dotpress/dialogs/print_dialog.h"

#include "dotpress/settings/registry_settings.h"

#include <cstring>

namespace dotpress {

PrintDialog* PrintDialog::instance = nullptr;

PrintDialog::PrintDialog() {
    instance = this;
    settings::loadBinding(*this);
}

PrintDialog::~PrintDialog() {
    settings::saveBinding(*this);
    if (instance == this) {
        instance = nullptr;
    }
}

int32_t PrintDialog::showPrintDialog(os::HWND owner, PrintOptions* hostOptions,
                                     int32_t documentPages) {
    (void)documentPages;
    if (!printerSelected()) {
        os::MessageBoxW(owner, u"Debe seleccionar una impresora.", u"Atención",
                        os::MB_OK | os::MB_ICONWARNING);
        return STATUS_NO_PRINTER;
    }
    if (!hostOptions) {
        return STATUS_NULL_OPTIONS;
    }
    std::memset(hostOptions, 0, sizeof *hostOptions);
    // The dialog itself is not part of this build yet: it ends as a cancelled one does.
    return STATUS_NOT_CONFIRMED;
}

} // namespace dotpress
