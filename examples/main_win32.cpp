// The sample host on Windows: shows the library's print dialog for the sample text, then embosses
// what the user chose, dispatching the window messages between lines as a host's message loop
// would, and tells what the job did. With the argument "prueba" it embosses the selected
// printer's test sheet instead.
#include "examples/sample_host.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void dispatchMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Keys for the progress window go through its dialog manager, so that Enter and Esc
        // press "Cancelar" as Space does.
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (root && IsDialogMessageW(root, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int main(int argc, char** argv) {
    // The summary is Spanish text in UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    std::printf("Impresoras: %d\n", ImpObtenerNumeroImp());
    if (argc > 1 && std::strcmp(argv[1], "prueba") == 0) {
        // A blocking call: the library runs the messages itself while the sheet is embossed.
        const int32_t status = ImpImprimirPrueba(nullptr);
        std::printf("ImpImprimirPrueba: %d\n", status);
        std::printf("%s", sample::describeTestSheet(sample::lastJobSummary()).c_str());
        return status == 0 ? 0 : 1;
    }
    const sample::Document document = sample::sampleDocument();
    sample::Layout layout;
    PrintOptions options;
    const int32_t chosen = sample::askForJob(nullptr, document, layout, 1, &options);
    if (chosen != 0) {
        std::printf("ImpMostrarDialogoImprimir: %d\n", chosen);
        return chosen == 1 ? 0 : 1; // a cancelled dialog is the user's choice
    }
    const int32_t status = sample::emboss(nullptr, "Biblioteca del barrio", document, layout,
                                          options, dispatchMessages);
    std::printf("ImpAbrirImpresora: %d\n", status);
    if (status == 0) {
        std::printf("%s", sample::describeSummary(sample::lastJobSummary(), options).c_str());
    }
    return status == 0 ? 0 : 1;
}
