#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"

namespace dotpress {

os::HINSTANCE moduleHandle = nullptr;

LibraryObject& library() {
    LibraryObject& object = libraryObject();
    object.ensurePrinterTable();
    return object;
}

LibraryObject* readyLibrary() {
    LibraryObject& object = libraryObject();
    return object.ensurePrinterTable() ? &object : nullptr;
}

void onProcessAttach(os::HINSTANCE module) {
    // Nothing else: the loader lock is held. The progress bar's class is registered when a
    // window first needs it.
    moduleHandle = module;
}

void onProcessDetach(bool processExit) {
    // The loader lock is held here, and every call made must be safe under it: the registry and
    // the process heap, nothing of windows, GDI, the spooler or the loader. No job can be open
    // at an ordinary unload, as an open job holds a reference on the library. At the end of the
    // process other threads are gone, perhaps in the middle of anything: only the settings are
    // stored, and the system takes back the rest.
    if (processExit) {
        libraryObject().storeSettings();
        return;
    }
    destroyLibrary();
}

} // namespace dotpress
