// A job from ImpSetPrintingArea to ImpCerrarImpresora: translation, cutting, paging, the empty
// pages of double-sided jobs, and failures that must leave nothing open.
#include "dotpress/core/translation.h"
#include "library_fixture.h"

#include <array>
#include <iterator>

namespace {

using dptest::jobOptions;
using dptest::LibraryTest;
using sim::Params;

class SessionTest : public LibraryTest {
protected:
    // A selected Braille printer with a page of `lines` x 40; font metrics 100 x 60.
    void machine(int16_t lines = 29, int16_t doubleSided = 0) {
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, 40, lines, doubleSided, 0});
        selectPrinter(u"Braille");
        load();
    }
    void area(uint16_t lines, uint16_t columns) { ImpSetPrintingArea(&lines, &columns); }
    // Pages shorter than the export's minimum keep the examples small.
    void shortPages(uint16_t lines) { lib().areaLines = lines; }
    const sim::Document& document(size_t i = 0) {
        EXPECT_GT(sim::world().documents.size(), i);
        return sim::world().documents.at(i);
    }
    static void printPages(int pages, int linesPerPage) {
        for (int i = 0; i < pages * linesPerPage; ++i) {
            ImpImprimirLinea("x");
        }
    }
};

TEST_F(SessionTest, PrintingAreaIsClampedToTheSelectedPage) {
    machine();
    struct Case {
        uint16_t lines, columns, wantLines, wantColumns;
    };
    const Case cases[] = {{5, 5, 10, 12},        {40, 50, 29, 40}, {20, 30, 20, 30},
                          {10, 12, 10, 12},      {29, 40, 29, 40}, {9, 11, 10, 12},
                          {65535, 65535, 29, 40}};
    for (const auto& c : cases) {
        uint16_t lines = c.lines, columns = c.columns;
        EXPECT_EQ(ImpSetPrintingArea(&lines, &columns), 1);
        EXPECT_EQ(lines, c.wantLines);
        EXPECT_EQ(columns, c.wantColumns);
        EXPECT_EQ(lib().areaLines, c.wantLines);
        EXPECT_EQ(lib().areaColumns, c.wantColumns);
    }
    uint16_t lines = 15;
    EXPECT_EQ(ImpSetPrintingArea(&lines, nullptr), 1);
    EXPECT_EQ(lib().areaLines, 15);
    EXPECT_EQ(lib().areaColumns, 40) << "a null pointer leaves its value alone";
}

TEST_F(SessionTest, PrintingAreaNeverFallsBelowTheMinimum) {
    // A record with a page smaller than the minimum, and no printer at all (default record).
    sim::addBraillePrinter(u"Small", u"LPT1:", Params{1, 0, 8, 6, 0, 0});
    selectPrinter(u"Small");
    load();
    uint16_t lines = 20, columns = 30;
    ImpSetPrintingArea(&lines, &columns);
    EXPECT_EQ(lines, 10);
    EXPECT_EQ(columns, 12);
    lib().selected = lib().count;
    lines = 50, columns = 50;
    ImpSetPrintingArea(&lines, &columns);
    EXPECT_EQ(lines, 29);
    EXPECT_EQ(columns, 40);
}

