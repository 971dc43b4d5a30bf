#include "portfix/repair.h"

#include "portfix/devmode.h"
#include "portfix/profile_entry.h"

#include <cstring>

namespace portfix {

namespace {

constexpr char kPrintersKey[] = "System\\CurrentControlSet\\Control\\Print\\Printers\\";
constexpr char kDefaultDevMode[] = "Default DevMode";
constexpr char kDevices[] = "Devices";
constexpr char kPrinterPorts[] = "PrinterPorts";
constexpr char kOurDrivers[] = "VORN";

// Only an empty "Default DevMode" is ours to fill; a missing value, or one with data, belongs to
// the spooler and the driver and stays as it is.
void repairDefaultDevMode(const char* printerName) {
    const size_t prefix = sizeof kPrintersKey - 1;
    const size_t name = std::strlen(printerName);
    auto* path = static_cast<char*>(os::LocalAlloc(os::LMEM_FIXED, prefix + name + 1));
    if (!path) {
        return;
    }
    std::memcpy(path, kPrintersKey, prefix);
    std::memcpy(path + prefix, printerName, name + 1);

    os::HKEY key{};
    if (os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, path, 0, os::KEY_QUERY_VALUE | os::KEY_SET_VALUE,
                          &key) == os::ERROR_SUCCESS) {
        os::DWORD size = 0;
        if (os::RegQueryValueExA(key, kDefaultDevMode, nullptr, nullptr, nullptr, &size) ==
                os::ERROR_SUCCESS &&
            size == 0) {
            const DevModeA devMode = defaultDevMode(printerName);
            os::RegSetValueExA(key, kDefaultDevMode, 0, os::REG_BINARY,
                               reinterpret_cast<const os::BYTE*>(&devMode), sizeof devMode);
        }
        os::RegCloseKey(key);
    }
    os::LocalFree(path);
}

// The longest entry read: far beyond any port and time-outs, and bounded all the same.
constexpr os::DWORD kMaxEntryBytes = 32768;

// The printer's entry of `section`, read whole into a block of its own (LocalFree it), or null
// when it is longer than kMaxEntryBytes or memory runs out. GetProfileStringA cuts an entry to
// the buffer it is given; one rewritten from its cut text would lose its end, the time-outs with
// it. An answer that fills the buffer may be such a cut, so the entry is read again with room
// to spare.
char* readWholeEntry(const char* section, const char* printerName) {
    for (os::DWORD size = kEntrySize; size <= kMaxEntryBytes; size *= 2) {
        auto* entry = static_cast<char*>(os::LocalAlloc(os::LMEM_FIXED, size));
        if (!entry) {
            return nullptr;
        }
        if (os::GetProfileStringA(section, printerName, "", entry, size) + 1 < size) {
            return entry;
        }
        os::LocalFree(entry);
    }
    return nullptr;
}

// The entry of `section` when it still names the old spooler, else null (LocalFree it).
char* readOldEntry(const char* section, const char* printerName, const char* driver) {
    char* entry = readWholeEntry(section, printerName);
    if (entry && !namesOldSpooler(entry, driver)) {
        os::LocalFree(entry);
        return nullptr;
    }
    return entry;
}

// The new entry is built in the 64-byte buffer the old registration used: one that would not fit
// it is not written, and the old entry stays as it is.
void repairDevicesEntry(const os::PRINTER_INFO_2A& printer, const char* driver) {
    char* old = readOldEntry(kDevices, printer.pPrinterName, driver);
    char entry[kEntrySize];
    if (old && buildDevicesEntry(entry, driver, printer.pPortName)) {
        os::WriteProfileStringA(kDevices, printer.pPrinterName, entry);
    }
    os::LocalFree(old);
}

void repairPrinterPortsEntry(const os::PRINTER_INFO_2A& printer, const char* driver) {
    char* old = readOldEntry(kPrinterPorts, printer.pPrinterName, driver);
    char entry[kEntrySize];
    if (old && buildPrinterPortsEntry(entry, driver, printer.pPortName,
                                      timeOutsOf(old, std::strlen(old)))) {
        os::WriteProfileStringA(kPrinterPorts, printer.pPrinterName, entry);
    }
    os::LocalFree(old);
}

} // namespace

bool isBraillePrinter(const os::PRINTER_INFO_2A& printer) {
    return printer.pPrinterName && printer.pDriverName &&
           std::strncmp(printer.pDriverName, kOurDrivers, sizeof kOurDrivers - 1) == 0;
}

void repairPrinter(const os::PRINTER_INFO_2A& printer, const char* driver) {
    if (!printer.pPrinterName) {
        return;
    }
    repairDefaultDevMode(printer.pPrinterName);
    if (!driver || driver[0] == '\0') {
        return;
    }
    repairDevicesEntry(printer, driver);
    repairPrinterPortsEntry(printer, driver);
}

void repairAllPrinters(const char* driver) {
    constexpr os::DWORD kFlags = os::PRINTER_ENUM_LOCAL | os::PRINTER_ENUM_CONNECTIONS;
    os::DWORD needed = 0;
    os::DWORD returned = 0;
    os::EnumPrintersA(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);
    if (needed == 0) {
        return;
    }
    const os::DWORD size = needed;
    auto* buffer = static_cast<os::BYTE*>(os::LocalAlloc(os::LMEM_FIXED, size));
    if (!buffer) {
        return;
    }
    // A printer added between the two calls makes the second one fail for want of room; that run
    // simply ends, like one that finds no printers.
    if (os::EnumPrintersA(kFlags, nullptr, 2, buffer, size, &needed, &returned) &&
        returned <= size / sizeof(os::PRINTER_INFO_2A)) {
        const auto* printers = reinterpret_cast<const os::PRINTER_INFO_2A*>(buffer);
        for (os::DWORD i = 0; i < returned; ++i) {
            if (isBraillePrinter(printers[i])) {
                repairPrinter(printers[i], driver);
            }
        }
    }
    os::LocalFree(buffer);
}

} // namespace portfix
