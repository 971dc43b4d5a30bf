// The "Imprimiendo" window and the page and copy accounting behind it.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

#include <algorithm>
#include <functional>

namespace {

using dptest::jobOptions;
using dptest::LibraryTest;
using sim::Params;

class ProgressTest : public LibraryTest {
protected:
    // A selected printer whose format has `lines` lines; the printing area matches it.
    void machine(int16_t lines, int16_t doubleSided = 0) {
        sim::addBraillePrinter(u"Índice Braille", u"LPT1:",
                               Params{1, 0, 40, lines, doubleSided, 0});
        selectPrinter(u"Índice Braille");
        load();
        lib().areaLines = static_cast<uint16_t>(lines);
        lib().areaColumns = 40;
    }
    os::HWND window() { return lib().dialog; }
    std::u16string text(int id) {
        const sim::Control* c = sim::findControl(window(), id);
        return c ? c->text : u"<missing>";
    }
    int barPosition() { return sim::findControl(window(), IDC_PROGRESS_BAR)->position; }
};

TEST_F(ProgressTest, WindowShowsPrinterDocumentAndTheJobsRange) {
    machine(3);
    auto* owner = reinterpret_cast<void*>(0x4242);
    ASSERT_EQ(ImpAbrirImpresora(owner, "Cap\xEDtulo 1", jobOptions(2, {{1, 2}})), 0);
    const sim::Window* w = sim::findWindow(window());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->templateId, IDD_PROGRESS);
    EXPECT_EQ(w->owner, static_cast<os::HWND>(owner));
    EXPECT_TRUE(w->visible);
    EXPECT_EQ(text(IDC_PROGRESS_PRINTER), u"Índice Braille");
    EXPECT_EQ(text(IDC_PROGRESS_DOCUMENT), u"Cap\u00edtulo 1");
    const sim::Control* bar = sim::findControl(window(), IDC_PROGRESS_BAR);
    EXPECT_EQ(bar->rangeLow, 1);
    EXPECT_EQ(bar->rangeHigh, 4);
    EXPECT_EQ(bar->position, 1);
    ImpCerrarImpresora();
    EXPECT_EQ(sim::liveWindows(), 0);
    EXPECT_EQ(lib().dialog, nullptr);
}

// What the window shows during each line of a job on a 3-line format.
struct Shown {
    std::u16string page, copy;
    int bar;
};

std::vector<Shown> runJob(ProgressTest& t, PrintOptions o, int lines,
                          const std::function<Shown()>& read) {
    (void)t;
    std::vector<Shown> shown;
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
    for (int i = 0; i < lines; ++i) {
        ImpImprimirLinea("x");
        shown.push_back(read());
    }
    return shown;
}

