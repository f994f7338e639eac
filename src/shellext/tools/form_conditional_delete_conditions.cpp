// The conditional delete tool's judgement of one file, free of the dialog.
#include "shellext/tools/form_conditional_delete_conditions.h"

#include <limits>

#include "base/cp932.h"
#include "shellext/tools/regex_pattern.h"

namespace ov::shellext {

std::optional<std::int64_t> ParseSizeField(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  bool negative = false;
  if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
    negative = text[begin] == '-';
    ++begin;
  }
  if (begin == end) return std::nullopt;
  std::uint64_t magnitude = 0;
  // The negative side reaches one further than the positive one.
  const std::uint64_t limit =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
  for (std::size_t i = begin; i < end; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return static_cast<std::int64_t>(magnitude);
  if (magnitude == limit) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(magnitude);
}

bool ContainsPlain(std::string_view name, std::string_view text) {
  if (text.size() > name.size()) return false;
  for (std::size_t pos = 0; pos + text.size() <= name.size(); pos = base::NextChar(name, pos)) {
    if (name.compare(pos, text.size(), text) == 0) return true;
  }
  return false;
}

namespace {

bool PatternHits(const RegexPattern& pattern, std::string_view name) { return pattern.Match(name).Matched(); }

// Goes through the lines in order: all must hit (allOf) or at least one.
template <typename Hits>
bool StringConditionHolds(std::size_t lines, bool allOf, Hits hits) {
  if (lines == 0) return true;
  bool hit = false;
  for (std::size_t i = 0; i < lines; ++i) {
    if (hits(i)) {
      hit = true;
      if (!allOf) break;
    } else if (allOf) {
      return false;
    }
  }
  return hit;
}

}  // namespace

bool LineHits(std::string_view name, const ConditionString& line) {
  if (!line.regExp) return ContainsPlain(name, line.text);
  // Compiled for this judgement alone and freed at once.
  const std::optional<RegexPattern> pattern = RegexPattern::Compile(line.text);
  return pattern.has_value() && PatternHits(*pattern, name);
}

bool MeetsStringCondition(std::string_view name, const DeleteConditions& conditions) {
  return StringConditionHolds(conditions.strings.size(), conditions.allOf,
                              [&](std::size_t i) { return LineHits(name, conditions.strings[i]); });
}

void CompiledLines::Add(const ConditionString& line) {
  lines_.push_back(Compiled{line, line.regExp ? RegexPattern::Compile(line.text) : std::nullopt});
}

void CompiledLines::Remove(std::size_t index) {
  if (index < lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool CompiledLines::Meets(std::string_view name, bool allOf) const {
  return StringConditionHolds(lines_.size(), allOf, [&](std::size_t i) {
    const Compiled& line = lines_[i];
    if (!line.line.regExp) return ContainsPlain(name, line.line.text);
    return line.pattern.has_value() && PatternHits(*line.pattern, name);
  });
}

namespace {

// The limit in bytes; a limit beyond what 64 bits hold is as large as they go.
std::uint64_t LimitBytes(std::int64_t kilobytes) {
  const auto value = static_cast<std::uint64_t>(kilobytes);
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  return value > kMost / 1024 ? kMost : value * 1024;
}

bool Positive(const SizeCondition& condition) {
  return condition.kilobytes.has_value() && *condition.kilobytes > 0;
}

}  // namespace

bool MeetsSizeConditions(std::optional<std::uint64_t> size, const DeleteConditions& conditions) {
  if (conditions.smallerThan.on) {
    if (!size || !Positive(conditions.smallerThan)) return false;
    if (*size > LimitBytes(*conditions.smallerThan.kilobytes)) return false;
  }
  if (conditions.largerThan.on) {
    if (!size || !Positive(conditions.largerThan)) return false;
    if (*size < LimitBytes(*conditions.largerThan.kilobytes)) return false;
  }
  return true;
}

bool MeetsDeleteConditions(std::string_view name, std::optional<std::uint64_t> size,
                           const DeleteConditions& conditions) {
  return MeetsStringCondition(name, conditions) && MeetsSizeConditions(size, conditions);
}

}  // namespace ov::shellext
