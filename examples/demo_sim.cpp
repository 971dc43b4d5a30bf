// The demo: a host embosses a short Spanish text on the simulated machine's double-sided Braille
// embosser, then the job is shown as the embosser received it, page by page, with the summary the
// library gives of it. With the argument "prueba" the embosser's test sheet is embossed instead.
#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"
#include "examples/braille_cells.h"
#include "examples/sample_host.h"
#include "platform/sim/world.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// What the progress window showed while the lines of one device page were printed.
struct Shown {
    std::u16string page, copy;
};

// Notes, after a line, what the progress window shows, for the page the line went on.
void noteShown(std::vector<Shown>& shownPerPage) {
    const sim::Document& doc = sim::world().documents.back();
    size_t page = doc.pages.size();
    if (page == 0) {
        return;
    }
    shownPerPage.resize(page);
    for (auto& w : sim::world().windows) {
        if (w.live) {
            Shown shown{sim::paintedText(w.handle, IDC_PROGRESS_PAGE),
                        sim::paintedText(w.handle, IDC_PROGRESS_COPY)};
            // Attribute the numbers to the page the line went on: the last page that holds
            // lines.
            while (page > 0 && doc.pages[page - 1].lines.empty()) {
                --page;
            }
            if (page > 0 && shownPerPage[page - 1].page.empty()) {
                shownPerPage[page - 1] = shown;
            }
        }
    }
}

size_t linesSent(const sim::Document& doc) {
    size_t lines = 0;
    for (const sim::Page& page : doc.pages) {
        lines += page.lines.size();
    }
    return lines;
}

// The document as the embosser received it, face by face.
void showFaces(const sim::Document& doc, const std::vector<Shown>& shownPerPage) {
    // With "ANSI" the embosser gets the host's text as it is and translates it itself: a
    // character shows as its cell where Spanish Braille writes it with one.
    const bool ansi = dotpress::library().ansiTable == 1;
    if (ansi) {
        std::printf("Tabla ANSI: la impresora recibe el texto tal cual y lo traduce ella misma.\n"
                    "Cada línea: número, bytes que recibió la impresora (\\xNN fuera de ASCII) y\n"
                    "celdas del braille español de cada carácter (? donde no cabe en una celda).\n"
                    "\n");
    } else {
        std::printf("Tabla ASCII: la impresora graba cada byte con su propia tabla, la del\n"
                    "braille español. Cada línea: número, bytes que recibió la impresora (\\xNN\n"
                    "fuera de ASCII) y celdas que grabó (? donde su tabla no tiene el carácter).\n"
                    "\n");
    }
    for (size_t i = 0; i < doc.pages.size(); ++i) {
        const sim::Page& page = doc.pages[i];
        std::printf("── Cara %zu (hoja %zu, %s) ", i + 1, i / 2 + 1, i % 2 ? "dorso" : "frente");
        if (page.lines.empty()) {
            std::printf("── página vacía: la copia sigue en una hoja nueva\n\n");
            continue;
        }
        const Shown& shown = i < shownPerPage.size() ? shownPerPage[i] : Shown{};
        std::printf("── la ventana mostró: página %s, copia %s\n", utf8(shown.page).c_str(),
                    utf8(shown.copy).c_str());
        for (size_t l = 0; l < page.lines.size(); ++l) {
            const auto& line = page.lines[l];
            std::printf("%3zu  %-32s  %s\n", l + 1, braille::received(line.bytes).c_str(),
                        braille::cells(line.bytes, ansi).c_str());
        }
        std::printf("\n");
    }
}

// The embosser's test sheet, from the one blocking call a host makes for it. The library runs the
// thread's messages itself; the embosser takes a tenth of a second a line meanwhile.
int embossTestSheet(int formatLines) {
    std::vector<Shown> shownPerPage;
    size_t seen = 0;
    sim::world().userAtKeyboard = [&] {
        if (sim::world().documents.empty()) {
            return;
        }
        const size_t lines = linesSent(sim::world().documents.back());
        if (lines > seen) {
            seen = lines;
            sim::world().tickCount += 100;
            noteShown(shownPerPage);
        }
    };
    const int32_t status = ImpImprimirPrueba(nullptr);
    sim::world().userAtKeyboard = nullptr;
    if (status != 0) {
        std::printf("ImpImprimirPrueba devolvió %d\n", status);
        return 1;
    }
    const sim::Document& doc = sim::world().documents.back();
    std::printf("Hoja de prueba de \"%s\": el formato de la impresora (%d líneas de 32 "
                "caracteres),\ncada línea numerada y con una celda llena en la última columna; "
                "después, la tabla de\ncaracteres ASCII, con el nombre de cada carácter que esa "
                "tabla cambia.\n",
                utf8(doc.printer).c_str(), formatLines);
    std::printf("%zu caras enviadas\n", doc.pages.size());
    showFaces(doc, shownPerPage);
    std::printf("%s", sample::describeSummary(sample::lastJobSummary()).c_str());
    return 0;
}

} // namespace

