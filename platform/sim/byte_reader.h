// A bounded cursor over resource bytes, shared by the resource-file and dialog-template readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace sim {

// A cursor that refuses to read past the end of its bytes.
class Reader {
public:
    Reader(const void* data, size_t size)
        : begin_(static_cast<const uint8_t*>(data)), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    template <typename T> T read() {
        T value{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            pos_ = size_;
            return value;
        }
        std::memcpy(&value, begin_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::u16string readString() {
        std::u16string text;
        while (ok_) {
            const auto unit = read<uint16_t>();
            if (unit == 0) {
                break;
            }
            text += static_cast<char16_t>(unit);
        }
        return text;
    }

    // A name or an ordinal: 0 (none), 0xFFFF followed by a number, or a string.
    std::u16string readNameOrOrdinal(uint16_t* ordinal) {
        *ordinal = 0;
        const auto first = read<uint16_t>();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            *ordinal = read<uint16_t>();
            return {};
        }
        return std::u16string(1, static_cast<char16_t>(first)) + readString();
    }

    void alignTo4() { pos_ = (pos_ + 3) & ~size_t(3); }
    void skip(size_t bytes) {
        if (pos_ + bytes > size_) {
            ok_ = false;
            pos_ = size_;
        } else {
            pos_ += bytes;
        }
    }

private:
    const uint8_t* begin_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace sim
