// The DLL's entry point. The library object has already been built by the runtime's static
// initialisation when the process attach arrives; all that is left is to remember our module.
// The process detach stores the settings, and at an ordinary unload also destroys the object.
#include "dotpress/core/library_instance.h"

namespace {
constexpr os::DWORD kProcessDetach = 0; // DLL_PROCESS_DETACH
constexpr os::DWORD kProcessAttach = 1; // DLL_PROCESS_ATTACH
} // namespace

extern "C" os::BOOL OS_CALLBACK DllMain(os::HINSTANCE instance, os::DWORD reason, void* reserved) {
    if (reason == kProcessAttach) {
        dotpress::onProcessAttach(instance);
    } else if (reason == kProcessDetach) {
        dotpress::onProcessDetach(reserved != nullptr);
    }
    return os::TRUE;
}
