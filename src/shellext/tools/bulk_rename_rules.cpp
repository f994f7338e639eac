#include "shellext/tools/bulk_rename_rules.h"

#include <optional>

#include "base/cp932.h"
#include "shellext/tools/bulk_rename_extension_table.h"

namespace ov::shellext {

const char* const kRemoveNumbersCaptions[kRemoveNumbersItemCount] = {
    "-000 ハイフンつき数字",
    "(000) カッコつき数字",
    "[000] 角カッコつき数字",
};

const char* const kRemoveNumbersPatterns[kRemoveNumbersItemCount] = {
    "(.*)\\-[0-9]*$",
    "(.*)\\([0-9]*\\)$",
    "(.*)\\[[0-9]*\\]$",
};

std::string ExpandOutputFormat(std::string_view subject, const RegexPattern& pattern, std::string_view format) {
  if (pattern.CaptureCount() == 0) return {};
  const RegexMatch match = pattern.Match(subject);
  const int rc = match.Count();
  if (rc <= 1 || format.empty()) return {};

  std::string copy(format);
  std::size_t p = 0;
  while (p < copy.size()) {
    if (copy[p] == '$' && p + 1 < copy.size() && copy[p + 1] >= '1' && copy[p + 1] <= '9') {
      const int group = copy[p + 1] - '0';
      copy.erase(p, 2);
      if (group < rc && match.GroupSet(group) && match.GroupEnd(group) > match.GroupStart(group)) {
        const std::string_view text =
            subject.substr(match.GroupStart(group), match.GroupEnd(group) - match.GroupStart(group));
        copy.insert(p, text);
        p += text.size();  // the group's text is never scanned
      } else if (p < copy.size()) {
        p = base::NextChar(copy, p);  // what followed the reference stays unexamined
      }
    } else if (copy[p] == '\\') {
      copy.erase(p, 1);
      if (p < copy.size()) p = base::NextChar(copy, p);  // the escaped character stays as it is
    } else {
      p = base::NextChar(copy, p);
    }
  }
  return copy;
}

namespace {

// Replaces base with the expansion of format over it, unless that comes out empty.
void ApplyPattern(std::string& base, std::string_view patternText, std::string_view format) {
  const std::optional<RegexPattern> pattern = RegexPattern::Compile(patternText);
  if (!pattern) return;  // a pattern that does not compile changes nothing, silently
  std::string expanded = ExpandOutputFormat(base, *pattern, format);
  if (!expanded.empty()) base = std::move(expanded);
}

}  // namespace

std::string BuildBulkRenameName(platform::SystemApi& system, const BulkRenameSettings& settings,
                                const std::string& name) {
  const std::size_t dot = base::FindLastAscii(name, '.');
  std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);

  if (settings.removeNumbers && settings.removeNumbersItem >= 0 &&
      settings.removeNumbersItem < kRemoveNumbersItemCount) {
    ApplyPattern(base, kRemoveNumbersPatterns[settings.removeNumbersItem], "$1");
  }
  if (settings.changeExt) {
    if (std::optional<std::string> value = LookupExtension(system, settings.changeExtTable, extension)) {
      extension = std::move(*value);
    }
  }
  if (settings.useRegExp) ApplyPattern(base, settings.pattern, settings.format);
  return base + extension;
}

}  // namespace ov::shellext
