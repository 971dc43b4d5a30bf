// The cost of a printed line under Wine: ImpImprimirLinea of the real DLL against bare GDI (the
// same translation, StartPage, TextOutA and EndPage calls a host would make itself) on the same
// printer and the same pages, both printing into a file through Wine's PostScript driver. The two
// loops alternate in one run; the medians are compared.
//
//   line_bench_wine [Linux path of a Dotpress.dll to measure instead of this build's]
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

constexpr int kLines = 250;
constexpr int kPageLines = 29; // the PostScript driver gives no Braille format: the default one
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

// Microseconds per line: ImpImprimirLinea and the dispatch of the messages it caused (the
// repainting of what the window shows), as a host's loop pays for them.
double dllRound(HMODULE dll, const std::vector<std::string>& text) {
    const dotpresstest::Exports imp(dll);
    imp.area(kPageLines, 40);
    PrintOptions options{};
    options.copies = 1;
    options.rangeCount = 1;
    options.ranges[0] = {1, (kLines + kPageLines - 1) / kPageLines};
    options.totalPages = options.ranges[0].lastPage;
    if (imp.open("Banco de pruebas", options) != 0) {
        return -1;
    }
    Clock::duration spent{};
    for (int i = 0; i < kLines; ++i) {
        const auto start = Clock::now();
        imp.line(text[static_cast<size_t>(i) % text.size()].c_str());
        pumpMessages();
        spent += Clock::now() - start;
    }
    imp.close();
    return std::chrono::duration<double, std::micro>(spent).count() / kLines;
}

// Microseconds per line of a host that translates and draws the same lines itself.
double bareRound(const std::vector<std::string>& text, const unsigned char (&table)[256]) {
    HDC dc = CreateDCW(nullptr, kPrinter, nullptr, nullptr);
    if (!dc) {
        return -1;
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
    for (int i = 0; i < kLines; ++i) {
        const std::string& line = text[static_cast<size_t>(i) % text.size()];
        const auto start = Clock::now();
        if (pageLines == 0) {
            StartPage(dc);
            y = 0;
        }
        int n = 0;
        for (unsigned char byte : line) {
            if (byte >= 32 && n < 40) {
                buffer[n++] = static_cast<char>(table[byte]);
            }
        }
        TextOutA(dc, 0, y, buffer, n);
        pumpMessages();
        y += metrics.tmHeight;
        if (++pageLines == kPageLines) {
            EndPage(dc);
            pageLines = 0;
        }
        spent += Clock::now() - start;
    }
    if (pageLines) {
        EndPage(dc);
    }
    EndDoc(dc);
    DeleteDC(dc);
    return std::chrono::duration<double, std::micro>(spent).count() / kLines;
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
    HKEY key;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Vorn\\DefDotpress", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, L"NombreImp", 0, REG_SZ, reinterpret_cast<const BYTE*>(kPrinter),
                   sizeof kPrinter - sizeof(wchar_t));
    RegCloseKey(key);

    HMODULE dll = LoadLibraryW(dllPath.c_str());
    if (!dll) {
        std::fprintf(stderr, "line_bench_wine: cannot load %s\n", narrow(dllPath).c_str());
        return 1;
    }
    // The embosser's table, as the library applies it; only its cost matters here.
    unsigned char table[256];
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<unsigned char>(b ^ (b >= 0x80 ? 0x21 : 0));
    }
    // Full lines of text, and lines of one cell, where the driver's share of a line is smallest
    // and the library's own the most visible.
    struct Kind {
        const char* what;
        std::vector<std::string> text;
        double line = 0, gdi = 0;
    };
    Kind kinds[] = {{"lines of about 36 cells", benchlines::sampleLines()},
                    {"lines of one cell", std::vector<std::string>{"x"}}};
    for (Kind& kind : kinds) {
        std::vector<double> withDll, bare;
        dllRound(dll, kind.text); // first runs warm the driver and the fonts
        bareRound(kind.text, table);
        for (int round = 0; round < kRounds; ++round) {
            withDll.push_back(dllRound(dll, kind.text));
            bare.push_back(bareRound(kind.text, table));
        }
        kind.line = median(withDll);
        kind.gdi = median(bare);
    }
    FreeLibrary(dll);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vorn\\DefDotpress");
    bool measured = true;
    std::printf("%d lines, pages of %d, medians of %d rounds, per line:\n", kLines, kPageLines,
                kRounds);
    for (const Kind& kind : kinds) {
        std::printf("%s: ImpImprimirLinea %.1f us, bare GDI %.1f us, ratio %.2f\n", kind.what,
                    kind.line, kind.gdi, kind.line / kind.gdi);
        measured = measured && kind.line > 0 && kind.gdi > 0;
    }
    return measured ? 0 : 1;
}
