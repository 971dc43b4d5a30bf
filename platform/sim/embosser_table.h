// The simulated Braille embosser's own character table: what it embosses for each byte it
// receives. It is a Spanish embosser's table, the one the library's "ASCII" table is made for:
// the bytes that table sends for the host's Spanish letters are those letters here, and a full
// stop is a Spanish full stop. One byte embosses one cell, so that a line of n bytes is n cells.
#pragma once

#include <array>
#include <cstdint>

namespace sim {

// A six-dot cell: dots 1 to 6 as bits 0 to 5, the order of Unicode's Braille patterns (the
// pattern is U+2800 + the cell).
using Cell = uint8_t;

// What the embosser embosses for a code at which its table holds no character a Spanish reader
// has a cell for. It is no six-dot cell, so that the demo can mark it and a reading of it finds
// no character.
constexpr Cell kUnknownCell = 0xFF;

struct EmbosserCode {
    uint8_t character; // the Windows-1252 character the table holds at this code
    Cell cell;         // its cell in Spanish Braille; kUnknownCell when it has none
};

// The table, indexed by the byte the embosser receives.
const std::array<EmbosserCode, 256>& embosserTable();

// The cell of a Windows-1252 character, wherever the table holds it: what the embosser embosses
// for the character when it gets the text as it is (the "ANSI" table) and translates it itself.
// kUnknownCell where the table has no cell for it.
Cell cellOfCharacter(uint8_t character);

} // namespace sim
