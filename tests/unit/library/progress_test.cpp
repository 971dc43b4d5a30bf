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
    // What a control was last sent, and what it showed when it last painted.
    std::u16string sent(int id) {
        const sim::Control* c = sim::findControl(window(), id);
        return c ? c->text : u"<missing>";
    }
    std::u16string shown(int id) { return sim::paintedText(window(), id); }
    int shownBar() { return sim::paintedPosition(window(), IDC_PROGRESS_BAR); }
    // The host's loop, long enough for the window to have shown every change.
    static void hostWaits() { sim::advanceTime(dotpress::ProgressWindow::kShowInterval); }
    // What the control `id` of the progress window showed at each of its paints.
    static std::vector<std::u16string> paintsOf(int id) {
        std::vector<std::u16string> texts;
        for (const sim::Paint& p : sim::world().paints) {
            if (p.dialogTemplate == IDD_PROGRESS && p.id == id) {
                texts.push_back(id == IDC_PROGRESS_BAR
                                    ? std::u16string(1, char16_t(u'0' + p.position))
                                    : p.text);
            }
        }
        return texts;
    }
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
    EXPECT_EQ(sim::world().activeWindow, window());
    const sim::Control* bar = sim::findControl(window(), IDC_PROGRESS_BAR);
    EXPECT_EQ(bar->rangeLow, 1);
    EXPECT_EQ(bar->rangeHigh, 4);
    // The first paint, before any line: printer, document, the first page and copy, the bar.
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PRINTER), u"Índice Braille");
    EXPECT_EQ(shown(IDC_PROGRESS_DOCUMENT), u"Cap\u00edtulo 1");
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"1");
    EXPECT_EQ(shown(IDC_PROGRESS_COPY), u"1");
    EXPECT_EQ(shownBar(), 1);
    ImpCerrarImpresora();
    EXPECT_EQ(sim::liveWindows(), 0);
    EXPECT_EQ(lib().dialog, nullptr);
    EXPECT_EQ(sim::world().activeWindow, static_cast<os::HWND>(owner)) << "the host has the keys";
}

// The window goes while it is shown, so that the system gives the keyboard back to the host if
// the window had it; a window the user has gone to meanwhile keeps it.
TEST_F(ProgressTest, ClosingLeavesTheKeyboardWhereTheUserIs) {
    const auto host = reinterpret_cast<os::HWND>(0x4242);
    const auto elsewhere = reinterpret_cast<os::HWND>(0x5151);
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved);
        dotpress::unload();
        nextRow();
        machine(3);
        ASSERT_EQ(ImpAbrirImpresora(host, "doc", jobOptions(1, {{1, 1}})), 0);
        ImpImprimirLinea("x");
        if (moved) {
            sim::world().activeWindow = elsewhere; // the user went to another window
        }
        ImpCerrarImpresora();
        EXPECT_EQ(sim::world().activeWindow, moved ? elsewhere : host);
    }
}

// A host that destroys its own window with the job open takes the progress window with it (the
// system destroys owned windows with their owner): the job runs on without a window, and its
// close touches no handle that may since name another window.
TEST_F(ProgressTest, AWindowDestroyedWithItsOwnerLeavesTheJobRunning) {
    machine(3);
    ASSERT_EQ(ImpAbrirImpresora(reinterpret_cast<void*>(0x4242), "doc", jobOptions(1, {{1, 2}})),
              0);
    ImpImprimirLinea("x");
    os::DestroyWindow(window()); // as the system does when the owner goes
    EXPECT_EQ(lib().dialog, nullptr);
    for (int i = 0; i < 5; ++i) {
        ImpImprimirLinea("x");
    }
    sim::pumpMessages();
    ImpCerrarImpresora();
    ASSERT_EQ(sim::world().documents.size(), 1u);
    EXPECT_TRUE(sim::world().documents[0].ended);
    EXPECT_EQ(sim::world().documents[0].pages.size(), 2u);
}

