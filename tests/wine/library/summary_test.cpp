// The real Dotpress.dll: the summary of jobs embossed into a file and read back, and the test
// sheet, embossed from one blocking call while the library runs the thread's messages, cancelled
// by key or ended by WM_QUIT, beside a host that never runs out of work.
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_dialogs.h"
#include "wine_keyboard.h"
#include "wine_postscript.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::Exports;
using dotpresstest::jobOptions;
using dotpresstest::LoadedDll;

// The figures in the order of the block, state first.
std::vector<uint32_t> figures(const JobSummary& s) {
    return {static_cast<uint32_t>(s.state),
            s.pagesPrinted,
            s.blankPages,
            s.sheets,
            s.copiesFinished,
            s.lastPage,
            s.lastCopy,
            s.linesPrinted,
            s.linesCut,
            s.charactersCut,
            s.bytesDropped,
            s.linesIgnored};
}

// The page parameters the library gives a printer whose driver has none, as "DatosPag".
void storeFormat(int16_t lines, int16_t columns, int16_t doubleSided) {
    const int16_t block[6] = {1, 0, columns, lines, doubleSided, 0};
    ASSERT_TRUE(dotpresstest::storeSetting(L"DatosPag", REG_BINARY, block, sizeof block));
}

// The glyphs Wine's PostScript driver draws for a line, the blanks left out.
std::vector<std::string> glyphsOf(const std::string& text) {
    static const std::map<char, std::string> signs = {
        {'#', "numbersign"}, {':', "colon"}, {'/', "slash"}, {'-', "uni00AD"}, {'=', "equal"}};
    std::vector<std::string> glyphs;
    for (char c : text) {
        if (c != ' ') {
            glyphs.push_back(signs.count(c) ? signs.at(c) : std::string(1, c));
        }
    }
    return glyphs;
}

class SummaryTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
        ASSERT_TRUE(braille.ok());
        ASSERT_TRUE(removeFile(file));
        ASSERT_TRUE(dotpresstest::storePrinterName(braille.name()));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey); }
    const std::wstring file = outputPath(L"summary.ps");
    ScopedPrinter braille{L"Dotpress Resumen", L"VORN Resumen", file};
};

TEST_F(SummaryTest, CutsDropsACancelAndLinesAfterItGiveExactFigures) {
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 12);
    EXPECT_EQ(figures(imp.summary()), std::vector<uint32_t>(12, 0)) << "no job since loading";
    ASSERT_EQ(imp.open("Resumen", jobOptions(1, {{1, 3}})), 0);
    imp.line("a\tb\x01"
             "c");                          // two bytes dropped
    imp.line("abcdefghijklmnopq");          // 5 characters cut
    imp.line("\tABCDEFGHIJKLMNOPQRSTUVWX"); // one dropped, 12 cut
    for (int i = 0; i < 7 + 4; ++i) {       // page 1 full, 4 lines of page 2
        imp.line("x");
    }
    EXPECT_EQ(figures(imp.summary()),
              (std::vector<uint32_t>{JOB_STATE_OPEN, 1, 0, 1, 0, 2, 1, 14, 2, 17, 3, 0}));
    HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
    ASSERT_NE(progress, nullptr);
    pressKey(progress, VK_ESCAPE);
    runHostLoop();
    EXPECT_EQ(imp.summary().state, JOB_STATE_CANCELLED);
    for (int i = 0; i < 3; ++i) {
        imp.line("after the cancel");
    }
    imp.close();
    const std::vector<uint32_t> expected{JOB_STATE_CANCELLED, 1, 0, 1, 0, 2, 1, 14, 2, 17, 3, 3};
    EXPECT_EQ(figures(imp.summary()), expected);
    imp.line("no job");
    EXPECT_EQ(figures(imp.summary()), expected) << "lines without a job change nothing";

    // A block of the first layout gets its 52 bytes; a longer one learns where ours ends.
    for (const uint32_t size : {uint32_t(JOB_SUMMARY_MIN_SIZE), uint32_t(100)}) {
        uint32_t block[26]; // 100 bytes and a word past them
        for (uint32_t& word : block) {
            word = 0xABAB;
        }
        block[0] = size;
        EXPECT_EQ(imp.get<int32_t(DOTPRESS_CALL*)(void*)>("ImpObtenerResumen")(block), 0);
        EXPECT_EQ(block[0], size < sizeof(JobSummary) ? size : sizeof(JobSummary)) << size;
        EXPECT_EQ(block[block[0] / 4], 0xABABu) << size << ": nothing past what was filled";
    }
}

