// The table of installed printers that every component of the library shares: the printers as
// the spooler enumerated them at load, plus one default record behind them whose index also
// stands for "no printer selected".
#pragma once

#include "dotpress/core/printer_record.h"

#include <cstdint>

namespace dotpress {

constexpr uint16_t AREA_MIN_LINES = 10;
constexpr uint16_t AREA_MIN_COLUMNS = 12;

class PrinterTable {
public:
    PrinterTable();
    virtual ~PrinterTable();
    PrinterTable(const PrinterTable&) = delete;
    PrinterTable& operator=(const PrinterTable&) = delete;

    // The record at selected; the default record when no printer is selected.
    PrinterRecord& selectedRecord();
    PrinterRecord& defaultRecord() { return records[count]; }
    bool printerSelected() const { return selected < count; }

    // Clamps the host's printing area to the selected printer's page and keeps it. A null
    // pointer leaves that value alone.
    int32_t setPrintingArea(uint16_t* lines, uint16_t* columns);

    // Allocates count + 1 zeroed records; when memory runs out the table is left empty (no
    // printers, only a default record).
    void allocateRecords(uint32_t printers);
    // Releases every record's device mode and the records.
    void releaseRecords();

    PrinterRecord* records;
    uint32_t count;
    uint32_t selected;
    uint16_t areaLines;
    uint16_t areaColumns;
    int32_t binding;
    int32_t ansiTable;

private:
    // The default record of a table whose records could not be allocated.
    PrinterRecord spareRecord;
};

} // namespace dotpress
