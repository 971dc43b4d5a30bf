// The print dialog as a whole, worked by any sequence of user actions (lists, typing, boxes,
// buttons, keys) on any printers and documents: it either cancels with an empty block or hands
// back one that holds together, and never leaves a dialog, a block or a handle behind.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"
#include "fuzz/fuzz_user.h"
#include "platform/sim/world.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using fuzzuser::check;
using fuzzuser::Input;

const fuzzuser::Dialog kDialog = {
    {IDC_PRINT_PRINTER_LIST, IDC_PRINT_TABLE_LIST},
    {IDC_PRINT_PAGE_LIST, IDC_PRINT_COPIES, IDC_PRINT_LINES},
    {IDC_PRINT_TO_FILE, IDC_PRINT_COLLATE, IDC_PRINT_BOTH_SIDES, IDC_PRINT_BINDING, IDC_PRINT_ALL,
     IDC_PRINT_CURRENT_PAGE, IDC_PRINT_PAGES, IDC_PRINT_GO_ON},
    {IDC_PRINT_PRINT, IDC_PRINT_CANCEL},
    u"0123456789-, ,x\t",
    u"NFTLPCEOnxs",
    30,
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8 || size > 512) {
        return 0;
    }
    Input in(data, size);
    // One library for the whole run, with three printers whose pages each input sets; what a
    // dialog leaves behind is checked and cleared after every input.
    static const long baseline = [] {
        sim::reset();
        for (char16_t name : {u'A', u'B', u'C'}) {
            sim::addBraillePrinter(std::u16string(1, name), u"LPT1:", sim::Params{});
        }
        sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp", u"A");
        dotpress::load();
        dotpress::library(); // the first export a host calls builds the printer table
        return sim::world().liveAllocations;
    }();
    sim::World& w = sim::world();
    fuzzuser::forgetDialogs(w);
    auto& lib = dotpress::library();
    lib.selected = in.byte() % 3;
    lib.binding = in.byte() & 1;
    for (uint32_t i = 0; i < 3; ++i) {
        lib.records[i].params.lines = static_cast<int16_t>(in.byte() % 40);
        lib.records[i].params.columns = static_cast<int16_t>(in.byte() % 50);
        lib.records[i].params.doubleSided = in.byte() & 1;
        lib.records[i].adjustBothSides = in.byte() & 1;
    }
    uint16_t lines = in.byte(), columns = in.byte();
    ImpSetPrintingArea(&lines, &columns);
    const int32_t pages = in.byte() | (in.byte() << 8) | (in.byte() << 16);
    // The last job of the load, for the offer to go on: a small block, cancelled or not.
    PrintOptions job{};
    const uint8_t shape = in.byte();
    job.rangeCount = 1 + shape % 2;
    job.copies = 1 + (shape >> 1) % 3;
    job.collate = (shape >> 3) & 1;
    for (int32_t i = 0; i < job.rangeCount; ++i) {
        job.ranges[i].firstPage = 1 + in.byte() % 12u;
        job.ranges[i].lastPage = job.ranges[i].firstPage + in.byte() % 4u;
        job.totalPages += (job.ranges[i].lastPage - job.ranges[i].firstPage + 1) * job.copies;
    }
    job.totalPages += in.byte() % 8 == 0; // now and then not the block's pages
    lib.dialogAccepted(static_cast<uint16_t>(pages));
    lib.jobOpened((shape >> 4) & 1);
    lib.jobClosed((shape >> 5) & 1, job, in.byte() % 48);
    while (!in.empty()) {
        sim::world().script.push_back(fuzzuser::step(in, kDialog));
    }

    PrintOptions o;
    std::memset(&o, 0xCD, sizeof o);
    const int32_t result = ImpMostrarDialogoImprimir(nullptr, &o, pages);
    const auto max = static_cast<uint32_t>(pages & 0xFFFF);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&o);
    if (result == 1) {
        for (size_t i = 0; i < sizeof o; ++i) {
            check(bytes[i] == 0);
        }
    } else {
        check(result == 0);
        check(o.printToFile == 0 || o.printToFile == 1);
        check(o.collate == 0 || o.collate == 1);
        check(o.adjustBothSides == 0 || o.adjustBothSides == 1);
        if (o.rangeKind == RANGE_ALL) {
            check(o.rangeCount == 1 && o.ranges[0].firstPage == 1 && o.ranges[0].lastPage == max);
            check(o.totalPages == std::min<uint64_t>(uint64_t{max} * o.copies, 0xFFFFFFFF));
        } else if (o.rangeKind == RANGE_CURRENT_PAGE) {
            check(o.rangeCount == 1 && o.ranges[0].firstPage == 0 && o.ranges[0].lastPage == 0);
            check(o.totalPages == o.copies);
        } else {
            check(o.rangeKind == RANGE_PAGES);
            check(o.rangeCount >= 1 && o.rangeCount <= 13);
            uint64_t sum = 0;
            for (int32_t i = 0; i < o.rangeCount; ++i) {
                const PageRange& r = o.ranges[i];
                check(r.firstPage >= 1 && r.firstPage <= r.lastPage && r.lastPage <= max);
                sum += r.lastPage - r.firstPage + 1;
            }
            check(o.totalPages == std::min<uint64_t>(sum * o.copies, 0xFFFFFFFF));
        }
    }
    check(w.stuckDialogs == 0 && w.unknownPrinterOpens == 0);
    check(sim::liveWindows() == 0);
    check(sim::liveGlobals() == 0 && w.badGlobalFrees == 0);
    check(w.liveAllocations == baseline);
    return 0;
}
