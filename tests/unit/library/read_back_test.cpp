// A job read back as a Spanish reader reads it: every byte the library sent, embossed through
// the simulated embosser's own table, and the cells read with liblouis's uncontracted Spanish
// table. The reader finds the host's text, whatever bytes carried it.
#include "examples/sample_host.h"
#include "library_fixture.h"
#include "platform/sim/embosser_table.h"

#include <liblouis.h>

#include <string>
#include <vector>

namespace {

using dptest::LibraryTest;

std::string utf8(uint32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The embossed lines of the last document, as liblouis's Spanish table reads their cells.
std::vector<std::u32string> readBack() {
    std::vector<std::u32string> lines;
    for (const sim::Page& page : sim::world().documents.back().pages) {
        for (const sim::TextOut& line : page.lines) {
            std::vector<widechar> cells;
            for (unsigned char byte : line.bytes) {
                cells.push_back(0x2800 + sim::embosserTable()[byte].cell); // unknown: U+28FF
            }
            std::vector<widechar> text(cells.size() * 4 + 1);
            int inLength = static_cast<int>(cells.size());
            int outLength = static_cast<int>(text.size());
            if (cells.empty() ||
                !lou_backTranslateString("unicode.dis,es-g1.ctb", cells.data(), &inLength,
                                         text.data(), &outLength, nullptr, nullptr, 0)) {
                outLength = 0;
            }
            lines.emplace_back(text.begin(), text.begin() + outLength);
        }
    }
    return lines;
}

// The characters of a line that a check compares: small letters and the given others, the
// line's capitals made small (the embosser embosses no capital sign).
std::string kept(const std::u32string& line, const std::string& others) {
    std::string out;
    for (char32_t c : line) {
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            c += 0x20;
        }
        const std::string character = utf8(c);
        if ((c >= 'a' && c <= 'z') || others.find(character) != std::string::npos) {
            out += character;
        }
    }
    return out;
}

// The non-empty kept lines of a text.
std::vector<std::string> keptLines(const std::vector<std::u32string>& lines,
                                   const std::string& others) {
    std::vector<std::string> out;
    for (const auto& line : lines) {
        if (!kept(line, others).empty()) {
            out.push_back(kept(line, others));
        }
    }
    return out;
}

class ReadBackTest : public LibraryTest {
protected:
    void TearDown() override {
        lou_free();
        LibraryTest::TearDown();
    }
};

// A job on the demo's embosser; returns the host's lines (Windows-1252) in the order sent.
using Job = std::vector<std::string> (*)();

std::vector<std::string> demoJob() {
    sim::addBraillePrinter(u"Embosser Braille", u"USB001", sim::Params{2, 280, 32, 10, 0, 0});
    sim::setString(os::HKEY_CURRENT_USER, dptest::kKey, u"NombreImp", u"Embosser Braille");
    dotpress::load();
    const sample::Document document = sample::sampleDocument();
    sample::Layout layout;
    ImpSetPrintingArea(&layout.lines, &layout.columns);
    const auto pages = static_cast<uint32_t>(document.size());
    EXPECT_EQ(sample::emboss(nullptr, "demo", document, layout, dptest::jobOptions(1, {{1, pages}}),
                             [] {}),
              0);
    std::vector<std::string> sent;
    for (const auto& page : document) {
        sent.insert(sent.end(), page.begin(), page.end());
    }
    return sent;
}

TEST_F(ReadBackTest, AReaderFindsTheHostsTextInEveryJob) {
    struct Row {
        const char* name;
        Job job;
        const char* compared; // beside the small letters, in every line
        std::vector<const char*> words;
    };
    // clang-format off
    const Row rows[] = {
        {"demo", demoJob, "áéíóúñü,", {"pequeña", "mañana", "qué", "también", "escribió", "interés", "camión", "capítulo", "poesía", "alegría"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sim::reset();
        std::vector<std::u32string> host(1);
        for (const std::string& line : row.job()) {
            for (unsigned char byte : line) {
                host.back() += byte; // Windows-1252's letters are Latin-1's
            }
            host.emplace_back();
        }
        const std::vector<std::u32string> read = readBack();
        EXPECT_EQ(keptLines(read, row.compared), keptLines(host, row.compared));
        std::string text;
        for (const auto& line : read) {
            text += kept(line, std::string(row.compared) + " ") + "\n";
        }
        for (const char* word : row.words) {
            EXPECT_NE(text.find(word), std::string::npos) << word << " in\n" << text;
        }
    }
}

} // namespace
