// A system library comes from System32 only: asked for there, or by its full System32 path from a
// loader that refuses that request (Windows 7 without KB2533623), never by its bare name, which
// the loader looks for in the host's own folder first.
#include "platform/sim/world.h"
#include "platform/system_library.h"
#include "tests/unit/machine_fixture.h"

namespace {

using dptest::MachineTest;

TEST_F(MachineTest, SystemLibraryComesFromSystem32WhateverTheLoader) {
    using Load = std::pair<std::u16string, os::DWORD>;
    const Load bySearch{u"oleacc.dll", os::LOAD_LIBRARY_SEARCH_SYSTEM32};
    const Load byPath{std::u16string(sim::kSystemFolder) + u"\\oleacc.dll",
                      os::LOAD_WITH_ALTERED_SEARCH_PATH};
    for (const bool oldLoader : {false, true}) {
        nextRow();
        sim::world().loaderWithoutSearchFlags = oldLoader;
        EXPECT_NE(os::loadSystemLibrary(u"oleacc.dll"), nullptr) << oldLoader;
        const std::vector<Load> loads =
            oldLoader ? std::vector<Load>{bySearch, byPath} : std::vector<Load>{bySearch};
        EXPECT_EQ(sim::world().libraryLoads, loads) << oldLoader;
    }
}

} // namespace
