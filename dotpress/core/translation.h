// The embosser's character table: the byte sent to the printer for each byte of the host's text.
#pragma once

#include <array>
#include <cstdint>

namespace dotpress {

// Only bytes 32 to 255 are looked up; the bytes below 32 never reach the table.
extern const std::array<uint8_t, 256> translationTable;

} // namespace dotpress
