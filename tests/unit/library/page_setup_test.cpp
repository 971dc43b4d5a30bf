// "Configurar página" as the system's page-setup dialog with the library's hook, for an embosser
// whose driver answers the parameter escapes.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"

namespace {

using dptest::LibraryTest;
using sim::Params;
namespace user = sim::user;

const Params kStart{2, 305, 36, 27, 1, 5};

class PageSetupTest : public LibraryTest {
protected:
    // An embosser whose last paper is its user-defined one; it keeps at most 30 lines and 330 mm.
    void machine(bool paperListAfterInit = false) {
        sim::BrailleDriver driver;
        driver.maxLines = 30;
        driver.maxPaperLength = 330;
        sim::Printer& p = sim::addBraillePrinter(u"Índice Braille", u"LPT1:", kStart, driver);
        p.paperNames = {u"Carta", u"A4", u"Definido por el usuario"};
        sim::world().paperListAfterInit = paperListAfterInit;
        selectPrinter(u"Índice Braille");
        load();
    }
    std::pair<int32_t, int32_t> run(std::deque<sim::UserStep> steps, void* owner = nullptr) {
        sim::world().script = std::move(steps);
        int32_t lines = -1, columns = -1;
        EXPECT_EQ(ImpConfigurarPagina(owner, &lines, &columns), 0);
        return {lines, columns};
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
        sim::reset();
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
        {IDC_PAGE_LENGTH, u"12", {2, 305, 36, 27, 1, 5}, u"27", u"36", u"12"},
        {IDC_PAGE_LENGTH, u"14", {2, 356, 36, 27, 1, 5}, u"27", u"36", u"13"},
        {IDC_PAGE_LINES, u"40", {2, 305, 36, 40, 1, 5}, u"30", u"36", u"12"},
        {IDC_PAGE_LINES, u"5", {2, 305, 36, 5, 1, 5}, u"5", u"36", u"12"},
        {IDC_PAGE_COLUMNS, u"", {2, 305, 0, 27, 1, 5}, u"27", u"0", u"12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " " + std::string(c.typed.begin(), c.typed.end()));
        sim::reset();
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
        sim::reset();
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
        sim::reset();
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
        sim::reset();
        machine();
        const std::vector<uint8_t> before = devMode();
        sim::world().failGlobalAllocAt = c.failAlloc;
        sim::world().failGlobalLock = c.failLock;
        const auto out = run({});
        EXPECT_TRUE(sim::world().pageSetupDialogs.empty());
        EXPECT_EQ(sim::liveGlobals(), 0);
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

} // namespace
