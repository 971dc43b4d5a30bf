// "Configurar página" as the system's page-setup dialog with the library's hook, for an embosser
// whose driver answers the parameter escapes.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

namespace {

using dptest::LibraryTest;
using sim::Params;
namespace user = sim::user;

const Params kStart{2, 305, 36, 27, 1, 5};

// The escapes sent from index `first` on: every code in order, and the blocks sent with 65282.
struct EscapesSent {
    std::vector<int> codes;
    std::vector<Params> blocks;
};

EscapesSent escapesFrom(size_t first) {
    EscapesSent sent;
    const auto& all = sim::world().escapes;
    for (size_t i = first; i < all.size(); ++i) {
        sent.codes.push_back(all[i].code);
        if (all[i].code == 65282 && all[i].block) {
            sent.blocks.push_back(*all[i].block);
        }
    }
    return sent;
}

class PageSetupTest : public LibraryTest {
protected:
    // An embosser whose last paper is its user-defined one; it keeps at most 30 lines and 330 mm.
    void machine(bool paperListAfterInit = false, const Params& start = kStart,
                 const std::u16string& name = u"Índice Braille") {
        sim::BrailleDriver driver;
        driver.maxLines = 30;
        driver.maxPaperLength = 330;
        sim::Printer& p = sim::addBraillePrinter(name, u"LPT1:", start, driver);
        p.paperNames = {u"Carta", u"A4", u"Definido por el usuario"};
        sim::world().paperListAfterInit = paperListAfterInit;
        selectPrinter(name);
        load();
    }
    std::pair<int32_t, int32_t> run(std::deque<sim::UserStep> steps, void* owner = nullptr) {
        sim::world().script = std::move(steps);
        int32_t lines = -1, columns = -1;
        EXPECT_EQ(ImpConfigurarPagina(owner, &lines, &columns), 0);
        return {lines, columns};
    }
    // The same, with the blocks handed to the driver from the dialog's opening on.
    std::pair<int32_t, int32_t> run(std::deque<sim::UserStep> steps, std::vector<Params>& sent) {
        size_t opened = 0;
        steps.push_front(user::inspect([&](os::HWND) { opened = sim::world().escapes.size(); }));
        const auto out = run(std::move(steps));
        sent = escapesFrom(opened).blocks;
        return out;
    }
    dotpress::PrinterRecord& record() { return lib().selectedRecord(); }
    std::vector<uint8_t> devMode() {
        return std::vector<uint8_t>(record().devMode, record().devMode + record().devModeSize);
    }
    // The last block sent to the driver with escape 65282.
    static Params lastSent() {
        for (auto e = sim::world().escapes.rbegin(); e != sim::world().escapes.rend(); ++e) {
            if (e->code == 65282 && e->block) {
                return *e->block;
            }
        }
        return Params{-1, -1, -1, -1, -1, -1};
    }
};

struct Shown {
    int selection = -2;
    std::u16string lines, columns, length, linesLabel, columnsLabel;
    bool locked = false;
};

sim::UserStep lookInto(Shown& s) {
    return user::inspect([&s](os::HWND d) {
        auto text = [&](int id) { return sim::findControl(d, id)->text; };
        s.selection = sim::findControl(d, IDC_PAGE_PAPER)->selection;
        s.lines = text(IDC_PAGE_LINES);
        s.columns = text(IDC_PAGE_COLUMNS);
        s.length = text(IDC_PAGE_LENGTH);
        s.linesLabel = text(IDC_PAGE_PICTURE_LINES);
        s.columnsLabel = text(IDC_PAGE_PICTURE_COLUMNS);
        s.locked = sim::findControl(d, IDC_PAGE_LINES)->readOnly;
        EXPECT_EQ(s.locked, sim::findControl(d, IDC_PAGE_COLUMNS)->readOnly);
        EXPECT_EQ(s.locked, sim::findControl(d, IDC_PAGE_LENGTH)->readOnly);
    });
}

std::u16string wideAt(const std::vector<uint8_t>& bytes, size_t unit) {
    std::u16string s;
    for (size_t at = 2 * unit; at + 1 < bytes.size(); at += 2) {
        const auto c = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
        if (!c) {
            break;
        }
        s += c;
    }
    return s;
}

TEST_F(PageSetupTest, SystemDialogGetsOurTemplateHookAndTheRecordsBlocks) {
    machine();
    auto* owner = reinterpret_cast<void*>(0x4242);
    const std::vector<uint8_t> tableDevMode = devMode();
    os::PAGESETUPDLGW psd{};
    std::vector<uint8_t> names, mode;
    const sim::Window* w = nullptr;
    Shown shown;
    bool enabled = false;
    run({user::inspect([&](os::HWND d) {
             w = sim::findWindow(d);
             psd = sim::world().pageSetupDialogs.back();
             names = sim::world().globals[reinterpret_cast<uintptr_t>(psd.hDevNames)].bytes;
             mode = sim::world().globals[reinterpret_cast<uintptr_t>(psd.hDevMode)].bytes;
             enabled = sim::findControl(d, IDC_PAGE_PRINTER_SETUP)->enabled &&
                       sim::findControl(d, IDC_PAGE_RESTORE)->enabled &&
                       sim::findControl(d, IDC_PAGE_LENGTH)->enabled;
         }),
         lookInto(shown), user::escape()},
        owner);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->kind, sim::DialogKind::PageSetup);
    EXPECT_EQ(w->title, u"Configurar página de Índice Braille");
    EXPECT_EQ(psd.lStructSize, sizeof(os::PAGESETUPDLGW));
    EXPECT_EQ(psd.hwndOwner, static_cast<os::HWND>(owner));
    EXPECT_EQ(psd.Flags, 0xA000u);
    EXPECT_EQ(psd.hInstance, dotpress::moduleHandle);
    EXPECT_EQ(psd.lpPageSetupTemplateName, os::MAKEINTRESOURCEW(IDD_PAGE_CONFIG));
    EXPECT_NE(psd.lpfnPageSetupHook, nullptr);
    EXPECT_EQ(psd.lpfnPagePaintHook, nullptr);
    EXPECT_EQ(psd.rtMargin.left + psd.rtMargin.right + psd.ptPaperSize.x, 0);
    // Driver "Braille Embosser" (16), device "Índice Braille" (14), port "LPT1:" (5).
    ASSERT_EQ(names.size(), 2u * (16 + 14 + 5) + 14);
    EXPECT_EQ(names[0] | (names[1] << 8), 4);
    EXPECT_EQ(names[2] | (names[3] << 8), 16 + 5);
    EXPECT_EQ(names[4] | (names[5] << 8), 16 + 14 + 6);
    EXPECT_EQ(names[6] | (names[7] << 8), 0);
    EXPECT_EQ(wideAt(names, 4), u"Braille Embosser");
    EXPECT_EQ(wideAt(names, 21), u"Índice Braille");
    EXPECT_EQ(wideAt(names, 36), u"LPT1:");
    EXPECT_EQ(mode, tableDevMode);
    EXPECT_TRUE(enabled) << "the driver's controls stay as the template has them";
    EXPECT_EQ(shown.selection, 2);
    EXPECT_EQ(shown.lines, u"27");
    EXPECT_EQ(shown.columns, u"36");
    EXPECT_EQ(shown.linesLabel, u"27");
    EXPECT_EQ(shown.columnsLabel, u"36");
    EXPECT_EQ(shown.length, u"12");
    EXPECT_FALSE(shown.locked);
    EXPECT_TRUE(sim::world().printDialogs.empty());
}

