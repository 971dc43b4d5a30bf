// Showing what an embosser receives: the bytes as text, and the Unicode Braille cells the
// simulated embosser's own (Spanish) table embosses for them.
#pragma once

#include <string>

namespace braille {

// Printable ASCII as it is, any other byte as \xNN.
std::string received(const std::string& bytes);
// One Unicode Braille cell (UTF-8) per byte, as the embosser's table embosses it; "?" where the
// table holds no character a Spanish reader has a cell for. With `ansi` the bytes are the host's
// Windows-1252 text, which the embosser translates itself: each character's cell in its table.
std::string cells(const std::string& bytes, bool ansi);

} // namespace braille
