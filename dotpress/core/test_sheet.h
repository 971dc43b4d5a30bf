// What the test sheet says, line by line. First a page of the printer's own format: it states
// the format in words, a ruler marks every tenth column, the other lines carry their number, and
// every line ends with a full cell in the last column, so that the user feels how many lines the
// page holds and where each line ends (on a double-sided printer the back of that sheet is the
// same page again). Then the character table, for a Spanish reader: the Spanish letters and signs
// one to a line, each cell before its name, then every other printable byte in labelled groups.
// The lines are host text like any other: the job translates them into the chosen table, so a
// wrong table on the embosser shows under the fingers. Nothing on the sheet becomes a control
// code on the wire, and numbers are written as the reader reads them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dotpress {

struct SheetFormat {
    uint16_t lines;   // lines per page, at least 1
    uint16_t columns; // cells per line, 1 to kMaxSheetColumns
    bool ansiTable;   // the table chosen in the print dialog: "ANSI" rather than "ASCII"
    bool doubleSided; // the printer embosses both sides: the format page is framed front and back
};

// The widest line the session can take.
constexpr uint16_t kMaxSheetColumns = 519;

// The mark of the last column: the six-dot cell in Braille ASCII ('='), the equals sign (dots
// 2356) in a Spanish embosser's table, which has no byte for the six-dot cell. Both tables send
// it as it is, and an embosser that translates the text itself makes one cell of it.
constexpr char kFullCell = '=';

// Whether the host's text can carry the byte as a character (Windows-1252): every byte from
// the space up but DEL and the five codes the code page leaves empty.
bool isPrintableByte(uint8_t byte);

// Whether the sheet sends a printable byte under the chosen table. Under "ASCII" a few capitals
// translate to control codes, which an embosser may take as commands: the sheet names them with
// their code instead.
bool sheetSends(uint8_t byte, bool ansiTable);

// A number as the sheet writes it into `out` (12 bytes are enough), not terminated; returns its
// length. Under "ASCII" the embosser embosses each byte as a cell, so a number is the number sign
// and the letters a to j ("#aj" for 10), which neither table moves; under "ANSI" the embosser
// translates, and gets digits.
size_t writeNumber(uint32_t number, bool ansiTable, char* out);

// The sheet's lines in order; each is at most `columns` bytes.
class TestSheet {
public:
    explicit TestSheet(const SheetFormat& format);
    // Writes the next line into `out`, which holds `columns` + 1 bytes, terminated; false once
    // the sheet is done.
    bool next(char* out);
    // Pages of the printer's format the sheet fills: the format page (twice on a double-sided
    // printer) and the table's.
    static uint32_t pageCount(const SheetFormat& format);

private:
    struct Word {
        const char* text;
        size_t length;
    };
    // Where a paragraph stands as it is laid out into lines.
    struct Cursor {
        size_t paragraph = 0;
        size_t word = 0;
        size_t wordOffset = 0; // of a word longer than a line, the part already written
        bool started = false;  // a line of the paragraph has been written
    };
    // The table is a run of paragraphs (its title, the entries, the groups), each a run of words;
    // kStatement is the format page's statement of the format.
    static constexpr size_t kStatement = ~size_t(0);
    bool wordAt(size_t paragraph, size_t index, Word& word) const;
    size_t paragraphCount() const;
    bool hangs(size_t paragraph) const;
    // Lays the paragraph at the cursor into one line of `width`; 0 when it has no more words.
    size_t fill(Cursor& cursor, size_t width, char* out) const;
    void formatLine(uint32_t row, char* out);

    SheetFormat format_;
    uint32_t formatLine_ = 0; // lines of the format pages written
    Cursor statement_;
    bool statementDone_ = false;
    bool rulerDone_ = false;
    Cursor table_;
    mutable char number_[12] = {}; // the text of a word that is a number
};

} // namespace dotpress
