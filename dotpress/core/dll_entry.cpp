// The DLL's entry point. The library object has already been built by the runtime's static
// initialisation when the process attach arrives; all that is left is to remember our module and
// register the common controls. Thread attach and detach and process detach need nothing here:
// the object's destructor does the unload work.
#include "dotpress/core/library_instance.h"

namespace {
constexpr os::DWORD kProcessAttach = 1; // DLL_PROCESS_ATTACH
} // namespace

extern "C" os::BOOL OS_CALLBACK DllMain(os::HINSTANCE instance, os::DWORD reason, void* reserved) {
    (void)reserved;
    if (reason == kProcessAttach) {
        dotpress::onProcessAttach(instance);
    }
    return os::TRUE;
}
