// The exports. Each forwards to one component of the library object; none lets anything escape
// to the host but its status.
#include "dotpress.h"

#include "dotpress/core/library_instance.h"
#include "dotpress/core/library_object.h"
#include "dotpress/core/test_print.h"

#include <cstring>

using dotpress::library;
using dotpress::LibraryObject;
using dotpress::readyLibrary;

namespace {

os::HWND window(void* handle) {
    return static_cast<os::HWND>(handle);
}

void writePageSize(LibraryObject& lib, int32_t* lines, int32_t* columns) {
    const dotpress::PrinterParams& params = lib.selectedRecord().params;
    if (lines) {
        *lines = params.lines;
    }
    if (columns) {
        *columns = params.columns;
    }
}

// The block that first had the state of a job closed before its last page: a shorter block
// comes from a host whose header does not know that state.
constexpr uint32_t kIncompleteStateFrom = 64;

// Where the last job stands, for a block of `filled` bytes. A cancelled job is cancelled from the
// press of "Cancelar" on, open or closed; a job that failed to open is no job, and leaves the
// previous one's state.
int32_t jobState(const dotpress::PrintJob& job, uint32_t filled) {
    if (job.counts.jobsOpened == 0) {
        return JOB_STATE_NONE;
    }
    if (job.cancelRequested) {
        return JOB_STATE_CANCELLED;
    }
    if (job.jobOpen()) {
        return JOB_STATE_OPEN;
    }
    return job.counts.closedBeforeLastPage() && filled >= kIncompleteStateFrom
               ? JOB_STATE_INCOMPLETE
               : JOB_STATE_FINISHED;
}

} // namespace

extern "C" {

// While the printer table is being built (a message box it shows lets the host's windows call
// us), every export that needs the table answers DOTPRESS_BUSY and touches nothing.

DOTPRESS_API int32_t DOTPRESS_CALL ImpSeleccionarImpresora(void* owner) {
    LibraryObject* lib = readyLibrary();
    return lib ? lib->selectPrinter(window(owner)) : DOTPRESS_BUSY;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpMostrarDialogoImprimir(void* owner, PrintOptions* options,
                                                             int32_t documentPages) {
    LibraryObject* lib = readyLibrary();
    return lib ? lib->showPrintDialog(window(owner), options, documentPages) : DOTPRESS_BUSY;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpSetPrintingArea(uint16_t* lines, uint16_t* columns) {
    LibraryObject* lib = readyLibrary();
    return lib ? lib->setPrintingArea(lines, columns) : DOTPRESS_BUSY;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpConfigurarPagina(void* owner, int32_t* lines,
                                                       int32_t* columns) {
    LibraryObject* lib = readyLibrary();
    if (!lib) {
        return DOTPRESS_BUSY;
    }
    lib->configurePage(window(owner));
    writePageSize(*lib, lines, columns);
    return 0;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpAbrirImpresora(void* owner, const char* documentName,
                                                     PrintOptions options) {
    LibraryObject* lib = readyLibrary();
    return lib ? lib->openJob(window(owner), documentName, options) : DOTPRESS_BUSY;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpImprimirLinea(const char* line) {
    LibraryObject* lib = readyLibrary();
    return lib ? lib->printJobLine(line) : DOTPRESS_BUSY;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpCerrarImpresora(void) {
    LibraryObject* lib = readyLibrary();
    return lib ? lib->closeJob() : DOTPRESS_BUSY;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpObtenerTamPapel(int32_t* lines, int32_t* columns) {
    LibraryObject* lib = readyLibrary();
    if (!lib) {
        return DOTPRESS_BUSY;
    }
    writePageSize(*lib, lines, columns);
    return 0;
}

// A count: no printers yet while the table is being built.
DOTPRESS_API int32_t DOTPRESS_CALL ImpObtenerNumeroImp(void) {
    LibraryObject* lib = readyLibrary();
    return lib ? static_cast<int32_t>(lib->count) : 0;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpObtenerResumen(JobSummary* summary) {
    if (!summary || summary->size < JOB_SUMMARY_MIN_SIZE) {
        return DOTPRESS_BAD_SUMMARY;
    }
    // Whole fields, as many as both the host's block and ours hold: an older host's block is
    // not overrun, and a later host's learns where ours ends.
    const uint32_t filled =
        summary->size < sizeof(JobSummary) ? summary->size & ~3u : uint32_t{sizeof(JobSummary)};
    const dotpress::PrintJob& job = library();
    JobSummary figures{};
    job.counts.fill(figures, jobState(job, filled));
    figures.size = filled;
    std::memcpy(summary, &figures, filled);
    return 0;
}

DOTPRESS_API int32_t DOTPRESS_CALL ImpImprimirPrueba(void* owner) {
    LibraryObject* lib = readyLibrary();
    return lib ? dotpress::printTestSheet(*lib, window(owner)) : DOTPRESS_BUSY;
}

} // extern "C"
