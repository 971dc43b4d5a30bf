// Any [Devices] and [PrinterPorts] entry, any argument and any port: the repair writes only
// entries of at most 63 characters, and rewrites exactly the entries that still name the old
// spooler, into the argument, the port and the time-outs of the whole old entry. The text rules
// also run on exact-size copies, so that AddressSanitizer sees any read outside an entry.
#include "platform/sim/world.h"
#include "portfix/profile_entry.h"
#include "portfix/repair.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Up to `limit` bytes of the input with no zero byte in them (profile texts are C strings).
std::string take(const uint8_t*& data, size_t& size, size_t limit) {
    std::string out;
    while (size > 0 && out.size() < limit) {
        const char c = static_cast<char>(*data++);
        --size;
        if (c == '\0') {
            break;
        }
        out += c;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t flags = *data++;
    --size;
    std::string argument = take(data, size, 80);
    std::string port = take(data, size, 80);
    const std::string devices = take(data, size, 120);
    const std::string ports = take(data, size, 120);

    // The text rules on exact copies of the entry.
    std::vector<char> exact(ports.begin(), ports.end());
    const portfix::TimeOuts timeOuts = portfix::timeOutsOf(exact.data(), exact.size());
    exact.push_back('\0');
    std::vector<char> exactArgument(argument.begin(), argument.end());
    exactArgument.push_back('\0');
    (void)portfix::namesOldSpooler(exact.data(), exactArgument.data());

    sim::reset();
    if (flags & 1) {
        sim::setProfile("Devices", "P", devices);
    }
    if (flags & 2) {
        sim::setProfile("PrinterPorts", "P", ports);
    }
    std::string name = "P";
    std::string driver = "VORN";
    os::PRINTER_INFO_2A printer{};
    printer.pPrinterName = name.data();
    printer.pPortName = port.data();
    printer.pDriverName = driver.data();
    portfix::repairPrinter(printer, argument.c_str());

    const std::string before[2] = {flags & 1 ? devices : "", flags & 2 ? ports : ""};
    const char* sections[2] = {"Devices", "PrinterPorts"};
    for (int s = 0; s < 2; ++s) {
        const auto after = sim::getProfile(sections[s], "P");
        std::string want = argument + "," + port;
        if (s == 1) {
            want += "," + std::to_string(timeOuts.deviceNotSelected) + "," +
                    std::to_string(timeOuts.transmissionRetry);
        }
        const bool rewrite = portfix::namesOldSpooler(before[s].c_str(), argument.c_str()) &&
                             want.size() < portfix::kEntrySize;
        if (rewrite) {
            check(after && *after == want);
        } else {
            check(after.value_or("") == before[s]); // left alone
        }
    }
    return 0;
}
