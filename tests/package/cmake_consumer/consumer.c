/* The CMake consumer's host: it calls, through the imported target, exports that need no user:
 * the printers, the page, and the summary of no job. Prints one line per check; the exit code
 * is the number of failed checks. */
#include "dotpress.h"

#include <stdio.h>
#include <string.h>

static int failures;

static void expect(const char* what, long got, long wanted) {
    printf("%s %s: %ld", got == wanted ? "ok  " : "FAIL", what, got);
    if (got != wanted) {
        printf(", expected %ld", wanted);
        ++failures;
    }
    printf("\n");
}

int main(void) {
    int32_t lines = 0, columns = 0;
    JobSummary summary;

    expect("ImpObtenerNumeroImp() >= 0", ImpObtenerNumeroImp() >= 0, 1);
    expect("ImpObtenerTamPapel", ImpObtenerTamPapel(&lines, &columns), DOTPRESS_OK);
    expect("a page has lines", lines > 0, 1);

    memset(&summary, 0xAB, sizeof summary);
    summary.size = JOB_SUMMARY_MIN_SIZE - 1;
    expect("ImpObtenerResumen with a short block", ImpObtenerResumen(&summary),
           DOTPRESS_BAD_SUMMARY);
    summary.size = sizeof summary;
    expect("ImpObtenerResumen", ImpObtenerResumen(&summary), DOTPRESS_OK);
    expect("the size filled", (long)summary.size, (long)sizeof summary);
    expect("no job since loading", summary.state, JOB_STATE_NONE);
    expect("no line", (long)summary.linesPrinted, 0);
    printf("consumer: %d failed (%u-bit)\n", failures, (unsigned)(sizeof(void*) * 8));
    return failures;
}
