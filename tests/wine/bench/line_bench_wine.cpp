// The cost of a printed line under Wine: ImpImprimirLinea of the real DLL against bare GDI (the
// same translation, StartPage, TextOutA and EndPage calls a host would make itself) on the same
// printer and the same pages, both printing into a file through Wine's PostScript driver; and the
// cost of ImpCerrarImpresora against the bare end of the document (EndPage, EndDoc, DeleteDC).
// The two loops alternate in one run; the medians are compared. A line's time includes
// dispatching the messages it caused, as a host's loop pays for them.
//
//   line_bench_wine [Linux path of a Dotpress.dll to measure instead of this build's]
//
// It measures on whatever display the prefix has: Wine's null driver in the test prefix, X11
// under Xvfb through tests/wine/support/x11.sh. The jobs belong to a shown host window, as a
// host's do, so that the close includes giving the keyboard back to it.
#include "bench/sample_lines.h"
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_printers.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace winetest;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;

const wchar_t kPrinter[] = L"Dotpress Line Bench";

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// One job: its lines, their page length and width.
struct Job {
    const char* what;
    std::vector<std::string> text;
    int lines;
    uint16_t pageLines;
    uint16_t columns;
};

struct Round {
    double perLine = -1; // microseconds
    double close = -1;   // milliseconds
};

Round dllRound(HMODULE dll, HWND host, const Job& job) {
    const dotpresstest::Exports imp(dll);
    imp.area(job.pageLines, job.columns);
    const auto pages = static_cast<uint32_t>((job.lines + job.pageLines - 1) / job.pageLines);
    const PrintOptions options = dotpresstest::jobOptions(1, {{1, pages}});
    if (imp.open("Banco de pruebas", options, host) != 0) {
        return {};
    }
    pumpMessages(); // the window's first paint belongs to the opening
    Clock::duration spent{};
    for (int i = 0; i < job.lines; ++i) {
        const auto start = Clock::now();
        imp.line(job.text[static_cast<size_t>(i) % job.text.size()].c_str());
        pumpMessages();
        spent += Clock::now() - start;
    }
    const auto closing = Clock::now();
    imp.close();
    pumpMessages();
    Round r;
    r.close = micros(Clock::now() - closing) / 1000;
    r.perLine = micros(spent) / job.lines;
    return r;
}

// A host that translates and draws the same lines itself.
Round bareRound(const Job& job, const unsigned char (&table)[256]) {
    HDC dc = CreateDCW(nullptr, kPrinter, nullptr, nullptr);
    if (!dc) {
        return {};
    }
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"Banco de pruebas";
    StartDocW(dc, &doc);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    char buffer[520];
    int pageLines = 0;
    int y = 0;
    Clock::duration spent{};
    for (int i = 0; i < job.lines; ++i) {
        const std::string& line = job.text[static_cast<size_t>(i) % job.text.size()];
        const auto start = Clock::now();
        if (pageLines == 0) {
            StartPage(dc);
            y = 0;
        }
        int n = 0;
        for (unsigned char byte : line) {
            if (byte >= 32 && n < job.columns) {
                buffer[n++] = static_cast<char>(table[byte]);
            }
        }
        TextOutA(dc, 0, y, buffer, n);
        pumpMessages();
        y += metrics.tmHeight;
        if (++pageLines == job.pageLines) {
            EndPage(dc);
            pageLines = 0;
        }
        spent += Clock::now() - start;
    }
    const auto closing = Clock::now();
    if (pageLines) {
        EndPage(dc);
    }
    EndDoc(dc);
    DeleteDC(dc);
    pumpMessages();
    Round r;
    r.close = micros(Clock::now() - closing) / 1000;
    r.perLine = micros(spent) / job.lines;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const std::wstring dllPath = argc > 1 ? winePath(argv[1]) : dotpresstest::dllPath();
    const std::wstring output = testDir() + L"\\line-bench.ps";
    ScopedPrinter printer(kPrinter, L"VORN Braille", output);
    if (!printer.ok()) {
        std::fprintf(stderr, "line_bench_wine: cannot add the printer\n");
        return 1;
    }
    dotpresstest::storePrinterName(kPrinter);

    HMODULE dll = LoadLibraryW(dllPath.c_str());
    if (!dll) {
        std::fprintf(stderr, "line_bench_wine: cannot load %s\n", narrow(dllPath).c_str());
        return 1;
    }
    HWND host = CreateWindowExW(0, L"STATIC", L"Anfitri\u00f3n", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(host, SW_SHOWNORMAL);
    pumpMessages();
    // The embosser's table, as the library applies it; only its cost matters here.
    unsigned char table[256];
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<unsigned char>(b ^ (b >= 0x80 ? 0x21 : 0));
    }
    // Short lines on a small page, where a line's own cost is lowest and the window's the most
    // visible; full lines; lines of one cell, where the driver's share is smallest; and a job
    // long enough for the window to show its pages while it runs.
    struct Kind {
        Job job;
        std::vector<double> line{}, gdi{}, close{}, bareClose{};
    };
    Kind kinds[] = {
        {{"250 lines of 28 characters, 25 x 30 area", benchlines::sampleLines(28), 250, 25, 30}},
        {{"250 lines of about 36 cells, 29 x 40 area", benchlines::sampleLines(), 250, 29, 40}},
        {{"250 lines of one cell, 29 x 40 area", {"x"}, 250, 29, 40}},
        {{"5,000 lines of 28 characters, 25 x 30 area", benchlines::sampleLines(28), 5000, 25, 30}},
    };
    for (Kind& kind : kinds) {
        dllRound(dll, host, kind.job); // first runs warm the driver and the fonts
        bareRound(kind.job, table);
        for (int round = 0; round < kRounds; ++round) {
            const Round withDll = dllRound(dll, host, kind.job);
            const Round bare = bareRound(kind.job, table);
            kind.line.push_back(withDll.perLine);
            kind.close.push_back(withDll.close);
            kind.gdi.push_back(bare.perLine);
            kind.bareClose.push_back(bare.close);
        }
    }
    FreeLibrary(dll);
    DestroyWindow(host);
    RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
    bool measured = true;
    std::printf("medians of %d interleaved rounds, per line and per close:\n", kRounds);
    for (const Kind& kind : kinds) {
        const double line = median(kind.line), gdi = median(kind.gdi);
        const double close = median(kind.close), bareClose = median(kind.bareClose);
        std::printf("%s:\n  ImpImprimirLinea %.1f us, bare GDI %.1f us, ratio %.2f\n"
                    "  ImpCerrarImpresora %.1f ms, bare EndDoc path %.1f ms, difference %.1f ms\n",
                    kind.job.what, line, gdi, line / gdi, close, bareClose, close - bareClose);
        measured = measured && line > 0 && gdi > 0 && close >= 0;
    }
    return measured ? 0 : 1;
}
