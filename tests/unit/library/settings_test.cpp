// The settings kept between loads: "DatosPag", "Encuadernar" and "NombreImp".
#include "dotpress/settings/registry_settings.h"
#include "library_fixture.h"

#include <cstring>

namespace {

using dptest::bytesOf;
using dptest::kKey;
using dptest::LibraryTest;
using sim::Params;

std::optional<sim::RegValue> stored(const std::u16string& name) {
    return sim::getValue(os::HKEY_CURRENT_USER, kKey, name);
}

void store(const std::u16string& name, os::DWORD type, const std::vector<uint8_t>& data) {
    sim::setValue(os::HKEY_CURRENT_USER, kKey, name, type, data);
}

std::vector<uint8_t> dword(uint32_t v) {
    return bytesOf(&v, sizeof v);
}

TEST_F(LibraryTest, FirstRunUsesDefaultsAndWritesThemAtUnload) {
    sim::addPrinter(u"Laser", u"LPT1:", u"Ordinary");
    auto& lib = load();
    EXPECT_EQ(lib.binding, 0);
    EXPECT_EQ(lib.selected, lib.count);
    EXPECT_FALSE(sim::keyExists(os::HKEY_CURRENT_USER, kKey)) << "loading writes nothing";
    dotpress::unload();

    const auto block = stored(u"DatosPag");
    ASSERT_TRUE(block);
    EXPECT_EQ(block->type, os::REG_BINARY);
    EXPECT_EQ(block->data, dptest::paramsBytes(Params{}));
    const auto binding = stored(u"Encuadernar");
    ASSERT_TRUE(binding);
    EXPECT_EQ(binding->type, os::REG_DWORD);
    EXPECT_EQ(binding->data, dword(0));
    EXPECT_FALSE(stored(u"NombreImp"));
}

TEST_F(LibraryTest, BindingIsReadAndWrittenBack) {
    struct Case {
        const char* what;
        std::optional<std::vector<uint8_t>> value;
        int32_t expected;
    };
    const Case cases[] = {
        {"key without the value", std::nullopt, 1},
        {"stored off", dword(0), 0},
        {"stored on", dword(1), 1},
        {"larger than four bytes counts as missing", std::vector<uint8_t>(8, 0), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        sim::createKey(os::HKEY_CURRENT_USER, kKey);
        if (c.value) {
            store(u"Encuadernar", os::REG_DWORD, *c.value);
        }
        EXPECT_EQ(load().binding, c.expected);
        lib().binding = 1 - c.expected; // as the print dialog would change it
        dotpress::unload();
        EXPECT_EQ(stored(u"Encuadernar")->data, dword(static_cast<uint32_t>(1 - c.expected)));
    }
}

TEST_F(LibraryTest, DefaultBlockIsReadByTheFieldsItCovers) {
    const Params full{4, 297, 33, 26, 1, 9};
    const auto fullBytes = dptest::paramsBytes(full);
    Params firstTwo{};
    firstTwo.paperFormat = full.paperFormat;
    firstTwo.paperLength = full.paperLength;
    struct Case {
        const char* what;
        std::vector<uint8_t> value;
        Params expected;
    };
    const Case cases[] = {
        {"twelve bytes", fullBytes, full},
        {"longer counts as missing", std::vector<uint8_t>(14, 0x11), Params{}},
        {"four bytes give two fields", {fullBytes.begin(), fullBytes.begin() + 4}, firstTwo},
        {"a half field is not taken", {fullBytes.begin(), fullBytes.begin() + 5}, firstTwo},
        {"empty", {}, Params{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        store(u"DatosPag", os::REG_SZ, c.value); // the type is not looked at
        sim::addPrinter(u"Laser", u"LPT1:", u"Ordinary");
        auto& lib = load();
        EXPECT_EQ(dptest::paramsOf(lib.records[0]), c.expected);
        dotpress::unload();
        EXPECT_EQ(stored(u"DatosPag")->data, dptest::paramsBytes(c.expected));
    }
}

TEST_F(LibraryTest, StoredPrinterNameSelectsItsPrinter) {
    const std::u16string name = u"Braille Índice";
    struct Case {
        const char* what;
        std::u16string value;
        int expected; // index, or -1 for none
    };
    const Case cases[] = {
        {"without terminating null", name, 1},
        {"with terminating null", name + u'\0', 1},
        {"with garbage behind a null", name + u'\0' + u"xyz", 1},
        {"printer no longer installed", u"Retirada", -1},
        {"case differs", u"braille índice", -1},
        {"prefix of a name", u"Braille", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        sim::addPrinter(u"Laser", u"LPT1:", u"Ordinary");
        sim::addPrinter(name, u"LPT2:", u"Ordinary");
        sim::addPrinter(name, u"LPT3:", u"Ordinary"); // same name: the first one wins
        store(u"NombreImp", os::REG_SZ, bytesOf(c.value.data(), c.value.size() * 2));
        auto& lib = load();
        EXPECT_EQ(lib.selected, c.expected < 0 ? lib.count : static_cast<uint32_t>(c.expected));
        dotpress::unload();
    }
}

TEST_F(LibraryTest, OversizedPrinterNameCountsAsMissing) {
    const std::u16string name(300, u'x');
    sim::addPrinter(name, u"LPT1:", u"Ordinary");
    store(u"NombreImp", os::REG_SZ, bytesOf(name.data(), name.size() * 2));
    auto& lib = load();
    EXPECT_EQ(lib.selected, lib.count);
}

TEST_F(LibraryTest, DefaultPrinterIsStoredWithoutNullOrDeleted) {
    sim::addPrinter(u"Laser", u"LPT1:", u"Ordinary");
    sim::addPrinter(u"Braille", u"LPT2:", u"Ordinary");
    auto& lib = load();
    lib.selected = 1;
    dotpress::settings::saveDefaultPrinter(lib);
    const auto value = stored(u"NombreImp");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, os::REG_SZ);
    const std::u16string expected = u"Braille";
    EXPECT_EQ(value->data, bytesOf(expected.data(), expected.size() * 2));

    reload();
    EXPECT_EQ(lib.selected, 1u);
    lib.selected = lib.count;
    dotpress::settings::saveDefaultPrinter(lib);
    EXPECT_FALSE(stored(u"NombreImp"));
    reload();
    EXPECT_EQ(lib.selected, lib.count);
}

TEST_F(LibraryTest, KeyThatCannotBeCreatedKeepsWhatWasStored) {
    const Params kept{2, 0, 30, 20, 0, 0};
    store(u"DatosPag", os::REG_BINARY, dptest::paramsBytes(kept));
    store(u"Encuadernar", os::REG_DWORD, dword(0));
    selectPrinter(u"Laser");
    sim::addPrinter(u"Laser", u"LPT1:", u"Ordinary");
    auto& lib = load();
    lib.defaultRecord().params.lines = 11;
    lib.binding = 1;
    lib.selected = lib.count;
    sim::world().failCreateKey = true; // the key can be read but no longer opened for writing
    dotpress::settings::saveDefaultPrinter(lib);
    dotpress::unload();
    EXPECT_EQ(stored(u"DatosPag")->data, dptest::paramsBytes(kept));
    EXPECT_EQ(stored(u"Encuadernar")->data, dword(0));
    ASSERT_TRUE(stored(u"NombreImp"));

    // The next load reads what was stored before, as if this run had never changed anything.
    load();
    EXPECT_EQ(dptest::paramsOf(lib.defaultRecord()), kept);
    EXPECT_EQ(lib.binding, 0);
    EXPECT_EQ(lib.selected, 0u);
}

} // namespace
