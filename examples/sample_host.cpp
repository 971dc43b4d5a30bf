#include "examples/sample_host.h"

#include <cstdio>

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

bool cancelled() {
    return lastJobSummary().state == JOB_STATE_CANCELLED;
}

void sendPage(const Document& document, uint32_t page, uint16_t lines,
              const std::function<void()>& betweenLines) {
    const auto& text = document.at(page - 1);
    // Every page is sent whole, short pages padded with empty lines, so that the library's
    // page count follows the document.
    for (uint16_t i = 0; i < lines && !cancelled(); ++i) {
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

JobSummary lastJobSummary() {
    JobSummary summary{};
    summary.size = sizeof summary;
    ImpObtenerResumen(&summary);
    return summary;
}

namespace {

std::string count(uint32_t n, const char* one, const char* many) {
    char text[64];
    std::snprintf(text, sizeof text, "%u %s", n, n == 1 ? one : many);
    return text;
}

} // namespace

std::string describeSummary(const JobSummary& s) {
    std::string text;
    switch (s.state) {
    case JOB_STATE_NONE:
        return "Resumen: todavía no se ha impreso ningún trabajo.\n";
    case JOB_STATE_OPEN:
        text = "Resumen del trabajo en curso:\n";
        break;
    case JOB_STATE_FINISHED:
        text = "Resumen: trabajo terminado.\n";
        break;
    default:
        text = "Resumen: trabajo cancelado en la página " + std::to_string(s.lastPage) +
               ", copia " + std::to_string(s.lastCopy) +
               ". Para terminarlo, reimprima desde esa página.\n";
        break;
    }
    text += "  " + count(s.linesPrinted, "línea", "líneas") + " en " +
            count(s.pagesPrinted, "página", "páginas") + ", " +
            count(s.blankPages, "página vacía añadida", "páginas vacías añadidas") + "; " +
            count(s.sheets, "hoja", "hojas") + " de papel; " +
            count(s.copiesFinished, "copia completa", "copias completas") + ".\n";
    if (s.linesCut > 0) {
        text += "  Atención: " +
                count(s.linesCut, "línea más larga que el área de impresión perdió ",
                      "líneas más largas que el área de impresión perdieron ") +
                count(s.charactersCut, "carácter.", "caracteres.") + "\n";
    }
    if (s.bytesDropped > 0) {
        text += "  Atención: la tabla ASCII descartó " +
                count(s.bytesDropped, "carácter de control.", "caracteres de control.") + "\n";
    }
    if (s.linesIgnored > 0) {
        text += "  " +
                count(s.linesIgnored, "línea llegó después de cancelar y no se imprimió.",
                      "líneas llegaron después de cancelar y no se imprimieron.") +
                "\n";
    }
    return text;
}

} // namespace sample
