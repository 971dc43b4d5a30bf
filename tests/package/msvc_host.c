/* A host built as Visual Studio builds one: C compiled for the MSVC ABI (clang for
 * i686-pc-windows-msvc or x86_64-pc-windows-msvc), nothing of the library but dotpress.h, linked
 * with lld-link against the package's Dotpress.lib. It has no C runtime: its entry point is
 * hostMain and it declares the few system functions it calls itself, as the SDK declares them.
 *
 * It calls every export in the documented order and checks what each returns. The person at the
 * keyboard is package_harness.exe, which started this program: Enter in "Seleccionar impresora",
 * Esc in "Configurar página", and in "Imprimir" "Página actual" with 3 copies. Before the job it
 * embosses the printer's test sheet. As the header asks of a host, it then puts its current page
 * (2) into the block, sends that page once per copy, closes the job and reads its summary; the
 * harness reads the job back from the printer's file.
 *
 * Prints one line per check; the exit code is the number of failed checks. */
#include "dotpress.h"

#define WINAPI __stdcall
#define SYSTEM_API __declspec(dllimport)

typedef void* HANDLE;
typedef void* HWND;
typedef unsigned long DWORD;
typedef int BOOL;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef struct {
    HWND hwnd;
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    long x, y;
    DWORD lPrivate;
} MSG;

#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define PM_REMOVE 1u
#define PBM_GETRANGE 0x407u

SYSTEM_API HANDLE WINAPI GetStdHandle(DWORD which);
SYSTEM_API BOOL WINAPI WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written,
                                 void* overlapped);
SYSTEM_API void WINAPI ExitProcess(unsigned code);
SYSTEM_API HWND WINAPI FindWindowW(const wchar_t* windowClass, const wchar_t* title);
SYSTEM_API HWND WINAPI GetDlgItem(HWND dialog, int id);
SYSTEM_API unsigned WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
SYSTEM_API int WINAPI GetDlgItemTextW(HWND dialog, int id, wchar_t* text, int size);
SYSTEM_API LRESULT WINAPI SendMessageW(HWND window, unsigned message, WPARAM w, LPARAM l);
SYSTEM_API BOOL WINAPI PeekMessageW(MSG* message, HWND window, unsigned first, unsigned last,
                                    unsigned remove);
SYSTEM_API BOOL WINAPI TranslateMessage(const MSG* message);
SYSTEM_API LRESULT WINAPI DispatchMessageW(const MSG* message);
SYSTEM_API BOOL WINAPI IsWindow(HWND window);
SYSTEM_API void WINAPI Sleep(DWORD milliseconds);

/* The compiler may copy or clear the 228-byte block through these. */
void* memcpy(void* to, const void* from, size_t size) {
    unsigned char* t = (unsigned char*)to;
    const unsigned char* f = (const unsigned char*)from;
    while (size--) {
        *t++ = *f++;
    }
    return to;
}

void* memset(void* to, int value, size_t size) {
    unsigned char* t = (unsigned char*)to;
    while (size--) {
        *t++ = (unsigned char)value;
    }
    return to;
}

static unsigned checks, failures;

static void put(const char* text) {
    DWORD size = 0, written;
    while (text[size]) {
        ++size;
    }
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, size, &written, NULL);
}

static void putNumber(long value) {
    char digits[16];
    int at = (int)sizeof digits - 1;
    unsigned long magnitude = value < 0 ? 0ul - (unsigned long)value : (unsigned long)value;
    digits[at] = '\0';
    do {
        digits[--at] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude && at > 1);
    if (value < 0) {
        digits[--at] = '-';
    }
    put(digits + at);
}

/* One check: what was asked, what came back, what was expected. */
static void expect(const char* what, long got, long wanted) {
    ++checks;
    if (got == wanted) {
        put("ok   ");
    } else {
        ++failures;
        put("FAIL ");
    }
    put(what);
    put(": ");
    putNumber(got);
    if (got != wanted) {
        put(", expected ");
        putNumber(wanted);
    }
    put("\n");
}

