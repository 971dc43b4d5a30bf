// "Configurar página" as the library runs it: six paper formats and a user-defined page.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

namespace {

using dptest::kKey;
using dptest::LibraryTest;
using sim::Params;
namespace user = sim::user;

class PageConfigTest : public LibraryTest {
protected:
    // No printers: the dialog edits the default record, loaded from this stored block.
    void machine(const Params& stored) {
        sim::setValue(os::HKEY_CURRENT_USER, kKey, u"DatosPag", os::REG_BINARY,
                      dptest::paramsBytes(stored));
        load();
    }
    // Runs ImpConfigurarPagina with the scripted user; answers the out-parameters.
    std::pair<int32_t, int32_t> run(std::deque<sim::UserStep> steps, void* owner = nullptr) {
        sim::world().script = std::move(steps);
        int32_t lines = -1, columns = -1;
        EXPECT_EQ(ImpConfigurarPagina(owner, &lines, &columns), 0);
        return {lines, columns};
    }
    Params record() { return dptest::paramsOf(lib().selectedRecord()); }
};

// What the dialog shows at one moment.
struct Shown {
    int selection = -2;
    std::u16string lines, columns, linesLabel, columnsLabel;
    bool locked = false;
};

Shown look(os::HWND d) {
    auto text = [&](int id) { return sim::findControl(d, id)->text; };
    Shown s;
    s.selection = sim::findControl(d, IDC_PAGE_PAPER)->selection;
    s.lines = text(IDC_PAGE_LINES);
    s.columns = text(IDC_PAGE_COLUMNS);
    s.linesLabel = text(IDC_PAGE_PICTURE_LINES);
    s.columnsLabel = text(IDC_PAGE_PICTURE_COLUMNS);
    const bool linesLocked = sim::findControl(d, IDC_PAGE_LINES)->readOnly;
    EXPECT_EQ(linesLocked, sim::findControl(d, IDC_PAGE_COLUMNS)->readOnly);
    s.locked = linesLocked;
    return s;
}

sim::UserStep lookInto(Shown& shown) {
    return user::inspect([&shown](os::HWND d) { shown = look(d); });
}

TEST_F(PageConfigTest, OpensOnTheLibrarysListWithTheDriversControlsDisabled) {
    machine(Params{1, 0, 40, 29, 0, 0});
    auto* owner = reinterpret_cast<void*>(0x4242);
    const sim::Window* seen = nullptr;
    std::vector<std::u16string> items;
    bool disabled[3] = {};
    std::u16string length;
    run({user::inspect([&](os::HWND d) {
             seen = sim::findWindow(d);
             items = sim::findControl(d, IDC_PAGE_PAPER)->items;
             const int ids[] = {IDC_PAGE_PRINTER_SETUP, IDC_PAGE_RESTORE, IDC_PAGE_LENGTH};
             for (int k = 0; k < 3; ++k) {
                 disabled[k] = !sim::findControl(d, ids[k])->enabled;
             }
             length = sim::findControl(d, IDC_PAGE_LENGTH)->text;
         }),
         user::escape()},
        owner);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->templateId, IDD_PAGE_CONFIG);
    EXPECT_EQ(seen->kind, sim::DialogKind::Plain);
    EXPECT_EQ(seen->owner, static_cast<os::HWND>(owner));
    EXPECT_EQ(seen->title, u"Configurar página");
    const std::vector<std::u16string> expected = {
        u"12 pulgadas 42 columnas", u"12 pulgadas 40 columnas", u"12 pulgadas 38 columnas",
        u"11 pulgadas 42 columnas", u"11 pulgadas 40 columnas", u"11 pulgadas 38 columnas",
        u"Definido por el usuario."};
    EXPECT_EQ(items, expected);
    EXPECT_TRUE(disabled[0] && disabled[1] && disabled[2]);
    EXPECT_EQ(length, u"");
    EXPECT_TRUE(sim::world().pageSetupDialogs.empty());
}

