// A whole session of a host on the simulated machine, run by ctest under valgrind memcheck: the
// library loaded, the dialogs a user goes through, three jobs (one printed to the end, one
// cancelled from the progress window, one whose host frees the library in its middle and closes
// it after loading the library again) and the unload; at last a process that ends with a job
// open. Exits non-zero when the machine is left with memory, device contexts, windows, printer
// handles or keys of the library, when a job did not end as it should, or when a window, GDI,
// spooler or loader call was made under the loader lock; valgrind adds every invalid access and
// every byte lost.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "full_session: %s\n", what);
        ++failures;
    }
}

// The machine: a double-sided embosser (the default printer) and an ordinary printer.
void machine() {
    sim::reset();
    sim::Params page;
    page.lines = 10;
    page.columns = 30;
    page.doubleSided = 1;
    sim::addBraillePrinter(u"Embosser", u"LPT1:", page);
    sim::addPrinter(u"Laser", u"LPT2:", u"Ordinary");
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp",
                   u"Embosser");
}

// The dialogs, in the order a user meets them before a job. Each step sets up what its user
// does on the simulated machine, runs the export and checks what the user was shown; a dialog
// that needs a scripted user gets it in its own step.
struct DialogStep {
    const char* what;
    void (*run)();
};

// The user looks at the other printer, comes back to the embosser and makes it the default.
void choosePrinter() {
    using namespace sim::user;
    sim::world().script = {choose(IDC_SELECT_LIST, 1), choose(IDC_SELECT_LIST, 0),
                           press(IDC_SELECT_DEFAULT)};
    expect(ImpSeleccionarImpresora(nullptr) == 0, "printer selection");
    const auto stored =
        sim::getValue(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp");
    expect(stored.has_value() && stored->data.size() >= 2 && stored->data[0] == 'E',
           "the embosser stored as the default");
    expect(dotpress::library().selected == 0, "the embosser selected");
}

// The embosser's driver answers the escapes, so the system's page setup runs with the library's
// hook: the user opens the printer's settings, restores the stored values and accepts.
void configurePage() {
    using namespace sim::user;
    sim::world().script = {press(IDC_PAGE_PRINTER_SETUP), press(IDC_PAGE_RESTORE), press(os::IDOK)};
    int32_t lines = 0, columns = 0;
    expect(ImpConfigurarPagina(nullptr, &lines, &columns) == 0, "page configuration");
    expect(lines == 10 && columns == 30, "page size of the selected embosser");
    expect(sim::world().pageSetupDialogs.size() == 1, "the system's page setup was shown");
    expect(sim::liveGlobals() == 0, "the page setup's blocks freed");
}

// What the user confirmed in the print dialog; the first job prints it.
PrintOptions confirmed{};

void askForJob() {
    // The user picks "Páginas", types 1-3 and two copies, then presses Imprimir; a first try with
    // a bad list is refused with a message and the dialog stays open.
    using namespace sim::user;
    sim::world().script = {tick(IDC_PRINT_PAGES),        type(IDC_PRINT_PAGE_LIST, u"1-2-3"),
                           press(IDC_PRINT_PRINT),       type(IDC_PRINT_PAGE_LIST, u"1-3"),
                           type(IDC_PRINT_COPIES, u"2"), press(IDC_PRINT_PRINT)};
    const size_t messages = sim::world().messageBoxes.size();
    const int32_t status = ImpMostrarDialogoImprimir(nullptr, &confirmed, 6);
    expect(status == 0, "print dialog accepted");
    expect(sim::world().messageBoxes.size() == messages + 1, "the bad list was refused once");
    // 1-3 ends on the even page 4: a range ends with its sheet.
    expect(confirmed.rangeCount == 1 && confirmed.ranges[0].firstPage == 1 &&
               confirmed.ranges[0].lastPage == 4 && confirmed.totalPages == 8,
           "the block the user confirmed");
    expect(sim::world().script.empty() && sim::world().stuckDialogs == 0, "the user was done");
    expect(sim::liveGlobals() == 0, "the system's device mode and names freed");
}

const DialogStep kDialogs[] = {
    {"printer selection", choosePrinter},
    {"page configuration", configurePage},
    {"print dialog", askForJob},
};

void runDialogs() {
    for (const DialogStep& step : kDialogs) {
        step.run();
        expect(sim::world().script.empty() && sim::world().stuckDialogs == 0 &&
                   sim::world().refusedSteps == 0,
               step.what);
    }
}

PrintOptions jobOptions(uint32_t copies, uint32_t first, uint32_t last) {
    PrintOptions o{};
    o.rangeKind = RANGE_PAGES;
    o.copies = copies;
    o.rangeCount = 1;
    o.ranges[0] = {first, last};
    o.totalPages = copies * (last - first + 1);
    return o;
}

void printLines(int count) {
    for (int i = 0; i < count; ++i) {
        const std::string line = "l\xednea " + std::to_string(i) + " \t(\xe1)";
        ImpImprimirLinea(line.c_str());
    }
}

void session() {
    machine();
    dotpress::load();
    uint16_t lines = 10, columns = 30;
    ImpSetPrintingArea(&lines, &columns);
    runDialogs();

    // Printed to the end: what the user confirmed, two copies of pages 1 to 4.
    expect(ImpAbrirImpresora(nullptr, "Primero", confirmed) == 0, "first job opens");
    printLines(80);
    ImpCerrarImpresora();

    // Cancelled from the window after its first page.
    expect(ImpAbrirImpresora(nullptr, "Segundo", jobOptions(1, 1, 4)) == 0, "second job opens");
    printLines(10);
    expect(sim::clickButton(dotpress::library().dialog, IDC_PROGRESS_CANCEL), "Cancelar pressed");
    printLines(10);
    ImpCerrarImpresora();

    // The host frees the library in the middle of a page: the job keeps it loaded, and its
    // window answers the host's loop, until the host loads the library again and closes it.
    expect(ImpAbrirImpresora(nullptr, "Tercero", jobOptions(1, 1, 2)) == 0, "third job opens");
    printLines(15);
    dotpress::unload();
    expect(dotpress::isLoaded(), "an open job keeps the library");
    sim::pumpMessages();
    expect(sim::clickButton(dotpress::library().dialog, IDC_PROGRESS_CANCEL),
           "the window still answers");
    dotpress::load();
    ImpCerrarImpresora();
    dotpress::unload();
    expect(!dotpress::isLoaded(), "unloaded once the job is closed");

    const auto& docs = sim::world().documents;
    expect(docs.size() == 3, "three documents");
    if (docs.size() == 3) {
        expect(docs[0].ended && docs[0].pages.size() == 8, "first job printed whole");
        expect(docs[1].aborted && docs[1].pages.size() == 1, "second job dropped after a page");
        expect(docs[2].aborted && !docs[2].ended, "third job dropped when closed");
    }
    expect(sim::world().liveAllocations == 0, "library memory left");
    expect(sim::liveDCs() == 0, "device contexts left");
    expect(sim::liveWindows() == 0, "windows left");
    expect(sim::world().openPrinters == 0, "printer handles left");
    expect(sim::world().openKeys.empty(), "registry keys left open");
    expect(sim::world().callsUnderLoaderLock.empty(), "calls under the loader lock");
    expect(sim::getValue(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"DatosPag")
               .has_value(),
           "settings written at unload");
}

} // namespace

// The process ends with a job open: only the settings are stored, and the system takes the
// rest back.
void exitWithAJobOpen() {
    sim::reset();
    sim::addBraillePrinter(u"VORN 1", u"LPT1:", sim::Params{});
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp",
                   u"VORN 1");
    dotpress::load();
    uint16_t lines = 10, columns = 30;
    ImpSetPrintingArea(&lines, &columns);
    expect(ImpAbrirImpresora(nullptr, "Cuarto", jobOptions(1, 1, 2)) == 0, "fourth job opens");
    printLines(5);
    dotpress::exitProcess();
    expect(!dotpress::isLoaded(), "the process's end takes the library");
    expect(sim::world().callsUnderLoaderLock.empty(), "calls under the loader lock at the end");
    expect(sim::getValue(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"Encuadernar")
               .has_value(),
           "settings written at the process's end");
}

int main() {
    session();
    // A second session on the same process: nothing of the first one may be in the way.
    session();
    exitWithAJobOpen();
    if (failures == 0) {
        std::puts("full_session: load, dialogs, three jobs and unload left nothing behind");
    }
    return failures == 0 ? 0 : 1;
}
