// The printer helpers against Wine's real spooler and PostScript driver: what the library's and
// portfix's Wine tests build on.
#include "wine_postscript.h"
#include "wine_printers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <winspool.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace winetest;

// Driver details the spooler recorded for a printer: its environment and its PPD.
struct DriverDetails {
    std::wstring environment;
    std::wstring dataFile;
};

DriverDetails driverDetails(const std::wstring& printerName) {
    std::wstring name = printerName;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr)) {
        return {};
    }
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    DriverDetails details;
    if (GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
        details = {info->pEnvironment ? info->pEnvironment : L"",
                   info->pDataFile ? info->pDataFile : L""};
    }
    ClosePrinter(printer);
    return details;
}

bool endsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Printers, AddedPrinterIsListedUsableAsDefaultAndGoneWhenDeleted) {
    struct Case {
        const wchar_t* name;
        const wchar_t* driver;
        std::wstring port;
    };
    const Case cases[] = {
        {L"Dotpress Smoke PS", L"Generic PS", outputPath(L"smoke-listed.ps")},
        {L"VORN Smoke", L"VORN Braille", L"Z:\\tmp\\dotpress-vorn-smoke.ps"},
        {L"Impresora braille n\u00famero 2", L"VORN Braille", L"FILE:"},
        {L"Dotpress Smoke LPT", L"Generic PS", L"LPT1:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "printer " << narrow(c.name));
        ASSERT_TRUE(addPrinter(c.name, c.driver, c.port)) << "error " << GetLastError();

        const auto listed = findPrinter(c.name);
        ASSERT_TRUE(listed.has_value());
        EXPECT_EQ(narrow(listed->driver), narrow(c.driver));
        EXPECT_EQ(narrow(listed->port), narrow(c.port));

        const DriverDetails details = driverDetails(c.name);
        EXPECT_EQ(narrow(details.environment), narrow(driverEnvironment()));
        for (const wchar_t* environment : {L"Windows x64", L"Windows NT x86"}) {
            EXPECT_TRUE(driverInstalled(c.driver, environment)) << narrow(environment);
        }
        EXPECT_TRUE(endsWith(details.dataFile, L"\\dotpress-test.ppd")) << narrow(details.dataFile);

        ASSERT_TRUE(setDefaultPrinter(c.name));
        EXPECT_EQ(narrow(defaultPrinter()), narrow(c.name));

        EXPECT_TRUE(deletePrinter(c.name));
        EXPECT_FALSE(findPrinter(c.name).has_value());
        EXPECT_FALSE(deletePrinter(c.name));
    }
}

TEST(Printers, AddingAPrinterAgainReplacesItsPortAndDriver) {
    ASSERT_TRUE(addPrinter(L"Dotpress Smoke Again", L"Generic PS", outputPath(L"first.ps")));
    ASSERT_TRUE(addPrinter(L"Dotpress Smoke Again", L"VORN Braille", outputPath(L"second.ps")));
    const auto listed = findPrinter(L"Dotpress Smoke Again");
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(narrow(listed->driver), "VORN Braille");
    EXPECT_EQ(narrow(listed->port), narrow(outputPath(L"second.ps")));
    size_t copies = 0;
    for (const PrinterEntry& entry : printers()) {
        copies += entry.name == L"Dotpress Smoke Again";
    }
    EXPECT_EQ(copies, 1u);
    EXPECT_TRUE(deletePrinter(L"Dotpress Smoke Again"));
}

// One job, one page per string, each string drawn with TextOutA. Returns EndDoc's result.
int printPages(const std::wstring& printer, const std::vector<std::string>& pages,
               const wchar_t* output = nullptr) {
    HDC dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
    if (!dc) {
        return -1;
    }
    DOCINFOW doc{sizeof(DOCINFOW), L"Dotpress smoke job", output, nullptr, 0};
    int result = -2;
    if (StartDocW(dc, &doc) > 0) {
        for (const std::string& text : pages) {
            StartPage(dc);
            TextOutA(dc, 100, 100, text.data(), static_cast<int>(text.size()));
            EndPage(dc);
        }
        result = EndDoc(dc);
    }
    DeleteDC(dc);
    return result;
}

// With a TrueType font to hand (Liberation Mono here) the driver sends the font as Type 42 and
// a glyph's outline before the glyph's first use on each page; with none, it uses a font of the
// PPD (Helvetica-Bold) and sends only the glyphshow lines. The trailer says "%%Pages: n". The
// job reaches the port's file only at EndDoc.
TEST(Printers, TextPrintedToAFilePortComesBackAsPostScriptGlyphs) {
    struct Case {
        std::vector<std::string> pages;
        std::vector<std::vector<std::string>> glyphs;
    };
    const Case cases[] = {
        {{"abc"}, {{"a", "b", "c"}}},
        {{"aa", "Zb9"}, {{"a", "a"}, {"Z", "b", "nine"}}},
        {{"x", "", "y"}, {{"x"}, {}, {"y"}}},
    };
    const std::wstring file = outputPath(L"smoke-job.ps");
    ScopedPrinter printer(L"Dotpress Smoke Job", L"Generic PS", file);
    ASSERT_TRUE(printer.ok()) << "error " << GetLastError();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.pages.size() << " pages, first \"" << c.pages[0] << "\"");
        ASSERT_TRUE(removeFile(file));
        ASSERT_GT(printPages(printer.name(), c.pages), 0);
        const std::string postscript = readFile(file);
        ASSERT_EQ(postscript.rfind("%!PS-Adobe-3.0", 0), 0u) << postscript.substr(0, 80);
        EXPECT_NE(postscript.find("%%Title: Dotpress smoke job"), std::string::npos);
        EXPECT_NE(postscript.find("%%Pages: " + std::to_string(c.pages.size())), std::string::npos);
        EXPECT_EQ(glyphsPerPage(postscript), c.glyphs);
    }
}