TEST_F(PageSetupTest, PaperListShowsTheDriversFormatInEitherOrderOfFilling) {
    for (bool after : {false, true}) {
        SCOPED_TRACE(after ? "list filled after the hook's start" : "list filled before");
        nextRow();
        machine(after);
        Shown shown;
        run({lookInto(shown), user::choose(IDC_PAGE_PAPER, 1), user::escape()});
        EXPECT_EQ(shown.selection, 2);
        EXPECT_FALSE(shown.locked);
        EXPECT_EQ(lastSent().paperFormat, 1) << "a paper chosen goes to the driver";
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, FieldsGoToTheDriverAndShowWhatItKept) {
    struct Case {
        int field;
        std::u16string typed;
        Params sent; // differs from the start only in the typed field
        std::u16string lines, columns, length;
    };
    const Case cases[] = {
        {IDC_PAGE_LENGTH, u"11", {2, 280, 36, 27, 1, 5}, u"27", u"36", u"11"},
        {IDC_PAGE_LENGTH, u"14", {2, 356, 36, 27, 1, 5}, u"27", u"36", u"13"},
        {IDC_PAGE_LINES, u"40", {2, 305, 36, 40, 1, 5}, u"30", u"36", u"12"},
        {IDC_PAGE_LINES, u"5", {2, 305, 36, 5, 1, 5}, u"5", u"36", u"12"},
        {IDC_PAGE_COLUMNS, u"", {2, 305, 0, 27, 1, 5}, u"27", u"0", u"12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " " + std::string(c.typed.begin(), c.typed.end()));
        nextRow();
        machine();
        Shown shown;
        run({user::type(c.field, c.typed), user::tab(), lookInto(shown), user::escape()});
        EXPECT_EQ(lastSent(), c.sent);
        EXPECT_EQ(shown.lines, c.lines);
        EXPECT_EQ(shown.columns, c.columns);
        EXPECT_EQ(shown.length, c.length);
        EXPECT_EQ(shown.linesLabel, c.lines);
        EXPECT_EQ(shown.columnsLabel, c.columns);
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, CancelKeepsTheTablesRecordByteForByte) {
    for (auto ending : {user::escape(), user::press(os::IDCANCEL), user::closeBox()}) {
        nextRow();
        machine();
        const Params params = dptest::paramsOf(record());
        const std::vector<uint8_t> before = devMode();
        const auto out = run({user::type(IDC_PAGE_COLUMNS, u"44"), user::tab(), ending});
        EXPECT_EQ(lastSent().columns, 44) << "the driver rewrote the working copy";
        EXPECT_EQ(dptest::paramsOf(record()), params);
        EXPECT_EQ(devMode(), before);
        EXPECT_EQ(out, std::make_pair(27, 36));
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, AceptarTakesTheCopysParametersAndDeviceMode) {
    machine();
    const auto out = run(
        {user::type(IDC_PAGE_COLUMNS, u"44"), user::type(IDC_PAGE_LINES, u"31"), user::enter()});
    // Enter accepts while the lines field still has the focus: its value goes to the driver
    // all the same, and the record has what the driver kept of it.
    const Params kept{2, 305, 44, 30, 1, 5};
    EXPECT_EQ(lastSent(), (Params{2, 305, 44, 31, 1, 5}));
    EXPECT_EQ(dptest::paramsOf(record()), kept);
    EXPECT_EQ(sim::paramsInDevMode(record().devMode, record().devModeSize), kept);
    EXPECT_EQ(out, std::make_pair(30, 44));
}

TEST_F(PageSetupTest, PrinterSetupAsksTheDriversDialogOnTheWorkingCopy) {
    struct Case {
        bool ok;
        int selection;
        std::u16string lines, columns, length;
        bool locked;
    };
    for (const Case& c :
         {Case{true, 1, u"26", u"38", u"11", true}, Case{false, 2, u"27", u"36", u"12", false}}) {
        SCOPED_TRACE(c.ok ? "OK" : "Cancel");
        nextRow();
        machine();
        sim::world().propertiesChoices.push_back({Params{1, 280, 38, 26, 1, 5}, c.ok});
        os::HWND dialog = nullptr;
        const uint8_t* working = nullptr;
        Shown shown;
        const uint8_t* table = record().devMode;
        run({user::inspect([&](os::HWND d) {
                 dialog = d;
                 working = lib().PageSetupHook::editedRecord->devMode;
             }),
             user::mnemonic(u'C'), lookInto(shown), user::escape()});
        ASSERT_EQ(sim::world().propertiesDialogs.size(), 1u);
        const sim::PropertiesDialog& asked = sim::world().propertiesDialogs[0];
        EXPECT_EQ(asked.owner, dialog);
        EXPECT_EQ(asked.mode, 14u);
        EXPECT_EQ(asked.input, working);
        EXPECT_EQ(asked.output, working);
        EXPECT_NE(asked.input, table);
        EXPECT_EQ(shown.selection, c.selection);
        EXPECT_EQ(shown.lines, c.lines);
        EXPECT_EQ(shown.columns, c.columns);
        EXPECT_EQ(shown.length, c.length);
        EXPECT_EQ(shown.locked, c.locked);
        dotpress::unload();
    }
}

// The driver was updated after the table was built and writes a larger device mode: its dialog
// gets a block of that size, and Aceptar keeps the whole of what it wrote.
TEST_F(PageSetupTest, PrinterSetupOfADriverUpdatedSinceLoadingKeepsItsWholeDeviceMode) {
    machine();
    sim::Printer& printer = sim::world().printers[0];
    printer.devMode = sim::makeDevMode(printer.name, 400, &kStart);
    const Params chosen{1, 280, 38, 26, 1, 5};
    sim::world().propertiesChoices.push_back({chosen, true});
    run({user::mnemonic(u'C'), user::enter()});
    const std::vector<uint8_t> kept = devMode();
    ASSERT_EQ(kept.size(), printer.devMode.size());
    EXPECT_EQ(sim::paramsInDevMode(kept.data(), kept.size()), chosen);
    EXPECT_TRUE(std::equal(kept.begin() + 64, kept.begin() + 72, printer.devMode.begin() + 64))
        << "the driver's own header, sizes included";
}

TEST_F(PageSetupTest, RestoreTakesThePrintersDeviceModeAgain) {
    machine();
    Shown changed, restored;
    run({user::type(IDC_PAGE_LINES, u"22"), user::tab(), lookInto(changed), user::mnemonic(u'R'),
         lookInto(restored), user::escape()});
    EXPECT_EQ(changed.lines, u"22");
    EXPECT_EQ(restored.lines, u"27");
    EXPECT_EQ(restored.columns, u"36");
    EXPECT_EQ(restored.length, u"12");
}

TEST_F(PageSetupTest, LostDeviceContextIsReportedAtEveryAttempt) {
    machine();
    Shown shown;
    run({user::inspect([](os::HWND) { sim::world().printers[0].failCreateDC = true; }),
         user::type(IDC_PAGE_LINES, u"22"), user::tab(), lookInto(shown), user::escape()});
    // setPrinterParams and getPrinterParams each tried once.
    ASSERT_EQ(sim::world().messageBoxes.size(), 2u);
    for (const sim::MessageBox& box : sim::world().messageBoxes) {
        EXPECT_EQ(box.text, u"ERROR: CreateDC");
        EXPECT_EQ(box.caption, u"GetPrinterParams");
    }
    EXPECT_EQ(shown.lines, u"22") << "the working copy's values as they were";
    EXPECT_EQ(dptest::paramsOf(record()), kStart);
}

TEST_F(PageSetupTest, WithoutItsGlobalBlocksTheDialogIsNotShown) {
    struct Case {
        const char* what;
        long failAlloc;
        bool failLock;
    };
    for (const Case& c :
         {Case{"device names not allocated", 0, false}, Case{"device mode not allocated", 1, false},
          Case{"blocks not locked", -1, true}}) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        const std::vector<uint8_t> before = devMode();
        sim::world().failGlobalAllocAt = c.failAlloc;
        sim::world().failGlobalLock = c.failLock;
        const auto out = run({});
        EXPECT_TRUE(sim::world().pageSetupDialogs.empty());
        EXPECT_EQ(sim::world().scriptRanOut, 0) << "no dialog at all";
        EXPECT_EQ(dptest::paramsOf(record()), kStart);
        EXPECT_EQ(devMode(), before);
        EXPECT_EQ(out, std::make_pair(27, 36));
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, NoPrinterSelectedUsesTheLibrarysDialog) {
    sim::addBraillePrinter(u"Índice Braille", u"LPT1:", kStart);
    load();
    run({user::escape()});
    EXPECT_TRUE(sim::world().pageSetupDialogs.empty());
    EXPECT_EQ(sim::world().windows.back().templateId, IDD_PAGE_CONFIG);
    EXPECT_EQ(sim::world().windows.back().kind, sim::DialogKind::Plain);
}

TEST_F(PageSetupTest, AceptarHandsTheDriverOnlyTheNumberTypedBeforeEnter) {
    const Params k300{2, 300, 36, 27, 1, 5};
    auto loseDC = user::inspect([](os::HWND) { sim::world().printers[0].failCreateDC = true; });
    struct Case {
        const char* what;
        Params start;
        std::deque<sim::UserStep> steps;
        std::vector<Params> sent; // blocks handed to the driver once the dialog is open
        Params kept;
        size_t messages;
    };
    const Case cases[] = {
        {"Enter, nothing touched", k300, {user::enter()}, {}, k300, 0},
        {"Aceptar clicked, nothing touched", k300, {user::press(os::IDOK)}, {}, k300, 0},
        {"a format beyond the system's paper list",
         {5, 305, 36, 27, 1, 5},
         {user::enter()},
         {},
         {5, 305, 36, 27, 1, 5},
         0},
        {"the length field focused but untouched",
         k300,
         {user::focus(IDC_PAGE_LENGTH), user::enter()},
         {},
         k300,
         0},
        {"the columns field focused but untouched",
         kStart,
         {user::focus(IDC_PAGE_COLUMNS), user::enter()},
         {},
         kStart,
         0},
        {"lost device context, nothing touched", kStart, {loseDC, user::enter()}, {}, kStart, 0},
        {"length typed, Enter",
         k300,
         {user::type(IDC_PAGE_LENGTH, u"11"), user::enter()},
         {{2, 280, 36, 27, 1, 5}},
         {2, 280, 36, 27, 1, 5},
         0},
        // The number the field already showed changes nothing the user can see: 300 mm stay.
        {"the length shown typed again, Enter",
         k300,
         {user::type(IDC_PAGE_LENGTH, u"12"), user::enter()},
         {},
         k300,
         0},
        {"columns typed, Enter",
         kStart,
         {user::type(IDC_PAGE_COLUMNS, u"300"), user::enter()},
         {{2, 305, 300, 27, 1, 5}},
         {2, 305, 300, 27, 1, 5},
         0},
        {"lines above 32767 typed, Enter",
         kStart,
         {user::type(IDC_PAGE_LINES, u"40000"), user::enter()},
         {{2, 305, 36, -25536, 1, 5}},
         {2, 305, 36, -25536, 1, 5},
         0},
        {"lines typed, then Aceptar clicked: one round, on leaving the field",
         kStart,
         {user::type(IDC_PAGE_LINES, u"22"), user::press(os::IDOK)},
         {{2, 305, 36, 22, 1, 5}},
         {2, 305, 36, 22, 1, 5},
         0},
        {"lost device context, lines typed, Enter",
         kStart,
         {loseDC, user::type(IDC_PAGE_LINES, u"22"), user::enter()},
         {},
         {2, 305, 36, 22, 1, 5},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(false, c.start);
        std::vector<Params> sent;
        const auto out = run(c.steps, sent);
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(dptest::paramsOf(record()), c.kept);
        EXPECT_EQ(sim::paramsInDevMode(record().devMode, record().devModeSize),
                  c.messages ? c.start : c.kept)
            << "the device mode as the driver last wrote it";
        EXPECT_EQ(out, std::make_pair(int32_t{c.kept.lines}, int32_t{c.kept.columns}));
        EXPECT_EQ(sim::world().messageBoxes.size(), c.messages);
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

// However the focus leaves a field (Tab, Shift+Tab, a click on another control or on
// "Aceptar", the dialog's own end), only a number the user changed goes to the driver, alone:
// the other fields are not read back, so a stored length of 300 mm is not rounded to the 305 mm
// of the 12 inches shown.
TEST_F(PageSetupTest, OnlyANumberTheUserChangedGoesToTheDriver) {
    const Params k300{2, 300, 36, 27, 1, 5};
    struct Case {
        const char* what;
        std::deque<sim::UserStep> steps;
        std::vector<Params> sent; // blocks handed to the driver once the dialog is open
        Params kept;
    };
    const auto tabs = [](int count, int direction) {
        return std::deque<sim::UserStep>(static_cast<size_t>(count), user::tab(direction));
    };
    const auto then = [](std::deque<sim::UserStep> steps, const sim::UserStep& last) {
        steps.push_back(last);
        return steps;
    };
    const Case cases[] = {
        {"the length focused, Aceptar clicked",
         {user::focus(IDC_PAGE_LENGTH), user::press(os::IDOK)},
         {},
         k300},
        // From the paper list: the printer's button, lines, columns, length.
        {"Tab through the three fields, Enter", then(tabs(4, 1), user::enter()), {}, k300},
        // Back from the paper list: "Restaurar valores", Cancelar, Aceptar, length, columns, lines.
        {"Shift+Tab back through the three fields, Enter",
         then(tabs(6, -1), user::enter()),
         {},
         k300},
        {"clicks from field to field, Aceptar clicked",
         {user::focus(IDC_PAGE_LENGTH), user::focus(IDC_PAGE_LINES), user::focus(IDC_PAGE_COLUMNS),
          user::press(os::IDOK)},
         {},
         k300},
        {"the length focused, Esc", {user::focus(IDC_PAGE_LENGTH), user::escape()}, {}, k300},
        {"the length shown typed again, Tab, Enter",
         {user::type(IDC_PAGE_LENGTH, u"12"), user::tab(), user::enter()},
         {},
         k300},
        {"lines typed and left, the rest tabbed through, Enter",
         {user::type(IDC_PAGE_LINES, u"22"), user::tab(), user::tab(), user::enter()},
         {{2, 300, 36, 22, 1, 5}},
         {2, 300, 36, 22, 1, 5}},
        {"length typed, Shift+Tab, Enter",
         {user::type(IDC_PAGE_LENGTH, u"11"), user::tab(-1), user::enter()},
         {{2, 280, 36, 27, 1, 5}},
         {2, 280, 36, 27, 1, 5}},
        {"columns typed, a click on the lines field, Enter",
         {user::type(IDC_PAGE_COLUMNS, u"30"), user::focus(IDC_PAGE_LINES), user::enter()},
         {{2, 300, 30, 27, 1, 5}},
         {2, 300, 30, 27, 1, 5}},
        {"columns typed, Aceptar clicked",
         {user::type(IDC_PAGE_COLUMNS, u"30"), user::press(os::IDOK)},
         {{2, 300, 30, 27, 1, 5}},
         {2, 300, 30, 27, 1, 5}},
        {"a paper chosen, Enter",
         {user::choose(IDC_PAGE_PAPER, 1), user::enter()},
         {{1, 300, 36, 27, 1, 5}},
         {1, 300, 36, 27, 1, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(false, k300);
        std::vector<Params> sent;
        const auto out = run(c.steps, sent);
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(dptest::paramsOf(record()), c.kept);
        EXPECT_EQ(sim::paramsInDevMode(record().devMode, record().devModeSize), c.kept);
        EXPECT_EQ(out, std::make_pair(int32_t{c.kept.lines}, int32_t{c.kept.columns}));
        EXPECT_TRUE(sim::world().messageBoxes.empty());
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

// The system may keep its dialog open after "Aceptar" or "Cancelar" (a check of its own
// failed). The dialog then answers every command as before: a paper chosen goes to the driver
// at once, and so does a number typed and left.
TEST_F(PageSetupTest, DialogKeptOpenAfterAceptarOrCancelarAnswersAsBefore) {
    struct Case {
        const char* what;
        std::deque<sim::UserStep> ending; // refused once
        int16_t lines;                    // what the record has in the end
    };
    const Case cases[] = {
        {"Enter in a typed field", {user::type(IDC_PAGE_LINES, u"22"), user::enter()}, 22},
        {"Aceptar clicked from a field", {user::focus(IDC_PAGE_LENGTH), user::press(os::IDOK)}, 27},
        // Cancelar drops what was typed and not yet handed over, whether or not the dialog goes.
        {"Esc in a typed field", {user::type(IDC_PAGE_LINES, u"22"), user::escape()}, 27},
        {"Cancelar clicked", {user::press(os::IDCANCEL)}, 27},
        {"the close box", {user::closeBox()}, 27},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        sim::world().refusedEnds = 1;
        size_t refused = 0;
        std::deque<sim::UserStep> steps = c.ending;
        steps.push_back(user::inspect([&](os::HWND) { refused = sim::world().escapes.size(); }));
        for (const auto& step : {user::choose(IDC_PAGE_PAPER, 1), user::choose(IDC_PAGE_PAPER, 2),
                                 user::type(IDC_PAGE_COLUMNS, u"30"), user::tab(), user::enter()}) {
            steps.push_back(step);
        }
        run(steps);
        EXPECT_EQ(sim::world().refusedEnds, 0);
        EXPECT_EQ(sim::world().scriptRanOut, 0) << "Enter ended the dialog";
        const std::vector<Params> sent = {
            {1, 305, 36, c.lines, 1, 5}, {2, 305, 36, c.lines, 1, 5}, {2, 305, 30, c.lines, 1, 5}};
        EXPECT_EQ(escapesFrom(refused).blocks, sent);
        EXPECT_EQ(dptest::paramsOf(record()), sent.back());
        dotpress::unload();
    }
}

// A page setup ended in any way leaves nothing behind that the next one, in the same load of the
// library, could mistake for its own state.
TEST_F(PageSetupTest, SecondDialogOfTheSameLoadStartsClean) {
    struct Case {
        const char* what;
        std::deque<sim::UserStep> first;
        const char16_t* lines; // what the second dialog opens with
    };
    const Case cases[] = {
        {"Aceptar by Enter in a typed field",
         {user::type(IDC_PAGE_LINES, u"22"), user::enter()},
         u"22"},
        {"Aceptar clicked from a field",
         {user::focus(IDC_PAGE_LINES), user::press(os::IDOK)},
         u"27"},
        {"Esc in a typed field", {user::type(IDC_PAGE_LINES, u"22"), user::escape()}, u"27"},
        {"the close box", {user::closeBox()}, u"27"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        run(c.first);
        Shown opened;
        size_t start = 0;
        run({lookInto(opened),
             user::inspect([&](os::HWND) { start = sim::world().escapes.size(); }),
             user::choose(IDC_PAGE_PAPER, 1), user::enter()});
        EXPECT_EQ(opened.lines, c.lines);
        std::vector<int16_t> formats;
        for (const Params& sent : escapesFrom(start).blocks) {
            formats.push_back(sent.paperFormat);
        }
        EXPECT_EQ(formats, std::vector<int16_t>{1}) << "the paper chosen went to the driver";
        EXPECT_EQ(record().params.paperFormat, 1);
        EXPECT_EQ(sim::world().pageSetupDialogs.size(), 2u);
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, EachEventSendsItsEscapesInOrder) {
    constexpr int kGet = 65281, kSet = 65282;
    struct Case {
        const char* what;
        std::deque<sim::UserStep> event;
        std::vector<int> codes;
        std::vector<Params> blocks;
    };
    const Case cases[] = {
        {"a field typed and left",
         {user::type(IDC_PAGE_LINES, u"22"), user::tab()},
         {kSet, kGet, kGet},
         {{2, 305, 36, 22, 1, 5}}},
        {"a field typed, Enter",
         {user::type(IDC_PAGE_COLUMNS, u"44"), user::enter()},
         {kSet, kGet, kGet},
         {{2, 305, 44, 27, 1, 5}}},
        // The field shows the 30 lines the driver kept before the dialog goes: the focus
        // leaving it then hands over nothing more.
        {"lines beyond the driver's limit typed, Enter",
         {user::type(IDC_PAGE_LINES, u"40"), user::enter()},
         {kSet, kGet, kGet},
         {{2, 305, 36, 40, 1, 5}}},
        {"a paper chosen",
         {user::choose(IDC_PAGE_PAPER, 1)},
         {kSet, kGet},
         {{1, 305, 36, 27, 1, 5}}},
        {"the printer's own dialog", {user::mnemonic(u'C')}, {kGet}, {}},
        {"Restaurar valores", {user::mnemonic(u'R')}, {kGet}, {}},
        {"Tab from the list to a button", {user::tab()}, {}, {}},
        {"Enter, nothing typed", {user::enter()}, {}, {}},
        // The focus leaves the field as the dialog closes; that hands the driver nothing.
        {"a field focused, Enter", {user::focus(IDC_PAGE_LINES), user::enter()}, {}, {}},
        {"a field typed, Esc", {user::type(IDC_PAGE_LINES, u"22"), user::escape()}, {}, {}},
        {"Esc", {user::escape()}, {}, {}},
        {"the close box", {user::closeBox()}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine();
        const size_t before = sim::world().escapes.size();
        size_t opened = 0;
        std::deque<sim::UserStep> steps = c.event;
        steps.push_front(user::inspect([&](os::HWND) { opened = sim::world().escapes.size(); }));
        run(steps);
        // The check whether the driver answers, then the opening's reading of the device mode.
        const EscapesSent opening = escapesFrom(before);
        ASSERT_GE(opening.codes.size(), opened - before);
        EXPECT_EQ(std::vector<int>(opening.codes.begin(),
                                   opening.codes.begin() + static_cast<long>(opened - before)),
                  (std::vector<int>{kGet, kGet}));
        const EscapesSent sent = escapesFrom(opened);
        EXPECT_EQ(sent.codes, c.codes);
        EXPECT_EQ(sent.blocks, c.blocks);
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, FieldsShowTheSixteenBitsTheyReadBack) {
    struct Case {
        const char* what;
        Params start;
        std::deque<sim::UserStep> steps; // followed by a look at the fields
        std::u16string lines, columns;
        Params lastSent;
    };
    const Case cases[] = {
        // Digits only: a driver's negative number shows unsigned, and leaving another field
        // hands it back as it came.
        {"a driver's negative lines, another field left",
         {2, 305, 36, -5, 1, 5},
         {user::type(IDC_PAGE_COLUMNS, u"30"), user::tab()},
         u"65531",
         u"30",
         {2, 305, 30, -5, 1, 5}},
        {"lines above 32767 typed and left",
         kStart,
         {user::type(IDC_PAGE_LINES, u"40000"), user::tab()},
         u"40000",
         u"36",
         {2, 305, 36, -25536, 1, 5}},
        {"then another field left",
         kStart,
         {user::type(IDC_PAGE_LINES, u"40000"), user::tab(), user::tab()},
         u"40000",
         u"36",
         {2, 305, 36, -25536, 1, 5}},
        {"columns above 255 typed and left",
         kStart,
         {user::type(IDC_PAGE_COLUMNS, u"300"), user::tab()},
         u"27",
         u"300",
         {2, 305, 300, 27, 1, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        machine(false, c.start);
        Shown opened, shown;
        std::deque<sim::UserStep> steps = c.steps;
        steps.push_front(lookInto(opened));
        steps.push_back(lookInto(shown));
        steps.push_back(user::escape());
        run(steps);
        EXPECT_EQ(opened.lines, std::u16string(c.start.lines < 0 ? u"65531" : u"27"));
        EXPECT_EQ(opened.linesLabel, opened.lines);
        EXPECT_EQ(shown.lines, c.lines);
        EXPECT_EQ(shown.linesLabel, c.lines);
        EXPECT_EQ(shown.columns, c.columns);
        EXPECT_EQ(shown.columnsLabel, c.columns);
        EXPECT_EQ(lastSent(), c.lastSent);
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, FieldsSelectTheirTextWhenTheyGetTheFocus) {
    struct Case {
        int field;
        std::u16string typed;
        Params sent;
    };
    for (const Case& c : {Case{IDC_PAGE_LINES, u"22", {2, 305, 36, 22, 1, 5}},
                          Case{IDC_PAGE_COLUMNS, u"40", {2, 305, 40, 27, 1, 5}},
                          Case{IDC_PAGE_LENGTH, u"11", {2, 280, 36, 27, 1, 5}}}) {
        SCOPED_TRACE(c.field);
        nextRow();
        machine();
        // The focus put there without the dialog manager selecting anything: the keys replace
        // the old number only because the field selects its text itself.
        run({user::focus(c.field), user::keys(c.typed), user::tab(), user::escape()});
        EXPECT_EQ(lastSent(), c.sent);
        EXPECT_EQ(sim::world().refusedSteps, 0);
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, FieldsUnlockOnlyOnTheLastEntryOfAPaperList) {
    struct Case {
        std::vector<std::u16string> papers;
        int16_t format;
        bool locked;
    };
    for (const Case& c :
         {Case{{}, -1, true}, Case{{u"Propio"}, 0, false}, Case{{u"Carta", u"Propio"}, -1, true},
          Case{{u"Carta", u"Propio"}, 0, true}}) {
        SCOPED_TRACE(testing::Message() << c.papers.size() << " papers, format " << c.format);
        nextRow();
        machine(false, {c.format, 305, 36, 27, 1, 5});
        sim::world().printers[0].paperNames = c.papers;
        Shown shown;
        run({lookInto(shown), user::escape()});
        EXPECT_EQ(shown.locked, c.locked);
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, TitleNamesThePrinterAndIsCutAtItsBuffer) {
    const std::u16string prefix = u"Configurar página de ";
    struct Case {
        size_t nameLength;
        size_t titleLength; // the buffer holds 259 units and the terminator
    };
    for (const Case& c : {Case{200, 221}, Case{238, 259}, Case{239, 259}, Case{259, 259}}) {
        SCOPED_TRACE(c.nameLength);
        nextRow();
        std::u16string name(c.nameLength, u'a');
        for (size_t i = 0; i < name.size(); ++i) {
            name[i] = static_cast<char16_t>(u'a' + i % 26);
        }
        machine(false, kStart, name);
        std::u16string title;
        run({user::inspect([&](os::HWND d) { title = sim::findWindow(d)->title; }),
             user::escape()});
        EXPECT_EQ(title, (prefix + name).substr(0, c.titleLength));
        dotpress::unload();
    }
}

TEST_F(PageSetupTest, OpensWithWhatTheDriverReadsFromTheDeviceMode) {
    machine();
    record().params = dotpress::PrinterParams{0, 280, 20, 15, 0, 0};
    Shown shown;
    run({lookInto(shown), user::escape()});
    EXPECT_EQ(shown.selection, 2);
    EXPECT_EQ(shown.lines, u"27");
    EXPECT_EQ(shown.columns, u"36");
    EXPECT_EQ(shown.length, u"12");
    EXPECT_EQ(dptest::paramsOf(record()), (Params{0, 280, 20, 15, 0, 0})) << "Esc keeps the record";
}

} // namespace
