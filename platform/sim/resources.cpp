#include "platform/sim/resources.h"

#include <cstring>
#include <map>

namespace sim {

namespace {

constexpr uint32_t kSetFont = 0x40; // DS_SETFONT

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

std::u16string number(uint16_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string predefinedClass(uint16_t atom) {
    switch (atom) {
    case 0x80:
        return u"Button";
    case 0x81:
        return u"Edit";
    case 0x82:
        return u"Static";
    case 0x83:
        return u"ListBox";
    case 0x84:
        return u"ScrollBar";
    case 0x85:
        return u"ComboBox";
    default:
        return u"#" + number(atom);
    }
}

std::u16string nameOrOrdinalText(Reader& in, bool classAtoms) {
    uint16_t ordinal = 0;
    std::u16string name = in.readNameOrOrdinal(&ordinal);
    if (ordinal == 0) {
        return name;
    }
    return classAtoms ? predefinedClass(ordinal) : u"#" + number(ordinal);
}

struct Module {
    std::vector<Resource> resources;
};

std::map<uintptr_t, Module>& modules() {
    static std::map<uintptr_t, Module> mapped;
    return mapped;
}

} // namespace

bool parseDialogTemplate(const void* data, size_t size, DialogTemplate& out) {
    out = DialogTemplate();
    Reader in(data, size);
    const auto version = in.read<uint16_t>();
    const auto signature = in.read<uint16_t>();
    out.extended = version == 1 && signature == 0xFFFF;
    if (out.extended) {
        in.read<uint32_t>(); // help id
        out.exStyle = in.read<uint32_t>();
        out.style = in.read<uint32_t>();
    } else {
        in = Reader(data, size);
        out.style = in.read<uint32_t>();
        out.exStyle = in.read<uint32_t>();
    }
    const auto count = in.read<uint16_t>();
    out.x = in.read<int16_t>();
    out.y = in.read<int16_t>();
    out.cx = in.read<int16_t>();
    out.cy = in.read<int16_t>();
    nameOrOrdinalText(in, false); // menu
    nameOrOrdinalText(in, false); // window class
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
        DialogItem item;
        if (out.extended) {
            in.read<uint32_t>(); // help id
            item.exStyle = in.read<uint32_t>();
            item.style = in.read<uint32_t>();
        } else {
            item.style = in.read<uint32_t>();
            item.exStyle = in.read<uint32_t>();
        }
        item.x = in.read<int16_t>();
        item.y = in.read<int16_t>();
        item.cx = in.read<int16_t>();
        item.cy = in.read<int16_t>();
        item.id = out.extended ? static_cast<int32_t>(in.read<uint32_t>())
                               : static_cast<int16_t>(in.read<uint16_t>());
        item.className = nameOrOrdinalText(in, true);
        item.text = nameOrOrdinalText(in, false);
        in.skip(in.read<uint16_t>()); // creation data
        out.items.push_back(std::move(item));
    }
    return in.ok();
}

std::vector<Resource> readResourceFile(const uint8_t* image, size_t size) {
    std::vector<Resource> found;
    size_t at = 0;
    while (at + 8 <= size) {
        Reader header(image + at, size - at);
        const auto dataSize = header.read<uint32_t>();
        const auto headerSize = header.read<uint32_t>();
        uint16_t type = 0;
        uint16_t id = 0;
        const std::u16string typeName = header.readNameOrOrdinal(&type);
        const std::u16string idName = header.readNameOrOrdinal(&id);
        header.alignTo4();
        header.read<uint32_t>(); // data version
        header.read<uint16_t>(); // memory flags
        const auto language = header.read<uint16_t>();
        if (!header.ok() || headerSize < 8 || headerSize > size - at ||
            dataSize > size - at - headerSize) {
            return {};
        }
        if (type != 0 && id != 0 && typeName.empty() && idName.empty()) {
            found.push_back({type, id, language, image + at + headerSize, dataSize});
        }
        at += headerSize + ((dataSize + 3) & ~size_t(3));
    }
    return found;
}

os::HINSTANCE mapModule(const uint8_t* image, size_t size) {
    static uintptr_t next = 0x400000;
    next += 0x10000;
    modules()[next].resources = readResourceFile(image, size);
    return reinterpret_cast<os::HINSTANCE>(next);
}

void unmapModule(os::HINSTANCE module) {
    modules().erase(reinterpret_cast<uintptr_t>(module));
}

const Resource* findResource(os::HINSTANCE module, uint16_t type, uint16_t id) {
    auto found = modules().find(reinterpret_cast<uintptr_t>(module));
    if (found == modules().end()) {
        return nullptr;
    }
    for (const Resource& r : found->second.resources) {
        if (r.type == type && r.id == id) {
            return &r;
        }
    }
    return nullptr;
}

} // namespace sim
