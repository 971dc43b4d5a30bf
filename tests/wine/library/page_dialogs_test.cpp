// The printer and page dialogs of the real Dotpress.dll, worked by keyboard as a blind user works
// them: printers added to the prefix, keys posted to the focused control, screenshots kept in the
// build folder for a person to look at.
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

#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::LoadedDll;

const auto& kKey = dotpresstest::kSettingsKey;

struct Exports {
    explicit Exports(HMODULE module) : module(module) {}
    template <typename F> F get(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    int32_t selectPrinter() const {
        return get<int32_t(DOTPRESS_CALL*)(void*)>("ImpSeleccionarImpresora")(nullptr);
    }
    int32_t configurePage(int32_t* lines, int32_t* columns) const {
        return get<int32_t(DOTPRESS_CALL*)(void*, int32_t*, int32_t*)>("ImpConfigurarPagina")(
            nullptr, lines, columns);
    }
    int32_t pageSize(int32_t* lines, int32_t* columns) const {
        return get<int32_t(DOTPRESS_CALL*)(int32_t*, int32_t*)>("ImpObtenerTamPapel")(lines,
                                                                                      columns);
    }
    HMODULE module;
};

// The stored default printer; empty when there is none.
std::wstring storedPrinterName() {
    wchar_t name[260] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, L"NombreImp", RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr,
                     name, &size) != ERROR_SUCCESS) {
        return L"";
    }
    return name;
}

void storeName(const std::wstring& printer) {
    ASSERT_TRUE(dotpresstest::storePrinterName(printer));
}

LRESULT listMessage(HWND dialog, int id, UINT message) {
    return SendDlgItemMessageW(dialog, id, message, 0, 0);
}

bool readOnly(HWND dialog, int id) {
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0;
}

class PageDialogs : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        ASSERT_TRUE(braille.ok() && office.ok());
        // Wine's print-setup dialog closes only with a default printer, and its page setup
        // needs the PPD of one.
        ASSERT_TRUE(setDefaultPrinter(braille.name()));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    // The printer's index in the library's table, which lists the printers as the spooler does.
    static size_t tableIndex(const std::wstring& name) {
        const auto all = printers();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].name == name) {
                return i;
            }
        }
        return all.size();
    }

    ScopedPrinter braille{L"Dotpress Pages A", L"VORN Braille", outputPath(L"pages-a.ps")};
    ScopedPrinter office{L"Dotpress Pages B", L"Generic PS", outputPath(L"pages-b.ps")};
};

TEST_F(PageDialogs, PrinterChosenByKeyboardIsStoredAndSelectedAtTheNextLoad) {
    const size_t count = printers().size();
    const size_t chosen = tableIndex(office.name());
    ASSERT_LT(chosen, count);
    std::wstring title, lines;
    LRESULT entries = -1, initial = -1, selected = -1;
    {
        LoadedDll dll;
        ASSERT_NE(dll.get(), nullptr);
        DialogDriver driver({actions({
            [&](HWND d) {
                title = windowText(d);
                entries = listMessage(d, IDC_SELECT_LIST, CB_GETCOUNT);
                initial = listMessage(d, IDC_SELECT_LIST, CB_GETCURSEL);
                pressMnemonic(d, L'N'); // the label hands the focus to the list
            },
            [&](HWND d) {
                // Up from "No seleccionar impresora", the last entry, to the office printer.
                for (size_t k = chosen; k < count; ++k) {
                    pressKey(d, VK_UP);
                }
            },
            [&](HWND d) {
                selected = listMessage(d, IDC_SELECT_LIST, CB_GETCURSEL);
                lines = controlText(d, IDC_SELECT_LINES);
                EXPECT_TRUE(saveScreenshot(d, outputPath(L"printer-selection.png")));
                // Without the library's hook the system would ignore "&Predeterminar" and the
                // dialog would never end: then leave it with Esc and let the checks below fail.
                if (entries == static_cast<LRESULT>(count + 1)) {
                    pressMnemonic(d, L'P');
                } else {
                    pressKey(d, VK_ESCAPE);
                }
            },
        })});
        EXPECT_EQ(Exports(dll.get()).selectPrinter(), 0);
        EXPECT_EQ(driver.done(), 1u);
        EXPECT_TRUE(driver.unexpected().empty());
    }
    EXPECT_EQ(title, L"Seleccionar impresora");
    EXPECT_EQ(entries, static_cast<LRESULT>(count + 1)) << "the table and no printer";
    EXPECT_EQ(initial, static_cast<LRESULT>(count)) << "nothing stored: no printer selected";
    EXPECT_EQ(selected, static_cast<LRESULT>(chosen));
    EXPECT_EQ(lines, L"29") << "an ordinary printer has the default page";
    EXPECT_EQ(narrow(storedPrinterName()), narrow(office.name()));

    LRESULT reopened = -1;
    LoadedDll dll;
    DialogDriver driver({actions({[&](HWND d) {
        reopened = listMessage(d, IDC_SELECT_LIST, CB_GETCURSEL);
        pressKey(d, VK_ESCAPE);
    }})});
    EXPECT_EQ(Exports(dll.get()).selectPrinter(), 0);
    EXPECT_EQ(reopened, static_cast<LRESULT>(chosen));
}

