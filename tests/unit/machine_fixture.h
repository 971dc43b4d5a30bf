// A test on a simulated machine of its own, and what a run must not leave on it: memory, device
// contexts, printer handles, registry keys, global blocks, stuck dialogs, calls under the loader
// lock. The checks run when the test ends and, in a table whose rows each need a fresh machine,
// when the next row starts: sim::reset() replaces the world, and with it what the row before
// left behind, so every such row starts through nextRow().
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

    // Checks what the run so far left on the machine, then starts the table's next row on a
    // fresh one.
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
        SCOPED_TRACE(row_ == 0 ? std::string("left by the test")
                               : "left by row " + std::to_string(row_) + " of the table");
        const sim::World& w = sim::world();
        EXPECT_EQ(w.callsUnderLoaderLock, std::vector<std::string>{})
            << "window, GDI, spooler or loader calls under the loader lock";
        EXPECT_EQ(w.liveAllocations, 0) << "memory left behind";
        EXPECT_EQ(sim::liveDCs(), 0) << "device contexts left behind";
        EXPECT_EQ(w.openPrinters, 0) << "printer handles left behind";
        EXPECT_EQ(w.openKeys.size(), 0u) << "registry keys left open";
        EXPECT_EQ(sim::liveGlobals(), 0) << "global memory blocks left behind";
        EXPECT_EQ(w.badGlobalFrees, 0) << "global blocks freed twice or never owned";
        EXPECT_EQ(w.stuckDialogs, 0) << "a dialog that neither Esc nor its buttons end";
        EXPECT_EQ(w.unknownPrinterOpens, 0)
            << "the system dialog was left to open a printer that is not installed";
    }

    int row_ = 0; // rows started; the checks find what the last of them left
};

} // namespace dptest
