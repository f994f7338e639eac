// The names of the renumber tool: a base text, a zero-padded number and an extension,
// with the choices the dialog offers; and the defaults it derives from the selection.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::shellext {

// The dialog's settings that shape a new name.
struct RenumberSettings {
  std::string baseName;       // as typed; a "%" in it is taken literally
  int digits = 1;             // minimum width of the number, zero-padded
  bool changeExtension = false;
  std::string newExtension;   // text of the extension list; only its extension counts
  bool lowerCase = false;     // the whole result through CharLowerBuffA
};

// base + number (at least `digits` wide) + extension; the given name unchanged when the
// name cannot be composed.
std::string BuildRenumberName(platform::SystemApi& system, const RenumberSettings& settings,
                              const std::string& name, int number);

// The digit count the dialog starts with for `fileCount` files: the integer part of the
// decimal logarithm, at least 1 (1 to 99 files give 1, 100 to 999 give 2 ...).
int RenumberDigitDefault(std::size_t fileCount);

// The extensions of the names, each once (letter case ignored), in order of first
// appearance; a name without extension adds the empty item.
std::vector<std::string> RenumberExtensionItems(platform::SystemApi& system, const std::vector<std::string>& names);

}  // namespace ov::shellext
