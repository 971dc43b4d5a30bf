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

// "una página", "3 páginas": a speech synthesiser reads "1 página" as "uno página".
std::string count(uint32_t n, const char* one, const char* many) {
    if (n == 1) {
        return one;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%u %s", n, many);
    return text;
}

// What was sent to the printer's queue: the embosser gets it from there.
std::string sentFigures(const JobSummary& s) {
    std::string text =
        "  Enviadas a la cola de impresión: " + count(s.linesPrinted, "una línea", "líneas") +
        " en " + count(s.pagesPrinted, "una página", "páginas");
    if (s.blankPages > 0) {
        text += " y " + count(s.blankPages, "una página vacía", "páginas vacías");
    }
    return text + "; " + count(s.sheets, "una hoja", "hojas") + " de papel; " +
           count(s.copiesFinished, "una copia completa", "copias completas") + ".\n";
}

// After a cancel: the queue dropped what it held, so the paper tells where embossing stopped,
// and what remains depends on the order the copies went out in.
std::string afterCancel(const JobSummary& s, const PrintOptions& job) {
    std::string text = "  El envío se detuvo en la página " + std::to_string(s.lastPage) +
                       " de la copia " + std::to_string(s.lastCopy) +
                       ". Al cancelar, la cola de impresión descartó lo que aún no había "
                       "pasado a la impresora: el papel puede acabar antes.\n"
                       "  Busque al tacto la última página completa en el papel. Para terminar, ";
    if (job.copies > 1 && job.collate != 0) {
        // Each page went out once per copy before the next page.
        return text +
               "imprima esa página en las copias que le falten y después, desde la "
               "página siguiente hasta la última elegida, " +
               count(job.copies, "una copia", "copias") + " con «Intercalar» marcado.\n";
    }
    text += "imprima, en una copia, desde la página siguiente hasta la última elegida";
    if (job.copies > 1) {
        // The paper, not the queue, tells how many copies are whole.
        text +=
            ", y después las copias completas que falten hasta tener " + std::to_string(job.copies);
    }
    return text + ".\n";
}

} // namespace

std::string describeSummary(const JobSummary& s, const PrintOptions& job) {
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
    case JOB_STATE_INCOMPLETE:
        text = "Resumen: el trabajo se cerró antes de su última página.\n";
        break;
    default:
        text = "Resumen: trabajo cancelado.\n";
        break;
    }
    text += sentFigures(s);
    if (s.state == JOB_STATE_CANCELLED) {
        text += afterCancel(s, job);
    }
    if (s.linesCut > 0) {
        text += "  Atención: " +
                count(s.linesCut, "una línea más larga que el área de impresión perdió ",
                      "líneas más largas que el área de impresión perdieron ") +
                count(s.charactersCut, "un carácter.", "caracteres.") + "\n";
    }
    if (s.bytesDropped > 0) {
        text += "  Atención: la tabla ASCII descartó " +
                count(s.bytesDropped, "un carácter de control.", "caracteres de control.") + "\n";
    }
    if (s.linesIgnored > 0) {
        text += "  " +
                count(s.linesIgnored, "Una línea llegó después de cancelar y no se envió.",
                      "líneas llegaron después de cancelar y no se enviaron.") +
                "\n";
    }
    return text;
}

std::string describeTestSheet(const JobSummary& s) {
    switch (s.state) {
    case JOB_STATE_CANCELLED:
        return "Hoja de prueba cancelada.\n";
    case JOB_STATE_FINISHED:
        return "Hoja de prueba terminada. Enviadas a la cola de impresión: " +
               count(s.pagesPrinted, "una página", "páginas") + " en " +
               count(s.sheets, "una hoja", "hojas") + " de papel.\n";
    default:
        return "No se imprimió la hoja de prueba.\n";
    }
}

} // namespace sample
