#include "platform/win32/win32_platform.h"
#include "tools/renumber_platform.h"

namespace ov::test {

platform::Platform& RenumberPlatform() {
  static platform::Win32Platform platform;
  return platform;
}

}  // namespace ov::test
