// A host application's side of a job, as any program that embosses through the library would
// write it: lay the document out in pages of Braille lines, state the printing area, let the user
// confirm the job in the print dialog, open the job, send the lines of every copy in the order
// the block asks for, close.
#pragma once

#include "dotpress.h"

#include <functional>
#include <string>
#include <vector>

namespace sample {

// Pages of 8-bit lines (Windows-1252, as a Spanish Windows host hands them over).
using Document = std::vector<std::vector<std::string>>;

Document sampleDocument();

struct Layout {
    uint16_t lines = 10;
    uint16_t columns = 30;
};

// States the printing area and shows the print dialog for the document; 0 when the user
// confirmed a job, which is then in *options. For "Página actual" the host puts its current page
// into the block, as the library leaves that to it.
int32_t askForJob(void* owner, const Document& document, Layout& layout, uint32_t currentPage,
                  PrintOptions* options);

// Embosses the document as the block says; betweenLines runs after every line (a real host
// dispatches its window messages there, so that the progress window paints and its Cancel button
// works). Once the user has cancelled, no more lines are sent. Returns the status of
// ImpAbrirImpresora.
int32_t emboss(void* owner, const char* name, const Document& document, Layout& layout,
               const PrintOptions& options, const std::function<void()>& betweenLines);

// What the last job sent to the printer's queue, told to the user in Spanish (UTF-8): lines,
// pages, sheets and copies; lines cut and bytes dropped as a warning. After a cancel, where
// sending stopped, that the queue dropped what it still held, and what to print next in the
// job's page order (the block the job was opened with).
std::string describeSummary(const JobSummary& summary, const PrintOptions& job);
// What became of the test sheet: the pages and sheets sent, or only that it was cancelled.
std::string describeTestSheet(const JobSummary& summary);
// The summary of the last job, as ImpObtenerResumen gives it.
JobSummary lastJobSummary();

} // namespace sample
