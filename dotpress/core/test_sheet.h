// What the test sheet says, line by line: first a page of the printer's own format, every line
// numbered and its last column a full cell, so that the user feels how many lines the page holds
// and where each line ends; then the character table, every printable byte the host can send,
// those whose code the embosser's tables disagree on each named beside it ("a con tilde: á").
// The lines are host text like any other: the job translates them into the chosen table, so a
// wrong table on the embosser shows under the fingers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dotpress {

struct SheetFormat {
    uint16_t lines;   // lines per page, at least 1
    uint16_t columns; // characters per line, 1 to kMaxSheetColumns
    bool ansiTable;   // the table chosen in the print dialog: "ANSI" rather than "ASCII"
};

// The widest line the session can take.
constexpr uint16_t kMaxSheetColumns = 519;

// The six-dot cell in Braille ASCII ('='), a byte both tables send as it is.
constexpr char kFullCell = '=';

// A byte and its name as the sheet gives it: plain letters, spaces and a colon, which every
// table sends as they are, so that the name reads right whatever the embosser does with the
// byte beside it (hence "tilde" and "dieresis" without their accents).
struct NamedCharacter {
    uint8_t byte;
    const char* name;
};
extern const NamedCharacter kNamedCharacters[];
extern const size_t kNamedCharacterCount;

// Whether the host's text can carry the byte as a character (Windows-1252): every byte from
// the space up but DEL and the five codes the code page leaves empty.
bool isPrintableByte(uint8_t byte);

// The sheet's lines in order; each is at most `columns` bytes.
class TestSheet {
public:
    explicit TestSheet(const SheetFormat& format);
    // Writes the next line into `out`, which holds `columns` + 1 bytes, terminated; false once
    // the sheet is done.
    bool next(char* out);
    // Pages of the printer's format the sheet fills: the format page and the table's.
    static uint32_t pageCount(const SheetFormat& format);

private:
    // The table is a run of paragraphs (its title, one per named byte, a heading, the other
    // bytes), each a run of words that fill lines of the column count, a space between two.
    struct Word {
        const char* text;
        size_t length;
    };
    bool wordAt(size_t paragraph, size_t index, Word& word) const;
    size_t paragraphCount() const;

    SheetFormat format_;
    uint32_t formatLine_ = 0; // lines of the format page written
    size_t paragraph_ = 0;
    size_t word_ = 0;
    size_t wordOffset_ = 0; // of a word longer than a line, the part already written
};

} // namespace dotpress
