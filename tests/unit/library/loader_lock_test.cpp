// The library coming and going, in every way a host lets it: LoadLibrary, its last FreeLibrary or
// the end of the process, with or without a job open. The loader lock is held then, and the
// simulator records every window, GDI, spooler or loader call made under it.
#include "dotpress/resources/resource_ids.h"
#include "library_fixture.h"
#include "platform/system_library.h"

namespace {

using dptest::jobOptions;
using dptest::LibraryTest;
using sim::Params;

class LoaderLockTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        sim::addBraillePrinter(u"Braille", u"LPT1:", Params{1, 0, 40, 29, 1, 0});
        selectPrinter(u"Braille");
    }
    bool stored(const char16_t* value) {
        return sim::getValue(os::HKEY_CURRENT_USER, dptest::kKey, value).has_value();
    }
    // A job of two pages with a line of the first printed, its window shown.
    void openJob() {
        load();
        uint16_t lines = 10, columns = 20;
        ImpSetPrintingArea(&lines, &columns);
        ASSERT_EQ(
            ImpAbrirImpresora(reinterpret_cast<void*>(0x4242), "doc", jobOptions(1, {{1, 2}})), 0);
        ImpImprimirLinea("a");
        sim::pumpMessages();
        ASSERT_EQ(sim::liveWindows(), 1);
    }
};

// Loading reads the binding option and nothing more: the printers, their drivers and a message
// about one that cannot be reached wait for the first export the host calls.
TEST_F(LoaderLockTest, LoadingLeavesThePrintersToTheFirstCall) {
    sim::addBraillePrinter(u"Lejos", u"LPT2:", Params{}).failCreateDC = true;
    dotpress::load();
    EXPECT_EQ(sim::world().callsUnderLoaderLock, std::vector<std::string>{});
    EXPECT_EQ(sim::world().createDCCalls, 0);
    EXPECT_EQ(sim::world().openPrinters, 0);
    EXPECT_TRUE(sim::world().messageBoxes.empty());
    EXPECT_EQ(ImpObtenerNumeroImp(), 2);
    EXPECT_GT(sim::world().createDCCalls, 0);
    ASSERT_EQ(sim::world().messageBoxes.size(), 1u);
    EXPECT_EQ(sim::world().messageBoxes[0].text, u"ERROR: CreateDC");
    EXPECT_EQ(lib().selected, 0u) << "the stored printer is restored all the same";
}

