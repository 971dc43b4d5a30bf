#include "dotpress/core/printer_record.h"

#include "platform/os.h"

#include <cstring>

namespace dotpress {

void copyName(char16_t (&field)[kNameUnits], const char16_t* text) {
    size_t n = 0;
    for (; text && text[n] && n + 1 < kNameUnits; ++n) {
        field[n] = text[n];
    }
    field[n] = 0;
}

size_t nameLength(const char16_t (&field)[kNameUnits]) {
    size_t n = 0;
    while (n < kNameUnits && field[n]) {
        ++n;
    }
    return n;
}

namespace {

uint8_t* duplicateDevMode(const PrinterRecord& source) {
    if (!source.devMode || source.devModeSize == 0) {
        return nullptr;
    }
    auto* copy = static_cast<uint8_t*>(os::LocalAlloc(os::LMEM_FIXED, source.devModeSize));
    if (copy) {
        std::memcpy(copy, source.devMode, source.devModeSize);
    }
    return copy;
}

bool hasDevMode(const PrinterRecord& record) {
    return record.devMode && record.devModeSize;
}

} // namespace

PrinterRecord* copyRecord(const PrinterRecord& source) {
    auto* copy = static_cast<PrinterRecord*>(os::LocalAlloc(os::LMEM_FIXED, sizeof(PrinterRecord)));
    if (!copy) {
        return nullptr;
    }
    std::memcpy(copy, &source, sizeof source);
    copy->devMode = duplicateDevMode(source);
    if (hasDevMode(source) && !copy->devMode) {
        os::LocalFree(copy);
        return nullptr;
    }
    if (!copy->devMode) {
        copy->devModeSize = 0;
    }
    return copy;
}

bool copyRecordInto(const PrinterRecord& source, PrinterRecord* target) {
    if (!target || &source == target) {
        return true;
    }
    uint8_t* devMode = duplicateDevMode(source);
    if (hasDevMode(source) && !devMode) {
        return false;
    }
    os::LocalFree(target->devMode);
    std::memcpy(target, &source, sizeof source);
    target->devMode = devMode;
    if (!devMode) {
        target->devModeSize = 0;
    }
    return true;
}

void releaseDevMode(PrinterRecord& record) {
    os::LocalFree(record.devMode);
    record.devMode = nullptr;
    record.devModeSize = 0;
}

bool devModeFits(const uint8_t* devMode, uint32_t bytes) {
    // dmSize and dmDriverExtra, the 16-bit fields at 68 and 70 of a DEVMODEW.
    constexpr uint32_t kClaimEnd = 72;
    if (!devMode || bytes < kClaimEnd) {
        return false;
    }
    const uint32_t publicBytes = devMode[68] | (devMode[69] << 8);
    const uint32_t driverBytes = devMode[70] | (devMode[71] << 8);
    return publicBytes + driverBytes <= bytes;
}

const uint8_t* trustedDevMode(const PrinterRecord& record) {
    return devModeFits(record.devMode, record.devModeSize) ? record.devMode : nullptr;
}

void freeRecord(PrinterRecord* record) {
    if (!record) {
        return;
    }
    os::LocalFree(record->devMode);
    os::LocalFree(record);
}

} // namespace dotpress
