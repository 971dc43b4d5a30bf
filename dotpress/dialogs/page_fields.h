// What the two page dialogs (the library's own and the hook on the system's page setup) do alike
// with template 1546: its number fields, the labels beside the page picture, and the paper list
// that unlocks the fields only on its last, user-defined entry.
#pragma once

#include "dotpress/core/printer_params.h"
#include "platform/os.h"

namespace dotpress {

// The number fields hold unsigned decimals (they take digits only). A record's value is shown as
// its 16 bits read unsigned, so that reading the field back gives the same 16 bits: a driver's
// -5 shows as 65531 and goes back as -5, never as the 0 that "-5" would read as.
os::UINT fieldNumber(int16_t value);
void showField(os::HWND dialog, int id, os::UINT number);
// The field's number as it stands (0 when the text is no number).
os::UINT readField(os::HWND dialog, int id);
// A number field's value as a record keeps it: the field's number cut to 16 bits.
int16_t fieldValue(os::HWND dialog, int id);
// Field `id` holds another number than `shown`, the one the dialog last put there: the user
// changed it. Typing the same number again, or other digits for it ("012"), is no change.
bool fieldChanged(os::HWND dialog, int id, os::UINT shown);
// Field `id` of the dialog has the focus.
bool hasFocus(os::HWND dialog, int id);
// The whole text of an edit selected, so that the next key replaces it.
void selectWholeText(os::HWND dialog, int id);
// Selects the record's entry of the paper list, shows lines and columns in their fields and
// beside the page picture, and lets the fields be edited only on the list's last entry.
void showPage(os::HWND dialog, const PrinterParams& params);

} // namespace dotpress
