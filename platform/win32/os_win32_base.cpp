// The seam on Windows, the calls that both deliverables make: memory and closing keys.
#include "platform/os.h"

#include <windows.h>

namespace os {

void* LocalAlloc(UINT flags, size_t bytes) {
    return ::LocalAlloc(flags, bytes);
}
void* LocalFree(void* block) {
    return ::LocalFree(block);
}

LONG RegCloseKey(HKEY key) {
    return ::RegCloseKey(reinterpret_cast<::HKEY>(static_cast<uintptr_t>(key)));
}

} // namespace os