static int sameText(const wchar_t* a, const wchar_t* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

static void dispatchMessages(void) {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

/* Page 2 of the document: three lines with text (the second one longer than the printing area
 * is wide), the rest of the page empty. */
static const char* const pageTwo[] = {"p\xe1gina", "abcdefghijklmnop", "x"};
enum { kCurrentPage = 2, kDocumentPages = 3, kAreaColumns = 12 };

static void run(void) {
    int32_t lines = 0, columns = 0, pageLines = 0, pageColumns = 0;
    uint16_t areaLines, areaColumns;
    PrintOptions options;
    JobSummary summary;
    HWND progress;
    wchar_t text[64];
    uint32_t copy;
    int line;
    long sent = 0;

    /* 1. What there is to print on and how its page is set up. */
    expect("ImpObtenerNumeroImp() >= 1", ImpObtenerNumeroImp() >= 1, 1);
    expect("ImpSeleccionarImpresora", ImpSeleccionarImpresora(NULL), DOTPRESS_OK);
    expect("ImpConfigurarPagina", ImpConfigurarPagina(NULL, &lines, &columns), DOTPRESS_OK);
    expect("ImpObtenerTamPapel", ImpObtenerTamPapel(&pageLines, &pageColumns), DOTPRESS_OK);
    expect("page lines, from both", pageLines, lines);
    expect("page columns, from both", pageColumns, columns);
    expect("a page has lines and columns", pageLines > 0 && pageColumns > 0, 1);

    /* The embosser checked: its test sheet, one blocking call. */
    summary.size = sizeof summary;
    expect("ImpObtenerResumen before any job", ImpObtenerResumen(&summary), DOTPRESS_OK);
    expect("no job yet", summary.state, JOB_STATE_NONE);
    expect("ImpImprimirPrueba", ImpImprimirPrueba(NULL), DOTPRESS_OK);
    expect("ImpObtenerResumen after the sheet", ImpObtenerResumen(&summary), DOTPRESS_OK);
    expect("the sheet finished", summary.state, JOB_STATE_FINISHED);
    expect("the sheet's format page and table", summary.pagesPrinted >= 2, 1);
    expect("a full first page", summary.linesPrinted > (uint32_t)pageLines, 1);
    expect("nothing of the sheet cut", (long)summary.linesCut, 0);

    /* 2. The printing area, raised to the minimums, then clamped to the page: the host lays
     * its document out in pages as long as the printer's, which the progress window counts. */
    areaLines = 5;
    areaColumns = 5;
    expect("ImpSetPrintingArea(5, 5)", ImpSetPrintingArea(&areaLines, &areaColumns), 1);
    expect("lines raised to the minimum", areaLines, 10);
    expect("columns raised to the minimum", areaColumns, 12);
    areaLines = 1000;
    areaColumns = kAreaColumns;
    expect("ImpSetPrintingArea(1000, 12)", ImpSetPrintingArea(&areaLines, &areaColumns), 1);
    expect("lines clamped to the page", areaLines, pageLines);
    expect("columns kept", areaColumns, kAreaColumns);

    /* 3. The print dialog: "Página actual", 3 copies. */
    expect("ImpMostrarDialogoImprimir without a block",
           ImpMostrarDialogoImprimir(NULL, NULL, kDocumentPages), DOTPRESS_NULL_OPTIONS);
    expect("ImpMostrarDialogoImprimir", ImpMostrarDialogoImprimir(NULL, &options, kDocumentPages),
           DOTPRESS_OK);
    expect("rangeKind", options.rangeKind, RANGE_CURRENT_PAGE);
    expect("copies", (long)options.copies, 3);
    expect("rangeCount", options.rangeCount, 1);
    expect("printToFile", options.printToFile, 0);
    /* The two things the library leaves to the host for "Página actual". */
    options.ranges[0].firstPage = options.ranges[0].lastPage = kCurrentPage;
    options.totalPages = options.copies;

    /* 4. The job, with the block passed by value. */
    expect("ImpAbrirImpresora", ImpAbrirImpresora(NULL, "Paquete MSVC", options), DOTPRESS_OK);
    expect("ImpAbrirImpresora again", ImpAbrirImpresora(NULL, "Otra", options), DOTPRESS_JOB_OPEN);
    progress = FindWindowW(L"#32770", L"Imprimiendo");
    expect("the progress window is open", progress != NULL, 1);
    GetDlgItemTextW(progress, 1019, text, (int)(sizeof text / sizeof text[0]));
    expect("it shows the document's name", sameText(text, L"Paquete MSVC"), 1);
    expect("its bar runs to the job's pages",
           (long)SendMessageW(GetDlgItem(progress, 1025), PBM_GETRANGE, 0, 0), 3);

    /* 5. The current page once per copy, messages dispatched between lines. */
    for (copy = 0; copy < options.copies; ++copy) {
        for (line = 0; line < areaLines; ++line) {
            const char* lineText = line < 3 ? pageTwo[line] : "";
            sent += ImpImprimirLinea(lineText) == DOTPRESS_OK;
            dispatchMessages();
        }
    }
    expect("ImpImprimirLinea returned 0, times", sent, 3L * areaLines);
    /* The window shows the last line's state when the host's loop next lets it: a host that
     * keeps dispatching sees it within a fraction of a second. */
    for (line = 0; line < 100 && GetDlgItemInt(progress, 1020, NULL, 0) != 3; ++line) {
        Sleep(10);
        dispatchMessages();
    }
    expect("the window's page is the current page", (long)GetDlgItemInt(progress, 1017, NULL, 0),
           kCurrentPage);
    expect("the window's copy is the last copy", (long)GetDlgItemInt(progress, 1020, NULL, 0), 3);

    /* 6. The end of the job, and what it did: the 16-letter line lost 4 characters a copy. */
    expect("ImpCerrarImpresora", ImpCerrarImpresora(), DOTPRESS_OK);
    expect("the progress window is closed", IsWindow(progress), 0);
    expect("ImpCerrarImpresora with no job", ImpCerrarImpresora(), DOTPRESS_OK);
    summary.size = JOB_SUMMARY_MIN_SIZE - 4;
    expect("ImpObtenerResumen with a short block", ImpObtenerResumen(&summary),
           DOTPRESS_BAD_SUMMARY);
    summary.size = sizeof summary;
    expect("ImpObtenerResumen", ImpObtenerResumen(&summary), DOTPRESS_OK);
    expect("size, filled", (long)summary.size, (long)sizeof summary);
    expect("jobNumber, after the sheet's", (long)summary.jobNumber, 2);
    expect("state", summary.state, JOB_STATE_FINISHED);
    expect("pagesPrinted", (long)summary.pagesPrinted, 3);
    expect("blankPages", (long)summary.blankPages, 0);
    expect("sheets", (long)summary.sheets, 3);
    expect("copiesFinished", (long)summary.copiesFinished, 3);
    expect("lastPage", (long)summary.lastPage, kCurrentPage);
    expect("lastCopy", (long)summary.lastCopy, 3);
    expect("linesPrinted", (long)summary.linesPrinted, 3L * areaLines);
    expect("linesCut", (long)summary.linesCut, 3);
    expect("charactersCut", (long)summary.charactersCut, 3 * 4);
    expect("bytesDropped", (long)summary.bytesDropped, 0);
    expect("linesIgnored", (long)summary.linesIgnored, 0);
}

void hostMain(void) {
    run();
    put("msvc_host: ");
    putNumber((long)checks);
    put(" checks, ");
    putNumber((long)failures);
    put(" failed\n");
    ExitProcess(failures);
}
