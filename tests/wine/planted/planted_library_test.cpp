// A host whose folder holds an oleacc.dll that is not the system's: the library loads the
// accessibility runtime when the print dialog opens, and must take the system's. Run with the
// load order Windows uses for such a file (WINEDLLOVERRIDES=oleacc=n,b: native first); this
// program imports nothing of oleacc itself, so that only the library's load is seen.
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_dialogs.h"
#include "wine_files.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <string>
#include <vector>

namespace {

using namespace winetest;

std::wstring folderOf(const std::wstring& path) {
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    for (wchar_t& c : folder) {
        c = static_cast<wchar_t>(towlower(c));
    }
    return folder;
}

std::wstring moduleFile(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

// Every module of the process whose file is called oleacc.dll.
std::vector<std::wstring> loadedOleacc() {
    HMODULE modules[512];
    DWORD bytes = 0;
    std::vector<std::wstring> found;
    if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) {
        return found;
    }
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        const std::wstring path = moduleFile(modules[i]);
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        if (_wcsicmp(name.c_str(), L"oleacc.dll") == 0) {
            found.push_back(path);
        }
    }
    return found;
}

TEST(PlantedLibrary, TheAccessibilityRuntimeComesFromTheSystemFolder) {
    const std::wstring here = folderOf(moduleFile(nullptr));
    ASSERT_NE(GetFileAttributesW((here + L"oleacc.dll").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted file lies beside the host";
    ASSERT_TRUE(loadedOleacc().empty()) << "nothing has loaded oleacc yet";

    RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
    ScopedPrinter braille{L"Dotpress Plantado", L"VORN Braille", outputPath(L"planted.ps")};
    ASSERT_TRUE(braille.ok());
    ASSERT_TRUE(setDefaultPrinter(braille.name()));
    ASSERT_TRUE(dotpresstest::storePrinterName(braille.name()));
    HMODULE dll = LoadLibraryW(dotpresstest::dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    {
        DialogDriver driver({pressButton(IDCANCEL)});
        PrintOptions options;
        EXPECT_EQ(dotpresstest::Exports(dll).printDialog(&options), 1);
        EXPECT_EQ(driver.done(), 1u);
    }
    const std::vector<std::wstring> loaded = loadedOleacc();
    ASSERT_FALSE(loaded.empty()) << "the print dialog loads the accessibility runtime";
    for (const std::wstring& path : loaded) {
        EXPECT_NE(folderOf(path), here) << "loaded " << narrow(path);
    }
    FreeLibrary(dll);
    RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
}

} // namespace
