#include "dotpress/core/printer_table.h"

#include "platform/os.h"

#include <cstring>

namespace dotpress {

PrinterTable::PrinterTable()
    : records(nullptr), count(0), selected(0), areaLines(0), areaColumns(0), binding(0),
      ansiTable(0), spareRecord{} {
    records = &spareRecord;
}

PrinterTable::~PrinterTable() {
    releaseRecords();
}

PrinterRecord& PrinterTable::selectedRecord() {
    return records[selected < count ? selected : count];
}

void PrinterTable::allocateRecords(uint32_t printers) {
    releaseRecords();
    const size_t entries = static_cast<size_t>(printers) + 1;
    void* block = nullptr;
    if (entries <= SIZE_MAX / sizeof(PrinterRecord)) {
        block = os::LocalAlloc(os::LMEM_FIXED | os::LMEM_ZEROINIT, entries * sizeof(PrinterRecord));
    }
    if (!block) {
        count = 0;
        std::memset(&spareRecord, 0, sizeof spareRecord);
        records = &spareRecord;
        return;
    }
    records = static_cast<PrinterRecord*>(block);
    count = printers;
}

void PrinterTable::releaseRecords() {
    if (!records) {
        return;
    }
    for (uint32_t i = 0; i <= count; ++i) {
        releaseDevMode(records[i]);
    }
    if (records != &spareRecord) {
        os::LocalFree(records);
    }
    records = &spareRecord;
    count = 0;
}

namespace {

// Below the minimum the minimum; above the page the page, but never less than the minimum.
uint16_t clampArea(uint16_t requested, uint16_t minimum, int16_t page) {
    if (requested < minimum) {
        return minimum;
    }
    if (static_cast<int32_t>(requested) > page) {
        return page < minimum ? minimum : static_cast<uint16_t>(page);
    }
    return requested;
}

} // namespace

int32_t PrinterTable::setPrintingArea(uint16_t* lines, uint16_t* columns) {
    const PrinterParams& page = selectedRecord().params;
    if (lines) {
        *lines = clampArea(*lines, AREA_MIN_LINES, page.lines);
        areaLines = *lines;
    }
    if (columns) {
        *columns = clampArea(*columns, AREA_MIN_COLUMNS, page.columns);
        areaColumns = *columns;
    }
    return 1;
}

} // namespace dotpress
