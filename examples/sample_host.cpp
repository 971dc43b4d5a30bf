#include "examples/sample_host.h"

namespace sample {

Document sampleDocument() {
    // Lines are laid out for 30 cells; accented letters are single Windows-1252 bytes.
    return {
        {
            "CAP\xCdTULO PRIMERO",
            "",
            "En la biblioteca del barrio",
            "hay una sala peque\xf1"
            "a donde",
            "los lectores ciegos eligen",
            "libros en braille.",
            "Mar\xed"
            "a los lleva a casa",
            "cada s\xe1"
            "bado por la ma\xf1"
            "ana.",
        },
        {
            "El bibliotecario le pregunta",
            "qu\xe9 desea leer esta semana.",
            "Ella responde: poes\xed"
            "a, y",
            "tambi\xe9n una novela corta.",
            "\xbfQui\xe9n escribi\xf3 esta?",
            "pregunta luego con inter\xe9s.",
        },
        {
            "CAP\xcdTULO SEGUNDO",
            "",
            "El cami\xf3n de reparto llega",
            "los lunes con cajas nuevas.",
            "\xa1Qu\xe9 alegr\xed"
            "a! exclama Mar\xed"
            "a",
            "al ver su nombre en la lista.",
        },
    };
}

int32_t askForJob(void* owner, const Document& document, Layout& layout, uint32_t currentPage,
                  PrintOptions* options) {
    ImpSetPrintingArea(&layout.lines, &layout.columns);
    const int32_t status =
        ImpMostrarDialogoImprimir(owner, options, static_cast<int32_t>(document.size()));
    if (status == 0 && options->rangeKind == RANGE_CURRENT_PAGE) {
        options->ranges[0] = {currentPage, currentPage};
        options->totalPages = options->copies;
    }
    return status;
}

namespace {

void sendPage(const Document& document, uint32_t page, uint16_t lines,
              const std::function<void()>& betweenLines) {
    const auto& text = document.at(page - 1);
    // Every page is sent whole, short pages padded with empty lines, so that the library's
    // page count follows the document.
    for (uint16_t i = 0; i < lines; ++i) {
        ImpImprimirLinea(i < text.size() ? text[i].c_str() : "");
        betweenLines();
    }
}

} // namespace

int32_t emboss(void* owner, const char* name, const Document& document, Layout& layout,
               const PrintOptions& options, const std::function<void()>& betweenLines) {
    const int32_t status = ImpAbrirImpresora(owner, name, options);
    if (status != 0) {
        return status;
    }
    if (options.collate == 0) {
        for (uint32_t copy = 0; copy < options.copies; ++copy) {
            for (int32_t r = 0; r < options.rangeCount; ++r) {
                for (uint32_t p = options.ranges[r].firstPage; p <= options.ranges[r].lastPage;
                     ++p) {
                    sendPage(document, p, layout.lines, betweenLines);
                }
            }
        }
    } else {
        for (int32_t r = 0; r < options.rangeCount; ++r) {
            for (uint32_t p = options.ranges[r].firstPage; p <= options.ranges[r].lastPage; ++p) {
                for (uint32_t copy = 0; copy < options.copies; ++copy) {
                    sendPage(document, p, layout.lines, betweenLines);
                }
            }
        }
    }
    ImpCerrarImpresora();
    return 0;
}

} // namespace sample
