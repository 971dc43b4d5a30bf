// The print dialog as a user works it: by keyboard and mouse in the system print dialog with our
// template and hook, on the simulated machine.
#include "library_fixture.h"

#include "dotpress/resources/resource_ids.h"
#include "platform/sim/resources.h"

using namespace dptest;
using sim::user::choose;
using sim::user::escape;
using sim::user::inspect;
using sim::user::press;
using sim::user::tick;
using sim::user::type;

namespace {

struct Range {
    uint32_t first, last;
    bool operator==(const Range& o) const { return first == o.first && last == o.last; }
};

std::vector<Range> rangesOf(const PrintOptions& o) {
    std::vector<Range> out;
    for (int32_t i = 0; i < o.rangeCount && i < MAX_PAGE_RANGES; ++i) {
        out.push_back({o.ranges[i].firstPage, o.ranges[i].lastPage});
    }
    return out;
}

bool allZero(const PrintOptions& o) {
    const auto* b = reinterpret_cast<const uint8_t*>(&o);
    return std::all_of(b, b + sizeof o, [](uint8_t v) { return v == 0; });
}

std::u16string text(os::HWND dialog, int id) {
    const sim::Control* c = sim::findControl(dialog, id);
    return c ? c->text : u"<missing>";
}

} // namespace

class PrintDialogTest : public LibraryTest {
protected:
    // One embosser, selected, with the printing area set as a host would.
    void machine(int16_t doubleSided = 0, int16_t columns = 40, uint16_t areaColumns = 30) {
        sim::Params p;
        p.columns = columns;
        p.doubleSided = doubleSided;
        sim::addBraillePrinter(u"Braille", u"LPT1:", p);
        selectPrinter(u"Braille");
        load();
        uint16_t lines = 25;
        ImpSetPrintingArea(&lines, &areaColumns);
    }

    int32_t run(std::vector<sim::UserStep> steps, int32_t pages, PrintOptions* out) {
        sim::world().script.assign(steps.begin(), steps.end());
        return ImpMostrarDialogoImprimir(reinterpret_cast<void*>(0x1234), out, pages);
    }

    static std::vector<sim::UserStep> pageList(const std::u16string& list,
                                               const std::u16string& copies = u"1") {
        return {tick(IDC_PRINT_PAGES), type(IDC_PRINT_PAGE_LIST, list),
                type(IDC_PRINT_COPIES, copies), press(IDC_PRINT_PRINT)};
    }
};

