// The hosts built from the unpacked release package, run against the package's own Dotpress.dll
// in the folder named by DOTPRESS_TEST_DIR (one architecture of the package):
//   msvc_host.exe            C for the MSVC ABI, linked with lld-link against Dotpress.lib;
//   emboss_sample_mingw.exe  the sample host, built with mingw-w64 against libDotpress.dll.a;
//   emboss_sample.exe        the sample host as the package ships it.
// Each is its own process; this program is the person at its keyboard: it finds the dialog the
// host is showing, presses that dialog's keys on the control that has the focus, and reads the
// job back from the printer's file. It also reads the version blocks of the package's DLL and
// EXE against DOTPRESS_PACKAGE_VERSION.
#include "tests/wine/library/dotpress_dll.h"
#include "wine_files.h"
#include "wine_postscript.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace winetest;

std::wstring inPackage(const wchar_t* name) {
    return testDir() + L"\\" + name;
}

// One key: pressed (a virtual key), Alt + letter, or a character typed.
struct Key {
    enum Kind { Press, Alt, Type } kind;
    wchar_t value;
};
Key press(UINT vk) {
    return {Key::Press, static_cast<wchar_t>(vk)};
}
Key alt(wchar_t letter) {
    return {Key::Alt, letter};
}
Key type(wchar_t c) {
    return {Key::Type, c};
}

std::wstring textOf(HWND window) {
    wchar_t text[256] = L"";
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 1000, &got);
    return text;
}

struct Found {
    DWORD process;
    HWND dialog;
};

BOOL CALLBACK findDialogOf(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    wchar_t className[16];
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == found->process && GetClassNameW(window, className, ARRAYSIZE(className)) &&
        std::wstring(className) == L"#32770" && IsWindowVisible(window) &&
        IsWindowEnabled(window) && textOf(window) != L"Imprimiendo" && !textOf(window).empty()) {
        found->dialog = window;
        return FALSE;
    }
    return TRUE;
}

// The dialog the host process is waiting on: a visible, enabled "#32770" window of it other than
// the progress window, which asks nothing of the user, and other than a window with no title yet
// (every dialog that asks the user something has one; seen once for a window being set up).
HWND dialogOf(DWORD process) {
    Found found{process, nullptr};
    EnumWindows(findDialogOf, reinterpret_cast<LPARAM>(&found));
    return found.dialog;
}

HWND focusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus && IsChild(dialog, info.hwndFocus) ? info.hwndFocus : nullptr;
}

// What a key can change: the dialog itself (gone), the focus, the focused control's text.
struct Seen {
    bool open;
    HWND focus;
    std::wstring text;
    bool operator==(const Seen& o) const {
        return open == o.open && focus == o.focus && text == o.text;
    }
};

Seen look(HWND dialog) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) {
        return {false, nullptr, L""};
    }
    HWND focus = focusOf(dialog);
    return {true, focus, focus ? textOf(focus) : L""};
}

// Posts one key to the control of the other process's dialog that has the focus, as Windows
// delivers it, and waits until the dialog shows that it was handled (each key here moves the
// focus, changes the focused field or closes the dialog).
void pressIn(HWND dialog, const Key& key) {
    const Seen before = look(dialog);
    HWND target = before.focus ? before.focus : dialog;
    if (key.kind == Key::Press) {
        const UINT scan = MapVirtualKeyW(key.value, MAPVK_VK_TO_VSC);
        PostMessageW(target, WM_KEYDOWN, key.value, 1 | (static_cast<LPARAM>(scan) << 16));
        PostMessageW(target, WM_KEYUP, key.value,
                     static_cast<LPARAM>(0xC0000001u | (static_cast<DWORD>(scan) << 16)));
    } else if (key.kind == Key::Alt) {
        PostMessageW(target, WM_SYSCHAR, key.value, 1 | (1 << 29));
    } else {
        PostMessageW(target, WM_CHAR, key.value, 1);
    }
    for (int i = 0; i < 300 && look(dialog) == before; ++i) {
        Sleep(10);
    }
}

struct HostRun {
    DWORD exitCode = 0;
    std::vector<std::wstring> dialogs;    // titles, in the order they came
    std::vector<std::wstring> unexpected; // dialogs after the last list of keys, dismissed
};

