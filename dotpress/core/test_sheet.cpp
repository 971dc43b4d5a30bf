#include "dotpress/core/test_sheet.h"

#include "dotpress/core/translation.h"

#include <cstring>

namespace dotpress {

namespace {

// A byte and its name as the sheet gives it, in Windows-1252 like any host text: the job
// translates the accented letters of a name as it translates the byte before it. Names are
// lower case and carry no digits, which the "ASCII" table would not send as a reader reads them.
struct NamedCharacter {
    uint8_t byte;
    const char* name;
};

// The letters and signs of Spanish, in the order a Spanish reader learns them.
constexpr NamedCharacter kSpanish[] = {
    {0xE1, "a acentuada"},
    {0xE9, "e acentuada"},
    {0xED, "i acentuada"},
    {0xF3, "o acentuada"},
    {0xFA, "u acentuada"},
    {0xFC, "u con di\xE9resis"},
    {0xF1, "e\xF1"
           "e"},
    {0xC1, "a acentuada may\xFAscula"},
    {0xC9, "e acentuada may\xFAscula"},
    {0xCD, "i acentuada may\xFAscula"},
    {0xD3, "o acentuada may\xFAscula"},
    {0xDA, "u acentuada may\xFAscula"},
    {0xDC, "u con di\xE9resis may\xFAscula"},
    {0xD1, "e\xF1"
           "e may\xFAscula"},
    {0xBF, "abre interrogaci\xF3n"},
    {0xA1, "abre exclamaci\xF3n"},
    {0xAB, "abre comillas angulares"},
    {0xBB, "cierra comillas angulares"},
    {0xBA, "ordinal masculino"},
    {0xAA, "ordinal femenino"},
    {0x80, "euro"},
    {0xB0, "grado"},
};
constexpr size_t kSpanishCount = sizeof kSpanish / sizeof kSpanish[0];

// The bytes the "ASCII" table turns into control codes, named with their code instead.
constexpr NamedCharacter kNotSent[] = {
    {0xC0, "a con acento grave: no se env\xED"
           "a"},
    {0xC2, "a con circunflejo: no se env\xED"
           "a"},
    {0xCA, "e con circunflejo: no se env\xED"
           "a"},
    {0xCE, "i con circunflejo: no se env\xED"
           "a"},
    {0xD4, "o con circunflejo: no se env\xED"
           "a"},
    {0xD9, "u con acento grave: no se env\xED"
           "a"},
    {0xDB, "u con circunflejo: no se env\xED"
           "a"},
};
constexpr size_t kNotSentCount = sizeof kNotSent / sizeof kNotSent[0];

// Every other printable byte, in groups a reader can find.
constexpr const char* kGroups[] = {
    "signos:", "cifras:", "letras:", "may\xFAsculas:", "otras letras:", "otros signos:"};
constexpr size_t kGroupCount = sizeof kGroups / sizeof kGroups[0];

constexpr char kTitleAscii[] = "tabla de caracteres ASCII";
constexpr char kTitleAnsi[] = "tabla de caracteres ANSI";
constexpr char kSpanishHeading[] = "letras y signos del espa\xF1ol:";
constexpr char kNotSentHeading[] = "may\xFAsculas que no se env\xED"
                                   "an:";

// Each byte as a one-byte word.
struct ByteWords {
    char bytes[256];
    constexpr ByteWords() : bytes() {
        for (int b = 0; b < 256; ++b) {
            bytes[b] = static_cast<char>(b);
        }
    }
};
constexpr ByteWords kByteWords;

bool isSpanish(int byte) {
    for (const NamedCharacter& named : kSpanish) {
        if (named.byte == byte) {
            return true;
        }
    }
    return false;
}

bool isOtherLetter(int byte) {
    switch (byte) {
    case 0x83: // f with hook
    case 0x8A: // S, s, Z, z with caron, the ligatures oe and the y with diaeresis
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
        return true;
    default:
        return byte >= 0xC0 && byte != 0xD7 && byte != 0xF7;
    }
}

// The group a byte is listed in, or kGroupCount for none: the space, what is not printable, the
// Spanish letters and signs (named before the groups) and what the table does not send.
size_t groupOf(int byte, bool ansiTable) {
    const auto b = static_cast<uint8_t>(byte);
    if (b <= 0x20 || !isPrintableByte(b) || isSpanish(b) || !sheetSends(b, ansiTable)) {
        return kGroupCount;
    }
    if (b >= '0' && b <= '9') {
        return 1;
    }
    if (b >= 'a' && b <= 'z') {
        return 2;
    }
    if (b >= 'A' && b <= 'Z') {
        return 3;
    }
    if (b < 0x7F) {
        return 0;
    }
    return isOtherLetter(b) ? 4 : 5;
}

// The index-th word of a text, words being what lies between spaces.
bool textWord(const char* text, size_t index, const char*& word, size_t& length) {
    const char* p = text;
    for (size_t n = 0;; ++n) {
        while (*p == ' ') {
            ++p;
        }
        if (!*p) {
            return false;
        }
        const char* end = p;
        while (*end && *end != ' ') {
            ++end;
        }
        if (n == index) {
            word = p;
            length = static_cast<size_t>(end - p);
            return true;
        }
        p = end;
    }
}

size_t wordCount(const char* text) {
    const char* word = nullptr;
    size_t length = 0;
    size_t n = 0;
    while (textWord(text, n, word, length)) {
        ++n;
    }
    return n;
}

} // namespace

bool isPrintableByte(uint8_t byte) {
    switch (byte) {
    case 0x7F:
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D:
        return false;
    default:
        return byte >= 0x20;
    }
}

bool sheetSends(uint8_t byte, bool ansiTable) {
    const uint8_t sent = ansiTable ? byte : translationTable[byte];
    return sent >= 0x20 && sent != 0x7F;
}

size_t writeNumber(uint32_t number, bool ansiTable, char* out) {
    char digits[10];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>(number % 10);
        number /= 10;
    } while (number > 0);
    size_t length = 0;
    if (!ansiTable) {
        out[length++] = '#';
    }
    while (count > 0) {
        const char digit = digits[--count];
        out[length++] = ansiTable ? static_cast<char>('0' + digit)
                                  : static_cast<char>(digit == 0 ? 'j' : 'a' + digit - 1);
    }
    return length;
}

