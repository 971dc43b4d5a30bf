#include "dotpress/core/text_format.h"

namespace dotpress {

TextBuilder::TextBuilder(char16_t* out, size_t capacity) : out_(out), capacity_(capacity) {
    if (out_ && capacity_ > 0) {
        out_[0] = 0;
    }
}

void TextBuilder::put(char16_t c) {
    if (out_ && length_ + 1 < capacity_) {
        out_[length_++] = c;
        out_[length_] = 0;
    } else {
        fits_ = false;
    }
}

TextBuilder& TextBuilder::operator<<(const char16_t* text) {
    for (const char16_t* t = text; t && *t; ++t) {
        put(*t);
    }
    return *this;
}

TextBuilder& TextBuilder::operator<<(uint64_t number) {
    char16_t digits[20];
    size_t n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    while (n > 0) {
        put(digits[--n]);
    }
    return *this;
}

namespace {

template <typename Insert>
size_t format(char16_t* out, size_t capacity, const char16_t* pattern, char16_t conversion,
              Insert insert) {
    TextBuilder text(out, capacity);
    for (const char16_t* p = pattern; p && *p; ++p) {
        if (p[0] == u'%' && p[1] == conversion) {
            insert(text);
            ++p;
        } else if (p[0] == u'%' && p[1] == u'%') {
            text.put(u'%');
            ++p;
        } else {
            text.put(*p);
        }
    }
    return text.length();
}

} // namespace

size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, int32_t value) {
    return format(out, capacity, pattern, u'd', [value](TextBuilder& text) {
        // The magnitude taken in 64 bits, so that the most negative value has one.
        int64_t v = value;
        if (v < 0) {
            text.put(u'-');
            v = -v;
        }
        text << static_cast<uint64_t>(v);
    });
}

size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, const char16_t* text) {
    return format(out, capacity, pattern, u's', [text](TextBuilder& built) { built << text; });
}

} // namespace dotpress
