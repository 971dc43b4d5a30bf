#include "dotpress/dialogs/page_fields.h"

#include "dotpress/resources/resource_ids.h"

namespace dotpress {

os::UINT fieldNumber(int16_t value) {
    return static_cast<uint16_t>(value);
}

void showField(os::HWND dialog, int id, os::UINT number) {
    os::SetDlgItemInt(dialog, id, number, os::FALSE);
}

os::UINT readField(os::HWND dialog, int id) {
    return os::GetDlgItemInt(dialog, id, nullptr, os::FALSE);
}

int16_t fieldValue(os::HWND dialog, int id) {
    return static_cast<int16_t>(static_cast<uint16_t>(readField(dialog, id) & 0xFFFF));
}

bool fieldChanged(os::HWND dialog, int id, os::UINT shown) {
    return readField(dialog, id) != shown;
}

bool hasFocus(os::HWND dialog, int id) {
    const os::HWND field = os::GetDlgItem(dialog, id);
    return field && os::GetFocus() == field;
}

void selectWholeText(os::HWND dialog, int id) {
    os::SendMessageW(os::GetDlgItem(dialog, id), os::EM_SETSEL, 0, -1);
}

void showPage(os::HWND dialog, const PrinterParams& params) {
    const os::HWND list = os::GetDlgItem(dialog, IDC_PAGE_PAPER);
    os::SendMessageW(list, os::CB_SETCURSEL, static_cast<os::WPARAM>(params.paperFormat), 0);
    showField(dialog, IDC_PAGE_LINES, fieldNumber(params.lines));
    showField(dialog, IDC_PAGE_PICTURE_LINES, fieldNumber(params.lines));
    showField(dialog, IDC_PAGE_COLUMNS, fieldNumber(params.columns));
    showField(dialog, IDC_PAGE_PICTURE_COLUMNS, fieldNumber(params.columns));
    const os::LRESULT entries = os::SendMessageW(list, os::CB_GETCOUNT, 0, 0);
    const bool userDefined = entries > 0 && params.paperFormat == entries - 1;
    const os::WPARAM locked = userDefined ? os::FALSE : os::TRUE;
    os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_LINES), os::EM_SETREADONLY, locked, 0);
    os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_COLUMNS), os::EM_SETREADONLY, locked, 0);
}

} // namespace dotpress
