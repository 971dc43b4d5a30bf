// The cost of a printed line: ImpImprimirLinea on the simulated machine (recording off) against
// a bare translate-and-copy loop over the same lines, measured in one run and reported as a
// ratio, with the allocations made per printed line.
#include "bench/sample_lines.h"
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/translation.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

extern std::atomic<long> heapAllocations;

namespace {

const std::vector<std::string>& sampleLines() {
    static const std::vector<std::string> lines = benchlines::sampleLines();
    return lines;
}

void BM_ImprimirLinea(benchmark::State& state) {
    sim::reset();
    sim::world().recording = false;
    sim::Params format;
    format.lines = 29;
    format.columns = 40;
    sim::addBraillePrinter(u"Braille", u"LPT1:", format);
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp",
                   u"Braille");
    dotpress::load();
    uint16_t lines = 29, columns = 40;
    ImpSetPrintingArea(&lines, &columns);
    PrintOptions options{};
    options.copies = 1;
    options.rangeCount = 1;
    options.ranges[0] = {1, 0xFFFFFFFFu};
    options.totalPages = 0xFFFFFFFFu;
    ImpAbrirImpresora(nullptr, "bench", options);

    const auto& text = sampleLines();
    const long heapBefore = heapAllocations.load();
    const long localBefore = sim::world().allocations;
    size_t i = 0;
    for (auto _ : state) {
        ImpImprimirLinea(text[i++ & 63].c_str());
    }
    const double printed = static_cast<double>(state.iterations());
    state.counters["allocs_per_line"] =
        static_cast<double>(heapAllocations.load() - heapBefore +
                            (sim::world().allocations - localBefore)) /
        printed;
    ImpCerrarImpresora();
    dotpress::unload();
}
BENCHMARK(BM_ImprimirLinea);

void BM_TranslateAndCopy(benchmark::State& state) {
    const auto& text = sampleLines();
    char buffer[520];
    char device[520];
    size_t i = 0;
    for (auto _ : state) {
        const char* line = text[i++ & 63].c_str();
        size_t n = 0;
        for (const char* p = line; *p && n < 519; ++p) {
            const auto b = static_cast<unsigned char>(*p);
            if (b >= 32) {
                buffer[n++] = static_cast<char>(dotpress::translationTable[b]);
            }
        }
        n = n > 40 ? 40 : n;
        std::memcpy(device, buffer, n);
        benchmark::DoNotOptimize(device);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TranslateAndCopy);

// Prints the usual table, then the ratio of the two in this run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
            auto allocs = run.counters.find("allocs_per_line");
            if (allocs != run.counters.end()) {
                allocsPerLine = allocs->second.value;
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double line = times["BM_ImprimirLinea"];
        const double bare = times["BM_TranslateAndCopy"];
        if (bare > 0) {
            std::printf("ratio ImpImprimirLinea / translate-and-copy: %.1f\n", line / bare);
        }
        std::printf("allocations per printed line: %g\n", allocsPerLine);
    }
    std::map<std::string, double> times;
    double allocsPerLine = -1;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
