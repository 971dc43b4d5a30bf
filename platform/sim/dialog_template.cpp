#include "platform/sim/dialog_template.h"

#include "platform/sim/byte_reader.h"

namespace sim {

namespace {

constexpr uint32_t kSetFont = 0x40; // DS_SETFONT

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

} // namespace sim
