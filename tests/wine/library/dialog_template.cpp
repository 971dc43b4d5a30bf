#include "tests/wine/library/dialog_template.h"

#include <cstring>

namespace dotpresstest {

namespace {

constexpr uint32_t kSetFont = 0x40; // DS_SETFONT

// A cursor over the template that refuses to read past its end.
class Reader {
public:
    Reader(const void* data, size_t size)
        : begin_(static_cast<const unsigned char*>(data)), size_(size) {}

    bool ok() const { return ok_; }

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

    std::wstring readString() {
        std::wstring text;
        while (ok_) {
            uint16_t unit = read<uint16_t>();
            if (unit == 0) {
                break;
            }
            text += static_cast<wchar_t>(unit);
        }
        return text;
    }

    // A name or an ordinal: 0 (none), 0xFFFF followed by a number, or a string.
    std::wstring readNameOrOrdinal(uint16_t* ordinal) {
        *ordinal = 0;
        uint16_t first = read<uint16_t>();
        if (first == 0) {
            return std::wstring();
        }
        if (first == 0xFFFF) {
            *ordinal = read<uint16_t>();
            return std::wstring();
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + readString();
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
    const unsigned char* begin_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::wstring predefinedClass(uint16_t atom) {
    switch (atom) {
    case 0x80:
        return L"Button";
    case 0x81:
        return L"Edit";
    case 0x82:
        return L"Static";
    case 0x83:
        return L"ListBox";
    case 0x84:
        return L"ScrollBar";
    case 0x85:
        return L"ComboBox";
    default:
        return L"#" + std::to_wstring(atom);
    }
}

std::wstring nameOrOrdinalText(Reader& in, bool classAtoms) {
    uint16_t ordinal = 0;
    std::wstring name = in.readNameOrOrdinal(&ordinal);
    if (ordinal == 0) {
        return name;
    }
    return classAtoms ? predefinedClass(ordinal) : L"#" + std::to_wstring(ordinal);
}

} // namespace

bool parseDialogTemplate(const void* data, size_t size, DialogTemplate& out) {
    out = DialogTemplate();
    Reader in(data, size);
    uint16_t version = in.read<uint16_t>();
    uint16_t signature = in.read<uint16_t>();
    out.extended = version == 1 && signature == 0xFFFF;
    uint16_t count = 0;
    if (out.extended) {
        in.read<uint32_t>(); // help id
        out.exStyle = in.read<uint32_t>();
        out.style = in.read<uint32_t>();
    } else {
        in = Reader(data, size);
        out.style = in.read<uint32_t>();
        out.exStyle = in.read<uint32_t>();
    }
    count = in.read<uint16_t>();
    out.x = in.read<int16_t>();
    out.y = in.read<int16_t>();
    out.cx = in.read<int16_t>();
    out.cy = in.read<int16_t>();
    out.menu = nameOrOrdinalText(in, false);
    out.className = nameOrOrdinalText(in, false);
    out.title = in.readString();
    if (out.style & kSetFont) {
        out.pointSize = in.read<uint16_t>();
        if (out.extended) {
            in.read<uint16_t>(); // weight
            in.read<uint8_t>();  // italic
            in.read<uint8_t>();  // charset
        }
        out.typeface = in.readString();
    }
    for (uint16_t i = 0; i < count && in.ok(); ++i) {
        in.alignTo4();
        DialogControl control;
        if (out.extended) {
            in.read<uint32_t>(); // help id
            control.exStyle = in.read<uint32_t>();
            control.style = in.read<uint32_t>();
        } else {
            control.style = in.read<uint32_t>();
            control.exStyle = in.read<uint32_t>();
        }
        control.x = in.read<int16_t>();
        control.y = in.read<int16_t>();
        control.cx = in.read<int16_t>();
        control.cy = in.read<int16_t>();
        control.id = out.extended ? static_cast<int32_t>(in.read<uint32_t>())
                                  : static_cast<int16_t>(in.read<uint16_t>());
        control.className = nameOrOrdinalText(in, true);
        control.text = nameOrOrdinalText(in, false);
        in.skip(in.read<uint16_t>()); // creation data
        out.controls.push_back(control);
    }
    return in.ok();
}

} // namespace dotpresstest
