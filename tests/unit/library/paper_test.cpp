// The print dialog's sheets line and its offer to go on after a cancel, against the jobs the
// dialog then prints and the summary the library gives of them.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

#include <utility>

using namespace dptest;
using namespace sim::user;

namespace {

std::u16string text(os::HWND dialog, int id) {
    return sim::findControl(dialog, id)->text;
}

// "Se usarán 12 hojas de papel." or "Se usará una hoja de papel.": the number; -1 for none.
long told(const std::u16string& line) {
    if (line == u"Se usará una hoja de papel.") {
        return 1;
    }
    const std::u16string head = u"Se usarán ", tail = u" hojas de papel.";
    if (line.size() <= head.size() + tail.size() || line.compare(0, head.size(), head) != 0) {
        return -1;
    }
    return std::stol(std::string(line.begin() + head.size(), line.end() - tail.size()));
}

// The host's loop over the block's pages, two lines a page. After `stopAfter` lines (0: never)
// the user presses Esc in the progress window, or, without `cancel`, the host closes the job.
void emboss(const PrintOptions& o, int stopAfter = 0, bool cancel = true) {
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
    int sent = 0;
    auto page = [&] {
        for (int line = 0; line < 2 && !(stopAfter && sent >= stopAfter); ++line) {
            ImpImprimirLinea("x");
            if (++sent == stopAfter && cancel) {
                sim::act(dotpress::library().dialog, escape());
            }
        }
    };
    const bool collated = o.collate != 0;
    for (uint32_t outer = 0; outer < (collated ? 1 : o.copies); ++outer) {
        for (int32_t r = 0; r < o.rangeCount; ++r) {
            for (uint32_t p = o.ranges[r].firstPage; p <= o.ranges[r].lastPage; ++p) {
                for (uint32_t inner = 0; inner < (collated ? o.copies : 1); ++inner) {
                    page();
                }
            }
        }
    }
    ImpCerrarImpresora();
}

JobSummary summary() {
    JobSummary s{};
    s.size = sizeof s;
    ImpObtenerResumen(&s);
    return s;
}

class PaperTest : public LibraryTest {
protected:
    // A Braille embosser, selected, and a document of `pages` pages of two lines.
    void machine(int16_t doubleSided) {
        sim::Params p;
        p.doubleSided = doubleSided;
        sim::addBraillePrinter(u"Braille", u"LPT1:", p);
        sim::addBraillePrinter(u"Una cara", u"LPT2:", sim::Params{});
        selectPrinter(u"Braille");
        load();
        uint16_t lines = 10, columns = 30;
        ImpSetPrintingArea(&lines, &columns);
        lib().areaLines = 2;
    }
    // The dialog worked by `steps`; `offer` is the text of the box to go on, empty when hidden.
    int32_t dialog(std::vector<sim::UserStep> steps, PrintOptions* o, std::u16string* offer,
                   int32_t pages = 10) {
        steps.insert(steps.begin(), inspect([offer](os::HWND d) {
                         const sim::Control* box = sim::findControl(d, IDC_PRINT_GO_ON);
                         *offer = box->visible && box->enabled ? box->text : u"";
                     }));
        sim::world().script.assign(steps.begin(), steps.end());
        return ImpMostrarDialogoImprimir(nullptr, o, pages);
    }
};

} // namespace