// dotpress_demo [prueba] [lines of the embosser's format, 10 to 40; 10 when not given]
int main(int argc, char** argv) {
    bool testSheet = false;
    int formatLines = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "prueba") == 0) {
            testSheet = true;
        } else {
            formatLines = std::atoi(argv[i]);
        }
    }
    if (formatLines < 10 || formatLines > 40) {
        std::fprintf(stderr, "uso: dotpress_demo [prueba] [líneas del formato, de 10 a 40]\n");
        return 2;
    }
    sim::reset();
    sim::Params format;
    format.paperFormat = 2;
    format.paperLength = 280;
    format.columns = 32;
    format.lines = static_cast<int16_t>(formatLines);
    format.doubleSided = 1;
    sim::addPrinter(u"Impresora láser", u"LPT1:", u"Laser PCL");
    sim::addBraillePrinter(u"Embosser Braille", u"USB001", format);
    sim::setString(os::HKEY_CURRENT_USER, dotpress::settings::kSettingsKey, u"NombreImp",
                   u"Embosser Braille");
    dotpress::load();

    std::printf("Impresoras: %d\n", ImpObtenerNumeroImp());
    if (testSheet) {
        const int result = embossTestSheet(formatLines);
        dotpress::unload();
        return result;
    }
    const sample::Document document = sample::sampleDocument();
    sample::Layout layout;

    // The user, at the keyboard of the print dialog: Alt+L to the page range, Down twice to
    // "Páginas", Tab into the page list and types it, Alt+C and two copies, Enter.
    using namespace sim::user;
    sim::world().script = {mnemonic(u'L'), arrow(1),       arrow(1),   tab(),
                           keys(u"1-2,3"), mnemonic(u'C'), keys(u"2"), enter()};
    PrintOptions options;
    const int32_t chosen = sample::askForJob(nullptr, document, layout, 1, &options);
    if (chosen != 0) {
        std::printf("ImpMostrarDialogoImprimir devolvió %d\n", chosen);
        return 1;
    }
    std::printf("En el diálogo de impresión el usuario escribió las páginas \"1-2,3\" y 2 copias;\n"
                "el bloque de opciones quedó así:\n");
    std::printf("  intervalo %d (2 = páginas), %u copias, intercalar %d, a fichero %d, "
                "ajustar las dos caras %d, %u páginas en total\n",
                options.rangeKind, options.copies, options.collate, options.printToFile,
                options.adjustBothSides, options.totalPages);
    for (int32_t r = 0; r < options.rangeCount; ++r) {
        std::printf("  intervalo %d: páginas %u a %u\n", r + 1, options.ranges[r].firstPage,
                    options.ranges[r].lastPage);
    }

    // The host's loop runs between lines (a tenth of a second: about what an embosser takes for
    // a line); we note what the window showed when it painted.
    std::vector<Shown> shownPerPage;
    auto betweenLines = [&] {
        sim::advanceTime(100);
        noteShown(shownPerPage);
    };
    const int32_t status =
        sample::emboss(nullptr, "Biblioteca del barrio", document, layout, options, betweenLines);
    if (status != 0) {
        std::printf("ImpAbrirImpresora devolvió %d\n", status);
        return 1;
    }

    const sim::Document& doc = sim::world().documents.back();
    std::printf("Documento \"%s\" en \"%s\" (puerto %s)\n", utf8(doc.name).c_str(),
                utf8(doc.printer).c_str(), utf8(doc.port).c_str());
    std::printf("Formato de la impresora: %d líneas; área de impresión: %u líneas x %u "
                "caracteres;\n%u copias de las páginas",
                formatLines, layout.lines, layout.columns, options.copies);
    for (int32_t r = 0; r < options.rangeCount; ++r) {
        std::printf(" %u-%u", options.ranges[r].firstPage, options.ranges[r].lastPage);
    }
    std::printf("; impresora de doble cara\n");
    std::printf("%zu hojas de papel, %zu caras enviadas\n", (doc.pages.size() + 1) / 2,
                doc.pages.size());
    showFaces(doc, shownPerPage);
    std::printf("%s", sample::describeSummary(sample::lastJobSummary()).c_str());
    dotpress::unload();
    return 0;
}
