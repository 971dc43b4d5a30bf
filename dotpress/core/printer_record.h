// One printer of the table: its names, its device mode and its Braille page parameters.
#pragma once

#include "dotpress/core/printer_params.h"

#include <cstdint>

namespace dotpress {

constexpr size_t kNameUnits = 260; // including the terminating null

struct PrinterRecord {
    PrinterParams params;      // first, so that the escapes can read and write it in place
    char16_t name[kNameUnits]; // device name for CreateDCW, printer name for the spooler
    char16_t port[kNameUnits]; // output for CreateDCW
    char16_t driver[kNameUnits];
    int32_t adjustBothSides; // the print dialog's "adjust both sides" state for this printer
    uint32_t devModeSize;    // bytes of devMode, public part and driver bytes
    uint8_t* devMode;        // owned by the record; null when the printer could not be read
    int16_t customFormat;    // the driver's answer to a paper format it does not take
};

// Copies a UTF-16 text into a name field, cut to fit and always terminated.
void copyName(char16_t (&field)[kNameUnits], const char16_t* text);
// Number of units before the terminating null, never more than the field holds.
size_t nameLength(const char16_t (&field)[kNameUnits]);

// A new record with all fields of the source and its own copy of the device mode; null when
// memory runs out. Release it with freeRecord.
PrinterRecord* copyRecord(const PrinterRecord& source);
// Copies every field of source over target, which gets its own copy of the source's device mode
// in place of its previous one. A null target is left alone; so is the target when memory runs
// out (then the result is false).
bool copyRecordInto(const PrinterRecord& source, PrinterRecord* target);
// Releases the record's device mode, then the record. Null is allowed.
void freeRecord(PrinterRecord* record);
// Releases only the device mode of a record that lives in the table.
void releaseDevMode(PrinterRecord& record);

// A device mode states its own size (dmSize + dmDriverExtra), and whatever takes the block reads
// that many bytes. The claim is the driver's word: a block whose claim exceeds the `bytes` that
// hold it (or too short to hold the claim at all) is never handed on.
bool devModeFits(const uint8_t* devMode, uint32_t bytes);
// The record's device mode when its claim fits its buffer, else null.
const uint8_t* trustedDevMode(const PrinterRecord& record);

} // namespace dotpress
