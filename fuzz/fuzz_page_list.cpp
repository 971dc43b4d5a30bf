// Any page list a user could type (and longer), any maximum page, single- and double-sided
// printers: the parser either refuses with one message or fills ranges that hold.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 304) {
        return 0;
    }
    const uint16_t maxPage = static_cast<uint16_t>(data[0] | (data[1] << 8));
    const bool bothSides = data[2] & 1;
    const uint32_t copies = data[3];
    data += 4;
    size -= 4;

    // One library for the whole run: the parser depends only on what is set below.
    static const bool loaded = [] {
        sim::reset();
        sim::addBraillePrinter(u"B", u"LPT1:", sim::Params{});
        sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp", u"B");
        dotpress::load();
        return true;
    }();
    (void)loaded;
    sim::world().messageBoxes.clear();
    dotpress::PrintDialog& dialog = dotpress::library();
    dotpress::library().records[0].params.doubleSided = bothSides ? 1 : 0;
    dialog.dialogPrinter = 0;
    dialog.printDlg.nMaxPage = maxPage;
    dialog.options.copies = copies;
    std::memset(dialog.pageListText, 0, sizeof dialog.pageListText);
    size_t length = 0;
    for (size_t i = 0; i < size && length + 1 < 260; ++i) {
        if (data[i]) {
            dialog.pageListText[length++] = static_cast<char16_t>(data[i]);
        }
    }

    const bool ok = dialog.parsePageList();
    const auto& o = dialog.options;
    if (!ok) {
        if (sim::world().messageBoxes.size() != 1) {
            std::abort(); // a refused list says why, once
        }
    } else {
        // A list the edit can hold (25 characters) has at most 13 entries; any text stays
        // within the block's ranges.
        const int32_t limit = length <= 25 ? 13 : MAX_PAGE_RANGES;
        if (!sim::world().messageBoxes.empty() || o.rangeCount < 1 || o.rangeCount > limit) {
            std::abort();
        }
        uint32_t pages = 0;
        for (int32_t i = 0; i < o.rangeCount; ++i) {
            const PageRange& r = o.ranges[i];
            if (r.firstPage < 1 || r.firstPage > r.lastPage || r.lastPage > maxPage) {
                std::abort();
            }
            if (bothSides && r.firstPage % 2 == 0) {
                std::abort(); // every range starts on the front of a sheet
            }
            pages += r.lastPage - r.firstPage + 1;
        }
        if (o.totalPages != pages * copies) {
            std::abort();
        }
    }
    return 0;
}
