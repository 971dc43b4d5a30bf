// What a screen reader hears, asked the way screen readers ask: AccessibleObjectFromWindow on the
// control for its client object (the system sends the control WM_GETOBJECT), then the object's
// name, description, role and value for itself.
#pragma once

#include "wine_dialogs.h"

#include <windows.h>

#include <string>
#include <vector>

namespace winetest {

struct Heard {
    bool object = false; // false: the control has no accessible object at all
    std::wstring name, description, value;
    long role = 0; // ROLE_SYSTEM_*
};

Heard hear(HWND control);
// "edit", "combo box", "push button", ... for messages; the number for anything else.
std::wstring roleText(long role);

// One focus stop of a walk through a dialog: the control and what is heard there.
struct Stop {
    int id = 0;
    Heard heard;
};

// Runs the parts one after the other on the same dialog; done when the last one is.
DialogDriver::Step chain(std::vector<DialogDriver::Step> parts);

// Presses Tab through the dialog, one key per tick, recording every control the focus lands on,
// until the focus is back where it started (at most `limit` stops).
DialogDriver::Step walkTabOrder(std::vector<Stop>* stops, size_t limit = 40);

} // namespace winetest
