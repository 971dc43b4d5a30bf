#include "platform/system_library.h"

namespace os {

HINSTANCE loadSystemLibrary(const char16_t* name) {
    const HINSTANCE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    constexpr UINT kPathUnits = 260;
    char16_t path[kPathUnits];
    const UINT folder = GetSystemDirectoryW(path, kPathUnits);
    UINT length = 0;
    while (name[length]) {
        ++length;
    }
    if (folder == 0 || folder + 1 + length >= kPathUnits) {
        return nullptr;
    }
    path[folder] = u'\\';
    for (UINT i = 0; i <= length; ++i) {
        path[folder + 1 + i] = name[i];
    }
    // The library's own imports are then looked for beside it, in System32, too.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace os
