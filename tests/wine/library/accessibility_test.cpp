// What a blind user hears in the real Dotpress.dll: every dialog walked by Tab (and by the arrows
// and mnemonics where they lead somewhere Tab does not), each stop asked for its name, description,
// role and value as a screen reader asks; and a job cancelled by key from the host's message loop.
#include "dotpress.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress_dll.h"
#include "wine_accessible.h"
#include "wine_dialogs.h"
#include "wine_keyboard.h"
#include "wine_printers.h"
#include "wine_screenshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <oleacc.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::Exports;
using dotpresstest::jobOptions;
using dotpresstest::LoadedDll;

const auto& kKey = dotpresstest::kSettingsKey;

// What the user should hear at one stop. A drop-down list is named by Wine after its selected
// entry, not after its label (Windows takes the label): where that is so, `name` is the entry
// and `wineNamesBySelection` says why. `role` is the control's own role.
struct Expected {
    int id;
    std::wstring name;
    long role;
    std::wstring description = L"";
    bool wineNamesBySelection = false;
};

std::string describe(const std::vector<Stop>& stops) {
    std::ostringstream out;
    for (const Stop& s : stops) {
        out << "  " << s.id << " \"" << narrow(s.heard.name) << "\" "
            << narrow(roleText(s.heard.role)) << " value \"" << narrow(s.heard.value)
            << "\" description \"" << narrow(s.heard.description) << "\"\n";
    }
    return out.str();
}

// Wine's standard objects know the edit control; every other control is given the role of a
// plain window's client area (Windows gives each its own).
long wineRole(long role) {
    return role == ROLE_SYSTEM_TEXT ? role : ROLE_SYSTEM_CLIENT;
}

// Every stop is heard with its own name and role, in the order expected; no stop is nameless.
// The stops are printed as well, for a person to read what a screen reader says.
void expectHeard(const std::vector<Stop>& stops, const std::vector<Expected>& expected) {
    std::printf("%s", describe(stops).c_str());
    ASSERT_EQ(stops.size(), expected.size()) << "stops heard:\n" << describe(stops);
    for (size_t i = 0; i < stops.size(); ++i) {
        const Stop& s = stops[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(testing::Message() << "stop " << i << ", control " << s.id);
        EXPECT_EQ(s.id, e.id);
        EXPECT_TRUE(s.heard.object) << "no accessible object";
        EXPECT_FALSE(s.heard.name.empty()) << "no name";
        EXPECT_EQ(narrow(s.heard.name), narrow(e.name))
            << (e.wineNamesBySelection ? "Wine names a drop-down list by its selected entry" : "");
        EXPECT_EQ(roleText(s.heard.role), roleText(wineRole(e.role)));
        EXPECT_EQ(narrow(s.heard.description), narrow(e.description));
    }
}

// The stop where the focus is now, heard.
Stop here(HWND dialog) {
    const HWND focus = focusedIn(dialog);
    return {GetDlgCtrlID(focus), hear(focus)};
}

using Action = std::function<void(HWND)>;

Action key(UINT vk) {
    return [vk](HWND d) { pressKey(d, vk); };
}

class Accessibility : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        ASSERT_TRUE(braille.ok() && office.ok());
        ASSERT_TRUE(setDefaultPrinter(braille.name()));
        // A printer is stored, so that no list opens on "No seleccionar impresora".
        ASSERT_TRUE(dotpresstest::storePrinterName(braille.name()));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    ScopedPrinter braille{L"Dotpress Oye A", L"VORN Braille", outputPath(L"hear-a.ps")};
    ScopedPrinter office{L"Dotpress Oye B", L"Generic PS", outputPath(L"hear-b.ps")};
};

