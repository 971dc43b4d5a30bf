// Message texts with one number or one name in them, formatted into fixed buffers without the
// platform's printf: "&Las %d páginas", "Configurar página de %s".
#pragma once

#include <cstddef>
#include <cstdint>

namespace dotpress {

// Writes `pattern` into `out` (capacity units, terminator included) with "%d" replaced by `value`
// and "%%" by "%". What does not fit is cut; the result is always terminated. Answers the units
// written before the terminator.
size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, int32_t value);
// The same with "%s" replaced by `text` (null reads as empty).
size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, const char16_t* text);

} // namespace dotpress
