// A picture of a window as it stands, for a person to look at after the run.
#pragma once

#include <windows.h>

#include <string>

namespace winetest {

// Redraws the window with its children and frame and writes it as a 24-bit picture: a PNG file
// when the path ends in ".png", a BMP file otherwise.
bool saveScreenshot(HWND window, const std::wstring& path);

} // namespace winetest
