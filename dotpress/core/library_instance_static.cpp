// The DLL's object: built by the runtime's static initialisation before the entry point sees
// the process attach, destroyed at unload.
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"

namespace dotpress {

namespace {
LibraryObject theLibrary;
} // namespace

LibraryObject& library() {
    return theLibrary;
}

} // namespace dotpress
