#include "dotpress/dialogs/printer_selection_dialog.h"

#include "dotpress/core/library_instance.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"

namespace dotpress {

namespace {

// A number of the chosen record, or nothing where the record holds 0.
void showNumber(os::HWND dialog, int id, int16_t value) {
    if (value == 0) {
        os::SetDlgItemTextW(dialog, id, u"");
    } else {
        os::SetDlgItemInt(dialog, id, static_cast<os::UINT>(static_cast<int32_t>(value)), 1);
    }
}

} // namespace

int32_t PrinterSelectionDialog::selectPrinter(os::HWND owner) {
    os::PRINTDLGW setup{};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = owner;
    setup.hInstance = moduleHandle;
    // Windows calls the setup hook in print-setup mode; Wine calls only the print hook, in either
    // mode. The same hook is named for both, so that the dialog lists our table on both systems;
    // Windows never shows the print dialog here and so never calls the print hook.
    setup.Flags = os::PD_PRINTSETUP | os::PD_ENABLESETUPHOOK | os::PD_ENABLEPRINTHOOK |
                  os::PD_ENABLESETUPTEMPLATE | os::PD_NONETWORKBUTTON;
    setup.lpSetupTemplateName = os::MAKEINTRESOURCEW(IDD_SELECT_PRINTER);
    setup.lpfnSetupHook = hookProc;
    setup.lpfnPrintHook = hookProc;
    os::PrintDlgW(&setup);
    // On "Aceptar" the system hands back the device mode and names of its own choice; the
    // choice that counts is ours, but the blocks are ours to free all the same.
    os::GlobalFree(setup.hDevMode);
    os::GlobalFree(setup.hDevNames);
    return 0;
}

os::UINT_PTR OS_CALLBACK PrinterSelectionDialog::hookProc(os::HWND dialog, os::UINT message,
                                                          os::WPARAM wParam, os::LPARAM lParam) {
    PrinterSelectionDialog* self = instance;
    if (!self) {
        return os::FALSE;
    }
    if (message == os::WM_INITDIALOG) {
        self->initDialog(dialog);
        return os::TRUE;
    }
    if (message == os::WM_COMMAND) {
        // FALSE for commands the system must see too: it closes the dialog on "Aceptar" and
        // "Cancelar" and shows the facts of a printer chosen in the list.
        return self->command(dialog, os::LOWORD(wParam), os::HIWORD(wParam),
                             reinterpret_cast<os::HWND>(lParam))
                   ? os::TRUE
                   : os::FALSE;
    }
    return os::FALSE;
}

void PrinterSelectionDialog::initDialog(os::HWND dialog) {
    dialogPrinter = static_cast<int32_t>(selected < count ? selected : count);
    const os::HWND list = os::GetDlgItem(dialog, IDC_SELECT_LIST);
    // The system has listed its printers; the list must be the table's, index for index.
    os::SendMessageW(list, os::CB_RESETCONTENT, 0, 0);
    for (uint32_t i = 0; i < count; ++i) {
        os::SendMessageW(list, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(records[i].name));
    }
    os::SendMessageW(list, os::CB_ADDSTRING, 0,
                     reinterpret_cast<os::LPARAM>(u"No seleccionar impresora"));
    os::SendMessageW(list, os::CB_SETCURSEL, static_cast<os::WPARAM>(dialogPrinter), 0);
    // Both the hook and the system show the facts of the first entry as on any later change.
    os::SendMessageW(dialog, os::WM_COMMAND, os::MAKEWPARAM(IDC_SELECT_LIST, os::CBN_SELCHANGE),
                     reinterpret_cast<os::LPARAM>(list));
}

bool PrinterSelectionDialog::command(os::HWND dialog, int id, os::WORD code, os::HWND control) {
    if (id == os::IDOK) {
        selected = static_cast<uint32_t>(dialogPrinter);
    } else if (id == IDC_SELECT_DEFAULT) {
        selected = static_cast<uint32_t>(dialogPrinter);
        settings::saveDefaultPrinter(*this);
        os::EndDialog(dialog, 0);
    } else if (id == IDC_SELECT_LIST && code == os::CBN_SELCHANGE) {
        const os::LRESULT chosen = os::SendMessageW(control, os::CB_GETCURSEL, 0, 0);
        // A list with no selection (CB_ERR) leaves the choice as it was: never an index past
        // the table.
        if (chosen >= 0 && static_cast<uint64_t>(chosen) <= count) {
            dialogPrinter = static_cast<int32_t>(chosen);
        }
        showChoice(dialog);
        // The system's own handling opens the printer the entry names. "No seleccionar
        // impresora" (or no entry at all) names none, and a failed open leaves the system
        // dialog's printer and driver blocks freed but still held, to be freed again later:
        // that change is answered here alone.
        return chosen < 0 || static_cast<uint64_t>(chosen) >= count;
    }
    return false;
}

void PrinterSelectionDialog::showChoice(os::HWND dialog) {
    const PrinterParams& params = records[dialogPrinter].params;
    showNumber(dialog, IDC_SELECT_LINES, params.lines);
    showNumber(dialog, IDC_SELECT_COLUMNS, params.columns);
    os::SetDlgItemTextW(dialog, IDC_SELECT_TYPE, u"");
    os::SetDlgItemTextW(dialog, IDC_SELECT_STATUS, u"");
    os::SetDlgItemTextW(dialog, IDC_SELECT_LOCATION, u"");
}

} // namespace dotpress
