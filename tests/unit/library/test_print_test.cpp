// ImpImprimirPrueba: the test sheet embossed from one blocking call, through the same job and
// progress window as a host's job, with the library running the thread's messages meanwhile.
#include "dotpress/core/test_sheet.h"
#include "dotpress/core/translation.h"
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

#include <string>

namespace {

using dptest::jobOptions;
using dptest::LibraryTest;
using sim::Params;

JobSummary summary() {
    JobSummary s{};
    s.size = sizeof s;
    EXPECT_EQ(ImpObtenerResumen(&s), 0);
    return s;
}

size_t linesSent() {
    size_t lines = 0;
    if (!sim::world().documents.empty()) {
        for (const sim::Page& page : sim::world().documents.back().pages) {
            lines += page.lines.size();
        }
    }
    return lines;
}

std::string translated(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += static_cast<char>(dotpress::translationTable[static_cast<unsigned char>(c)]);
    }
    return out;
}

class TestPrintTest : public LibraryTest {
protected:
    // A selected double-sided printer whose page is `lines` x `columns`; the host's printing area
    // is another, 10 x 20.
    void machine(int16_t lines = 12, int16_t columns = 30, int16_t doubleSided = 1) {
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, columns, lines, doubleSided, 0});
        selectPrinter(u"Braille");
        load();
        uint16_t areaLines = 10, areaColumns = 20;
        ImpSetPrintingArea(&areaLines, &areaColumns);
        owner = sim::addHostWindow();
    }
    os::HWND owner = nullptr;
};

