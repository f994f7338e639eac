// Series names for the classification tool: a file name without its extension, its
// trailing number and the separators around that number (IMG_0001.jpg -> IMG), and the
// grouping of a selection into series.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::shellext {

// The default characters regarded as digits besides 0 to 9.
extern const char kDefaultNumericChars[];  // "_()~[]+-"

// The series name of `name` (a file name without folder), or "" when the file belongs to
// no series. numericChars lists the characters (CP932, one or two bytes each) that count
// as digits besides 0 to 9; suffixAllowance lets a shorter non-numeric tail follow the
// number (file01a.jpg -> file with an allowance of 2).
std::string DeriveSeriesName(const std::string& name, const std::string& numericChars, int suffixAllowance);

struct Series {
  std::string name;                  // folder name; the form first met
  std::vector<std::string> members;  // full paths, in the order they joined
};

// Groups the paths (in their order) by series name, ignoring letter case with the system's
// comparison; series come in the order first met. Files without a series are left out.
std::vector<Series> ClassifySeries(platform::SystemApi& system, const std::vector<std::string>& paths,
                                   const std::string& numericChars, int suffixAllowance);

}  // namespace ov::shellext
