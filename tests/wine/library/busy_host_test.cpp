// The test sheet beside a host that keeps its own thread busy, on an X display with a window
// manager as a desktop has one: a window that posts itself its next piece of work without end
// must neither hold the sheet up nor keep a key from pressing "Cancelar"; a host that closes the
// job from its own timer, the sheet owned by one of its child windows, has the keyboard back.
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_keyboard.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace winetest;
using dotpresstest::Exports;
using dotpresstest::LoadedDll;

constexpr UINT kMoreWork = WM_APP + 3;
constexpr UINT_PTR kCloseTimer = 7;
// A host that never runs out of work is cut off here, so that a loop that waits for an empty
// queue ends (and fails) rather than hanging.
constexpr unsigned kEnoughWork = 50000;

// The host's top-level window: on kMoreWork it does a piece of work and posts itself the next
// one, and once `linesBeforeEsc` lines are embossed it presses Esc in the progress window; on
// its timer it closes the job.
struct Host {
    const Exports* imp = nullptr;
    unsigned pieces = 0;
    uint32_t linesBeforeEsc = 0; // 0: no key
    bool pressed = false;
    bool closed = false;
    bool enabledWhenClosing = true;

    static Host* current;
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Host& host = *current;
        if (message == kMoreWork) {
            const uint32_t lines = host.imp->summary().linesPrinted;
            if (host.linesBeforeEsc && !host.pressed && lines >= host.linesBeforeEsc) {
                pressKey(FindWindowW(L"#32770", L"Imprimiendo"), VK_ESCAPE);
                host.pressed = true;
            }
            if (++host.pieces < kEnoughWork) {
                PostMessageW(window, kMoreWork, 0, 0);
            }
            return 0;
        }
        if (message == WM_TIMER && wParam == kCloseTimer) {
            KillTimer(window, kCloseTimer);
            host.enabledWhenClosing = IsWindowEnabled(window) != FALSE;
            host.closed = host.imp->summary().state == JOB_STATE_OPEN;
            host.imp->close();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};
Host* Host::current = nullptr;

class BusyHostTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
        ASSERT_TRUE(braille.ok());
        ASSERT_TRUE(dotpresstest::storePrinterName(braille.name()));
        WNDCLASSW type{};
        type.lpfnWndProc = &Host::proc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"DotpressBusyHost";
        RegisterClassW(&type);
        Host::current = &host;
        top = CreateWindowExW(0, type.lpszClassName, L"Anfitri\u00f3n", WS_OVERLAPPEDWINDOW, 0, 0,
                              300, 200, nullptr, nullptr, type.hInstance, nullptr);
        ASSERT_NE(top, nullptr);
        view = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top,
                               nullptr, type.hInstance, nullptr);
        ShowWindow(top, SW_SHOWNORMAL);
        SetForegroundWindow(top);
        runHostLoop();
        ASSERT_EQ(GetActiveWindow(), top);
    }
    void TearDown() override {
        DestroyWindow(top);
        RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey);
    }
    ScopedPrinter braille{L"Dotpress Anfitri\u00f3n", L"VORN Anfitrion", outputPath(L"host.ps")};
    Host host;
    HWND top = nullptr;
    HWND view = nullptr;
};

// The sheet (the printer's 29-line page, then the table) runs to its end, or is cancelled by Esc
// on its first page, while the host keeps posting itself work.
TEST_F(BusyHostTest, SheetBesideAHostThatNeverRunsOutOfWork) {
    struct Case {
        const char* what;
        uint32_t linesBeforeEsc;
        int32_t state;
    };
    for (const Case& c : {Case{"to its end", 0, JOB_STATE_FINISHED},
                          Case{"cancelled by Esc", 10, JOB_STATE_CANCELLED}}) {
        SCOPED_TRACE(c.what);
        LoadedDll dll;
        const Exports imp(dll.get());
        host = Host{&imp, 0, c.linesBeforeEsc};
        PostMessageW(top, kMoreWork, 0, 0);
        EXPECT_EQ(imp.testSheet(top), 0);
        const JobSummary s = imp.summary();
        EXPECT_LT(host.pieces, kEnoughWork) << "the host ran out of work before the sheet ended";
        EXPECT_EQ(s.state, c.state);
        if (c.linesBeforeEsc) {
            EXPECT_LT(s.linesPrinted, 29u) << "cancelled on the first page";
        } else {
            EXPECT_GE(s.pagesPrinted, 2u);
        }
        host.pieces = kEnoughWork; // the host's work ends with the case
        MSG left;
        while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

// The host hands a child window as owner and closes the job from its top-level window's timer:
// that window was the one disabled, and it is active again afterwards.
TEST_F(BusyHostTest, HostThatClosesTheSheetFromItsTimerHasTheKeyboardBack) {
    LoadedDll dll;
    const Exports imp(dll.get());
    host.imp = &imp;
    SetTimer(top, kCloseTimer, 10, nullptr);
    EXPECT_EQ(imp.testSheet(view), 0);
    runHostLoop();
    ASSERT_TRUE(host.closed) << "the sheet ended before the host's timer";
    EXPECT_FALSE(host.enabledWhenClosing) << "the top-level window is disabled during the sheet";
    EXPECT_TRUE(IsWindowEnabled(top));
    EXPECT_EQ(FindWindowW(L"#32770", L"Imprimiendo"), nullptr);
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetForegroundWindow(), top);
}

} // namespace