TEST_F(SessionTest, TranslationTableMovesExactlyTheEmbossersBytes) {
    // The embosser's table as its manual gives it: every other byte from 32 up is sent as it is.
    const std::pair<uint8_t, uint8_t> moved[] = {
        {0x24, 0x80}, {0x28, 0x88}, {0x29, 0x8E}, {0x2F, 0x8D}, {0x30, 0x97}, {0x5B, 0xCC},
        {0x5D, 0xAF}, {0x7C, 0xD4}, {0x80, 0xCA}, {0x81, 0xD2}, {0x82, 0xF9}, {0x83, 0xE8},
        {0x84, 0xB1}, {0x87, 0xE7}, {0x88, 0xFD}, {0x89, 0xDA}, {0x8B, 0xCB}, {0x8D, 0xF4},
        {0x8E, 0xBD}, {0x90, 0xFA}, {0x94, 0xE3}, {0x95, 0xEB}, {0x96, 0xCD}, {0x97, 0xFE},
        {0x9B, 0xC1}, {0xA0, 0xD3}, {0xA1, 0xF1}, {0xA2, 0xC8}, {0xA3, 0xCE}, {0xA4, 0xFC},
        {0xA5, 0xE9}, {0xA7, 0xBF}, {0xAB, 0xEE}, {0xAC, 0xCF}, {0xAF, 0xEA}, {0xB1, 0xC4},
        {0xB4, 0xC0}, {0xBB, 0xB4}, {0xBC, 0xBB}, {0xBD, 0xAB}, {0xBF, 0xA7}, {0xC0, 0x1B},
        {0xC1, 0x5B}, {0xC2, 0x01}, {0xC4, 0xBC}, {0xC7, 0xDD}, {0xC8, 0xD6}, {0xC9, 0x90},
        {0xCA, 0x05}, {0xCB, 0xFB}, {0xCC, 0x7C}, {0xCD, 0x8B}, {0xCE, 0x09}, {0xCF, 0xD5},
        {0xD0, 0xC9}, {0xD1, 0xA5}, {0xD2, 0xED}, {0xD3, 0x95}, {0xD4, 0x0F}, {0xD5, 0xE2},
        {0xD6, 0xDF}, {0xD9, 0x1D}, {0xDA, 0x5D}, {0xDB, 0x15}, {0xDC, 0xEC}, {0xDD, 0xC7},
        {0xDF, 0xE1}, {0xE0, 0xA0}, {0xE1, 0x28}, {0xE2, 0xE0}, {0xE3, 0x83}, {0xE4, 0x84},
        {0xE7, 0x87}, {0xE8, 0x82}, {0xE9, 0x24}, {0xEA, 0xC2}, {0xEB, 0x89}, {0xEC, 0xA1},
        {0xED, 0x2F}, {0xEE, 0xD1}, {0xEF, 0x9B}, {0xF1, 0xA4}, {0xF2, 0xA2}, {0xF3, 0x30},
        {0xF4, 0xF7}, {0xF6, 0x94}, {0xF7, 0xDB}, {0xF9, 0xA3}, {0xFA, 0x29}, {0xFB, 0xAC},
        {0xFC, 0x81}, {0xFD, 0xE4}, {0xFE, 0x96},
    };
    ASSERT_EQ(std::size(moved), 93u);
    std::array<int, 256> expected{};
    for (int b = 0; b < 256; ++b) {
        expected[static_cast<size_t>(b)] = b;
    }
    for (const auto& [from, to] : moved) {
        expected[from] = to;
    }
    for (int b = 32; b < 256; ++b) {
        EXPECT_EQ(dotpress::translationTable[static_cast<size_t>(b)],
                  expected[static_cast<size_t>(b)])
            << "byte 0x" << std::hex << b;
    }
}

TEST_F(SessionTest, LinesAreConvertedThenCut) {
    struct Case {
        const char* what;
        int32_t ansi;
        uint16_t columns;
        std::string line, sent;
    };
    const Case cases[] = {
        {"tab dropped", 0, 40, "a\tb", "ab"},
        {"space kept, 0x1F dropped", 0, 40,
         "a\x1F \x01"
         "b",
         "a b"},
        {"0x1F kept with ANSI", 1, 40, "a\x1F b", "a\x1F b"},
        {"tab kept with ANSI", 1, 40, "a\tb", "a\tb"},
        {"accents take ASCII places", 0, 40, "\xE1\xE9\xED\xF3\xFA\xF1\xFC",
         "\x28\x24\x2F\x30\x29\xA4\x81"},
        {"ASCII signs move up", 0, 40, "($)", "\x88\x80\x8E"},
        {"control outputs sent as they are", 0, 40, "\xC0\xC2", "\x1B\x01"},
        {"ANSI sends bytes unchanged", 1, 40, "\xE1(", "\xE1("},
        {"cut at the area", 0, 12, "abcdefghijklmnop", "abcdefghijkl"},
        {"dropped bytes take no column", 0, 12, "\t\t\tabcdefghijklmnop", "abcdefghijkl"},
        {"kept control bytes take a column", 1, 12, "\t\t\tabcdefghijklmnop", "\t\t\tabcdefghi"},
        {"empty line", 0, 40, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        lib().ansiTable = c.ansi;
        area(29, c.columns);
        PrintOptions o = jobOptions(1, {{1, 1}});
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
        ImpImprimirLinea(c.line.c_str());
        ImpCerrarImpresora();
        ASSERT_EQ(document().pages.size(), 1u);
        ASSERT_EQ(document().pages[0].lines.size(), 1u);
        EXPECT_EQ(document().pages[0].lines[0].bytes, c.sent);
        dotpress::unload();
    }
}

TEST_F(SessionTest, VeryLongLinesStayInsideTheLineBuffer) {
    machine();
    lib().ansiTable = 1;
    area(29, 40);
    lib().areaColumns = 2000; // as if the host's area were wider than any page
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}}));
    const std::string line(5000, 'a');
    ImpImprimirLinea(line.c_str());
    ImpCerrarImpresora();
    EXPECT_EQ(document().pages[0].lines[0].bytes.size(), 519u);
}

