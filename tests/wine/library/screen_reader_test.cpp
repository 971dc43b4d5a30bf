// The page list of "Imprimir" in the hands of a screen reader and of other programs that hook it:
// the object it is given lives as long as the reader wants, after the dialog and after the host
// has freed the library; a procedure hooked over ours stays hooked when ours goes. A program of
// its own: the library stays in the process once it has handed an object out.
#include "dotpress.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress_dll.h"
#include "wine_dialogs.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <string>

namespace {

using namespace winetest;
using dotpresstest::Exports;

const auto& kKey = dotpresstest::kSettingsKey;

class ScreenReader : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        ASSERT_TRUE(braille.ok());
        ASSERT_TRUE(setDefaultPrinter(braille.name()));
        ASSERT_TRUE(dotpresstest::storePrinterName(braille.name()));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    // Opens the print dialog of the library at `dll`, runs `atOpening` on it, and cancels it.
    static void printDialog(HMODULE dll, const std::function<void(HWND dialog)>& atOpening) {
        DialogDriver driver({[&](HWND dialog) {
            atOpening(dialog);
            clickButton(dialog, IDCANCEL);
            return true;
        }});
        PrintOptions options;
        EXPECT_EQ(Exports(dll).get<int32_t(DOTPRESS_CALL*)(void*, PrintOptions*, int32_t)>(
                      "ImpMostrarDialogoImprimir")(nullptr, &options, 20),
                  1);
        EXPECT_EQ(driver.done(), 1u);
    }

    ScopedPrinter braille{L"Dotpress Lector", L"VORN Braille", outputPath(L"reader.ps")};
};

std::wstring nameOf(IAccessible* object) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (FAILED(object->get_accName(self, &name)) || !name) {
        return L"<no name>";
    }
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

// A screen reader caches the objects it is given. This one keeps the page list's object, the
// dialog goes, the host frees the library; the reader still asks the object for its name and
// then releases it. The object's code is the library's, so the library stayed in the process.
TEST_F(ScreenReader, AnObjectKeptPastTheDialogAndTheLibraryStillAnswers) {
    HMODULE dll = LoadLibraryW(dotpresstest::dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    IAccessible* kept = nullptr;
    printDialog(dll, [&](HWND dialog) {
        if (FAILED(AccessibleObjectFromWindow(
                GetDlgItem(dialog, IDC_PRINT_PAGE_LIST), static_cast<DWORD>(OBJID_CLIENT),
                __uuidof(IAccessible), reinterpret_cast<void**>(&kept)))) {
            kept = nullptr;
        }
    });
    ASSERT_NE(kept, nullptr);
    EXPECT_TRUE(FreeLibrary(dll));
    EXPECT_NE(GetModuleHandleW(dotpresstest::dllPath().c_str()), nullptr)
        << "the library pinned itself when it handed the object out";
    EXPECT_EQ(nameOf(kept), L"P\u00e1ginas");
    EXPECT_EQ(kept->Release(), 0u);
}

// Another program hooks the page list the classic way (SetWindowLongPtr) after the library has:
// when the dialog goes, the library takes its own hook out of the chain without putting the
// window's procedure back over the other one, which still sees the window's last messages.
WNDPROC hookedOver = nullptr;
bool stillHookedAtTheEnd = false;
int messagesAfterOurs = 0;

LRESULT CALLBACK otherHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(hookedOver, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        stillHookedAtTheEnd =
            GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(otherHook);
    } else if (message == WM_GETOBJECT) {
        ++messagesAfterOurs;
    }
    return result;
}

TEST_F(ScreenReader, AHookOverOursStaysWhenOursGoes) {
    HMODULE dll = LoadLibraryW(dotpresstest::dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    std::wstring heardThroughBoth;
    printDialog(dll, [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_PRINT_PAGE_LIST);
        hookedOver = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(otherHook)));
        IAccessible* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT),
                                                 __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&object))) &&
            object) {
            heardThroughBoth = nameOf(object);
            object->Release();
        }
    });
    EXPECT_EQ(heardThroughBoth, L"P\u00e1ginas") << "the chain answers through both hooks";
    EXPECT_GT(messagesAfterOurs, 0);
    EXPECT_TRUE(stillHookedAtTheEnd) << "our removal put the window's procedure back over theirs";
    FreeLibrary(dll);
}

} // namespace
