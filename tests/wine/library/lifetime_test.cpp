// The real Dotpress.dll loaded and unloaded by a host: freed in the middle of a job, on the host's
// thread or on another, the process ending with a job open, and loaded, used for a job and
// unloaded again and again. Wine answers 0 to GetGuiResources and GetProcessHandleCount, so what
// is left behind is read from the thread's windows and the process's committed memory.
#include "dotpress.h"
#include "dotpress_dll.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <vector>

namespace {

using namespace winetest;
using dotpresstest::Exports;

const auto& kKey = dotpresstest::kSettingsKey;

std::vector<BYTE> stored(const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::vector<BYTE> data(size);
    RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, nullptr, data.data(), &size);
    data.resize(size);
    return data;
}

void store(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_TRUE(dotpresstest::storeSetting(name, type, data, size));
}

// A window enumeration callback must be __stdcall on i686, which a lambda cannot be.
BOOL CALLBACK countWindow(HWND, LPARAM data) {
    ++*reinterpret_cast<int*>(data);
    return TRUE;
}

// Top-level windows of this thread, visible or not.
int threadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Lets the windows of this thread handle what was posted to them, as a host's loop does
// between lines.
void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

SIZE_T committedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

PrintOptions pages(uint32_t first, uint32_t last) {
    PrintOptions o{};
    o.copies = 1;
    o.rangeCount = 1;
    o.ranges[0] = {first, last};
    o.totalPages = last - first + 1;
    return o;
}

class LifetimeTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        file = testDir() + L"\\lifetime.ps";
        ASSERT_TRUE(printer.ok());
        const std::wstring& name = printer.name();
        store(L"NombreImp", REG_SZ, name.data(), static_cast<DWORD>(name.size() * 2));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    std::wstring file;
    ScopedPrinter printer{L"Dotpress Lifetime", L"VORN Braille", testDir() + L"\\lifetime.ps"};
};

DWORD WINAPI freeOnThisThread(void* module) {
    return FreeLibrary(static_cast<HMODULE>(module)) ? 0 : 1;
}

// A host frees the library with a job open: on its own thread, or on another thread while its
// own waits for that one and pumps nothing (the unload must not send the host's windows
// anything, nor wait for its loop). The job holds the library: FreeLibrary returns at once, the
// window keeps answering the host's loop, Cancelar included; the host that loads the library
// again finds the job, closes it, and its last FreeLibrary unloads the library and stores the
// settings.
TEST_F(LifetimeTest, FreeLibraryWithAJobOpenLeavesTheJobWorkingUntilItIsClosed) {
    for (const bool otherThread : {false, true}) {
        SCOPED_TRACE(otherThread ? "FreeLibrary on another thread" : "on the host's thread");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"DatosPag");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Encuadernar");
        const int windowsBefore = threadWindows();
        HMODULE dll = LoadLibraryW(dotpresstest::dllPath().c_str());
        ASSERT_NE(dll, nullptr);
        {
            const Exports imp(dll);
            imp.area(10, 20);
            ASSERT_EQ(imp.open("Abandonado", pages(1, 3)), 0);
            for (int i = 0; i < 15; ++i) {
                imp.line("l\xednea");
                pumpMessages();
            }
        }
        const HWND progress = FindWindowW(L"#32770", L"Imprimiendo");
        ASSERT_NE(progress, nullptr);

        const auto start = std::chrono::steady_clock::now();
        if (otherThread) {
            HANDLE thread = CreateThread(nullptr, 0, freeOnThisThread, dll, 0, nullptr);
            ASSERT_NE(thread, nullptr);
            EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0)
                << "the unload waited for the host's loop";
            DWORD freed = 1;
            GetExitCodeThread(thread, &freed);
            EXPECT_EQ(freed, 0u);
            CloseHandle(thread);
        } else {
            EXPECT_TRUE(FreeLibrary(dll));
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

        // The host's loop runs on: the window is the job's, alive, and handles its button.
        EXPECT_EQ(GetModuleHandleW(dotpresstest::dllPath().c_str()), dll) << "the job holds it";
        pumpMessages();
        ASSERT_TRUE(IsWindow(progress));
        PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        pumpMessages();
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(progress, IDCANCEL))) << "Cancelar was handled";
        EXPECT_TRUE(stored(L"Encuadernar").empty()) << "nothing was unloaded yet";

        // Loaded again, the job is there to be closed; then the library goes as usual.
        HMODULE again = LoadLibraryW(dotpresstest::dllPath().c_str());
        ASSERT_EQ(again, dll);
        Exports(again).close();
        EXPECT_FALSE(IsWindow(progress));
        EXPECT_TRUE(FreeLibrary(again));
        EXPECT_EQ(GetModuleHandleW(dotpresstest::dllPath().c_str()), nullptr);
        EXPECT_EQ(threadWindows(), windowsBefore);
        EXPECT_EQ(stored(L"DatosPag").size(), 12u);
        EXPECT_EQ(stored(L"Encuadernar").size(), 4u);
    }
}