// A double-sided job: the empty backs and the sheets the summary gives are those of the faces
// the PostScript holds.
TEST_F(SummaryTest, DoubleSidedJobsFacesAndSheetsMatchThePostScript) {
    storeFormat(12, 40, 1);
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 12);
    ASSERT_EQ(imp.open("Dos caras", jobOptions(2, {{1, 2}, {3, 3}})), 0);
    for (int i = 0; i < 6 * 10; ++i) {
        imp.line("x");
    }
    imp.close();
    const JobSummary s = imp.summary();
    const auto faces = glyphsPerPage(readFile(file));
    ASSERT_EQ(faces.size(), 8u);
    uint32_t empty = 0;
    for (const auto& face : faces) {
        empty += face.empty() ? 1 : 0;
    }
    EXPECT_EQ(s.blankPages, empty);
    EXPECT_EQ(s.pagesPrinted + s.blankPages, faces.size());
    EXPECT_EQ(s.sheets, (faces.size() + 1) / 2);
    EXPECT_EQ(figures(s),
              (std::vector<uint32_t>{JOB_STATE_FINISHED, 6, 2, 4, 2, 3, 2, 60, 0, 0, 0, 0}));
}

// The test sheet on a printer of 12 lines of 30 cells, whatever area the host has set: the first
// page states the format, marks every tenth column and numbers the other lines with the number
// sign and letters, each ending on a full cell and starting at the page's edge, binding on as
// off; the table follows.
TEST_F(SummaryTest, TestSheetHoldsThePrintersLinesThenTheTable) {
    storeFormat(12, 30, 0);
    std::vector<int> unbound; // where the lines start with binding off
    for (const DWORD binding : {DWORD(0), DWORD(1)}) {
        ASSERT_TRUE(dotpresstest::storeSetting(L"Encuadernar", REG_DWORD, &binding, 4));
        if (binding == 0) {
            LoadedDll dll;
            EXPECT_EQ(Exports(dll.get()).testSheet(), 0);
            unbound = lineStartsPerPage(readFile(file)).at(0);
            ASSERT_TRUE(removeFile(file));
        }
    }
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 20);
    EXPECT_EQ(imp.testSheet(), 0);
    EXPECT_EQ(FindWindowW(L"#32770", L"Imprimiendo"), nullptr) << "the window is gone";
    const auto pages = glyphsPerPage(readFile(file));
    ASSERT_GE(pages.size(), 2u);
    // The marks and the full cells, in order; the blanks between them are left out.
    std::vector<std::string> marks;
    for (const std::string& glyph : pages[0]) {
        if (glyph != "uni00A0" && glyph != "space") {
            marks.push_back(glyph);
        }
    }
    EXPECT_EQ(marks, glyphsOf("formato: #ab l/neas de #cj=cajetines=------ #aj------ #bj---------="
                              "#d=#e=#f=#g=#h=#i=#aj=#aa=#ab="));
    EXPECT_EQ(pages[0].size(), 12u * 30u) << "every line is the page's 30 columns";
    const std::vector<int> starts = lineStartsPerPage(readFile(file)).at(0);
    EXPECT_EQ(starts, unbound) << "binding on, the same page as off";
    EXPECT_EQ(starts, std::vector<int>(unbound.size(), 0)) << "every line at the page's edge";
    // The table: its title first.
    const std::vector<std::string> title = glyphsOf("tabla");
    ASSERT_GE(pages[1].size(), title.size());
    EXPECT_EQ(std::vector<std::string>(pages[1].begin(), pages[1].begin() + 5), title);

    const JobSummary s = imp.summary();
    EXPECT_EQ(s.state, JOB_STATE_FINISHED);
    EXPECT_EQ(s.pagesPrinted, pages.size());
    EXPECT_EQ(s.lastPage, pages.size());
    EXPECT_EQ(s.copiesFinished, 1u);
    EXPECT_EQ(s.linesCut + s.bytesDropped + s.linesIgnored, 0u);
    // The host's area is back: a job of its own is cut at its 20 columns.
    ASSERT_TRUE(removeFile(file));
    ASSERT_EQ(imp.open("Tras la prueba", jobOptions(1, {{1, 1}})), 0);
    imp.line("abcdefghijklmnopqrstuvwxyz");
    imp.close();
    EXPECT_EQ(imp.summary().charactersCut, 6u);
}

