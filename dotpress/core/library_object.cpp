#include "dotpress/core/library_object.h"

#include "dotpress/settings/registry_settings.h"

namespace dotpress {

LibraryObject::LibraryObject() = default;

LibraryObject::~LibraryObject() {
    ensureDefaultRecord();
    settings::saveDefaultParams(*this);
    releaseRecords();
}

void LibraryObject::storeSettings() {
    ensureDefaultRecord();
    settings::saveDefaultParams(*this);
    settings::saveBinding(*this);
}

bool LibraryObject::ensurePrinterTable() {
    if (table == Table::NotBuilt) {
        table = Table::Building;
        buildPrinterTable();
        table = Table::Built;
    }
    return table == Table::Built;
}

void LibraryObject::ensureDefaultRecord() {
    if (table == Table::NotBuilt) {
        settings::loadDefaultParams(*this); // into the empty table's own default record
    }
}

void LibraryObject::configurePage(os::HWND owner) {
    if (printerSelected() && testParamsEscape() == 1) {
        runPageSetup(owner, selectedRecord());
    } else {
        runPageConfig(owner);
    }
}

void LibraryObject::buildPrinterTable() {
    constexpr os::DWORD kFlags = os::PRINTER_ENUM_LOCAL | os::PRINTER_ENUM_CONNECTIONS;
    os::DWORD needed = 0;
    os::DWORD returned = 0;
    os::EnumPrintersW(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);

    os::BYTE* buffer = nullptr;
    returned = 0;
    if (needed > 0) {
        buffer = static_cast<os::BYTE*>(os::LocalAlloc(os::LMEM_FIXED, needed));
    }
    // A second call that fails (printers were added in between) leaves the table empty rather
    // than counting printers it has no data for.
    const os::DWORD size = needed;
    if (buffer && (!os::EnumPrintersW(kFlags, nullptr, 2, buffer, size, &needed, &returned) ||
                   returned > size / sizeof(os::PRINTER_INFO_2W))) {
        returned = 0;
    }

    allocateRecords(returned);
    settings::loadDefaultParams(*this);
    const auto* infos = reinterpret_cast<const os::PRINTER_INFO_2W*>(buffer);
    for (uint32_t i = 0; i < count; ++i) {
        addPrinter(i, infos[i]);
    }
    settings::restoreSelectedPrinter(*this);
    os::LocalFree(buffer);
}

void LibraryObject::addPrinter(uint32_t index, const os::PRINTER_INFO_2W& info) {
    PrinterRecord& record = records[index];
    copyName(record.name, info.pPrinterName);
    copyName(record.driver, info.pDriverName);
    copyName(record.port, info.pPortName);
    record.adjustBothSides = 1;
    readDeviceMode(record);
    probeCustomFormat(index, record.customFormat);
    getPrinterParams(record);
    if (record.params.lines == 0) {
        record.params = defaultRecord().params;
    }
}

} // namespace dotpress
