// Where the one LibraryObject lives. The DLL builds it by the runtime's static initialisation
// when Windows loads the library; the native build lets tests and the demo load and unload it on
// a simulated loader.
#pragma once

#include "platform/os.h"

namespace dotpress {

class LibraryObject;

// The library's own module: every dialog template is loaded from it.
extern os::HINSTANCE moduleHandle;

// The object as the exports use it: its printer table is built by the first use.
LibraryObject& library();
// The same, or null while its printer table is being built: an export called from the modal loop
// of a message box that the building shows must not see the table half filled.
LibraryObject* readyLibrary();
// The object as it is, for the entry point, which must not build anything under the loader lock.
LibraryObject& libraryObject();

// The entry point's work when a process attaches the library.
void onProcessAttach(os::HINSTANCE module);
// The entry point's work when the library goes, under the loader lock. At the end of the process
// only what must outlive it is done: the settings are stored. Otherwise the object is destroyed.
void onProcessDetach(bool processExit);
// Runs the object's destructor (per build: the object lives in a different place in each).
void destroyLibrary();

// Native build only, the simulated loader as a host uses it: load() takes the host's reference
// (LoadLibrary) unless it holds one, unload() gives it back (FreeLibrary); the library goes when
// no reference is left. exitProcess() ends the simulated process with the library still loaded.
void load();
void unload();
bool isLoaded();
void exitProcess();

} // namespace dotpress
