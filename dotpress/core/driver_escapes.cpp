// The driver operations: device modes through the spooler, Braille page parameters through the
// driver's private escapes, each on a device context of its own.
#include "dotpress/core/print_session.h"

#include "platform/os.h"

#include <cstring>

namespace dotpress {

namespace {

// A device context made from a record, deleted when it goes out of scope.
class RecordDC {
public:
    explicit RecordDC(const PrinterRecord& record)
        : dc(os::CreateDCW(record.driver, record.name, record.port, trustedDevMode(record))) {}
    ~RecordDC() {
        if (dc) {
            os::DeleteDC(dc);
        }
    }
    RecordDC(const RecordDC&) = delete;
    RecordDC& operator=(const RecordDC&) = delete;
    os::HDC dc;
};

// An open printer handle, closed when it goes out of scope.
class PrinterHandle {
public:
    explicit PrinterHandle(const char16_t* name) {
        if (!os::OpenPrinterW(name, &handle, nullptr)) {
            handle = nullptr;
        }
    }
    ~PrinterHandle() {
        if (handle) {
            os::ClosePrinter(handle);
        }
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    os::HANDLE handle = nullptr;
};

int32_t reportNoDC() {
    os::MessageBoxW(nullptr, u"ERROR: CreateDC", u"GetPrinterParams", os::MB_OK);
    return STATUS_NO_DC;
}

int devModeBytes(const PrinterRecord& record) {
    return record.devMode ? static_cast<int>(record.devModeSize) : 0;
}

// The size of the printer's device mode as its driver states it now, or 0.
uint32_t currentDevModeSize(const PrinterHandle& printer, const PrinterRecord& record) {
    const os::LONG size =
        os::DocumentPropertiesW(nullptr, printer.handle, record.name, nullptr, nullptr, 0);
    return size > 0 ? static_cast<uint32_t>(size) : 0;
}

} // namespace

int32_t PrintSession::readDeviceMode(PrinterRecord& record) {
    PrinterHandle printer(record.name);
    if (!printer.handle) {
        return 0;
    }
    const uint32_t bytes = currentDevModeSize(printer, record);
    if (bytes == 0) {
        // A driver that cannot tell the size gives no device mode at all.
        releaseDevMode(record);
        return 0;
    }
    if (!record.devMode || record.devModeSize < bytes) {
        // The device mode may have grown since the last read: never let the driver write past
        // the buffer.
        releaseDevMode(record);
        record.devMode = static_cast<uint8_t*>(os::LocalAlloc(os::LMEM_ZEROINIT, bytes));
        if (!record.devMode) {
            return 0;
        }
    }
    record.devModeSize = bytes;
    // A block that claims more than the driver said it would write is not one to hand on.
    if (os::DocumentPropertiesW(nullptr, printer.handle, record.name, record.devMode, nullptr,
                                os::DM_OUT_BUFFER) < 0 ||
        !devModeFits(record.devMode, bytes)) {
        releaseDevMode(record);
    }
    return 0;
}

int32_t PrintSession::getPrinterParams(PrinterRecord& record) {
    RecordDC context(record);
    if (!context.dc) {
        return reportNoDC();
    }
    os::ExtEscape(context.dc, ESCAPE_GET_PRINTER_PARAMS, devModeBytes(record), record.devMode,
                  sizeof(PrinterParams), &record.params);
    return 0;
}

int32_t PrintSession::setPrinterParams(PrinterRecord& record) {
    RecordDC context(record);
    if (!context.dc) {
        return reportNoDC();
    }
    os::ExtEscape(context.dc, ESCAPE_SET_PRINTER_PARAMS, sizeof(PrinterParams), &record.params,
                  devModeBytes(record), record.devMode);
    os::ExtEscape(context.dc, ESCAPE_GET_PRINTER_PARAMS, devModeBytes(record), record.devMode,
                  sizeof(PrinterParams), &record.params);
    return 0;
}

int32_t PrintSession::showPrinterProperties(os::HWND owner, PrinterRecord& record) {
    PrinterHandle printer(record.name);
    if (!printer.handle || !record.devMode) {
        return 0;
    }
    // The driver writes its whole current device mode, which has grown since the block was sized
    // if the driver was updated or the printer moved to another one meanwhile: the block is made
    // that large first, with what it held as the driver's input.
    const uint32_t bytes = currentDevModeSize(printer, record);
    if (bytes == 0) {
        return 0;
    }
    if (bytes > record.devModeSize) {
        auto* grown = static_cast<uint8_t*>(os::LocalAlloc(os::LMEM_ZEROINIT, bytes));
        if (!grown) {
            return 0;
        }
        std::memcpy(grown, record.devMode, record.devModeSize);
        os::LocalFree(record.devMode);
        record.devMode = grown;
        record.devModeSize = bytes;
    }
    os::DocumentPropertiesW(owner, printer.handle, record.name, record.devMode, record.devMode,
                            os::DM_IN_BUFFER | os::DM_IN_PROMPT | os::DM_OUT_BUFFER);
    if (!devModeFits(record.devMode, record.devModeSize)) {
        releaseDevMode(record);
    }
    return 0;
}

int32_t PrintSession::probeCustomFormat(uint32_t index, int16_t& result) {
    if (index >= count) {
        return STATUS_PROBE_NO_DC;
    }
    // The probe rewrites a device mode over and over: it works on a copy so that the table's
    // device mode stays as the spooler gave it.
    PrinterRecord* copy = copyRecord(records[index]);
    if (!copy) {
        return STATUS_PROBE_NO_DC;
    }
    int32_t status = STATUS_PROBE_NO_DC;
    {
        RecordDC context(*copy);
        if (context.dc) {
            PrinterParams sent{};
            PrinterParams answer{};
            for (int16_t k = 0; answer.paperFormat == sent.paperFormat;) {
                sent.paperFormat = k;
                os::ExtEscape(context.dc, ESCAPE_SET_PRINTER_PARAMS, sizeof sent, &sent,
                              devModeBytes(*copy), copy->devMode);
                os::ExtEscape(context.dc, ESCAPE_GET_PRINTER_PARAMS, devModeBytes(*copy),
                              copy->devMode, sizeof answer, &answer);
                if (++k == 30) {
                    break;
                }
            }
            result = answer.paperFormat;
            status = STATUS_OK;
        }
    }
    freeRecord(copy);
    return status;
}

int32_t PrintSession::testParamsEscape() {
    PrinterRecord& record = selectedRecord();
    RecordDC context(record);
    if (!context.dc) {
        return reportNoDC();
    }
    PrinterParams scratch{};
    return os::ExtEscape(context.dc, ESCAPE_GET_PRINTER_PARAMS, devModeBytes(record),
                         record.devMode, sizeof scratch, &scratch);
}

} // namespace dotpress
