// A host linked against the import library, as a C or C++ host application is built: every
// function the host calls reaches the export of the same name in the Dotpress.dll it loads with,
// and every slot the loader filled for Dotpress.dll holds the export its import names.
#include "dotpress.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

namespace {

struct Import {
    const char* name;
    const void* called; // the address the host's call goes through
};

// Where a call through `address` lands. A host's call of an imported function goes either
// straight through its import slot (the 64-bit compiler reads the slot for a dllimport
// declaration) or through a jump stub that the linker adds (`jmp [slot]`, as the 32-bit compiler
// takes a function's address from a static initialiser): follow such stubs to the slot's value.
const void* callTarget(const void* address) {
    for (int hops = 0; hops < 4 && address; ++hops) {
        const auto* code = static_cast<const uint8_t*>(address);
        if (code[0] != 0xFF || code[1] != 0x25) {
            return address;
        }
        int32_t operand;
        std::memcpy(&operand, code + 2, sizeof operand);
#ifdef _WIN64
        // RIP-relative: the slot lies `operand` bytes past the end of the 6-byte instruction.
        const auto* slot = reinterpret_cast<const void* const*>(code + 6 + operand);
#else
        const auto* slot = reinterpret_cast<const void* const*>(static_cast<uintptr_t>(operand));
#endif
        address = *slot;
    }
    return address;
}

const Import kImports[] = {
    {"ImpAbrirImpresora", reinterpret_cast<const void*>(&ImpAbrirImpresora)},
    {"ImpCerrarImpresora", reinterpret_cast<const void*>(&ImpCerrarImpresora)},
    {"ImpConfigurarPagina", reinterpret_cast<const void*>(&ImpConfigurarPagina)},
    {"ImpImprimirLinea", reinterpret_cast<const void*>(&ImpImprimirLinea)},
    {"ImpMostrarDialogoImprimir", reinterpret_cast<const void*>(&ImpMostrarDialogoImprimir)},
    {"ImpObtenerNumeroImp", reinterpret_cast<const void*>(&ImpObtenerNumeroImp)},
    {"ImpObtenerTamPapel", reinterpret_cast<const void*>(&ImpObtenerTamPapel)},
    {"ImpSeleccionarImpresora", reinterpret_cast<const void*>(&ImpSeleccionarImpresora)},
    {"ImpSetPrintingArea", reinterpret_cast<const void*>(&ImpSetPrintingArea)},
    {"ImpObtenerResumen", reinterpret_cast<const void*>(&ImpObtenerResumen)},
    {"ImpImprimirPrueba", reinterpret_cast<const void*>(&ImpImprimirPrueba)},
};

TEST(ImportLibrary, EveryCallReachesTheExportOfItsName) {
    HMODULE dll = GetModuleHandleW(L"Dotpress.dll");
    ASSERT_NE(dll, nullptr) << "the program did not load Dotpress.dll through its imports";
    for (const Import& import : kImports) {
        const void* exported = reinterpret_cast<const void*>(GetProcAddress(dll, import.name));
        ASSERT_NE(exported, nullptr) << import.name;
        // A wrong ordinal in an import by ordinal binds the name to another export: caught here.
        EXPECT_EQ(callTarget(import.called), exported) << import.name;
    }
}

// The program's own import table, as the loader filled it.
TEST(ImportLibrary, EverySlotForTheDllHoldsTheExportItsImportNames) {
    HMODULE dll = GetModuleHandleW(L"Dotpress.dll");
    ASSERT_NE(dll, nullptr);
    const auto* base = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);

    std::set<std::string> names;
    int descriptors = 0;
    for (const auto* d =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "Dotpress.dll") != 0) {
            continue;
        }
        ++descriptors;
        ASSERT_NE(d->OriginalFirstThunk, 0u) << "no lookup table beside the import slots";
        const auto* lookup =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        const auto* slot = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slot) {
            std::string name;
            FARPROC expected;
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) {
                const WORD ordinal = static_cast<WORD>(IMAGE_ORDINAL(lookup->u1.Ordinal));
                name = "#" + std::to_string(ordinal);
                expected = GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
            } else {
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
                name = reinterpret_cast<const char*>(byName->Name);
                expected = GetProcAddress(dll, name.c_str());
            }
            EXPECT_NE(expected, nullptr) << name;
            EXPECT_EQ(reinterpret_cast<FARPROC>(slot->u1.Function), expected) << name;
            names.insert(name);
        }
    }
    EXPECT_EQ(descriptors, 1);
    // Imported by the plain names the DLL exports; every one of them is called above.
    std::set<std::string> expected;
    for (const Import& import : kImports) {
        expected.insert(import.name);
    }
    EXPECT_EQ(names, expected);
}

} // namespace
