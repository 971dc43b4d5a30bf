// What the dialog fuzz targets share: the fuzzer's bytes read as a user's actions in a dialog,
// and the check that stops the run when an invariant does not hold.
#pragma once

#include "platform/os.h"
#include "platform/sim/world.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzzuser {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    int16_t word() { return static_cast<int16_t>(byte() | (byte() << 8)); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

inline void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// Forgets what the simulated machine recorded of the dialogs of the previous input, so that a
// run that keeps one library loaded does not grow with every input.
inline void forgetDialogs(sim::World& w) {
    w.windows.clear();
    w.messageBoxes.clear();
    w.controlMessages.clear();
    w.printDialogs.clear();
    w.pageSetupDialogs.clear();
    w.script.clear();
    w.globals.clear();
}

// The controls of one dialog that a fuzzed user picks from, and what it types.
struct Dialog {
    std::vector<int> lists, edits, boxes, buttons;
    std::u16string keys;    // characters typed into edits
    std::u16string letters; // Alt + letter
    uint8_t longestText = 8;
};

inline std::u16string text(Input& in, const Dialog& d) {
    std::u16string t;
    for (uint8_t n = in.byte() % d.longestText; n > 0; --n) {
        t += d.keys[in.byte() % d.keys.size()];
    }
    return t;
}

// One action: a choice in a list, typing, a box, a button or a key, by keyboard or mouse.
inline sim::UserStep step(Input& in, const Dialog& d) {
    using namespace sim::user;
    auto pick = [&in](const std::vector<int>& ids) { return ids[in.byte() % ids.size()]; };
    switch (in.byte() % 12) {
    case 0:
        return choose(pick(d.lists), in.byte() % 8);
    case 1:
        return type(pick(d.edits), text(in, d));
    case 2:
        return d.boxes.empty() ? space() : tick(pick(d.boxes));
    case 3:
        return press(pick(d.buttons));
    case 4:
        return tab(in.byte() & 1 ? 1 : -1);
    case 5:
        return arrow(in.byte() & 1 ? 1 : -1);
    case 6:
        return mnemonic(d.letters[in.byte() % d.letters.size()]);
    case 7:
        return keys(text(in, d));
    case 8:
        return space();
    case 9:
        return enter();
    case 10:
        return escape();
    default:
        return closeBox();
    }
}

} // namespace fuzzuser
