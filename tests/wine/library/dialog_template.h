// A dialog template resource read back into plain values, so that tests can compare a dialog
// with the table it was written from. Reads both the classic and the extended layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dotpresstest {

struct DialogControl {
    int32_t id = 0;
    std::wstring className; // predefined classes by name ("Button", "Static", ...)
    std::wstring text;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu;      // empty: none
    std::wstring className; // empty: the system dialog class
    std::wstring title;
    uint16_t pointSize = 0; // only with DS_SETFONT
    std::wstring typeface;
    std::vector<DialogControl> controls;
};

// Parses `size` bytes of a DLGTEMPLATE or DLGTEMPLATEEX. Returns false when the data ends
// before the template does.
bool parseDialogTemplate(const void* data, size_t size, DialogTemplate& out);

} // namespace dotpresstest