// Each row prints the job the dialog confirms to its end, then again, cancelled after some lines:
// the summary says where it stopped, the next dialog offers the rest from the first page not
// completely sent (on a double-sided embosser the front of its sheet), and the rest prints. The
// sheets the dialog told are those the summary counts.
TEST_F(PaperTest, SheetsToldAreTheJobsAndACancelledJobGoesOnFromItsSheet) {
    struct Row {
        int16_t doubleSided;
        std::u16string list; // empty: all pages
        std::u16string copies;
        bool collate;
        int cancelAfter;
        std::vector<uint32_t> stopped; // summary: lastPage, lastCopy, pagesPrinted, copiesFinished
        std::u16string offer, restList;
        std::vector<uint32_t> rest; // the block: first page, copies, total pages
    };
    const std::u16string go = u"C&ontinuar el trabajo cancelado desde la página ";
    // clang-format off
    const Row rows[] = {
        {1, u"1-5", u"1", false, 11, {6, 1, 5, 0}, go + u"5", u"5-6", {5, 1, 2}},
        {1, u"1-3,5", u"2", false, 7, {4, 1, 3, 0}, go + u"3, queda una copia completa", u"3-4,5", {3, 1, 3}},
        {1, u"1-4", u"2", true, 7, {2, 2, 3, 0}, go + u"2, con sus 2 copias", u"2-4", {2, 2, 6}},
        {1, u"1-4", u"3", true, 7, {2, 1, 3, 0}, go + u"1, con sus 3 copias; se repiten 2 copias de esa página", u"1-4", {1, 3, 12}},
        {1, u"1-4", u"3", true, 9, {2, 2, 4, 0}, go + u"2, con sus 3 copias; se repite una copia de esa página", u"2-4", {2, 3, 9}},
        {1, u"", u"2", false, 21, {1, 2, 10, 1}, go + u"1", u"", {1, 1, 10}},
        {0, u"2-5", u"3", false, 15, {4, 2, 7, 1}, go + u"4, queda una copia completa", u"4-6", {4, 1, 3}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        nextRow();
        machine(row.doubleSided);
        long sheets = -1;
        auto sheetsTold = inspect([&](os::HWND d) { sheets = told(text(d, IDC_PRINT_SHEETS)); });
        std::vector<sim::UserStep> steps;
        if (!row.list.empty()) {
            steps = {tick(IDC_PRINT_PAGES), type(IDC_PRINT_PAGE_LIST, row.list)};
        }
        steps.push_back(type(IDC_PRINT_COPIES, row.copies));
        if (row.collate) {
            steps.push_back(tick(IDC_PRINT_COLLATE));
        }
        steps.insert(steps.end(), {sheetsTold, press(IDC_PRINT_PRINT)});
        PrintOptions o;
        std::u16string offer, restList;
        ASSERT_EQ(dialog(steps, &o, &offer), 0);
        emboss(o);
        EXPECT_EQ(sheets, static_cast<long>(summary().sheets));

        emboss(o, row.cancelAfter);
        const JobSummary s = summary();
        EXPECT_EQ(s.state, JOB_STATE_CANCELLED);
        EXPECT_EQ((std::vector<uint32_t>{s.lastPage, s.lastCopy, s.pagesPrinted, s.copiesFinished}),
                  row.stopped);

        auto listNow = inspect([&](os::HWND d) { restList = text(d, IDC_PRINT_PAGE_LIST); });
        ASSERT_EQ(dialog({mnemonic(u'o'), sheetsTold, listNow, enter()}, &o, &offer), 0);
        EXPECT_EQ(offer, row.offer);
        EXPECT_EQ(restList, row.restList);
        EXPECT_EQ((std::vector<uint32_t>{o.ranges[0].firstPage, o.copies, o.totalPages}), row.rest);
        emboss(o);
        EXPECT_EQ(sheets, static_cast<long>(summary().sheets));

        // A job that ends any other way than by the user's cancel takes the offer away.
        emboss(o, 3, false);
        dialog({escape()}, &o, &offer);
        EXPECT_EQ(offer, u"");
        EXPECT_EQ(sim::world().refusedSteps, 0);
        EXPECT_TRUE(sim::world().messageBoxes.empty());
    }
}

// The offer waits for a dialog of the same document, is left alone by the test sheet, cancelled
// or not, and unticked puts back what the user had chosen.
TEST_F(PaperTest, OfferWaitsForItsDocumentAndUntickingPutsTheChoiceBack) {
    machine(1);
    PrintOptions o;
    std::u16string offer, list, copies;
    ASSERT_EQ(dialog({enter()}, &o, &offer), 0);
    emboss(o, 5);
    bool pressed = false;
    sim::world().userAtKeyboard = [&pressed] {
        if (!std::exchange(pressed, true)) {
            sim::pressKey(os::VK_ESCAPE);
        }
    };
    ImpImprimirPrueba(nullptr);
    sim::world().userAtKeyboard = nullptr;
    ImpImprimirPrueba(nullptr);
    EXPECT_EQ(dialog({escape()}, &o, &offer, 11), 1);
    EXPECT_EQ(offer, u"");
    // The line follows the printer; the current page is one a copy; a page list that does not
    // parse yet tells no number.
    std::vector<std::u16string> lines;
    auto line = inspect([&](os::HWND d) { lines.push_back(text(d, IDC_PRINT_SHEETS)); });
    ASSERT_EQ(dialog({line, choose(IDC_PRINT_PRINTER_LIST, 1), line,
                      choose(IDC_PRINT_PRINTER_LIST, 0), tick(IDC_PRINT_CURRENT_PAGE),
                      type(IDC_PRINT_COPIES, u"4"), line, tick(IDC_PRINT_PAGES),
                      type(IDC_PRINT_PAGE_LIST, u"7,"), line, type(IDC_PRINT_PAGE_LIST, u"7"),
                      tick(IDC_PRINT_GO_ON), tick(IDC_PRINT_GO_ON), inspect([&](os::HWND d) {
                          list = text(d, IDC_PRINT_PAGE_LIST);
                          copies = text(d, IDC_PRINT_COPIES);
                      }),
                      tick(IDC_PRINT_GO_ON), enter()},
                     &o, &offer),
              0);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"Se usarán 5 hojas de papel.",
                                                  u"Se usarán 10 hojas de papel.",
                                                  u"Se usarán 4 hojas de papel.", u""}));
    EXPECT_EQ(offer, u"C&ontinuar el trabajo cancelado desde la página 3");
    EXPECT_EQ(list + u" " + copies, u"7 4");
    EXPECT_EQ((std::vector<uint32_t>{o.ranges[0].firstPage, o.ranges[0].lastPage, o.copies}),
              (std::vector<uint32_t>{3, 10, 1}));
}
