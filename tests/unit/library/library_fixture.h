// A freshly loaded library on a simulated machine of its own for every test.
#pragma once

#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "platform/sim/world.h"
#include "tests/unit/machine_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace dptest {

inline const std::u16string kKey = u"Software\\Vorn\\DefDotpress";

inline std::vector<uint8_t> bytesOf(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(p, p + size);
}

inline sim::Params paramsOf(const dotpress::PrinterRecord& record) {
    sim::Params p;
    std::memcpy(static_cast<void*>(&p), &record.params, sizeof p);
    return p;
}

inline std::vector<uint8_t> paramsBytes(const sim::Params& p) {
    return bytesOf(&p, sizeof p);
}

class LibraryTest : public MachineTest {
protected:
    // The library goes with a host's last FreeLibrary, or with the process if a job keeps it.
    void endRun() override {
        dotpress::unload();
        EXPECT_FALSE(dotpress::isLoaded()) << "a job left open keeps the library loaded";
        if (dotpress::isLoaded()) {
            dotpress::exitProcess();
        }
    }

    dotpress::LibraryObject& load() {
        dotpress::load();
        return dotpress::library();
    }
    // Unloads the library and loads it again, as far as the first export a host calls.
    void reload() {
        dotpress::unload();
        load();
    }
    dotpress::LibraryObject& lib() { return dotpress::library(); }
    dotpress::JobState& job() { return dotpress::library(); }

    static void selectPrinter(const std::u16string& name) {
        sim::setString(os::HKEY_CURRENT_USER, kKey, u"NombreImp", name);
    }
};

// A job block as a host fills it itself.
inline PrintOptions jobOptions(uint32_t copies, std::vector<std::pair<uint32_t, uint32_t>> ranges,
                               int32_t collate = 0) {
    PrintOptions o{};
    o.rangeKind = RANGE_PAGES;
    o.copies = copies;
    o.collate = collate;
    o.rangeCount = static_cast<int32_t>(ranges.size());
    uint32_t pages = 0;
    for (size_t i = 0; i < ranges.size(); ++i) {
        o.ranges[i] = {ranges[i].first, ranges[i].second};
        pages += ranges[i].second - ranges[i].first + 1;
    }
    o.totalPages = pages * copies;
    return o;
}

} // namespace dptest