TestSheet::TestSheet(const SheetFormat& format) : format_(format) {
    if (format_.lines < 1) {
        format_.lines = 1;
    }
    if (format_.columns < 1) {
        format_.columns = 1;
    }
    if (format_.columns > kMaxSheetColumns) {
        format_.columns = kMaxSheetColumns;
    }
}

size_t TestSheet::paragraphCount() const {
    return 2 + kSpanishCount + kGroupCount + (format_.ansiTable ? 0 : 1 + kNotSentCount);
}

// An entry's name runs on under its own first word, leaving the column of the cells to them.
bool TestSheet::hangs(size_t paragraph) const {
    const size_t groups = 2 + kSpanishCount;
    return paragraph != kStatement && paragraph >= 2 &&
           (paragraph < groups || paragraph > groups + kGroupCount);
}

bool TestSheet::wordAt(size_t paragraph, size_t index, Word& word) const {
    const bool ansi = format_.ansiTable;
    auto number = [&](uint32_t n) {
        word.text = number_;
        word.length = writeNumber(n, ansi, number_);
        return true;
    };
    if (paragraph == kStatement) {
        // "formato: #bi líneas de #dj cajetines": words 1 and 4 are the numbers.
        const uint16_t lines = format_.lines, columns = format_.columns;
        const char* const words[] = {
            "formato:", nullptr, lines == 1 ? "l\xEDnea" : "l\xEDneas",
            "de",       nullptr, columns == 1 ? "cajet\xEDn" : "cajetines"};
        if (index >= sizeof words / sizeof words[0]) {
            return false;
        }
        if (!words[index]) {
            return number(index == 1 ? lines : columns);
        }
        word.text = words[index];
        word.length = std::strlen(words[index]);
        return true;
    }
    if (paragraph == 0) {
        return textWord(ansi ? kTitleAnsi : kTitleAscii, index, word.text, word.length);
    }
    if (paragraph == 1) {
        return textWord(kSpanishHeading, index, word.text, word.length);
    }
    size_t p = paragraph - 2;
    if (p < kSpanishCount) {
        // The cell first, in the line's first column, then its name.
        if (index == 0) {
            word.text = &kByteWords.bytes[kSpanish[p].byte];
            word.length = 1;
            return true;
        }
        return textWord(kSpanish[p].name, index - 1, word.text, word.length);
    }
    p -= kSpanishCount;
    if (p < kGroupCount) {
        const size_t heading = wordCount(kGroups[p]);
        if (index < heading) {
            return textWord(kGroups[p], index, word.text, word.length);
        }
        size_t n = heading;
        for (int b = 0x21; b < 0x100; ++b) {
            if (groupOf(b, ansi) == p && n++ == index) {
                word.text = &kByteWords.bytes[b];
                word.length = 1;
                return true;
            }
        }
        return false;
    }
    p -= kGroupCount;
    if (p == 0) {
        return textWord(kNotSentHeading, index, word.text, word.length);
    }
    const NamedCharacter& named = kNotSent[p - 1];
    return index == 0 ? number(named.byte)
                      : textWord(named.name, index - 1, word.text, word.length);
}

