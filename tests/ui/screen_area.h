// Pictures for the Wine runner: an area of the screen, or of one window's own drawing
// surface, saved as NAME.bmp in the folder named by OV_SCREENS_WIN (the runner turns it
// into build/screens/NAME.png). Shared by the form captures and the setup driver.
#pragma once

#include <cstdint>
#include <string>

namespace ov::ui::test {

// That folder, or null where no pictures are wanted (a run by hand).
const char* ScreensFolder();

// WIDTH x HEIGHT from (LEFT, TOP) of WINDOW's surface, or of the screen for 0, as a 24-bit
// bitmap; false without the folder or when the file could not be written.
bool SaveScreenArea(int left, int top, int width, int height, const std::string& name, std::uintptr_t window = 0);

}  // namespace ov::ui::test