TEST_F(PageConfigTest, OpeningShowsTheStoredFormatAndCancelKeepsTheRecord) {
    struct Case {
        Params stored;
        Shown shown;
    };
    const Case cases[] = {
        {{9, 0, 33, 20, 0, 0}, {1, u"29", u"40", u"29", u"40", true}},
        {{-3, 0, 33, 20, 0, 0}, {1, u"29", u"40", u"29", u"40", true}},
        {{3, 0, 33, 20, 0, 0}, {3, u"26", u"42", u"26", u"42", true}},
        {{0, 0, 33, 20, 0, 0}, {0, u"29", u"42", u"29", u"42", true}},
        {{6, 0, 45, 31, 0, 0}, {6, u"31", u"45", u"31", u"45", false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.paperFormat);
        nextRow();
        machine(c.stored);
        Shown shown;
        const auto out = run({lookInto(shown), user::press(os::IDCANCEL)});
        EXPECT_EQ(shown.selection, c.shown.selection);
        EXPECT_EQ(shown.lines, c.shown.lines);
        EXPECT_EQ(shown.columns, c.shown.columns);
        EXPECT_EQ(shown.linesLabel, c.shown.linesLabel);
        EXPECT_EQ(shown.columnsLabel, c.shown.columnsLabel);
        EXPECT_EQ(shown.locked, c.shown.locked);
        EXPECT_EQ(record(), c.stored) << "Cancelar leaves the record as it was";
        EXPECT_EQ(out, std::make_pair(int32_t{c.stored.lines}, int32_t{c.stored.columns}));
        dotpress::unload();
    }
}

TEST_F(PageConfigTest, UserDefinedFieldsAreClampedWhenLeftAndAtEnter) {
    struct Case {
        int field;
        std::u16string typed;
        std::u16string shown; // the field and its label once the focus has left
        bool byEnter;         // Aceptar while the field still has the focus
    };
    const Case cases[] = {
        {IDC_PAGE_LINES, u"5", u"10", false},     {IDC_PAGE_LINES, u"33", u"32", false},
        {IDC_PAGE_LINES, u"", u"10", false},      {IDC_PAGE_LINES, u"17", u"17", false},
        {IDC_PAGE_LINES, u"65545", u"10", false}, {IDC_PAGE_COLUMNS, u"47", u"46", false},
        {IDC_PAGE_COLUMNS, u"9", u"10", false},   {IDC_PAGE_COLUMNS, u"", u"10", false},
        {IDC_PAGE_LINES, u"40", u"32", true},     {IDC_PAGE_LINES, u"3", u"10", true},
        {IDC_PAGE_COLUMNS, u"99", u"46", true},   {IDC_PAGE_COLUMNS, u"0", u"10", true},
        {IDC_PAGE_COLUMNS, u"44", u"44", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field == IDC_PAGE_LINES ? "lines " : "columns ") +
                     std::string(c.typed.begin(), c.typed.end()) + (c.byEnter ? " Enter" : ""));
        nextRow();
        machine(Params{6, 280, 30, 20, 1, 7});
        const int label =
            c.field == IDC_PAGE_LINES ? IDC_PAGE_PICTURE_LINES : IDC_PAGE_PICTURE_COLUMNS;
        std::u16string field, labelText;
        std::deque<sim::UserStep> steps = {user::type(c.field, c.typed)};
        if (!c.byEnter) {
            steps.push_back(user::tab());
            steps.push_back(user::inspect([&](os::HWND d) {
                field = sim::findControl(d, c.field)->text;
                labelText = sim::findControl(d, label)->text;
            }));
        }
        steps.push_back(user::enter());
        const auto out = run(steps);
        if (!c.byEnter) {
            EXPECT_EQ(field, c.shown);
            EXPECT_EQ(labelText, c.shown);
        }
        const int16_t value =
            static_cast<int16_t>(std::stoi(std::string(c.shown.begin(), c.shown.end())));
        Params expected{6, 280, 30, 20, 1, 7};
        (c.field == IDC_PAGE_LINES ? expected.lines : expected.columns) = value;
        EXPECT_EQ(record(), expected);
        EXPECT_EQ(out, std::make_pair(int32_t{expected.lines}, int32_t{expected.columns}));
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

TEST_F(PageConfigTest, PresetsLockTheFieldsAndTheUserDefinedEntryUnlocksThem) {
    machine(Params{1, 0, 40, 29, 0, 0});
    Shown preset, userDefined;
    const auto out = run({user::choose(IDC_PAGE_PAPER, 5), lookInto(preset),
                          user::type(IDC_PAGE_LINES, u"12"), // refused: the field is locked
                          user::mnemonic(u'T'), user::arrow(1), lookInto(userDefined),
                          user::type(IDC_PAGE_COLUMNS, u"36"), user::press(os::IDOK)});
    EXPECT_EQ(preset.selection, 5);
    EXPECT_EQ(preset.lines, u"26");
    EXPECT_EQ(preset.columns, u"38");
    EXPECT_EQ(preset.linesLabel, u"26");
    EXPECT_EQ(preset.columnsLabel, u"38");
    EXPECT_TRUE(preset.locked);
    EXPECT_EQ(sim::world().refusedSteps, 1);
    EXPECT_EQ(userDefined.selection, 6);
    EXPECT_EQ(userDefined.lines, u"26");
    EXPECT_EQ(userDefined.columns, u"38");
    EXPECT_FALSE(userDefined.locked);
    EXPECT_EQ(record(), (Params{6, 0, 36, 26, 0, 0}));
    EXPECT_EQ(out, std::make_pair(26, 36));
}

TEST_F(PageConfigTest, AcceptedDefaultPageIsStoredAtUnload) {
    machine(Params{1, 305, 40, 29, 1, 0});
    const auto out = run({user::mnemonic(u'T'), user::arrow(1), user::arrow(1), user::enter()});
    EXPECT_EQ(out, std::make_pair(26, 42));
    int32_t lines = 0, columns = 0;
    EXPECT_EQ(ImpObtenerTamPapel(&lines, &columns), 0);
    EXPECT_EQ(std::make_pair(lines, columns), std::make_pair(26, 42));
    dotpress::unload();
    // The paper length and the driver's fields travel unchanged.
    EXPECT_EQ(sim::getValue(os::HKEY_CURRENT_USER, kKey, u"DatosPag")->data,
              dptest::paramsBytes(Params{3, 305, 42, 26, 1, 0}));
}

TEST_F(PageConfigTest, EditsOnlyTheSelectedPrinterWhoseDriverDoesNotAnswer) {
    sim::addPrinter(u"Oficina", u"LPT1:", u"Generic PS");
    sim::addPrinter(u"Sin contexto", u"LPT2:", u"Generic PS").failCreateDC = true;
    struct Case {
        const char16_t* printer;
        size_t messages;
    };
    for (const Case& c : {Case{u"Oficina", 0}, Case{u"Sin contexto", 1}}) {
        SCOPED_TRACE(std::string(c.printer, c.printer + 3));
        selectPrinter(c.printer);
        load();
        const std::vector<uint8_t> devMode(lib().selectedRecord().devMode,
                                           lib().selectedRecord().devMode +
                                               lib().selectedRecord().devModeSize);
        sim::world().messageBoxes.clear();
        const auto out = run({user::choose(IDC_PAGE_PAPER, 4), user::enter()});
        EXPECT_EQ(out, std::make_pair(26, 40));
        EXPECT_EQ(record(), (Params{4, 0, 40, 26, 0, 0}));
        EXPECT_EQ(dptest::paramsOf(lib().defaultRecord()), (Params{1, 0, 40, 29, 0, 0}));
        EXPECT_EQ(std::vector<uint8_t>(lib().selectedRecord().devMode,
                                       lib().selectedRecord().devMode +
                                           lib().selectedRecord().devModeSize),
                  devMode);
        ASSERT_EQ(sim::world().messageBoxes.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(sim::world().messageBoxes[0].text, u"ERROR: CreateDC");
            EXPECT_EQ(sim::world().messageBoxes[0].caption, u"GetPrinterParams");
        }
        EXPECT_TRUE(sim::world().pageSetupDialogs.empty());
        dotpress::unload();
    }
}

TEST_F(PageConfigTest, NoMemoryForTheWorkingCopyShowsNothingAndKeepsTheRecord) {
    machine(Params{3, 0, 42, 20, 0, 0});
    sim::world().failAllocationAt = sim::world().allocations;
    const auto out = run({user::choose(IDC_PAGE_PAPER, 0), user::enter()});
    EXPECT_EQ(out, std::make_pair(20, 42));
    EXPECT_EQ(record(), (Params{3, 0, 42, 20, 0, 0}));
    EXPECT_EQ(sim::liveWindows(), 0);
    sim::world().script.clear();
}

// However the focus leaves a field (Tab, Shift+Tab, a click on another control or on
// "Aceptar", Enter), only a number the user changed is held to the limits.
TEST_F(PageConfigTest, LeavingAFieldAndAceptarClampOnlyWhatTheUserTyped) {
    // A user-defined page stored out of range: 40 lines, 50 columns.
    const Params stored{6, 280, 50, 40, 1, 7};
    struct Case {
        const char* what;
        std::deque<sim::UserStep> steps;
        Params kept;
    };
    const Case cases[] = {
        {"Enter, nothing touched", {user::enter()}, stored},
        {"Aceptar clicked, nothing touched", {user::press(os::IDOK)}, stored},
        {"the lines field focused, Enter", {user::focus(IDC_PAGE_LINES), user::enter()}, stored},
        {"the columns field focused, Aceptar clicked",
         {user::focus(IDC_PAGE_COLUMNS), user::press(os::IDOK)},
         stored},
        // From the paper list: lines, columns, Aceptar.
        {"Tab through both fields, Enter",
         {user::tab(), user::tab(), user::tab(), user::enter()},
         stored},
        // Back from the paper list: Cancelar, Aceptar, columns, lines, the list again.
        {"Shift+Tab back through both fields, Enter",
         {user::tab(-1), user::tab(-1), user::tab(-1), user::tab(-1), user::tab(-1), user::enter()},
         stored},
        {"clicks from field to field, Aceptar clicked",
         {user::focus(IDC_PAGE_LINES), user::focus(IDC_PAGE_COLUMNS), user::press(os::IDOK)},
         stored},
        {"lines typed, Tab through the columns, Aceptar clicked",
         {user::type(IDC_PAGE_LINES, u"35"), user::tab(), user::tab(), user::press(os::IDOK)},
         {6, 280, 50, 32, 1, 7}},
        {"lines typed, Enter",
         {user::type(IDC_PAGE_LINES, u"35"), user::enter()},
         {6, 280, 50, 32, 1, 7}},
        {"columns typed, Enter",
         {user::type(IDC_PAGE_COLUMNS, u"3"), user::enter()},
         {6, 280, 10, 40, 1, 7}},
        {"columns typed in range, Enter",
         {user::type(IDC_PAGE_COLUMNS, u"44"), user::enter()},
         {6, 280, 44, 40, 1, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(stored);
        Shown shown;
        std::deque<sim::UserStep> steps = c.steps;
        steps.push_front(lookInto(shown));
        const auto out = run(steps);
        EXPECT_EQ(shown.lines, u"40");
        EXPECT_EQ(shown.columns, u"50");
        EXPECT_EQ(record(), c.kept);
        EXPECT_EQ(out, std::make_pair(int32_t{c.kept.lines}, int32_t{c.kept.columns}));
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

// Should the system keep the dialog open after "Aceptar" or "Cancelar", the dialog answers every
// command as before: a paper chosen, a number typed and left, "Aceptar" again.
TEST_F(PageConfigTest, DialogKeptOpenAfterAceptarOrCancelarAnswersAsBefore) {
    struct Case {
        const char* what;
        std::deque<sim::UserStep> ending; // refused once
        const char16_t* lines;            // what the lines field shows then
    };
    const Case cases[] = {
        {"Enter in a typed field", {user::type(IDC_PAGE_LINES, u"35"), user::enter()}, u"32"},
        {"Aceptar clicked", {user::press(os::IDOK)}, u"29"},
        {"Esc in a typed field", {user::type(IDC_PAGE_LINES, u"35"), user::escape()}, u"35"},
        {"Cancelar clicked", {user::press(os::IDCANCEL)}, u"29"},
        {"the close box", {user::closeBox()}, u"29"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(Params{1, 0, 40, 29, 0, 0});
        sim::world().refusedEnds = 1;
        Shown kept, typed;
        std::deque<sim::UserStep> steps = {user::choose(IDC_PAGE_PAPER, 6)}; // user-defined
        steps.insert(steps.end(), c.ending.begin(), c.ending.end());
        for (const auto& step :
             {lookInto(kept), user::choose(IDC_PAGE_PAPER, 4), user::choose(IDC_PAGE_PAPER, 6),
              user::type(IDC_PAGE_LINES, u"5"), user::tab(), lookInto(typed), user::enter()}) {
            steps.push_back(step);
        }
        const auto out = run(steps);
        EXPECT_EQ(sim::world().refusedEnds, 0);
        EXPECT_EQ(sim::world().scriptRanOut, 0) << "Enter ended the dialog";
        EXPECT_EQ(kept.lines, c.lines);
        EXPECT_EQ(typed.lines, u"10") << "the number typed was held to the limits";
        EXPECT_EQ(record(), (Params{6, 0, 40, 10, 0, 0}))
            << "11 pulgadas 40 columnas, then 10 lines";
        EXPECT_EQ(out, std::make_pair(10, 40));
        dotpress::unload();
    }
}

// A page configuration ended in any way leaves nothing behind that the next one, in the same
// load of the library, could mistake for its own state.
TEST_F(PageConfigTest, SecondDialogOfTheSameLoadStartsClean) {
    struct Case {
        const char* what;
        std::deque<sim::UserStep> first;
        int16_t lines; // what the record keeps of the first dialog
        const char16_t* shown;
    };
    const Case cases[] = {
        {"Aceptar by Enter in a typed field",
         {user::type(IDC_PAGE_LINES, u"25"), user::enter()},
         25,
         u"25"},
        {"Aceptar clicked from a field",
         {user::focus(IDC_PAGE_LINES), user::press(os::IDOK)},
         20,
         u"20"},
        {"Esc in a typed field", {user::type(IDC_PAGE_LINES, u"25"), user::escape()}, 20, u"20"},
        {"the close box", {user::closeBox()}, 20, u"20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(Params{6, 0, 30, 20, 0, 0});
        run(c.first);
        Shown opened;
        const auto out =
            run({lookInto(opened), user::type(IDC_PAGE_COLUMNS, u"5"), user::tab(), user::enter()});
        EXPECT_EQ(opened.lines, c.shown);
        EXPECT_EQ(record(), (Params{6, 0, 10, c.lines, 0, 0}));
        EXPECT_EQ(out, std::make_pair(int32_t{c.lines}, 10));
        EXPECT_EQ(sim::world().scriptRanOut, 0);
        dotpress::unload();
    }
}

TEST_F(PageConfigTest, FieldsShowTheSixteenBitsTheyReadBack) {
    // Stored by someone else: -5 lines on a user-defined page. Digits only, so the fields show
    // the unsigned reading of the 16 bits, and reading them back gives the same bits.
    machine(Params{6, 0, 30, -5, 0, 0});
    Shown opened;
    os::UINT readBack = 0;
    const auto out = run({lookInto(opened), user::inspect([&](os::HWND d) {
                              readBack = os::GetDlgItemInt(d, IDC_PAGE_LINES, nullptr, os::FALSE);
                          }),
                          user::enter()});
    EXPECT_EQ(opened.lines, u"65531");
    EXPECT_EQ(opened.linesLabel, u"65531");
    EXPECT_EQ(readBack, 65531u);
    EXPECT_EQ(record(), (Params{6, 0, 30, -5, 0, 0})) << "nobody touched it";
    EXPECT_EQ(out, std::make_pair(-5, 30));
}

TEST_F(PageConfigTest, EveryWayOutButAceptarKeepsTheRecord) {
    const Params stored{6, 280, 30, 20, 1, 7};
    for (auto ending : {user::escape(), user::press(os::IDCANCEL), user::closeBox()}) {
        nextRow();
        machine(stored);
        const auto out = run({user::type(IDC_PAGE_LINES, u"25"), user::tab(),
                              user::type(IDC_PAGE_COLUMNS, u"44"), ending});
        EXPECT_EQ(record(), stored);
        EXPECT_EQ(out, std::make_pair(20, 30));
        EXPECT_EQ(sim::world().scriptRanOut, 0);
        dotpress::unload();
    }
}

TEST_F(PageConfigTest, FieldsSelectTheirTextWhenTheyGetTheFocus) {
    for (int field : {IDC_PAGE_LINES, IDC_PAGE_COLUMNS}) {
        SCOPED_TRACE(field);
        nextRow();
        machine(Params{6, 0, 30, 20, 0, 0});
        // The focus put there without the dialog manager selecting anything: the keys replace
        // the old number only because the field selects its text itself.
        run({user::focus(field), user::keys(u"25"), user::tab(), user::enter()});
        EXPECT_EQ(field == IDC_PAGE_LINES ? record().lines : record().columns, 25);
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

} // namespace