// The process ends with a job open and the library loaded: at the detach of the process's end
// the library stores its settings and does nothing else; the process ends cleanly. The host is
// lifetime_child.exe, beside this test.
TEST_F(LifetimeTest, ProcessEndWithAJobOpenStoresTheSettings) {
    const BYTE block[12] = {2, 0, 0x18, 1, 32, 0, 25, 0, 1, 0, 0, 0};
    store(L"DatosPag", REG_BINARY, block, sizeof block); // "Encuadernar" missing: binding is 1
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring child(self);
    child = child.substr(0, child.find_last_of(L'\\') + 1) + L"dotpress_lifetime_child.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + child + L"\"";
    ASSERT_TRUE(CreateProcessW(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process))
        << narrow(child);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the child ends as its main returns, not by a fault";
    EXPECT_EQ(stored(L"DatosPag"), std::vector<BYTE>(block, block + sizeof block));
    EXPECT_EQ(stored(L"Encuadernar"), (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(LifetimeTest, SoakOfLoadsJobsAndUnloadsLeavesNothingBehind) {
    const BYTE block[12] = {2, 0, 0x18, 1, 32, 0, 25, 0, 1, 0, 0, 0};
    const DWORD binding = 0;
    store(L"DatosPag", REG_BINARY, block, sizeof block);
    store(L"Encuadernar", REG_DWORD, &binding, sizeof binding);
    const int windowsBefore = threadWindows();

    // A job of one line: what costs under Wine is the printer (a device context, a PostScript
    // font, the file), the same in every cycle.
    auto cycle = [&] {
        HMODULE dll = LoadLibraryW(dotpresstest::dllPath().c_str());
        ASSERT_NE(dll, nullptr);
        const Exports imp(dll);
        imp.area(10, 20);
        ASSERT_EQ(imp.open("Ciclo", pages(1, 1)), 0);
        imp.line("\xe1rbol");
        pumpMessages();
        imp.close();
        ASSERT_TRUE(FreeLibrary(dll));
    };
    // The first cycles fill Wine's own caches (the loader, fonts, the driver, the spooler): the
    // memory is measured over the cycles after them.
    SIZE_T warm = 0;
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        cycle();
        if (HasFatalFailure()) {
            return;
        }
        if (i == 99) {
            warm = committedBytes();
        }
    }
    const SIZE_T after = committedBytes();
    // A printer record or a device mode left behind in every cycle would be 100 of them here,
    // and a device context or a window far more.
    EXPECT_LT(after, warm + 32 * 1024) << "committed " << warm << " -> " << after << " bytes";
    EXPECT_EQ(threadWindows(), windowsBefore);
    EXPECT_EQ(stored(L"DatosPag"), std::vector<BYTE>(block, block + sizeof block));
    EXPECT_EQ(stored(L"Encuadernar"), (std::vector<BYTE>{0, 0, 0, 0}));
    const std::wstring& name = printer.name();
    const std::vector<BYTE> nameBytes = stored(L"NombreImp");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(nameBytes.data()), nameBytes.size() / 2)
                  .c_str(),
              name);
}

} // namespace