TEST_F(Accessibility, PrintDialogIsHeardFieldByField) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    const Exports imp(dll.get());
    std::vector<Stop> atOpening, byArrows, withPages;
    DialogDriver driver({chain({
        walkTabOrder(&atOpening),
        actions({
            key(VK_TAB),
            key(VK_TAB),
            key(VK_TAB), // to the range group
            key(VK_DOWN),
            [&](HWND d) { byArrows.push_back(here(d)); },
            key(VK_DOWN),
            [&](HWND d) { byArrows.push_back(here(d)); },
            key(VK_TAB),
            [&](HWND d) { byArrows.push_back(here(d)); },
            [](HWND d) { typeKeys(d, L"1-5"); },
            [](HWND d) { pressMnemonic(d, L'c'); },
            [](HWND d) { typeKeys(d, L"2"); }, // two copies: "Intercalar" shows
            [](HWND d) {
                // Kept for a person to look at: build/<arch>/print-dialog-pages.png.
                EXPECT_TRUE(saveScreenshot(d, outputPath(L"print-dialog-pages.png")));
            },
        }),
        walkTabOrder(&withPages),
        actions({key(VK_ESCAPE)}),
    })});
    imp.area(25, 30);
    PrintOptions options;
    EXPECT_EQ(imp.get<int32_t(DOTPRESS_CALL*)(void*, PrintOptions*, int32_t)>(
                  "ImpMostrarDialogoImprimir")(nullptr, &options, 120),
              1);
    EXPECT_EQ(driver.done(), 1u);
    EXPECT_TRUE(driver.unexpected().empty());

    const std::wstring printer = braille.name();
    const Expected list{1139, printer, ROLE_SYSTEM_COMBOBOX, L"", true};
    const Expected table{1019, L"ASCII", ROLE_SYSTEM_COMBOBOX, L"", true};
    const Expected toFile{1040, L"Imprimir a fichero", ROLE_SYSTEM_CHECKBUTTON};
    const Expected pages{1014, L"P\u00e1ginas", ROLE_SYSTEM_TEXT, L"Ejemplo: 2-6,8,10,15-20"};
    const Expected copies{1154, L"N\u00famero de copias:", ROLE_SYSTEM_TEXT};
    const Expected binding{1016, L"Activar la encuadernaci\u00f3n", ROLE_SYSTEM_CHECKBUTTON};
    const Expected print{1011, L"Imprimir", ROLE_SYSTEM_PUSHBUTTON};
    const Expected cancel{2, L"Cancelar", ROLE_SYSTEM_PUSHBUTTON};
    const Expected sheets{IDC_PRINT_SHEETS, L"Papel:", ROLE_SYSTEM_TEXT};
    // The page list is disabled and "Intercalar" hidden while all pages and one copy are chosen;
    // "Ajustar las dos caras" is off for a printer that prints one side.
    expectHeard(atOpening, {list,
                            table,
                            toFile,
                            {1056, L"Las 120 p\u00e1ginas", ROLE_SYSTEM_RADIOBUTTON},
                            copies,
                            binding,
                            print,
                            cancel,
                            sheets});
    expectHeard(byArrows, {{1057, L"P\u00e1gina actual", ROLE_SYSTEM_RADIOBUTTON},
                           {1058, L"P\u00e1ginas", ROLE_SYSTEM_RADIOBUTTON},
                           pages});
    // From the copies field, where Alt+C left the focus, round to it again.
    expectHeard(withPages, {copies,
                            {1041, L"Intercalar", ROLE_SYSTEM_CHECKBUTTON},
                            binding,
                            print,
                            cancel,
                            sheets,
                            list,
                            table,
                            toFile,
                            {1058, L"P\u00e1ginas", ROLE_SYSTEM_RADIOBUTTON},
                            pages});
    ASSERT_EQ(withPages.size(), 11u);
    EXPECT_EQ(atOpening.back().heard.value, L"Se usar\u00e1n 120 hojas de papel.");
    EXPECT_EQ(withPages[0].heard.value, L"2");
    EXPECT_EQ(withPages[5].heard.value, L"Se usar\u00e1n 12 hojas de papel.") << "1-6, twice";
    EXPECT_EQ(withPages[10].heard.value, L"1-5") << "the page list's value is what was typed";
}

