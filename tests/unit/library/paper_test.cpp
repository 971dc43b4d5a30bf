// The print dialog's sheets line and its offer to go on after a cancel, against the jobs the
// dialog then prints and the summary the library gives of them.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

using namespace dptest;
using namespace sim::user;

namespace {

// The line that tells `sheets`, one said in words.
std::u16string sheetsLine(uint32_t sheets) {
    const std::string n = std::to_string(sheets);
    return sheets == 1 ? u"Se usará una hoja de papel."
                       : u"Se usarán " + std::u16string(n.begin(), n.end()) + u" hojas de papel.";
}

// The job's lines, two a page, and its summary. After `stopAfter` lines the user presses Esc in
// the progress window or, without `cancel`, the host closes the job.
JobSummary emboss(const PrintOptions& o, uint32_t stopAfter = 0, bool cancel = true) {
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
    for (uint32_t line = 1; line <= 2 * o.totalPages && (!stopAfter || line <= stopAfter); ++line) {
        ImpImprimirLinea("x");
        if (line == stopAfter && cancel) {
            sim::act(dotpress::library().dialog, escape());
        }
    }
    ImpCerrarImpresora();
    JobSummary s{};
    s.size = sizeof s;
    ImpObtenerResumen(&s);
    return s;
}

class PaperTest : public LibraryTest {
protected:
    // A Braille embosser, selected, beside a single-sided one; pages of two lines.
    void machine(int16_t doubleSided) {
        sim::addBraillePrinter(u"Braille", u"LPT1:", sim::Params{1, 0, 40, 29, doubleSided, 0});
        sim::addBraillePrinter(u"Una cara", u"LPT2:", sim::Params{});
        selectPrinter(u"Braille");
        load();
        lib().areaLines = 2;
    }
    // The dialog of a `pages`-page document worked by `steps`; `offer`: its box to go on, if shown.
    int32_t dialog(std::vector<sim::UserStep> steps, PrintOptions* o, int32_t pages = 10) {
        steps.insert(steps.begin(), inspect([this](os::HWND d) {
                         const sim::Control* box = sim::findControl(d, IDC_PRINT_GO_ON);
                         offer = box->visible && box->enabled ? box->text : u"";
                     }));
        sim::world().script.assign(steps.begin(), steps.end());
        return ImpMostrarDialogoImprimir(nullptr, o, pages);
    }
    // Notes the sheets line, and the page list and copies after it.
    sim::UserStep look() {
        return inspect([this](os::HWND d) {
            seen.push_back(sim::findControl(d, IDC_PRINT_SHEETS)->text);
            seen.push_back(sim::findControl(d, IDC_PRINT_PAGE_LIST)->text + u" " +
                           sim::findControl(d, IDC_PRINT_COPIES)->text);
        });
    }
    std::u16string offer;
    std::vector<std::u16string> seen;
};

} // namespace

