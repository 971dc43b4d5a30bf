// What a screen reader says for one of our controls where the dialog's template cannot say it:
// its name and, when there is one, a description read after it.
#pragma once

#include "platform/os.h"

namespace dotpress {

inline void setAccessibleText(os::HWND control, const char16_t* name,
                              const char16_t* description = nullptr) {
    // Failure leaves the control with what the system would say anyway: nothing to undo.
    os::SetHwndPropStr(control, os::OBJID_CLIENT, os::CHILDID_SELF, os::MSAAPROPID::Name, name);
    os::SetHwndPropStr(control, os::OBJID_CLIENT, os::CHILDID_SELF, os::MSAAPROPID::Description,
                       description);
}

} // namespace dotpress
