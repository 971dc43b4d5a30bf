/* Dotpress: embossing on Braille printers installed as Windows printers.
 *
 * A host lays its document out in lines and pages of Braille cells and then:
 *   1. optionally ImpObtenerNumeroImp, ImpSeleccionarImpresora, ImpConfigurarPagina,
 *      ImpObtenerTamPapel;
 *   2. ImpSetPrintingArea with the lines and columns its document is laid out for;
 *   3. ImpMostrarDialogoImprimir to obtain the job's PrintOptions;
 *   4. ImpAbrirImpresora with that block (stop unless it returns 0);
 *   5. ImpImprimirLinea once per line, in page order, for every copy;
 *   6. ImpCerrarImpresora.
 * After a job (or while it runs) ImpObtenerResumen tells what it sent to the printer's queue:
 * pages, sheets, copies, the lines cut and the bytes dropped, and where a cancelled job stopped.
 * ImpImprimirPrueba embosses a test sheet of the selected printer, so that the user can check by
 * touch the embosser's page and character table. Every export must be called from the thread that
 * runs the host's message loop.
 */
#ifndef DOTPRESS_H
#define DOTPRESS_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define DOTPRESS_CALL __stdcall
#else
#define DOTPRESS_CALL
#endif

#if defined(_WIN32) && defined(DOTPRESS_BUILDING)
#define DOTPRESS_API __declspec(dllexport)
#elif defined(_WIN32)
#define DOTPRESS_API __declspec(dllimport)
#else
#define DOTPRESS_API
#endif

#ifdef __cplusplus
#define DOTPRESS_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
extern "C" {
#else
#define DOTPRESS_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* Results of the exports. */
#define DOTPRESS_OK 0
#define DOTPRESS_NOT_CONFIRMED 1     /* print dialog cancelled; StartDocW general error */
#define DOTPRESS_NO_DC 6             /* no device context for the selected printer */
#define DOTPRESS_NULL_OPTIONS 7      /* ImpMostrarDialogoImprimir without a block */
#define DOTPRESS_BAD_SUMMARY 7       /* ImpObtenerResumen without a block or with size < 52 */
#define DOTPRESS_JOB_OPEN 8          /* a job is already open */
#define DOTPRESS_NO_PRINTER 13       /* no printer is selected (the user has been told) */
#define DOTPRESS_START_DOC_FAILED 16 /* StartDocW refused with another negative result */
/* Called while the library is still reading the installed printers: from the window procedures
 * that run inside the message box it shows then ("ERROR: CreateDC"). Nothing was done; call
 * again once the call that started the reading has returned. ImpObtenerNumeroImp answers 0 then,
 * and ImpObtenerResumen answers as always. */
#define DOTPRESS_BUSY 17

/* rangeKind */
#define RANGE_ALL 0
#define RANGE_CURRENT_PAGE 1
#define RANGE_PAGES 2

#define MAX_PAGE_RANGES 25

typedef struct PageRange {
    uint32_t firstPage; /* 1-based */
    uint32_t lastPage;  /* inclusive */
} PageRange;

/* The job block: 228 bytes, 57 little-endian four-byte fields, no padding. */
typedef struct PrintOptions {
    int32_t rangeKind;
    int32_t printToFile;
    uint32_t copies;
    int32_t collate;
    int32_t adjustBothSides;
    uint32_t totalPages; /* copies x the pages of the used ranges */
    int32_t rangeCount;  /* 1 to 25 */
    PageRange ranges[MAX_PAGE_RANGES];
} PrintOptions;

DOTPRESS_STATIC_ASSERT(sizeof(PageRange) == 8, "PageRange is 8 bytes");
DOTPRESS_STATIC_ASSERT(offsetof(PageRange, lastPage) == 4, "PageRange.lastPage");
DOTPRESS_STATIC_ASSERT(sizeof(PrintOptions) == 228, "PrintOptions is 228 bytes");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, rangeKind) == 0, "PrintOptions.rangeKind");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, printToFile) == 4, "PrintOptions.printToFile");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, copies) == 8, "PrintOptions.copies");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, collate) == 12, "PrintOptions.collate");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, adjustBothSides) == 16,
                       "PrintOptions.adjustBothSides");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, totalPages) == 20, "PrintOptions.totalPages");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, rangeCount) == 24, "PrintOptions.rangeCount");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, ranges) == 28, "PrintOptions.ranges");
DOTPRESS_STATIC_ASSERT(offsetof(PrintOptions, ranges) + 24 * sizeof(PageRange) + 4 == 224,
                       "PrintOptions.ranges[24].lastPage");

/* JobSummary.state */
#define JOB_STATE_NONE 0      /* no job since the library was loaded */
#define JOB_STATE_OPEN 1      /* the job is still open */
#define JOB_STATE_FINISHED 2  /* closed after its last page */
#define JOB_STATE_CANCELLED 3 /* "Cancelar" was pressed; from then on, closed or not */
/* Closed before its last page. Given only to a block of 64 bytes or more: a shorter block comes
 * from a host built before this state existed, and gets JOB_STATE_FINISHED. */
#define JOB_STATE_INCOMPLETE 4

/* The smallest block ImpObtenerResumen takes: the 13 fields of its first layout. */
#define JOB_SUMMARY_MIN_SIZE 52