// Starts `program` with `arguments` in the package folder and works its dialogs: the n-th dialog
// that opens gets the n-th list of keys, after beforeDialog(n) has run. A dialog that stays open
// after its keys, or one that comes when no list is left, gets Esc. With `output`, what the
// program prints goes there.
HostRun runHost(const std::wstring& program, const std::vector<std::vector<Key>>& keys,
                const std::wstring& arguments = L"", const std::wstring& output = L"",
                const std::function<void(size_t)>& beforeDialog = nullptr) {
    HostRun run;
    std::wstring commandLine =
        L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" ") + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    HANDLE printed = INVALID_HANDLE_VALUE;
    if (!output.empty()) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        printed = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (printed != INVALID_HANDLE_VALUE) {
            startup.hStdOutput = printed;
        }
    }
    PROCESS_INFORMATION process{};
    std::fflush(stdout);
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, testDir().c_str(), &startup, &process);
    if (printed != INVALID_HANDLE_VALUE) {
        CloseHandle(printed);
    }
    if (!started) {
        ADD_FAILURE() << "cannot start " << narrow(program) << ": " << GetLastError();
        run.exitCode = ~0u;
        return run;
    }
    HWND handled = nullptr;
    DWORD handledAt = 0;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > 90000) {
            ADD_FAILURE() << narrow(program) << " did not end within 90 s";
            TerminateProcess(process.hProcess, 99);
            break;
        }
        HWND dialog = dialogOf(process.dwProcessId);
        if (!dialog) {
            continue;
        }
        if (dialog == handled) {
            if (GetTickCount() - handledAt > 10000) {
                run.unexpected.push_back(L"(still open) " + textOf(dialog));
                pressIn(dialog, press(VK_ESCAPE));
                handledAt = GetTickCount();
            }
            continue;
        }
        // Let the dialog finish opening (the system's dialogs fill their lists after
        // WM_INITDIALOG) before the first key.
        for (int i = 0; i < 200 && !focusOf(dialog); ++i) {
            Sleep(10);
        }
        Sleep(200);
        handled = dialog;
        handledAt = GetTickCount();
        const size_t n = run.dialogs.size() + run.unexpected.size();
        if (n < keys.size()) {
            if (beforeDialog) {
                beforeDialog(n);
            }
            run.dialogs.push_back(textOf(dialog));
            for (const Key& key : keys[n]) {
                pressIn(dialog, key);
            }
        } else {
            run.unexpected.push_back(textOf(dialog));
            pressIn(dialog, press(VK_ESCAPE));
        }
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

class PackageHosts : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(testDirLinux().empty()) << "DOTPRESS_TEST_DIR names the package folder";
        ASSERT_TRUE(printer.ok()) << GetLastError();
        // Without a default printer Wine's print dialog has no printer to start from.
        ASSERT_TRUE(setDefaultPrinter(printer.name()));
        ASSERT_TRUE(dotpresstest::storePrinterName(printer.name()));
        ASSERT_TRUE(removeFile(job));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, dotpresstest::kSettingsKey); }

    const std::wstring job = inPackage(L"job.ps");
    ScopedPrinter printer{L"Dotpress Paquete", L"VORN Paquete", job};
};

TEST_F(PackageHosts, MsvcHostCallsEveryExportInOrder) {
    // The host embosses the test sheet before the print dialog. Wine writes each job over the
    // printer's file without cutting it to the new length: the sheet is read and the file removed
    // before the job.
    std::vector<std::vector<std::string>> sheet;
    auto readSheet = [&](size_t dialog) {
        if (dialog == 2) {
            sheet = glyphsPerPage(readFile(job));
            removeFile(job);
        }
    };
    const HostRun run = runHost(inPackage(L"msvc_host.exe"),
                                {
                                    {press(VK_RETURN)}, // keep the stored printer
                                    {press(VK_ESCAPE)}, // leave the page as it is
                                    // Printer list, table, print to file, "Todo"; Down to
                                    // "Página actual"; Alt+C and 3 copies; Enter.
                                    {press(VK_TAB), press(VK_TAB), press(VK_TAB), press(VK_DOWN),
                                     alt(L'c'), type(L'3'), press(VK_RETURN)},
                                },
                                L"", L"", readSheet);
    EXPECT_EQ(run.exitCode, 0u) << "the number of checks that failed in msvc_host.exe";
    EXPECT_EQ(run.dialogs, (std::vector<std::wstring>{L"Seleccionar impresora",
                                                      L"Configurar página", L"Imprimir"}));
    EXPECT_EQ(run.unexpected, std::vector<std::wstring>{});

    // Page 2, once per copy: "página" with á in the embosser's table, a line cut at the area's
    // 12 columns, and "x".
    std::vector<std::string> page = {"p", "parenleft", "g", "i", "n", "a"};
    for (char c = 'a'; c <= 'l'; ++c) {
        page.push_back(std::string(1, c));
    }
    page.push_back("x");
    EXPECT_EQ(glyphsPerPage(readFile(job)), (std::vector<std::vector<std::string>>(3, page)));
    ASSERT_GE(sheet.size(), 2u) << "the test sheet: the printer's page, then the table";
    EXPECT_EQ(sheet[0].size(), 29u * 40u);
}

