// The default device mode that portfix writes for a printer whose "Default DevMode" value is
// empty: a DEVMODEA of the size it had at version 0x0400, with nothing but the printer's name and
// the four header words set. It is stored as raw bytes, so the layout below is the wire format.
#pragma once

#include <cstddef>
#include <cstdint>

namespace portfix {

struct DevModeA {
    char dmDeviceName[32]; // not terminated when the name fills it
    uint16_t dmSpecVersion;
    uint16_t dmDriverVersion;
    uint16_t dmSize;
    uint16_t dmDriverExtra;
    uint32_t dmFields;
    int16_t dmOrientation;
    int16_t dmPaperSize;
    int16_t dmPaperLength;
    int16_t dmPaperWidth;
    int16_t dmScale;
    int16_t dmCopies;
    int16_t dmDefaultSource;
    int16_t dmPrintQuality;
    int16_t dmColor;
    int16_t dmDuplex;
    int16_t dmYResolution;
    int16_t dmTTOption;
    int16_t dmCollate;
    char dmFormName[32];
    uint16_t dmLogPixels;
    uint32_t dmBitsPerPel;
    uint32_t dmPelsWidth;
    uint32_t dmPelsHeight;
    uint32_t dmDisplayFlags;
    uint32_t dmDisplayFrequency;
    uint32_t dmICMMethod;
    uint32_t dmICMIntent;
    uint32_t dmMediaType;
    uint32_t dmDitherType;
    uint32_t dmReserved1;
    uint32_t dmReserved2;
};

// The bytes are written as they lie in memory, which is the registry's order only on a
// little-endian machine; every target we build for is one.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "DevModeA is written as little-endian");
static_assert(sizeof(DevModeA) == 148, "DevModeA size");
static_assert(offsetof(DevModeA, dmDeviceName) == 0, "dmDeviceName");
static_assert(offsetof(DevModeA, dmSpecVersion) == 32, "dmSpecVersion");
static_assert(offsetof(DevModeA, dmDriverVersion) == 34, "dmDriverVersion");
static_assert(offsetof(DevModeA, dmSize) == 36, "dmSize");
static_assert(offsetof(DevModeA, dmDriverExtra) == 38, "dmDriverExtra");
static_assert(offsetof(DevModeA, dmFields) == 40, "dmFields");
static_assert(offsetof(DevModeA, dmOrientation) == 44, "dmOrientation");
static_assert(offsetof(DevModeA, dmPaperSize) == 46, "dmPaperSize");
static_assert(offsetof(DevModeA, dmPaperLength) == 48, "dmPaperLength");
static_assert(offsetof(DevModeA, dmPaperWidth) == 50, "dmPaperWidth");
static_assert(offsetof(DevModeA, dmScale) == 52, "dmScale");
static_assert(offsetof(DevModeA, dmCopies) == 54, "dmCopies");
static_assert(offsetof(DevModeA, dmDefaultSource) == 56, "dmDefaultSource");
static_assert(offsetof(DevModeA, dmPrintQuality) == 58, "dmPrintQuality");
static_assert(offsetof(DevModeA, dmColor) == 60, "dmColor");
static_assert(offsetof(DevModeA, dmDuplex) == 62, "dmDuplex");
static_assert(offsetof(DevModeA, dmYResolution) == 64, "dmYResolution");
static_assert(offsetof(DevModeA, dmTTOption) == 66, "dmTTOption");
static_assert(offsetof(DevModeA, dmCollate) == 68, "dmCollate");
static_assert(offsetof(DevModeA, dmFormName) == 70, "dmFormName");
static_assert(offsetof(DevModeA, dmLogPixels) == 102, "dmLogPixels");
static_assert(offsetof(DevModeA, dmBitsPerPel) == 104, "dmBitsPerPel");
static_assert(offsetof(DevModeA, dmPelsWidth) == 108, "dmPelsWidth");
static_assert(offsetof(DevModeA, dmPelsHeight) == 112, "dmPelsHeight");
static_assert(offsetof(DevModeA, dmDisplayFlags) == 116, "dmDisplayFlags");
static_assert(offsetof(DevModeA, dmDisplayFrequency) == 120, "dmDisplayFrequency");
static_assert(offsetof(DevModeA, dmICMMethod) == 124, "dmICMMethod");
static_assert(offsetof(DevModeA, dmICMIntent) == 128, "dmICMIntent");
static_assert(offsetof(DevModeA, dmMediaType) == 132, "dmMediaType");
static_assert(offsetof(DevModeA, dmDitherType) == 136, "dmDitherType");
static_assert(offsetof(DevModeA, dmReserved1) == 140, "dmReserved1");
static_assert(offsetof(DevModeA, dmReserved2) == 144, "dmReserved2");

constexpr uint16_t kDevModeSpecVersion = 0x0400;
constexpr uint16_t kDevModeDriverVersion = 1;

// All zero but the header words and the name. A name longer than dmDeviceName keeps its first
// 32 bytes; a shorter one is ended by the zero bytes behind it.
DevModeA defaultDevMode(const char* printerName);

} // namespace portfix
