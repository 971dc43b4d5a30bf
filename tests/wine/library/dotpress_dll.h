// The Dotpress.dll of this build, loaded for the length of a test.
#pragma once

#include "wine_files.h"

#include <windows.h>

#include <string>

namespace dotpresstest {

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

} // namespace dotpresstest