size_t TestSheet::fill(Cursor& cursor, size_t width, char* out) const {
    size_t length = 0;
    if (cursor.started && width >= 12 && hangs(cursor.paragraph)) {
        out[length++] = ' ';
        out[length++] = ' ';
    }
    const size_t indent = length;
    Word word{};
    while (wordAt(cursor.paragraph, cursor.word, word)) {
        const size_t left = word.length - cursor.wordOffset;
        if (length == indent) {
            // A line starts with a word, or with as much of it as the line holds.
            const size_t room = width - indent;
            const size_t taken = left < room ? left : room;
            std::memcpy(out + length, word.text + cursor.wordOffset, taken);
            length += taken;
            if (taken < left) {
                cursor.wordOffset += taken;
                break;
            }
            cursor.wordOffset = 0;
            ++cursor.word;
        } else if (length + 1 + left <= width) {
            out[length++] = ' ';
            std::memcpy(out + length, word.text, word.length);
            length += word.length;
            ++cursor.word;
        } else {
            break;
        }
    }
    if (length == indent) {
        return 0;
    }
    cursor.started = true;
    out[length] = 0;
    return length;
}

// A line of a format page: the statement of the format first, then the ruler, then the lines
// with their number; each padded with blanks up to the full cell in the last column.
void TestSheet::formatLine(uint32_t row, char* out) {
    const size_t room = format_.columns - 1u;
    if (row == 0) {
        statement_ = Cursor{};
        statement_.paragraph = kStatement;
        statementDone_ = rulerDone_ = room == 0;
    }
    size_t length = 0;
    if (!statementDone_) {
        length = fill(statement_, room, out);
        Word word{};
        statementDone_ = !wordAt(kStatement, statement_.word, word);
    } else if (!rulerDone_) {
        // Blank-free dashes, and at every tenth column the end of its number.
        std::memset(out, '-', room);
        for (size_t column = 10; column <= room; column += 10) {
            char number[12];
            const size_t n = writeNumber(static_cast<uint32_t>(column), format_.ansiTable, number);
            std::memcpy(out + column - n, number, n);
            out[column - n - 1] = ' ';
        }
        length = room;
        rulerDone_ = true;
    } else {
        // The line's number, as far as it fits before the full cell.
        char number[12];
        const size_t n = writeNumber(row + 1, format_.ansiTable, number);
        length = n < room ? n : room;
        std::memcpy(out, number, length);
    }
    std::memset(out + length, ' ', room - length);
    out[room] = kFullCell;
    out[room + 1] = 0;
}

bool TestSheet::next(char* out) {
    const uint32_t formatLines = (format_.doubleSided ? 2u : 1u) * format_.lines;
    if (formatLine_ < formatLines) {
        formatLine(formatLine_++ % format_.lines, out);
        return true;
    }
    while (table_.paragraph < paragraphCount()) {
        if (fill(table_, format_.columns, out) > 0) {
            return true;
        }
        const size_t nextParagraph = table_.paragraph + 1;
        table_ = Cursor{};
        table_.paragraph = nextParagraph;
    }
    out[0] = 0;
    return false;
}

uint32_t TestSheet::pageCount(const SheetFormat& format) {
    TestSheet sheet(format);
    char line[kMaxSheetColumns + 1];
    uint32_t lines = 0;
    while (sheet.next(line)) {
        ++lines;
    }
    return (lines + sheet.format_.lines - 1) / sheet.format_.lines;
}

} // namespace dotpress
