#include "examples/braille_cells.h"

#include <cstdio>
#include <cstring>

namespace braille {

namespace {

// The Braille ASCII character of each cell, the cell's dots as a bit mask (dot 1 = bit 0, ...,
// dot 6 = bit 5).
constexpr char kByDots[] = " A1B'K2L@CIF/MSP\"E3H9O6R^DJG>NTQ,*5<-U8V.%[$+X!&;:4\\0Z7(_?W]#Y)=";
static_assert(sizeof kByDots == 65, "64 cells");

int dotsOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<unsigned char>(c - 'a' + 'A');
    }
    const char* at = c ? std::strchr(kByDots, c) : nullptr;
    return at ? static_cast<int>(at - kByDots) : -1;
}

} // namespace

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

std::string cells(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        const int dots = dotsOf(c);
        if (dots < 0) {
            out += '?';
            continue;
        }
        const unsigned cell = 0x2800u + static_cast<unsigned>(dots);
        out += static_cast<char>(0xE0 | (cell >> 12));
        out += static_cast<char>(0x80 | ((cell >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cell & 0x3F));
    }
    return out;
}

} // namespace braille
