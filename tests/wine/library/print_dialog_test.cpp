// The real print dialog of Dotpress.dll, worked by keyboard alone as a blind user works it: the
// keys go through the dialog manager of the system's modal loop, never as commands from the test.
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_accessible.h"
#include "wine_dialogs.h"
#include "wine_keyboard.h"
#include "wine_printers.h"
#include "wine_screenshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::Exports;
using dotpresstest::LoadedDll;

const auto& kKey = dotpresstest::kSettingsKey;
using Action = std::function<void(HWND)>;

Action key(UINT vk) {
    return [vk](HWND d) { pressKey(d, vk); };
}
Action text(const std::wstring& t) {
    return [t](HWND d) { typeKeys(d, t); };
}
Action alt(wchar_t letter) {
    return [letter](HWND d) { pressMnemonic(d, letter); };
}

bool allZero(const PrintOptions& o) {
    const auto* b = reinterpret_cast<const BYTE*>(&o);
    return std::all_of(b, b + sizeof o, [](BYTE v) { return v == 0; });
}

class PrintDialogTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        ASSERT_TRUE(braille.ok() && other.ok());
        // Without a default printer Wine's print dialog has no printer to start from.
        ASSERT_TRUE(setDefaultPrinter(braille.name()));
        ASSERT_TRUE(dotpresstest::storePrinterName(braille.name()));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    int32_t show(HMODULE dll, PrintOptions* options, int32_t pages) {
        using Area = int32_t(DOTPRESS_CALL*)(uint16_t*, uint16_t*);
        using Dialog = int32_t(DOTPRESS_CALL*)(void*, PrintOptions*, int32_t);
        uint16_t lines = 25, columns = 30;
        reinterpret_cast<Area>(reinterpret_cast<void*>(GetProcAddress(dll, "ImpSetPrintingArea")))(
            &lines, &columns);
        return reinterpret_cast<Dialog>(reinterpret_cast<void*>(
            GetProcAddress(dll, "ImpMostrarDialogoImprimir")))(nullptr, options, pages);
    }

    ScopedPrinter braille{L"Dotpress Braille A", L"VORN Braille", testDir() + L"\\dlg-a.ps"};
    ScopedPrinter other{L"Dotpress Braille B", L"Generic PS", testDir() + L"\\dlg-b.ps"};
};

TEST_F(PrintDialogTest, KeyboardAloneChoosesPagesAndCopies) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    std::wstring title, allCaption, copiesAfterTyping, copiesName;
    int focusedAtStart = 0;
    PrintOptions options;
    DialogDriver driver({actions({
        [&](HWND d) {
            title = windowText(d);
            allCaption = controlText(d, 1056);
            focusedAtStart = GetDlgCtrlID(GetFocus());
            copiesName = hear(GetDlgItem(d, 1154)).name;
        },
        key(VK_TAB),
        key(VK_TAB),
        key(VK_TAB), // printer list, table, print to file, range group
        key(VK_DOWN),
        key(VK_DOWN), // "Página actual", then "Páginas"
        key(VK_TAB),
        text(L"2-6,8"), // into the page list
        alt(L'c'),
        text(L"2"), // "Número de &copias:"
        [&](HWND d) {
            copiesAfterTyping = controlText(d, 1154);
            // Kept for a person to look at: build/<arch>/print-dialog.png.
            EXPECT_TRUE(saveScreenshot(d, testDir() + L"\\print-dialog.png"));
        },
        key(VK_RETURN),
    })});
    EXPECT_EQ(show(dll.get(), &options, 20), 0);
    EXPECT_TRUE(driver.unexpected().empty());
    EXPECT_EQ(title, L"Imprimir");
    EXPECT_EQ(allCaption, L"&Las 20 páginas");
    EXPECT_EQ(focusedAtStart, 1139) << "the printer list takes the focus first";
    // A field is announced by the label that stands before it. (Wine names a drop-down list by
    // its selection instead, so the lists are not asked.)
    EXPECT_EQ(copiesName, L"Número de copias:");
    EXPECT_EQ(copiesAfterTyping, L"2") << "Alt+C selects the copies for typing over";
    EXPECT_EQ(options.rangeKind, RANGE_PAGES);
    ASSERT_EQ(options.rangeCount, 2);
    EXPECT_EQ(options.ranges[0].firstPage, 2u);
    EXPECT_EQ(options.ranges[0].lastPage, 6u);
    EXPECT_EQ(options.ranges[1].firstPage, 8u);
    EXPECT_EQ(options.ranges[1].lastPage, 8u);
    EXPECT_EQ(options.copies, 2u);
    EXPECT_EQ(options.totalPages, 12u);
    EXPECT_EQ(options.printToFile, 0);
}

