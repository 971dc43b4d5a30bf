// The text rules for the printer's entries in the legacy profile sections [Devices] and
// [PrinterPorts]: which entries still name the 16-bit spooler, where their time-outs are, and the
// entries that replace them. Everything here works inside one 64-byte entry buffer.
#pragma once

#include <cstddef>

namespace portfix {

// One entry as read from the profile: at most 63 characters and the terminating null.
constexpr size_t kEntrySize = 64;

// Time-outs, in seconds, for an entry that does not show its own.
constexpr int kDefaultDeviceNotSelected = 15;
constexpr int kDefaultTransmissionRetry = 45;

struct TimeOuts {
    int deviceNotSelected = kDefaultDeviceNotSelected;
    int transmissionRetry = kDefaultTransmissionRetry;
};

// The decimal number at text[at, length): blanks skipped, an optional sign, then the digits up
// to the first other character. More digits than an int holds give INT_MAX (or -INT_MAX).
int decimalAt(const char* text, size_t at, size_t length);

// Length of a text of at most `limit` bytes; never looks past the first null or the limit.
size_t boundedLength(const char* text, size_t limit);

// Whether the entry agrees with "winspl16" over the argument's length, the way the old
// registration is recognised: a short argument compares a prefix, a long one asks for the whole
// placeholder and nothing behind it. An empty argument names no driver, so it matches nothing.
bool namesOldSpooler(const char* entry, const char* argument);

// The two time-outs at the end of a [PrinterPorts] entry of `length` characters. Each is found
// by looking four characters backwards for a comma and reading the number behind it; the scans
// stop at the start of the entry and read nothing beyond its last character.
TimeOuts timeOutsOf(const char* entry, size_t length);

// New entries: "argument,port" and "argument,port,deviceNotSelected,transmissionRetry". When the
// result would not fit the buffer, false is returned and the buffer must not be written back.
bool buildDevicesEntry(char (&buffer)[kEntrySize], const char* argument, const char* port);
bool buildPrinterPortsEntry(char (&buffer)[kEntrySize], const char* argument, const char* port,
                            TimeOuts timeOuts);

} // namespace portfix
