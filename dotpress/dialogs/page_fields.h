// What the two page dialogs (the library's own and the hook on the system's page setup) do alike
// with template 1546: its number fields, the labels beside the page picture, and the paper list
// that unlocks the fields only on its last, user-defined entry.
#pragma once

#include "dotpress/core/printer_params.h"
#include "platform/os.h"

namespace dotpress {

// A number field's value as a record keeps it: the unsigned reading (0 for no number), cut to
// 16 bits.
int16_t fieldValue(os::HWND dialog, int id);
void showField(os::HWND dialog, int id, int32_t value);
// The whole text of an edit selected, so that the next key replaces it.
void selectWholeText(os::HWND dialog, int id);
// Selects the record's entry of the paper list, shows lines and columns in their fields and
// beside the page picture, and lets the fields be edited only on the list's last entry.
void showPage(os::HWND dialog, const PrinterParams& params);

} // namespace dotpress
