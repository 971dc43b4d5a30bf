// The DLL's object: built by the runtime's static initialisation before the entry point sees
// the process attach. The runtime never destroys it: the entry point decides at the detach what
// may be done then (library_instance.h).
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"

#include <new>

namespace dotpress {

namespace {
alignas(LibraryObject) unsigned char storage[sizeof(LibraryObject)];
LibraryObject* const theLibrary = new (storage) LibraryObject();
} // namespace

LibraryObject& libraryObject() {
    return *theLibrary;
}

void destroyLibrary() {
    theLibrary->~LibraryObject();
}

} // namespace dotpress
