// Where the one LibraryObject lives. The DLL keeps it as a static object built when Windows
// loads the library; the native build lets tests and the demo load and unload it at will.
#pragma once

#include "platform/os.h"

namespace dotpress {

class LibraryObject;

// The library's own module: every dialog template is loaded from it.
extern os::HINSTANCE moduleHandle;

LibraryObject& library();

// The entry point's work when a process attaches the library.
void onProcessAttach(os::HINSTANCE module);

// Native build only: builds the object as loading the DLL would, and destroys it as unloading
// would. load() on a loaded library does nothing.
void load();
void unload();

} // namespace dotpress
