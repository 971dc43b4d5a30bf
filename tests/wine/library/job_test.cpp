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

#include <string>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::LoadedDll;

const wchar_t kKey[] = L"Software\\Vorn\\DefDotpress";

// The exports, looked up by name as a host that loads the library itself does.
struct Exports {
    explicit Exports(HMODULE module) : module(module) {}
    template <typename F> F get(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    int32_t count() const { return get<int32_t(DOTPRESS_CALL*)()>("ImpObtenerNumeroImp")(); }
    int32_t printDialog(PrintOptions* options) const {
        return get<int32_t(DOTPRESS_CALL*)(void*, PrintOptions*, int32_t)>(
            "ImpMostrarDialogoImprimir")(nullptr, options, 1);
    }
    int32_t area(uint16_t lines, uint16_t columns) const {
        return get<int32_t(DOTPRESS_CALL*)(uint16_t*, uint16_t*)>("ImpSetPrintingArea")(&lines,
                                                                                        &columns);
    }
    int32_t open(const char* name, const PrintOptions& options) const {
        return get<int32_t(DOTPRESS_CALL*)(void*, const char*, PrintOptions)>("ImpAbrirImpresora")(
            nullptr, name, options);
    }
    int32_t line(const char* text) const {
        return get<int32_t(DOTPRESS_CALL*)(const char*)>("ImpImprimirLinea")(text);
    }
    int32_t close() const { return get<int32_t(DOTPRESS_CALL*)()>("ImpCerrarImpresora")(); }
    HMODULE module;
};

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
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"NombreImp", 0, REG_SZ, reinterpret_cast<const BYTE*>(printer.data()),
                   static_cast<DWORD>(printer.size() * sizeof(wchar_t)));
    RegCloseKey(key);
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
