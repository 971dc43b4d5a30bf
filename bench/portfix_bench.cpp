// portfix over 1,000 Braille printers on the simulated machine, each with an empty "Default
// DevMode" and [Devices] and [PrinterPorts] entries that still name the old spooler, against a
// bare pass that reads and writes the same profile entries; measured in one run, as a ratio.
#include "platform/sim/world.h"
#include "portfix/repair.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kPrinters = 1000;

std::string nameOf(int i) {
    return "VORN Braille " + std::to_string(i);
}

// The profile as an old installation left it; rewritten by every run, so set again before each.
void oldEntries() {
    for (int i = 0; i < kPrinters; ++i) {
        sim::setProfile("Devices", nameOf(i), "winspl16,LPT1:");
        sim::setProfile("PrinterPorts", nameOf(i), "winspl16,LPT1:,15,45");
    }
}

void machine() {
    sim::reset();
    for (int i = 0; i < kPrinters; ++i) {
        const std::string name = nameOf(i);
        const std::u16string wide(name.begin(), name.end());
        sim::addPrinter(wide, u"LPT1:", u"VORN Braille");
        sim::setValue(os::HKEY_LOCAL_MACHINE,
                      u"System\\CurrentControlSet\\Control\\Print\\Printers\\" + wide,
                      u"Default DevMode", os::REG_BINARY, {});
    }
}

void BM_Portfix(benchmark::State& state) {
    machine();
    for (auto _ : state) {
        state.PauseTiming();
        oldEntries();
        state.ResumeTiming();
        portfix::repairAllPrinters("VORNDRV");
    }
}

void BM_BareProfilePass(benchmark::State& state) {
    machine();
    for (auto _ : state) {
        state.PauseTiming();
        oldEntries();
        state.ResumeTiming();
        char entry[64];
        for (int i = 0; i < kPrinters; ++i) {
            const std::string name = nameOf(i);
            os::GetProfileStringA("Devices", name.c_str(), "", entry, sizeof entry);
            os::WriteProfileStringA("Devices", name.c_str(), "VORNDRV,LPT1:");
            os::GetProfileStringA("PrinterPorts", name.c_str(), "", entry, sizeof entry);
            os::WriteProfileStringA("PrinterPorts", name.c_str(), "VORNDRV,LPT1:,15,45");
        }
        benchmark::DoNotOptimize(entry);
    }
}

// The bare profile pass plus the enumeration and the registry calls portfix makes for each
// printer's device mode: what remains between this and portfix is its own work.
void BM_BarePassWithRegistry(benchmark::State& state) {
    machine();
    constexpr os::DWORD kFlags = os::PRINTER_ENUM_LOCAL | os::PRINTER_ENUM_CONNECTIONS;
    for (auto _ : state) {
        state.PauseTiming();
        oldEntries();
        state.ResumeTiming();
        os::DWORD needed = 0, returned = 0;
        os::EnumPrintersA(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);
        std::string buffer(needed, '\0');
        os::EnumPrintersA(kFlags, nullptr, 2, reinterpret_cast<os::BYTE*>(buffer.data()), needed,
                          &needed, &returned);
        char entry[64];
        for (int i = 0; i < kPrinters; ++i) {
            const std::string name = nameOf(i);
            const std::string path = "System\\CurrentControlSet\\Control\\Print\\Printers\\" + name;
            os::HKEY key{};
            os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                              os::KEY_QUERY_VALUE | os::KEY_SET_VALUE, &key);
            os::DWORD size = 0;
            os::RegQueryValueExA(key, "Default DevMode", nullptr, nullptr, nullptr, &size);
            os::RegCloseKey(key);
            os::GetProfileStringA("Devices", name.c_str(), "", entry, sizeof entry);
            os::WriteProfileStringA("Devices", name.c_str(), "VORNDRV,LPT1:");
            os::GetProfileStringA("PrinterPorts", name.c_str(), "", entry, sizeof entry);
            os::WriteProfileStringA("PrinterPorts", name.c_str(), "VORNDRV,LPT1:,15,45");
        }
        benchmark::DoNotOptimize(entry);
    }
}

BENCHMARK(BM_Portfix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePassWithRegistry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareProfilePass)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("ratio portfix / bare profile pass over %d printers: %.2f\n", kPrinters,
                    times["BM_Portfix"] / times["BM_BareProfilePass"]);
        std::printf("ratio portfix / bare pass with the same registry calls: %.2f\n",
                    times["BM_Portfix"] / times["BM_BarePassWithRegistry"]);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
