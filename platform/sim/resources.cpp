#include "platform/sim/resources.h"

#include "platform/sim/byte_reader.h"

#include <cstring>
#include <map>

namespace sim {

namespace {

struct Module {
    std::vector<Resource> resources;
};

std::map<uintptr_t, Module>& modules() {
    static std::map<uintptr_t, Module> mapped;
    return mapped;
}

} // namespace

std::vector<Resource> readResourceFile(const uint8_t* image, size_t size) {
    std::vector<Resource> found;
    size_t at = 0;
    while (at + 8 <= size) {
        Reader header(image + at, size - at);
        const auto dataSize = header.read<uint32_t>();
        const auto headerSize = header.read<uint32_t>();
        uint16_t type = 0;
        uint16_t id = 0;
        const std::u16string typeName = header.readNameOrOrdinal(&type);
        const std::u16string idName = header.readNameOrOrdinal(&id);
        header.alignTo4();
        header.read<uint32_t>(); // data version
        header.read<uint16_t>(); // memory flags
        const auto language = header.read<uint16_t>();
        if (!header.ok() || headerSize < 8 || headerSize > size - at ||
            dataSize > size - at - headerSize) {
            return {};
        }
        if (type != 0 && id != 0 && typeName.empty() && idName.empty()) {
            found.push_back({type, id, language, image + at + headerSize, dataSize});
        }
        at += headerSize + ((dataSize + 3) & ~size_t(3));
    }
    return found;
}

os::HINSTANCE mapModule(const uint8_t* image, size_t size) {
    static uintptr_t next = 0x400000;
    next += 0x10000;
    modules()[next].resources = readResourceFile(image, size);
    return reinterpret_cast<os::HINSTANCE>(next);
}

void unmapModule(os::HINSTANCE module) {
    modules().erase(reinterpret_cast<uintptr_t>(module));
}

const Resource* findResource(os::HINSTANCE module, uint16_t type, uint16_t id) {
    auto found = modules().find(reinterpret_cast<uintptr_t>(module));
    if (found == modules().end()) {
        return nullptr;
    }
    for (const Resource& r : found->second.resources) {
        if (r.type == type && r.id == id) {
            return &r;
        }
    }
    return nullptr;
}

} // namespace sim
