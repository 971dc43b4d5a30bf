// The run of portfix over the installed printers, through the operating-system seam.
#pragma once

#include "platform/os.h"

namespace portfix {

// Whether the printer belongs to us: its driver name begins with "VORN", in capitals.
bool isBraillePrinter(const os::PRINTER_INFO_2A& printer);

// Repairs one printer: an empty "Default DevMode" gets the minimal device mode, and the [Devices]
// and [PrinterPorts] entries that still name the 16-bit spooler are made to name `driver`, with
// the port the system reports and the time-outs they had. An empty `driver` leaves both entries
// alone.
void repairPrinter(const os::PRINTER_INFO_2A& printer, const char* driver);

// One pass over every local and connected printer. Nothing is reported: what cannot be read or
// allocated is skipped.
void repairAllPrinters(const char* driver);

} // namespace portfix
