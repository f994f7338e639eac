#include "shellext/tools/renumber_name.h"

#include <cstdio>

#include "base/path_parts.h"

namespace ov::shellext {

namespace {

// The format is kept as two pieces with the digit count written between them, and the
// base goes in as an argument, so that a "%" typed in the base stays a "%".
const char kFormatHead[] = "%s%0";
const char kFormatTail[] = "d%s";

}  // namespace

std::string BuildRenumberName(platform::SystemApi& system, const RenumberSettings& settings,
                              const std::string& name, int number) {
  try {
    const std::string extension =
        base::ExtensionPart(settings.changeExtension ? settings.newExtension : name);
    const std::string format = kFormatHead + std::to_string(settings.digits) + kFormatTail;
    const int length = std::snprintf(nullptr, 0, format.c_str(), settings.baseName.c_str(), number,
                                     extension.c_str());
    if (length < 0) return name;
    std::string result(static_cast<std::size_t>(length) + 1, '\0');
    if (std::snprintf(result.data(), result.size(), format.c_str(), settings.baseName.c_str(), number,
                      extension.c_str()) != length) {
      return name;
    }
    result.resize(static_cast<std::size_t>(length));
    return settings.lowerCase ? system.LowerCase(result) : result;
  } catch (...) {
    return name;
  }
}

int RenumberDigitDefault(std::size_t fileCount) {
  if (fileCount == 0) return 1;
  // Counting the decimal places avoids log10's rounding at exact powers of ten.
  int digits = 0;
  for (std::size_t n = fileCount; n >= 10; n /= 10) ++digits;
  return digits < 1 ? 1 : digits;
}

std::vector<std::string> RenumberExtensionItems(platform::SystemApi& system, const std::vector<std::string>& names) {
  std::vector<std::string> items;
  for (const std::string& name : names) {
    const std::string extension = base::ExtensionPart(name);
    bool known = false;
    for (const std::string& item : items) {
      if (system.CompareNoCase(item, extension) == 0) {
        known = true;
        break;
      }
    }
    if (!known) items.push_back(extension);
  }
  return items;
}

}  // namespace ov::shellext
