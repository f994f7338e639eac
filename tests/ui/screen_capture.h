// Saves a form's window as NAME.bmp in the folder named by OV_SCREENS_WIN (the Wine runner
// turns it into build/screens/NAME.png). Without windows, or without that folder, there is
// nothing to save: CanCapture says so and CaptureForm saves nothing and returns false.
#pragma once

#include <string>

#include "ui/form.h"

namespace ov::ui::test {

bool CanCapture();
bool CaptureForm(Form& form, const std::string& name);

}  // namespace ov::ui::test
