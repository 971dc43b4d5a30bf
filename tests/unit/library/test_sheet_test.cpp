// The test sheet's content, on its own: the format page and the character table, for formats
// wide and narrow.
#include "dotpress/core/test_sheet.h"
#include "dotpress/core/translation.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using dotpress::SheetFormat;
using dotpress::TestSheet;

std::vector<std::string> sheetLines(const SheetFormat& format) {
    TestSheet sheet(format);
    std::vector<std::string> lines;
    std::vector<char> line(format.columns + 1u, '\x7F');
    while (sheet.next(line.data())) {
        lines.emplace_back(line.data());
    }
    return lines;
}

std::string padded(const std::string& text, size_t columns) {
    return text + std::string(columns - 1 - text.size(), ' ') + "=";
}

TEST(TestSheet, FormatPageStatesItsFormatMarksTheColumnsAndNumbersTheLines) {
    struct Case {
        SheetFormat format;
        std::vector<std::pair<size_t, std::string>> lines; // of the page, as written
    };
    // clang-format off
    const std::string statement = padded("formato: #be l\xEDneas de #dj cajetines", 40);
    const Case cases[] = {
        {{25, 40, false, false}, {{0, statement},
                                  {1, "------ #aj------ #bj------ #cj---------="},
                                  {2, padded("#c", 40)}, {9, padded("#aj", 40)}, {24, padded("#be", 40)}}},
        {{25, 40, false, true}, {{25, statement}, {49, padded("#be", 40)}}},
        {{29, 41, true, false}, {{0, padded("formato: 29 l\xEDneas de 41 cajetines", 41)},
                                 {1, "------- 10------- 20------- 30------- 40="}, {9, padded("10", 41)}}},
        {{12, 12, false, false}, {{0, "formato:   ="}, {1, "#ab l\xEDneas ="}, {2, "de #ab     ="},
                                  {3, "cajetines  ="}, {4, "------ #aj-="}, {5, padded("#f", 12)}}},
        {{12, 2, false, false}, {{0, "f="}, {1, "o="}}},
        {{11, 1, false, true}, {{0, "="}, {21, "="}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const SheetFormat& f = c.format;
        SCOPED_TRACE(&c - cases);
        const auto lines = sheetLines(f);
        const size_t framed = f.lines * (f.doubleSided ? 2u : 1u);
        ASSERT_GT(lines.size(), framed);
        for (const auto& [index, text] : c.lines) {
            EXPECT_EQ(lines[index], text) << "line " << index + 1;
        }
        for (size_t i = 0; i < framed; ++i) {
            ASSERT_EQ(lines[i].size(), f.columns) << "line " << i + 1;
            EXPECT_EQ(lines[i].back(), dotpress::kFullCell) << "line " << i + 1;
        }
        EXPECT_EQ(lines[framed][0], 't') << "the table's title starts a page";
    }
}

// What reaches the embosser is printable cells only, and numbers are read as numbers: under
// "ASCII" the only digits are the ten the table lists as characters.
TEST(TestSheet, NoControlCodeReachesTheEmbosserAndNumbersAreReadable) {
    for (const bool ansi : {false, true}) {
        for (const uint16_t columns : {uint16_t(519), uint16_t(40), uint16_t(12), uint16_t(1)}) {
            SCOPED_TRACE(std::to_string(columns) + (ansi ? " ANSI" : " ASCII"));
            int digits = 0;
            for (const std::string& line : sheetLines({30, columns, ansi, true})) {
                for (const char ch : line) {
                    const auto b = static_cast<unsigned char>(ch);
                    const uint8_t sent = ansi ? b : dotpress::translationTable[b];
                    ASSERT_TRUE(sent >= 0x20 && sent != 0x7F) << "byte " << int(b);
                    digits += ch >= '0' && ch <= '9';
                }
            }
            EXPECT_TRUE(ansi || digits == 10) << digits;
        }
    }
}

// The table's lines, after a format page of 3 lines.
std::vector<std::string> tableLines(uint16_t columns, bool ansi) {
    auto lines = sheetLines({3, columns, ansi, false});
    lines.erase(lines.begin(), lines.begin() + 3);
    return lines;
}

std::string withoutSpaces(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        for (char c : line) {
            if (c != ' ') {
                text += c;
            }
        }
    }
    return text;
}

// The table, read as its user reads it: a title naming the chosen table, the Spanish letters and
// signs first, one to a line with the cell in the first column, then every other printable
// byte once in the groups, and under "ASCII" the bytes it would turn into control codes named by
// their code instead.
TEST(TestSheet, TableGivesTheSpanishCharactersFirstAndEveryOtherOnce) {
    const std::string spanish = "\xE1\xE9\xED\xF3\xFA\xFC\xF1\xC1\xC9\xCD\xD3\xDA\xDC\xD1"
                                "\xBF\xA1\xAB\xBB\xBA\xAA\x80\xB0";
    for (const bool ansi : {false, true}) {
        for (const uint16_t columns : {uint16_t(519), uint16_t(40)}) {
            SCOPED_TRACE(std::to_string(columns) + (ansi ? " ANSI" : " ASCII"));
            const auto lines = tableLines(columns, ansi);
            ASSERT_GT(lines.size(), 2 + spanish.size());
            EXPECT_EQ(lines[0], std::string("tabla de caracteres ") + (ansi ? "ANSI" : "ASCII"));
            EXPECT_EQ(lines[1], "letras y signos del espa\xF1ol:");
            std::map<int, int> seen, notSent;
            for (size_t i = 0; i < spanish.size(); ++i) {
                EXPECT_EQ(lines[2 + i].substr(0, 2), spanish.substr(i, 1) + " ") << lines[2 + i];
                ++seen[static_cast<unsigned char>(lines[2 + i][0])];
            }
            EXPECT_EQ(lines[8], "\xF1 e\xF1"
                                "e");
            bool named = false;
            for (size_t i = 2 + spanish.size(); i < lines.size(); ++i) {
                std::istringstream words(lines[i]);
                std::string w;
                words >> w;
                if (named) { // "#aib a con acento grave: no se envía": the code as it is read
                    int code = 0;
                    for (size_t k = 1; k < w.size(); ++k) {
                        code = code * 10 + (w[k] == 'j' ? 0 : w[k] - 'a' + 1);
                    }
                    notSent[code] += w[0] == '#' && lines[i].find(": no se env") != w.npos;
                    continue;
                }
                named = w == "may\xFAsculas" && lines[i].find("no se") != std::string::npos;
                for (; !named && words; words >> w) {
                    if (w.size() == 1) {
                        ++seen[static_cast<unsigned char>(w[0])];
                    }
                }
            }
            EXPECT_EQ(notSent.size(), ansi ? 0u : 7u) << "A, E, I, O, U with grave or circumflex";
            for (int b = 0x21; b < 0x100; ++b) {
                const auto byte = static_cast<uint8_t>(b);
                const bool sends = dotpress::sheetSends(byte, ansi);
                const int expected = dotpress::isPrintableByte(byte) ? 1 : 0;
                EXPECT_EQ(seen[b], sends ? expected : 0) << "byte " << b;
                EXPECT_EQ(notSent[b], sends ? 0 : expected) << "byte " << b;
            }
        }
    }
}

// On a narrow page the words wider than a line are split, not lost.
TEST(TestSheet, NarrowPagesHoldTheWholeTable) {
    const std::string whole = withoutSpaces(tableLines(519, false));
    for (const uint16_t columns : {uint16_t(12), uint16_t(5), uint16_t(1)}) {
        SCOPED_TRACE(columns);
        const auto lines = tableLines(columns, false);
        for (const std::string& line : lines) {
            ASSERT_FALSE(line.empty());
            ASSERT_LE(line.size(), columns);
        }
        EXPECT_EQ(withoutSpaces(lines), whole);
    }
}

// The page count agrees with the lines made; 25 x 40 takes 3 pages, 4 on both sides.
TEST(TestSheet, PagesCountTheFormatPagesAndTheTable) {
    // clang-format off
    const std::pair<SheetFormat, uint32_t> cases[] = { // the pages, when known
        {{25, 40, false, false}, 3}, {{25, 40, true, false}, 3}, {{25, 40, false, true}, 4},
        {{29, 40, false, false}, 3}, {{1, 32, false, false}, 0}, {{1000, 32, true, false}, 2}};
    // clang-format on
    for (const auto& [format, pages] : cases) {
        const size_t made = (sheetLines(format).size() + format.lines - 1) / format.lines;
        EXPECT_EQ(TestSheet::pageCount(format), made) << format.lines;
        EXPECT_EQ(made, pages ? pages : made) << format.lines;
    }
}

} // namespace
