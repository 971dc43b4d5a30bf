#include "platform/sim/world.h"

#include "platform/sim/internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sim {

bool Params::operator==(const Params& o) const {
    return paperFormat == o.paperFormat && paperLength == o.paperLength && columns == o.columns &&
           lines == o.lines && doubleSided == o.doubleSided && reserved == o.reserved;
}

World& world() {
    static World instance;
    return instance;
}

void reset() {
    world() = World{};
    // A job's window keeps at most one message waiting: posting it allocates nothing, so the
    // line benchmark counts none of the simulator's own allocations.
    world().posted.reserve(16);
}

std::vector<uint8_t> makeDevMode(const std::u16string& name, uint16_t driverExtra,
                                 const Params* params) {
    std::vector<uint8_t> dm(kPublicDevModeSize + driverExtra, 0);
    for (size_t i = 0; i < name.size() && i < 31; ++i) {
        dm[2 * i] = static_cast<uint8_t>(name[i] & 0xFF);
        dm[2 * i + 1] = static_cast<uint8_t>(name[i] >> 8);
    }
    auto put16 = [&](size_t at, uint16_t v) {
        dm[at] = static_cast<uint8_t>(v & 0xFF);
        dm[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    put16(64, 0x0401);             // dmSpecVersion
    put16(66, 1);                  // dmDriverVersion
    put16(68, kPublicDevModeSize); // dmSize
    put16(70, driverExtra);        // dmDriverExtra
    if (params && driverExtra >= sizeof(Params)) {
        std::memcpy(dm.data() + kPublicDevModeSize, params, sizeof(Params));
    }
    // Driver bytes behind the block, so that a copy that loses them is noticed.
    for (size_t i = kPublicDevModeSize + (params ? sizeof(Params) : 0); i < dm.size(); ++i) {
        dm[i] = static_cast<uint8_t>(0xA0 + (i & 0x0F));
    }
    return dm;
}

std::optional<Params> paramsInDevMode(const uint8_t* devMode, size_t size) {
    if (!devMode || size < 72) {
        return std::nullopt;
    }
    const size_t publicSize = devMode[68] | (devMode[69] << 8);
    if (size < publicSize + sizeof(Params)) {
        return std::nullopt;
    }
    Params p;
    std::memcpy(&p, devMode + publicSize, sizeof p);
    return p;
}

Printer& addPrinter(const std::u16string& name, const std::u16string& port,
                    const std::u16string& driver) {
    Printer p;
    p.name = name;
    p.port = port;
    p.driver = driver;
    p.devMode = makeDevMode(name, 32, nullptr);
    world().printers.push_back(std::move(p));
    return world().printers.back();
}

Printer& addBraillePrinter(const std::u16string& name, const std::u16string& port,
                           const Params& params, BrailleDriver driver) {
    Printer& p = addPrinter(name, port, u"Braille Embosser");
    p.braille = std::move(driver);
    p.devMode = makeDevMode(name, 40, &params);
    return p;
}

// ---------------------------------------------------------------------------------------------
// Registry helpers.

std::u16string lower(const std::u16string& s) {
    std::u16string out(s);
    for (auto& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return out;
}

std::u16string rootPath(os::HKEY root) {
    if (root == os::HKEY_CURRENT_USER) {
        return u"hkcu";
    }
    if (root == os::HKEY_LOCAL_MACHINE) {
        return u"hklm";
    }
    return u"";
}

static std::u16string fullPath(os::HKEY root, const std::u16string& path) {
    return lower(rootPath(root) + u"\\" + path);
}

void createKey(os::HKEY root, const std::u16string& path) {
    world().keys[fullPath(root, path)];
}

void setValue(os::HKEY root, const std::u16string& path, const std::u16string& name, os::DWORD type,
              const std::vector<uint8_t>& data) {
    world().keys[fullPath(root, path)].values[lower(name)] = {name, RegValue{type, data}};
}

void setString(os::HKEY root, const std::u16string& path, const std::u16string& name,
               const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    setValue(root, path, name, os::REG_SZ, bytes);
}

std::optional<RegValue> getValue(os::HKEY root, const std::u16string& path,
                                 const std::u16string& name) {
    auto key = world().keys.find(fullPath(root, path));
    if (key == world().keys.end()) {
        return std::nullopt;
    }
    auto value = key->second.values.find(lower(name));
    if (value == key->second.values.end()) {
        return std::nullopt;
    }
    return value->second.second;
}

bool keyExists(os::HKEY root, const std::u16string& path) {
    return world().keys.count(fullPath(root, path)) != 0;
}

// ---------------------------------------------------------------------------------------------
// Profile helpers.

std::string lower8(const std::string& s) {
    std::string out(s);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

void setProfile(const std::string& section, const std::string& key, const std::string& value) {
    world().profile[lower8(section)][lower8(key)] = {key, value};
}

std::optional<std::string> getProfile(const std::string& section, const std::string& key) {
    auto s = world().profile.find(lower8(section));
    if (s == world().profile.end()) {
        return std::nullopt;
    }
    auto k = s->second.find(lower8(key));
    if (k == s->second.end()) {
        return std::nullopt;
    }
    return k->second.second;
}

// ---------------------------------------------------------------------------------------------
// Windows helpers.

Window* findWindow(os::HWND handle) {
    for (auto& w : world().windows) {
        if (w.handle == handle && w.live) {
            return &w;
        }
    }
    return nullptr;
}

Control* findControl(os::HWND dialog, int id) {
    Window* w = findWindow(dialog);
    if (!w) {
        return nullptr;
    }
    for (auto& c : w->controls) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

bool clickButton(os::HWND dialog, int id) {
    Window* w = findWindow(dialog);
    Control* c = findControl(dialog, id);
    if (!w || !c || !c->enabled || !w->proc) {
        return false;
    }
    w->proc(dialog, os::WM_COMMAND, static_cast<os::WPARAM>(id & 0xFFFF),
            reinterpret_cast<os::LPARAM>(c->handle));
    return true;
}

int liveGlobals() {
    return static_cast<int>(std::count_if(world().globals.begin(), world().globals.end(),
                                          [](const auto& g) { return g.second.live; }));
}

int liveWindows() {
    return static_cast<int>(std::count_if(world().windows.begin(), world().windows.end(),
                                          [](const Window& w) { return w.live; }));
}

int liveDCs() {
    return static_cast<int>(std::count_if(world().dcs.begin(), world().dcs.end(),
                                          [](const auto& dc) { return dc->live; }));
}

} // namespace sim

// ---------------------------------------------------------------------------------------------
// Memory.

namespace os {

void* LocalAlloc(UINT flags, size_t bytes) {
    sim::World& w = sim::world();
    const long index = w.allocations++;
    if (w.failAllocationAt >= 0 && index == w.failAllocationAt) {
        return nullptr;
    }
    void* block = (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1)
                                          : std::malloc(bytes ? bytes : 1);
    if (block) {
        ++w.liveAllocations;
        w.liveBlocks.insert(block);
    }
    return block;
}

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
    sim::World& w = sim::world();
    const long index = w.globalAllocs++;
    if (w.failGlobalAllocAt >= 0 && index == w.failGlobalAllocAt) {
        return nullptr;
    }
    (void)flags; // the simulated blocks are always movable and zero-filled
    const uintptr_t handle = w.nextGlobal;
    w.nextGlobal += 16;
    w.globals[handle].bytes.assign(bytes, 0);
    return reinterpret_cast<HGLOBAL>(handle);
}

void* GlobalLock(HGLOBAL memory) {
    auto found = sim::world().globals.find(reinterpret_cast<uintptr_t>(memory));
    if (found == sim::world().globals.end() || !found->second.live || sim::world().failGlobalLock) {
        return nullptr;
    }
    ++found->second.locks;
    // A zero-byte block still locks to a valid address.
    return found->second.bytes.empty() ? static_cast<void*>(&found->second.locks)
                                       : found->second.bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory) {
    auto found = sim::world().globals.find(reinterpret_cast<uintptr_t>(memory));
    if (found == sim::world().globals.end() || !found->second.live || found->second.locks == 0) {
        return FALSE;
    }
    return --found->second.locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    if (!memory) {
        return nullptr;
    }
    auto found = sim::world().globals.find(reinterpret_cast<uintptr_t>(memory));
    if (found == sim::world().globals.end() || !found->second.live) {
        ++sim::world().badGlobalFrees;
        return memory;
    }
    found->second.live = false;
    found->second.bytes.clear();
    return nullptr;
}

const char* GetCommandLineA() {
    return sim::world().commandLine.c_str();
}

void* LocalFree(void* block) {
    if (block) {
        --sim::world().liveAllocations;
        sim::world().liveBlocks.erase(block);
        std::free(block);
    }
    return nullptr;
}

} // namespace os
