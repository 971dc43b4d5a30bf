// Building the printer table at load: enumeration, device modes, the driver's parameters and the
// custom-format probe, and the exports that read the table.
#include "library_fixture.h"

#include <cstring>
#include <set>

namespace {

using dptest::jobOptions;
using dptest::LibraryTest;
using dptest::paramsOf;
using sim::Params;

constexpr Params kDriverBlock{3, 280, 32, 27, 1, 7};

// The formats the probe sent, in order, and the device contexts it sent them on.
struct Probe {
    std::vector<int16_t> formats;
    std::set<size_t> dcs;
};

Probe probeOf() {
    Probe probe;
    for (const auto& e : sim::world().escapes) {
        if (e.code == dotpress::ESCAPE_SET_PRINTER_PARAMS) {
            probe.formats.push_back(e.block ? e.block->paperFormat : int16_t{-1});
            probe.dcs.insert(e.dc);
        }
    }
    return probe;
}

TEST_F(LibraryTest, NoPrintersLeavesOnlyTheDefaultRecord) {
    auto& lib = load();
    EXPECT_EQ(ImpObtenerNumeroImp(), 0);
    EXPECT_EQ(lib.count, 0u);
    EXPECT_EQ(lib.selected, 0u);
    EXPECT_EQ(paramsOf(lib.records[0]), Params{});

    int32_t lines = -1, columns = -1;
    EXPECT_EQ(ImpObtenerTamPapel(&lines, &columns), 0);
    EXPECT_EQ(lines, 29);
    EXPECT_EQ(columns, 40);

    PrintOptions options;
    std::memset(&options, 0x5A, sizeof options);
    auto* owner = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(ImpMostrarDialogoImprimir(owner, &options, 10), 13);
    ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
    const auto& box = sim::world().messageBoxes[0];
    EXPECT_EQ(box.text, u"Debe seleccionar una impresora.");
    EXPECT_EQ(box.caption, u"Atención");
    EXPECT_EQ(box.type, os::MB_OK | os::MB_ICONWARNING);
    EXPECT_EQ(box.owner, static_cast<os::HWND>(owner));
    EXPECT_EQ(options.copies, 0x5A5A5A5Au) << "a refused dialog leaves the host's block alone";
}

TEST_F(LibraryTest, PrintDialogWithoutBlockReturns7AndShowsNothing) {
    sim::addBraillePrinter(u"Braille", u"LPT1:", kDriverBlock);
    selectPrinter(u"Braille");
    load();
    EXPECT_EQ(ImpMostrarDialogoImprimir(nullptr, nullptr, 3), 7);
    EXPECT_TRUE(sim::world().messageBoxes.empty());
}

TEST_F(LibraryTest, ProbeFindsTheDriversAnswerWithoutTouchingTheTable) {
    struct Case {
        const char* what;
        std::optional<sim::BrailleDriver> driver;
        int16_t customFormat;
        std::vector<int16_t> sent;
    };
    sim::BrailleDriver takesAll;
    sim::BrailleDriver takesSeven;
    takesSeven.acceptedFormats = {0, 1, 2, 3, 4, 5, 6};
    takesSeven.rejectedFormatAnswer = 6;
    sim::BrailleDriver rejectsZero;
    rejectsZero.acceptedFormats = {1, 2};
    rejectsZero.rejectedFormatAnswer = 2;
    std::vector<int16_t> all(30);
    for (int16_t k = 0; k < 30; ++k) {
        all[static_cast<size_t>(k)] = k;
    }
    const Case cases[] = {
        {"every index taken", takesAll, 29, all},
        {"indexes 0 to 6 taken", takesSeven, 6, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"index 0 refused", rejectsZero, 2, {0}},
        // The answer stays 0: index 0 seems taken, index 1 does not come back.
        {"ordinary driver", std::nullopt, 0, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        if (c.driver) {
            sim::addBraillePrinter(u"P", u"LPT1:", kDriverBlock, *c.driver);
        } else {
            sim::addPrinter(u"P", u"LPT1:", u"Ordinary");
        }
        const std::vector<uint8_t> spooled = sim::world().printers[0].devMode;
        auto& lib = load();
        const auto& record = lib.records[0];
        EXPECT_EQ(record.customFormat, c.customFormat);
        const Probe probe = probeOf();
        EXPECT_EQ(probe.formats, c.sent);
        EXPECT_EQ(probe.dcs.size(), 1u) << "every pass on one device context";
        // Each pass reads the answer back on the same context, right after sending.
        const auto& escapes = sim::world().escapes;
        ASSERT_GE(escapes.size(), 2 * c.sent.size());
        for (size_t i = 0; i < 2 * c.sent.size(); ++i) {
            EXPECT_EQ(escapes[i].code, i % 2 ? dotpress::ESCAPE_GET_PRINTER_PARAMS
                                             : dotpress::ESCAPE_SET_PRINTER_PARAMS);
            EXPECT_EQ(escapes[i].dc, *probe.dcs.begin());
        }
        // The probe's context and the one that reads the parameters; nothing else at load.
        EXPECT_EQ(sim::world().dcs.size(), 2u);
        ASSERT_EQ(record.devModeSize, spooled.size());
        EXPECT_EQ(dptest::bytesOf(record.devMode, record.devModeSize), spooled);
        EXPECT_EQ(record.adjustBothSides, 1);
        EXPECT_EQ(paramsOf(record), c.driver ? kDriverBlock : Params{});
        dotpress::unload();
    }
}

// The table lists the printers the user reaches through a connection beside the local ones, in
// the spooler's order.
TEST_F(LibraryTest, TableHoldsLocalPrintersAndConnections) {
    sim::addPrinter(u"Local", u"LPT1:", u"Generic");
    sim::addBraillePrinter(u"\\\\AULA\\Braille", u"Ne01:", kDriverBlock).connection = true;
    sim::addPrinter(u"Otra", u"LPT2:", u"Generic");
    load();
    ASSERT_EQ(lib().count, 3u);
    EXPECT_EQ(std::u16string(lib().records[0].name), u"Local");
    EXPECT_EQ(std::u16string(lib().records[1].name), u"\\\\AULA\\Braille");
    EXPECT_EQ(paramsOf(lib().records[1]), kDriverBlock);
    EXPECT_EQ(std::u16string(lib().records[2].name), u"Otra");
}

TEST_F(LibraryTest, PrinterWithoutParametersTakesTheDefaultBlock) {
    const Params stored{5, 300, 34, 25, 1, 0};
    struct Case {
        const char* what;
        bool storeBlock;
        Params expected;
    };
    const Case cases[] = {{"first run", false, Params{}}, {"stored block", true, stored}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        if (c.storeBlock) {
            sim::setValue(os::HKEY_CURRENT_USER, dptest::kKey, u"DatosPag", os::REG_BINARY,
                          dptest::paramsBytes(stored));
        }
        sim::addPrinter(u"Laser", u"LPT1:", u"Ordinary");
        Params zeroLines = kDriverBlock;
        zeroLines.lines = 0; // a Braille driver that has no parameters yet
        sim::addBraillePrinter(u"Fresh", u"LPT2:", zeroLines);
        auto& lib = load();
        EXPECT_EQ(paramsOf(lib.records[0]), c.expected);
        EXPECT_EQ(paramsOf(lib.records[1]), c.expected);
        EXPECT_EQ(lib.records[0].customFormat, 0);
        dotpress::unload();
    }
}

TEST_F(LibraryTest, PrinterWithoutDeviceContextReportsOnceAndKeepsDefaults) {
    sim::addBraillePrinter(u"Gone", u"LPT1:", kDriverBlock).failCreateDC = true;
    auto& lib = load();
    ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
    const auto& box = sim::world().messageBoxes[0];
    EXPECT_EQ(box.text, u"ERROR: CreateDC");
    EXPECT_EQ(box.caption, u"GetPrinterParams");
    EXPECT_EQ(box.type, os::MB_OK);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(lib.records[0].customFormat, 0);
    EXPECT_EQ(paramsOf(lib.records[0]), Params{});
}

// The host's windows may call us from the modal loop of a message box shown while the table is
// built: every export that needs the table is busy and changes nothing; the table ends whole.
TEST_F(LibraryTest, ExportsCalledWhileTheTableIsBuiltAreBusy) {
    sim::addBraillePrinter(u"Gone", u"LPT1:", kDriverBlock).failCreateDC = true;
    sim::addBraillePrinter(u"Next", u"LPT2:", kDriverBlock);
    selectPrinter(u"Next");
    std::vector<int32_t> answers;
    uint16_t lines = 20, columns = 30;
    int32_t size[2] = {-1, -1};
    // clang-format off
    sim::world().messageBoxUser = [&](const sim::MessageBox&) {
        PrintOptions o{};
        answers = {ImpObtenerNumeroImp(), ImpSeleccionarImpresora(nullptr),
                   ImpMostrarDialogoImprimir(nullptr, &o, 5), ImpSetPrintingArea(&lines, &columns),
                   ImpConfigurarPagina(nullptr, &size[0], &size[1]), ImpObtenerTamPapel(&size[0], &size[1]),
                   ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), ImpImprimirLinea("x"),
                   ImpCerrarImpresora(), ImpImprimirPrueba(nullptr)};
    };
    // clang-format on
    dotpress::load();
    EXPECT_EQ(ImpObtenerNumeroImp(), 2);
    constexpr int32_t kBusy = DOTPRESS_BUSY;
    EXPECT_EQ(answers, (std::vector<int32_t>{0, kBusy, kBusy, kBusy, kBusy, kBusy, kBusy, kBusy,
                                             kBusy, kBusy}));
    EXPECT_EQ((std::vector<int32_t>{size[0], size[1], lines, columns}),
              (std::vector<int32_t>{-1, -1, 20, 30}))
        << "nothing written";
    EXPECT_EQ(paramsOf(lib().records[1]), kDriverBlock) << "the table whole afterwards";
}

TEST_F(LibraryTest, DeviceModeThatCannotBeReadOrTrustedIsNotKept) {
    struct Case {
        const char* what;
        bool failOpen, failSizeQuery;
        uint8_t claimedExtraHigh; // the high byte of dmDriverExtra as the driver writes it
    };
    for (const Case& c :
         {Case{"open fails", true, false, 0}, Case{"size query fails", false, true, 0},
          Case{"it claims more bytes than it has", false, false, 1}}) {
        SCOPED_TRACE(c.what);
        nextRow();
        auto& p = sim::addBraillePrinter(u"P", u"LPT1:", kDriverBlock);
        p.failOpen = c.failOpen;
        p.failSizeQuery = c.failSizeQuery;
        p.devMode[71] = c.claimedExtraHigh;
        auto& lib = load();
        EXPECT_EQ(lib.records[0].devModeSize, 0u);
        EXPECT_EQ(lib.records[0].devMode, nullptr);
        dotpress::unload();
    }
}

TEST_F(LibraryTest, DeviceModeThatGrowsGetsALargerBuffer) {
    auto& printer = sim::addBraillePrinter(u"P", u"LPT1:", kDriverBlock);
    auto& lib = load();
    auto& record = lib.records[0];
    ASSERT_EQ(record.devModeSize, printer.devMode.size());

    const Params grown{2, 0, 30, 20, 0, 0};
    printer.devMode = sim::makeDevMode(u"P", 400, &grown);
    lib.readDeviceMode(record);
    ASSERT_EQ(record.devModeSize, printer.devMode.size());
    EXPECT_EQ(dptest::bytesOf(record.devMode, record.devModeSize), printer.devMode);

    printer.failSizeQuery = true;
    lib.readDeviceMode(record);
    EXPECT_EQ(record.devMode, nullptr);
    EXPECT_EQ(record.devModeSize, 0u);
}

TEST_F(LibraryTest, LongNamesAreCutToTheirFields) {
    const std::u16string longName(300, u'n');
    const std::u16string longPort(400, u'p');
    const std::u16string longDriver(260, u'd');
    sim::addPrinter(longName, longPort, longDriver);
    auto& lib = load();
    const auto& record = lib.records[0];
    EXPECT_EQ(std::u16string(record.name), longName.substr(0, 259));
    EXPECT_EQ(std::u16string(record.port), longPort.substr(0, 259));
    EXPECT_EQ(std::u16string(record.driver), longDriver.substr(0, 259));
}

TEST_F(LibraryTest, FailedSecondEnumerationLeavesAnEmptyTable) {
    struct Case {
        const char* what;
        bool failSecond;
        bool addBetween;
        os::DWORD overCount;
    };
    for (const Case& c : {Case{"second call fails", true, false, 0},
                          Case{"printers added between the calls", false, true, 0},
                          Case{"more printers counted than the buffer holds", false, false, 1},
                          Case{"a count far past the buffer", false, false, 100000}}) {
        SCOPED_TRACE(c.what);
        nextRow();
        sim::addPrinter(u"A", u"LPT1:", u"Ordinary");
        sim::world().failSecondEnum = c.failSecond;
        sim::world().enumOverCount = c.overCount;
        if (c.addBetween) {
            sim::Printer late;
            late.name = u"Late printer with a long name";
            late.port = u"LPT2:";
            late.driver = u"Ordinary";
            late.devMode = sim::makeDevMode(late.name, 0, nullptr);
            sim::world().addedBetweenEnumCalls.push_back(late);
        }
        auto& lib = load();
        EXPECT_EQ(ImpObtenerNumeroImp(), 0);
        EXPECT_EQ(lib.selected, lib.count);
        EXPECT_EQ(sim::world().createDCCalls, 0) << "no printer is read from outside the buffer";
        int32_t lines = 0;
        ImpObtenerTamPapel(&lines, nullptr);
        EXPECT_EQ(lines, 29);
        dotpress::unload();
    }
}

TEST_F(LibraryTest, EveryAllocationFailureAtLoadLeavesAWorkingLibrary) {
    auto machine = [this] {
        nextRow();
        sim::addBraillePrinter(u"Braille", u"LPT1:", kDriverBlock);
        sim::addPrinter(u"Laser", u"LPT2:", u"Ordinary");
        selectPrinter(u"Braille");
    };
    machine();
    load();
    const long allocationsAtLoad = sim::world().allocations;
    dotpress::unload();
    ASSERT_GT(allocationsAtLoad, 3);

    for (long k = 0; k < allocationsAtLoad; ++k) {
        SCOPED_TRACE(k);
        machine();
        sim::world().failAllocationAt = k;
        auto& lib = load();
        const int32_t printers = ImpObtenerNumeroImp();
        EXPECT_TRUE(printers == 0 || printers == 2);
        int32_t lines = 0, columns = 0;
        EXPECT_EQ(ImpObtenerTamPapel(&lines, &columns), 0);
        EXPECT_GT(lines, 0);
        EXPECT_LE(lib.selected, lib.count);
        dotpress::unload();
    }
}

TEST_F(LibraryTest, PageSizeExportsSkipNullPointers) {
    sim::addBraillePrinter(u"Braille", u"LPT1:", kDriverBlock);
    selectPrinter(u"Braille");
    load();
    struct Case {
        bool lines, columns;
    };
    for (const Case& c : {Case{true, false}, Case{false, true}, Case{false, false}}) {
        int32_t lines = -1, columns = -1;
        EXPECT_EQ(ImpObtenerTamPapel(c.lines ? &lines : nullptr, c.columns ? &columns : nullptr),
                  0);
        EXPECT_EQ(lines, c.lines ? kDriverBlock.lines : -1);
        EXPECT_EQ(columns, c.columns ? kDriverBlock.columns : -1);
        lines = columns = -1;
        EXPECT_EQ(ImpConfigurarPagina(nullptr, c.lines ? &lines : nullptr,
                                      c.columns ? &columns : nullptr),
                  0);
        EXPECT_EQ(lines, c.lines ? kDriverBlock.lines : -1);
        EXPECT_EQ(columns, c.columns ? kDriverBlock.columns : -1);
    }
}

} // namespace
