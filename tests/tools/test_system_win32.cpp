#include "platform/win32/win32_platform.h"
#include "tools/test_system.h"

namespace ov::test {

platform::SystemApi& TestSystem() {
  static platform::Win32Platform platform;
  return platform.System();
}

}  // namespace ov::test
