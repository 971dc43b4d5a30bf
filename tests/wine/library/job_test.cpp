// The real Dotpress.dll in a prefix with printers added: the table it builds, the settings it
// keeps across unload and reload, and a job embossed into a file and read back.
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_dialogs.h"
#include "wine_postscript.h"
#include "wine_printers.h"
#include "wine_screenshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::Exports;
using dotpresstest::jobOptions;
using dotpresstest::LoadedDll;

const auto& kKey = dotpresstest::kSettingsKey;

void clearSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

struct Stored {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// A value under the settings key; type REG_NONE when it is not there.
Stored stored(const wchar_t* name) {
    Stored value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        value.type = REG_NONE;
        return value;
    }
    value.data.resize(size);
    RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                 value.data.data(), &size);
    value.data.resize(size);
    return value;
}

void storeName(const std::wstring& printer) {
    ASSERT_TRUE(dotpresstest::storePrinterName(printer));
}

// The host's message loop, for `milliseconds`.
void hostLoop(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Longer than the library holds two updates of the window apart.
constexpr DWORD kUpdateWait = 400;

class DllTest : public testing::Test {
protected:
    void SetUp() override { clearSettings(); }
    void TearDown() override { clearSettings(); }
    ScopedPrinter braille{L"Dotpress Braille A", L"VORN Braille", outputPath(L"job-a.ps")};
    ScopedPrinter other{L"Dotpress Braille B", L"Generic PS", outputPath(L"job-b.ps")};
};

TEST_F(DllTest, FirstRunBuildsTheTableAndStoresTheDefaultsAtUnload) {
    ASSERT_TRUE(braille.ok() && other.ok());
    const size_t installed = printers().size();
    ASSERT_GE(installed, 2u);
    {
        LoadedDll dll;
        ASSERT_NE(dll.get(), nullptr);
        EXPECT_EQ(Exports(dll.get()).count(), static_cast<int32_t>(installed));
        EXPECT_EQ(stored(L"DatosPag").type, static_cast<DWORD>(REG_NONE)) << "nothing at load";
    }
    const Stored block = stored(L"DatosPag");
    EXPECT_EQ(block.type, static_cast<DWORD>(REG_BINARY));
    const std::vector<BYTE> builtIn = {1, 0, 0, 0, 40, 0, 29, 0, 0, 0, 0, 0};
    EXPECT_EQ(block.data, builtIn);
    const Stored binding = stored(L"Encuadernar");
    EXPECT_EQ(binding.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(binding.data, (std::vector<BYTE>{0, 0, 0, 0}));
}

TEST_F(DllTest, StoredSettingsSurviveTheNextLoad) {
    ASSERT_TRUE(braille.ok() && other.ok());
    // A stored block and a key without "Encuadernar": binding comes back on.
    const BYTE block[12] = {2, 0, 0x18, 1, 32, 0, 25, 0, 1, 0, 0, 0};
    ASSERT_TRUE(dotpresstest::storeSetting(L"DatosPag", REG_BINARY, block, sizeof block));
    { LoadedDll dll; }
    EXPECT_EQ(stored(L"DatosPag").data, std::vector<BYTE>(block, block + 12));
    EXPECT_EQ(stored(L"Encuadernar").data, (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(DllTest, StoredPrinterNameSelectsItsPrinter) {
    ASSERT_TRUE(braille.ok() && other.ok());
    struct Case {
        std::wstring name;
        int32_t result;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"Dotpress Braille B", 7, L""},
        {L"Impresora retirada", 13, L"Debe seleccionar una impresora."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.name));
        storeName(c.name);
        LoadedDll dll;
        std::wstring shown;
        DialogDriver driver({answerMessageBox(IDOK, &shown)});
        EXPECT_EQ(Exports(dll.get()).printDialog(nullptr), c.result);
        EXPECT_EQ(narrow(shown), narrow(c.message));
    }
}

TEST_F(DllTest, JobIsTranslatedCutAndPagedIntoTheFile) {
    ASSERT_TRUE(braille.ok() && other.ok());
    const std::wstring file = outputPath(L"job-a.ps");
    ASSERT_TRUE(removeFile(file));
    storeName(braille.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    EXPECT_EQ(imp.area(10, 12), 1);

    const PrintOptions options = jobOptions(1, {{1, 2}});
    ASSERT_EQ(imp.open("Prueba de Dotpress", options), 0);
    HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
    ASSERT_NE(progress, nullptr) << "the progress window is open";
    EXPECT_EQ(narrow(controlText(progress, 1039)), narrow(braille.name()));
    EXPECT_EQ(controlText(progress, 1019), L"Prueba de Dotpress");

    imp.line("\xe1\xe9\xed\xf3(");          // á é í ó and a parenthesis, translated
    imp.line("abcdefghijklmnopqrstuvwxyz"); // cut at 12 columns
    for (int i = 0; i < 8; ++i) {
        imp.line("x");
    }
    imp.line("z"); // the eleventh line starts the second device page
    // The window counts the device pages, not pages of the printer's format (29 lines: the
    // PostScript driver gives no Braille parameters).
    hostLoop(kUpdateWait);
    EXPECT_EQ(controlText(progress, 1017), L"2");
    EXPECT_EQ(controlText(progress, 1020), L"1");
    // Kept for a person to look at: build/<arch>/progress-window.bmp.
    EXPECT_TRUE(saveScreenshot(progress, outputPath(L"progress-window.bmp")));
    imp.close();
    EXPECT_FALSE(IsWindow(progress)) << "closing the job closes the window";

    const auto pages = glyphsPerPage(readFile(file));
    ASSERT_EQ(pages.size(), 2u);
    std::vector<std::string> first = {"parenleft", "dollar", "slash", "zero", "circumflex", "a",
                                      "b",         "c",      "d",     "e",    "f",          "g",
                                      "h",         "i",      "j",     "k",    "l"};
    first.insert(first.end(), 8, "x");
    EXPECT_EQ(pages[0], first);
    EXPECT_EQ(pages[1], std::vector<std::string>{"z"});
}

// The progress window's page, copy and bar, seen from inside each control: what the library
// sent it, what it showed at its last paint, and what it held, painted or not, when it went.
struct ControlLog {
    WNDPROC original = nullptr;
    std::vector<std::wstring> sent;
    std::wstring painted;
    std::wstring atDestroy;
    bool unpaintedAtDestroy = false;
};
ControlLog pageLog, copyLog, barLog;

std::wstring showing(HWND control, const ControlLog& log) {
    if (GetDlgCtrlID(control) == 1025) {
        return std::to_wstring(CallWindowProcW(log.original, control, PBM_GETPOS, 0, 0));
    }
    wchar_t text[32] = {};
    GetWindowTextW(control, text, 32);
    return text;
}

LRESULT CALLBACK recordControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlLog& log = GetDlgCtrlID(window) == 1017   ? pageLog
                      : GetDlgCtrlID(window) == 1020 ? copyLog
                                                     : barLog;
    if (message == WM_SETTEXT) {
        log.sent.push_back(reinterpret_cast<const wchar_t*>(lParam));
    } else if (message == PBM_SETPOS) {
        log.sent.push_back(std::to_wstring(wParam));
    } else if (message == WM_PAINT) {
        log.painted = showing(window, log);
    } else if (message == WM_DESTROY) {
        log.atDestroy = showing(window, log);
        log.unpaintedAtDestroy = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    }
    return CallWindowProcW(log.original, window, message, wParam, lParam);
}

void watch(HWND dialog, int id, ControlLog& log) {
    log = ControlLog{};
    log.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        GetDlgItem(dialog, id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordControl)));
}

// The progress window of the job just opened, its page, copy and bar watched from now on, after
// the host's loop has let it paint first; null when there is none.
HWND watchedProgressWindow() {
    HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
    if (progress) {
        watch(progress, 1017, pageLog);
        watch(progress, 1020, copyLog);
        watch(progress, 1025, barLog);
        hostLoop(50);
    }
    return progress;
}

// What the control shows when it paints: it is made to paint now.
std::wstring painted(HWND dialog, int id, const ControlLog& log) {
    RedrawWindow(GetDlgItem(dialog, id), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return log.painted;
}

// The page parameters the library gives a printer whose driver has none, as "DatosPag": a
// double-sided format of 12 lines.
void storeDoubleSidedFormatOf12Lines() {
    const BYTE block[12] = {1, 0, 0, 0, 40, 0, 12, 0, 1, 0, 0, 0};
    ASSERT_TRUE(dotpresstest::storeSetting(L"DatosPag", REG_BINARY, block, sizeof block));
}

// Pages 1-2 and 3, two copies, on a double-sided 12-line format with a printing area of 10 lines:
// the window shows each device page as the host's loop runs, and page 3 of each copy gets an
// empty back, so that the second copy starts on a sheet of its own.
TEST_F(DllTest, DoubleSidedJobOnAShortAreaShowsAndEmbossesTheDevicePages) {
    ASSERT_TRUE(braille.ok() && other.ok());
    const std::wstring file = outputPath(L"job-a.ps");
    ASSERT_TRUE(removeFile(file));
    storeDoubleSidedFormatOf12Lines();
    storeName(braille.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 12);
    const PrintOptions options = jobOptions(2, {{1, 2}, {3, 3}});
    ASSERT_EQ(imp.open("Dos copias", options), 0);
    HWND progress = watchedProgressWindow();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(painted(progress, 1017, pageLog), L"1") << "set up with the job, before a line";
    EXPECT_EQ(painted(progress, 1020, copyLog), L"1");
    EXPECT_EQ(painted(progress, 1025, barLog), L"1");

    const wchar_t* pages[] = {L"1", L"2", L"3", L"1", L"2", L"3"};
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE(page + 1);
        for (int line = 0; line < 10; ++line) {
            imp.line("x");
            if (line == 0) {
                hostLoop(kUpdateWait);
                EXPECT_EQ(painted(progress, 1017, pageLog), pages[page]);
                EXPECT_EQ(painted(progress, 1020, copyLog), page < 3 ? L"1" : L"2");
                EXPECT_EQ(painted(progress, 1025, barLog), std::to_wstring(page + 1));
            }
        }
    }
    // Each control was sent each change once, and nothing else.
    EXPECT_EQ(pageLog.sent, (std::vector<std::wstring>{L"2", L"3", L"1", L"2", L"3"}));
    EXPECT_EQ(copyLog.sent, (std::vector<std::wstring>{L"2"}));
    EXPECT_EQ(barLog.sent, (std::vector<std::wstring>{L"2", L"3", L"4", L"5", L"6"}));
    imp.close();

    const auto faces = glyphsPerPage(readFile(file));
    ASSERT_EQ(faces.size(), 8u);
    for (size_t f = 0; f < faces.size(); ++f) {
        SCOPED_TRACE(f + 1);
        const bool back = f == 3 || f == 7;
        EXPECT_EQ(faces[f], std::vector<std::string>(back ? 0 : 10, "x"));
    }
}

// The host's window has the keyboard while no job runs: the progress window takes it with the
// job and gives it back, at once, when the job closes, so that a screen reader is back in the
// host. Also run on an X display with a window manager (dotpress_job_x11).
TEST_F(DllTest, HostWindowHasTheKeyboardBackWhenTheJobCloses) {
    ASSERT_TRUE(braille.ok() && other.ok());
    ASSERT_TRUE(removeFile(outputPath(L"job-a.ps")));
    storeName(braille.name());
    HWND host = CreateWindowExW(0, L"STATIC", L"Anfitri\u00f3n", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    ShowWindow(host, SW_SHOWNORMAL);
    SetForegroundWindow(host);
    hostLoop(50);
    ASSERT_EQ(GetActiveWindow(), host);
    {
        LoadedDll dll;
        const Exports imp(dll.get());
        imp.area(10, 12);
        const PrintOptions options = jobOptions(1, {{1, 1}});
        ASSERT_EQ(imp.open("Con anfitri\xf3n", options, host), 0);
        HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(GetWindow(progress, GW_OWNER), host);
        EXPECT_EQ(GetActiveWindow(), progress);
        imp.line("x");
        hostLoop(50);
        const DWORD start = GetTickCount();
        imp.close();
        hostLoop(20);
        // A window destroyed the ordinary way goes at once; on an X display the window manager
        // answers the hiding of the window, and the system activates the owner.
        EXPECT_LT(GetTickCount() - start, 500u) << "the close waited";
        EXPECT_FALSE(IsWindow(progress));
        EXPECT_EQ(GetActiveWindow(), host);
        EXPECT_EQ(GetForegroundWindow(), host);
    }
    DestroyWindow(host);
}

// The window paints before its controls: uncovered while a note still waits for the host's
// loop, it paints the last line's page and bar, not the ones before.
TEST_F(DllTest, ProgressWindowPaintsTheLastLineWheneverItPaints) {
    ASSERT_TRUE(braille.ok() && other.ok());
    ASSERT_TRUE(removeFile(outputPath(L"job-a.ps")));
    storeName(braille.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 12);
    ASSERT_EQ(imp.open("Al pintar", jobOptions(1, {{1, 4}})), 0);
    HWND progress = watchedProgressWindow();
    ASSERT_NE(progress, nullptr);
    for (int i = 0; i < 11; ++i) { // the last line is on page 2
        imp.line("x");
    }
    RedrawWindow(progress, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(pageLog.painted, L"2");
    EXPECT_EQ(barLog.painted, L"2");
    EXPECT_EQ(copyLog.painted, L"1");
    imp.close();
}

// Lines that the host's loop has not seen yet are shown before the window goes.
TEST_F(DllTest, ProgressWindowShowsTheLastLineBeforeItCloses) {
    ASSERT_TRUE(braille.ok() && other.ok());
    ASSERT_TRUE(removeFile(outputPath(L"job-a.ps")));
    storeName(braille.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 12);
    const PrintOptions options = jobOptions(1, {{1, 4}});
    ASSERT_EQ(imp.open("Al cerrar", options), 0);
    HWND progress = watchedProgressWindow();
    ASSERT_NE(progress, nullptr);
    for (int i = 0; i < 21; ++i) { // the last line is on page 3
        imp.line("x");
    }
    EXPECT_EQ(pageLog.sent, std::vector<std::wstring>{}) << "the lines sent the window nothing";
    imp.close();
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_EQ(pageLog.atDestroy, L"3");
    EXPECT_EQ(barLog.atDestroy, L"3");
    EXPECT_EQ(copyLog.atDestroy, L"1");
    EXPECT_FALSE(pageLog.unpaintedAtDestroy) << "painted before it went";
    EXPECT_FALSE(barLog.unpaintedAtDestroy) << "painted before it went";
}

// Printing to a file names "FILE:" as the document's output. Windows then asks the user for the
// file; Wine instead writes a file of that very name in the current folder, which lets the test
// read the job back. Either way the printer's own port gets nothing.
TEST_F(DllTest, PrintToFileSendsTheJobToTheFileOutput) {
    ASSERT_TRUE(braille.ok() && other.ok());
    ASSERT_TRUE(SetCurrentDirectoryW(testDir().c_str()));
    const std::wstring fileOutput = L"\\\\?\\" + testDir() + L"\\FILE:";
    const std::wstring port = outputPath(L"job-a.ps");
    ASSERT_TRUE(removeFile(fileOutput));
    ASSERT_TRUE(removeFile(port));
    storeName(braille.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(10, 20);
    PrintOptions options = jobOptions(1, {{1, 1}});
    options.printToFile = 1;
    ASSERT_EQ(imp.open("A fichero", options), 0);
    imp.line("ok");
    imp.close();
    EXPECT_EQ(glyphsPerPage(readFile(fileOutput)),
              (std::vector<std::vector<std::string>>{{"o", "k"}}));
    EXPECT_FALSE(fileExists(port)) << "the printer's own port is not used";
    removeFile(fileOutput);
}

} // namespace
