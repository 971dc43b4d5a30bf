// ImpObtenerResumen: what a job did, read back at any time, and the figures it gives for jobs
// whose lines are cut, lose bytes, run double-sided or are cancelled.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

using dptest::jobOptions;
using dptest::LibraryTest;
using sim::Params;

JobSummary summary() {
    JobSummary s;
    std::memset(&s, 0xAB, sizeof s);
    s.size = sizeof s;
    EXPECT_EQ(ImpObtenerResumen(&s), 0);
    return s;
}

// The figures in the order of the block, state first, for one comparison that names them all.
std::vector<uint32_t> figures(const JobSummary& s) {
    return {static_cast<uint32_t>(s.state),
            s.pagesPrinted,
            s.blankPages,
            s.sheets,
            s.copiesFinished,
            s.lastPage,
            s.lastCopy,
            s.linesPrinted,
            s.linesCut,
            s.charactersCut,
            s.bytesDropped,
            s.linesIgnored,
            s.jobNumber,
            s.pagesPlanned,
            s.copiesPlanned};
}

class SummaryTest : public LibraryTest {
protected:
    // A selected printer with a page of `lines` x 40, and a printing area of `lines` x 12 (pages
    // shorter than the export's minimum keep the examples small).
    void machine(int16_t lines = 10, int16_t doubleSided = 0) {
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, 40, lines, doubleSided, 0});
        selectPrinter(u"Braille");
        load();
        uint16_t areaLines = static_cast<uint16_t>(lines), columns = 12;
        ImpSetPrintingArea(&areaLines, &columns);
        lib().areaLines = static_cast<uint16_t>(lines);
    }
    static void send(int lines, const char* text = "x") {
        for (int i = 0; i < lines; ++i) {
            ImpImprimirLinea(text);
        }
    }
};

// The job of the host developer's worry: a line cut, control bytes dropped, the user's cancel in
// the middle of the second page, and the lines the host still sends after it.
TEST_F(SummaryTest, CutsDropsACancelAndLinesAfterItGiveExactFigures) {
    machine();
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 2}})), 0);
    ImpImprimirLinea("a\tb\x01"
                     "c");                          // two bytes dropped
    ImpImprimirLinea("abcdefghijklmnopq");          // 17 characters on 12 columns: 5 cut
    ImpImprimirLinea("\tABCDEFGHIJKLMNOPQRSTUVWX"); // one dropped, 24 on 12: 12 cut
    send(7);                                        // page 1 is full
    send(4, "y");
    EXPECT_EQ(figures(summary()),
              (std::vector<uint32_t>{JOB_STATE_OPEN, 1, 0, 1, 0, 2, 1, 14, 2, 17, 3, 0, 1, 2, 1}));

    sim::act(lib().dialog, sim::user::escape());
    EXPECT_EQ(summary().state, JOB_STATE_CANCELLED) << "cancelled from the press on";
    send(3, "\t\tlost line, longer than the area");
    ImpCerrarImpresora();
    // Cancelled on its last page: no copy finished.
    const std::vector<uint32_t> expected{
        JOB_STATE_CANCELLED, 1, 0, 1, 0, 2, 1, 14, 2, 17, 3, 3, 1, 2, 1};
    EXPECT_EQ(figures(summary()), expected);

    // Lines with no job open, and a job that fails to open, leave the last job's summary alone;
    // the job's number tells the host so.
    send(25);
    sim::world().printers[0].failCreateDC = true;
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), 6);
    EXPECT_EQ(figures(summary()), expected);
    sim::world().printers[0].failCreateDC = false;
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(3, {{5, 5}})), 0);
    EXPECT_EQ(figures(summary()),
              (std::vector<uint32_t>{JOB_STATE_OPEN, 0, 0, 0, 0, 5, 1, 0, 0, 0, 0, 0, 2, 3, 3}))
        << "the next job counts from nothing";
    ImpCerrarImpresora();
}

