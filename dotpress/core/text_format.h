// Message texts built into fixed buffers without the platform's printf: "&Las %d páginas",
// "Configurar página de %s", and texts made of several pieces and numbers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dotpress {

// A text built piece by piece in a fixed buffer of `capacity` units: what does not fit is cut,
// the buffer is always terminated, and fits() tells whether anything was cut.
class TextBuilder {
public:
    TextBuilder(char16_t* out, size_t capacity);
    template <size_t N> explicit TextBuilder(char16_t (&buffer)[N]) : TextBuilder(buffer, N) {}
    TextBuilder& operator<<(const char16_t* text); // null reads as empty
    TextBuilder& operator<<(uint64_t number);      // in decimal
    void put(char16_t c);
    bool fits() const { return fits_; }
    size_t length() const { return length_; }

private:
    char16_t* out_;
    size_t capacity_;
    size_t length_ = 0;
    bool fits_ = true;
};

// Writes `pattern` into `out` (capacity units, terminator included) with "%d" replaced by `value`
// and "%%" by "%". What does not fit is cut; the result is always terminated. Answers the units
// written before the terminator.
size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, int32_t value);
// The same with "%s" replaced by `text` (null reads as empty).
size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, const char16_t* text);

} // namespace dotpress