// The person at the keyboard while the sheet runs: a thread timer fires inside the library's
// loop; once the sheet has embossed 100 lines (the host may ask for the summary from its own
// windows meanwhile), it notes the owner's state and presses a key in the progress window.
struct SheetUser {
    const Exports* imp = nullptr;
    UINT key = VK_ESCAPE;
    HWND owner = nullptr;
    bool pressed = false;
    bool ownerWasEnabled = true;
    uint32_t linesBefore = 0;
    static SheetUser* current;
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
        SheetUser& user = *current;
        HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
        const uint32_t lines = user.imp->summary().linesPrinted;
        if (progress && !user.pressed && lines >= 100) {
            user.ownerWasEnabled = IsWindowEnabled(user.owner) != FALSE;
            user.linesBefore = lines;
            pressKey(progress, user.key);
            user.pressed = true;
        }
    }
};
SheetUser* SheetUser::current = nullptr;

// A long first page (2,000 lines), so that the key comes while it is being embossed.
TEST_F(SummaryTest, TestSheetIsCancelledByKeyWhileItRuns) {
    storeFormat(2000, 30, 0);
    HWND owner = CreateWindowExW(0, L"STATIC", L"Anfitri\u00f3n", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    ShowWindow(owner, SW_SHOWNORMAL);
    for (const UINT key : {UINT(VK_ESCAPE), UINT(VK_RETURN), UINT(VK_SPACE)}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(removeFile(file));
        LoadedDll dll;
        const Exports imp(dll.get());
        SheetUser user;
        user.imp = &imp;
        user.key = key;
        user.owner = owner;
        SheetUser::current = &user;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &SheetUser::onTimer);
        EXPECT_EQ(imp.testSheet(owner), 0);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(user.pressed);
        EXPECT_FALSE(user.ownerWasEnabled) << "the owner takes no input while the sheet runs";
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(FindWindowW(L"#32770", L"Imprimiendo"), nullptr);
        const JobSummary s = imp.summary();
        EXPECT_EQ(s.state, JOB_STATE_CANCELLED);
        EXPECT_EQ(s.lastPage, 1u);
        EXPECT_EQ(s.lastCopy, 1u);
        EXPECT_EQ(s.pagesPrinted, 0u);
        EXPECT_EQ(s.linesPrinted, user.linesBefore) << "no line after the key";
        EXPECT_LT(s.linesPrinted, 2000u) << "stopped on the first page";
        EXPECT_EQ(s.linesIgnored, 0u);
    }
    DestroyWindow(owner);
}

// WM_QUIT ends the sheet as it ends a modal loop, and is there again for the host's loop.
TEST_F(SummaryTest, QuitEndsTheSheetAndIsLeftForTheHost) {
    LoadedDll dll;
    const Exports imp(dll.get());
    PostQuitMessage(3);
    EXPECT_EQ(imp.testSheet(), 0);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 3u);
    const JobSummary s = imp.summary();
    EXPECT_EQ(s.state, JOB_STATE_CANCELLED);
    EXPECT_EQ(s.linesPrinted, 0u);
    EXPECT_EQ(FindWindowW(L"#32770", L"Imprimiendo"), nullptr);
}

// Without a selected printer the user is told, as the print dialog tells it.
TEST_F(SummaryTest, TestSheetWithoutAPrinterTellsTheUser) {
    ASSERT_TRUE(dotpresstest::storePrinterName(L"Impresora retirada"));
    LoadedDll dll;
    const Exports imp(dll.get());
    std::wstring shown;
    DialogDriver driver({answerMessageBox(IDOK, &shown)});
    EXPECT_EQ(imp.testSheet(), 13);
    EXPECT_EQ(narrow(shown), "Debe seleccionar una impresora.");
    EXPECT_EQ(imp.summary().state, JOB_STATE_NONE);
}

