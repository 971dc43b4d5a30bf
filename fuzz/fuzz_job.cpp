// Any job block a host can pass, any printing area, table and binding, and any lines: the library
// must neither read nor write outside its buffers.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrintOptions options{};
    uint8_t knobs[8] = {};
    if (size < sizeof options + sizeof knobs) {
        return 0;
    }
    std::memcpy(&options, data, sizeof options);
    std::memcpy(knobs, data + sizeof options, sizeof knobs);
    data += sizeof options + sizeof knobs;
    size -= sizeof options + sizeof knobs;

    sim::reset();
    sim::world().recording = (knobs[7] & 1) != 0;
    sim::Params format;
    format.lines = static_cast<int16_t>(knobs[0] | (knobs[1] << 8));
    format.columns = static_cast<int16_t>(knobs[2] | (knobs[3] << 8));
    format.doubleSided = knobs[4] & 1;
    sim::addBraillePrinter(u"B", u"LPT1:", format);
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp", u"B");
    dotpress::load();
    auto& lib = dotpress::library();
    lib.ansiTable = knobs[4] >> 1 & 1;
    lib.binding = knobs[4] >> 2 & 1;
    uint16_t lines = knobs[5], columns = static_cast<uint16_t>(knobs[6] * 3);
    ImpSetPrintingArea(&lines, &columns);

    if (ImpAbrirImpresora(nullptr, "fuzz", options) == 0) {
        std::string line;
        for (size_t i = 0; i < size; ++i) {
            if (data[i] == '\n') {
                ImpImprimirLinea(line.c_str());
                line.clear();
            } else if (data[i] != 0) {
                line += static_cast<char>(data[i]);
            }
        }
        ImpImprimirLinea(line.c_str());
        ImpCerrarImpresora();
    }
    dotpress::unload();
    return 0;
}