TEST_F(TestPrintTest, SheetIsEmbossedOnThePrintersOwnFormat) {
    struct Case {
        const char* what;
        int32_t ansi, binding;
        int16_t lines, columns, doubleSided; // the printer's format
        dotpress::SheetFormat sheet;         // the format the sheet is laid out for
    };
    // clang-format off
    const Case cases[] = {
        {"ASCII", 0, 0, 12, 30, 1, {12, 30, false, true}},
        {"ANSI", 1, 0, 12, 30, 1, {12, 30, true, true}},
        {"binding on: no margin, the printer's own columns", 0, 1, 12, 30, 0, {12, 30, false, false}},
        {"a printer of 0 lines", 0, 0, 0, 30, 0, {1, 30, false, false}},
        {"a printer of 0 columns", 0, 0, 12, 0, 0, {12, 1, false, false}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(12, c.columns, c.doubleSided);
        lib().selectedRecord().params.lines = c.lines; // a driver reporting none gets 12 at load
        lib().ansiTable = c.ansi;
        lib().binding = c.binding;
        const uint16_t hostLines = lib().areaLines, hostColumns = lib().areaColumns;
        // What the user sees meanwhile: the owner disabled, the progress window up.
        bool ownerDisabled = true, windowUp = true;
        sim::world().userAtKeyboard = [&] {
            if (linesSent() > 0) {
                ownerDisabled = ownerDisabled && !sim::hostWindowEnabled(owner);
                windowUp = windowUp && lib().dialog && sim::findWindow(lib().dialog);
            }
        };
        EXPECT_EQ(ImpImprimirPrueba(owner), 0);
        sim::world().userAtKeyboard = nullptr;
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(windowUp);
        EXPECT_TRUE(sim::hostWindowEnabled(owner)) << "the owner is enabled again";
        EXPECT_EQ(sim::world().activeWindow, owner) << "and has the keyboard back";
        EXPECT_EQ(sim::liveWindows(), 0);

        ASSERT_EQ(sim::world().documents.size(), 1u);
        const sim::Document& doc = sim::world().documents[0];
        EXPECT_EQ(doc.name, u"Hoja de prueba");
        EXPECT_TRUE(doc.ended);
        ASSERT_TRUE(doc.params);
        EXPECT_EQ(doc.params->columns, c.columns) << "the printer is told its own format";
        // The sheet's lines, through the chosen table.
        const uint32_t pages = dotpress::TestSheet::pageCount(c.sheet);
        ASSERT_EQ(doc.pages.size(), pages) << "no empty backs: one copy";
        dotpress::TestSheet sheet(c.sheet);
        std::string text(c.sheet.columns + 1u, '\0');
        for (const sim::Page& page : doc.pages) {
            EXPECT_LE(page.lines.size(), c.sheet.lines);
            for (const sim::TextOut& line : page.lines) {
                ASSERT_TRUE(sheet.next(&text[0]));
                EXPECT_EQ(line.bytes, c.ansi ? text.c_str() : translated(text.c_str()));
                EXPECT_EQ(line.x, 0) << "the lines start where the page does";
            }
        }
        EXPECT_FALSE(sheet.next(&text[0]));

        int ranges = 0;
        for (const sim::ControlMessage& m : sim::world().controlMessages) {
            if (m.dialogTemplate == IDD_PROGRESS && m.message == os::PBM_SETRANGE) {
                EXPECT_EQ(os::HIWORD(static_cast<uintptr_t>(m.lParam)), pages)
                    << "the bar runs over the sheet's pages";
                ++ranges;
            }
        }
        EXPECT_EQ(ranges, 1);

        EXPECT_EQ(lib().areaLines, hostLines) << "the host's area is back";
        EXPECT_EQ(lib().areaColumns, hostColumns);
        const JobSummary s = summary();
        EXPECT_EQ(s.state, JOB_STATE_FINISHED);
        EXPECT_EQ(s.pagesPrinted, pages);
        EXPECT_EQ(s.sheets, c.doubleSided ? (pages + 1) / 2 : pages);
        EXPECT_EQ(s.copiesFinished, 1u);
        EXPECT_EQ(s.lastPage, pages);
        EXPECT_EQ(s.linesPrinted, linesSent());
        EXPECT_EQ(s.linesCut + s.bytesDropped + s.linesIgnored, 0u);
        EXPECT_EQ(s.pagesPlanned, pages);
        EXPECT_EQ(s.copiesPlanned, 1u);
        dotpress::unload();
    }
}

// The user cancels from the window while the library's own loop runs: Esc and Enter through the
// window's dialog manager, Space on the focused button.
TEST_F(TestPrintTest, CancelByKeyStopsTheSheetWhereItStands) {
    for (const os::WORD key : {os::VK_ESCAPE, os::VK_RETURN, os::VK_SPACE}) {
        SCOPED_TRACE(key);
        nextRow();
        machine();
        bool pressed = false;
        sim::world().userAtKeyboard = [&] {
            if (linesSent() == 15 && !pressed) {
                sim::pressKey(key); // on page 2, line 3
                pressed = true;
            }
        };
        EXPECT_EQ(ImpImprimirPrueba(owner), 0);
        sim::world().userAtKeyboard = nullptr;
        EXPECT_EQ(linesSent(), 15u) << "no line after the press";
        EXPECT_TRUE(sim::world().documents.back().aborted);
        EXPECT_TRUE(sim::hostWindowEnabled(owner));
        EXPECT_EQ(sim::liveWindows(), 0);
        const JobSummary s = summary();
        EXPECT_EQ(s.state, JOB_STATE_CANCELLED);
        EXPECT_EQ(s.lastPage, 2u);
        EXPECT_EQ(s.lastCopy, 1u);
        EXPECT_EQ(s.linesPrinted, 15u);
        EXPECT_EQ(s.pagesPrinted, 1u);
        EXPECT_EQ(s.linesIgnored, 0u);
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

// WM_QUIT ends the sheet as it ends a modal loop, and is posted again for the host's own loop;
// the host's other messages reach its windows meanwhile.
TEST_F(TestPrintTest, QuitEndsTheSheetAndReachesTheHostsLoop) {
    struct Case {
        const char* what;
        size_t quitAfter; // lines; quit posted before the call when 0
        size_t lines;
    };
    for (const Case& c : {Case{"before the first line", 0, 0}, Case{"on page 1", 5, 5}}) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        os::PostMessageW(owner, os::WM_USER + 7, 1, 2);
        if (c.quitAfter == 0) {
            os::PostQuitMessage(42);
        }
        sim::world().userAtKeyboard = [&] {
            if (c.quitAfter > 0 && linesSent() == c.quitAfter && !sim::world().quitPending) {
                os::PostQuitMessage(42);
            }
        };
        EXPECT_EQ(ImpImprimirPrueba(owner), 0);
        sim::world().userAtKeyboard = nullptr;
        EXPECT_EQ(linesSent(), c.lines);
        EXPECT_TRUE(sim::world().documents.back().aborted);
        EXPECT_TRUE(sim::world().quitPending) << "WM_QUIT is there for the host's loop";
        EXPECT_EQ(sim::world().quitCode, 42);
        EXPECT_EQ(summary().state, JOB_STATE_CANCELLED);
        ASSERT_EQ(sim::world().hostMessages.size(), 1u) << "the host's message was dispatched";
        EXPECT_EQ(sim::world().hostMessages[0].message, os::WM_USER + 7u);
        EXPECT_EQ(sim::world().hostMessages[0].window, owner);
        EXPECT_TRUE(sim::hostWindowEnabled(owner));
        dotpress::unload();
    }
}

TEST_F(TestPrintTest, RefusalsLeaveNothingBehind) {
    struct Case {
        const char* what;
        bool select, openJob, failDC;
        int startDoc; // 0: the document starts
        int32_t result;
        const char16_t* message;
    };
    const Case cases[] = {
        {"no printer selected", false, false, false, 0, 13, u"Debe seleccionar una impresora."},
        {"a job open", true, true, false, 0, 8, nullptr},
        {"no device context", true, false, true, 0, 6, u"ERROR: CreateDC"},
        {"spooler's general error", true, false, false, -1, 1, nullptr},
        {"other spooler error", true, false, false, -5, 16, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, 30, 12, 0, 0});
        if (c.select) {
            selectPrinter(u"Braille");
        }
        load();
        uint16_t lines = 10, columns = 20;
        ImpSetPrintingArea(&lines, &columns);
        const os::HWND host = sim::addHostWindow();
        if (c.openJob) {
            ASSERT_EQ(ImpAbrirImpresora(nullptr, "host's", jobOptions(1, {{1, 1}})), 0);
            ImpImprimirLinea("a");
        }
        sim::world().printers[0].failCreateDC = c.failDC;
        if (c.startDoc) {
            sim::world().startDocResults = {c.startDoc};
        }
        const size_t documents = sim::world().documents.size();
        EXPECT_EQ(ImpImprimirPrueba(host), c.result);
        EXPECT_EQ(sim::world().documents.size(), documents) << "no sheet";
        ASSERT_EQ(sim::world().messageBoxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            const sim::MessageBox& box = sim::world().messageBoxes[0];
            EXPECT_EQ(box.text, c.message);
            if (!c.select) {
                EXPECT_EQ(box.caption, u"Atención");
                EXPECT_EQ(box.type, os::MB_OK | os::MB_ICONWARNING);
                EXPECT_EQ(box.owner, host);
            }
        }
        EXPECT_EQ(lib().areaLines, 10);
        EXPECT_EQ(lib().areaColumns, 20);
        EXPECT_TRUE(sim::hostWindowEnabled(host));
        EXPECT_EQ(summary().state, c.openJob ? JOB_STATE_OPEN : JOB_STATE_NONE);
        if (c.openJob) {
            EXPECT_EQ(summary().linesPrinted, 1u) << "the open job is untouched";
            ImpCerrarImpresora();
            EXPECT_EQ(sim::world().documents[0].pages.at(0).lines.size(), 1u);
        }
        EXPECT_EQ(sim::liveWindows(), 0);
        dotpress::unload();
    }
}

// The host's window procedures run inside the library's loop and may call the library: a job
// closed from there ends the sheet, a job the host opens there is the host's, and an area set
// there is the host's to keep. The host's window has the keyboard back after the close, unless
// the host had disabled it itself.
TEST_F(TestPrintTest, HostCallsFromItsWindowsWhileTheSheetRuns) {
    for (const int variant : {0, 1, 2}) {
        const bool opensItsOwn = variant > 0, quits = variant == 2;
        SCOPED_TRACE(variant); // closes the sheet; opens its own job, owner disabled; and quits
        nextRow();
        machine();
        os::EnableWindow(owner, !opensItsOwn);
        sim::world().userAtKeyboard = [&] {
            if (linesSent() == 5 && sim::world().documents.size() == 1 && lib().jobOpen()) {
                uint16_t lines = 11, columns = 22;
                ImpSetPrintingArea(&lines, &columns);
                EXPECT_EQ(ImpImprimirPrueba(owner), 8) << "one job at a time";
                ImpCerrarImpresora();
                if (opensItsOwn) {
                    EXPECT_EQ(ImpAbrirImpresora(owner, "host's", jobOptions(1, {{1, 1}})), 0);
                }
                if (quits) {
                    os::PostQuitMessage(0);
                }
            }
        };
        EXPECT_EQ(ImpImprimirPrueba(owner), 0);
        sim::world().userAtKeyboard = nullptr;
        ASSERT_EQ(sim::world().documents.size(), opensItsOwn ? 2u : 1u);
        const sim::Document& sheet = sim::world().documents[0];
        EXPECT_TRUE(sheet.ended);
        EXPECT_EQ(sheet.pages.at(0).lines.size(), 5u) << "nothing after the close";
        EXPECT_EQ(lib().jobOpen(), opensItsOwn) << "the host's job is left to the host";
        EXPECT_EQ(lib().cancelRequested, 0) << "the quit the sheet met is not the host job's";
        EXPECT_EQ(sim::world().quitPending, quits);
        if (opensItsOwn) {
            EXPECT_TRUE(sim::world().documents[1].pages.empty()) << "no line of the sheet in it";
            ImpCerrarImpresora();
        }
        EXPECT_EQ(lib().areaLines, 11);
        EXPECT_EQ(lib().areaColumns, 22);
        EXPECT_EQ(sim::hostWindowEnabled(owner), !opensItsOwn);
        EXPECT_EQ(sim::world().activeWindow, opensItsOwn ? nullptr : owner);
        EXPECT_EQ(sim::liveWindows(), 0);
        dotpress::unload();
    }
}

} // namespace
