// A host linked against the import library, as a C or C++ host application is built: every
// import binds to the export of the same name in the Dotpress.dll it loads with.
#include "dotpress.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(ImportLibrary, EveryImportBindsToTheExportOfItsName) {
    HMODULE dll = GetModuleHandleW(L"Dotpress.dll");
    ASSERT_NE(dll, nullptr) << "the program did not load Dotpress.dll through its imports";
    // Taking the address of an imported function reads it from the import table, which the
    // loader filled from the DLL's export table by name.
    const struct {
        const char* name;
        void* imported;
    } kImports[] = {
        {"ImpAbrirImpresora", reinterpret_cast<void*>(&ImpAbrirImpresora)},
        {"ImpCerrarImpresora", reinterpret_cast<void*>(&ImpCerrarImpresora)},
        {"ImpConfigurarPagina", reinterpret_cast<void*>(&ImpConfigurarPagina)},
        {"ImpImprimirLinea", reinterpret_cast<void*>(&ImpImprimirLinea)},
        {"ImpMostrarDialogoImprimir", reinterpret_cast<void*>(&ImpMostrarDialogoImprimir)},
        {"ImpObtenerNumeroImp", reinterpret_cast<void*>(&ImpObtenerNumeroImp)},
        {"ImpObtenerTamPapel", reinterpret_cast<void*>(&ImpObtenerTamPapel)},
        {"ImpSeleccionarImpresora", reinterpret_cast<void*>(&ImpSeleccionarImpresora)},
        {"ImpSetPrintingArea", reinterpret_cast<void*>(&ImpSetPrintingArea)},
    };
    for (const auto& import : kImports) {
        EXPECT_EQ(import.imported, reinterpret_cast<void*>(GetProcAddress(dll, import.name)))
            << import.name;
    }
}

} // namespace
