// The test sheet beside a host that keeps its own thread busy, on the null display and on X with
// a window manager: a window that posts itself work without end neither holds the sheet up nor
// keeps Esc from cancelling it; a host that closes the sheet from its own timer, a child window
// as owner, has the keyboard back.
#include "dotpress_dll.h"
#include "wine_keyboard.h"
#include "wine_printers.h"

#include <gtest/gtest.h>

namespace {

using namespace winetest;

constexpr UINT kMoreWork = WM_APP + 3;
// Where a host that never runs out of work is cut off, so that a loop that waits for an empty
// queue fails rather than hangs.
constexpr unsigned kEnoughWork = 50000;

const dotpresstest::Exports* imp = nullptr;
unsigned pieces = 0;
uint32_t escAfterLines = 0; // 0: no key
bool closedOpenJob = false, enabledWhenClosing = true;

// The host's top-level window: each piece of its work posts the next; its timer closes the job.
LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMoreWork && ++pieces < kEnoughWork) {
        if (escAfterLines && imp->summary().linesPrinted >= escAfterLines) {
            pressKey(FindWindowW(L"#32770", L"Imprimiendo"), VK_ESCAPE);
            escAfterLines = 0;
        }
        PostMessageW(window, kMoreWork, 0, 0);
    } else if (message == WM_TIMER) {
        KillTimer(window, wParam);
        enabledWhenClosing = IsWindowEnabled(window) != FALSE;
        closedOpenJob = imp->summary().state == JOB_STATE_OPEN;
        imp->close();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class BusyHostTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
        ASSERT_TRUE(braille.ok() && dotpresstest::storePrinterName(braille.name()));
        WNDCLASSW type{};
        type.lpfnWndProc = hostProc;
        type.lpszClassName = L"DotpressBusyHost";
        RegisterClassW(&type);
        top = CreateWindowExW(0, type.lpszClassName, L"Anfitri\u00f3n", WS_OVERLAPPEDWINDOW, 0, 0,
                              300, 200, nullptr, nullptr, nullptr, nullptr);
        view = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 9, 9, top, nullptr, nullptr,
                               nullptr);
        ShowWindow(top, SW_SHOWNORMAL);
        SetForegroundWindow(top);
        runHostLoop();
        ASSERT_EQ(GetActiveWindow(), top);
        imp = &exports;
        pieces = escAfterLines = 0;
        closedOpenJob = false;
        enabledWhenClosing = true;
    }
    void TearDown() override {
        DestroyWindow(top);
        RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
    }
    ScopedPrinter braille{L"Dotpress Anfitri\u00f3n", L"VORN Anfitrion", outputPath(L"host.ps")};
    dotpresstest::LoadedDll dll;
    const dotpresstest::Exports exports{dll.get()};
    HWND top = nullptr, view = nullptr;
};

// The sheet: the printer's 29-line page, then the table.
TEST_F(BusyHostTest, SheetEndsBesideAHostThatNeverRunsOutOfWork) {
    PostMessageW(top, kMoreWork, 0, 0);
    EXPECT_EQ(exports.testSheet(top), 0);
    EXPECT_LT(pieces, kEnoughWork) << "the host ran out of work before the sheet ended";
    EXPECT_EQ(exports.summary().state, JOB_STATE_FINISHED);
    EXPECT_GE(exports.summary().pagesPrinted, 2u);
}

TEST_F(BusyHostTest, EscCancelsTheSheetBesideAHostThatNeverRunsOutOfWork) {
    escAfterLines = 10;
    PostMessageW(top, kMoreWork, 0, 0);
    EXPECT_EQ(exports.testSheet(top), 0);
    EXPECT_LT(pieces, kEnoughWork) << "the host ran out of work before the key was heard";
    EXPECT_EQ(exports.summary().state, JOB_STATE_CANCELLED);
    EXPECT_LT(exports.summary().linesPrinted, 29u) << "cancelled on the first page";
}

// The top-level window is the one disabled while the sheet runs, and it is active again after
// the host's own timer closed the sheet.
TEST_F(BusyHostTest, HostThatClosesTheSheetFromItsTimerHasTheKeyboardBack) {
    SetTimer(top, 1, 10, nullptr);
    EXPECT_EQ(exports.testSheet(view), 0);
    runHostLoop();
    ASSERT_TRUE(closedOpenJob) << "the sheet ended before the host's timer";
    EXPECT_FALSE(enabledWhenClosing);
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetForegroundWindow(), top);
}

} // namespace
