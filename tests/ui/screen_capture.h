// Saves a form's window as NAME.bmp in the folder named by OV_SCREENS_WIN (the Wine runner
// turns it into build/screens/NAME.png). Without windows, or without that folder, there is
// nothing to save: CanCapture says so and CaptureForm saves nothing and returns false.
#pragma once

#include <cstdint>
#include <string>

#include "ui/form.h"

namespace ov::ui::test {

bool CanCapture();
bool CaptureForm(Form& form, const std::string& name);
// The same from the form's own drawing surface rather than the screen: a full-screen window
// that Wine leaves unshown on a screen without a window manager still has its picture there.
bool CaptureFormSurface(Form& form, const std::string& name);
// The screen under AREA's client area with FORM kept in front: a dialog over
// its program's background, where the screen has a desktop that shows both (a Wine
// virtual desktop; without a window manager Wine leaves a full-screen window unshown).
bool CaptureFormOver(Form& form, Form& area, const std::string& name);
// A top-level window of any process (another program's dialog), from the screen.
bool CaptureWindow(std::uintptr_t window, const std::string& name);

}  // namespace ov::ui::test
