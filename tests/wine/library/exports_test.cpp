// Dotpress.dll as a host finds it: it loads, and its export table holds exactly the eleven
// functions, each reachable by its plain name and by its ordinal: the first nine where hosts
// built against them find them, the two added later after them.
#include "tests/wine/library/dotpress_dll.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

struct Export {
    const char* name;
    WORD ordinal;
};

const Export kExports[] = {
    {"ImpAbrirImpresora", 1},  {"ImpCerrarImpresora", 2},        {"ImpConfigurarPagina", 3},
    {"ImpImprimirLinea", 4},   {"ImpMostrarDialogoImprimir", 5}, {"ImpObtenerNumeroImp", 6},
    {"ImpObtenerTamPapel", 7}, {"ImpSeleccionarImpresora", 8},   {"ImpSetPrintingArea", 9},
    {"ImpObtenerResumen", 10}, {"ImpImprimirPrueba", 11},
};

// Name -> ordinal, read from the export directory of the loaded image.
std::map<std::string, WORD> exportDirectory(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::map<std::string, WORD> exports;
    if (entry.VirtualAddress == 0) {
        return exports;
    }
    const auto* dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + dir->AddressOfNames);
    const auto* indexes = reinterpret_cast<const WORD*>(base + dir->AddressOfNameOrdinals);
    for (DWORD i = 0; i < dir->NumberOfNames; ++i) {
        const char* name = reinterpret_cast<const char*>(base + names[i]);
        exports[name] = static_cast<WORD>(dir->Base + indexes[i]);
    }
    // Exports without a name would show up only here.
    exports["(address slots)"] = static_cast<WORD>(dir->NumberOfFunctions);
    return exports;
}

class Exports : public ::testing::Test {
protected:
    dotpresstest::LoadedDll dll;
};

TEST_F(Exports, LibraryLoadsWithNothingButSystemDlls) {
    // A missing non-system DLL (the compiler's runtime) would make the load fail here.
    ASSERT_NE(dll.get(), nullptr) << "LoadLibraryW failed with error " << GetLastError();
}

TEST_F(Exports, EveryExportResolvesByNameAndByOrdinalToTheSameFunction) {
    ASSERT_NE(dll.get(), nullptr);
    std::set<FARPROC> distinct;
    for (const Export& e : kExports) {
        SCOPED_TRACE(e.name);
        FARPROC byName = GetProcAddress(dll.get(), e.name);
        FARPROC byOrdinal = GetProcAddress(dll.get(), MAKEINTRESOURCEA(e.ordinal));
        ASSERT_NE(byName, nullptr);
        EXPECT_EQ(byOrdinal, byName) << "ordinal " << e.ordinal;
        distinct.insert(byName);
    }
    EXPECT_EQ(distinct.size(), std::size(kExports)) << "two exports share one function";
}

TEST_F(Exports, ExportTableHoldsExactlyTheElevenNamesAndOrdinals) {
    ASSERT_NE(dll.get(), nullptr);
    std::map<std::string, WORD> expected;
    for (const Export& e : kExports) {
        expected[e.name] = e.ordinal;
    }
    expected["(address slots)"] = 11;
    EXPECT_EQ(exportDirectory(dll.get()), expected);
}

TEST_F(Exports, NothingElseResolves) {
    ASSERT_NE(dll.get(), nullptr);
    // Decorated __stdcall names must not leak into the table beside the plain ones, and the
    // ordinals stop at 11.
    const char* const kNames[] = {"ImpSeleccionarImpresora@4", "_ImpSeleccionarImpresora@4",
                                  "ImpAbrirImpresora@236",     "_ImpObtenerNumeroImp@0",
                                  "ImpObtenerResumen@4",       "_ImpImprimirPrueba@4",
                                  "impobtenernumeroimp",       "DllMain"};
    for (const char* name : kNames) {
        EXPECT_EQ(GetProcAddress(dll.get(), name), nullptr) << name;
    }
    for (WORD ordinal : {WORD(0), WORD(12)}) {
        EXPECT_EQ(GetProcAddress(dll.get(), MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
    }
}

} // namespace
