#include "dotpress/dialogs/page_config_dialog.h"

#include "dotpress/core/library_instance.h"
#include "dotpress/dialogs/page_fields.h"
#include "dotpress/resources/resource_ids.h"

#include <initializer_list>

namespace dotpress {

const PaperFormat kPaperFormatList[kPaperFormats] = {
    {u"12 pulgadas 42 columnas", 29, 42}, {u"12 pulgadas 40 columnas", 29, 40},
    {u"12 pulgadas 38 columnas", 29, 38}, {u"11 pulgadas 42 columnas", 26, 42},
    {u"11 pulgadas 40 columnas", 26, 40}, {u"11 pulgadas 38 columnas", 26, 38},
    {u"Definido por el usuario.", 0, 0},
};

namespace {

// A field's value as the record keeps it (cut to 16 bits), within the user-defined limits.
int16_t clampedField(os::HWND dialog, int id, int16_t low, int16_t high) {
    const int16_t value = fieldValue(dialog, id);
    return value < low ? low : value > high ? high : value;
}

} // namespace

int32_t PageConfigDialog::runPageConfig(os::HWND owner) {
    PrinterRecord& record = selectedRecord();
    editedRecord = copyRecord(record);
    if (!editedRecord) {
        return 0; // no memory for the working copy: the record stays as it is
    }
    const os::INT_PTR result = os::DialogBoxParamW(
        moduleHandle, os::MAKEINTRESOURCEW(IDD_PAGE_CONFIG), owner, dialogProc, 0);
    if (result > 0) {
        copyRecordInto(*editedRecord, &record);
    }
    freeRecord(editedRecord);
    editedRecord = nullptr;
    return 0;
}

os::INT_PTR OS_CALLBACK PageConfigDialog::dialogProc(os::HWND dialog, os::UINT message,
                                                     os::WPARAM wParam, os::LPARAM) {
    PageConfigDialog* self = instance;
    if (!self || !self->editedRecord) {
        return os::FALSE;
    }
    if (message == os::WM_INITDIALOG) {
        self->openDialog(dialog);
        return os::TRUE; // the system puts the focus on the paper list
    }
    if (message == os::WM_COMMAND) {
        self->command(dialog, os::LOWORD(wParam), os::HIWORD(wParam));
    }
    return os::FALSE;
}

void PageConfigDialog::openDialog(os::HWND dialog) {
    PrinterParams& params = editedRecord->params;
    // A format the list does not have, stored by someone else, opens on the default format.
    if (params.paperFormat < 0 || params.paperFormat > kUserDefinedFormat) {
        params.paperFormat = kDefaultFormat;
        params.lines = kPaperFormatList[kDefaultFormat].lines;
        params.columns = kPaperFormatList[kDefaultFormat].columns;
    }
    if (const os::HWND list = os::GetDlgItem(dialog, IDC_PAGE_PAPER)) {
        os::SendMessageW(list, os::CB_RESETCONTENT, 0, 0);
        for (const PaperFormat& format : kPaperFormatList) {
            os::SendMessageW(list, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(format.text));
        }
        os::SendMessageW(list, os::CB_SETCURSEL, static_cast<os::WPARAM>(params.paperFormat), 0);
        takeListChoice(dialog);
    }
    // What only the printer's driver can set has no use here.
    for (int id : {IDC_PAGE_PRINTER_SETUP, IDC_PAGE_RESTORE, IDC_PAGE_LENGTH}) {
        if (const os::HWND control = os::GetDlgItem(dialog, id)) {
            os::EnableWindow(control, os::FALSE);
        }
    }
    refresh(dialog);
}

void PageConfigDialog::command(os::HWND dialog, int id, os::WORD code) {
    PrinterParams& params = editedRecord->params;
    switch (id) {
    case IDC_PAGE_LINES:
    case IDC_PAGE_COLUMNS:
        if (code == os::EN_KILLFOCUS) {
            // However the focus leaves (Tab, a click elsewhere or on Aceptar, the dialog's end),
            // only a number the user changed is held to the limits: a stored value out of range
            // that nobody touched stays as it is.
            takeChangedField(dialog, id);
        } else if (code == os::EN_SETFOCUS) {
            selectWholeText(dialog, id);
        }
        break;
    case IDC_PAGE_PAPER:
        if (code == os::CBN_SELCHANGE) {
            takeListChoice(dialog);
        }
        break;
    case os::IDOK:
        if (const os::HWND list = os::GetDlgItem(dialog, IDC_PAGE_PAPER)) {
            params.paperFormat =
                static_cast<int16_t>(os::SendMessageW(list, os::CB_GETCURSEL, 0, 0));
        }
        // Enter accepts while a field may still have the focus: a number typed there and not
        // yet left is taken now, within the same limits, and shown as taken, so that the focus
        // leaving the field as the dialog ends changes nothing more.
        for (int field : {IDC_PAGE_LINES, IDC_PAGE_COLUMNS}) {
            if (hasFocus(dialog, field)) {
                takeChangedField(dialog, field);
            }
        }
        os::EndDialog(dialog, 1);
        break;
    case os::IDCANCEL:
        os::EndDialog(dialog, 0);
        break;
    default:
        break;
    }
}

void PageConfigDialog::takeChangedField(os::HWND dialog, int id) {
    PrinterParams& params = editedRecord->params;
    const bool lines = id == IDC_PAGE_LINES;
    int16_t& value = lines ? params.lines : params.columns;
    if (!fieldChanged(dialog, id, fieldNumber(value))) {
        return;
    }
    value = lines ? clampedField(dialog, id, kMinLines, kMaxLines)
                  : clampedField(dialog, id, kMinColumns, kMaxColumns);
    showField(dialog, id, fieldNumber(value));
    showField(dialog, lines ? IDC_PAGE_PICTURE_LINES : IDC_PAGE_PICTURE_COLUMNS,
              fieldNumber(value));
}

void PageConfigDialog::takeListChoice(os::HWND dialog) {
    PrinterParams& params = editedRecord->params;
    const os::LRESULT chosen =
        os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_PAPER), os::CB_GETCURSEL, 0, 0);
    params.paperFormat = static_cast<int16_t>(chosen);
    if (chosen >= 0 && chosen < kUserDefinedFormat) {
        params.lines = kPaperFormatList[chosen].lines;
        params.columns = kPaperFormatList[chosen].columns;
    }
    refresh(dialog);
}

void PageConfigDialog::refresh(os::HWND dialog) {
    const PrinterParams& params = editedRecord->params;
    showPage(dialog, params);
}

} // namespace dotpress
