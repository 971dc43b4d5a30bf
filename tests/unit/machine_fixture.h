// A test on a simulated machine of its own, and what a run must not leave on it. The checks run
// when the test ends and, in a table whose rows each need a fresh machine, when nextRow() starts
// the next row: sim::reset() alone would take what the row before left behind out of sight.
#pragma once

#include "platform/sim/world.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dptest {

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override { sim::reset(); }
    void TearDown() override { checkRun(); }
    void nextRow() {
        checkRun();
        sim::reset();
        ++row_;
    }
    // What ends a run before its leftovers are counted (the library fixture unloads the library).
    virtual void endRun() {}

private:
    void checkRun() {
        endRun();
        SCOPED_TRACE(row_ ? "left by row " + std::to_string(row_) + " of the table"
                          : "left by the test");
        const sim::World& w = sim::world();
        EXPECT_EQ(w.callsUnderLoaderLock, std::vector<std::string>{}) << "under the loader lock";
        EXPECT_EQ(w.liveAllocations, 0) << "memory left behind";
        EXPECT_EQ(sim::liveDCs(), 0) << "device contexts left behind";
        EXPECT_EQ(w.openPrinters, 0) << "printer handles left behind";
        EXPECT_EQ(w.openKeys.size(), 0u) << "registry keys left open";
        EXPECT_EQ(sim::liveGlobals(), 0) << "global memory blocks left behind";
        EXPECT_EQ(w.badGlobalFrees, 0) << "global blocks freed twice or never owned";
        EXPECT_EQ(w.stuckDialogs, 0) << "a dialog that neither Esc nor its buttons end";
        EXPECT_EQ(w.unknownPrinterOpens, 0) << "the system dialog opened an unknown printer";
    }

    int row_ = 0; // rows started
};

} // namespace dptest