TEST_F(SummaryTest, EveryCharacterLostToTheCutOrDroppedIsCounted) {
    struct Case {
        const char* what;
        int32_t ansi;
        uint16_t columns; // 0: wider than the line buffer
        std::string line;
        uint32_t cut, dropped;
    };
    const std::string longLine = std::string(600, 'a') + "\t\t";
    const std::string spacesBeyond = std::string(519, 'a') + "  \t";
    const std::string tabsBothSides = "\t" + std::string(600, 'a') + "\t";
    const Case cases[] = {
        {"fits", 0, 12, "abcdefghijkl", 0, 0},
        {"control bytes dropped, no column taken", 0, 12, "\t\t\tabcdefghijkl", 0, 3},
        {"kept by ANSI, and cut", 1, 12, "\t\t\tabcdefghijkl", 3, 0},
        {"cut after the translation", 0, 12, "\xE1\xE9\xED\xF3\xFA abcdefghij", 4, 0},
        {"beyond the line buffer, cut at the area", 0, 12, longLine, 588, 2},
        {"beyond the line buffer, ANSI", 1, 12, longLine, 590, 0},
        {"beyond the line buffer on a wider area", 0, 0, longLine, 81, 2},
        {"spaces beyond the line buffer are characters", 0, 12, spacesBeyond, 509, 1},
        {"control bytes before and beyond the line buffer", 0, 12, tabsBothSides, 588, 2},
        {"empty", 0, 12, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        lib().ansiTable = c.ansi;
        if (c.columns == 0) {
            lib().areaColumns = 2000;
        }
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), 0);
        ImpImprimirLinea(c.line.c_str());
        const JobSummary s = summary();
        EXPECT_EQ(s.linesCut, c.cut > 0 ? 1u : 0u);
        EXPECT_EQ(s.charactersCut, c.cut);
        EXPECT_EQ(s.bytesDropped, c.dropped);
        // What reached the embosser and what was lost make up the line.
        const size_t drawn = sim::world().documents.back().pages.at(0).lines.at(0).bytes.size();
        EXPECT_EQ(drawn + c.cut + c.dropped, c.line.size());
        ImpCerrarImpresora();
        dotpress::unload();
    }
}

// Faces and sheets against the pages the embosser got, on 3-line pages: the empty backs that
// keep each copy on sheets of its own, the copies completed, and where the job stood at its end.
TEST_F(SummaryTest, FacesSheetsAndCopiesFollowThePagesEmbossed) {
    struct Case {
        const char* what;
        int16_t doubleSided;
        uint32_t copies;
        int32_t collate;
        std::pair<uint32_t, uint32_t> range;
        int pagesSent;     // whole pages the host sends
        int lastPageLines; // lines of one more page, ended by the close
        uint32_t blankPages, sheets, copiesFinished, lastPage, lastCopy;
        int32_t state = JOB_STATE_FINISHED; // as a 64-byte block gets it
    };
    constexpr int32_t kEarly = JOB_STATE_INCOMPLETE;
    const Case cases[] = {
        {"range 1-3, 2 copies", 1, 2, 0, {1, 3}, 6, 0, 2, 4, 2, 3, 2},
        {"collated", 1, 2, 1, {1, 3}, 6, 0, 2, 4, 2, 3, 2},
        {"range 1-4 ends on a back", 1, 2, 0, {1, 4}, 8, 0, 0, 4, 2, 4, 2},
        {"single-sided", 0, 2, 0, {1, 3}, 6, 0, 0, 6, 2, 3, 2},
        {"last page short, ended by the close", 1, 2, 0, {1, 3}, 5, 1, 2, 4, 2, 3, 2},
        {"stopped in the second copy", 1, 2, 0, {1, 3}, 4, 1, 1, 3, 1, 2, 2, kEarly},
        {"collated, stopped after the first copy's last page",
         1,
         3,
         1,
         {1, 2},
         4,
         0,
         0,
         2,
         1,
         2,
         1,
         kEarly},
        {"one page, one copy", 1, 1, 0, {1, 1}, 1, 0, 0, 1, 1, 1, 1},
        {"pages beyond the block's", 0, 1, 0, {1, 1}, 3, 0, 0, 3, 1, 1, 1},
        {"no line at all", 0, 1, 0, {1, 1}, 0, 0, 0, 0, 0, 1, 1, kEarly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(3, c.doubleSided);
        ASSERT_EQ(
            ImpAbrirImpresora(nullptr, "doc",
                              jobOptions(c.copies, {{c.range.first, c.range.second}}, c.collate)),
            0);
        send(3 * c.pagesSent + c.lastPageLines);
        ImpCerrarImpresora();
        ImpCerrarImpresora(); // a second close ends nothing more
        const JobSummary s = summary();
        EXPECT_EQ(s.state, c.state);
        uint32_t withLines = 0, empty = 0;
        for (const sim::Page& page : sim::world().documents.back().pages) {
            (page.lines.empty() ? empty : withLines) += 1;
        }
        EXPECT_EQ(s.pagesPrinted, withLines);
        EXPECT_EQ(s.blankPages, empty);
        EXPECT_EQ(s.blankPages, c.blankPages);
        EXPECT_EQ(s.sheets, c.sheets);
        EXPECT_EQ(s.copiesFinished, c.copiesFinished);
        EXPECT_EQ(s.lastPage, c.lastPage);
        EXPECT_EQ(s.lastCopy, c.lastCopy);
        EXPECT_EQ(s.linesPrinted, static_cast<uint32_t>(3 * c.pagesSent + c.lastPageLines));
        dotpress::unload();
    }
}

TEST_F(SummaryTest, StateFollowsTheLastJob) {
    machine();
    EXPECT_EQ(figures(summary()), std::vector<uint32_t>(15, 0)) << "no job since loading";
    sim::world().printers[0].failCreateDC = true;
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), 6);
    EXPECT_EQ(summary().state, JOB_STATE_NONE) << "a job that failed to open is no job";
    sim::world().printers[0].failCreateDC = false;

    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{4, 5}})), 0);
    EXPECT_EQ(figures(summary()),
              (std::vector<uint32_t>{JOB_STATE_OPEN, 0, 0, 0, 0, 4, 1, 0, 0, 0, 0, 0, 1, 2, 1}))
        << "printing stands at the job's first page";
    send(12);
    ImpCerrarImpresora();
    const std::vector<uint32_t> finished{
        JOB_STATE_FINISHED, 2, 0, 2, 1, 5, 1, 12, 0, 0, 0, 0, 1, 2, 1};
    EXPECT_EQ(figures(summary()), finished);
    send(5);
    EXPECT_EQ(figures(summary()), finished) << "lines refused after the job count for nothing";
}

