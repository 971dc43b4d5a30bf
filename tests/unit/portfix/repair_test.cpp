#include "portfix/repair.h"

#include "platform/sim/world.h"
#include "tests/unit/machine_fixture.h"

#include <optional>
#include <string>
#include <vector>

namespace {

const std::u16string kPrinters = u"System\\CurrentControlSet\\Control\\Print\\Printers\\";
const std::u16string kDevMode = u"Default DevMode";

std::u16string widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

class PortfixRepair : public dptest::MachineTest {
protected:
    // A printer as an old installation leaves it: an empty device mode and profile entries that
    // name the 16-bit spooler.
    static void addOldPrinter(const std::string& name, const std::string& port,
                              const std::string& driver) {
        sim::addPrinter(widen(name), widen(port), widen(driver));
        setDevMode(name, std::vector<uint8_t>{});
        sim::setProfile("Devices", name, "winspl16,LPT1:");
        sim::setProfile("PrinterPorts", name, "winspl16,LPT1:,15,45");
    }
    static void setDevMode(const std::string& name, const std::vector<uint8_t>& data) {
        sim::setValue(os::HKEY_LOCAL_MACHINE, kPrinters + widen(name), kDevMode, os::REG_BINARY,
                      data);
    }
    static std::optional<sim::RegValue> devMode(const std::string& name) {
        return sim::getValue(os::HKEY_LOCAL_MACHINE, kPrinters + widen(name), kDevMode);
    }
    static std::string profile(const char* section, const std::string& name) {
        return sim::getProfile(section, name).value_or("<missing>");
    }
};

// The 148 bytes that must be written for a printer of this name.
std::vector<uint8_t> expectedDevMode(const std::string& name) {
    std::vector<uint8_t> dm(148, 0);
    for (size_t i = 0; i < name.size() && i < 32; ++i) {
        dm[i] = static_cast<uint8_t>(name[i]);
    }
    const uint8_t header[] = {0x00, 0x04, 0x01, 0x00, 148, 0x00, 0x00, 0x00};
    std::copy(std::begin(header), std::end(header), dm.begin() + 32);
    return dm;
}

TEST_F(PortfixRepair, TouchesOnlyPrintersWhoseDriverBeginsWithVornInCapitals) {
    struct Case {
        const char* driver;
        bool repaired;
    } cases[] = {
        {"VORN Braille", true},  {"VORN", true},
        {"vorn braille", false}, {"Vorn", false},
        {"VOR", false},          {" VORN", false},
        {"HP LaserJet", false},  {"Generic / Text", false},
    };
    for (const auto& c : cases) {
        nextRow();
        addOldPrinter("Embosser", "USB001", c.driver);
        portfix::repairAllPrinters("VORNDRV");
        const auto dm = devMode("Embosser");
        ASSERT_TRUE(dm) << c.driver;
        EXPECT_EQ(dm->data.size(), c.repaired ? 148u : 0u) << c.driver;
        EXPECT_EQ(profile("Devices", "Embosser"), c.repaired ? "VORNDRV,USB001" : "winspl16,LPT1:")
            << c.driver;
        EXPECT_EQ(profile("PrinterPorts", "Embosser"),
                  c.repaired ? "VORNDRV,USB001,15,45" : "winspl16,LPT1:,15,45")
            << c.driver;
    }
}

// Embossers the user reaches through a connection to another machine are repaired as the local
// ones are, in the order the spooler lists them.
TEST_F(PortfixRepair, RepairsLocalPrintersAndConnectionsAlike) {
    const std::string shared = "\\\\AULA\\Braille";
    addOldPrinter("Local", "LPT1:", "VORN Braille");
    addOldPrinter(shared, "Ne01:", "VORN Braille");
    sim::world().printers.back().connection = true;
    addOldPrinter("Otra", "LPT2:", "VORN Braille");
    portfix::repairAllPrinters("VORNDRV");
    for (const auto& [name, port] : {std::pair<std::string, std::string>{"Local", "LPT1:"},
                                     {shared, "Ne01:"},
                                     {"Otra", "LPT2:"}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(profile("Devices", name), "VORNDRV," + port);
        EXPECT_EQ(profile("PrinterPorts", name), "VORNDRV," + port + ",15,45");
        EXPECT_EQ(devMode(name)->data, expectedDevMode(name));
    }
}

TEST_F(PortfixRepair, WritesTheDeviceModeOnlyWhereTheValueExistsAndIsEmpty) {
    const std::string name32(32, 'N');
    const std::string name40 = std::string(32, 'L') + "TOO LONG";
    const std::vector<uint8_t> data = {1, 2, 3, 4};
    enum State { NoKey, NoValue, WithData, Empty };
    struct Case {
        std::string name;
        State state;
    } cases[] = {{"VORN 1", NoKey}, {"VORN 1", NoValue}, {"VORN 1", WithData},
                 {"VORN 1", Empty}, {name32, Empty},     {name40, Empty}};
    for (const auto& c : cases) {
        nextRow();
        sim::addPrinter(widen(c.name), u"LPT1:", u"VORN Braille");
        sim::setProfile("Devices", c.name, "winspl16,LPT1:");
        if (c.state == NoValue) {
            sim::createKey(os::HKEY_LOCAL_MACHINE, kPrinters + widen(c.name));
        } else if (c.state != NoKey) {
            setDevMode(c.name, c.state == WithData ? data : std::vector<uint8_t>{});
        }
        portfix::repairAllPrinters("VORNDRV");
        const auto dm = devMode(c.name);
        switch (c.state) {
        case NoKey:
            EXPECT_FALSE(sim::keyExists(os::HKEY_LOCAL_MACHINE, kPrinters + widen(c.name)));
            break;
        case NoValue:
            EXPECT_FALSE(dm);
            break;
        case WithData:
            ASSERT_TRUE(dm);
            EXPECT_EQ(dm->data, data);
            break;
        case Empty:
            ASSERT_TRUE(dm) << c.name;
            EXPECT_EQ(dm->type, os::REG_BINARY);
            EXPECT_EQ(dm->data, expectedDevMode(c.name)) << c.name;
            break;
        }
        // The profile repair does not depend on the device mode.
        EXPECT_EQ(profile("Devices", c.name), "VORNDRV,LPT1:") << c.name;
    }
}

TEST_F(PortfixRepair, RewritesTheProfileEntriesThatStillNameTheOldSpooler) {
    const std::string arg40(40, 'V');
    struct Case {
        std::string argument, port, devicesOld, devicesNew, portsOld, portsNew;
    } cases[] = {
        // The port the system reports replaces the one in the old entry.
        {"VORN", "LPT1:", "winspl16,LPT1:", "VORN,LPT1:", "winspl16,LPT1:,15,45",
         "VORN,LPT1:,15,45"},
        {"VORN", "USB001", "winspl16,LPT2:", "VORN,USB001", "winspl16,LPT2:,30,90",
         "VORN,USB001,30,90"},
        // Entries without time-outs, ports of eight or more, four to seven, up to three.
        {"VORN", "LPT1:", "winspl16", "VORN,LPT1:", "winspl16,LPTPORT1", "VORN,LPT1:,15,45"},
        {"VORN", "LPT1:", "winspl16", "VORN,LPT1:", "winspl16,LPT1:", "VORN,LPT1:,0,45"},
        {"VORN", "LPT1:", "winspl16", "VORN,LPT1:", "winspl16,LPT", "VORN,LPT1:,15,0"},
        {"VORN", "LPT1:", "winspl16", "VORN,LPT1:", "winspl16,LPT1:,15,1000", "VORN,LPT1:,1000,45"},
        // Three characters compare three; nine or more need exactly "winspl16".
        {"VRN", "LPT1:", "winXYZ,LPT1:", "VRN,LPT1:", "winXYZ,LPT1:,15,45", "VRN,LPT1:,15,45"},
        {"VORN", "LPT1:", "winXYZ,LPT1:", "winXYZ,LPT1:", "winXYZ,LPT1:,15,45",
         "winXYZ,LPT1:,15,45"},
        {"VORNBRAIL", "LPT1:", "winspl16,LPT1:", "winspl16,LPT1:", "winspl16",
         "VORNBRAIL,LPT1:,15,45"},
        // An empty argument leaves every entry alone.
        {"", "LPT1:", "winspl16,LPT1:", "winspl16,LPT1:", "winspl16,LPT1:,15,45",
         "winspl16,LPT1:,15,45"},
        // An entry that would not fit its 63 characters is not written; the old one stays.
        {arg40, std::string(22, 'P'), "winspl16", arg40 + "," + std::string(22, 'P'), "winspl16",
         "winspl16"},
        {arg40, std::string(23, 'P'), "winspl16", "winspl16", "winspl16", "winspl16"},
        // Entries that do not exist are not created.
        {"VORN", "LPT1:", "<missing>", "<missing>", "<missing>", "<missing>"},
    };
    for (const auto& c : cases) {
        nextRow();
        sim::addPrinter(u"Embosser", widen(c.port), u"VORN Braille");
        setDevMode("Embosser", {});
        if (c.devicesOld != "<missing>") {
            sim::setProfile("Devices", "Embosser", c.devicesOld);
            sim::setProfile("PrinterPorts", "Embosser", c.portsOld);
        }
        portfix::repairAllPrinters(c.argument.c_str());
        EXPECT_EQ(profile("Devices", "Embosser"), c.devicesNew)
            << c.argument << " " << c.devicesOld;
        EXPECT_EQ(profile("PrinterPorts", "Embosser"), c.portsNew)
            << c.argument << " " << c.portsOld;
        // The device mode is repaired whatever the argument.
        EXPECT_EQ(devMode("Embosser")->data.size(), 148u) << c.argument;
    }
}

TEST_F(PortfixRepair, SecondRunChangesNothing) {
    addOldPrinter("VORN Uno", "LPT1:", "VORN Braille");
    addOldPrinter("Laser", "LPT2:", "HP LaserJet");
    addOldPrinter("VORN Dos", "USB001", "VORN Braille II");
    portfix::repairAllPrinters("VORNDRV");
    const auto profileAfterFirst = sim::world().profile;
    const auto uno = devMode("VORN Uno");
    const auto dos = devMode("VORN Dos");
    ASSERT_EQ(uno->data.size(), 148u);
    ASSERT_EQ(dos->data.size(), 148u);
    EXPECT_EQ(profile("PrinterPorts", "VORN Dos"), "VORNDRV,USB001,15,45");

    portfix::repairAllPrinters("VORNDRV");
    EXPECT_EQ(sim::world().profile, profileAfterFirst);
    EXPECT_EQ(devMode("VORN Uno")->data, uno->data);
    EXPECT_EQ(devMode("VORN Dos")->data, dos->data);
    EXPECT_EQ(devMode("Laser")->data.size(), 0u);
}

TEST_F(PortfixRepair, FailuresSkipOnlyWhatTheyMust) {
    enum Failure { EnumBuffer, KeyPath, SecondEnum, PrinterAddedBetweenCalls, NoPrinters };
    struct Case {
        Failure failure;
        bool devModeWritten, profileWritten;
    } cases[] = {{EnumBuffer, false, false},
                 {KeyPath, false, true},
                 {SecondEnum, false, false},
                 {PrinterAddedBetweenCalls, false, false},
                 {NoPrinters, false, false}};
    for (const auto& c : cases) {
        nextRow();
        if (c.failure != NoPrinters) {
            addOldPrinter("Embosser", "LPT1:", "VORN Braille");
        } else {
            setDevMode("Embosser", {});
            sim::setProfile("Devices", "Embosser", "winspl16,LPT1:");
        }
        sim::World& w = sim::world();
        if (c.failure == EnumBuffer || c.failure == KeyPath) {
            w.failAllocationAt = c.failure == EnumBuffer ? 0 : 1;
        }
        w.failSecondEnum = c.failure == SecondEnum;
        if (c.failure == PrinterAddedBetweenCalls) {
            sim::Printer late;
            late.name = u"Late";
            late.port = u"LPT3:";
            late.driver = u"VORN Braille";
            w.addedBetweenEnumCalls.push_back(late);
        }
        portfix::repairAllPrinters("VORNDRV");
        EXPECT_EQ(devMode("Embosser")->data.size(), c.devModeWritten ? 148u : 0u) << c.failure;
        EXPECT_EQ(profile("Devices", "Embosser"),
                  c.profileWritten ? "VORNDRV,LPT1:" : "winspl16,LPT1:")
            << c.failure;
    }
}

} // namespace
