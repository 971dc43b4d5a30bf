// A host application's side of a job, as any program that embosses through the library would
// write it: lay the document out in pages of Braille lines, state the printing area, fill the
// job block, open the job, send the lines of every copy in the order the block asks for, close.
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

// The job block a host fills itself: two copies of the pages 1-2 and 3-3, pages running
// through the ranges for each copy in turn.
PrintOptions sampleOptions(const Document& document);

// Embosses the document; betweenLines runs after every line (a real host dispatches its window
// messages there, so that the progress window paints and its Cancel button works). Returns the
// status of ImpAbrirImpresora.
int32_t emboss(void* owner, const char* name, const Document& document, Layout& layout,
               const PrintOptions& options, const std::function<void()>& betweenLines);

} // namespace sample
