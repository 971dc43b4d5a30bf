// A dialog template resource (DLGTEMPLATE or DLGTEMPLATEEX) read back into plain values: the
// simulated machine builds its dialogs from them, and the Wine tests compare the real DLL's
// templates with them. Portable code, no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct DialogItem {
    int32_t id = 0;
    std::u16string className; // predefined classes by name: "Button", "Edit", "Static", ...
    std::u16string text;      // an ordinal (a bitmap or icon) reads "#102"
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string menu;      // empty: none
    std::u16string className; // empty: the system dialog class
    std::u16string title;
    uint16_t pointSize = 0; // only with DS_SETFONT
    std::u16string typeface;
    std::vector<DialogItem> items;
};

// Parses `size` bytes of a DLGTEMPLATE or DLGTEMPLATEEX; false when the data ends before the
// template does.
bool parseDialogTemplate(const void* data, size_t size, DialogTemplate& out);

} // namespace sim
