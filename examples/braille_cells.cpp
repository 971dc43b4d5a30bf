#include "examples/braille_cells.h"

#include "platform/sim/embosser_table.h"

#include <cstdio>

namespace braille {

std::string received(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string cells(const std::string& bytes, bool ansi) {
    std::string out;
    for (unsigned char c : bytes) {
        const sim::Cell dots = ansi ? sim::cellOfCharacter(c) : sim::embosserTable()[c].cell;
        if (dots == sim::kUnknownCell) {
            out += '?';
            continue;
        }
        const unsigned cell = 0x2800u + dots;
        out += static_cast<char>(0xE0 | (cell >> 12));
        out += static_cast<char>(0x80 | ((cell >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cell & 0x3F));
    }
    return out;
}

} // namespace braille
