#include "dotpress/dialogs/page_fields.h"

#include "dotpress/resources/resource_ids.h"

namespace dotpress {

int16_t fieldValue(os::HWND dialog, int id) {
    return static_cast<int16_t>(os::GetDlgItemInt(dialog, id, nullptr, os::FALSE));
}

void showField(os::HWND dialog, int id, int32_t value) {
    // Signed: a driver's or a stored block's negative number shows as such, not as 4294967xxx.
    os::SetDlgItemInt(dialog, id, static_cast<os::UINT>(value), os::TRUE);
}

void selectWholeText(os::HWND dialog, int id) {
    os::SendMessageW(os::GetDlgItem(dialog, id), os::EM_SETSEL, 0, -1);
}

void showPage(os::HWND dialog, const PrinterParams& params) {
    const os::HWND list = os::GetDlgItem(dialog, IDC_PAGE_PAPER);
    os::SendMessageW(list, os::CB_SETCURSEL, static_cast<os::WPARAM>(params.paperFormat), 0);
    showField(dialog, IDC_PAGE_LINES, params.lines);
    showField(dialog, IDC_PAGE_PICTURE_LINES, params.lines);
    showField(dialog, IDC_PAGE_COLUMNS, params.columns);
    showField(dialog, IDC_PAGE_PICTURE_COLUMNS, params.columns);
    const os::LRESULT entries = os::SendMessageW(list, os::CB_GETCOUNT, 0, 0);
    const bool userDefined = entries > 0 && params.paperFormat == entries - 1;
    const os::WPARAM locked = userDefined ? os::FALSE : os::TRUE;
    os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_LINES), os::EM_SETREADONLY, locked, 0);
    os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_COLUMNS), os::EM_SETREADONLY, locked, 0);
}

} // namespace dotpress
