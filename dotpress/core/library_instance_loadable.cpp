// The native build's object, on the simulated loader: built when the module is first loaded,
// destroyed when its last reference goes, so that every test starts from a freshly loaded
// library on a simulated machine of its own.
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "platform/sim/world.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace dotpress {

// Dotpress.rc as windres compiled it for the DLL.
extern const uint8_t compiledResources[];
extern const size_t compiledResourcesSize;

namespace {
alignas(LibraryObject) unsigned char storage[sizeof(LibraryObject)];
LibraryObject* loaded = nullptr;
// The reference of the host that load() stands for.
os::HINSTANCE hostReference = nullptr;

// The DLL's static initialisation and entry point, as the simulated loader calls them.
void entryPoint(os::HINSTANCE module, os::DWORD reason, void* reserved) {
    if (reason == sim::kProcessAttach) {
        loaded = new (storage) LibraryObject();
        onProcessAttach(module);
    } else if (reason == sim::kProcessDetach) {
        onProcessDetach(reserved != nullptr);
        loaded = nullptr;
        moduleHandle = nullptr;
        hostReference = nullptr;
    }
}
} // namespace

LibraryObject& libraryObject() {
    if (!loaded) {
        load();
    }
    return *loaded;
}

void destroyLibrary() {
    loaded->~LibraryObject();
}

void load() {
    if (!hostReference) {
        hostReference = sim::loadModule(compiledResources, compiledResourcesSize, entryPoint);
    }
}

void unload() {
    if (hostReference) {
        const os::HINSTANCE module = hostReference;
        hostReference = nullptr;
        os::FreeLibrary(module);
    }
}

bool isLoaded() {
    return loaded != nullptr;
}

void exitProcess() {
    sim::exitProcess();
    hostReference = nullptr;
}

} // namespace dotpress
