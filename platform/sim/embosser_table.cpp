// The Spanish embosser's table, written out code by code. The cells are those of liblouis's
// uncontracted Spanish table (es-g1.ctb and the files it includes, in /usr/share/liblouis/tables
// of the liblouis-data package), each checked with `lou_translate unicode.dis,es-g1.ctb`:
// forward, the character gives its cell; backward, the cell gives the character or another of
// the same cell (";" and ":" read as the digits 2 and 3, "»" as a straight quote). Where that
// table writes a character with two or more cells ("$" is 456-234, "/" 6-2, "€" 456-15, "…"
// 3-3-3, "—" 36-36), one code cannot emboss it: the code is unknown, as is every code whose
// character the table lacks (the letters with grave accents, circumflexes, tildes other than ñ,
// and so on) and every code no character stands at.
#include "platform/sim/embosser_table.h"

#include <cstddef>

namespace sim {

namespace {

// A cell written as its dots in the usual notation: 2346 is dots 2, 3, 4 and 6; 0 is the blank.
constexpr Cell dots(int digits) {
    Cell cell = 0;
    for (; digits > 0; digits /= 10) {
        cell = static_cast<Cell>(cell | 1u << (digits % 10 - 1));
    }
    return cell;
}

struct Row {
    uint8_t code;
    uint8_t character; // Windows-1252
    int dots;
};

// a to z (latinLetterDef6Dots.uti). A capital embosses its letter's cell alone, as the accented
// capitals below do: the capital sign (46, "capsletter" in es-g1.ctb) would be a second cell, and
// one code embosses one cell. A reader reads the text in small letters.
constexpr int kLetters[26] = {1,   12,   14,  145,  15,   124,  1245,  125,   24,
                              245, 13,   123, 134,  1345, 135,  1234,  12345, 1235,
                              234, 2345, 136, 1236, 2456, 1346, 13456, 1356};

// Every other code that holds a character with a cell of its own.
// clang-format off
constexpr Row kRows[] = {
    // Space (spaces.uti), and the number sign, at its ASCII code.
    {0x20, 0x20, 0},      {0x23, '#', 3456},
    // The Spanish letters, at the codes of the ASCII signs they displace (es-chardefs.cti,
    // "lowercase" and "base uppercase").
    {0x28, 0xE1, 12356},  // á
    {0x24, 0xE9, 2346},   // é
    {0x2F, 0xED, 34},     // í
    {0x30, 0xF3, 346},    // ó
    {0x29, 0xFA, 23456},  // ú
    {0xA4, 0xF1, 12456},  // ñ
    {0x81, 0xFC, 1256},   // ü
    {0x5B, 0xC1, 12356},  // Á
    {0x90, 0xC9, 2346},   // É
    {0x8B, 0xCD, 34},     // Í
    {0x95, 0xD3, 346},    // Ó
    {0x5D, 0xDA, 23456},  // Ú
    {0xA5, 0xD1, 12456},  // Ñ
    {0xEC, 0xDC, 1256},   // Ü
    // The signs those letters displaced, at their new codes (es-chardefs.cti; the zero as j,
    // litdigits6Dots.uti).
    {0x88, '(', 126},     {0x8E, ')', 345},     {0xCC, '[', 12356},   {0xAF, ']', 23456},
    {0xD4, '|', 456},     {0x97, '0', 245},
    // Punctuation and signs of one cell at their ASCII codes (es-chardefs.cti).
    {0x21, '!', 235},     {0x22, '"', 236},     {0x27, '\'', 3},      {0x2A, '*', 35},
    {0x2B, '+', 235},     {0x2C, ',', 2},       {0x2D, '-', 36},      {0x2E, '.', 3},
    {0x3A, ':', 25},      {0x3B, ';', 23},      {0x3C, '<', 246},     {0x3D, '=', 2356},
    {0x3E, '>', 135},     {0x3F, '?', 26},      {0x40, '@', 5},
    // Windows-1252's own signs (es-chardefs.cti, by their Unicode characters).
    {0xF1, 0xA1, 235},    // ¡
    {0xA7, 0xBF, 26},     // ¿
    {0xEE, 0xAB, 236},    // «
    {0xB4, 0xBB, 236},    // »
    {0x91, 0x91, 236},    // ‘
    {0x92, 0x92, 236},    // ’
    {0x93, 0x93, 236},    // “
    {0xE3, 0x94, 236},    // ”
    {0xF9, 0x82, 236},    // ‚
    {0xB1, 0x84, 236},    // „
    {0xCD, 0x96, 36},     // – (en dash)
    {0xAD, 0xAD, 36},     // soft hyphen
    {0xD7, 0xD7, 236},    // ×
    {0xDB, 0xF7, 256},    // ÷
    {0xD3, 0xA0, 0},      // no-break space, a blank cell (spaces.uti)
};
// clang-format on

constexpr std::array<EmbosserCode, 256> buildTable() {
    std::array<EmbosserCode, 256> table{};
    for (auto& code : table) {
        code = {0, kUnknownCell};
    }
    for (int i = 0; i < 26; ++i) {
        const Cell cell = dots(kLetters[i]);
        table[static_cast<size_t>('a' + i)] = {static_cast<uint8_t>('a' + i), cell};
        table[static_cast<size_t>('A' + i)] = {static_cast<uint8_t>('A' + i), cell};
    }
    // The digits 1 to 9 are the cells of a to i, which the number sign (3456, "numsign" in
    // es-g1.ctb) before them makes digits (litdigits6Dots.uti): "#" followed by a to j, or by
    // digits, reads as a number. The zero has a code of its own (above).
    for (int digit = 1; digit <= 9; ++digit) {
        table[static_cast<size_t>('0' + digit)] = {static_cast<uint8_t>('0' + digit),
                                                   dots(kLetters[digit - 1])};
    }
    for (const Row& row : kRows) {
        table[row.code] = {row.character, dots(row.dots)};
    }
    return table;
}

constexpr std::array<EmbosserCode, 256> kTable = buildTable();

constexpr std::array<Cell, 256> buildCharacterCells() {
    std::array<Cell, 256> cells{};
    for (auto& cell : cells) {
        cell = kUnknownCell;
    }
    for (const EmbosserCode& code : kTable) {
        if (code.cell != kUnknownCell) {
            cells[code.character] = code.cell;
        }
    }
    return cells;
}

constexpr std::array<Cell, 256> kCharacterCells = buildCharacterCells();

} // namespace

const std::array<EmbosserCode, 256>& embosserTable() {
    return kTable;
}

Cell cellOfCharacter(uint8_t character) {
    return kCharacterCells[character];
}

} // namespace sim