// A host gets the whole fields its block and ours hold and learns how many bytes that was; one
// built for the first layout (52 bytes) never sees a job closed before its last page.
TEST_F(SummaryTest, BlockIsFilledAsFarAsItsSizeAndOursGo) {
    machine();
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 2}})), 0);
    ImpImprimirLinea("x");
    ImpCerrarImpresora();
    EXPECT_EQ(ImpObtenerResumen(nullptr), 7);
    // clang-format off
    const std::array<uint32_t, 3> cases[] = { // size, bytes filled (0: refused), state
        {0, 0, 0}, {51, 0, 0}, {52, 52, JOB_STATE_FINISHED}, {63, 60, JOB_STATE_FINISHED},
        {64, 64, JOB_STATE_INCOMPLETE}, {100, 64, JOB_STATE_INCOMPLETE}};
    // clang-format on
    for (const auto& [size, filled, state] : cases) {
        SCOPED_TRACE(size);
        uint32_t block[25];
        std::fill(block, block + 25, 0xABABABABu);
        block[0] = size;
        EXPECT_EQ(ImpObtenerResumen(reinterpret_cast<JobSummary*>(block)), filled ? 0 : 7);
        EXPECT_EQ(block[0], filled ? filled : size);
        EXPECT_EQ(block[1], filled ? state : 0xABABABABu);
        EXPECT_EQ(block[8], filled ? 1u : 0xABABABABu) << "linesPrinted";
        for (size_t i = filled ? filled / 4 : 1; i < 25; ++i) {
            ASSERT_EQ(block[i], 0xABABABABu) << "field " << i;
        }
    }
}

// Counts that would pass 32 bits stop at the limit instead of wrapping to a small number.
TEST(JobCountsTest, CountsStopAtTheirLimit) {
    dotpress::JobCounts counts;
    for (const uint32_t n : {0xFFFFFFF0u, 0x20u}) {
        counts.lineCut(n);
        counts.bytesDropped(n);
    }
    JobSummary s{};
    counts.fill(s, JOB_STATE_OPEN);
    EXPECT_EQ((std::vector<uint32_t>{s.linesCut, s.charactersCut, s.bytesDropped}),
              (std::vector<uint32_t>{2, 0xFFFFFFFF, 0xFFFFFFFF}));
}

} // namespace
