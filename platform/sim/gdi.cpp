// Simulated GDI printing: device contexts, the Braille driver's escapes and a recorder of every
// document, page and line.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>
#include <cstring>

namespace {

using sim::world;

constexpr int kGetParams = 65281;
constexpr int kSetParams = 65282;
constexpr uintptr_t kDcBase = 0x9000;

sim::DeviceContext* dcOf(os::HDC dc) {
    const auto index = reinterpret_cast<uintptr_t>(dc) - kDcBase;
    auto& dcs = world().dcs;
    if (index >= dcs.size() || !dcs[index]->live) {
        return nullptr;
    }
    return dcs[index].get();
}

sim::Document* documentOf(sim::DeviceContext* dc) {
    if (!dc || dc->document < 0) {
        return nullptr;
    }
    return &world().documents[static_cast<size_t>(dc->document)];
}

} // namespace

size_t sim::claimedSize(const void* devMode) {
    const auto* bytes = static_cast<const uint8_t*>(devMode);
    return static_cast<size_t>(bytes[68] | (bytes[69] << 8)) + (bytes[70] | (bytes[71] << 8));
}

sim::Params sim::adjust(const BrailleDriver& driver, Params p) {
    const auto& accepted = driver.acceptedFormats;
    if (!accepted.empty() &&
        std::find(accepted.begin(), accepted.end(), p.paperFormat) == accepted.end()) {
        p.paperFormat = driver.rejectedFormatAnswer;
    }
    if (driver.maxColumns && p.columns > driver.maxColumns) {
        p.columns = driver.maxColumns;
    }
    if (driver.maxLines && p.lines > driver.maxLines) {
        p.lines = driver.maxLines;
    }
    if (driver.maxPaperLength && p.paperLength > driver.maxPaperLength) {
        p.paperLength = driver.maxPaperLength;
    }
    return p;
}

void sim::writeParams(std::vector<uint8_t>& devMode, const Params& p) {
    if (devMode.size() < 72) {
        return;
    }
    const size_t publicSize = devMode[68] | (devMode[69] << 8);
    if (devMode.size() >= publicSize + sizeof p) {
        std::memcpy(devMode.data() + publicSize, &p, sizeof p);
    }
}

