// portfix.exe of this build, run as a separate process in the test prefix, against a Braille
// printer and an ordinary one whose registration looks like an old installation left it.
#include "wine_printers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const char kBraille[] = "VORN Portfix Wine";
const char kOther[] = "Portfix Other Wine";
const char kArgument[] = "VORNDRV";
const wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers\\";

HKEY openPrinterKey(const char* printer) {
    HKEY key = nullptr;
    const std::wstring path = kPrintersKey + winetest::widen(printer);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

bool emptyDevMode(const char* printer) {
    HKEY key = openPrinterKey(printer);
    if (!key) {
        return false;
    }
    const BYTE none = 0;
    const bool ok =
        RegSetValueExW(key, L"Default DevMode", 0, REG_BINARY, &none, 0) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// The bytes of "Default DevMode"; nothing when the value is missing.
std::optional<std::vector<BYTE>> devMode(const char* printer) {
    HKEY key = openPrinterKey(printer);
    if (!key) {
        return std::nullopt;
    }
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    const LONG status =
        RegQueryValueExW(key, L"Default DevMode", nullptr, nullptr, data.data(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size);
    return data;
}

std::string profile(const char* section, const char* printer) {
    char buffer[256] = {};
    GetProfileStringA(section, printer, "<missing>", buffer, sizeof buffer);
    return buffer;
}

// The port the spooler reports for a printer, as portfix sees it.
std::string portOf(const char* printer) {
    HANDLE handle = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printer), &handle, nullptr)) {
        return "<no printer>";
    }
    DWORD needed = 0;
    GetPrinterA(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed ? needed : 1);
    std::string port = "<no port>";
    if (GetPrinterA(handle, 2, info.data(), needed, &needed)) {
        port = reinterpret_cast<PRINTER_INFO_2A*>(info.data())->pPortName;
    }
    ClosePrinter(handle);
    return port;
}

// Runs portfix.exe with `argument` and returns its exit code, or -1 when it did not run.
long runPortfix(const std::string& argument) {
    if (winetest::testDir().empty()) {
        return -1;
    }
    const std::wstring exe = winetest::testDir() + L"\\portfix\\portfix.exe";
    std::wstring commandLine = L"\"" + exe + L"\" " + winetest::widen(argument);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    DWORD code = 0;
    const bool finished = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                          GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return finished ? static_cast<long>(code) : -1;
}

class PortfixWine : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {kBraille, kOther}) {
            winetest::deletePrinter(winetest::widen(name));
        }
        ASSERT_TRUE(winetest::addPrinter(winetest::widen(kBraille), L"VORN Embosser", L"LPT1:"));
        ASSERT_TRUE(winetest::addPrinter(winetest::widen(kOther), L"Generic Printer", L"LPT1:"));
        for (const char* name : {kBraille, kOther}) {
            ASSERT_TRUE(emptyDevMode(name)) << name;
            ASSERT_TRUE(WriteProfileStringA("Devices", name, "winspl16,LPT2:"));
            ASSERT_TRUE(WriteProfileStringA("PrinterPorts", name, "winspl16,LPT2:,20,60"));
        }
    }
    void TearDown() override {
        for (const char* name : {kBraille, kOther}) {
            winetest::deletePrinter(winetest::widen(name));
        }
    }
};

TEST_F(PortfixWine, RepairsTheBraillePrinterOnlyAndOnlyOnce) {
    ASSERT_EQ(devMode(kBraille), std::vector<BYTE>{})
        << "the prefix did not keep the emptied value";
    // The system's port, not the one in the old entries, goes into the new ones.
    const std::string port = portOf(kBraille);
    EXPECT_EQ(port, "LPT1:");

    ASSERT_EQ(runPortfix(kArgument), 0);

    // The 148-byte device mode: the name, then version 0x0400, driver version 1, size 148, no
    // driver bytes, and nothing else.
    std::vector<BYTE> expected(148, 0);
    std::copy(kBraille, kBraille + sizeof kBraille - 1, expected.begin());
    const BYTE header[] = {0x00, 0x04, 0x01, 0x00, 148, 0x00, 0x00, 0x00};
    std::copy(std::begin(header), std::end(header), expected.begin() + 32);
    EXPECT_EQ(devMode(kBraille), expected);
    EXPECT_EQ(profile("Devices", kBraille), std::string(kArgument) + "," + port);
    EXPECT_EQ(profile("PrinterPorts", kBraille), std::string(kArgument) + "," + port + ",20,60");

    EXPECT_EQ(devMode(kOther), std::vector<BYTE>{});
    EXPECT_EQ(profile("Devices", kOther), "winspl16,LPT2:");
    EXPECT_EQ(profile("PrinterPorts", kOther), "winspl16,LPT2:,20,60");

    // A second run finds nothing left to repair.
    const auto devModeAfterFirst = devMode(kBraille);
    const auto devicesAfterFirst = profile("Devices", kBraille);
    const auto portsAfterFirst = profile("PrinterPorts", kBraille);
    ASSERT_EQ(runPortfix(kArgument), 0);
    EXPECT_EQ(devMode(kBraille), devModeAfterFirst);
    EXPECT_EQ(profile("Devices", kBraille), devicesAfterFirst);
    EXPECT_EQ(profile("PrinterPorts", kBraille), portsAfterFirst);
    EXPECT_EQ(devMode(kOther), std::vector<BYTE>{});
}

// An entry longer than the 63 characters the old registration held (a long server and port) is
// read whole: the new one keeps its time-outs.
TEST_F(PortfixWine, LongEntryKeepsItsTimeOuts) {
    const char old[] = "winspl16,\\\\servidor-de-impresion-central\\braille-sala-de-lectura,20,60";
    ASSERT_TRUE(WriteProfileStringA("PrinterPorts", kBraille, old));
    ASSERT_EQ(runPortfix(kArgument), 0);
    EXPECT_EQ(profile("PrinterPorts", kBraille),
              std::string(kArgument) + "," + portOf(kBraille) + ",20,60");
}

TEST_F(PortfixWine, EmptyArgumentRepairsOnlyTheDeviceMode) {
    ASSERT_EQ(runPortfix(""), 0);
    EXPECT_EQ(devMode(kBraille).value_or(std::vector<BYTE>{}).size(), 148u);
    EXPECT_EQ(profile("Devices", kBraille), "winspl16,LPT2:");
    EXPECT_EQ(profile("PrinterPorts", kBraille), "winspl16,LPT2:,20,60");
}

} // namespace
