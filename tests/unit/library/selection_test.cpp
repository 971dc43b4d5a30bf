// "Seleccionar impresora": the system's print-setup dialog listing the library's printer table.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

namespace {

using dptest::kKey;
using dptest::LibraryTest;
using sim::Params;
namespace user = sim::user;

const std::u16string kNoPrinter = u"No seleccionar impresora";

class SelectionTest : public LibraryTest {
protected:
    // Two printers: an embosser with its own page and an ordinary printer with the default one.
    void machine(bool nameStored = true) {
        sim::addBraillePrinter(u"Índice Braille", u"LPT1:", Params{2, 280, 32, 25, 0, 0});
        sim::addPrinter(u"Oficina", u"LPT2:", u"Generic PS");
        if (nameStored) {
            selectPrinter(u"Índice Braille");
        }
        load();
    }
    int32_t run(std::deque<sim::UserStep> steps, void* owner = nullptr) {
        sim::world().script = std::move(steps);
        return ImpSeleccionarImpresora(owner);
    }
    static std::u16string text(os::HWND dialog, int id) {
        const sim::Control* c = sim::findControl(dialog, id);
        return c ? c->text : u"<missing>";
    }
    static std::optional<std::u16string> storedName() {
        auto value = sim::getValue(os::HKEY_CURRENT_USER, kKey, u"NombreImp");
        if (!value) {
            return std::nullopt;
        }
        std::u16string name;
        for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
            name += static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
        }
        return name;
    }
};

TEST_F(SelectionTest, DialogIsTheSystemsPrintSetupWithOurTemplateAndHook) {
    machine();
    auto* owner = reinterpret_cast<void*>(0x4242);
    std::u16string title;
    EXPECT_EQ(
        run({user::inspect([&](os::HWND d) { title = sim::findWindow(d)->title; }), user::escape()},
            owner),
        0);
    ASSERT_EQ(sim::world().printDialogs.size(), 1u);
    const os::PRINTDLGW& pd = sim::world().printDialogs[0];
    EXPECT_EQ(pd.lStructSize, sizeof(os::PRINTDLGW));
    EXPECT_EQ(pd.hwndOwner, static_cast<os::HWND>(owner));
    EXPECT_EQ(pd.hInstance, dotpress::moduleHandle);
    // Print setup with its template and hook, no network button; the print hook as well,
    // which is the one Wine calls in print-setup mode.
    EXPECT_EQ(pd.Flags, 0x20A040u | os::PD_ENABLEPRINTHOOK);
    EXPECT_EQ(pd.lpSetupTemplateName, os::MAKEINTRESOURCEW(IDD_SELECT_PRINTER));
    EXPECT_NE(pd.lpfnSetupHook, nullptr);
    EXPECT_EQ(pd.lpfnPrintHook, pd.lpfnSetupHook);
    EXPECT_EQ(pd.hDevMode, nullptr);
    EXPECT_EQ(pd.hDevNames, nullptr);
    EXPECT_EQ(title, u"Seleccionar impresora");
}

TEST_F(SelectionTest, ListIsTheTableAndNoPrinterWithTheFactsOfEachEntry) {
    machine();
    lib().records[1].params.columns = 0; // shown as no text, not as "0"
    struct Seen {
        std::vector<std::u16string> items;
        int selection;
        std::u16string lines, columns, type, status, location;
    };
    std::vector<Seen> seen;
    auto look = [&](os::HWND d) {
        const sim::Control* list = sim::findControl(d, IDC_SELECT_LIST);
        seen.push_back({list->items, list->selection, text(d, IDC_SELECT_LINES),
                        text(d, IDC_SELECT_COLUMNS), text(d, IDC_SELECT_TYPE),
                        text(d, IDC_SELECT_STATUS), text(d, IDC_SELECT_LOCATION)});
    };
    run({user::inspect(look), user::choose(IDC_SELECT_LIST, 1), user::inspect(look),
         user::choose(IDC_SELECT_LIST, 2), user::inspect(look), user::escape()});
    ASSERT_EQ(seen.size(), 3u);
    // The system's own entries are gone: the list is the table, index for index.
    const std::vector<std::u16string> items = {u"Índice Braille", u"Oficina", kNoPrinter};
    EXPECT_EQ(seen[0].items, items);
    EXPECT_EQ(seen[0].selection, 0);
    EXPECT_EQ(seen[0].lines, u"25");
    EXPECT_EQ(seen[0].columns, u"32");
    EXPECT_EQ(seen[1].lines, u"29");
    EXPECT_EQ(seen[1].columns, u"");
    // The system shows a printer's own facts after the hook has cleared them; for no printer
    // nothing is left of the previous entry's.
    EXPECT_EQ(seen[1].type, u"Generic PS");
    EXPECT_EQ(seen[2].lines, u"29");
    EXPECT_EQ(seen[2].columns, u"40");
    EXPECT_EQ(seen[2].type, u"");
    EXPECT_EQ(seen[2].status, u"");
    EXPECT_EQ(seen[2].location, u"");
}

TEST_F(SelectionTest, EmptyTableOffersOnlyNoPrinterWithTheDefaultPage) {
    sim::setValue(os::HKEY_CURRENT_USER, kKey, u"DatosPag", os::REG_BINARY,
                  dptest::paramsBytes(Params{4, 0, 38, 27, 0, 0}));
    load();
    std::vector<std::u16string> items;
    int selection = -2;
    std::u16string lines, columns;
    run({user::inspect([&](os::HWND d) {
             const sim::Control* list = sim::findControl(d, IDC_SELECT_LIST);
             items = list->items;
             selection = list->selection;
             lines = text(d, IDC_SELECT_LINES);
             columns = text(d, IDC_SELECT_COLUMNS);
         }),
         user::enter()});
    EXPECT_EQ(items, std::vector<std::u16string>{kNoPrinter});
    EXPECT_EQ(selection, 0);
    EXPECT_EQ(lines, u"27");
    EXPECT_EQ(columns, u"38");
    EXPECT_EQ(lib().selected, 0u);
}