// The sheet beside a host that keeps its own thread busy, also on an X display with a window
// manager (dotpress_busy_host_x11). A loop that waits for an empty queue fails, not hangs: the
// host's work stops after kEnoughWork pieces.
constexpr UINT kMoreWork = WM_APP + 3;
constexpr unsigned kEnoughWork = 50000;

const Exports* hostExports = nullptr;
unsigned pieces = 0;
uint32_t escAfterLines = 0; // 0: no key
bool closedOpenJob = false, enabledWhenClosing = true;

// The host's top-level window: each piece of its work posts the next; its timer closes the job.
LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMoreWork && ++pieces < kEnoughWork) {
        if (escAfterLines && hostExports->summary().linesPrinted >= escAfterLines) {
            pressKey(FindWindowW(L"#32770", L"Imprimiendo"), VK_ESCAPE);
            escAfterLines = 0;
        }
        PostMessageW(window, kMoreWork, 0, 0);
    } else if (message == WM_TIMER) {
        KillTimer(window, wParam);
        enabledWhenClosing = IsWindowEnabled(window) != FALSE;
        closedOpenJob = hostExports->summary().state == JOB_STATE_OPEN;
        hostExports->close();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class BusyHostTest : public SummaryTest {
protected:
    void SetUp() override {
        SummaryTest::SetUp();
        WNDCLASSW type{};
        type.lpfnWndProc = hostProc;
        type.lpszClassName = L"DotpressBusyHost";
        RegisterClassW(&type);
        top = CreateWindowExW(0, type.lpszClassName, L"Anfitri\u00f3n", WS_OVERLAPPEDWINDOW, 0, 0,
                              300, 200, nullptr, nullptr, nullptr, nullptr);
        view = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 9, 9, top, nullptr, nullptr,
                               nullptr);
        ShowWindow(top, SW_SHOWNORMAL);
        SetForegroundWindow(top);
        runHostLoop();
        ASSERT_EQ(GetActiveWindow(), top);
        hostExports = &exports;
        pieces = escAfterLines = 0;
        closedOpenJob = false;
        enabledWhenClosing = true;
    }
    void TearDown() override {
        DestroyWindow(top);
        SummaryTest::TearDown();
    }
    LoadedDll dll;
    const Exports exports{dll.get()};
    HWND top = nullptr, view = nullptr;
};

// The sheet: the printer's 29-line page, then the table; Esc after 10 lines cancels its first page.
TEST_F(BusyHostTest, SheetEndsOrIsCancelledBesideAHostThatNeverRunsOutOfWork) {
    PostMessageW(top, kMoreWork, 0, 0);
    EXPECT_EQ(exports.testSheet(top), 0);
    EXPECT_LT(pieces, kEnoughWork) << "the host ran out of work before the sheet ended";
    EXPECT_EQ(exports.summary().state, JOB_STATE_FINISHED);
    EXPECT_GE(exports.summary().pagesPrinted, 2u);

    pieces = 0;
    escAfterLines = 10;
    PostMessageW(top, kMoreWork, 0, 0);
    EXPECT_EQ(exports.testSheet(top), 0);
    EXPECT_LT(pieces, kEnoughWork) << "the host ran out of work before the key was heard";
    EXPECT_EQ(exports.summary().state, JOB_STATE_CANCELLED);
    EXPECT_LT(exports.summary().linesPrinted, 29u) << "cancelled on the first page";
}

// A child window as owner: the top-level window is disabled while the sheet runs, and active
// again after the host's own timer closed the sheet.
TEST_F(BusyHostTest, HostThatClosesTheSheetFromItsTimerHasTheKeyboardBack) {
    SetTimer(top, 1, 10, nullptr);
    EXPECT_EQ(exports.testSheet(view), 0);
    runHostLoop();
    ASSERT_TRUE(closedOpenJob) << "the sheet ended before the host's timer";
    EXPECT_FALSE(enabledWhenClosing);
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetForegroundWindow(), top);
}

} // namespace
