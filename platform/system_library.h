// A library of the system loaded at run time, from the System32 folder and nowhere else: a bare
// name is looked for in the host's own folder first, where anyone who can write there could
// plant a library of that name (one that is not a KnownDLL, such as oleacc.dll).
#pragma once

#include "platform/os.h"

namespace os {

// `name` (such as u"oleacc.dll") from System32, or null. The loader is asked to search System32
// only; one that does not know that request (Windows 7 without KB2533623) is given the full path.
HINSTANCE loadSystemLibrary(const char16_t* name);

} // namespace os
