#include "dotpress/core/text_format.h"

namespace dotpress {

namespace {

// Appends units to a bounded buffer, keeping room for the terminator.
class Out {
public:
    Out(char16_t* out, size_t capacity) : out_(out), capacity_(capacity) {}
    void put(char16_t c) {
        if (out_ && length_ + 1 < capacity_) {
            out_[length_++] = c;
        }
    }
    size_t finish() {
        if (out_ && capacity_ > 0) {
            out_[length_] = 0;
        }
        return length_;
    }

private:
    char16_t* out_;
    size_t capacity_;
    size_t length_ = 0;
};

template <typename Insert>
size_t format(char16_t* out, size_t capacity, const char16_t* pattern, char16_t conversion,
              Insert insert) {
    Out o(out, capacity);
    for (const char16_t* p = pattern; p && *p; ++p) {
        if (p[0] == u'%' && p[1] == conversion) {
            insert(o);
            ++p;
        } else if (p[0] == u'%' && p[1] == u'%') {
            o.put(u'%');
            ++p;
        } else {
            o.put(*p);
        }
    }
    return o.finish();
}

} // namespace

size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, int32_t value) {
    return format(out, capacity, pattern, u'd', [value](Out& o) {
        // Digits of the magnitude, taken in 64 bits so that the most negative value has one.
        int64_t v = value;
        if (v < 0) {
            o.put(u'-');
            v = -v;
        }
        char16_t digits[20];
        size_t n = 0;
        do {
            digits[n++] = static_cast<char16_t>(u'0' + v % 10);
            v /= 10;
        } while (v > 0);
        while (n > 0) {
            o.put(digits[--n]);
        }
    });
}

size_t formatText(char16_t* out, size_t capacity, const char16_t* pattern, const char16_t* text) {
    return format(out, capacity, pattern, u's', [text](Out& o) {
        for (const char16_t* t = text; t && *t; ++t) {
            o.put(*t);
        }
    });
}

} // namespace dotpress
