// The name comparison of the in-memory Windows: CompareStringA with NORM_IGNORECASE in the
// Japanese locale, reproduced closely enough for file names and paths.
#pragma once

#include <string>
#include <string_view>

namespace ov::platform::fake {

// Negative, zero or positive, like CompareStringA's result minus CSTR_EQUAL.
int CompareNoCaseJapanese(std::string_view a, std::string_view b);

// Bytes whose order (unsigned, a prefix first) is CompareNoCaseJapanese's, as
// LCMapStringA(LCMAP_SORTKEY | NORM_IGNORECASE) gives them: equal for equal texts.
std::string SortKeyJapanese(std::string_view text);

}  // namespace ov::platform::fake