TEST(Printers, AFilePortOverwritesAnExistingFileWithoutTruncatingIt) {
    // So a test removes the file before each job: a shorter job leaves the tail of the longer
    // one before it in the file.
    const std::wstring file = outputPath(L"smoke-kept.ps");
    ScopedPrinter printer(L"Dotpress Smoke Kept", L"Generic PS", file);
    ASSERT_TRUE(printer.ok());
    ASSERT_TRUE(removeFile(file));
    ASSERT_GT(printPages(printer.name(), {"abcdefgh"}), 0);
    const std::string longer = readFile(file);
    ASSERT_GT(printPages(printer.name(), {"x"}), 0);
    const std::string shorter = readFile(file);
    EXPECT_EQ(shorter.size(), longer.size());
    const auto glyphs = glyphsPerPage(shorter);
    ASSERT_EQ(glyphs.size(), 1u);
    ASSERT_GE(glyphs[0].size(), 2u);
    EXPECT_EQ(glyphs[0].front(), "x");
    EXPECT_EQ(glyphs[0].back(), "h");
}

TEST(Printers, PostScriptDriverRefusesTheBrailleEscapesAndLeavesTheBufferAlone) {
    ScopedPrinter printer(L"Dotpress Smoke Escape", L"VORN Braille", outputPath(L"escape.ps"));
    ASSERT_TRUE(printer.ok());
    HDC dc = CreateDCW(L"WINSPOOL", printer.name().c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    for (int escape : {65281, 65282}) {
        SCOPED_TRACE(testing::Message() << "escape " << escape);
        const char input[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        char output[12];
        std::memset(output, 0xA5, sizeof output);
        EXPECT_EQ(ExtEscape(dc, escape, sizeof input, input, sizeof output, output), 0);
        for (char byte : output) {
            EXPECT_EQ(static_cast<unsigned char>(byte), 0xA5u);
        }
        const int query = escape;
        EXPECT_EQ(ExtEscape(dc, QUERYESCSUPPORT, sizeof query, reinterpret_cast<LPCSTR>(&query), 0,
                            nullptr),
                  0);
    }
    DeleteDC(dc);
}

TEST(Paths, WinePathNamesLinuxPathsOnDriveZ) {
    struct Case {
        const char* unixPath;
        const wchar_t* windows;
    };
    const Case cases[] = {
        {"/tmp/x/job.ps", L"Z:\\tmp\\x\\job.ps"},
        {"/", L"Z:\\"},
        {"/home/l\xc3\xa9on/b d", L"Z:\\home\\l\u00e9on\\b d"},
        {"relative/dir", L"relative\\dir"},
        {"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(narrow(winePath(c.unixPath)), narrow(c.windows)) << c.unixPath;
    }
}

TEST(Paths, TestDirIsTheBuildFolderSeenThroughDriveZ) {
    ASSERT_FALSE(testDirLinux().empty()) << "DOTPRESS_TEST_DIR is not set";
    EXPECT_EQ(GetFileAttributesW(testDir().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(fileExists(testDir() + L"\\CMakeCache.txt"));
    EXPECT_TRUE(fileExists(testPpdPath()));
}

} // namespace
