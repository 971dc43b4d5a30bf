// A library of the system is asked for in System32 only, and by its full System32 path from a
// loader that does not know that request (Windows 7 without KB2533623): never by its bare name,
// which the loader would look for in the host's own folder first.
#include "platform/sim/world.h"
#include "platform/system_library.h"
#include "tests/unit/machine_fixture.h"

namespace {

using dptest::MachineTest;
using Loads = std::vector<std::pair<std::u16string, os::DWORD>>;

TEST_F(MachineTest, SystemLibraryComesFromSystem32WhateverTheLoader) {
    const std::u16string fullPath = std::u16string(sim::kSystemFolder) + u"\\oleacc.dll";
    struct Case {
        bool oldLoader;
        Loads loads;
    };
    const Case cases[] = {
        {false, {{u"oleacc.dll", os::LOAD_LIBRARY_SEARCH_SYSTEM32}}},
        {true,
         {{u"oleacc.dll", os::LOAD_LIBRARY_SEARCH_SYSTEM32},
          {fullPath, os::LOAD_WITH_ALTERED_SEARCH_PATH}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oldLoader ? "loader without the search flags" : "loader with them");
        nextRow();
        sim::world().loaderWithoutSearchFlags = c.oldLoader;
        EXPECT_NE(os::loadSystemLibrary(u"oleacc.dll"), nullptr);
        EXPECT_EQ(sim::world().libraryLoads, c.loads);
    }
}

} // namespace
