// The choices kept between runs under HKCU\Software\Vorn\DefDotpress: the default page
// parameters ("DatosPag"), the binding option ("Encuadernar") and the default printer
// ("NombreImp"). Each operation opens the key for its own use and closes it again.
#pragma once

#include "dotpress/core/printer_table.h"

namespace dotpress::settings {

extern const char16_t kSettingsKey[];

// Object construction: binding, before the table exists.
void loadBinding(PrinterTable& table);
// Table building: the default record's block; 1 when the stored block was used.
int loadDefaultParams(PrinterTable& table);
// Table building, after the printers: selected from the stored name.
void restoreSelectedPrinter(PrinterTable& table);
// Unload: the default record's block; 1 when written.
int saveDefaultParams(PrinterTable& table);
// Unload, after the block.
void saveBinding(PrinterTable& table);
// The selection dialog's "&Predeterminar": stores, or deletes when no printer is selected.
void saveDefaultPrinter(PrinterTable& table);

} // namespace dotpress::settings
