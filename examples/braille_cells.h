// Showing what an embosser receives: the bytes as text, and as the Unicode Braille cells that
// North American Braille ASCII gives them.
#pragma once

#include <string>

namespace braille {

// Printable ASCII as it is, any other byte as \xNN.
std::string received(const std::string& bytes);
// One Unicode Braille cell (UTF-8) per byte; "?" for bytes outside Braille ASCII.
std::string cells(const std::string& bytes);

} // namespace braille
