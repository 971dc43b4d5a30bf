// The 12-byte block of Braille page parameters: what the driver answers to escape 65281, what it
// is sent with escape 65282, and what the registry keeps as "DatosPag".
#pragma once

#include <cstddef>
#include <cstdint>

namespace dotpress {

constexpr int ESCAPE_GET_PRINTER_PARAMS = 65281;
constexpr int ESCAPE_SET_PRINTER_PARAMS = 65282;

struct PrinterParams {
    int16_t paperFormat; // index into the driver's (or our built-in) list of paper formats
    int16_t paperLength; // millimetres
    int16_t columns;     // characters per line
    int16_t lines;       // lines per page; 0 when the driver gave no parameters
    int16_t doubleSided; // nonzero when the embosser prints both sides
    int16_t reserved;    // the driver's; sent back as it came
};
static_assert(sizeof(PrinterParams) == 12, "PrinterParams is a 12-byte wire block");
static_assert(offsetof(PrinterParams, paperFormat) == 0, "PrinterParams.paperFormat");
static_assert(offsetof(PrinterParams, paperLength) == 2, "PrinterParams.paperLength");
static_assert(offsetof(PrinterParams, columns) == 4, "PrinterParams.columns");
static_assert(offsetof(PrinterParams, lines) == 6, "PrinterParams.lines");
static_assert(offsetof(PrinterParams, doubleSided) == 8, "PrinterParams.doubleSided");
static_assert(offsetof(PrinterParams, reserved) == 10, "PrinterParams.reserved");

// Used when no default block is stored, and for every printer whose driver gives none.
constexpr PrinterParams kBuiltInParams{1, 0, 40, 29, 0, 0};

} // namespace dotpress
