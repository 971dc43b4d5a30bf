#include "wine_printers.h"

#include <windows.h>

#include <winspool.h>

#include <utility>
#include <vector>

namespace winetest {
namespace {

// The name the PPD is copied under in the driver folder; every driver we install shares it.
constexpr wchar_t kPpdFileName[] = L"dotpress-test.ppd";

} // namespace

bool driverInstalled(const std::wstring& driverName, const std::wstring& environment) {
    std::wstring env = environment;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrinterDriversW(nullptr, env.data(), 1, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return false;
    }
    std::vector<BYTE> buffer(needed);
    if (!EnumPrinterDriversW(nullptr, env.data(), 1, buffer.data(), needed, &needed, &count)) {
        return false;
    }
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (drivers[i].pName && driverName == drivers[i].pName) {
            return true;
        }
    }
    return false;
}

namespace {

std::wstring driverDirectory(const std::wstring& environment) {
    std::wstring env = environment;
    wchar_t dir[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, env.data(), 1, reinterpret_cast<BYTE*>(dir),
                                    sizeof dir, &needed)) {
        return {};
    }
    return dir;
}

} // namespace

std::wstring driverEnvironment() {
#ifdef _WIN64
    return L"Windows x64";
#else
    return L"Windows NT x86";
#endif
}

std::wstring testPpdPath() {
    return winePath(DOTPRESS_TEST_PPD);
}

namespace {

bool addPrinterDriverFor(const std::wstring& driverName, const std::wstring& environment) {
    if (driverInstalled(driverName, environment)) {
        return true;
    }
    const std::wstring dir = driverDirectory(environment);
    if (dir.empty()) {
        return false;
    }
    // The spooler wants the data file in the driver folder; wineps.drv itself is found in the
    // system folder.
    std::wstring ppd = dir + L"\\" + kPpdFileName;
    if (!CopyFileW(testPpdPath().c_str(), ppd.c_str(), FALSE)) {
        return false;
    }
    std::wstring name = driverName;
    std::wstring env = environment;
    std::wstring wineps = L"wineps.drv";
    std::wstring datatype = L"RAW";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = name.data();
    info.pEnvironment = env.data();
    info.pDriverPath = wineps.data();
    info.pDataFile = ppd.data();
    info.pConfigFile = wineps.data();
    info.pDefaultDataType = datatype.data();
    return AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES);
}

} // namespace

bool addPrinterDriver(const std::wstring& driverName) {
    // Both environments in every prefix: a printer whose driver exists only for the other one
    // cannot be opened from this process (and Wine's print dialog crashes at its end on one).
    for (const wchar_t* environment : {L"Windows x64", L"Windows NT x86"}) {
        if (!addPrinterDriverFor(driverName, environment)) {
            return false;
        }
    }
    return true;
}

bool addPrinter(const std::wstring& name, const std::wstring& driverName,
                const std::wstring& port) {
    if (!addPrinterDriver(driverName)) {
        return false;
    }
    if (findPrinter(name)) {
        deletePrinter(name);
    }
    std::wstring printerName = name;
    std::wstring driver = driverName;
    std::wstring portName = port;
    std::wstring processor = L"WinPrint";
    std::wstring datatype = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pPortName = portName.data();
    info.pDriverName = driver.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) {
        return false;
    }
    ClosePrinter(printer);
    return true;
}

bool deletePrinter(const std::wstring& name) {
    std::wstring printerName = name;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(printerName.data(), &printer, &access)) {
        return false;
    }
    const BOOL deleted = DeletePrinter(printer);
    const DWORD error = GetLastError();
    ClosePrinter(printer);
    SetLastError(error);
    return deleted;
}

bool setDefaultPrinter(const std::wstring& name) {
    return SetDefaultPrinterW(name.c_str());
}

std::wstring defaultPrinter() {
    wchar_t name[512];
    DWORD size = ARRAYSIZE(name);
    if (!GetDefaultPrinterW(name, &size)) {
        return {};
    }
    return name;
}

std::vector<PrinterEntry> printers() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return {};
    }
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return {};
    }
    const auto* infos = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    std::vector<PrinterEntry> list;
    for (DWORD i = 0; i < count; ++i) {
        auto text = [](const wchar_t* s) { return s ? std::wstring(s) : std::wstring(); };
        list.push_back(
            {text(infos[i].pPrinterName), text(infos[i].pDriverName), text(infos[i].pPortName)});
    }
    return list;
}

std::optional<PrinterEntry> findPrinter(const std::wstring& name) {
    for (PrinterEntry& entry : printers()) {
        if (entry.name == name) {
            return entry;
        }
    }
    return std::nullopt;
}

ScopedPrinter::ScopedPrinter(std::wstring name, const std::wstring& driverName,
                             const std::wstring& port)
    : name_(std::move(name)), ok_(addPrinter(name_, driverName, port)) {}

ScopedPrinter::~ScopedPrinter() {
    if (ok_) {
        deletePrinter(name_);
    }
}

} // namespace winetest
