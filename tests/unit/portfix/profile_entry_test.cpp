#include "portfix/command_line.h"
#include "portfix/profile_entry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using portfix::TimeOuts;

TEST(PortfixEntry, RecognisesTheOldSpoolerOverTheArgumentsLength) {
    struct Case {
        const char* entry;
        const char* argument;
        bool expected;
    } cases[] = {
        {"winspl16", "VORN", true},
        {"winspl16,LPT1:,15,45", "VORNDRVR", true},   // eight characters: still a prefix
        {"winspl16,LPT1:,15,45", "VORNDRIVE", false}, // nine: the entry must end after "winspl16"
        {"winspl16", "VORNDRIVER", true},
        {"winXYZ,LPT1:", "VRN", true}, // three characters compare three
        {"winXYZ,LPT1:", "VORN", false},
        {"wi", "VRN", false}, // an entry that ends early agrees with nothing longer
        {"", "VORN", false},
        {"WINSPL16,LPT1:", "VORN", false},
        {"winspl16,LPT1:", "", false}, // an empty argument names no driver
    };
    for (const auto& c : cases) {
        EXPECT_EQ(portfix::namesOldSpooler(c.entry, c.argument), c.expected)
            << '"' << c.entry << "\" with \"" << c.argument << '"';
    }
}

TEST(PortfixEntry, FindsTheTimeOutsByScanningBackwards) {
    struct Case {
        std::string entry;
        int deviceNotSelected, transmissionRetry;
    } cases[] = {
        {"winspl16,LPT1:,15,45", 15, 45},
        {"winspl16,USB001,30,90", 30, 90},
        {"winspl16,LPTPORT1", 15, 45},        // port of eight characters: no comma in reach
        {"winspl16,LPT1:", 0, 45},            // four to seven: the port is read as a number
        {"winspl16,1234", 1234, 45},          // ... which may well have digits
        {"winspl16,LPT", 15, 0},              // up to three: the same, as the other time-out
        {"winspl16,12", 15, 12},              //
        {"winspl16,LPT1:,15,1000", 1000, 45}, // a four-digit time-out moves over
        {"winspl16,LPT1:, 20,-5", 20, -5},    // blanks before the number, a sign
        {"winspl16", 15, 45},
        // Entries shorter than the scans: nothing before the first character is looked at.
        {"", 15, 45},
        {",", 15, 0},
        {",7", 15, 7},
        {",1,2", 1, 2},
        {"1,2", 15, 2},
    };
    for (const auto& c : cases) {
        // Exactly the entry's characters on the heap, no terminator, so that AddressSanitizer
        // sees any read outside it.
        std::vector<char> exact(c.entry.begin(), c.entry.end());
        const TimeOuts t = portfix::timeOutsOf(exact.data(), exact.size());
        EXPECT_EQ(t.deviceNotSelected, c.deviceNotSelected) << c.entry;
        EXPECT_EQ(t.transmissionRetry, c.transmissionRetry) << c.entry;
    }
}

TEST(PortfixEntry, ReadsTimeOutsOfAnyLengthWithoutOverflow) {
    struct Case {
        std::string text;
        int expected;
    } cases[] = {
        {"45", 45},
        {"  -15x", -15},
        {"+7", 7},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"12345678901234567890", INT_MAX}, // twenty digits
        {"-12345678901234567890", -INT_MAX},
        {std::string(200, '9'), INT_MAX},
        {"", 0},
        {"-", 0},
    };
    for (const auto& c : cases) {
        std::vector<char> exact(c.text.begin(), c.text.end());
        EXPECT_EQ(portfix::decimalAt(exact.data(), 0, exact.size()), c.expected) << c.text;
    }
}

TEST(PortfixEntry, BuildsEntriesOnlyWhenTheyFit) {
    const std::string arg30(30, 'A');
    struct Case {
        std::string argument, port;
        bool ports; // a [PrinterPorts] entry, with the default time-outs
        bool fits;
    } cases[] = {
        {"VORN", "LPT1:", false, true},
        {arg30, std::string(32, 'P'), false, true},  // 63 characters fit ...
        {arg30, std::string(33, 'P'), false, false}, // ... 64 do not
        {"VORN", "LPT1:", true, true},
        {arg30, std::string(26, 'P'), true, true}, // 63 with ",15,45"
        {arg30, std::string(27, 'P'), true, false},
    };
    for (const auto& c : cases) {
        const std::string whole = c.argument + "," + c.port + (c.ports ? ",15,45" : "");
        char buffer[portfix::kEntrySize];
        const bool built =
            c.ports ? portfix::buildPrinterPortsEntry(buffer, c.argument.c_str(), c.port.c_str(),
                                                      TimeOuts{})
                    : portfix::buildDevicesEntry(buffer, c.argument.c_str(), c.port.c_str());
        EXPECT_EQ(built, c.fits) << whole.size() << ": " << whole;
        if (built) {
            EXPECT_EQ(std::string(buffer), whole);
        }
    }
}

TEST(PortfixCommandLine, TakesEverythingBehindTheProgramName) {
    struct Case {
        const char* commandLine;
        const char* argument;
    } cases[] = {
        {"portfix.exe VORNDRV", "VORNDRV"},
        {"\"C:\\Program Files\\portfix.exe\"  VORN DRV \"x\" ", "VORN DRV \"x\" "},
        {"portfix.exe\tVORN", "VORN"},
        // Every control character ends the program name and is skipped after it, as a blank.
        {"portfix.exe\nVORN", "VORN"},
        {"portfix.exe\x01\x1fVORN", "VORN"},
        {"\"C:\\a b\\portfix.exe\"\r\nVORN", "VORN"},
        // Above the space, whatever the sign of a char: part of the name.
        {"portfix.exe\x7fVORN", ""},
        {"portfix.exe\xa0VORN", ""},
        {"portfix.exe \x7f\xa0VORN", "\x7f\xa0VORN"},
        // Inside the argument they are kept.
        {"portfix.exe VORN\tDRV\n", "VORN\tDRV\n"},
        {"C:\\tools\\portfix.exe", ""},
        {"portfix.exe   ", ""},
        {"\"C:\\a b\\portfix.exe\"", ""},
        {"\"C:\\a b\\portfix.exe", ""}, // quote never closed
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(portfix::argumentOf(c.commandLine), c.argument) << c.commandLine;
    }
    EXPECT_STREQ(portfix::argumentOf(nullptr), "");
}

} // namespace
