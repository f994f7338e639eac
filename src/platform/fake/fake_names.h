// Name rules of the in-memory Windows: case folding the way NTFS and the registry compare
// names, and the parsing of "X:\a\b" paths into a drive and name parts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace ov::platform::fake {

// Upper-cases the letters that Windows folds in names: ASCII, full-width Latin, Greek and
// Cyrillic. Double-byte characters are stepped whole, so no trail byte is ever changed.
std::string FoldName(std::string_view name);
// The same mapping towards lower case (CharLowerBuffA) and upper case (LCMapStringA).
std::string LowerText(std::string_view text);
std::string UpperText(std::string_view text);

// True when the folded text contains the folded part, matched at character starts.
bool ContainsNoCase(std::string_view text, std::string_view part);

// A full path split into its drive letter (upper case) and name parts; "." parts are
// dropped and ".." parts climb. Like Windows, each part loses its trailing dots and blanks.
struct ParsedPath {
  char drive = 0;
  std::vector<std::string> parts;
};

// kPathNotFound for a path that is not "X:\..." and kInvalidName for a name with a
// character Windows refuses (< > " | ? * or a control character). keepLast leaves the last
// part exactly as given (a search pattern).
Error ParsePath(const std::string& path, ParsedPath& parsed, bool keepLast = false);

// Joins "X:" and the parts with "\".
std::string JoinPath(char drive, const std::vector<std::string>& parts);

}  // namespace ov::platform::fake