TEST_F(Accessibility, PrinterSelectionIsHeardFieldByField) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    const Exports imp(dll.get());
    std::vector<Stop> stops;
    DialogDriver driver({chain({walkTabOrder(&stops), actions({key(VK_ESCAPE)})})});
    EXPECT_EQ(imp.get<int32_t(DOTPRESS_CALL*)(void*)>("ImpSeleccionarImpresora")(nullptr), 0);
    EXPECT_EQ(driver.done(), 1u);
    expectHeard(stops, {{IDC_SELECT_LIST, braille.name(), ROLE_SYSTEM_COMBOBOX, L"", true},
                        {IDOK, L"Aceptar", ROLE_SYSTEM_PUSHBUTTON},
                        {IDCANCEL, L"Cancelar", ROLE_SYSTEM_PUSHBUTTON},
                        {IDC_SELECT_DEFAULT, L"Predeterminar", ROLE_SYSTEM_PUSHBUTTON}});
}

TEST_F(Accessibility, PageConfigurationIsHeardFieldByField) {
    ASSERT_TRUE(dotpresstest::storePrinterName(office.name()));
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    const Exports imp(dll.get());
    std::vector<Stop> stops;
    DialogDriver driver({chain({walkTabOrder(&stops), actions({key(VK_ESCAPE)})})});
    int32_t lines = 0, columns = 0;
    imp.get<int32_t(DOTPRESS_CALL*)(void*, int32_t*, int32_t*)>("ImpConfigurarPagina")(
        nullptr, &lines, &columns);
    EXPECT_EQ(driver.done(), 1u);
    // The printer button, the paper length and "Restaurar valores" belong to a printer driver's
    // page: they are disabled when the library runs the dialog itself.
    expectHeard(stops,
                {{IDC_PAGE_PAPER, L"12 pulgadas 40 columnas", ROLE_SYSTEM_COMBOBOX, L"", true},
                 {IDC_PAGE_LINES, L"Lineas", ROLE_SYSTEM_TEXT},
                 {IDC_PAGE_COLUMNS, L"Columnas", ROLE_SYSTEM_TEXT},
                 {IDOK, L"Aceptar", ROLE_SYSTEM_PUSHBUTTON},
                 {IDCANCEL, L"Cancelar", ROLE_SYSTEM_PUSHBUTTON}});
}

UINT_PTR CALLBACK quietHook(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The system's page setup on the library's template, as the hook shows it for a Braille driver
// (which Wine cannot install): the same fields, and the printer button enabled.
TEST_F(Accessibility, SystemPageSetupIsHeardFieldByField) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    PAGESETUPDLGW setup{};
    setup.lStructSize = sizeof setup;
    setup.Flags = PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGESETUPTEMPLATE;
    setup.hInstance = dll.get();
    setup.lpPageSetupTemplateName = MAKEINTRESOURCEW(IDD_PAGE_CONFIG);
    setup.lpfnPageSetupHook = quietHook;
    std::vector<Stop> stops;
    std::wstring paper;
    DialogDriver driver({chain({
        [&](HWND d) {
            // Wine fills the paper list after the dialog has started.
            paper = controlText(d, IDC_PAGE_PAPER);
            return SendDlgItemMessageW(d, IDC_PAGE_PAPER, CB_GETCOUNT, 0, 0) > 0 && !paper.empty();
        },
        walkTabOrder(&stops),
        actions({key(VK_ESCAPE)}),
    })});
    EXPECT_FALSE(PageSetupDlgW(&setup));
    EXPECT_EQ(driver.done(), 1u);
    expectHeard(stops, {{IDC_PAGE_PAPER, paper, ROLE_SYSTEM_COMBOBOX, L"", true},
                        {IDC_PAGE_PRINTER_SETUP, L"Configuraci\u00f3n de la impresora",
                         ROLE_SYSTEM_PUSHBUTTON},
                        {IDC_PAGE_LINES, L"Lineas", ROLE_SYSTEM_TEXT},
                        {IDC_PAGE_COLUMNS, L"Columnas", ROLE_SYSTEM_TEXT},
                        {IDC_PAGE_LENGTH, L"Tama\u00f1o del papel (pulgadas)", ROLE_SYSTEM_TEXT},
                        {IDOK, L"Aceptar", ROLE_SYSTEM_PUSHBUTTON},
                        {IDCANCEL, L"Cancelar", ROLE_SYSTEM_PUSHBUTTON},
                        {IDC_PAGE_RESTORE, L"Restaurar valores", ROLE_SYSTEM_PUSHBUTTON}});
    GlobalFree(setup.hDevMode);
    GlobalFree(setup.hDevNames);
}

