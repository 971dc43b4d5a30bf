// Helpers that the simulated machine's files share with each other; tests use world.h.
#pragma once

#include "platform/os.h"

#include <string>

namespace sim {

std::u16string lower(const std::u16string& s);
std::string lower8(const std::string& s);
// "hkcu" or "hklm" for a predefined root, empty for any other key.
std::u16string rootPath(os::HKEY root);
// Index of the printer of that name, or -1.
int printerByName(const char16_t* name);

} // namespace sim
