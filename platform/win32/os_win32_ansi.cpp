// The seam on Windows, the 8-bit spooler, registry and profile calls that portfix makes.
#include "platform/os.h"

#include <windows.h>

#include <cstddef>
#include <winspool.h>

namespace {

static_assert(sizeof(os::PRINTER_INFO_2A) == sizeof(PRINTER_INFO_2A), "PRINTER_INFO_2A");
static_assert(offsetof(os::PRINTER_INFO_2A, pPortName) == offsetof(PRINTER_INFO_2A, pPortName),
              "PRINTER_INFO_2A");

::HKEY h(os::HKEY v) {
    return reinterpret_cast<::HKEY>(static_cast<uintptr_t>(v));
}

} // namespace

namespace os {

BOOL EnumPrintersA(DWORD flags, const char* name, DWORD level, BYTE* buffer, DWORD bufferSize,
                   DWORD* needed, DWORD* returned) {
    return ::EnumPrintersA(flags, const_cast<char*>(name), level, buffer, bufferSize,
                           reinterpret_cast<LPDWORD>(needed), reinterpret_cast<LPDWORD>(returned));
}

LONG RegOpenKeyExA(HKEY parent, const char* subKey, DWORD options, DWORD access, HKEY* result) {
    return ::RegOpenKeyExA(h(parent), subKey, options, access, reinterpret_cast<::HKEY*>(result));
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    return ::RegQueryValueExA(h(key), valueName, reinterpret_cast<LPDWORD>(reserved),
                              reinterpret_cast<LPDWORD>(type), data,
                              reinterpret_cast<LPDWORD>(dataSize));
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    return ::RegSetValueExA(h(key), valueName, reserved, type, data, dataSize);
}

DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                        char* buffer, DWORD bufferSize) {
    return ::GetProfileStringA(section, key, defaultValue, buffer, bufferSize);
}

BOOL WriteProfileStringA(const char* section, const char* key, const char* value) {
    return ::WriteProfileStringA(section, key, value);
}

const char* GetCommandLineA() {
    return ::GetCommandLineA();
}

} // namespace os
