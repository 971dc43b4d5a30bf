// The native build's object: loaded and unloaded on demand, so that every test starts from a
// freshly loaded library on a simulated machine of its own.
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"

#include <new>

namespace dotpress {

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
        onProcessAttach(reinterpret_cast<os::HINSTANCE>(storage));
    }
}

void unload() {
    if (loaded) {
        loaded->~LibraryObject();
        loaded = nullptr;
        moduleHandle = nullptr;
    }
}

} // namespace dotpress
