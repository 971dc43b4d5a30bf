// Simulated print spooler: enumeration, printer handles and device modes.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using sim::world;

template <typename Char> size_t stringBytes(const std::basic_string<Char>& s) {
    return (s.size() + 1) * sizeof(Char);
}

template <typename Char> std::basic_string<Char> convert(const std::u16string& s);
template <> std::u16string convert<char16_t>(const std::u16string& s) {
    return s;
}
template <> std::string convert<char>(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        out.push_back(static_cast<char>(c <= 0xFF ? c : '?'));
    }
    return out;
}

// Lays the level-2 records out as the spooler does: the structures first, their strings behind.
// Local printers are listed for PRINTER_ENUM_LOCAL, connections for PRINTER_ENUM_CONNECTIONS.
template <typename Char, typename Info>
os::BOOL enumPrinters(os::DWORD flags, os::DWORD level, os::BYTE* buffer, os::DWORD bufferSize,
                      os::DWORD* needed, os::DWORD* returned) {
    sim::World& w = world();
    if (returned) {
        *returned = 0;
    }
    if (level != 2) {
        return os::FALSE;
    }
    const bool sizeQuery = bufferSize == 0;
    const auto listed = [&] {
        std::vector<const sim::Printer*> printers;
        for (const auto& p : w.printers) {
            if (flags & (p.connection ? os::PRINTER_ENUM_CONNECTIONS : os::PRINTER_ENUM_LOCAL)) {
                printers.push_back(&p);
            }
        }
        return printers;
    };
    std::vector<const sim::Printer*> printers = listed();
    size_t total = sizeof(Info) * printers.size();
    for (const sim::Printer* p : printers) {
        total += stringBytes(convert<Char>(p->name)) + stringBytes(convert<Char>(p->port)) +
                 stringBytes(convert<Char>(p->driver));
    }
    if (needed) {
        *needed = static_cast<os::DWORD>(total);
    }
    if (sizeQuery) {
        for (auto& p : w.addedBetweenEnumCalls) {
            w.printers.push_back(p);
        }
        w.addedBetweenEnumCalls.clear();
        return listed().empty() ? os::TRUE : os::FALSE;
    }
    if (w.failSecondEnum || !buffer || bufferSize < total) {
        return os::FALSE;
    }
    std::memset(buffer, 0, total);
    auto* infos = reinterpret_cast<Info*>(buffer);
    os::BYTE* strings = buffer + sizeof(Info) * printers.size();
    auto place = [&](const std::u16string& s) {
        auto text = convert<Char>(s);
        auto* at = reinterpret_cast<Char*>(strings);
        std::memcpy(strings, text.c_str(), stringBytes(text));
        strings += stringBytes(text);
        return at;
    };
    for (size_t i = 0; i < printers.size(); ++i) {
        infos[i].pPrinterName = place(printers[i]->name);
        infos[i].pPortName = place(printers[i]->port);
        infos[i].pDriverName = place(printers[i]->driver);
    }
    if (returned) {
        *returned = static_cast<os::DWORD>(printers.size()) + w.enumOverCount;
    }
    return os::TRUE;
}

} // namespace

// The driver's properties dialog: it starts from the printer's device mode with the settings it
// finds in the input (read as far as the input says it goes), lets the scripted user choose, and
// on OK writes its whole device mode to the output buffer, as large as the driver has it now: the
// caller's buffer must hold that.
os::LONG sim::propertiesDialog(os::HWND owner, int printer, void* devModeOut, const void* devModeIn,
                               os::DWORD mode) {
    World& w = world();
    w.propertiesDialogs.push_back({owner, printer, mode, devModeIn, devModeOut});
    const Printer& p = w.printers[static_cast<size_t>(printer)];
    std::vector<uint8_t> devMode = p.devMode;
    if ((mode & os::DM_IN_BUFFER) && devModeIn) {
        const auto* input = static_cast<const uint8_t*>(devModeIn);
        if (const auto kept = paramsInDevMode(input, claimedSize(input))) {
            writeParams(devMode, *kept);
        }
    }
    bool ok = false;
    if (!w.propertiesChoices.empty()) {
        const PropertiesChoice choice = w.propertiesChoices.front();
        w.propertiesChoices.pop_front();
        ok = choice.ok;
        if (ok && p.braille) {
            writeParams(devMode, adjust(*p.braille, choice.params));
        }
    }
    if (ok && (mode & os::DM_OUT_BUFFER) && devModeOut) {
        std::memcpy(devModeOut, devMode.data(), devMode.size());
    }
    return ok ? os::IDOK : os::IDCANCEL;
}

int sim::printerByName(const char16_t* name) {
    if (!name) {
        return -1;
    }
    auto& printers = world().printers;
    for (size_t i = 0; i < printers.size(); ++i) {
        if (printers[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

namespace os {

BOOL EnumPrintersW(DWORD flags, const char16_t*, DWORD level, BYTE* buffer, DWORD bufferSize,
                   DWORD* needed, DWORD* returned) {
    sim::systemCall("EnumPrintersW");
    return enumPrinters<char16_t, PRINTER_INFO_2W>(flags, level, buffer, bufferSize, needed,
                                                   returned);
}

BOOL EnumPrintersA(DWORD flags, const char*, DWORD level, BYTE* buffer, DWORD bufferSize,
                   DWORD* needed, DWORD* returned) {
    sim::systemCall("EnumPrintersA");
    return enumPrinters<char, PRINTER_INFO_2A>(flags, level, buffer, bufferSize, needed, returned);
}

BOOL OpenPrinterW(const char16_t* printerName, HANDLE* printer, void*) {
    sim::systemCall("OpenPrinterW");
    const int index = sim::printerByName(printerName);
    if (index < 0 || world().printers[static_cast<size_t>(index)].failOpen) {
        return FALSE;
    }
    ++world().openPrinters;
    *printer = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x5000 + index));
    return TRUE;
}

BOOL ClosePrinter(HANDLE printer) {
    sim::systemCall("ClosePrinter");
    if (!printer) {
        return FALSE;
    }
    --world().openPrinters;
    return TRUE;
}

LONG DocumentPropertiesW(HWND owner, HANDLE printer, const char16_t*, void* devModeOut,
                         const void* devModeIn, DWORD mode) {
    sim::systemCall("DocumentPropertiesW");
    const auto index = reinterpret_cast<uintptr_t>(printer) - 0x5000;
    if (index >= world().printers.size()) {
        return -1;
    }
    sim::Printer& p = world().printers[index];
    if (mode == 0) {
        return p.failSizeQuery ? -1 : static_cast<LONG>(p.devMode.size());
    }
    if (mode & DM_IN_PROMPT) {
        return sim::propertiesDialog(owner, static_cast<int>(index), devModeOut, devModeIn, mode);
    }
    // The properties dialog of the simulated driver accepts what it is given.
    if ((mode & DM_IN_BUFFER) && devModeIn && devModeIn != devModeOut) {
        std::memcpy(devModeOut, devModeIn, p.devMode.size());
    }
    if ((mode & DM_OUT_BUFFER) && devModeOut && !(mode & DM_IN_BUFFER)) {
        std::memcpy(devModeOut, p.devMode.data(), p.devMode.size());
    }
    return 1; // IDOK
}

} // namespace os
