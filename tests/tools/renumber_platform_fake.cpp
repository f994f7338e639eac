#include "platform/fake/fake_platform.h"
#include "tools/renumber_platform.h"

namespace ov::test {

platform::Platform& RenumberPlatform() {
  static platform::FakePlatform platform;
  return platform;
}

}  // namespace ov::test