TEST_F(SessionTest, LinesArePlacedAndPagedByThePrintingArea) {
    machine();
    sim::world().fonts = {{90, 55}, {10, 5}};
    struct Case {
        int32_t binding;
        int x;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 55}}) {
        SCOPED_TRACE(c.binding);
        sim::world().documents.clear();
        lib().binding = c.binding;
        area(29, 40);
        shortPages(3);
        ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 2}}));
        for (int i = 0; i < 5; ++i) {
            ImpImprimirLinea(std::to_string(i).c_str());
        }
        ImpCerrarImpresora();
        const auto& pages = document().pages;
        ASSERT_EQ(pages.size(), 2u);
        ASSERT_EQ(pages[0].lines.size(), 3u);
        ASSERT_EQ(pages[1].lines.size(), 2u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(pages[0].lines[i].y, static_cast<int>(90 * i));
            EXPECT_EQ(pages[0].lines[i].x, c.x);
        }
        EXPECT_EQ(pages[1].lines[0].y, 0);
        EXPECT_EQ(pages[1].lines[0].bytes, "3");
        EXPECT_TRUE(document().ended);
    }
}

TEST_F(SessionTest, AreaChangedBetweenLinesTakesEffectOnTheNextLine) {
    machine();
    area(20, 40);
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 3}}));
    printPages(1, 15);
    area(10, 12); // shorter than the lines already on the page
    ImpImprimirLinea("abcdefghijklmnop");
    ImpImprimirLinea("next");
    ImpCerrarImpresora();
    const auto& pages = document().pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].lines.size(), 16u) << "the page ends with the first line of the new area";
    EXPECT_EQ(pages[0].lines.back().bytes, "abcdefghijkl");
    EXPECT_EQ(pages[1].lines.size(), 1u);
}

TEST_F(SessionTest, DriverIsSentTheJobsParameters) {
    sim::BrailleDriver driver;
    driver.acceptedFormats = {0, 1, 2, 3};
    driver.rejectedFormatAnswer = 3; // the probe learns 3
    driver.maxColumns = 36;
    sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, 40, 29, 0, 5}, driver);
    selectPrinter(u"Braille");
    load();
    ASSERT_EQ(lib().records[0].customFormat, 3);
    struct Case {
        int32_t adjust, binding;
        uint16_t columns;
        Params expected;
    };
    const Case cases[] = {
        {0, 0, 30, Params{1, 0, 36, 29, 0, 0}},
        {1, 0, 30, Params{3, 0, 30, 29, 0, 0}},
        {1, 1, 30, Params{3, 0, 32, 29, 0, 0}},
        {1, 1, 35, Params{3, 0, 36, 29, 0, 0}}, // the driver keeps what it can
    };
    for (const auto& c : cases) {
        sim::world().documents.clear();
        lib().binding = c.binding;
        area(29, c.columns);
        PrintOptions o = jobOptions(1, {{1, 1}});
        o.adjustBothSides = c.adjust;
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
        ImpCerrarImpresora();
        ASSERT_TRUE(document().params);
        EXPECT_EQ(*document().params, c.expected);
    }
    EXPECT_EQ(dptest::paramsOf(lib().records[0]), (Params{1, 0, 40, 29, 0, 5}))
        << "the job works on a copy of the record";
}

TEST_F(SessionTest, ParametersSentAreReadBackFromTheDriver) {
    sim::BrailleDriver capped;
    capped.maxColumns = 36;
    sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, 50, 29, 0, 0}, capped);
    selectPrinter(u"Braille");
    load();
    area(29, 50);
    PrintOptions o = jobOptions(1, {{1, 1}});
    o.adjustBothSides = 1; // the job asks the driver for the area's 50 columns
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
    ASSERT_NE(lib().jobRecord, nullptr);
    EXPECT_EQ(lib().jobRecord->params.columns, 36) << "the job record holds what the driver kept";
    ImpCerrarImpresora();

    dotpress::PrinterRecord& record = lib().records[0];
    record.params.columns = 50;
    EXPECT_EQ(lib().setPrinterParams(record), 0);
    EXPECT_EQ(record.params.columns, 36);
    ASSERT_TRUE(sim::paramsInDevMode(record.devMode, record.devModeSize));
    EXPECT_EQ(sim::paramsInDevMode(record.devMode, record.devModeSize)->columns, 36);
}

