#include "platform/fake/fake_platform.h"
#include "tools/test_system.h"

namespace ov::test {

platform::SystemApi& TestSystem() {
  static platform::FakePlatform platform;
  return platform.System();
}

}  // namespace ov::test