// What the window shows during each line of a job on a 3-line format.
struct Shown {
    std::u16string page, copy;
    int bar;
};

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
        // The page shown stays 5: only the bar tells the second from the first.
        {"a page list that repeats a page (5,5)",
         jobOptions(1, {{5, 5}, {5, 5}}, 0),
         {{u"5", u"1"}, {u"5", u"1"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(3);
        const int lines = static_cast<int>(c.perPage.size()) * 3;
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", c.options), 0);
        // After every line the host's loop runs and the window paints the line's page and copy.
        for (int i = 0; i < lines; ++i) {
            SCOPED_TRACE(i + 1);
            ImpImprimirLinea("x");
            hostWaits();
            const auto& expected = c.perPage[static_cast<size_t>(i / 3)];
            EXPECT_EQ(shown(IDC_PROGRESS_PAGE), expected.first);
            EXPECT_EQ(shown(IDC_PROGRESS_COPY), expected.second);
            EXPECT_EQ(shownBar(), i / 3 + 1);
        }
        ImpCerrarImpresora();
        dotpress::unload();
    }
}

TEST_F(ProgressTest, LinesLeaveTheWindowToTheHostsLoop) {
    machine(3);
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 9}})), 0);
    sim::advanceTime(1000); // the window has been open a while
    const auto line = [](int n) {
        for (int i = 0; i < n; ++i) {
            ImpImprimirLinea("x");
        }
    };
    line(4); // the fourth line is on page 2
    EXPECT_EQ(sent(IDC_PROGRESS_PAGE), u"1") << "a line sends the window nothing";
    EXPECT_EQ(sim::world().posted.size(), 1u) << "only a note for the host's loop";
    line(2);
    EXPECT_EQ(sim::world().posted.size(), 1u) << "one note until the window has shown it";
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"2") << "shown as soon as the loop runs";
    EXPECT_EQ(shownBar(), 2);

    // Within the interval the window holds what it shows; then it shows the last line's page
    // and never the ones in between.
    line(4); // page 3, then the first line of page 4
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"2");
    sim::advanceTime(dotpress::ProgressWindow::kShowInterval - 1);
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"2");
    sim::advanceTime(1);
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"4");
    EXPECT_EQ(shownBar(), 4);

    // Whenever the window paints, it paints the last line's state: uncovered within the
    // interval, it does not wait for its turn.
    line(3); // the first line of page 5
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"4");
    sim::uncover(window());
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"5");
    EXPECT_EQ(shownBar(), 5);

    // Lines the loop has not seen are shown before the window goes.
    line(3); // the first line of page 6
    ImpCerrarImpresora();
    EXPECT_EQ(paintsOf(IDC_PROGRESS_PAGE),
              (std::vector<std::u16string>{u"1", u"2", u"4", u"5", u"6"}));
    EXPECT_EQ(paintsOf(IDC_PROGRESS_COPY), (std::vector<std::u16string>{u"1", u"1"}));
    EXPECT_EQ(paintsOf(IDC_PROGRESS_BAR),
              (std::vector<std::u16string>{u"1", u"2", u"4", u"5", u"6"}));
    EXPECT_TRUE(sim::world().posted.empty());
    EXPECT_TRUE(sim::world().timers.empty());
    EXPECT_EQ(sim::liveWindows(), 0);
}

// The window holds each change it shows for the interval, counted from its opening and from its
// last show, not from the change: a page noted 100 ms after a show appears 150 ms later. Once it
// has shown what was noted, nothing is left running.
TEST_F(ProgressTest, HoldCountsFromTheOpeningAndFromTheLastShow) {
    constexpr os::DWORD kHold = dotpress::ProgressWindow::kShowInterval;
    machine(3);
    sim::advanceTime(5000); // the machine has been up a while before the job
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 9}})), 0);
    const auto linesTo = [](int page) {
        while (dotpress::library().currentPage < static_cast<uint32_t>(page)) {
            ImpImprimirLinea("x");
        }
        ImpImprimirLinea("x"); // the window shows the page of the line just printed
    };
    const auto timers = [] { return sim::world().timers.size(); };
    sim::advanceTime(100);
    linesTo(2); // 100 ms after the opening
    sim::advanceTime(kHold - 100 - 1);
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"1") << "held from the opening";
    EXPECT_EQ(timers(), 1u);
    sim::advanceTime(1);
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"2");
    EXPECT_EQ(timers(), 0u) << "the hold's timer stops once it has shown";

    sim::advanceTime(100);
    linesTo(3); // 100 ms after the last show
    sim::advanceTime(kHold - 100 - 1);
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"2");
    sim::advanceTime(1);
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"3") << "150 ms after the change, not 250";
    EXPECT_EQ(timers(), 0u);

    // A change noted a whole interval after the last show appears as soon as the loop runs.
    sim::advanceTime(kHold);
    linesTo(4);
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"4");
    EXPECT_EQ(timers(), 0u);

    // A paint within the hold shows what is pending; the hold's timer has nothing left to show.
    sim::advanceTime(10);
    linesTo(5);
    sim::pumpMessages();
    EXPECT_EQ(timers(), 1u);
    sim::uncover(window());
    sim::pumpMessages();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"5");
    EXPECT_EQ(timers(), 0u) << "the paint showed it";

    sim::world().failSetTimer = true; // no timer: a change within the hold shows at once, each one
    for (const char16_t* page : {u"6", u"7"}) {
        sim::advanceTime(10);
        linesTo(page[0] - u'0');
        sim::pumpMessages();
        EXPECT_EQ(shown(IDC_PROGRESS_PAGE), page);
    }
    ImpCerrarImpresora();
    EXPECT_EQ(paintsOf(IDC_PROGRESS_PAGE),
              (std::vector<std::u16string>{u"1", u"2", u"3", u"4", u"5", u"6", u"7"}));
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
    hostWaits();
    EXPECT_EQ(shownBar(), 4) << "the bar stays inside its range";
    ImpCerrarImpresora();
}

