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

TEST(TestSheet, FormatPageNumbersEveryLineAndMarksItsLastColumn) {
    struct Case {
        uint16_t lines, columns;
        std::vector<std::string> firstLines; // of the page, as written
    };
    const Case cases[] = {
        {29, 12, {"1          =", "2          =", "3          ="}},
        {12, 3, {"1 =", "2 =", "3 ="}},
        {12, 2, {"1=", "2="}},
        {11, 1, {"=", "="}},
        {5, 519, {"1" + std::string(517, ' ') + "="}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lines) + " x " + std::to_string(c.columns));
        const auto lines = sheetLines({c.lines, c.columns, false});
        ASSERT_GT(lines.size(), c.lines);
        for (size_t i = 0; i < c.firstLines.size(); ++i) {
            EXPECT_EQ(lines[i], c.firstLines[i]);
        }
        for (uint16_t i = 0; i < c.lines; ++i) {
            const std::string& line = lines[i];
            ASSERT_EQ(line.size(), c.columns) << "line " << i + 1;
            EXPECT_EQ(line.back(), dotpress::kFullCell) << "line " << i + 1;
            // The number as far as it fits before the full cell, then blanks.
            const std::string number = std::to_string(i + 1).substr(0, c.columns - 1u);
            EXPECT_EQ(line.substr(0, number.size()), number);
            EXPECT_EQ(line.find_first_not_of(' ', number.size()), c.columns - 1u);
        }
        EXPECT_NE(lines[c.lines].back(), dotpress::kFullCell) << "the table starts a page";
    }
}

// The table's lines, after a format page of 3 lines.
std::vector<std::string> tableLines(uint16_t columns, bool ansi) {
    auto lines = sheetLines({3, columns, ansi});
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

// The table, read as its user reads it: a title naming the chosen table, then a named entry for
// every byte the two tables disagree on ("a con tilde: á"), then every other printable byte.
TEST(TestSheet, TableNamesTheMovedBytesAndListsEveryOtherOnce) {
    for (const bool ansi : {false, true}) {
        for (const uint16_t columns : {uint16_t(519), uint16_t(32), uint16_t(20)}) {
            SCOPED_TRACE(std::to_string(columns) + (ansi ? " ANSI" : " ASCII"));
            std::string joined;
            for (const std::string& line : tableLines(columns, ansi)) {
                ASSERT_FALSE(line.empty());
                ASSERT_LE(line.size(), columns);
                joined += line + " ";
            }
            std::istringstream words(joined);
            std::vector<std::string> all;
            for (std::string w; words >> w;) {
                all.push_back(w);
            }
            ASSERT_GE(all.size(), 4u);
            EXPECT_EQ(all[3], ansi ? "ANSI" : "ASCII");
            // Items: the byte after each name (a word that ends with ':'), and once the heading
            // "otros caracteres:" has come, every word.
            std::map<int, int> named, listed;
            std::string name;
            bool others = false;
            for (size_t i = 4; i < all.size(); ++i) {
                const std::string& w = all[i];
                if (others) {
                    ASSERT_EQ(w.size(), 1u) << w;
                    ++listed[static_cast<unsigned char>(w[0])];
                    continue;
                }
                if (w == "caracteres:") {
                    others = true;
                    continue;
                }
                if (!name.empty() && name.back() == ':') {
                    ASSERT_EQ(w.size(), 1u) << name << " " << w;
                    ++named[static_cast<unsigned char>(w[0])];
                    name.clear();
                    continue;
                }
                name += (name.empty() ? "" : " ") + w;
                // Names read right whatever table the embosser uses: only bytes both send as
                // they are.
                for (char ch : w) {
                    const auto b = static_cast<unsigned char>(ch);
                    EXPECT_EQ(dotpress::translationTable[b], b) << "in the name " << name;
                }
            }
            EXPECT_TRUE(others) << "the heading of the other characters";
            for (int b = 0x21; b < 0x100; ++b) {
                const bool moved = dotpress::translationTable[static_cast<size_t>(b)] != b;
                // DEL and the five codes Windows-1252 leaves empty are no characters.
                const bool printable =
                    b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D;
                EXPECT_EQ(named[b] + listed[b], printable ? 1 : 0) << "byte " << b;
                EXPECT_EQ(named[b], printable && moved ? 1 : 0) << "byte " << b;
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

TEST(TestSheet, PagesCountTheFormatPageAndTheTable) {
    for (const uint16_t lines : {uint16_t(1), uint16_t(10), uint16_t(29), uint16_t(1000)}) {
        SCOPED_TRACE(lines);
        const SheetFormat format{lines, 32, false};
        const size_t all = sheetLines(format).size();
        EXPECT_EQ(TestSheet::pageCount(format), (all + lines - 1) / lines);
        EXPECT_GE(all, lines + 1u);
    }
}

} // namespace
