// A job from ImpSetPrintingArea to ImpCerrarImpresora: translation, cutting, paging, the empty
// pages of double-sided jobs, and failures that must leave nothing open.
#include "dotpress/core/translation.h"
#include "library_fixture.h"

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

TEST_F(SessionTest, TranslationTableMovesExactly93Bytes) {
    int moved = 0;
    for (int b = 32; b < 256; ++b) {
        moved += dotpress::translationTable[static_cast<size_t>(b)] != b;
    }
    EXPECT_EQ(moved, 93);
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
        sim::reset();
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

TEST_F(SessionTest, DoubleSidedJobsGetAnEmptyBackAfterOddRangeEnds) {
    struct Case {
        const char* what;
        int16_t doubleSided;
        uint32_t copies;
        int32_t collate;
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        size_t expectedPages;
    };
    const Case cases[] = {
        {"range 1-3, 2 copies", 1, 2, 0, {{1, 3}}, 8},
        {"range 1-4, 2 copies", 1, 2, 0, {{1, 4}}, 8},
        {"one copy", 1, 1, 0, {{1, 3}}, 3},
        {"single-sided printer", 0, 2, 0, {{1, 3}}, 6},
        {"two ranges, odd ends", 1, 2, 0, {{1, 1}, {3, 5}}, 12},
        {"collated, range 1-3", 1, 2, 1, {{1, 3}}, 8},
        {"range 2-4 ends even", 1, 2, 0, {{2, 4}}, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::reset();
        machine(3, c.doubleSided);
        area(10, 40);
        shortPages(3);
        PrintOptions o = jobOptions(c.copies, c.ranges, c.collate);
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
        printPages(static_cast<int>(o.totalPages), 3);
        ImpCerrarImpresora();
        EXPECT_EQ(document().pages.size(), c.expectedPages);
        size_t empty = 0;
        for (const auto& page : document().pages) {
            empty += page.lines.empty();
        }
        EXPECT_EQ(document().pages.size() - empty, o.totalPages);
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
        sim::reset();
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{});
        if (c.select) {
            selectPrinter(u"Braille");
        }
        load();
        sim::world().printers[0].failCreateDC = c.failDC;
        sim::world().startDocResults = c.startDoc;
        sim::world().messageBoxes.clear();
        const long live = sim::world().liveAllocations;
        EXPECT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), c.result);
        EXPECT_FALSE(lib().jobOpen());
        EXPECT_EQ(lib().jobRecord, nullptr);
        EXPECT_EQ(sim::liveDCs(), 0);
        EXPECT_EQ(sim::liveWindows(), 0);
        EXPECT_EQ(sim::world().liveAllocations, live);
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
        sim::reset();
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

TEST_F(SessionTest, UnloadWithAnOpenJobAbortsIt) {
    machine();
    area(10, 20);
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 2}}));
    ImpImprimirLinea("a");
    ASSERT_EQ(sim::liveWindows(), 1);
    dotpress::unload();
    EXPECT_TRUE(document().aborted);
    EXPECT_FALSE(document().ended);
    EXPECT_EQ(sim::liveWindows(), 0);
    // The settings are written all the same.
    EXPECT_TRUE(sim::getValue(os::HKEY_CURRENT_USER, dptest::kKey, u"DatosPag"));
    EXPECT_TRUE(sim::getValue(os::HKEY_CURRENT_USER, dptest::kKey, u"Encuadernar"));
}

} // namespace
