// The sample host on Windows: shows the library's print dialog for the sample text, then embosses
// what the user chose, dispatching the window messages between lines as a host's message loop
// would.
#include "examples/sample_host.h"

#include <windows.h>

#include <cstdio>

int main() {
    const sample::Document document = sample::sampleDocument();
    sample::Layout layout;
    std::printf("Impresoras: %d\n", ImpObtenerNumeroImp());
    PrintOptions options;
    const int32_t chosen = sample::askForJob(nullptr, document, layout, 1, &options);
    if (chosen != 0) {
        std::printf("ImpMostrarDialogoImprimir: %d\n", chosen);
        return chosen == 1 ? 0 : 1; // a cancelled dialog is the user's choice
    }
    const int32_t status =
        sample::emboss(nullptr, "Biblioteca del barrio", document, layout, options, [] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                // Keys for the progress window go through its dialog manager, so that Enter and
                // Esc press "Cancelar" as Space does.
                const HWND root = GetAncestor(message.hwnd, GA_ROOT);
                if (root && IsDialogMessageW(root, &message)) {
                    continue;
                }
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        });
    std::printf("ImpAbrirImpresora: %d\n", status);
    return status == 0 ? 0 : 1;
}
