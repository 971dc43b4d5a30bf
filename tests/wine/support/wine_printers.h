// Printers in the test prefix: a fresh prefix has none, so a test installs the PostScript driver
// under whatever name it needs and adds printers on the ports it wants.
//
// A port that is a file path takes every job as PostScript, written at EndDoc over the file's
// start without truncating it: remove the file before each job. An output name in the job's
// DOCINFO takes the job instead of the port. Port "FILE:" asks for a name in a dialog.
#pragma once

#include "wine_files.h"

#include <optional>
#include <string>
#include <vector>

namespace winetest {

struct PrinterEntry {
    std::wstring name;
    std::wstring driver;
    std::wstring port;
};

// The spooler environment of this process: "Windows x64" or "Windows NT x86". A driver installed
// for one environment cannot be used from the other.
std::wstring driverEnvironment();

// The test PPD, as a Windows path.
std::wstring testPpdPath();

// Installs Wine's PostScript driver under `driverName` for both environments, 64-bit and 32-bit,
// with the test PPD as its data file, so that a printer of the prefix serves the programs of
// either architecture; skips an environment that has a driver of that name already.
bool addPrinterDriver(const std::wstring& driverName);
bool driverInstalled(const std::wstring& driverName, const std::wstring& environment);

// Adds printer `name` on `port` with the driver `driverName` (installed first when missing). A
// printer of that name left over from an earlier run is replaced. On failure GetLastError()
// tells why.
bool addPrinter(const std::wstring& name, const std::wstring& driverName, const std::wstring& port);
bool deletePrinter(const std::wstring& name);

bool setDefaultPrinter(const std::wstring& name);
// The default printer's name; empty when there is none.
std::wstring defaultPrinter();

// The local printers as EnumPrintersW level 2 lists them.
std::vector<PrinterEntry> printers();
std::optional<PrinterEntry> findPrinter(const std::wstring& name);

// A printer for the length of a test: added on construction (check ok()), deleted on
// destruction.
class ScopedPrinter {
public:
    ScopedPrinter(std::wstring name, const std::wstring& driverName, const std::wstring& port);
    ~ScopedPrinter();
    ScopedPrinter(const ScopedPrinter&) = delete;
    ScopedPrinter& operator=(const ScopedPrinter&) = delete;

    bool ok() const { return ok_; }
    const std::wstring& name() const { return name_; }

private:
    std::wstring name_;
    bool ok_;
};

} // namespace winetest
