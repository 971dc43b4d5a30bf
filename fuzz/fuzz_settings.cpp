// Any stored settings: "DatosPag", "Encuadernar" and "NombreImp" of any type, size and content,
// and a printer of any name. The library reads each value only when it fits its field, takes a
// short "DatosPag" field by field over the built-in block, selects the printer only on an exact
// name, writes back exactly the 12-byte block and the 4-byte binding it holds, and a second load
// reads back what the first one wrote.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/settings/registry_settings.h"
#include "platform/sim/world.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const std::u16string kKey = u"Software\\Vorn\\DefDotpress";

std::vector<uint8_t> bytesOf(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) {
        return 0;
    }
    const size_t paramsSize = data[0] % 32, bindingSize = data[1] % 16;
    const size_t nameUnits = data[2];
    const os::DWORD types[3] = {data[3] % 12u, data[4] % 12u, data[5] % 12u};
    data += 6;
    size -= 6;
    auto take = [&](size_t n) {
        n = n < size ? n : size;
        std::vector<uint8_t> out(data, data + n);
        data += n;
        size -= n;
        return out;
    };
    sim::reset();
    const std::vector<uint8_t> params = take(paramsSize);
    const std::vector<uint8_t> binding = take(bindingSize);
    const std::vector<uint8_t> stored = take(size);
    sim::setValue(os::HKEY_CURRENT_USER, kKey, u"DatosPag", types[0], params);
    sim::setValue(os::HKEY_CURRENT_USER, kKey, u"Encuadernar", types[1], binding);
    sim::setValue(os::HKEY_CURRENT_USER, kKey, u"NombreImp", types[2], stored);
    std::u16string printer;
    for (size_t i = 0; i + 1 < stored.size() && printer.size() < nameUnits * 2; i += 2) {
        printer += static_cast<char16_t>(stored[i] | (stored[i + 1] << 8));
    }
    // A driver that takes formats 0 and 1 only: the probe at each load stays short.
    sim::BrailleDriver driver;
    driver.acceptedFormats = {0, 1};
    sim::addBraillePrinter(printer, printer, sim::Params{}, driver);
    dotpress::load();
    auto& lib = dotpress::library();

    // The default block: the whole fields the value covers, the built-in block for the rest.
    int16_t expected[6] = {1, 0, 40, 29, 0, 0};
    if (!params.empty() && params.size() <= sizeof expected) {
        std::memcpy(expected, params.data(), params.size() / 2 * 2);
    }
    check(std::memcmp(&lib.defaultRecord().params, expected, sizeof expected) == 0);
    int32_t bindingValue = 1;
    if (binding.size() <= sizeof bindingValue) {
        bindingValue = 0;
        if (!binding.empty()) {
            std::memcpy(&bindingValue, binding.data(), binding.size());
        }
    }
    check(lib.binding == bindingValue);

    // The printer is selected exactly when the stored name, up to its first null, is its name
    // as the table holds it.
    std::u16string name;
    for (size_t i = 0; i + 1 < stored.size() && stored.size() <= 520; i += 2) {
        const auto unit = static_cast<char16_t>(stored[i] | (stored[i + 1] << 8));
        if (unit == 0) {
            break;
        }
        name += unit;
    }
    const std::u16string held(lib.records[0].name);
    check(lib.count == 1);
    check(lib.selected == (stored.size() <= 520 && name == held ? 0u : 1u));

    int32_t lines = 0, columns = 0;
    ImpObtenerTamPapel(&lines, &columns);
    uint16_t areaLines = 100, areaColumns = 100;
    ImpSetPrintingArea(&areaLines, &areaColumns);
    check(areaLines >= 10 && areaColumns >= 12);
    const auto block = lib.defaultRecord().params;
    const int32_t kept = lib.binding;
    dotpress::unload();
    check(sim::world().liveAllocations == 0 && sim::world().openKeys.empty());

    const auto writtenBlock = sim::getValue(os::HKEY_CURRENT_USER, kKey, u"DatosPag");
    const auto writtenBinding = sim::getValue(os::HKEY_CURRENT_USER, kKey, u"Encuadernar");
    check(writtenBlock && writtenBlock->type == os::REG_BINARY &&
          writtenBlock->data == bytesOf(&block, sizeof block));
    check(writtenBinding && writtenBinding->type == os::REG_DWORD &&
          writtenBinding->data == bytesOf(&kept, sizeof kept));

    // What one run wrote, the next one reads, from the first export on.
    dotpress::load();
    dotpress::library();
    check(std::memcmp(&lib.defaultRecord().params, &block, sizeof block) == 0);
    check(lib.binding == kept);
    dotpress::unload();
    return 0;
}
