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

std::wstring outputPath(const wchar_t* name) {
    return testDir() + L"\\" + name;
}

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
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const BYTE block[12] = {2, 0, 0x18, 1, 32, 0, 25, 0, 1, 0, 0, 0};
    RegSetValueExW(key, L"DatosPag", 0, REG_BINARY, block, sizeof block);
    RegCloseKey(key);
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

    PrintOptions options{};
    options.copies = 1;
    options.rangeCount = 1;
    options.ranges[0] = {1, 2};
    options.totalPages = 2;
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
    // The window counts pages of the printer's format (29 lines: the PostScript driver gives no
    // Braille parameters), so all eleven lines belong to page 1 of copy 1.
    EXPECT_EQ(controlText(progress, 1017), L"1");
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

// What the library sends to the progress window's page, copy and bar controls, seen from inside
// each control: a control is touched only when what it shows changes.
struct ControlLog {
    WNDPROC original = nullptr;
    std::vector<std::wstring> texts;
    std::vector<WPARAM> positions;
};
ControlLog pageLog, copyLog, barLog;

LRESULT CALLBACK recordControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlLog& log = GetDlgCtrlID(window) == 1017   ? pageLog
                      : GetDlgCtrlID(window) == 1020 ? copyLog
                                                     : barLog;
    if (message == WM_SETTEXT) {
        log.texts.push_back(reinterpret_cast<const wchar_t*>(lParam));
    } else if (message == PBM_SETPOS) {
        log.positions.push_back(wParam);
    }
    return CallWindowProcW(log.original, window, message, wParam, lParam);
}

void watch(HWND dialog, int id, ControlLog& log) {
    log = ControlLog{};
    log.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        GetDlgItem(dialog, id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordControl)));
}

TEST_F(DllTest, ProgressWindowIsTouchedOnlyWhenWhatItShowsChanges) {
    ASSERT_TRUE(braille.ok() && other.ok());
    ASSERT_TRUE(removeFile(outputPath(L"job-a.ps")));
    storeName(braille.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    imp.area(29, 12);
    PrintOptions options{};
    options.copies = 2;
    options.rangeCount = 1;
    options.ranges[0] = {1, 2};
    options.totalPages = 4;
    ASSERT_EQ(imp.open("Contadores", options), 0);
    HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
    ASSERT_NE(progress, nullptr);
    watch(progress, 1017, pageLog);
    watch(progress, 1020, copyLog);
    watch(progress, 1025, barLog);
    // Pages of 29 lines (the driver gives no Braille parameters): four pages and one line more.
    for (int i = 0; i < 4 * 29 + 1; ++i) {
        imp.line("x");
    }
    EXPECT_EQ(pageLog.texts, (std::vector<std::wstring>{L"1", L"2", L"1", L"2"}));
    EXPECT_EQ(copyLog.texts, (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(barLog.positions, (std::vector<WPARAM>{2, 3, 4})) << "and never past its range";
    EXPECT_EQ(SendMessageW(GetDlgItem(progress, 1025), PBM_GETPOS, 0, 0), 4);
    imp.close();
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
    PrintOptions options{};
    options.printToFile = 1;
    options.copies = 1;
    options.rangeCount = 1;
    options.ranges[0] = {1, 1};
    options.totalPages = 1;
    ASSERT_EQ(imp.open("A fichero", options), 0);
    imp.line("ok");
    imp.close();
    EXPECT_EQ(glyphsPerPage(readFile(fileOutput)),
              (std::vector<std::vector<std::string>>{{"o", "k"}}));
    EXPECT_FALSE(fileExists(port)) << "the printer's own port is not used";
    removeFile(fileOutput);
}

} // namespace
