// The page accounting and the print session: any 228-byte job block, any printer format, table
// and binding, and any sequence of opens, lines, closes, area changes, presses of "Cancelar" and
// the host freeing and loading the library again, a job open or not. After every step the job's
// state stays inside its bounds and its summary holds together; the recorded documents hold only
// lines drawn on started pages, none wider or pages longer than the printing area allowed; an
// open job keeps the library, an unload with none leaves nothing behind, and nothing is called
// under the loader lock.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Input {
    const uint8_t* data;
    size_t size;
    uint8_t byte() {
        if (size == 0) {
            return 0;
        }
        --size;
        return *data++;
    }
};

void checkPage(const sim::Page& page, uint32_t maxColumns, uint32_t maxLines) {
    check(page.lines.size() <= maxLines);
    for (const auto& line : page.lines) {
        check(line.bytes.size() <= maxColumns);
        check(line.x == 0 || line.x == 60);
    }
}

void checkState(dotpress::LibraryObject& lib, uint32_t maxColumns, uint32_t maxLines) {
    const int32_t used = dotpress::usedRangeCount(static_cast<dotpress::JobState&>(lib).options);
    check(lib.rangeIndex >= 0 && lib.rangeIndex < used);
    check(sim::world().strayTextOuts == 0);
    check(sim::liveDCs() == (lib.jobOpen() ? 1 : 0));
    check(sim::liveWindows() <= (lib.jobOpen() ? 1 : 0));
    check(lib.lineLength >= 0 && static_cast<size_t>(lib.lineLength) < sizeof lib.lineBuffer);
    if (lib.dialog) {
        const sim::Control* bar = sim::findControl(lib.dialog, IDC_PROGRESS_BAR);
        const uint32_t upper = lib.totalPages < 0xFFFF ? lib.totalPages : 0xFFFF;
        check(bar && bar->position >= 1 &&
              static_cast<uint32_t>(bar->position) <= (upper > 1 ? upper : 1));
    }
    // The summary holds together: every line of an open job is drawn on its document, a cut
    // line is a printed one, and faces pair into sheets.
    JobSummary summary{};
    summary.size = sizeof summary;
    check(ImpObtenerResumen(&summary) == 0);
    check(summary.size == sizeof summary);
    check(summary.state >= JOB_STATE_NONE && summary.state <= JOB_STATE_INCOMPLETE);
    check((summary.state == JOB_STATE_NONE) == (summary.jobNumber == 0));
    check(summary.state != JOB_STATE_OPEN || lib.jobOpen());
    check(summary.linesCut <= summary.linesPrinted);
    const uint32_t faces = summary.pagesPrinted + summary.blankPages;
    check(summary.sheets <= faces && 2 * summary.sheets >= faces);
    if (lib.jobOpen() && sim::world().recording && !sim::world().documents.empty()) {
        size_t drawn = 0;
        for (const auto& page : sim::world().documents.back().pages) {
            drawn += page.lines.size();
        }
        check(drawn == summary.linesPrinted);
    }
    // Lines only ever go onto the last page of the last document: earlier ones were checked
    // when they were last.
    if (!sim::world().documents.empty() && !sim::world().documents.back().pages.empty()) {
        checkPage(sim::world().documents.back().pages.back(), maxColumns, maxLines);
    }
}

void checkNothingLeft() {
    check(sim::world().liveAllocations == 0);
    check(sim::liveDCs() == 0);
    check(sim::liveWindows() == 0);
    check(sim::world().openPrinters == 0);
    check(sim::world().openKeys.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrintOptions options{};
    uint8_t knobs[8] = {};
    if (size < sizeof options + sizeof knobs) {
        return 0;
    }
    std::memcpy(&options, data, sizeof options);
    std::memcpy(knobs, data + sizeof options, sizeof knobs);
    Input in{data + sizeof options + sizeof knobs, size - sizeof options - sizeof knobs};

    sim::reset();
    sim::world().recording = (knobs[7] & 1) != 0;
    sim::world().fonts = {{100, 60}};
    sim::Params format;
    format.lines = static_cast<int16_t>(knobs[0] | (knobs[1] << 8));
    format.columns = static_cast<int16_t>(knobs[2] | (knobs[3] << 8));
    format.doubleSided = knobs[4] & 1;
    // A driver that takes formats 0 to 2: the probe at each load stays short.
    sim::BrailleDriver driver;
    driver.acceptedFormats = {0, 1, 2};
    driver.rejectedFormatAnswer = static_cast<int16_t>(knobs[7] >> 1);
    sim::addBraillePrinter(u"B", u"LPT1:", format, driver);
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp", u"B");
    dotpress::load();
    auto& lib = dotpress::library();
    lib.ansiTable = knobs[4] >> 1 & 1;
    lib.binding = knobs[4] >> 2 & 1;
    uint16_t lines = knobs[5], columns = static_cast<uint16_t>(knobs[6] * 3);
    ImpSetPrintingArea(&lines, &columns);
    uint32_t maxColumns = lib.areaColumns, maxLines = lib.areaLines;

    std::string line;
    while (in.size > 0) {
        const uint8_t op = in.byte();
        switch (op % 8) {
        case 0: { // a job with the block, some of its fields changed by the next bytes
            PrintOptions job = options;
            job.copies ^= in.byte() & 3;
            job.collate ^= in.byte() & 1;
            ImpAbrirImpresora(nullptr, "fuzz", job);
            break;
        }
        case 1:
        case 2:
        case 3: { // a line of up to 255 bytes
            line.clear();
            for (uint8_t n = in.byte(); n > 0 && in.size > 0; --n) {
                const char c = static_cast<char>(in.byte());
                if (c != '\0') {
                    line += c;
                }
            }
            ImpImprimirLinea(line.c_str());
            break;
        }
        case 4:
            ImpCerrarImpresora();
            check(!lib.jobOpen() && lib.dialog == nullptr);
            break;
        case 5: { // the host's printing area changes between two lines
            uint16_t l = in.byte(), c = static_cast<uint16_t>(in.byte() * 3);
            ImpSetPrintingArea(&l, &c);
            maxLines = lib.areaLines > maxLines ? lib.areaLines : maxLines;
            maxColumns = lib.areaColumns > maxColumns ? lib.areaColumns : maxColumns;
            break;
        }
        case 6:
            if (lib.dialog) {
                sim::clickButton(lib.dialog, IDC_PROGRESS_CANCEL);
            }
            break;
        case 7: { // the host frees the library in the middle of whatever it was doing, and
                  // loads it again: an open job has kept it, with its window and document
            const bool open = lib.jobOpen();
            dotpress::unload();
            check(dotpress::isLoaded() == open);
            check(sim::world().callsUnderLoaderLock.empty());
            if (open) {
                sim::pumpMessages();
                dotpress::load();
                break;
            }
            checkNothingLeft();
            dotpress::load();
            lib.ansiTable = knobs[4] >> 1 & 1;
            ImpSetPrintingArea(&lines, &columns);
            break;
        }
        }
        checkState(lib, maxColumns, maxLines);
    }
    ImpCerrarImpresora();
    for (const auto& doc : sim::world().documents) {
        check(doc.ended != doc.aborted); // every document was finished one way or the other
        for (const auto& page : doc.pages) {
            checkPage(page, maxColumns, maxLines);
        }
    }
    dotpress::unload();
    check(!dotpress::isLoaded() && sim::world().callsUnderLoaderLock.empty());
    checkNothingLeft();
    return 0;
}