TEST_F(SelectionTest, EachEndingDecidesSelectedAndTheStoredName) {
    struct Case {
        const char* what;
        std::deque<sim::UserStep> steps;
        uint32_t selected;
        std::optional<std::u16string> stored;
        bool nameStoredBefore = true;
    };
    const Case cases[] = {
        {"Aceptar by Enter",
         {user::choose(IDC_SELECT_LIST, 1), user::enter()},
         1,
         u"Índice Braille"},
        {"Aceptar by keyboard from the label",
         {user::mnemonic(u'N'), user::arrow(1), user::arrow(1), user::enter()},
         2,
         u"Índice Braille"},
        {"Predeterminar", {user::choose(IDC_SELECT_LIST, 1), user::mnemonic(u'P')}, 1, u"Oficina"},
        {"Predeterminar with no printer",
         {user::choose(IDC_SELECT_LIST, 2), user::press(IDC_SELECT_DEFAULT)},
         2,
         std::nullopt},
        {"Cancelar",
         {user::choose(IDC_SELECT_LIST, 1), user::press(os::IDCANCEL)},
         0,
         u"Índice Braille"},
        {"Esc", {user::choose(IDC_SELECT_LIST, 2), user::escape()}, 0, u"Índice Braille"},
        {"close box", {user::choose(IDC_SELECT_LIST, 1), user::closeBox()}, 0, u"Índice Braille"},
        // The entry that names no printer, at the start and chosen on the way, never reaches
        // the system, which would try to open a printer of that name.
        {"nothing stored, Esc", {user::escape()}, 2, std::nullopt, false},
        {"nothing stored, Aceptar", {user::enter()}, 2, std::nullopt, false},
        {"no printer, then a printer, Aceptar",
         {user::choose(IDC_SELECT_LIST, 2), user::choose(IDC_SELECT_LIST, 1), user::enter()},
         1,
         u"Índice Braille"},
        {"nothing stored, a printer, Predeterminar",
         {user::choose(IDC_SELECT_LIST, 0), user::mnemonic(u'P')},
         0,
         u"Índice Braille",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(c.nameStoredBefore);
        EXPECT_EQ(run(c.steps), 0);
        EXPECT_EQ(lib().selected, c.selected);
        EXPECT_EQ(storedName(), c.stored);
        EXPECT_EQ(sim::world().refusedSteps, 0);
        EXPECT_EQ(sim::world().scriptRanOut, 0);
        // What was stored is what the next load selects.
        reload();
        EXPECT_EQ(lib().selected, c.stored == u"Oficina" ? 1u : c.stored ? 0u : 2u);
        dotpress::unload();
    }
}

TEST_F(SelectionTest, NothingSelectedOpensOnNoPrinterAndAceptarKeepsIt) {
    sim::addBraillePrinter(u"Índice Braille", u"LPT1:", Params{2, 280, 32, 25, 0, 0});
    sim::addPrinter(u"Oficina", u"LPT2:", u"Generic PS");
    load();
    ASSERT_EQ(lib().selected, 2u);
    int selection = -1;
    EXPECT_EQ(run({user::inspect([&](os::HWND d) {
                       selection = sim::findControl(d, IDC_SELECT_LIST)->selection;
                   }),
                   user::enter()}),
              0);
    EXPECT_EQ(selection, 2) << "No seleccionar impresora";
    EXPECT_EQ(lib().selected, 2u);
    EXPECT_EQ(storedName(), std::nullopt);
}

TEST_F(SelectionTest, CommentIsTheSystemsToShow) {
    machine();
    sim::world().printers[1].comment = u"Sala 2";
    std::u16string onPrinter, onNoPrinter;
    run({user::choose(IDC_SELECT_LIST, 1),
         user::inspect([&](os::HWND d) { onPrinter = text(d, IDC_SELECT_COMMENT); }),
         user::choose(IDC_SELECT_LIST, 2),
         user::inspect([&](os::HWND d) { onNoPrinter = text(d, IDC_SELECT_COMMENT); }),
         user::escape()});
    EXPECT_EQ(onPrinter, u"Sala 2");
    EXPECT_EQ(onNoPrinter, u"Sala 2") << "the hook clears type, status and location only";
}

TEST_F(SelectionTest, PredeterminarEndsTheDialogWithZero) {
    machine();
    run({user::choose(IDC_SELECT_LIST, 1), user::mnemonic(u'P')});
    const sim::Window* setup = nullptr;
    for (const sim::Window& w : sim::world().windows) {
        if (w.kind == sim::DialogKind::PrintSetup) {
            setup = &w;
        }
    }
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->ended);
    EXPECT_EQ(setup->result, 0);
    EXPECT_EQ(lib().selected, 1u);
}

TEST_F(SelectionTest, FailedSystemDialogLeavesTheSelection) {
    machine();
    run({user::choose(IDC_SELECT_LIST, 1), user::escape()});
    ASSERT_EQ(lib().selected, 0u);
    sim::world().failCreateDialog = true;
    EXPECT_EQ(run({}), 0);
    EXPECT_EQ(sim::world().printDialogs.size(), 2u);
    EXPECT_EQ(lib().selected, 0u);
    EXPECT_EQ(storedName(), u"Índice Braille");
}

} // namespace
