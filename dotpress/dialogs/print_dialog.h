// The print dialog component: it owns the binding option's life in the registry and answers
// ImpMostrarDialogoImprimir.
#pragma once

#include "dotpress/core/print_options.h"
#include "dotpress/core/printer_table.h"
#include "platform/os.h"

namespace dotpress {

constexpr int32_t STATUS_NOT_CONFIRMED = 1;
constexpr int32_t STATUS_NULL_OPTIONS = 7;
constexpr int32_t STATUS_NO_PRINTER = 13;

class PrintDialog : public virtual PrinterTable {
public:
    PrintDialog();
    ~PrintDialog();

    int32_t showPrintDialog(os::HWND owner, PrintOptions* hostOptions, int32_t documentPages);

    PrintOptions options{}; // the working block, kept between runs
    static PrintDialog* instance;
};

} // namespace dotpress
