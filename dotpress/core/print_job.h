// The three job operations behind ImpAbrirImpresora, ImpImprimirLinea and ImpCerrarImpresora.
#pragma once

#include "dotpress/core/job_paper.h"
#include "dotpress/core/progress_window.h"

namespace dotpress {

class PrintJob : public ProgressWindow, public virtual CancelledJob {
public:
    PrintJob();

    int32_t openJob(os::HWND owner, const char* name, const PrintOptions& jobOptions,
                    bool sheet = false);
    int32_t printJobLine(const char* line);
    int32_t closeJob();

private:
    // The reference on our own module that an open job holds (see openJob), or null.
    os::HINSTANCE heldModule;
};

} // namespace dotpress
