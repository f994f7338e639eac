// The name comparison of the in-memory Windows: CompareStringA with NORM_IGNORECASE in the
// Japanese locale, reproduced closely enough for file names and paths.
#pragma once

#include <string_view>

namespace ov::platform::fake {

// Negative, zero or positive, like CompareStringA's result minus CSTR_EQUAL.
int CompareNoCaseJapanese(std::string_view a, std::string_view b);

}  // namespace ov::platform::fake
