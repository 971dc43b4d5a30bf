// The resources of a module as the simulated machine finds them: the compiled resource file
// (.res) that the real DLL links is mapped here, so that every dialog the simulator shows is built
// from the very templates the DLL ships.
#pragma once

#include "platform/os.h"
#include "platform/sim/dialog_template.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

constexpr uint16_t kResourceBitmap = 2;
constexpr uint16_t kResourceDialog = 5;

struct Resource {
    uint16_t type = 0;
    uint16_t id = 0;
    uint16_t language = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Every resource with a numeric type and id in a .res image, in file order; empty when the image
// is malformed.
std::vector<Resource> readResourceFile(const uint8_t* image, size_t size);

// Maps a module's compiled resources into the simulated machine, as the loader maps an image. The
// bytes must outlive the module; unmapModule forgets it.
os::HINSTANCE mapModule(const uint8_t* image, size_t size);
void unmapModule(os::HINSTANCE module);
// A resource of a mapped module, or null.
const Resource* findResource(os::HINSTANCE module, uint16_t type, uint16_t id);

} // namespace sim
