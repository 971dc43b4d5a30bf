// Loading the library on the simulated machine with 1, 10, 100 and 1,000 Braille printers,
// against a bare loop that makes the same spooler and device-context calls, measured in one run
// and reported as ratios, with the device contexts and escapes the load spends per printer.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kFormats = 7; // each driver takes formats 0 to 6: the probe makes 8 passes

void machine(int printers) {
    sim::reset();
    sim::world().recording = false;
    sim::BrailleDriver driver;
    for (int16_t f = 0; f < kFormats; ++f) {
        driver.acceptedFormats.push_back(f);
    }
    driver.rejectedFormatAnswer = kFormats - 1;
    for (int i = 0; i < printers; ++i) {
        const std::u16string name = u"Braille " + std::u16string(1, u'A' + i % 26) +
                                    std::u16string(1, u'a' + (i / 26) % 26) +
                                    std::u16string(1, u'0' + i / 676);
        sim::addBraillePrinter(name, u"LPT1:", sim::Params{}, driver);
    }
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp",
                   u"Braille Aa0");
}

// What a load leaves in the simulator's records; cleared between runs so that they do not grow.
void forgetRecords() {
    sim::world().dcs.clear();
    sim::world().escapes.clear();
}

void BM_Load(benchmark::State& state) {
    const int printers = static_cast<int>(state.range(0));
    machine(printers);
    double dcs = 0, escapes = 0;
    for (auto _ : state) {
        dotpress::load();
        ImpObtenerNumeroImp(); // the first export builds the printer table
        dotpress::unload();
        state.PauseTiming();
        dcs = static_cast<double>(sim::world().dcs.size()) / printers;
        escapes = static_cast<double>(sim::world().escapes.size()) / printers;
        forgetRecords();
        state.ResumeTiming();
    }
    state.counters["dcs_per_printer"] = dcs;
    state.counters["escapes_per_printer"] = escapes;
}

// The same calls, made straight: the enumeration, each printer's device mode, the probe's passes
// on one device context with a copy of the device mode, and the parameter read on another.
void BM_BareLoad(benchmark::State& state) {
    machine(static_cast<int>(state.range(0)));
    constexpr os::DWORD kFlags = os::PRINTER_ENUM_LOCAL | os::PRINTER_ENUM_CONNECTIONS;
    for (auto _ : state) {
        os::DWORD needed = 0, returned = 0;
        os::EnumPrintersW(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);
        auto* buffer = static_cast<os::BYTE*>(os::LocalAlloc(os::LMEM_FIXED, needed));
        os::EnumPrintersW(kFlags, nullptr, 2, buffer, needed, &needed, &returned);
        const auto* infos = reinterpret_cast<const os::PRINTER_INFO_2W*>(buffer);
        for (os::DWORD i = 0; i < returned; ++i) {
            os::HANDLE handle = nullptr;
            os::OpenPrinterW(infos[i].pPrinterName, &handle, nullptr);
            const os::LONG size = os::DocumentPropertiesW(nullptr, handle, infos[i].pPrinterName,
                                                          nullptr, nullptr, 0);
            auto* devMode =
                static_cast<uint8_t*>(os::LocalAlloc(os::LMEM_ZEROINIT, static_cast<size_t>(size)));
            os::DocumentPropertiesW(nullptr, handle, infos[i].pPrinterName, devMode, nullptr,
                                    os::DM_OUT_BUFFER);
            os::ClosePrinter(handle);
            auto* copy = static_cast<uint8_t*>(os::LocalAlloc(os::LMEM_FIXED, size));
            std::memcpy(copy, devMode, static_cast<size_t>(size));
            int16_t sent[6] = {}, answer[6] = {};
            os::HDC probe = os::CreateDCW(infos[i].pDriverName, infos[i].pPrinterName,
                                          infos[i].pPortName, copy);
            for (int16_t k = 0; k <= kFormats; ++k) {
                sent[0] = k;
                os::ExtEscape(probe, 65282, sizeof sent, sent, size, copy);
                os::ExtEscape(probe, 65281, size, copy, sizeof answer, answer);
            }
            os::DeleteDC(probe);
            os::LocalFree(copy);
            os::HDC read = os::CreateDCW(infos[i].pDriverName, infos[i].pPrinterName,
                                         infos[i].pPortName, devMode);
            os::ExtEscape(read, 65281, size, devMode, sizeof answer, answer);
            os::DeleteDC(read);
            os::LocalFree(devMode);
        }
        os::LocalFree(buffer);
        state.PauseTiming();
        forgetRecords();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_Load)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareLoad)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then per printer count the load against the bare loop.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            const int printers = std::stoi(name.substr(slash + 1));
            const double us = run.GetAdjustedRealTime();
            if (name.rfind("BM_Load/", 0) == 0) {
                load[printers] = us;
                dcs[printers] = run.counters.at("dcs_per_printer").value;
                escapes[printers] = run.counters.at("escapes_per_printer").value;
            } else {
                bare[printers] = us;
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("printers  load (us)  bare (us)  ratio  load per printer (us)  DCs per "
                    "printer  escapes per printer\n");
        for (const auto& [printers, us] : load) {
            std::printf("%8d  %9.1f  %9.1f  %5.2f  %21.2f  %15g  %19g\n", printers, us,
                        bare[printers], us / bare[printers], us / printers, dcs[printers],
                        escapes[printers]);
        }
    }
    std::map<int, double> load, bare, dcs, escapes;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