TEST_F(PackageHosts, SampleHostBuiltWithMingwEmbossesTheWholeDocument) {
    std::vector<std::vector<std::string>> firstPages;
    for (const wchar_t* program : {L"emboss_sample_mingw.exe", L"emboss_sample.exe"}) {
        SCOPED_TRACE(narrow(program));
        ASSERT_TRUE(removeFile(job));
        const HostRun run = runHost(inPackage(program), {{press(VK_RETURN)}});
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.dialogs, std::vector<std::wstring>{L"Imprimir"});
        EXPECT_EQ(run.unexpected, std::vector<std::wstring>{});
        const auto pages = glyphsPerPage(readFile(job));
        ASSERT_EQ(pages.size(), 3u) << "the sample document has three pages";
        EXPECT_FALSE(pages[0].empty());
        firstPages.push_back(pages[0]);
    }
    EXPECT_EQ(firstPages[0], firstPages[1]) << "built here and as shipped, the same job";
}

// The test sheet on request, from the same program: the printer's page first (the built-in
// format, 29 lines of 40 characters: the PostScript driver gives none), each line ending in a
// full cell, then the table; and the summary the host tells its user.
TEST_F(PackageHosts, SampleHostEmbossesTheTestSheetAndTellsTheSummary) {
    const std::wstring printed = inPackage(L"sample-output.txt");
    const HostRun run = runHost(inPackage(L"emboss_sample.exe"), {}, L"prueba", printed);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.dialogs, std::vector<std::wstring>{});
    EXPECT_EQ(run.unexpected, std::vector<std::wstring>{});
    const auto pages = glyphsPerPage(readFile(job));
    ASSERT_GE(pages.size(), 2u);
    EXPECT_EQ(pages[0].size(), 29u * 40u);
    size_t fullCells = 0;
    for (size_t i = 39; i < pages[0].size(); i += 40) {
        fullCells += pages[0][i] == "equal" ? 1 : 0;
    }
    EXPECT_EQ(fullCells, 29u) << "the last column of every line";
    const std::string output = readFile(printed);
    EXPECT_NE(output.find("ImpImprimirPrueba: 0"), std::string::npos) << output;
    EXPECT_NE(output.find("Hoja de prueba terminada. Enviadas a la cola de impresi\xc3\xb3n: " +
                          std::to_string(pages.size()) + " p\xc3\xa1ginas"),
              std::string::npos)
        << output;
    removeFile(printed);
}

// The release version as the version blocks write it: "4.1.0" is 4, 1, 0, 0.
std::vector<WORD> packageVersion() {
    const char* text = std::getenv("DOTPRESS_PACKAGE_VERSION");
    std::vector<WORD> numbers;
    std::istringstream in(text ? text : "");
    std::string part;
    while (std::getline(in, part, '.')) {
        numbers.push_back(static_cast<WORD>(std::stoi(part)));
    }
    numbers.resize(4, 0);
    return numbers;
}

TEST(PackageFiles, VersionBlocksCarryThePackageVersion) {
    const std::vector<WORD> v = packageVersion();
    ASSERT_NE(std::getenv("DOTPRESS_PACKAGE_VERSION"), nullptr);
    std::wostringstream text;
    text << v[0] << L", " << v[1] << L", " << v[2] << L", " << v[3];
    for (const wchar_t* file : {L"Dotpress.dll", L"portfix.exe"}) {
        SCOPED_TRACE(narrow(file));
        const std::wstring path = inPackage(file);
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << "no version block";
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(v[1], v[0])));
        EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(v[3], v[2])));
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\0c0a04b0\\FileVersion",
                                   reinterpret_cast<void**>(&value), &length))
            << "a Spanish string table";
        EXPECT_EQ(std::wstring(value), text.str());
    }
}

} // namespace