namespace os {

HDC CreateDCW(const char16_t* driver, const char16_t* device, const char16_t* port,
              const void* devMode) {
    sim::systemCall("CreateDCW");
    (void)driver;
    sim::World& w = world();
    ++w.createDCCalls;
    const int index = sim::printerByName(device);
    if (index < 0 || w.printers[static_cast<size_t>(index)].failCreateDC) {
        return nullptr;
    }
    const sim::Printer& printer = w.printers[static_cast<size_t>(index)];
    auto dc = std::make_unique<sim::DeviceContext>();
    dc->printer = index;
    dc->port = port ? port : u"";
    if (devMode) {
        const auto* bytes = static_cast<const uint8_t*>(devMode);
        // As GDI does: the block is read as far as it says it goes.
        dc->devMode.assign(bytes, bytes + sim::claimedSize(devMode));
    } else {
        dc->devMode = printer.devMode;
    }
    w.dcs.push_back(std::move(dc));
    return reinterpret_cast<HDC>(kDcBase + w.dcs.size() - 1);
}

BOOL DeleteDC(HDC dc) {
    sim::systemCall("DeleteDC");
    sim::DeviceContext* d = dcOf(dc);
    if (!d) {
        return FALSE;
    }
    d->live = false;
    return TRUE;
}

namespace {

// What the driver of `d` answers to one escape; `block` gets the parameters it answered.
int answerEscape(sim::DeviceContext& d, int escape, int inputSize, const void* input,
                 int outputSize, void* output, std::optional<sim::Params>& block) {
    const sim::Printer& printer = world().printers[static_cast<size_t>(d.printer)];
    if (!printer.braille || (escape != kGetParams && escape != kSetParams)) {
        return 0; // an ordinary driver does not know the escape and touches nothing
    }
    if (escape == kGetParams) {
        auto p = sim::paramsInDevMode(static_cast<const uint8_t*>(input),
                                      static_cast<size_t>(std::max(inputSize, 0)));
        if (!p || outputSize < static_cast<int>(sizeof(sim::Params)) || !output) {
            return -1;
        }
        std::memcpy(output, &*p, sizeof *p);
        block = *p;
        return 1;
    }
    if (inputSize < static_cast<int>(sizeof(sim::Params)) || !input) {
        return -1;
    }
    sim::Params sent;
    std::memcpy(&sent, input, sizeof sent);
    sim::writeParams(d.devMode, sim::adjust(*printer.braille, sent));
    if (output) {
        std::memcpy(output, d.devMode.data(),
                    std::min(d.devMode.size(), static_cast<size_t>(std::max(outputSize, 0))));
    }
    return 1;
}

} // namespace

int ExtEscape(HDC dc, int escape, int inputSize, const void* input, int outputSize, void* output) {
    sim::systemCall("ExtEscape");
    sim::DeviceContext* d = dcOf(dc);
    if (!d) {
        return -1;
    }
    sim::Escape record;
    record.dc = reinterpret_cast<uintptr_t>(dc) - kDcBase;
    record.printer = d->printer;
    record.code = escape;
    record.inputSize = inputSize;
    record.outputSize = outputSize;
    if (escape == kSetParams && input && inputSize >= static_cast<int>(sizeof(sim::Params))) {
        sim::Params sent;
        std::memcpy(&sent, input, sizeof sent);
        record.block = sent; // what was sent, whether or not the driver knows the escape
    }
    record.result = answerEscape(*d, escape, inputSize, input, outputSize, output, record.block);
    world().escapes.push_back(record);
    return record.result;
}

int StartDocW(HDC dc, const DOCINFOW* docInfo) {
    sim::systemCall("StartDocW");
    sim::World& w = world();
    sim::DeviceContext* d = dcOf(dc);
    if (!d || !docInfo) {
        return SP_ERROR;
    }
    if (!w.startDocResults.empty()) {
        const int result = w.startDocResults.front();
        w.startDocResults.erase(w.startDocResults.begin());
        if (result <= 0) {
            return result;
        }
    }
    sim::Document doc;
    doc.name = docInfo->lpszDocName ? docInfo->lpszDocName : u"";
    doc.printer = w.printers[static_cast<size_t>(d->printer)].name;
    doc.port = d->port;
    doc.output = docInfo->lpszOutput ? docInfo->lpszOutput : u"";
    doc.params = sim::paramsInDevMode(d->devMode.data(), d->devMode.size());
    w.documents.push_back(std::move(doc));
    d->document = static_cast<int>(w.documents.size() - 1);
    return d->document + 1;
}

int StartPage(HDC dc) {
    sim::systemCall("StartPage");
    sim::DeviceContext* d = dcOf(dc);
    sim::Document* doc = documentOf(d);
    if (!doc || d->pageOpen) {
        return SP_ERROR;
    }
    d->pageOpen = true;
    if (world().recording) {
        doc->pages.emplace_back();
    }
    return 1;
}

int EndPage(HDC dc) {
    sim::systemCall("EndPage");
    sim::DeviceContext* d = dcOf(dc);
    if (!d || !d->pageOpen) {
        return SP_ERROR;
    }
    d->pageOpen = false;
    return 1;
}

int EndDoc(HDC dc) {
    sim::systemCall("EndDoc");
    sim::DeviceContext* d = dcOf(dc);
    sim::Document* doc = documentOf(d);
    if (!doc) {
        return SP_ERROR;
    }
    doc->ended = true;
    d->document = -1;
    return 1;
}

int AbortDoc(HDC dc) {
    sim::systemCall("AbortDoc");
    sim::DeviceContext* d = dcOf(dc);
    sim::Document* doc = documentOf(d);
    if (!doc) {
        return SP_ERROR;
    }
    doc->aborted = true;
    d->document = -1;
    d->pageOpen = false;
    return 1;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
    sim::systemCall("TextOutA");
    sim::DeviceContext* d = dcOf(dc);
    sim::Document* doc = documentOf(d);
    if (!doc || !d->pageOpen) {
        ++world().strayTextOuts;
        return FALSE;
    }
    if (world().recording) {
        doc->pages.back().lines.push_back({x, y, std::string(text, static_cast<size_t>(length))});
    }
    return TRUE;
}

int EnumFontFamiliesExW(HDC dc, LOGFONTW* font, FONTENUMPROCW proc, LPARAM data, DWORD) {
    sim::systemCall("EnumFontFamiliesExW");
    if (!dcOf(dc) || !font || !proc) {
        return 0;
    }
    int last = 1;
    for (const auto& [height, width] : world().fonts) {
        LOGFONTW reported{};
        reported.lfHeight = height;
        reported.lfWidth = width;
        reported.lfCharSet = font->lfCharSet;
        last = proc(&reported, nullptr, 0, data);
        if (last == 0) {
            break;
        }
    }
    return last;
}

} // namespace os
