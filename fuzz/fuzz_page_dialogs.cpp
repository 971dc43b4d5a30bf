// The printer selection and both page dialogs, worked by any sequence of user actions on any
// stored page parameters: the selected index stays in the table, an accepted page of the
// library's own dialog holds together, the hook's record always matches its device mode, and no
// dialog, block or allocation is left behind.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"
#include "fuzz/fuzz_user.h"
#include "platform/sim/world.h"

#include <cstdlib>
#include <cstring>

namespace {

using fuzzuser::check;
using fuzzuser::Input;

const fuzzuser::Dialog kDialogs = {
    {IDC_PAGE_PAPER, IDC_SELECT_LIST},
    {IDC_PAGE_LINES, IDC_PAGE_COLUMNS, IDC_PAGE_LENGTH},
    {},
    {os::IDOK, os::IDCANCEL, IDC_PAGE_PRINTER_SETUP, IDC_PAGE_RESTORE, IDC_SELECT_DEFAULT},
    u"0123456789x",
    u"TLCRNPx",
    8,
};

// A user-defined page: what the user typed is clamped to the limits; what nobody touched keeps
// the value it had, in range or not.
bool inUserLimits(const dotpress::PrinterParams& p, const dotpress::PrinterParams& before) {
    return (p.lines == before.lines || (p.lines >= 10 && p.lines <= 32)) &&
           (p.columns == before.columns || (p.columns >= 10 && p.columns <= 46));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 12 || size > 512) {
        return 0;
    }
    Input in(data, size);
    // One library for the whole run with an embosser whose last paper is its user-defined one;
    // each input sets the pages, the selection and what the driver keeps.
    static const long baseline = [] {
        sim::reset();
        sim::Printer& p = sim::addBraillePrinter(u"E", u"LPT1:", sim::Params{});
        p.paperNames = {u"Carta", u"A4", u"Libre"};
        sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp", u"E");
        dotpress::load();
        dotpress::library(); // the first export a host calls builds the printer table
        return sim::world().liveAllocations;
    }();
    sim::World& w = sim::world();
    fuzzuser::forgetDialogs(w);
    w.propertiesDialogs.clear();
    w.escapes.clear();
    w.propertiesChoices.clear();
    // The simulator keeps every device context it made; between inputs none is open, so the
    // record of them can start again (it would otherwise grow by several every run).
    check(sim::liveDCs() == 0);
    w.dcs.clear();
    auto& lib = dotpress::library();
    const uint8_t what = in.byte() % 3;
    lib.selected = in.byte() & 1; // 0 the embosser, 1 no printer
    sim::BrailleDriver& driver = *w.printers[0].braille;
    driver.maxLines = static_cast<int16_t>(in.byte() % 40);
    driver.maxColumns = static_cast<int16_t>(in.byte() % 50);
    driver.maxPaperLength = static_cast<int16_t>(in.byte() * 2);
    dotpress::PrinterParams stored{};
    stored.paperFormat = in.word();
    stored.paperLength = in.word();
    stored.columns = in.word();
    stored.lines = in.word();
    lib.defaultRecord().params = stored;
    w.paperListAfterInit = in.byte() & 1;
    w.propertiesChoices.push_back(
        {sim::Params{static_cast<int16_t>(in.byte() % 4), in.word(), in.word(), in.word(), 0, 0},
         (in.byte() & 1) != 0});
    while (!in.empty()) {
        w.script.push_back(fuzzuser::step(in, kDialogs));
    }

    dotpress::PrinterRecord& record = lib.selectedRecord();
    const dotpress::PrinterParams before = record.params;
    if (what == 0) {
        check(ImpSeleccionarImpresora(nullptr) == 0);
        check(lib.selected <= lib.count);
    } else {
        int32_t lines = -1, columns = -1;
        check(ImpConfigurarPagina(nullptr, &lines, &columns) == 0);
        check(lines == record.params.lines && columns == record.params.columns);
        if (&record == &lib.defaultRecord()) {
            const dotpress::PrinterParams& p = record.params;
            if (std::memcmp(&p, &before, sizeof p) != 0) {
                check(p.paperFormat >= 0 && p.paperFormat <= 6);
                check(p.paperFormat == 6 ? inUserLimits(p, before)
                                         : p.lines == 29 || p.lines == 26);
                check(p.paperLength == before.paperLength);
            }
            lib.defaultRecord().params = before;
        } else {
            // Whatever the user did, the record says what its device mode says.
            const auto inDevMode = sim::paramsInDevMode(record.devMode, record.devModeSize);
            check(inDevMode && std::memcmp(&*inDevMode, &record.params, sizeof record.params) == 0);
        }
    }
    lib.selected = 0;
    check(w.stuckDialogs == 0 && w.unknownPrinterOpens == 0);
    check(sim::liveWindows() == 0);
    check(sim::liveGlobals() == 0 && w.badGlobalFrees == 0);
    check(w.liveAllocations == baseline);
    return 0;
}