TEST_F(PrintDialogTest, ABadListIsShownAndTheDialogStaysOpen) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    std::wstring message;
    bool listStillThere = false;
    PrintOptions options;
    DialogDriver driver({
        actions({key(VK_TAB), key(VK_TAB), key(VK_TAB), key(VK_DOWN), key(VK_DOWN), key(VK_TAB),
                 text(L"1-2-3"), key(VK_RETURN)}),
        answerMessageBox(IDOK, &message),
        actions(
            {[&](HWND d) { listStillThere = controlText(d, 1014) == L"1-2-3"; }, key(VK_ESCAPE)}),
    });
    EXPECT_EQ(show(dll.get(), &options, 20), 1);
    EXPECT_TRUE(driver.unexpected().empty());
    EXPECT_EQ(message, L"El formato de los números de página a imprimir no es correcto.");
    EXPECT_TRUE(listStillThere);
    EXPECT_TRUE(allZero(options));
}

TEST_F(PrintDialogTest, EscCancelsWithAnEmptyBlock) {
    LoadedDll dll;
    ASSERT_NE(dll.get(), nullptr);
    PrintOptions options;
    std::fill_n(reinterpret_cast<BYTE*>(&options), sizeof options, BYTE{0xAB});
    DialogDriver driver({actions({key(VK_ESCAPE)})});
    EXPECT_EQ(show(dll.get(), &options, 5), 1);
    EXPECT_TRUE(allZero(options));
}

// After a job cancelled on page 3 of 10, the box that goes on from there, heard as Alt+O gives it
// the focus; going on prints pages 3 to 10.
TEST_F(PrintDialogTest, TheOfferToGoOnIsHeardAndGoesOn) {
    LoadedDll dll;
    const Exports imp(dll.get());
    PrintOptions options;
    {
        DialogDriver driver({actions({key(VK_RETURN)})});
        ASSERT_EQ(show(dll.get(), &options, 10), 0);
    }
    ASSERT_EQ(imp.open("Libro", options), 0);
    for (int i = 0; i < 2 * 25 + 3; ++i) { // pages 1 and 2, and three lines of page 3
        imp.line("x");
    }
    pressKey(FindWindowW(L"#32770", L"Imprimiendo"), VK_ESCAPE);
    runHostLoop();
    imp.close();
    Heard offer;
    DialogDriver driver(
        {actions({alt(L'o'), [&](HWND d) { offer = hear(focusedIn(d)); },
                  [](HWND d) { saveScreenshot(d, testDir() + L"\\print-dialog-paper.png"); },
                  key(VK_RETURN)})});
    ASSERT_EQ(show(dll.get(), &options, 10), 0);
    EXPECT_TRUE(driver.unexpected().empty());
    EXPECT_EQ(offer.name, L"Continuar el trabajo cancelado desde la p\u00e1gina 3");
    EXPECT_EQ((std::vector<uint32_t>{options.ranges[0].firstPage, options.ranges[0].lastPage,
                                     options.copies, options.totalPages}),
              (std::vector<uint32_t>{3, 10, 1, 8}));
}

} // namespace
