// A job read back as a Spanish reader reads it: the bytes the library sent, embossed by the
// simulated embosser's own table, read with liblouis's Spanish table, give the host's text.
#include "examples/sample_host.h"
#include "library_fixture.h"
#include "platform/sim/embosser_table.h"

#include <liblouis.h>

#include <iterator>
#include <sstream>

namespace {

using ReadBackTest = dptest::LibraryTest;

// A line of bytes as liblouis's Spanish table reads the cells the embosser embossed for them.
std::u32string readLine(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::vector<widechar> cells, read(bytes.size() * 4 + 1);
    for (unsigned char byte : bytes) {
        cells.push_back(0x2800 + sim::embosserTable()[byte].cell); // unknown: U+28FF
    }
    int inLength = static_cast<int>(cells.size()), outLength = static_cast<int>(read.size());
    if (!lou_backTranslateString("unicode.dis,es-g1.ctb", cells.data(), &inLength, read.data(),
                                 &outLength, nullptr, nullptr, 0)) {
        return U"<unread>";
    }
    return std::u32string(read.begin(), read.begin() + outLength);
}

// The small letters of a text and the other characters named, capitals made small (the embosser
// embosses no capital sign), in Latin-1; the lines left empty dropped.
std::string kept(const std::u32string& text, const std::u32string& others) {
    std::string out;
    for (char32_t c : text) {
        c += (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? 0x20 : 0;
        if (c == '\n' ? !out.empty() && out.back() != '\n'
                      : (c >= 'a' && c <= 'z') || others.find(c) != others.npos) {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The demo's document on the demo's embosser, read back a line to a line: the host's text, sent
// in Windows-1252 (whose letters are Latin-1's), with its "pequeña", "qué", "camión", "poesía".
TEST_F(ReadBackTest, AReaderFindsTheDemosText) {
    sim::addBraillePrinter(u"Embosser Braille", u"USB001", sim::Params{2, 280, 32, 10, 0, 0});
    selectPrinter(u"Embosser Braille");
    load();
    sample::Layout layout;
    ImpSetPrintingArea(&layout.lines, &layout.columns);
    const sample::Document document = sample::sampleDocument();
    const auto options = dptest::jobOptions(1, {{1, static_cast<uint32_t>(document.size())}});
    ASSERT_EQ(sample::emboss(nullptr, "demo", document, layout, options, [] {}), 0);
    std::u32string host, read;
    for (const auto& page : document) {
        for (const std::string& line : page) {
            for (unsigned char byte : line + "\n") {
                host += byte;
            }
        }
    }
    for (const sim::Page& page : sim::world().documents.back().pages) {
        for (const sim::TextOut& line : page.lines) {
            read += readLine(line.bytes) + U'\n';
        }
    }
    EXPECT_EQ(kept(read, U"áéíóúñü,"), kept(host, U"áéíóúñü,"));
    lou_free();
}

// The numbers a reader finds in a line read.
std::vector<int> numbersIn(const std::u32string& read) {
    std::string digits;
    for (char32_t c : read) {
        digits += c >= U'0' && c <= U'9' ? static_cast<char>(c) : ' ';
    }
    std::istringstream words(digits);
    return {std::istream_iterator<int>(words), std::istream_iterator<int>()};
}

// The test sheet's format page on a 25 x 40 embosser, read: the format in words, the ruler's
// tens, and every other line's number, which the sheet writes as the number sign and a to j.
TEST_F(ReadBackTest, AReaderReadsTheSheetsFormatAndCountsItsLines) {
    sim::addBraillePrinter(u"Embosser Braille", u"USB001", sim::Params{2, 280, 40, 25, 0, 0});
    selectPrinter(u"Embosser Braille");
    load();
    ASSERT_EQ(ImpImprimirPrueba(nullptr), 0);
    const std::vector<sim::TextOut>& page = sim::world().documents.back().pages.at(0).lines;
    ASSERT_EQ(page.size(), 25u);
    EXPECT_NE(readLine(page[0].bytes).find(U"25 líneas de 40 cajetines"), std::u32string::npos);
    // The ruler's tens, then the mark of the last column, which reads as a lowered 7.
    EXPECT_EQ(numbersIn(readLine(page[1].bytes)), (std::vector<int>{10, 20, 30, 7}));
    for (size_t i = 2; i < page.size(); ++i) {
        EXPECT_EQ(numbersIn(readLine(page[i].bytes)), (std::vector<int>{int(i) + 1, 7}));
    }
    lou_free();
}

} // namespace
