// A job read back as a Spanish reader reads it: the bytes the library sent, embossed by the
// simulated embosser's own table, read with liblouis's Spanish table, give the host's text.
#include "examples/sample_host.h"
#include "library_fixture.h"
#include "platform/sim/embosser_table.h"

#include <liblouis.h>

namespace {

using ReadBackTest = dptest::LibraryTest;

// The last document as liblouis's Spanish table reads the cells the embosser embossed.
std::u32string readBack() {
    std::u32string text;
    for (const sim::Page& page : sim::world().documents.back().pages) {
        for (const sim::TextOut& line : page.lines) {
            std::vector<widechar> cells, read(line.bytes.size() * 4 + 1);
            for (unsigned char byte : line.bytes) {
                cells.push_back(0x2800 + sim::embosserTable()[byte].cell); // unknown: U+28FF
            }
            int inLength = static_cast<int>(cells.size()),
                outLength = static_cast<int>(read.size());
            if (lou_backTranslateString("unicode.dis,es-g1.ctb", cells.data(), &inLength,
                                        read.data(), &outLength, nullptr, nullptr, 0)) {
                text.append(read.begin(), read.begin() + outLength);
            }
            text += U'\n';
        }
    }
    return text;
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

// The demo's document, every page once, on the demo's embosser; the host's text as it sent it
// (Windows-1252, whose letters are Latin-1's), a line to a line.
std::u32string demoJob() {
    sim::addBraillePrinter(u"Embosser Braille", u"USB001", sim::Params{2, 280, 32, 10, 0, 0});
    sim::setString(os::HKEY_CURRENT_USER, dptest::kKey, u"NombreImp", u"Embosser Braille");
    dotpress::load();
    sample::Layout layout;
    ImpSetPrintingArea(&layout.lines, &layout.columns);
    const sample::Document document = sample::sampleDocument();
    const auto options = dptest::jobOptions(1, {{1, static_cast<uint32_t>(document.size())}});
    EXPECT_EQ(sample::emboss(nullptr, "demo", document, layout, options, [] {}), 0);
    std::u32string text;
    for (const auto& page : document) {
        for (const std::string& line : page) {
            for (unsigned char byte : line) {
                text += byte;
            }
            text += U'\n';
        }
    }
    return text;
}

// The demo's lines hold "pequeña", "mañana", "qué", "también", "escribió", "interés", "camión",
// "capítulo", "poesía" and "alegría".
TEST_F(ReadBackTest, AReaderFindsTheHostsTextInEveryJob) {
    struct Row {
        const char* name;
        std::u32string (*job)();
        const char32_t* compared; // beside the small letters
    };
    const Row rows[] = {
        {"demo", demoJob, U"áéíóúñü,"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        nextRow();
        const std::string host = kept(row.job(), row.compared); // runs the job
        EXPECT_EQ(kept(readBack(), row.compared), host);
    }
    lou_free();
}

} // namespace
