#include "dotpress/core/test_sheet.h"

#include <cstring>

namespace dotpress {

// Every byte the "ASCII" table moves that the host's code page gives a character. A text line
// that names a byte ends with a colon, and the byte follows it.
const NamedCharacter kNamedCharacters[] = {
    {0x24, "signo de dolar:"},
    {0x28, "abre parentesis:"},
    {0x29, "cierra parentesis:"},
    {0x2F, "barra:"},
    {0x30, "cero:"},
    {0x5B, "abre corchete:"},
    {0x5D, "cierra corchete:"},
    {0x7C, "barra vertical:"},
    {0x80, "euro:"},
    {0x82, "comilla baja:"},
    {0x83, "f de florin:"},
    {0x84, "comillas bajas:"},
    {0x87, "doble cruz:"},
    {0x88, "circunflejo:"},
    {0x89, "por mil:"},
    {0x8B, "abre comilla angular simple:"},
    {0x8E, "z mayuscula con caron:"},
    {0x94, "cierra comillas:"},
    {0x95, "punto de lista:"},
    {0x96, "semirraya:"},
    {0x97, "raya:"},
    {0x9B, "cierra comilla angular simple:"},
    {0xA0, "espacio duro:"},
    {0xA1, "abre exclamacion:"},
    {0xA2, "centavo:"},
    {0xA3, "libra:"},
    {0xA4, "signo monetario:"},
    {0xA5, "yen:"},
    {0xA7, "signo de seccion:"},
    {0xAB, "abre comillas angulares:"},
    {0xAC, "signo de negacion:"},
    {0xAF, "macron:"},
    {0xB1, "mas menos:"},
    {0xB4, "acento agudo:"},
    {0xBB, "cierra comillas angulares:"},
    {0xBC, "un cuarto:"},
    {0xBD, "un medio:"},
    {0xBF, "abre interrogacion:"},
    {0xC0, "a mayuscula con acento grave:"},
    {0xC1, "a mayuscula con tilde:"},
    {0xC2, "a mayuscula con circunflejo:"},
    {0xC4, "a mayuscula con dieresis:"},
    {0xC7, "c mayuscula con cedilla:"},
    {0xC8, "e mayuscula con acento grave:"},
    {0xC9, "e mayuscula con tilde:"},
    {0xCA, "e mayuscula con circunflejo:"},
    {0xCB, "e mayuscula con dieresis:"},
    {0xCC, "i mayuscula con acento grave:"},
    {0xCD, "i mayuscula con tilde:"},
    {0xCE, "i mayuscula con circunflejo:"},
    {0xCF, "i mayuscula con dieresis:"},
    {0xD0, "eth mayuscula:"},
    {0xD1, "n mayuscula con tilde:"},
    {0xD2, "o mayuscula con acento grave:"},
    {0xD3, "o mayuscula con tilde:"},
    {0xD4, "o mayuscula con circunflejo:"},
    {0xD5, "o mayuscula con virgulilla:"},
    {0xD6, "o mayuscula con dieresis:"},
    {0xD9, "u mayuscula con acento grave:"},
    {0xDA, "u mayuscula con tilde:"},
    {0xDB, "u mayuscula con circunflejo:"},
    {0xDC, "u mayuscula con dieresis:"},
    {0xDD, "y mayuscula con tilde:"},
    {0xDF, "ese doble alemana:"},
    {0xE0, "a con acento grave:"},
    {0xE1, "a con tilde:"},
    {0xE2, "a con circunflejo:"},
    {0xE3, "a con virgulilla:"},
    {0xE4, "a con dieresis:"},
    {0xE7, "c con cedilla:"},
    {0xE8, "e con acento grave:"},
    {0xE9, "e con tilde:"},
    {0xEA, "e con circunflejo:"},
    {0xEB, "e con dieresis:"},
    {0xEC, "i con acento grave:"},
    {0xED, "i con tilde:"},
    {0xEE, "i con circunflejo:"},
    {0xEF, "i con dieresis:"},
    {0xF1, "n con tilde:"},
    {0xF2, "o con acento grave:"},
    {0xF3, "o con tilde:"},
    {0xF4, "o con circunflejo:"},
    {0xF6, "o con dieresis:"},
    {0xF7, "signo de division:"},
    {0xF9, "u con acento grave:"},
    {0xFA, "u con tilde:"},
    {0xFB, "u con circunflejo:"},
    {0xFC, "u con dieresis:"},
    {0xFD, "y con tilde:"},
    {0xFE, "thorn:"},
};
const size_t kNamedCharacterCount = sizeof kNamedCharacters / sizeof kNamedCharacters[0];

namespace {

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

bool isNamed(int byte) {
    for (size_t i = 0; i < kNamedCharacterCount; ++i) {
        if (kNamedCharacters[i].byte == byte) {
            return true;
        }
    }
    return false;
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

// The lines of the format page: the line's number, then blanks up to the full cell in the last
// column. A number wider than the line keeps its first digits.
size_t formatLine(uint32_t number, uint16_t columns, char* out) {
    char digits[12];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    const size_t room = columns > 0 ? columns - 1u : 0u;
    size_t length = 0;
    for (size_t i = 0; i < count && length < room; ++i) {
        out[length++] = digits[count - 1 - i];
    }
    while (length < room) {
        out[length++] = ' ';
    }
    if (columns > 0) {
        out[length++] = kFullCell;
    }
    out[length] = 0;
    return length;
}

constexpr char kTitleAscii[] = "tabla de caracteres ASCII";
constexpr char kTitleAnsi[] = "tabla de caracteres ANSI";
constexpr char kOthersHeading[] = "otros caracteres:";

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
    return 1 + kNamedCharacterCount + 2;
}

bool TestSheet::wordAt(size_t paragraph, size_t index, Word& word) const {
    if (paragraph == 0) {
        return textWord(format_.ansiTable ? kTitleAnsi : kTitleAscii, index, word.text,
                        word.length);
    }
    if (paragraph <= kNamedCharacterCount) {
        const NamedCharacter& named = kNamedCharacters[paragraph - 1];
        if (textWord(named.name, index, word.text, word.length)) {
            return true;
        }
        // The byte itself, after the last word of its name.
        const char* last = nullptr;
        size_t length = 0;
        if (index == 0 || !textWord(named.name, index - 1, last, length)) {
            return false;
        }
        word.text = &kByteWords.bytes[named.byte];
        word.length = 1;
        return true;
    }
    if (paragraph == kNamedCharacterCount + 1) {
        return textWord(kOthersHeading, index, word.text, word.length);
    }
    // Every other printable byte but the space, which parts them.
    size_t n = 0;
    for (int b = 0x21; b < 0x100; ++b) {
        if (isPrintableByte(static_cast<uint8_t>(b)) && !isNamed(b) && n++ == index) {
            word.text = &kByteWords.bytes[b];
            word.length = 1;
            return true;
        }
    }
    return false;
}

bool TestSheet::next(char* out) {
    if (formatLine_ < format_.lines) {
        formatLine(++formatLine_, format_.columns, out);
        return true;
    }
    const size_t width = format_.columns;
    size_t length = 0;
    while (paragraph_ < paragraphCount()) {
        Word word{};
        if (!wordAt(paragraph_, word_, word)) {
            if (length > 0) {
                break; // the paragraph's last line
            }
            ++paragraph_;
            word_ = 0;
            wordOffset_ = 0;
            continue;
        }
        const size_t left = word.length - wordOffset_;
        if (length == 0) {
            // A line starts with a word, or with as much of it as the line holds.
            const size_t taken = left < width ? left : width;
            std::memcpy(out, word.text + wordOffset_, taken);
            length = taken;
            if (taken < left) {
                wordOffset_ += taken;
                break;
            }
            wordOffset_ = 0;
            ++word_;
        } else if (length + 1 + left <= width) {
            out[length++] = ' ';
            std::memcpy(out + length, word.text, word.length);
            length += word.length;
            ++word_;
        } else {
            break;
        }
    }
    out[length] = 0;
    return length > 0;
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
