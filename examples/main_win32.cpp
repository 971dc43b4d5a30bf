// The sample host on Windows: embosses the sample text on the selected printer, dispatching the
// window messages between lines as a host's message loop would.
#include "examples/sample_host.h"

#include <windows.h>

#include <cstdio>

int main() {
    const sample::Document document = sample::sampleDocument();
    sample::Layout layout;
    const PrintOptions options = sample::sampleOptions(document);
    std::printf("Impresoras: %d\n", ImpObtenerNumeroImp());
    const int32_t status =
        sample::emboss(nullptr, "Biblioteca del barrio", document, layout, options, [] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        });
    std::printf("ImpAbrirImpresora: %d\n", status);
    return status == 0 ? 0 : 1;
}
