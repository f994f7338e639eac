// The headless build has no screen to capture.
#include "screen_capture.h"

namespace ov::ui::test {

bool CanCapture() { return false; }
bool CaptureForm(Form& /*form*/, const std::string& /*name*/) { return false; }
bool CaptureFormSurface(Form& /*form*/, const std::string& /*name*/) { return false; }
bool CaptureFormOver(Form& /*form*/, Form& /*area*/, const std::string& /*name*/) { return false; }
bool CaptureWindow(std::uintptr_t /*window*/, const std::string& /*name*/) { return false; }

}  // namespace ov::ui::test