TEST_F(ProgressTest, PagesAndCopiesAreCountedInBothOrders) {
    struct Case {
        const char* what;
        PrintOptions options;
        std::vector<std::pair<const char16_t*, const char16_t*>> perPage; // page, copy
    };
    const Case cases[] = {
        {"pages run copy after copy",
         jobOptions(2, {{1, 2}}, 0),
         {{u"1", u"1"}, {u"2", u"1"}, {u"1", u"2"}, {u"2", u"2"}}},
        {"each page repeated for the copies",
         jobOptions(2, {{1, 2}}, 1),
         {{u"1", u"1"}, {u"1", u"2"}, {u"2", u"1"}, {u"2", u"2"}}},
        {"two ranges",
         jobOptions(1, {{1, 2}, {5, 5}}, 0),
         {{u"1", u"1"}, {u"2", u"1"}, {u"5", u"1"}}},
        {"a range after page 1",
         jobOptions(1, {{5, 8}}, 0),
         {{u"5", u"1"}, {u"6", u"1"}, {u"7", u"1"}, {u"8", u"1"}}},
        {"ranges copy after copy",
         jobOptions(2, {{1, 1}, {3, 3}}, 0),
         {{u"1", u"1"}, {u"3", u"1"}, {u"1", u"2"}, {u"3", u"2"}}},
        {"ranges with each page repeated",
         jobOptions(2, {{1, 1}, {3, 3}}, 1),
         {{u"1", u"1"}, {u"1", u"2"}, {u"3", u"1"}, {u"3", u"2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::reset();
        machine(3);
        const int lines = static_cast<int>(c.perPage.size()) * 3;
        const auto shown = runJob(*this, c.options, lines, [&] {
            return Shown{text(IDC_PROGRESS_PAGE), text(IDC_PROGRESS_COPY), barPosition()};
        });
        for (int i = 0; i < lines; ++i) {
            SCOPED_TRACE(i + 1);
            const auto& expected = c.perPage[static_cast<size_t>(i / 3)];
            EXPECT_EQ(shown[static_cast<size_t>(i)].page, expected.first);
            EXPECT_EQ(shown[static_cast<size_t>(i)].copy, expected.second);
            EXPECT_EQ(shown[static_cast<size_t>(i)].bar, i / 3 + 1);
        }
        ImpCerrarImpresora();
        dotpress::unload();
    }
}

TEST_F(ProgressTest, CountingStopsAfterTheLastPageOfTheJob) {
    machine(3);
    PrintOptions o = jobOptions(2, {{1, 2}});
    ASSERT_EQ(o.totalPages, 4u);
    ImpAbrirImpresora(nullptr, "doc", o);
    for (int i = 0; i < 12; ++i) {
        ImpImprimirLinea("x");
    }
    const uint32_t page = lib().currentPage, copy = lib().copy;
    const int32_t range = lib().rangeIndex;
    EXPECT_EQ(lib().pageOrdinal, 5u);
    EXPECT_EQ(lib().lineOnPage, 0);
    // Every further L + 1 lines move the ordinal on by one; nothing else changes.
    for (int i = 0; i < 8; ++i) {
        ImpImprimirLinea("x");
    }
    EXPECT_EQ(lib().pageOrdinal, 7u);
    EXPECT_EQ(lib().currentPage, page);
    EXPECT_EQ(lib().copy, copy);
    EXPECT_EQ(lib().rangeIndex, range);
    EXPECT_EQ(barPosition(), 4) << "the bar stays inside its range";
    ImpCerrarImpresora();
}

TEST_F(ProgressTest, CancelStopsDrawingAndDropsTheDocument) {
    machine(3);
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 3}}));
    ImpImprimirLinea("one");
    ImpImprimirLinea("two");
    ImpImprimirLinea("three"); // page 1 ends
    ASSERT_TRUE(sim::clickButton(window(), IDC_PROGRESS_CANCEL));
    EXPECT_EQ(lib().cancelRequested, 1);
    EXPECT_FALSE(sim::findControl(window(), IDC_PROGRESS_CANCEL)->enabled);
    EXPECT_FALSE(sim::clickButton(window(), IDC_PROGRESS_CANCEL)) << "pressed only once";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ImpImprimirLinea("more"), 0);
    }
    EXPECT_EQ(text(IDC_PROGRESS_PAGE), u"1") << "the window stays where printing stopped";
    EXPECT_EQ(sim::liveWindows(), 1) << "the window stays until the job is closed";
    EXPECT_EQ(ImpCerrarImpresora(), 0);
    const auto& doc = sim::world().documents.at(0);
    EXPECT_EQ(doc.pages.size(), 1u) << "no page started after the press";
    EXPECT_TRUE(doc.aborted);
    EXPECT_FALSE(doc.ended);
    EXPECT_EQ(sim::liveWindows(), 0);

    // The next job starts afresh.
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}}));
    EXPECT_EQ(lib().cancelRequested, 0);
    ImpImprimirLinea("again");
    ImpCerrarImpresora();
    EXPECT_TRUE(sim::world().documents.at(1).ended);
    EXPECT_EQ(sim::world().documents.at(1).pages.size(), 1u);
}

// The user cancels by key as the host's message loop hands the key to the window; the focus,
// which starts on "Cancelar", must not vanish with the greyed button: it lands on the bar, heard
// as the cancelled job. The counters stay where printing stopped; every line is answered as ever.
TEST_F(ProgressTest, CancelByKeyIsHeardAndStopsTheCounters) {
    const struct {
        const char* how;
        sim::UserStep step;
    } cases[] = {{"Enter", sim::user::enter()},
                 {"Space", sim::user::space()},
                 {"Esc", sim::user::escape()},
                 {"close box", sim::user::closeBox()}};
    machine(3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(2, {{1, 2}})), 0);
        const sim::Control* focused = sim::focusedControl(window());
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->id, IDC_PROGRESS_CANCEL);
        EXPECT_EQ(sim::heard(focused->handle).name, u"Cancelar");
        for (int i = 0; i < 3 + 2; ++i) { // page 1, and two lines of page 2
            ImpImprimirLinea("x");
        }
        sim::act(window(), c.step);
        EXPECT_EQ(lib().cancelRequested, 1);
        for (int i = 0; i < 3 * 3; ++i) {
            EXPECT_EQ(ImpImprimirLinea("x"), 0);
        }
        focused = sim::focusedControl(window());
        ASSERT_NE(focused, nullptr) << "the focus went with the button";
        EXPECT_EQ(focused->id, IDC_PROGRESS_BAR);
        EXPECT_EQ(sim::heard(focused->handle).name, u"Impresión cancelada");
        EXPECT_FALSE(sim::findControl(window(), IDC_PROGRESS_CANCEL)->enabled);
        EXPECT_EQ(text(IDC_PROGRESS_PAGE), u"2");
        EXPECT_EQ(text(IDC_PROGRESS_COPY), u"1");
        EXPECT_EQ(barPosition(), 2);
        EXPECT_EQ(lib().currentPage, 2u);
        EXPECT_EQ(lib().pageOrdinal, 2u);
        ImpCerrarImpresora();
    }
    EXPECT_EQ(sim::world().refusedSteps, 0);
}