TEST_F(SessionTest, DoubleSidedJobsGetAnEmptyBackAfterOddRangeEnds) {
    // Three-line pages. The layout gives the lines of every device page in order, so that it
    // shows where each empty back lands, not only how many there are.
    struct Case {
        const char* what;
        int16_t doubleSided;
        uint32_t copies;
        int32_t collate;
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        int lastPageLines;
        std::string layout;
        int16_t formatLines = 3; // the printer's own page; the printing area has 3 lines
    };
    const Case cases[] = {
        {"range 1-3, 2 copies", 1, 2, 0, {{1, 3}}, 3, "33303330"},
        {"range 1-4, 2 copies", 1, 2, 0, {{1, 4}}, 3, "33333333"},
        {"one copy", 1, 1, 0, {{1, 3}}, 3, "333"},
        {"single-sided printer", 0, 2, 0, {{1, 3}}, 3, "333333"},
        {"two ranges, odd ends", 1, 2, 0, {{1, 1}, {3, 5}}, 3, "303330303330"},
        {"collated, range 1-3", 1, 2, 1, {{1, 3}}, 3, "33333030"},
        {"range 2-4 ends even", 1, 2, 0, {{2, 4}}, 3, "333333"},
        {"short last page ended by the close", 1, 2, 0, {{1, 3}}, 1, "33303310"},
        {"short even last page", 1, 2, 0, {{1, 2}}, 2, "3332"},
        // The backs follow the sheets the embosser gets, not pages of the printer's format.
        {"area shorter than the format", 1, 2, 0, {{1, 2}, {3, 3}}, 3, "33303330", 5},
        {"format shorter than the area", 1, 2, 0, {{1, 3}}, 3, "33303330", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(c.formatLines, c.doubleSided);
        area(10, 40);
        shortPages(3);
        PrintOptions o = jobOptions(c.copies, c.ranges, c.collate);
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
        printPages(static_cast<int>(o.totalPages) - 1, 3);
        printPages(1, c.lastPageLines);
        ImpCerrarImpresora();
        std::string layout;
        for (const auto& page : document().pages) {
            layout += static_cast<char>('0' + page.lines.size());
        }
        EXPECT_EQ(layout, c.layout);
        EXPECT_TRUE(document().ended);
        dotpress::unload();
    }
}

TEST_F(SessionTest, JobOfNoPagesRunsAndCountsNothing) {
    struct Case {
        const char* what;
        uint32_t copies;
        std::pair<uint32_t, uint32_t> range;
    };
    for (const Case& c : {Case{"range 1..0", 1, {1, 0}}, Case{"no copies", 0, {1, 3}}}) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(3, 1);
        area(10, 40);
        shortPages(3);
        PrintOptions o = jobOptions(c.copies, {c.range});
        ASSERT_EQ(o.totalPages, 0u);
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
        const sim::Control* bar = sim::findControl(lib().dialog, 1025);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->rangeLow, 1);
        EXPECT_EQ(bar->rangeHigh, 0);
        printPages(3, 3);
        EXPECT_EQ(lib().currentPage, c.range.first) << "nothing is counted";
        EXPECT_EQ(lib().copy, 1u);
        EXPECT_EQ(bar->position, 1) << "the bar never moves past a job of no pages";
        ImpCerrarImpresora();
        EXPECT_EQ(document().pages.size(), 3u) << "the host's lines are printed all the same";
        dotpress::unload();
    }
}

TEST_F(SessionTest, JobStateChangesOnlyThroughAnOpenJob) {
    machine();
    area(10, 20);
    // Lines and close without a job draw nothing.
    EXPECT_EQ(ImpImprimirLinea("lost"), 0);
    EXPECT_EQ(ImpCerrarImpresora(), 0);
    EXPECT_TRUE(sim::world().documents.empty());
    EXPECT_EQ(sim::world().strayTextOuts, 0);

    // A job with no lines prints no page.
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "vac\xEDo", jobOptions(1, {{1, 1}})), 0);
    auto* firstOwner = reinterpret_cast<void*>(0x77);
    ImpCerrarImpresora();
    EXPECT_TRUE(document().pages.empty());
    EXPECT_TRUE(document().ended);
    EXPECT_EQ(document().name, u"vac\u00edo") << "bytes widen to the same code units";

    // A second open while one runs changes nothing.
    PrintOptions first = jobOptions(2, {{1, 3}});
    ASSERT_EQ(ImpAbrirImpresora(firstOwner, "uno", first), 0);
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "dos", jobOptions(5, {{4, 9}})), 8);
    EXPECT_EQ(job().options.copies, 2u);
    EXPECT_EQ(lib().owner, static_cast<os::HWND>(firstOwner));
    EXPECT_EQ(sim::world().documents.size(), 2u);
    ImpImprimirLinea("a");
    ImpCerrarImpresora();
    EXPECT_EQ(sim::world().documents[1].pages.size(), 1u);
}

