// The headless build has no screen to capture.
#include "screen_capture.h"

namespace ov::ui::test {

bool CaptureForm(Form& /*form*/, const std::string& /*name*/) { return true; }

}  // namespace ov::ui::test

namespace ov::ui::test {

bool CaptureFormSurface(Form& /*form*/, const std::string& /*name*/) { return true; }

}  // namespace ov::ui::test
