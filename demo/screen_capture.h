// Saves what the screen shows in a rectangle as a 24-bit BMP file, the form in which the
// walkthrough leaves its pictures (the scripts turn them into PNG).
#pragma once

#include <windows.h>

#include <string>

namespace ov::demo {

bool SaveScreenArea(RECT area, const std::string& path);

}  // namespace ov::demo
