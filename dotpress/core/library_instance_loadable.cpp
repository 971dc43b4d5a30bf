// The native build's object: loaded and unloaded on demand, so that every test starts from a
// freshly loaded library on a simulated machine of its own.
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "platform/sim/resources.h"

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
} // namespace

LibraryObject& library() {
    if (!loaded) {
        load();
    }
    return *loaded;
}

void load() {
    if (!loaded) {
        loaded = new (storage) LibraryObject();
        // The simulated loader maps the module's resources, as Windows maps the DLL's image.
        onProcessAttach(sim::mapModule(compiledResources, compiledResourcesSize));
    }
}

void unload() {
    if (loaded) {
        loaded->~LibraryObject();
        loaded = nullptr;
        sim::unmapModule(moduleHandle);
        moduleHandle = nullptr;
    }
}

} // namespace dotpress
