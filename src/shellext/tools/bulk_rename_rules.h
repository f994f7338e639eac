// The bulk rename tool's transformation of one file name under its three rules (number
// removal, extension table, regular expression with an output format). The preview and
// the execution both call BuildBulkRenameName; nothing is cached between calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "shellext/tools/regex_pattern.h"

namespace ov::shellext {

// The items of the number-removal choice: captions as the radio group shows them, and the
// pattern each one applies to the base name (group 1 is what stays).
constexpr int kRemoveNumbersItemCount = 3;
extern const char* const kRemoveNumbersCaptions[kRemoveNumbersItemCount];
extern const char* const kRemoveNumbersPatterns[kRemoveNumbersItemCount];

// The dialog's state that decides a new name.
struct BulkRenameSettings {
  bool removeNumbers = false;       // ChkRemoveNumbers
  int removeNumbersItem = 0;        // RemoveNumbers: 0 hyphen, 1 parentheses, 2 brackets
  bool changeExt = false;           // ChkChangeExt
  std::vector<std::string> changeExtTable;  // ChangeExtTable: lines old=new
  bool useRegExp = false;           // ChkUseRegExp
  std::string pattern;              // EditPattern
  std::string format;               // EditFormat
};

// The format with "$1".."$9" replaced by the texts of those groups in the first match of
// pattern in subject, and "\" taking the next character literally. Empty when the pattern
// has no groups, when nothing matches, when no group took part, or when format is empty.
std::string ExpandOutputFormat(std::string_view subject, const RegexPattern& pattern, std::string_view format);

// The new name (no folder) of the file named `name` under the settings.
std::string BuildBulkRenameName(platform::SystemApi& system, const BulkRenameSettings& settings,
                                const std::string& name);

}  // namespace ov::shellext
