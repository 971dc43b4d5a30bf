// The DLL's entry point. The library object has already been built by the runtime's static
// initialisation when the process attach arrives; all that is left is to remember our module and
// register the common controls. Thread attach and detach and process detach need nothing here:
// the object's destructor does the unload work.
#include "dotpress/core/library_instance.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        dotpress::onProcessAttach(reinterpret_cast<os::HINSTANCE>(instance));
    }
    return TRUE;
}
