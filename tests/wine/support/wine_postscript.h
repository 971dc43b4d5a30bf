// Reading back what Wine's PostScript driver wrote for a job. It draws text with a font it sends
// along: every character of a TextOutA becomes one line "/name glyphshow", named after the
// font's glyph (a space is /uni00A0 in Liberation Mono, digits are /nine and so on), and every
// page opens with "%%Page: n n".
#pragma once

#include <string>
#include <vector>

namespace winetest {

// The glyph names drawn, page by page.
std::vector<std::vector<std::string>> glyphsPerPage(const std::string& postscript);
// Where each line drawn starts across the page (its TextOutA's "x y moveto"), page by page.
std::vector<std::vector<int>> lineStartsPerPage(const std::string& postscript);

} // namespace winetest
