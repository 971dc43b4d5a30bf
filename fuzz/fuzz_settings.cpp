// Any stored settings: "DatosPag", "Encuadernar" and "NombreImp" of any size and content, and
// printer names of any length.
#include "dotpress.h"
#include "dotpress/core/library_instance.h"
#include "platform/sim/world.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const size_t paramsSize = data[0] % 32, bindingSize = data[1] % 16;
    const size_t nameUnits = data[2];
    data += 3;
    size -= 3;
    auto take = [&](size_t n) {
        n = n < size ? n : size;
        std::vector<uint8_t> out(data, data + n);
        data += n;
        size -= n;
        return out;
    };
    sim::reset();
    const std::u16string key = u"Software\\Vorn\\DefDotpress";
    sim::setValue(os::HKEY_CURRENT_USER, key, u"DatosPag", os::REG_BINARY, take(paramsSize));
    sim::setValue(os::HKEY_CURRENT_USER, key, u"Encuadernar", os::REG_DWORD, take(bindingSize));
    std::vector<uint8_t> stored = take(size);
    sim::setValue(os::HKEY_CURRENT_USER, key, u"NombreImp", os::REG_SZ, stored);
    std::u16string printer;
    for (size_t i = 0; i + 1 < stored.size() && printer.size() < nameUnits * 2; i += 2) {
        printer += static_cast<char16_t>(stored[i] | (stored[i + 1] << 8));
    }
    sim::addBraillePrinter(printer, printer, sim::Params{});
    dotpress::load();
    int32_t lines = 0, columns = 0;
    ImpObtenerTamPapel(&lines, &columns);
    uint16_t areaLines = 100, areaColumns = 100;
    ImpSetPrintingArea(&areaLines, &areaColumns);
    dotpress::unload();
    return 0;
}