TEST_F(Accessibility, CancelledJobIsHeardAsCancelledAndStopsCounting) {
    const struct {
        const char* how;
        UINT key;
    } cases[] = {{"Enter", VK_RETURN}, {"Space", VK_SPACE}, {"Esc", VK_ESCAPE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        LoadedDll dll;
        ASSERT_NE(dll.get(), nullptr);
        const Exports imp(dll.get());
        imp.area(29, 12);
        const PrintOptions options = jobOptions(2, {{1, 2}});
        ASSERT_TRUE(removeFile(outputPath(L"hear-a.ps")));
        ASSERT_EQ(imp.open("Informe", options), 0);
        const HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
        ASSERT_NE(progress, nullptr);
        runHostLoop();
        const Stop atStart = here(progress);
        // One page and a few lines of the second: the window shows page 2, copy 1.
        for (int i = 0; i < 29 + 3; ++i) {
            imp.line("x");
            runHostLoop();
        }
        const std::wstring page = controlText(progress, IDC_PROGRESS_PAGE);
        const std::wstring copy = controlText(progress, IDC_PROGRESS_COPY);
        const LRESULT bar = SendDlgItemMessageW(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0);
        pressKey(progress, c.key);
        runHostLoop();
        const Stop afterCancel = here(progress);
        std::vector<int32_t> answers;
        for (int i = 0; i < 2 * 29; ++i) {
            answers.push_back(imp.line("x"));
            runHostLoop();
        }
        const Stop later = here(progress);
        if (c.key == VK_RETURN) {
            // Kept for a person to look at: build/<arch>/progress-cancelled.png.
            EXPECT_TRUE(saveScreenshot(progress, outputPath(L"progress-cancelled.png")));
        }
        EXPECT_EQ(controlText(progress, IDC_PROGRESS_PAGE), page);
        EXPECT_EQ(controlText(progress, IDC_PROGRESS_COPY), copy);
        EXPECT_EQ(SendDlgItemMessageW(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), bar);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(progress, IDC_PROGRESS_CANCEL)));
        EXPECT_EQ(imp.close(), 0);

        EXPECT_EQ(page, L"2");
        EXPECT_EQ(copy, L"1");
        EXPECT_EQ(answers, std::vector<int32_t>(2 * 29, 0)) << "every line answered as before";
        EXPECT_EQ(atStart.id, IDC_PROGRESS_CANCEL);
        EXPECT_EQ(narrow(atStart.heard.name), "Cancelar");
        for (const Stop* s : {&afterCancel, &later}) {
            EXPECT_EQ(s->id, IDC_PROGRESS_BAR) << "the focus is not lost with the button";
            EXPECT_EQ(narrow(s->heard.name), narrow(L"Impresi\u00f3n cancelada"));
            EXPECT_EQ(roleText(s->heard.role), roleText(wineRole(ROLE_SYSTEM_PROGRESSBAR)));
        }
    }
}

} // namespace
