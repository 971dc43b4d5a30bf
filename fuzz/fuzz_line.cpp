// Any line, either character table, any printing-area width: the converted line is the host's
// text with the control bytes dropped (or, with "ANSI", kept), translated, taken up to the line
// buffer and cut at the width; never longer than the width, always terminated.
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/core/translation.h"
#include "platform/sim/embosser_table.h"
#include "platform/sim/world.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Bytes below 32 that the embosser's table itself sends for a printable byte.
bool tableAnswers(uint8_t control) {
    for (int b = 32; b < 256; ++b) {
        if (dotpress::translationTable[static_cast<size_t>(b)] == control) {
            return true;
        }
    }
    return false;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    static const bool loaded = [] {
        sim::reset();
        dotpress::load();
        return true;
    }();
    (void)loaded;
    auto& lib = dotpress::library();
    const bool ansi = (data[0] & 1) != 0;
    lib.ansiTable = ansi ? 1 : 0;
    lib.areaColumns = static_cast<uint16_t>(data[1] | (data[2] << 8));
    // The host's line ends at its first zero byte; the bytes behind it must not be read.
    const std::string line(reinterpret_cast<const char*>(data + 3),
                           strnlen(reinterpret_cast<const char*>(data + 3), size - 3));
    lib.convertLine(line.c_str());

    std::string expected;
    for (unsigned char byte : line) {
        if (ansi) {
            expected += static_cast<char>(byte);
        } else if (byte >= 32) {
            expected += static_cast<char>(dotpress::translationTable[byte]);
        }
    }
    expected = expected.substr(0, dotpress::kLineBufferBytes - 1).substr(0, lib.areaColumns);

    const auto length = static_cast<size_t>(lib.lineLength);
    check(lib.lineLength >= 0);
    check(length <= lib.areaColumns);
    check(length < dotpress::kLineBufferBytes);
    check(lib.lineBuffer[length] == '\0');
    check(std::string(lib.lineBuffer, length) == expected);
    if (!ansi) {
        // No control byte of the host's text gets through: a byte below 32 is only ever the
        // table's own answer for a printable one.
        for (size_t i = 0; i < length; ++i) {
            const auto byte = static_cast<uint8_t>(lib.lineBuffer[i]);
            check(byte >= 32 || tableAnswers(byte));
        }
        // The k-th byte sent is embossed as the cell of the k-th printable byte of the host's line.
        size_t sent = 0;
        for (unsigned char byte : line) {
            if (byte >= 32 && sent < length) {
                const auto code = static_cast<uint8_t>(lib.lineBuffer[sent++]);
                check(sim::cellOfCharacter(byte) == sim::kUnknownCell ||
                      sim::embosserTable()[code].cell == sim::cellOfCharacter(byte));
            }
        }
    }
    return 0;
}