TEST_F(PrintDialogTest, PageListsBecomeRangesOrTheRightMessage) {
    const std::u16string kFormat =
        u"El formato de los números de página a imprimir no es correcto.";
    const std::u16string kOrder =
        u"La última página de un intervalo debe ser mayor o igual que la primera.";
    struct Case {
        std::u16string list;
        int32_t pages;
        int16_t doubleSided;
        std::u16string copies;
        std::vector<Range> ranges; // empty: the list is refused with `message`
        uint32_t total;
        std::u16string message;
    };
    const Case cases[] = {
        {u"2-6,8,10,15-20", 20, 0, u"1", {{2, 6}, {8, 8}, {10, 10}, {15, 20}}, 13, u""},
        {u"2-6,8", 20, 0, u"2", {{2, 6}, {8, 8}}, 12, u""},
        {u"2-5", 20, 0, u"1", {{2, 6}}, 5, u""},
        {u"2-20", 20, 0, u"1", {{2, 20}}, 19, u""},
        {u"3-19", 19, 0, u"1", {{3, 19}}, 17, u""},
        {u"2-5", 20, 1, u"1", {{1, 6}}, 6, u""},
        {u"4-3", 20, 1, u"1", {{3, 4}}, 2, u""},
        {u"3-4", 20, 1, u"1", {{3, 4}}, 2, u""},
        {u"4", 20, 1, u"3", {{3, 4}}, 6, u""}, // an even page is printed with its sheet
        {u"4", 20, 0, u"1", {{4, 4}}, 1, u""},
        {u"5-", 12, 0, u"1", {{5, 12}}, 8, u""},
        {u"5-,7", 12, 0, u"1", {{5, 12}, {7, 7}}, 9, u""},
        {u"7,7,1-2", 12, 0, u"1", {{7, 7}, {7, 7}, {1, 2}}, 4, u""},
        {u"  2 - 5 , 7  ", 20, 0, u"1", {{2, 6}, {7, 7}}, 6, u""},
        {u"0000000005", 20, 0, u"1", {{5, 5}}, 1, u""},
        {u"0000000000000000000005-6", 20, 0, u"1", {{5, 6}}, 2, u""},
        // Pages times copies past 32 bits stop at the limit.
        {u"1-65535,1-65535", 65535, 0, u"65535", {{1, 65535}, {1, 65535}}, 0xFFFFFFFF, u""},
        {u"1,2,3,4,5,6,7,8,9,1,2,3,4",
         20,
         0,
         u"1",
         {{1, 1},
          {2, 2},
          {3, 3},
          {4, 4},
          {5, 5},
          {6, 6},
          {7, 7},
          {8, 8},
          {9, 9},
          {1, 1},
          {2, 2},
          {3, 3},
          {4, 4}},
         13,
         u""},
        {u"", 20, 0, u"1", {}, 0, u"Debe introducir las páginas que desee imprimir."},
        {u"   ", 20, 0, u"1", {}, 0, kFormat},
        {u"1 2", 20, 0, u"1", {}, 0, kFormat},
        {u"1\t2", 20, 0, u"1", {}, 0, kFormat},
        {u"1,\t2", 20, 0, u"1", {}, 0, kFormat}, // a tab is no space, also after a comma
        {u"\t1", 20, 0, u"1", {}, 0, kFormat},
        {u"1-\n", 20, 0, u"1", {}, 0, kFormat},
        {u"1,\x01"
         u"2",
         20,
         0,
         u"1",
         {},
         0,
         kFormat},
        {u",1", 20, 0, u"1", {}, 0, kFormat},
        {u"1,", 20, 0, u"1", {}, 0, kFormat},
        {u"1,,2", 20, 0, u"1", {}, 0, kFormat},
        {u"-3", 20, 0, u"1", {}, 0, kFormat},
        {u"1-2-3", 20, 0, u"1", {}, 0, kFormat},
        {u"1-2 3", 20, 0, u"1", {}, 0, kFormat},
        {u"a", 20, 0, u"1", {}, 0, kFormat},
        {u"2-b", 20, 0, u"1", {}, 0, kFormat},
        {u"0", 10, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 10"},
        {u"11", 10, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 10"},
        {u"5-11", 10, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 10"},
        {u"5-0", 10, 0, u"1", {}, 0, kOrder}, // the order is checked before the maximum
        {u"5-3", 10, 0, u"1", {}, 0, kOrder},
        {u"0-", 10, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 10"},
        // Digit runs beyond 32 bits are out of range, never a wrapped small number.
        {u"4294967301", 10, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 10"},
        {u"1-4294967298", 10, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 10"},
        {u"18446744073709551621",
         10,
         0,
         u"1",
         {},
         0,
         u"El número de página debe estar entre 1 y 10"},
        // Only the low 16 bits of the page count are the maximum page.
        {u"21", 0x10014, 0, u"1", {}, 0, u"El número de página debe estar entre 1 y 20"},
        {u"9", 40000, 0, u"1", {{9, 9}}, 1, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list.begin(), c.list.end()));
        nextRow();
        machine(c.doubleSided);
        PrintOptions o;
        os::HWND dialog = nullptr;
        int focusedAfter = 0;
        auto steps = pageList(c.list, c.copies);
        steps.push_back(inspect([&](os::HWND d) {
            dialog = d;
            focusedAfter = sim::focusedControl(d) ? sim::focusedControl(d)->id : 0;
        }));
        const int32_t result = run(steps, c.pages, &o);
        if (!c.ranges.empty()) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(o.rangeKind, RANGE_PAGES);
            EXPECT_EQ(rangesOf(o), c.ranges);
            EXPECT_EQ(o.totalPages, c.total);
            EXPECT_TRUE(sim::world().messageBoxes.empty());
            EXPECT_EQ(dialog, nullptr) << "the dialog ended on Imprimir";
        } else {
            EXPECT_EQ(result, 1) << "the dialog stayed open; Esc cancelled it";
            EXPECT_TRUE(allZero(o));
            ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
            const sim::MessageBox& box = sim::world().messageBoxes[0];
            EXPECT_EQ(box.text, c.message);
            EXPECT_EQ(box.caption, u"Atención");
            EXPECT_EQ(box.type, os::MB_OK | os::MB_ICONINFORMATION);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(box.owner, dialog);
            EXPECT_EQ(focusedAfter, IDC_PRINT_PAGE_LIST) << "back to the list to mend it";
        }
        dotpress::unload();
    }
}

TEST_F(PrintDialogTest, ResultsAndTheHostsBlock) {
    // No printer: the message comes first, even for a null block.
    sim::addPrinter(u"Laser", u"LPT2:", u"Generic");
    load();
    EXPECT_EQ(ImpMostrarDialogoImprimir(reinterpret_cast<void*>(0x77), nullptr, 5), 13);
    ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
    EXPECT_EQ(sim::world().messageBoxes[0].text, u"Debe seleccionar una impresora.");
    EXPECT_EQ(sim::world().messageBoxes[0].owner, reinterpret_cast<os::HWND>(0x77));
    EXPECT_EQ(sim::world().messageBoxes[0].type, os::MB_OK | os::MB_ICONWARNING);
    EXPECT_TRUE(sim::world().printDialogs.empty());
    nextRow();
    machine();
    EXPECT_EQ(ImpMostrarDialogoImprimir(nullptr, nullptr, 5), 7);
    EXPECT_TRUE(sim::world().messageBoxes.empty());
    EXPECT_TRUE(sim::world().printDialogs.empty());

    PrintOptions o;
    std::memset(&o, 0xAB, sizeof o);
    EXPECT_EQ(run({escape()}, 10, &o), 1);
    EXPECT_TRUE(allZero(o));
    std::memset(&o, 0xAB, sizeof o);
    EXPECT_EQ(run({sim::user::closeBox()}, 10, &o), 1);
    EXPECT_TRUE(allZero(o));
    std::memset(&o, 0xAB, sizeof o);
    EXPECT_EQ(run({press(IDC_PRINT_CANCEL)}, 10, &o), 1);
    EXPECT_TRUE(allZero(o));

    EXPECT_EQ(run({type(IDC_PRINT_COPIES, u"2"), tick(IDC_PRINT_COLLATE), tick(IDC_PRINT_TO_FILE),
                   press(IDC_PRINT_PRINT)},
                  10, &o),
              0);
    EXPECT_EQ(o.rangeKind, RANGE_ALL);
    EXPECT_EQ(rangesOf(o), (std::vector<Range>{{1, 10}}));
    EXPECT_EQ(o.copies, 2u);
    EXPECT_EQ(o.totalPages, 20u);
    EXPECT_EQ(o.collate, 1);
    EXPECT_EQ(o.printToFile, 1);
    EXPECT_EQ(o.adjustBothSides, 1);

    // The structure the system was handed.
    const os::PRINTDLGW& pd = sim::world().printDialogs.back();
    EXPECT_EQ(pd.lStructSize, sizeof(os::PRINTDLGW));
    EXPECT_EQ(pd.Flags, 0x205000u);
    EXPECT_EQ(pd.hwndOwner, reinterpret_cast<os::HWND>(0x1234));
    EXPECT_EQ(pd.nMinPage, 1);
    EXPECT_EQ(pd.nMaxPage, 10);
    EXPECT_EQ(pd.nCopies, 0);
    EXPECT_EQ(pd.hDevMode, nullptr);
    EXPECT_EQ(pd.hDevNames, nullptr);
    EXPECT_EQ(pd.lpPrintTemplateName, os::MAKEINTRESOURCEW(IDD_PRINT));
    EXPECT_EQ(run({type(IDC_PRINT_COPIES, u"65538"), press(IDC_PRINT_PRINT)}, 65535, &o), 0);
    EXPECT_EQ(o.totalPages, 0xFFFFFFFFu) << "all pages times copies stop at the limit";
}

TEST_F(PrintDialogTest, CurrentPageLeavesNothingFromAnEarlierRun) {
    machine();
    PrintOptions o;
    ASSERT_EQ(run(pageList(u"3-5", u"2"), 10, &o), 0);
    ASSERT_EQ(o.totalPages, 8u);
    ASSERT_EQ(
        run({tick(IDC_PRINT_CURRENT_PAGE), type(IDC_PRINT_COPIES, u"3"), press(IDC_PRINT_PRINT)},
            10, &o),
        0);
    EXPECT_EQ(o.rangeKind, RANGE_CURRENT_PAGE);
    EXPECT_EQ(o.rangeCount, 1);
    EXPECT_EQ(rangesOf(o), (std::vector<Range>{{0, 0}}));
    EXPECT_EQ(o.totalPages, 3u);
}

TEST_F(PrintDialogTest, AllPagesCaptionAndCollateBoxFollowTheDocumentAndCopies) {
    machine();
    struct Case {
        int32_t pages;
        std::u16string caption;
    };
    for (const Case& c :
         {Case{1, u"&Todo"}, Case{2, u"&Las 2 páginas"}, Case{250, u"&Las 250 páginas"}}) {
        std::u16string caption;
        bool pagesButtonEnabled = false;
        PrintOptions o;
        run({inspect([&](os::HWND d) {
                 caption = text(d, IDC_PRINT_ALL);
                 pagesButtonEnabled = sim::findControl(d, IDC_PRINT_PAGES)->enabled;
             }),
             escape()},
            c.pages, &o);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(pagesButtonEnabled, c.pages > 1) << "one page leaves no page list to type";
    }

    struct Copies {
        std::u16string typed;
        bool shown;
    };
    for (const Copies& c : {Copies{u"3", true}, Copies{u"2", true}, Copies{u"1", false},
                            Copies{u"0", false}, Copies{u"", false}}) {
        bool shown = !c.shown;
        PrintOptions o;
        run({type(IDC_PRINT_COPIES, u"5"), type(IDC_PRINT_COPIES, c.typed),
             inspect([&](os::HWND d) { shown = sim::findControl(d, IDC_PRINT_COLLATE)->visible; }),
             escape()},
            5, &o);
        EXPECT_EQ(shown, c.shown) << std::string(c.typed.begin(), c.typed.end());
    }
    // An empty copies field prints nothing.
    PrintOptions o;
    ASSERT_EQ(run({type(IDC_PRINT_COPIES, u""), press(IDC_PRINT_PRINT)}, 5, &o), 0);
    EXPECT_EQ(o.copies, 0u);
    EXPECT_EQ(o.totalPages, 0u);
}

TEST_F(PrintDialogTest, BindingNeedsTwoSpareColumns) {
    sim::Params narrow;
    narrow.columns = 31;
    sim::Params wide;
    wide.columns = 40;
    sim::addBraillePrinter(u"Narrow", u"LPT1:", narrow);
    sim::addBraillePrinter(u"Wide", u"LPT2:", wide);
    selectPrinter(u"Narrow");
    sim::setValue(os::HKEY_CURRENT_USER, kKey, u"Encuadernar", os::REG_DWORD, {1, 0, 0, 0});
    load();
    uint16_t lines = 20, columns = 30;
    ImpSetPrintingArea(&lines, &columns);
    ASSERT_EQ(lib().binding, 1);

    bool enabled = true;
    os::UINT check = 1;
    auto look = [&](os::HWND d) {
        enabled = sim::findControl(d, IDC_PRINT_BINDING)->enabled;
        check = sim::findControl(d, IDC_PRINT_BINDING)->check;
    };
    PrintOptions o;
    EXPECT_EQ(run({inspect(look), escape()}, 5, &o), 1);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(check, 0u);
    EXPECT_EQ(lib().binding, 0) << "switched off, and it stays off after Cancel";

    reload();
    EXPECT_EQ(lib().binding, 0) << "and across loads";
    ImpSetPrintingArea(&lines, &columns);

    // A wider printer enables the box again, but leaves it clear.
    EXPECT_EQ(run({choose(IDC_PRINT_PRINTER_LIST, 1), inspect(look), escape()}, 5, &o), 1);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(check, 0u);
    EXPECT_EQ(lib().selected, 0u) << "Cancel keeps the selected printer";

    // Ticking it is what turns binding on, and back to the narrow one turns it off again.
    EXPECT_EQ(run({choose(IDC_PRINT_PRINTER_LIST, 1), tick(IDC_PRINT_BINDING), escape()}, 5, &o),
              1);
    EXPECT_EQ(lib().binding, 1);
    EXPECT_EQ(run({choose(IDC_PRINT_PRINTER_LIST, 1), choose(IDC_PRINT_PRINTER_LIST, 0),
                   inspect(look), escape()},
                  5, &o),
              1);
    EXPECT_EQ(lib().binding, 0);
    EXPECT_FALSE(enabled);
}

TEST_F(PrintDialogTest, PrinterFactsFollowTheChosenPrinter) {
    sim::Params single;
    single.lines = 27;
    single.columns = 38;
    sim::Params both;
    both.doubleSided = 1;
    sim::addBraillePrinter(u"Single", u"LPT1:", single);
    sim::addBraillePrinter(u"Both", u"LPT2:", both);
    sim::addPrinter(u"Laser", u"LPT3:", u"Generic");
    selectPrinter(u"Single");
    load();
    lib().records[2].params.lines = 0; // a driver that gave no page size
    lib().records[2].params.columns = 0;

    struct Seen {
        std::vector<std::u16string> printers;
        int selection = -1;
        std::u16string lines, columns, type;
        bool bothSidesEnabled = false;
        os::UINT bothSides = 0;
    };
    auto see = [](Seen* s) {
        return inspect([s](os::HWND d) {
            const sim::Control* list = sim::findControl(d, IDC_PRINT_PRINTER_LIST);
            s->printers = list->items;
            s->selection = list->selection;
            s->lines = text(d, IDC_PRINT_LINES);
            s->columns = text(d, IDC_PRINT_COLUMNS);
            s->type = text(d, IDC_PRINT_TYPE);
            s->bothSidesEnabled = sim::findControl(d, IDC_PRINT_BOTH_SIDES)->enabled;
            s->bothSides = sim::findControl(d, IDC_PRINT_BOTH_SIDES)->check;
        });
    };
    Seen first, second, third, fourth;
    PrintOptions o;
    run({see(&first), choose(IDC_PRINT_PRINTER_LIST, 1), see(&second),
         choose(IDC_PRINT_PRINTER_LIST, 2), see(&third), choose(IDC_PRINT_PRINTER_LIST, 1),
         see(&fourth), escape()},
        5, &o);
    EXPECT_EQ(first.printers, (std::vector<std::u16string>{u"Single", u"Both", u"Laser"}));
    EXPECT_EQ(first.selection, 0);
    EXPECT_EQ(first.lines, u"27");
    EXPECT_EQ(first.columns, u"38");
    EXPECT_EQ(first.type, u"Braille Embosser") << "the system's own facts of the printer";
    EXPECT_FALSE(first.bothSidesEnabled);
    EXPECT_EQ(first.bothSides, 0u);
    EXPECT_TRUE(second.bothSidesEnabled);
    EXPECT_EQ(second.bothSides, 1u);
    EXPECT_EQ(third.lines, u"") << "no page size shows as empty, not 0";
    EXPECT_EQ(third.columns, u"");
    // From the double-sided printer to a single-sided one: the box is unticked as well as greyed,
    // so that no one hears a ticked box that means nothing; back again, it shows the printer's.
    EXPECT_FALSE(third.bothSidesEnabled);
    EXPECT_EQ(third.bothSides, 0u);
    EXPECT_TRUE(fourth.bothSidesEnabled);
    EXPECT_EQ(fourth.bothSides, 1u);
    EXPECT_EQ(lib().records[1].adjustBothSides, 1) << "the printer's own choice is kept";
}

TEST_F(PrintDialogTest, PaperMessageKeepsTheDialogOpen) {
    sim::Params small;
    small.lines = 20;
    small.columns = 30;
    sim::addBraillePrinter(u"Small", u"LPT1:", small);
    sim::addBraillePrinter(u"Large", u"LPT2:", sim::Params{});
    selectPrinter(u"Large");
    load();
    uint16_t lines = 25, columns = 35;
    ImpSetPrintingArea(&lines, &columns);

    PrintOptions o;
    bool stillOpen = false;
    EXPECT_EQ(run({choose(IDC_PRINT_PRINTER_LIST, 0), press(IDC_PRINT_PRINT),
                   inspect([&](os::HWND d) { stillOpen = sim::findWindow(d) != nullptr; }),
                   choose(IDC_PRINT_PRINTER_LIST, 1), press(IDC_PRINT_PRINT)},
                  5, &o),
              0);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
    EXPECT_EQ(sim::world().messageBoxes[0].text,
              u"Los parámetros de conversión superan el tamaño de papel definido.\n"
              u"Seleccione otra impresora o cambie el formato del documento.");
    EXPECT_EQ(sim::world().messageBoxes[0].type, os::MB_OK | os::MB_ICONWARNING);
    EXPECT_NE(sim::world().messageBoxes[0].owner, reinterpret_cast<os::HWND>(0x1234));
    EXPECT_EQ(lib().selected, 1u);

    // A driver that gave no page size always fits; Imprimir makes the chosen printer selected.
    lib().records[0].params.lines = 0;
    EXPECT_EQ(run({choose(IDC_PRINT_PRINTER_LIST, 0), press(IDC_PRINT_PRINT)}, 5, &o), 0);
    EXPECT_EQ(lib().selected, 0u);
}

TEST_F(PrintDialogTest, CancelKeepsTheSharedChoices) {
    machine(1);
    PrintOptions o;
    ASSERT_EQ(lib().ansiTable, 0);
    ASSERT_EQ(lib().records[0].adjustBothSides, 1);
    const int32_t bindingBefore = lib().binding;
    EXPECT_EQ(run({choose(IDC_PRINT_TABLE_LIST, 1), tick(IDC_PRINT_BOTH_SIDES),
                   tick(IDC_PRINT_BINDING), escape()},
                  5, &o),
              1);
    EXPECT_EQ(lib().ansiTable, 1);
    EXPECT_EQ(lib().records[0].adjustBothSides, 0);
    EXPECT_EQ(lib().binding, bindingBefore ? 0 : 1);

    // The next dialog shows them.
    int table = -1;
    os::UINT adjust = 1;
    run({inspect([&](os::HWND d) {
             table = sim::findControl(d, IDC_PRINT_TABLE_LIST)->selection;
             adjust = sim::findControl(d, IDC_PRINT_BOTH_SIDES)->check;
         }),
         press(IDC_PRINT_PRINT)},
        5, &o);
    EXPECT_EQ(table, 1);
    EXPECT_EQ(adjust, 0u);
    EXPECT_EQ(o.adjustBothSides, 0);

    // They last until the library is unloaded: each load starts on ASCII and adjusted sides.
    reload();
    EXPECT_EQ(lib().ansiTable, 0);
    EXPECT_EQ(lib().records[0].adjustBothSides, 1);
}

TEST_F(PrintDialogTest, EveryDialogStartsFromAllPages) {
    machine();
    PrintOptions o;
    ASSERT_EQ(run(pageList(u"2-3"), 10, &o), 0);
    bool listEnabled = true;
    std::u16string listText = u"?";
    os::UINT all = 0;
    int limit = 0;
    ASSERT_EQ(run({inspect([&](os::HWND d) {
                       const sim::Control* edit = sim::findControl(d, IDC_PRINT_PAGE_LIST);
                       listEnabled = edit->enabled;
                       listText = edit->text;
                       limit = edit->textLimit;
                       all = sim::findControl(d, IDC_PRINT_ALL)->check;
                   }),
                   press(IDC_PRINT_PRINT)},
                  10, &o),
              0);
    EXPECT_FALSE(listEnabled);
    EXPECT_EQ(listText, u"");
    EXPECT_EQ(limit, 25);
    EXPECT_EQ(all, 1u);
    EXPECT_EQ(o.rangeKind, RANGE_ALL);
    EXPECT_EQ(rangesOf(o), (std::vector<Range>{{1, 10}}));

    // Going back to all pages empties and locks the list; the user can't type a 26th character.
    std::u16string typed;
    ASSERT_EQ(run({tick(IDC_PRINT_PAGES), type(IDC_PRINT_PAGE_LIST, u"1,2,3,4,5,6,7,8,9,10,11,12"),
                   inspect([&](os::HWND d) { typed = text(d, IDC_PRINT_PAGE_LIST); }),
                   tick(IDC_PRINT_ALL), type(IDC_PRINT_PAGE_LIST, u"4"), press(IDC_PRINT_PRINT)},
                  12, &o),
              0);
    EXPECT_EQ(typed.size(), 25u);
    EXPECT_EQ(sim::world().refusedSteps, 1) << "the disabled list takes no typing";
    EXPECT_EQ(o.rangeKind, RANGE_ALL);
}

TEST_F(PrintDialogTest, KeyboardAloneReachesEveryChoice) {
    using namespace sim::user;
    machine();
    PrintOptions o;
    // Alt+L to the range group, Down twice to "Páginas", Tab into the list,
    // Alt+C to the copies, Enter prints.
    int focusedOnStart = 0;
    ASSERT_EQ(run({inspect([&](os::HWND d) {
                       const sim::Control* c = sim::focusedControl(d);
                       focusedOnStart = c ? c->id : 0;
                   }),
                   mnemonic(u'L'), arrow(1), arrow(1), tab(), keys(u"2-6,8"), mnemonic(u'c'),
                   keys(u"2"), enter()},
                  20, &o),
              0);
    EXPECT_EQ(focusedOnStart, IDC_PRINT_PRINTER_LIST);
    EXPECT_EQ(sim::world().refusedSteps, 0);
    EXPECT_EQ(o.rangeKind, RANGE_PAGES);
    EXPECT_EQ(rangesOf(o), (std::vector<Range>{{2, 6}, {8, 8}}));
    EXPECT_EQ(o.copies, 2u);
    EXPECT_EQ(o.totalPages, 12u);
}

// Once "Páginas" is chosen, a Tab round from the copies field hears every stop by its own name;
// the page list, whose template puts the "Páginas" button before it, is named for it with the
// example as its description, and not after the "Columnas:" label far above it.
TEST_F(PrintDialogTest, EveryStopIsHeardByItsOwnName) {
    using namespace sim::user;
    machine();
    struct Stop {
        int id;
        std::u16string name, description;
        bool operator==(const Stop& o) const {
            return id == o.id && name == o.name && description == o.description;
        }
    };
    std::vector<Stop> heard;
    std::vector<sim::UserStep> steps = {mnemonic(u'L'), arrow(1),       arrow(1),  tab(),
                                        keys(u"2-6,8"), mnemonic(u'c'), keys(u"2")};
    for (int i = 0; i < 11; ++i) {
        steps.push_back(inspect([&](os::HWND d) {
            const sim::Control* c = sim::focusedControl(d);
            ASSERT_NE(c, nullptr);
            const sim::Heard h = sim::heard(c->handle);
            heard.push_back({c->id, h.name, h.description});
        }));
        steps.push_back(tab());
    }
    steps.push_back(escape());
    PrintOptions o;
    EXPECT_EQ(run(steps, 20, &o), 1);
    EXPECT_EQ(sim::world().refusedSteps, 0);
    const std::vector<Stop> expected = {
        {IDC_PRINT_COPIES, u"Número de copias:", u""},
        {IDC_PRINT_COLLATE, u"Intercalar", u""},
        {IDC_PRINT_BINDING, u"Activar la encuadernación", u""},
        {IDC_PRINT_PRINT, u"Imprimir", u""},
        {IDC_PRINT_CANCEL, u"Cancelar", u""},
        {IDC_PRINT_SHEETS, u"Papel:", u""},        // and its value: "Se usarán 12 hojas de papel."
        {IDC_PRINT_PRINTER_LIST, u"Braille", u""}, // a drop-down list by its entry, as Wine
        {IDC_PRINT_TABLE_LIST, u"ASCII", u""},
        {IDC_PRINT_TO_FILE, u"Imprimir a fichero", u""},
        {IDC_PRINT_PAGES, u"Páginas", u""},
        {IDC_PRINT_PAGE_LIST, u"Páginas", u"Ejemplo: 2-6,8,10,15-20"},
    };
    EXPECT_EQ(heard, expected);
}

TEST_F(PrintDialogTest, AHostPrintsWhatTheUserChoseToTheLastLine) {
    sim::Params p;
    p.lines = 20;
    sim::addBraillePrinter(u"Braille", u"LPT1:", p);
    selectPrinter(u"Braille");
    load();
    // The host's calling order: area, dialog, job, every line of every chosen page, close.
    uint16_t lines = 10, columns = 30;
    ImpSetPrintingArea(&lines, &columns);
    struct Case {
        bool collate;
        std::vector<int> pages; // the document pages as the embosser must receive them
    };
    // "2-3" closes on the even page 4: a range ends at the end of a sheet.
    for (const Case& c :
         {Case{true, {2, 2, 3, 3, 4, 4, 5, 5}}, Case{false, {2, 3, 4, 5, 2, 3, 4, 5}}}) {
        sim::world().documents.clear();
        std::vector<sim::UserStep> steps = {tick(IDC_PRINT_PAGES),
                                            type(IDC_PRINT_PAGE_LIST, u"2-3,5"),
                                            type(IDC_PRINT_COPIES, u"2")};
        if (c.collate) {
            steps.push_back(tick(IDC_PRINT_COLLATE));
        }
        steps.push_back(press(IDC_PRINT_PRINT));
        PrintOptions o;
        ASSERT_EQ(run(steps, 5, &o), 0);
        ASSERT_EQ(ImpAbrirImpresora(nullptr, "Documento", o), 0);
        auto send = [](uint32_t page) {
            for (int line = 1; line <= 10; ++line) {
                const std::string text = "p" + std::to_string(page) + " l" + std::to_string(line);
                ImpImprimirLinea(text.c_str());
            }
        };
        for (uint32_t outer = 0; outer < (o.collate ? 1u : o.copies); ++outer) {
            for (int32_t r = 0; r < o.rangeCount; ++r) {
                for (uint32_t page = o.ranges[r].firstPage; page <= o.ranges[r].lastPage; ++page) {
                    for (uint32_t inner = 0; inner < (o.collate ? o.copies : 1u); ++inner) {
                        send(page);
                    }
                }
            }
        }
        EXPECT_EQ(ImpCerrarImpresora(), 0);
        ASSERT_EQ(sim::world().documents.size(), 1u);
        const sim::Document& doc = sim::world().documents[0];
        EXPECT_TRUE(doc.ended);
        std::vector<int> received;
        for (const sim::Page& page : doc.pages) {
            ASSERT_EQ(page.lines.size(), 10u);
            EXPECT_EQ(page.lines[9].bytes.substr(0, 2), page.lines[0].bytes.substr(0, 2))
                << "a page holds the lines of one document page";
            received.push_back(page.lines[0].bytes[1] - '0');
        }
        EXPECT_EQ(received, c.pages);
    }
}

// The template the DLL ships (the simulator reads the same compiled resources), control by
// control in tab order, as the dialog's users rely on it: ids, texts, places, kinds, tab stops.
TEST_F(PrintDialogTest, TemplateIsTheOneTheDialogIsBuiltFrom) {
    load();
    const sim::Resource* r =
        sim::findResource(dotpress::moduleHandle, sim::kResourceDialog, IDD_PRINT);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->language, 3082);
    sim::DialogTemplate t;
    ASSERT_TRUE(sim::parseDialogTemplate(r->data, r->size, t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.title, u"Imprimir");
    EXPECT_EQ(t.typeface, u"MS Sans Serif");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ((std::vector<int>{t.x, t.y, t.cx, t.cy}), (std::vector<int>{32, 32, 289, 250}));
    constexpr uint32_t kFrame = 0x80000000 | 0x00C00000 | 0x00080000 | 0x0080 | 0x0004 | 0x2000;
    EXPECT_EQ(t.style & kFrame, kFrame) << "popup, caption, system menu, modal frame, 3-D, help";

    constexpr uint32_t kTab = 0x00010000, kGroup = 0x00020000, kBorder = 0x00800000;
    constexpr uint32_t kReadOnly = 0x0800, kNumber = 0x2000, kCenter = 0x0001, kNoPrefix = 0x80;
    constexpr uint32_t kVScroll = 0x00200000, kDropList = 0x0003, kSort = 0x0100;
    struct Want {
        int id;
        const char16_t* cls;
        const char16_t* text;
        int x, y, cx, cy;
        uint32_t kindMask, kind, required, forbidden;
    };
    const Want want[] = {
        {1075, u"Button", u"Impresora", 6, 4, 276, 96, 0xF, 7, 0, kTab},
        {1093, u"Static", u"&Nombre:", 17, 17, 36, 8, 0x1F, 0, 0, kTab},
        {1139, u"ComboBox", u"", 59, 15, 144, 56, 0x3, kDropList, kVScroll | kTab, kSort},
        {-1, u"Static", u"La impresora está usando una tabla:", 16, 33, 121, 8, 0x1F, 0, 0, 0},
        {1019, u"ComboBox", u"", 142, 31, 61, 44, 0x3, kDropList, kTab, kSort},
        {1040, u"Button", u"Imprimir a &fichero", 206, 31, 68, 12, 0xF, 3, kGroup | kTab, 0},
        {1095, u"Static", u"Estado:", 15, 50, 39, 10, 0x1F, 0, kNoPrefix, 0},
        {1099, u"Edit", u"", 57, 50, 36, 12, 0, 0, kReadOnly, kBorder | kTab},
        {1094, u"Static", u"Tipo:", 15, 62, 39, 10, 0x1F, 0, kNoPrefix, 0},
        {1098, u"Edit", u"", 57, 62, 219, 12, 0, 0, kReadOnly, kBorder | kTab},
        {1097, u"Static", u"Ubicación:", 15, 74, 39, 10, 0x1F, 0, kNoPrefix, 0},
        {1101, u"Edit", u"", 57, 74, 219, 12, 0, 0, kReadOnly, kBorder | kTab},
        {1096, u"Static", u"Comentario:", 15, 86, 39, 10, 0x1F, 0, kNoPrefix, 0},
        {1100, u"Edit", u"", 57, 86, 219, 12, 0, 0, kReadOnly, kBorder | kTab},
        {1104, u"Static", u"Líneas:", 151, 50, 25, 10, 0x1F, 0, kNoPrefix, 0},
        {1002, u"Edit", u"", 179, 50, 23, 12, 0x3, kCenter, kReadOnly | kNumber, kTab},
        {1106, u"Static", u"Columnas:", 207, 50, 39, 10, 0x1F, 0, kNoPrefix, 0},
        {1003, u"Edit", u"", 243, 50, 23, 12, 0x3, kCenter, kReadOnly | kNumber, kTab},
        {1072, u"Button", u"Intervalo de páginas", 6, 103, 144, 66, 0xF, 7, 0, kTab},
        {1056, u"Button", u"&Todo", 12, 111, 64, 12, 0xF, 9, kGroup | kTab, 0},
        {1057, u"Button", u"&Página actual", 12, 126, 59, 12, 0xF, 9, 0, kGroup | kTab},
        {1058, u"Button", u"Páginas", 12, 142, 38, 10, 0xF, 9, 0, kGroup | kTab},
        {1014, u"Edit", u"", 53, 140, 89, 14, 0, 0, kBorder | kTab, kReadOnly},
        {-1, u"Static", u"Ejemplo: 2-6,8,10,15-20", 19, 158, 113, 8, 0x1F, 0, 0, 0},
        {1073, u"Button", u"Copias", 155, 103, 127, 65, 0xF, 7, 0, kTab},
        {1092, u"Static", u"Número de &copias:", 171, 119, 68, 8, 0x1F, 0, 0, 0},
        {1154, u"Edit", u"", 243, 116, 32, 12, 0, 0, kNumber | kBorder | kGroup | kTab, 0},
        {1086, u"Static", u"", 173, 132, 20, 20, 0x1F, 3, 0x200, 0},
        {1041, u"Button", u"I&ntercalar", 233, 140, 44, 12, 0xF, 3, kGroup | kTab, 0},
        {-1, u"Button", u"Impresión a doble cara", 6, 172, 144, 30, 0xF, 7, 0, 0},
        {1008, u"Button", u"Ajustar las dos caras de la página", 13, 185, 129, 10, 0xF, 3, kTab, 0},
        {-1, u"Button", u"Encuadernación", 155, 172, 127, 30, 0xF, 7, 0, 0},
        {1016, u"Button", u"Activar la encuadernación", 161, 185, 99, 10, 0xF, 3, kTab, 0},
        {1011, u"Button", u"Imprimir", 172, 206, 50, 14, 0xF, 1, kTab, 0},
        {2, u"Button", u"Cancelar", 232, 206, 48, 14, 0xF, 0, kTab, 0},
        {1300, u"Static", u"Pap&el:", 8, 209, 24, 8, 0x1F, 0, 0, kTab},
        {1301, u"Edit", u"", 34, 207, 134, 12, 0, 0, kReadOnly | kTab, kBorder},
        {1302, u"Button", u"C&ontinuar el trabajo cancelado", 8, 226, 274, 20, 0xF, 3, kTab, 0},
    };
    ASSERT_EQ(t.items.size(), std::size(want));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const sim::DialogItem& got = t.items[i];
        const Want& w = want[i];
        SCOPED_TRACE(w.id);
        EXPECT_EQ(got.id, w.id);
        auto folded = [](std::u16string c) {
            for (auto& u : c) {
                u = (u >= u'a' && u <= u'z') ? static_cast<char16_t>(u - 32) : u;
            }
            return c;
        };
        EXPECT_EQ(folded(got.className), folded(w.cls)) << "class names match in any case";
        EXPECT_EQ(got.text, w.text);
        EXPECT_EQ((std::vector<int>{got.x, got.y, got.cx, got.cy}),
                  (std::vector<int>{w.x, w.y, w.cx, w.cy}));
        EXPECT_EQ(got.style & w.kindMask, w.kind);
        EXPECT_EQ(got.style & w.required, w.required);
        EXPECT_EQ(got.style & w.forbidden, 0u);
        EXPECT_EQ(got.style & 0x18000000, 0x10000000u) << "visible and enabled";
    }
}

TEST_F(PrintDialogTest, OpensOnTheSelectedPrinterAndImprimirKeepsIt) {
    for (const char16_t* chosen : {u"Segunda", u"Tercera"}) {
        SCOPED_TRACE(std::string(chosen, chosen + 3));
        nextRow();
        sim::Params first, second, third;
        second.lines = 27;
        third.lines = 26;
        sim::addBraillePrinter(u"Primera", u"LPT1:", first);
        sim::addBraillePrinter(u"Segunda", u"LPT2:", second);
        sim::addBraillePrinter(u"Tercera", u"LPT3:", third);
        selectPrinter(chosen);
        load();
        const uint32_t index = lib().selected;
        ASSERT_NE(index, 0u);
        lib().areaLines = 20;
        lib().areaColumns = 30;
        int selection = -1;
        std::u16string lines;
        PrintOptions o;
        EXPECT_EQ(run({inspect([&](os::HWND d) {
                           selection = sim::findControl(d, IDC_PRINT_PRINTER_LIST)->selection;
                           lines = text(d, IDC_PRINT_LINES);
                       }),
                       press(IDC_PRINT_PRINT)},
                      5, &o),
                  0);
        EXPECT_EQ(selection, static_cast<int>(index));
        EXPECT_EQ(lines, index == 1 ? u"27" : u"26");
        EXPECT_EQ(lib().selected, index);
        dotpress::unload();
    }
}

TEST_F(PrintDialogTest, BindingAndThePaperCheckAtTheirLimits) {
    struct Case {
        const char* what;
        int16_t lines, columns;          // the printer's page
        uint16_t areaLines, areaColumns; // the host's printing area
        bool binding;                    // the binding box usable
        bool fits;                       // Imprimir ends the dialog without the paper message
    };
    const Case cases[] = {
        {"two spare columns", 29, 32, 20, 30, true, true},
        {"one spare column", 29, 31, 20, 30, false, true},
        {"as tall and as wide as the page", 29, 40, 29, 40, false, true},
        {"a line too tall", 29, 40, 30, 38, true, false},
        {"a column too wide", 29, 40, 20, 41, false, false},
        {"a printer of 0 columns", 29, 0, 25, 99, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        sim::Params p;
        p.lines = c.lines;
        p.columns = c.columns;
        sim::addBraillePrinter(u"Braille", u"LPT1:", p);
        selectPrinter(u"Braille");
        load();
        lib().areaLines = c.areaLines;
        lib().areaColumns = c.areaColumns;
        bool binding = !c.binding;
        PrintOptions o;
        const int32_t result = run({inspect([&](os::HWND d) {
                                        binding = sim::findControl(d, IDC_PRINT_BINDING)->enabled;
                                    }),
                                    press(IDC_PRINT_PRINT)},
                                   5, &o);
        EXPECT_EQ(binding, c.binding);
        EXPECT_EQ(result, c.fits ? 0 : 1);
        EXPECT_EQ(sim::world().messageBoxes.size(), c.fits ? 0u : 1u);
        dotpress::unload();
    }
}

TEST_F(PrintDialogTest, BothSidesTickedAfterASwitchBelongsToTheChosenPrinter) {
    sim::Params both;
    both.doubleSided = 1;
    sim::addBraillePrinter(u"Uno", u"LPT1:", both);
    sim::addBraillePrinter(u"Dos", u"LPT2:", both);
    selectPrinter(u"Uno");
    load();
    lib().areaLines = 20;
    lib().areaColumns = 30;
    ASSERT_EQ(lib().records[0].adjustBothSides, 1);
    ASSERT_EQ(lib().records[1].adjustBothSides, 1);
    PrintOptions o;
    ASSERT_EQ(
        run({choose(IDC_PRINT_PRINTER_LIST, 1), tick(IDC_PRINT_BOTH_SIDES), press(IDC_PRINT_PRINT)},
            5, &o),
        0);
    EXPECT_EQ(lib().records[1].adjustBothSides, 0);
    EXPECT_EQ(lib().records[0].adjustBothSides, 1) << "the printer selected before is left alone";
    EXPECT_EQ(o.adjustBothSides, 0);
    EXPECT_EQ(lib().selected, 1u);
    // And back: the first printer still adjusts both sides.
    ASSERT_EQ(run({choose(IDC_PRINT_PRINTER_LIST, 0), press(IDC_PRINT_PRINT)}, 5, &o), 0);
    EXPECT_EQ(o.adjustBothSides, 1);
}

TEST_F(PrintDialogTest, TableListHoldsAsciiThenAnsiAndEitherChoiceTakes) {
    machine();
    std::vector<std::u16string> items;
    PrintOptions o;
    ASSERT_EQ(
        run({inspect([&](os::HWND d) { items = sim::findControl(d, IDC_PRINT_TABLE_LIST)->items; }),
             choose(IDC_PRINT_TABLE_LIST, 1), choose(IDC_PRINT_TABLE_LIST, 0),
             press(IDC_PRINT_PRINT)},
            5, &o),
        0);
    EXPECT_EQ(items, (std::vector<std::u16string>{u"ASCII", u"ANSI"}));
    EXPECT_EQ(lib().ansiTable, 0) << "ASCII after ANSI";
    ASSERT_EQ(run({choose(IDC_PRINT_TABLE_LIST, 1), press(IDC_PRINT_PRINT)}, 5, &o), 0);
    EXPECT_EQ(lib().ansiTable, 1);
}

TEST_F(PrintDialogTest, AllAndCurrentPageEmptyThePageListAndPagesKeepsIt) {
    machine();
    struct Case {
        int button;
        std::u16string left;
        bool enabled;
    };
    for (const Case& c : {Case{IDC_PRINT_ALL, u"", false}, Case{IDC_PRINT_CURRENT_PAGE, u"", false},
                          Case{IDC_PRINT_PAGES, u"2-3", true}}) {
        SCOPED_TRACE(c.button);
        std::u16string left = u"?";
        bool enabled = !c.enabled;
        PrintOptions o;
        run({tick(IDC_PRINT_PAGES), type(IDC_PRINT_PAGE_LIST, u"2-3"), tick(c.button),
             inspect([&](os::HWND d) {
                 left = text(d, IDC_PRINT_PAGE_LIST);
                 enabled = sim::findControl(d, IDC_PRINT_PAGE_LIST)->enabled;
             }),
             escape()},
            5, &o);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(enabled, c.enabled);
    }
}

TEST_F(PrintDialogTest, PageListSetByOtherMeansStopsAtTheRangesItHas) {
    struct Case {
        int entries;
        bool taken;
    };
    for (const Case& c : {Case{25, true}, Case{26, false}, Case{40, false}}) {
        SCOPED_TRACE(c.entries);
        nextRow();
        machine();
        std::u16string list = u"1";
        for (int k = 1; k < c.entries; ++k) {
            list += u",1";
        }
        PrintOptions o;
        // Put there the way another program could: past the 25 characters typing allows.
        const int32_t result = run({tick(IDC_PRINT_PAGES), inspect([&](os::HWND d) {
                                        os::SetDlgItemTextW(d, IDC_PRINT_PAGE_LIST, list.c_str());
                                    }),
                                    press(IDC_PRINT_PRINT)},
                                   5, &o);
        if (c.taken) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(o.rangeCount, MAX_PAGE_RANGES);
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(allZero(o));
            ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
            EXPECT_EQ(sim::world().messageBoxes[0].text,
                      u"El formato de los números de página a imprimir no es correcto.");
        }
        // What follows the ranges in the working block's neighbourhood is as it was.
        EXPECT_LE(lib().PrintDialog::options.rangeCount, MAX_PAGE_RANGES);
        EXPECT_EQ(lib().printDlg.lStructSize, sizeof(os::PRINTDLGW));
        EXPECT_EQ(lib().printDlg.nMaxPage, 5);
        dotpress::unload();
    }
}
