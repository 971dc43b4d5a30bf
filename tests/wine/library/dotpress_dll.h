// The Dotpress.dll of this build, loaded for the length of a test.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

namespace dotpresstest {

// The DLL in the Linux build folder named by DOTPRESS_TEST_DIR, as Wine sees it through its Z:
// drive (the root of the Linux file system).
inline std::wstring dllPath() {
    const char* dir = std::getenv("DOTPRESS_TEST_DIR");
    std::string unixPath = std::string(dir ? dir : ".") + "/dotpress/Dotpress.dll";
    std::wstring path = L"Z:";
    for (char c : unixPath) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
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
