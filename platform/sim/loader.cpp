// The simulated loader: the modules of the process with their reference counts, their entry
// points, and the loader lock that Windows holds while a module is initialised (its static
// objects built, its entry point told of the attach) and while it hears a detach. Every
// window, GDI, spooler or loader call made under that lock is recorded by name: Windows forbids
// them there (another thread's window waits for that thread, a spooler or driver call may load a
// library or wait for another thread), whatever Wine lets pass.
#include "platform/sim/internal.h"
#include "platform/sim/resources.h"
#include "platform/sim/world.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace sim {

namespace {

struct LoadedModule {
    EntryPoint entry = nullptr;
    long references = 0;
};

std::map<uintptr_t, LoadedModule>& loaded() {
    static std::map<uintptr_t, LoadedModule> modules;
    return modules;
}

LoadedModule* moduleAt(os::HINSTANCE module) {
    auto found = loaded().find(reinterpret_cast<uintptr_t>(module));
    return found == loaded().end() ? nullptr : &found->second;
}

// The entry point's detach, under the loader lock, then the image goes.
void detach(os::HINSTANCE module, EntryPoint entry, void* reserved) {
    world().loaderLock = true;
    entry(module, kProcessDetach, reserved);
    world().loaderLock = false;
    loaded().erase(reinterpret_cast<uintptr_t>(module));
    unmapModule(module);
}

} // namespace

void systemCall(const char* name) {
    if (world().loaderLock) {
        world().callsUnderLoaderLock.emplace_back(name);
    }
}

os::HINSTANCE loadModule(const uint8_t* resources, size_t size, EntryPoint entry) {
    for (auto& [base, module] : loaded()) {
        if (module.entry == entry) {
            ++module.references;
            return reinterpret_cast<os::HINSTANCE>(base);
        }
    }
    const os::HINSTANCE module = mapModule(resources, size);
    loaded()[reinterpret_cast<uintptr_t>(module)] = LoadedModule{entry, 1};
    // The module's static initialisation and its entry point run under the loader lock too.
    world().loaderLock = true;
    entry(module, kProcessAttach, nullptr);
    world().loaderLock = false;
    return module;
}

long moduleReferences(os::HINSTANCE module) {
    const LoadedModule* m = moduleAt(module);
    return m ? m->references : 0;
}

void exitProcess() {
    // ExitProcess: every module still loaded hears the detach with a non-null reserved
    // argument, whatever its references; then the system takes back what the process held:
    // memory, device contexts, windows, printer handles and keys.
    while (!loaded().empty()) {
        const auto [base, module] = *loaded().begin();
        detach(reinterpret_cast<os::HINSTANCE>(base), module.entry, reinterpret_cast<void*>(1));
    }
    world().allocationsLeftAtExit = world().liveAllocations;
    for (void* block : world().liveBlocks) {
        std::free(block);
    }
    world().liveBlocks.clear();
    world().liveAllocations = 0;
    for (auto& dc : world().dcs) {
        dc->live = false;
    }
    for (Window& w : world().windows) {
        w.live = false;
        w.visible = false;
    }
    world().posted.clear();
    world().timers.clear();
    world().openPrinters = 0;
    world().openKeys.clear();
}

} // namespace sim

namespace os {

BOOL GetModuleHandleExW(DWORD flags, const char16_t* moduleName, HINSTANCE* module) {
    sim::systemCall("GetModuleHandleExW");
    if (module) {
        *module = nullptr;
    }
    // Only the form the library uses: any address inside a module, its base here.
    sim::LoadedModule* m =
        (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS)
            ? sim::moduleAt(reinterpret_cast<HINSTANCE>(const_cast<char16_t*>(moduleName)))
            : nullptr;
    if (!m || !module) {
        return FALSE;
    }
    ++m->references;
    *module = reinterpret_cast<HINSTANCE>(const_cast<char16_t*>(moduleName));
    return TRUE;
}

BOOL FreeLibrary(HINSTANCE module) {
    sim::systemCall("FreeLibrary");
    sim::LoadedModule* m = sim::moduleAt(module);
    if (!m || m->references <= 0) {
        return FALSE;
    }
    if (--m->references == 0) {
        sim::detach(module, m->entry, nullptr);
    }
    return TRUE;
}

// The system's own libraries: every request is recorded, and a handle that stands for the
// library is answered, unless the loader is one that refuses the LOAD_LIBRARY_SEARCH flags.
HINSTANCE LoadLibraryExW(const char16_t* fileName, void*, DWORD flags) {
    sim::systemCall("LoadLibraryExW");
    sim::World& w = sim::world();
    w.libraryLoads.push_back({fileName ? fileName : u"", flags});
    if (w.loaderWithoutSearchFlags && (flags & 0x0000FF00) != 0) {
        w.lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    return reinterpret_cast<HINSTANCE>(
        static_cast<uintptr_t>(0x7F000 + 16 * w.libraryLoads.size()));
}

UINT GetSystemDirectoryW(char16_t* buffer, UINT size) {
    const std::u16string folder = sim::kSystemFolder;
    if (!buffer || size <= folder.size()) {
        return static_cast<UINT>(folder.size() + 1);
    }
    std::copy(folder.begin(), folder.end(), buffer);
    buffer[folder.size()] = 0;
    return static_cast<UINT>(folder.size());
}

DWORD GetLastError() {
    return sim::world().lastError;
}

} // namespace os
