// The Dotpress.dll of this build, loaded for the length of a test.
#pragma once

#include "dotpress.h"
#include "wine_files.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace dotpresstest {

// The library's settings key under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Vorn\\DefDotpress";

// Stores `printer` as the library's default printer ("NombreImp"), as "&Predeterminar" does;
// false when the key cannot be written.
inline bool storeSetting(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG stored = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return stored == ERROR_SUCCESS;
}

inline bool storePrinterName(const std::wstring& printer) {
    return storeSetting(L"NombreImp", REG_SZ, printer.data(),
                        static_cast<DWORD>(printer.size() * sizeof(wchar_t)));
}

// The DLL in the build folder named by DOTPRESS_TEST_DIR, as Wine sees it.
inline std::wstring dllPath() {
    return winetest::winePath(winetest::testDirLinux() + "/dotpress/Dotpress.dll");
}

// Loads the library (which builds its printer table) and unloads it (which stores its
// settings) when it goes out of scope.
class LoadedDll {
public:
    LoadedDll() : module_(LoadLibraryW(dllPath().c_str())) {}
    ~LoadedDll() {
        if (module_) {
            FreeLibrary(module_);
        }
    }
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;

    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

// A job block as a host fills it: `copies` copies of the page ranges.
inline PrintOptions jobOptions(uint32_t copies, std::initializer_list<PageRange> ranges) {
    PrintOptions options{};
    options.copies = copies;
    for (const PageRange& range : ranges) {
        options.ranges[options.rangeCount++] = range;
        options.totalPages += copies * (range.lastPage - range.firstPage + 1);
    }
    return options;
}

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
    int32_t open(const char* name, const PrintOptions& options, HWND owner = nullptr) const {
        return get<int32_t(DOTPRESS_CALL*)(void*, const char*, PrintOptions)>("ImpAbrirImpresora")(
            owner, name, options);
    }
    int32_t line(const char* text) const {
        return get<int32_t(DOTPRESS_CALL*)(const char*)>("ImpImprimirLinea")(text);
    }
    int32_t close() const { return get<int32_t(DOTPRESS_CALL*)()>("ImpCerrarImpresora")(); }
    // The last job's summary; its state is -1 when the export refused the block.
    JobSummary summary() const {
        JobSummary block{};
        block.size = sizeof block;
        if (get<int32_t(DOTPRESS_CALL*)(JobSummary*)>("ImpObtenerResumen")(&block) != 0) {
            block.state = -1;
        }
        return block;
    }
    int32_t testSheet(HWND owner = nullptr) const {
        return get<int32_t(DOTPRESS_CALL*)(void*)>("ImpImprimirPrueba")(owner);
    }
    HMODULE module;
};

} // namespace dotpresstest