// A job of more pages than the bar's 16-bit range is shown on the bar's 65,535 steps; the
// ordinal of a job of 2^32 - 1 pages stops at its last page.
TEST_F(ProgressTest, LongJobsStayWithinTheBarAndTheOrdinal) {
    machine(3);
    PrintOptions o = jobOptions(1, {{1, 100000}});
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
    EXPECT_EQ(sim::findControl(window(), IDC_PROGRESS_BAR)->rangeHigh, 65535);
    lib().pageOrdinal = 50000;
    ImpImprimirLinea("x");
    hostWaits();
    EXPECT_EQ(shownBar(), 32767) << "halfway";
    ImpCerrarImpresora();
    o.totalPages = 0xFFFFFFFF;
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", o), 0);
    lib().pageOrdinal = 0xFFFFFFFF;
    lib().lineOnPage = 3;
    ImpImprimirLinea("x"); // ends the job's last page
    EXPECT_EQ(lib().pageOrdinal, 0xFFFFFFFFu);
    EXPECT_EQ(lib().currentPage, 1u) << "nothing is counted past the job's last page";
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
    hostWaits();
    EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"1") << "the window stays where printing stopped";
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
        // A screen reader announces the bar as the focus reaches it: the name must be there
        // already, or the user hears an unnamed bar.
        ASSERT_FALSE(sim::world().focusEvents.empty());
        EXPECT_EQ(sim::world().focusEvents.back().id, IDC_PROGRESS_BAR);
        EXPECT_EQ(sim::world().focusEvents.back().name, u"Impresión cancelada");
        EXPECT_FALSE(sim::findControl(window(), IDC_PROGRESS_CANCEL)->enabled);
        hostWaits();
        EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"2");
        EXPECT_EQ(shown(IDC_PROGRESS_COPY), u"1");
        EXPECT_EQ(shownBar(), 2);
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
        nextRow();
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

TEST_F(ProgressTest, PagesAreCountedAsTheEmbosserGetsThem) {
    // The accounting counts the device pages the session ends, whatever the printer's format:
    // after every line the page shown is one past the pages the embosser has received.
    struct Case {
        const char* what;
        int16_t formatLines;
        uint16_t areaLines;
        int areaChangedAfter; // lines; 0: never
        uint16_t changedTo;
    };
    const Case cases[] = {
        {"area as long as the format", 3, 3, 0, 0},
        {"area shorter than the format", 12, 10, 0, 0},
        {"format shorter than the area", 3, 5, 0, 0},
        {"area made shorter in the middle of a page", 12, 6, 10, 3},
        {"area made longer in the middle of a page", 12, 3, 4, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(c.formatLines);
        lib().areaLines = c.areaLines;
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 20}})), 0);
        for (int i = 1; i <= 40; ++i) {
            SCOPED_TRACE(i);
            ImpImprimirLinea("x");
            if (i == c.areaChangedAfter) {
                lib().areaLines = c.changedTo;
            }
            const sim::Document& doc = sim::world().documents.at(0);
            const size_t ended = doc.pages.size() - (lib().pageOpen ? 1 : 0);
            ASSERT_EQ(lib().currentPage, ended + 1);
        }
        ImpCerrarImpresora();
        dotpress::unload();
    }
}

TEST_F(ProgressTest, DoubleSidedCopiesOnAShortAreaKeepTheirSheets) {
    // The demo's job on a 12-line format with its 10-line area: pages 1-2 and 3, two copies.
    machine(12, 1);
    lib().areaLines = 10;
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(2, {{1, 2}, {3, 3}})), 0);
    const std::pair<const char16_t*, const char16_t*> perPage[] = {
        {u"1", u"1"}, {u"2", u"1"}, {u"3", u"1"}, {u"1", u"2"}, {u"2", u"2"}, {u"3", u"2"}};
    for (int i = 0; i < 6 * 10; ++i) {
        SCOPED_TRACE(i + 1);
        ImpImprimirLinea("x");
        hostWaits();
        EXPECT_EQ(shown(IDC_PROGRESS_PAGE), perPage[i / 10].first);
        EXPECT_EQ(shown(IDC_PROGRESS_COPY), perPage[i / 10].second);
        EXPECT_EQ(shownBar(), i / 10 + 1);
    }
    ImpCerrarImpresora();
    std::string layout;
    for (const auto& page : sim::world().documents.at(0).pages) {
        layout += page.lines.empty() ? '0' : 'x';
    }
    EXPECT_EQ(layout, "xxx0xxx0") << "8 faces: page 3 of each copy has an empty back";
}

TEST_F(ProgressTest, EachCounterIsSentOncePerChange) {
    machine(3);
    // Pages 1, 2, 1, 2 and copies 1, 1, 2, 2 over four pages of three lines.
    ImpAbrirImpresora(nullptr, "doc", jobOptions(2, {{1, 2}}, 0));
    for (int i = 0; i < 12; ++i) {
        ImpImprimirLinea("x");
        hostWaits(); // the window shows each change once, when the host's loop lets it
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
        hostWaits();
        EXPECT_EQ(shown(IDC_PROGRESS_PAGE), u"1");
        EXPECT_EQ(shown(IDC_PROGRESS_COPY), u"1");
        ImpImprimirLinea("x");
        ImpImprimirLinea("x");
        ImpCerrarImpresora();
    }
}

} // namespace