TEST_F(LoaderLockTest, NothingButTheRegistryAndOurMemoryIsTouchedUnderTheLoaderLock) {
    struct Case {
        const char* what;
        bool job;
        bool processExit;
        bool anyExport = true;
    };
    const Case cases[] = {
        {"FreeLibrary, no job", false, false},
        {"FreeLibrary, a job open", true, false},
        {"the process ends, no job", false, true},
        {"the process ends, a job open", true, true},
        {"FreeLibrary before any export", false, false, false},
        {"the process ends before any export", false, true, false},
    };
    const auto page = dptest::paramsBytes(Params{2, 280, 32, 25, 1, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nextRow();
        SetUp();
        if (!c.anyExport) {
            sim::setValue(os::HKEY_CURRENT_USER, dptest::kKey, u"DatosPag", os::REG_BINARY, page);
        }
        if (c.job) {
            openJob();
        } else if (c.anyExport) {
            load();
        } else {
            dotpress::load();
        }
        if (c.processExit) {
            const long left = sim::world().liveAllocations;
            const long documentsEnded = sim::world().documents.empty() ? 0 : 1;
            dotpress::exitProcess();
            // Only the settings: nothing freed, no document ended (and, under the loader lock
            // below, no window destroyed), the system takes the rest back.
            EXPECT_EQ(sim::world().allocationsLeftAtExit, left);
            if (documentsEnded) {
                EXPECT_FALSE(sim::world().documents[0].ended || sim::world().documents[0].aborted);
            }
        } else {
            dotpress::unload();
        }
        EXPECT_EQ(dotpress::isLoaded(), c.job && !c.processExit)
            << "an open job keeps the library until the process ends";
        EXPECT_EQ(stored(u"DatosPag"), !dotpress::isLoaded());
        EXPECT_EQ(stored(u"Encuadernar"), !dotpress::isLoaded());
        if (!c.anyExport) {
            EXPECT_EQ(sim::getValue(os::HKEY_CURRENT_USER, dptest::kKey, u"DatosPag")->data, page)
                << "the stored page, read back before it is written";
        }
        if (dotpress::isLoaded()) {
            dotpress::exitProcess(); // the row's library goes as its process ends
        }
    }
}

// A host that frees the library in the middle of a job, on whichever thread: the job keeps the
// library, so its window still answers the host's loop; the host that loads the library again
// finds the job where it left it and closes it, and the library then goes as usual.
TEST_F(LoaderLockTest, AJobOutlivesItsHostsReferenceAndClosesLater) {
    openJob();
    const os::HINSTANCE module = dotpress::moduleHandle;
    EXPECT_EQ(sim::moduleReferences(module), 2) << "the host's and the job's";
    dotpress::unload();
    ASSERT_TRUE(dotpress::isLoaded());
    EXPECT_EQ(sim::moduleReferences(module), 1);
    const os::HWND window = lib().dialog;
    sim::advanceTime(1000);
    EXPECT_EQ(sim::paintedText(window, IDC_PROGRESS_PAGE), u"1");
    EXPECT_TRUE(sim::clickButton(window, IDC_PROGRESS_CANCEL));
    EXPECT_EQ(lib().cancelRequested, 1);
    EXPECT_EQ(sim::world().documents.size(), 1u);
    EXPECT_FALSE(sim::world().documents[0].ended || sim::world().documents[0].aborted);

    load();
    EXPECT_EQ(sim::moduleReferences(module), 2);
    ImpCerrarImpresora();
    EXPECT_EQ(sim::moduleReferences(module), 1) << "the job gave its reference back";
    EXPECT_EQ(sim::liveWindows(), 0);
    EXPECT_TRUE(sim::world().documents[0].aborted);
    dotpress::unload();
    EXPECT_FALSE(dotpress::isLoaded());
    EXPECT_TRUE(stored(u"DatosPag"));
}

// Jobs that never opened, or that closed, hold nothing: the host's one FreeLibrary unloads.
TEST_F(LoaderLockTest, OnlyAnOpenJobHoldsTheLibrary) {
    load();
    sim::world().startDocResults = {-1};
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "refused", jobOptions(1, {{1, 1}})), 1);
    EXPECT_EQ(sim::moduleReferences(dotpress::moduleHandle), 1);
    ASSERT_EQ(ImpAbrirImpresora(nullptr, "doc", jobOptions(1, {{1, 1}})), 0);
    EXPECT_EQ(ImpAbrirImpresora(nullptr, "second", jobOptions(1, {{1, 1}})), 8);
    EXPECT_EQ(sim::moduleReferences(dotpress::moduleHandle), 2) << "one reference per open job";
    ImpCerrarImpresora();
    ImpCerrarImpresora();
    EXPECT_EQ(sim::moduleReferences(dotpress::moduleHandle), 1);
    dotpress::unload();
    EXPECT_FALSE(dotpress::isLoaded());
}

// A system library comes from System32 only: asked for there, or by its full System32 path from a
// loader that refuses that request (Windows 7 without KB2533623), never by its bare name.
TEST_F(LibraryTest, SystemLibraryComesFromSystem32WhateverTheLoader) {
    using Load = std::pair<std::u16string, os::DWORD>;
    const Load bySearch{u"oleacc.dll", os::LOAD_LIBRARY_SEARCH_SYSTEM32};
    const Load byPath{std::u16string(sim::kSystemFolder) + u"\\oleacc.dll",
                      os::LOAD_WITH_ALTERED_SEARCH_PATH};
    for (const bool oldLoader : {false, true}) {
        nextRow();
        sim::world().loaderWithoutSearchFlags = oldLoader;
        EXPECT_NE(os::loadSystemLibrary(u"oleacc.dll"), nullptr) << oldLoader;
        const std::vector<Load> loads =
            oldLoader ? std::vector<Load>{bySearch, byPath} : std::vector<Load>{bySearch};
        EXPECT_EQ(sim::world().libraryLoads, loads) << oldLoader;
    }
}

} // namespace
