// The conditions of the conditional delete tool, apart from its dialog: whether one file
// name and its recorded size meet the condition strings and the size limits that are on.
// The dialog reads these from its controls each time a row is judged; only the compiled
// regular expressions are kept, from one change of its lines to the next.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shellext/tools/regex_pattern.h"

namespace ov::shellext {

// One line of the string list: its text, and whether it was added as a regular expression.
struct ConditionString {
  std::string text;
  bool regExp = false;
};

// A size limit in KB as its field gives it: no value when the field's text is not an
// integer. Only a positive value can be met.
struct SizeCondition {
  bool on = false;
  std::optional<std::int64_t> kilobytes;
};

struct DeleteConditions {
  std::vector<ConditionString> strings;
  bool allOf = true;  // all of the strings (RbAllOf), or any one of them (RbOneOf)
  SizeCondition smallerThan;
  SizeCondition largerThan;
};

// The integer a size field holds: optional blanks around an optional sign and decimal
// digits. No value for any other text, and for numbers beyond 64 bits.
std::optional<std::int64_t> ParseSizeField(std::string_view text);

// Whether the plain text occurs in name starting on a character, letter case respected
// (a match never starts on the second byte of a double-byte character).
bool ContainsPlain(std::string_view name, std::string_view text);

// Whether one condition line hits the name: a regular expression anywhere in it (A to Z
// caseless; a text that does not compile never hits), a plain text as ContainsPlain.
bool LineHits(std::string_view name, const ConditionString& line);

// The string condition: true when there are no lines; otherwise all lines must hit
// (allOf) or at least one.
bool MeetsStringCondition(std::string_view name, const DeleteConditions& conditions);

// Both size limits that are on: at most smallerThan KB x 1024 bytes and at least
// largerThan KB x 1024 bytes, limits included. A file without a recorded size never meets
// a size condition that is on, and a limit that is not a positive integer is met by none.
bool MeetsSizeConditions(std::optional<std::uint64_t> size, const DeleteConditions& conditions);

// The condition lines with each regular expression compiled once, when its line is added.
// The dialog keeps its lines in one of these while it is open, rather than compiling every
// line again for every row it draws; the judgement is that of MeetsStringCondition.
class CompiledLines {
 public:
  void Add(const ConditionString& line);
  void Remove(std::size_t index);
  void Clear() { lines_.clear(); }
  std::size_t Count() const { return lines_.size(); }
  const ConditionString& Line(std::size_t index) const { return lines_[index].line; }
  bool Meets(std::string_view name, bool allOf) const;

 private:
  struct Compiled {
    ConditionString line;
    std::optional<RegexPattern> pattern;  // a regular expression that compiled
  };
  std::vector<Compiled> lines_;
};

// The whole judgement for the name part of a file and its recorded size.
bool MeetsDeleteConditions(std::string_view name, std::optional<std::uint64_t> size,
                           const DeleteConditions& conditions);

}  // namespace ov::shellext