// Each row prints the job the dialog confirms, then cancels it; the next dialog offers the rest
// from the first page not completely sent (double-sided: its sheet's front). Sheets told are those
// the summary counts; a job the host closes early ends the offer.
TEST_F(PaperTest, SheetsToldAreTheJobsAndACancelledJobGoesOnFromItsSheet) {
    // The choice (no list: all pages), the lines before Esc, the summary's lastPage, lastCopy,
    // pagesPrinted, copiesFinished; the box, the list and copies it sets, the block it prints.
    struct Row {
        int16_t doubleSided, collate;
        std::u16string list, copies;
        uint32_t cancelAfter;
        std::vector<uint32_t> stopped;
        std::u16string offer, rest;
        std::vector<uint32_t> block;
    };
    const std::u16string go = u"C&ontinuar el trabajo cancelado desde la página ";
    // clang-format off
    const Row rows[] = {
        {1, 0, u"1-5", u"1", 11, {6, 1, 5, 0}, go + u"5", u"5-6 1", {5, 1, 2}},
        {1, 0, u"1-3,5", u"2", 7, {4, 1, 3, 0}, go + u"3, queda una copia completa", u"3-4,5 1", {3, 1, 3}},
        {1, 1, u"1-4", u"2", 7, {2, 2, 3, 0}, go + u"2, con sus 2 copias", u"2-4 2", {2, 2, 6}},
        {1, 1, u"1-4", u"3", 7, {2, 1, 3, 0}, go + u"1, con sus 3 copias; se repiten 2 copias de esa página", u"1-4 3", {1, 3, 12}},
        {1, 1, u"1-4", u"3", 9, {2, 2, 4, 0}, go + u"2, con sus 3 copias; se repite una copia de esa página", u"2-4 3", {2, 3, 9}},
        {1, 0, u"", u"2", 21, {1, 2, 10, 1}, go + u"1", u" 1", {1, 1, 10}},
        {0, 0, u"2-5", u"3", 15, {4, 2, 7, 1}, go + u"4, queda una copia completa", u"4-6 1", {4, 1, 3}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        nextRow();
        machine(row.doubleSided);
        std::vector<sim::UserStep> steps = {tick(IDC_PRINT_PAGES),
                                            type(IDC_PRINT_PAGE_LIST, row.list),
                                            type(IDC_PRINT_COPIES, row.copies)};
        steps.erase(steps.begin(), steps.begin() + (row.list.empty() ? 2 : 0));
        steps.resize(steps.size() + static_cast<size_t>(row.collate), tick(IDC_PRINT_COLLATE));
        steps.insert(steps.end(), {look(), press(IDC_PRINT_PRINT)});
        PrintOptions o;
        ASSERT_EQ(dialog(steps, &o), 0);
        EXPECT_EQ(seen.at(0), sheetsLine(emboss(o).sheets));

        const JobSummary s = emboss(o, row.cancelAfter);
        EXPECT_EQ(s.state, JOB_STATE_CANCELLED);
        EXPECT_EQ((std::vector<uint32_t>{s.lastPage, s.lastCopy, s.pagesPrinted, s.copiesFinished}),
                  row.stopped);

        ASSERT_EQ(dialog({mnemonic(u'o'), look(), enter()}, &o), 0);
        EXPECT_EQ(offer, row.offer);
        EXPECT_EQ(seen.at(3), row.rest);
        EXPECT_EQ((std::vector<uint32_t>{o.ranges[0].firstPage, o.copies, o.totalPages}),
                  row.block);
        EXPECT_EQ(seen.at(2), sheetsLine(emboss(o).sheets));

        emboss(o, 3, false);
        dialog({escape()}, &o);
        EXPECT_EQ(offer, u"");
        EXPECT_TRUE(sim::world().messageBoxes.empty()) << "nothing said while the user types";
        seen.clear();
    }
}

// The line follows the printer, the current page (a sheet a copy) and tells no number for a list
// that does not parse; the offer waits for its document, outlives the test sheet, and unticked
// puts back what the user had chosen.
TEST_F(PaperTest, LineFollowsTheChoiceAndTheOfferWaitsForItsDocument) {
    machine(1);
    PrintOptions o;
    ASSERT_EQ(dialog({enter()}, &o), 0);
    emboss(o, 5);
    ImpImprimirPrueba(nullptr);
    dialog({escape()}, &o, 11);
    EXPECT_EQ(offer, u"");
    ASSERT_EQ(dialog({look(), choose(IDC_PRINT_PRINTER_LIST, 1), look(),
                      choose(IDC_PRINT_PRINTER_LIST, 0), tick(IDC_PRINT_CURRENT_PAGE),
                      type(IDC_PRINT_COPIES, u"4"), look(), tick(IDC_PRINT_PAGES),
                      type(IDC_PRINT_PAGE_LIST, u"7,"), look(), tick(IDC_PRINT_GO_ON),
                      tick(IDC_PRINT_GO_ON), look(), tick(IDC_PRINT_GO_ON), enter()},
                     &o),
              0);
    EXPECT_EQ(seen,
              (std::vector<std::u16string>{sheetsLine(5), u" 1", sheetsLine(10), u" 1",
                                           sheetsLine(4), u" 4", u"", u"7, 4", u"", u"7, 4"}));
    EXPECT_EQ(offer, u"C&ontinuar el trabajo cancelado desde la página 3");
    EXPECT_EQ((std::vector<uint32_t>{o.ranges[0].firstPage, o.ranges[0].lastPage, o.copies}),
              (std::vector<uint32_t>{3, 10, 1}));
}