/* What the last job sent to the printer's queue: 64 bytes, 16 four-byte fields. The host sets
 * size to sizeof(JobSummary) before the call; the library fills as many whole fields as both
 * its layout and the host's block hold, never more than size bytes, and writes the number of
 * bytes it filled back into size (52 for a host built against the first, 52-byte layout; 64
 * here). Counts are of the last job opened since the library was loaded, or of the job still
 * open; a job that failed to open leaves the previous one's, and jobNumber tells them apart.
 * The figures are what was sent: a cancelled job is dropped by the queue, which throws away
 * what it had not yet passed on, so the paper may end before them. */
typedef struct JobSummary {
    uint32_t size;           /* in: sizeof(JobSummary); out: the bytes filled */
    int32_t state;           /* JOB_STATE_NONE, _OPEN, _FINISHED, _CANCELLED or _INCOMPLETE */
    uint32_t pagesPrinted;   /* pages sent that carry the host's lines */
    uint32_t blankPages;     /* empty backs the library inserted (double-sided, several copies) */
    uint32_t sheets;         /* sheets of paper: faces, two to a sheet on a double-sided embosser */
    uint32_t copiesFinished; /* copies whose last page was sent */
    uint32_t lastPage;       /* page and copy of the last line sent: where a cancelled job */
    uint32_t lastCopy;       /* stopped sending */
    uint32_t linesPrinted;   /* lines sent */
    uint32_t linesCut;       /* lines longer than the printing area's columns */
    uint32_t charactersCut;  /* characters lost to those cuts */
    uint32_t bytesDropped;   /* control bytes the "ASCII" table dropped */
    uint32_t linesIgnored;   /* lines sent after the user cancelled */
    /* Filled for a block of 64 bytes or more. */
    uint32_t jobNumber;     /* the job's number since the library was loaded: 1, 2, ...; 0 none */
    uint32_t pagesPlanned;  /* the pages the job's block asked for, copies included */
    uint32_t copiesPlanned; /* the copies it asked for */
} JobSummary;

DOTPRESS_STATIC_ASSERT(sizeof(JobSummary) == 64, "JobSummary is 64 bytes");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, size) == 0, "JobSummary.size");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, state) == 4, "JobSummary.state");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, pagesPrinted) == 8, "JobSummary.pagesPrinted");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, blankPages) == 12, "JobSummary.blankPages");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, sheets) == 16, "JobSummary.sheets");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, copiesFinished) == 20, "JobSummary.copiesFinished");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, lastPage) == 24, "JobSummary.lastPage");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, lastCopy) == 28, "JobSummary.lastCopy");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, linesPrinted) == 32, "JobSummary.linesPrinted");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, linesCut) == 36, "JobSummary.linesCut");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, charactersCut) == 40, "JobSummary.charactersCut");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, bytesDropped) == 44, "JobSummary.bytesDropped");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, linesIgnored) == 48, "JobSummary.linesIgnored");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, jobNumber) == JOB_SUMMARY_MIN_SIZE,
                       "JobSummary.jobNumber");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, pagesPlanned) == 56, "JobSummary.pagesPlanned");
DOTPRESS_STATIC_ASSERT(offsetof(JobSummary, copiesPlanned) == 60, "JobSummary.copiesPlanned");

/* Window handles are HWND on Windows. */
DOTPRESS_API int32_t DOTPRESS_CALL ImpSeleccionarImpresora(void* owner);
DOTPRESS_API int32_t DOTPRESS_CALL ImpMostrarDialogoImprimir(void* owner, PrintOptions* options,
                                                             int32_t documentPages);
DOTPRESS_API int32_t DOTPRESS_CALL ImpSetPrintingArea(uint16_t* lines, uint16_t* columns);
DOTPRESS_API int32_t DOTPRESS_CALL ImpConfigurarPagina(void* owner, int32_t* lines,
                                                       int32_t* columns);
DOTPRESS_API int32_t DOTPRESS_CALL ImpAbrirImpresora(void* owner, const char* documentName,
                                                     PrintOptions options);
DOTPRESS_API int32_t DOTPRESS_CALL ImpImprimirLinea(const char* line);
DOTPRESS_API int32_t DOTPRESS_CALL ImpCerrarImpresora(void);
DOTPRESS_API int32_t DOTPRESS_CALL ImpObtenerTamPapel(int32_t* lines, int32_t* columns);
DOTPRESS_API int32_t DOTPRESS_CALL ImpObtenerNumeroImp(void);
/* 0, or DOTPRESS_BAD_SUMMARY (nothing written). Reads only: the job is not touched. size comes
 * back as the bytes filled. */
DOTPRESS_API int32_t DOTPRESS_CALL ImpObtenerResumen(JobSummary* summary);
/* Embosses a test sheet on the selected printer and returns when it is done or cancelled: a page
 * of the printer's own lines and columns (the binding margin left out), which states its format,
 * marks every tenth column and numbers its lines, each ending with a full cell in the last
 * column (framed front and back on a double-sided printer), then the character table. It runs as
 * any job, with the progress window; while it runs the owner window is disabled and the library
 * dispatches the thread's messages between lines. Returns 13 without a selected printer (the user
 * has been told), 8 while a job is open, else what ImpAbrirImpresora returns for it;
 * ImpObtenerResumen then tells what it did. */
DOTPRESS_API int32_t DOTPRESS_CALL ImpImprimirPrueba(void* owner);

#ifdef __cplusplus
}
#endif

#endif /* DOTPRESS_H */
