// The system the tools' tests compare names with: the fake's Japanese name order on Linux,
// CompareStringA itself under Wine.
#pragma once

#include "platform/platform.h"

namespace ov::test {

platform::SystemApi& TestSystem();

}  // namespace ov::test
