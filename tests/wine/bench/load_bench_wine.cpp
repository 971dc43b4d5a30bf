// Loading the real DLL under Wine with 1, 10 and 50 printers installed, as far as the first
// export (which builds the printer table), against a bare loop that makes the same spooler and
// device-context calls as the printer table does: the enumeration, and for every printer its
// device mode (open, size, read, close), the probe's two passes on one device context (the
// PostScript driver does not know the escapes) and the parameter read on another.
#include "dotpress_dll.h"
#include "wine_printers.h"

#include <windows.h>

#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace winetest;
using Clock = std::chrono::steady_clock;

double millisecondsOf(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void bareTable() {
    DWORD needed = 0, returned = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &returned);
    const auto* infos = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        HANDLE handle = nullptr;
        std::vector<BYTE> devMode;
        if (OpenPrinterW(infos[i].pPrinterName, &handle, nullptr)) {
            const LONG size =
                DocumentPropertiesW(nullptr, handle, infos[i].pPrinterName, nullptr, nullptr, 0);
            devMode.resize(size > 0 ? static_cast<size_t>(size) : 0);
            DocumentPropertiesW(nullptr, handle, infos[i].pPrinterName,
                                reinterpret_cast<DEVMODEW*>(devMode.data()), nullptr,
                                DM_OUT_BUFFER);
            ClosePrinter(handle);
        }
        auto* dm = devMode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devMode.data());
        char params[12] = {};
        const int size = static_cast<int>(devMode.size());
        HDC probe = CreateDCW(infos[i].pDriverName, infos[i].pPrinterName, infos[i].pPortName, dm);
        for (int pass = 0; pass < 2 && probe; ++pass) {
            ExtEscape(probe, 65282, sizeof params, params, size, reinterpret_cast<char*>(dm));
            ExtEscape(probe, 65281, size, reinterpret_cast<const char*>(dm), sizeof params, params);
        }
        DeleteDC(probe);
        HDC read = CreateDCW(infos[i].pDriverName, infos[i].pPrinterName, infos[i].pPortName, dm);
        ExtEscape(read, 65281, size, reinterpret_cast<const char*>(dm), sizeof params, params);
        DeleteDC(read);
    }
}

} // namespace

int main() {
    std::vector<std::unique_ptr<ScopedPrinter>> added;
    const size_t already = printers().size();
    const std::wstring dll = dotpresstest::dllPath();
    std::printf("printers  load (ms)  bare loop (ms)  ratio  load per printer (ms)\n");
    for (size_t wanted : {1u, 10u, 50u}) {
        while (already + added.size() < wanted) {
            const std::wstring name = L"Dotpress Load " + std::to_wstring(added.size());
            added.push_back(std::make_unique<ScopedPrinter>(name, L"VORN Braille",
                                                            testDir() + L"\\load-bench.ps"));
            if (!added.back()->ok()) {
                std::fprintf(stderr, "load_bench_wine: cannot add a printer\n");
                return 1;
            }
        }
        std::vector<double> load, bare;
        for (int round = 0; round < 3; ++round) {
            // LoadLibrary and the first export, which builds the printer table.
            auto start = Clock::now();
            HMODULE module = LoadLibraryW(dll.c_str());
            dotpresstest::Exports(module).count();
            load.push_back(millisecondsOf(Clock::now() - start));
            FreeLibrary(module);
            start = Clock::now();
            bareTable();
            bare.push_back(millisecondsOf(Clock::now() - start));
        }
        const size_t count = printers().size();
        std::printf("%8zu  %9.1f  %14.1f  %5.2f  %21.2f\n", count, median(load), median(bare),
                    median(load) / median(bare), median(load) / static_cast<double>(count));
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vorn\\DefDotpress");
    return 0;
}