TEST_F(ProgressTest, OtherCommandsAreIgnored) {
    machine(3);
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}}));
    lib().onProgressCommand(IDC_PROGRESS_BAR, 0, nullptr);
    lib().onProgressCommand(os::IDOK, 0, nullptr);
    EXPECT_EQ(lib().cancelRequested, 0);
    ImpCerrarImpresora();
}

TEST_F(ProgressTest, JobRunsWithoutAWindowOrABar) {
    struct Case {
        const char* what;
        bool failDialog;
        bool dropBar;
    };
    for (const Case& c : {Case{"no window", true, false}, Case{"no progress bar", false, true}}) {
        SCOPED_TRACE(c.what);
        sim::reset();
        sim::world().failCreateDialog = c.failDialog;
        if (c.dropBar) {
            sim::world().omittedControls.push_back({IDD_PROGRESS, IDC_PROGRESS_BAR});
        }
        machine(3);
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 2}})), 0);
        for (int i = 0; i < 6; ++i) {
            ImpImprimirLinea("x");
        }
        EXPECT_EQ(lib().pageOrdinal, 3u);
        ImpCerrarImpresora();
        EXPECT_EQ(sim::world().documents.at(0).pages.size(), 2u);
        EXPECT_TRUE(sim::world().documents.at(0).ended);
        dotpress::unload();
    }
}

TEST_F(ProgressTest, AccountingFollowsTheFormatNotTheArea) {
    // A printing area shorter than the format: device pages of 2 lines, counted pages of 3.
    machine(3);
    lib().areaLines = 2;
    ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 4}}));
    for (int i = 0; i < 6; ++i) {
        ImpImprimirLinea("x");
    }
    EXPECT_EQ(lib().currentPage, 3u);
    ImpCerrarImpresora();
    EXPECT_EQ(sim::world().documents.at(0).pages.size(), 3u);
}

TEST_F(ProgressTest, EachCounterIsSentOncePerChange) {
    machine(3);
    // Pages 1, 2, 1, 2 and copies 1, 1, 2, 2 over four pages of three lines.
    ImpAbrirImpresora(nullptr, "doc", jobOptions(2, {{1, 2}}, 0));
    for (int i = 0; i < 12; ++i) {
        ImpImprimirLinea("x");
    }
    auto sent = [](int id, os::UINT message) {
        return std::count_if(sim::world().controlMessages.begin(),
                             sim::world().controlMessages.end(), [&](const sim::ControlMessage& m) {
                                 return m.dialogTemplate == IDD_PROGRESS && m.id == id &&
                                        m.message == message;
                             });
    };
    EXPECT_EQ(sent(IDC_PROGRESS_PAGE, sim::kSetText), 4);
    EXPECT_EQ(sent(IDC_PROGRESS_COPY, sim::kSetText), 2);
    EXPECT_EQ(sent(IDC_PROGRESS_BAR, os::PBM_SETPOS), 4) << "1 at the opening, then 2, 3 and 4";
    ImpCerrarImpresora();
}

TEST_F(ProgressTest, NextJobsWindowShowsItsCountersFromItsFirstLine) {
    machine(3);
    for (int job = 0; job < 2; ++job) {
        SCOPED_TRACE(job + 1);
        // Both jobs end on page 1, copy 1: the new window still needs to be told.
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), 0);
        ImpImprimirLinea("x");
        EXPECT_EQ(text(IDC_PROGRESS_PAGE), u"1");
        EXPECT_EQ(text(IDC_PROGRESS_COPY), u"1");
        ImpImprimirLinea("x");
        ImpImprimirLinea("x");
        ImpCerrarImpresora();
    }
}

} // namespace