// "No seleccionar impresora" names no printer: the system dialog must never be left to open a
// printer of that name (it frees its own blocks first and again later, which the heap checking
// these tests run with reports). Each case ends with the entry the next opening starts on.
TEST_F(PageDialogs, NoPrinterEntryAtTheStartAndOnTheWayKeepsTheSystemDialogSound) {
    struct Case {
        const char* what;
        bool officeStored;
        std::vector<UINT> keys; // pressed in the list, one step each, then Enter or Esc
        UINT ending;
    };
    const Case cases[] = {
        {"nothing stored, Esc", false, {}, VK_ESCAPE},
        {"nothing stored, Aceptar", false, {}, VK_RETURN},
        {"no printer, then a printer, Aceptar", true, {VK_END, VK_HOME}, VK_RETURN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        if (c.officeStored) {
            storeName(office.name());
        }
        const size_t count = printers().size();
        LoadedDll dll;
        ASSERT_NE(dll.get(), nullptr);
        const Exports imp(dll.get());
        LRESULT initial = -1, passed = -1;
        std::vector<std::function<void(HWND)>> steps = {[&](HWND d) {
            initial = listMessage(d, IDC_SELECT_LIST, CB_GETCURSEL);
            pressMnemonic(d, L'N'); // the label hands the focus to the list
        }};
        // A key posted now is handled before the next step: each step first looks at what the
        // previous one did.
        for (size_t k = 0; k < c.keys.size(); ++k) {
            steps.push_back([&, k](HWND d) {
                if (k > 0 && c.keys[k - 1] == VK_END) {
                    passed = listMessage(d, IDC_SELECT_LIST, CB_GETCURSEL);
                }
                pressKey(d, c.keys[k]);
            });
        }
        steps.push_back([&](HWND d) { pressKey(d, c.ending); });
        {
            DialogDriver driver({actions(steps)});
            EXPECT_EQ(imp.selectPrinter(), 0);
            EXPECT_EQ(driver.done(), 1u);
            EXPECT_TRUE(driver.unexpected().empty());
        }
        EXPECT_EQ(initial,
                  static_cast<LRESULT>(c.officeStored ? tableIndex(office.name()) : count));
        if (!c.keys.empty()) {
            EXPECT_EQ(passed, static_cast<LRESULT>(count)) << "End reaches no printer";
        }
        LRESULT reopened = -1;
        DialogDriver again({[&](HWND d) {
            reopened = listMessage(d, IDC_SELECT_LIST, CB_GETCURSEL);
            pressKey(d, VK_ESCAPE);
            return true;
        }});
        EXPECT_EQ(imp.selectPrinter(), 0);
        const size_t expected = c.keys.empty() ? count : 0; // Home: the first printer
        EXPECT_EQ(reopened, static_cast<LRESULT>(expected));
        EXPECT_EQ(storedPrinterName().empty(), !c.officeStored) << "Aceptar stores nothing";
    }
}

TEST_F(PageDialogs, OrdinaryPrinterGetsTheLibrarysOwnPageDialog) {
    storeName(office.name());
    LoadedDll dll;
    const Exports imp(dll.get());
    std::wstring title, lines, columns, linesLabel, columnsLabel;
    LRESULT initial = -1, chosen = -1;
    bool locked = false, printerButton = true;
    std::vector<std::wstring> names;
    DialogDriver driver({actions({
        [&](HWND d) {
            title = windowText(d);
            initial = listMessage(d, IDC_PAGE_PAPER, CB_GETCURSEL);
            printerButton = IsWindowEnabled(GetDlgItem(d, IDC_PAGE_PRINTER_SETUP));
            // The list has the focus: down from "12 pulgadas 40 columnas" four times.
            for (int k = 0; k < 4; ++k) {
                pressKey(d, VK_DOWN);
            }
        },
        [&](HWND d) {
            chosen = listMessage(d, IDC_PAGE_PAPER, CB_GETCURSEL);
            lines = controlText(d, IDC_PAGE_LINES);
            columns = controlText(d, IDC_PAGE_COLUMNS);
            linesLabel = controlText(d, IDC_PAGE_PICTURE_LINES);
            columnsLabel = controlText(d, IDC_PAGE_PICTURE_COLUMNS);
            locked = readOnly(d, IDC_PAGE_LINES) && readOnly(d, IDC_PAGE_COLUMNS);
            // Wine names a drop-down list by its selected entry, so only the edits are heard
            // by their labels.
            for (int id : {IDC_PAGE_LINES, IDC_PAGE_COLUMNS, IDC_PAGE_LENGTH}) {
                names.push_back(hear(GetDlgItem(d, id)).name);
            }
            EXPECT_TRUE(saveScreenshot(d, outputPath(L"page-config.png")));
            pressKey(d, VK_RETURN);
        },
    })});
    int32_t pageLines = 0, pageColumns = 0;
    EXPECT_EQ(imp.configurePage(&pageLines, &pageColumns), 0);
    EXPECT_EQ(driver.done(), 1u);
    EXPECT_TRUE(driver.unexpected().empty());
    EXPECT_EQ(title, L"Configurar p\u00e1gina");
    EXPECT_EQ(initial, 1);
    EXPECT_FALSE(printerButton);
    EXPECT_EQ(chosen, 5) << "11 pulgadas 38 columnas";
    EXPECT_EQ(lines, L"26");
    EXPECT_EQ(columns, L"38");
    EXPECT_EQ(linesLabel, L"26");
    EXPECT_EQ(columnsLabel, L"38");
    EXPECT_TRUE(locked);
    const std::vector<std::wstring> spoken = {L"Lineas", L"Columnas",
                                              L"Tama\u00f1o del papel (pulgadas)"};
    EXPECT_EQ(names, spoken) << "each field is read with the label before it";
    EXPECT_EQ(pageLines, 26);
    EXPECT_EQ(pageColumns, 38);
    int32_t sizeLines = 0, sizeColumns = 0;
    EXPECT_EQ(imp.pageSize(&sizeLines, &sizeColumns), 0);
    EXPECT_EQ(sizeLines, 26);
    EXPECT_EQ(sizeColumns, 38);
}

TEST_F(PageDialogs, UserDefinedFieldsAreClampedAsTheUserTabsThroughThem) {
    storeName(office.name());
    LoadedDll dll;
    std::wstring lines, linesLabel;
    DialogDriver driver({actions({
        [&](HWND d) {
            for (int k = 0; k < 5; ++k) {
                pressKey(d, VK_DOWN); // to "Definido por el usuario."
            }
            pressKey(d, VK_TAB); // past the disabled printer button, into the lines
        },
        [&](HWND d) {
            typeKeys(d, L"40"); // the whole text is selected: the digits replace it
        },
        [&](HWND d) { pressKey(d, VK_TAB); },
        [&](HWND d) {
            lines = controlText(d, IDC_PAGE_LINES);
            linesLabel = controlText(d, IDC_PAGE_PICTURE_LINES);
            typeKeys(d, L"47"); // the columns field has the focus, its text selected
            pressKey(d, VK_RETURN);
        },
    })});
    int32_t pageLines = 0, pageColumns = 0;
    EXPECT_EQ(Exports(dll.get()).configurePage(&pageLines, &pageColumns), 0);
    EXPECT_EQ(driver.done(), 1u);
    EXPECT_EQ(lines, L"32");
    EXPECT_EQ(linesLabel, L"32");
    EXPECT_EQ(pageLines, 32);
    EXPECT_EQ(pageColumns, 46) << "Enter in the field takes the limit too";
}

UINT_PTR CALLBACK quietHook(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A Braille driver cannot be installed under Wine, so the hook's path is shown in part: the
// system's page-setup dialog takes the DLL's template 1546 and fills its paper list.
TEST_F(PageDialogs, SystemPageSetupTakesTheLibrarysTemplate) {
    LoadedDll dll;
    PAGESETUPDLGW setup{};
    setup.lStructSize = sizeof setup;
    setup.Flags = PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGESETUPTEMPLATE;
    setup.hInstance = dll.get();
    setup.lpPageSetupTemplateName = MAKEINTRESOURCEW(IDD_PAGE_CONFIG);
    setup.lpfnPageSetupHook = quietHook;
    LRESULT papers = 0;
    std::wstring title;
    bool picture = false;
    DialogDriver driver({[&](HWND d) {
        papers = listMessage(d, IDC_PAGE_PAPER, CB_GETCOUNT);
        if (papers <= 0) {
            return false; // not filled yet: try again on the next tick
        }
        title = windowText(d);
        picture = IsWindowVisible(GetDlgItem(d, IDC_PAGE_RESTORE)) &&
                  FindWindowExW(d, nullptr, L"Static", nullptr) != nullptr;
        EXPECT_TRUE(saveScreenshot(d, outputPath(L"page-setup.png")));
        pressKey(d, VK_ESCAPE);
        return true;
    }});
    EXPECT_FALSE(PageSetupDlgW(&setup));
    EXPECT_EQ(driver.done(), 1u);
    EXPECT_GT(papers, 0);
    EXPECT_EQ(title, L"Configurar p\u00e1gina");
    EXPECT_TRUE(picture);
    GlobalFree(setup.hDevMode);
    GlobalFree(setup.hDevNames);
}

// The page block the library keeps for no printer ("DatosPag"), as a test stores it.
struct StoredPage {
    int16_t paperFormat, paperLength, columns, lines, doubleSided, reserved;
};
static_assert(sizeof(StoredPage) == 12, "the 12-byte page block");

void storePage(const StoredPage& page) {
    ASSERT_TRUE(dotpresstest::storeSetting(L"DatosPag", REG_BINARY, &page, sizeof page));
}

// No printer selected: the library's own dialog edits the stored block. Only a number the user
// typed is held to the limits, however the field is left (Tab, a click on Aceptar, Enter); a
// stored value that nobody touched stays, out of range or negative, and each field reads back
// the number it shows.
TEST_F(PageDialogs, AceptarKeepsWhatNobodyTouchedAndClampsOnlyWhatWasTyped) {
    struct Case {
        const char* what;
        StoredPage stored;
        std::vector<std::function<void(HWND)>> keys; // then Aceptar
        std::wstring shownLines;
        int32_t lines, columns;
        bool click; // Aceptar clicked with the mouse rather than Enter
    };
    auto tab = [](HWND d) { pressKey(d, VK_TAB); }; // from the paper list into the lines
    const Case cases[] = {
        {"Enter, nothing touched", {6, 0, 50, 40, 0, 0}, {}, L"40", 40, 50, false},
        {"the lines field focused, Enter", {6, 0, 50, 40, 0, 0}, {tab}, L"40", 40, 50, false},
        {"Tab through both fields to Aceptar, Enter",
         {6, 0, 50, 40, 0, 0},
         {tab, tab, tab},
         L"40",
         40,
         50,
         false},
        {"the columns field focused, Aceptar clicked",
         {6, 0, 50, 40, 0, 0},
         {tab, tab},
         L"40",
         40,
         50,
         true},
        {"lines typed, Enter",
         {6, 0, 50, 40, 0, 0},
         {tab, [](HWND d) { typeKeys(d, L"35"); }},
         L"40",
         32,
         50,
         false},
        {"lines typed, Aceptar clicked",
         {6, 0, 50, 40, 0, 0},
         {tab, [](HWND d) { typeKeys(d, L"35"); }},
         L"40",
         32,
         50,
         true},
        {"a negative number stored", {6, 0, 30, -5, 0, 0}, {tab}, L"65531", -5, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        storePage(c.stored);
        LoadedDll dll;
        ASSERT_NE(dll.get(), nullptr);
        std::wstring shown;
        UINT readBack = 0;
        BOOL translated = FALSE;
        std::vector<std::function<void(HWND)>> steps = {[&](HWND d) {
            shown = controlText(d, IDC_PAGE_LINES);
            readBack = GetDlgItemInt(d, IDC_PAGE_LINES, &translated, FALSE);
        }};
        steps.insert(steps.end(), c.keys.begin(), c.keys.end());
        steps.push_back([&c](HWND d) {
            if (c.click) {
                clickWithMouse(d, IDOK);
            } else {
                pressKey(d, VK_RETURN);
            }
        });
        DialogDriver driver({actions(steps)});
        int32_t lines = 0, columns = 0;
        EXPECT_EQ(Exports(dll.get()).configurePage(&lines, &columns), 0);
        EXPECT_EQ(driver.done(), 1u);
        EXPECT_TRUE(driver.unexpected().empty());
        EXPECT_EQ(shown, c.shownLines);
        EXPECT_TRUE(translated);
        EXPECT_EQ(static_cast<uint16_t>(readBack), static_cast<uint16_t>(c.stored.lines))
            << "the field reads back the 16 bits it shows";
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(columns, c.columns);
    }
}

// What the hook of the system's page setup asks at "Aceptar": which control has the focus.
struct FocusAtAceptar {
    HWND focus = nullptr;
    bool fieldLeftFirst = false; // EN_KILLFOCUS of the lines field came before IDOK
    bool fieldLeftAfter = false; // ... or after it, as the system closed the dialog
    bool accepted = false;
};
FocusAtAceptar seenAtAceptar;

UINT_PTR CALLBACK focusHook(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDC_PAGE_LINES && HIWORD(wParam) == EN_KILLFOCUS) {
            (seenAtAceptar.accepted ? seenAtAceptar.fieldLeftAfter : seenAtAceptar.fieldLeftFirst) =
                true;
        } else if (LOWORD(wParam) == IDOK) {
            seenAtAceptar.focus = GetFocus();
            seenAtAceptar.accepted = true;
        }
    }
    return message == WM_INITDIALOG;
}

// The library's page-setup hook hands a number to the driver at "Aceptar" only when the field
// it was typed into still has the focus, and a field that loses it hands over only a number
// that changed. A Braille driver cannot be installed under Wine, so the platform's part is shown
// with the DLL's template: Enter in a field leaves it the focus until the system, closing the
// dialog, takes it; going to "Aceptar" by Tab or by a click takes the focus from the field
// first, which then reports that it lost it.
TEST_F(PageDialogs, SystemPageSetupLeavesTheFocusWhereTheUserAccepts) {
    struct Case {
        const char* what;
        int tabs; // from the lines field; three reach "Aceptar"
        bool click;
        int focused;
        bool fieldLeftFirst;
    };
    for (const Case& c : {Case{"Enter in the lines field", 0, false, IDC_PAGE_LINES, false},
                          Case{"Enter on Aceptar", 3, false, IDOK, true},
                          Case{"Aceptar clicked from the lines field", 0, true, IDOK, true}}) {
        SCOPED_TRACE(c.what);
        LoadedDll dll;
        seenAtAceptar = {};
        PAGESETUPDLGW setup{};
        setup.lStructSize = sizeof setup;
        setup.Flags = PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGESETUPTEMPLATE;
        setup.hInstance = dll.get();
        setup.lpPageSetupTemplateName = MAKEINTRESOURCEW(IDD_PAGE_CONFIG);
        setup.lpfnPageSetupHook = focusHook;
        HWND expected = nullptr;
        std::vector<std::function<void(HWND)>> steps = {
            [&](HWND d) {
                expected = GetDlgItem(d, c.focused);
                pressMnemonic(d, L'L'); // "&Lineas" hands the focus to the lines field
            },
            [](HWND d) { typeKeys(d, L"22"); },
        };
        for (int k = 0; k < c.tabs; ++k) {
            steps.push_back([](HWND d) { pressKey(d, VK_TAB); });
        }
        steps.push_back([&c](HWND d) {
            if (c.click) {
                clickWithMouse(d, IDOK);
            } else {
                pressKey(d, VK_RETURN);
            }
        });
        DialogDriver driver({[&, step = actions(steps)](HWND d) {
            // Wine fills the paper list after the hook's start: wait for it.
            return listMessage(d, IDC_PAGE_PAPER, CB_GETCOUNT) > 0 && step(d);
        }});
        EXPECT_TRUE(PageSetupDlgW(&setup));
        EXPECT_EQ(driver.done(), 1u);
        EXPECT_TRUE(seenAtAceptar.accepted);
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(seenAtAceptar.focus, expected);
        EXPECT_EQ(seenAtAceptar.fieldLeftFirst, c.fieldLeftFirst);
        EXPECT_EQ(seenAtAceptar.fieldLeftAfter, !c.fieldLeftFirst)
            << "the field loses the focus once, before Aceptar or as the dialog closes";
        GlobalFree(setup.hDevMode);
        GlobalFree(setup.hDevNames);
    }
}

} // namespace