TEST_F(SessionTest, FailedStartsLeaveNothingOpen) {
    struct Case {
        const char* what;
        bool failDC;
        std::vector<int> startDoc;
        bool select;
        int32_t result;
        size_t boxes;
    };
    const Case cases[] = {
        {"no device context", true, {}, true, 6, 1},
        {"no printer selected", false, {}, false, 6, 1},
        {"spooler's general error", false, {-1}, true, 1, 0},
        {"other spooler error", false, {-5}, true, 16, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{});
        if (c.select) {
            selectPrinter(u"Braille");
        }
        load();
        sim::world().printers[0].failCreateDC = c.failDC;
        sim::world().startDocResults = c.startDoc;
        sim::world().messageBoxes.clear();
        EXPECT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), c.result);
        EXPECT_FALSE(lib().jobOpen());
        EXPECT_EQ(lib().jobRecord, nullptr);
        EXPECT_EQ(sim::liveWindows(), 0);
        EXPECT_EQ(sim::world().messageBoxes.size(), c.boxes);
        for (const auto& box : sim::world().messageBoxes) {
            EXPECT_EQ(box.text, u"ERROR: CreateDC");
        }
        ImpImprimirLinea("x");
        ImpCerrarImpresora();
        EXPECT_EQ(sim::world().strayTextOuts, 0);
        dotpress::unload();
    }
}

TEST_F(SessionTest, PrintToFileUsesTheFilePort) {
    machine();
    area(10, 20);
    PrintOptions o = jobOptions(1, {{1, 1}});
    o.printToFile = 1;
    ImpAbrirImpresora(nullptr, "doc", o);
    ImpCerrarImpresora();
    EXPECT_EQ(document().port, u"FILE:");
    EXPECT_EQ(document().output, u"FILE:") << "Windows reads the output from the document";
    EXPECT_EQ(std::u16string(lib().records[0].port), u"LPT1:");

    sim::world().documents.clear();
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}}));
    ImpCerrarImpresora();
    EXPECT_EQ(document().port, u"LPT1:");
    EXPECT_EQ(document().output, u"");
}

TEST_F(SessionTest, WithoutPrintingAreaLinesAreEmpty) {
    machine();
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}}));
    ImpImprimirLinea("abc");
    ImpImprimirLinea("def");
    ImpCerrarImpresora();
    ASSERT_EQ(document().pages.size(), 1u);
    for (const auto& line : document().pages[0].lines) {
        EXPECT_EQ(line.bytes, "");
    }
}

TEST_F(SessionTest, RangeCountOutsideItsBoundsIsHeldInside) {
    // One line a page on a double-sided printer, 2 copies: range {1,1} and then 24 of {2,3},
    // each odd range end followed by an empty page.
    struct Case {
        int32_t rangeCount;
        int lines;
        size_t expectedPages;
        int32_t rangeIndexAfter;
    };
    const Case cases[] = {
        {0, 2, 4, 0},      // taken as one range: page 1 for each copy
        {-7, 2, 4, 0},     //
        {1000, 50, 76, 1}, // taken as 25: after the last range the next copy starts again
        {25, 50, 76, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rangeCount);
        nextRow();
        machine(1, 1);
        area(10, 20);
        shortPages(1);
        PrintOptions o = jobOptions(2, {{1, 1}});
        for (int i = 1; i < MAX_PAGE_RANGES; ++i) {
            o.ranges[i] = {2, 3};
        }
        o.rangeCount = c.rangeCount;
        o.totalPages = 1000;
        ImpAbrirImpresora(nullptr, "doc", o);
        printPages(c.lines, 1);
        ImpCerrarImpresora();
        EXPECT_EQ(document().pages.size(), c.expectedPages);
        EXPECT_EQ(job().rangeIndex, c.rangeIndexAfter);
        dotpress::unload();
    }
}

} // namespace
