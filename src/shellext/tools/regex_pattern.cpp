#include "shellext/tools/regex_pattern.h"

#include <pcre2.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "base/cp932.h"

namespace ov::shellext {

namespace {

// The preview matches a user's pattern on Explorer's own thread for every row it draws,
// so a pattern with nested repeats such as (a+)+$ must not hold that thread. PCRE2 counts
// its backtracking afresh at every start position of a search, so the limits bound the
// work per start position (a 260-byte name has at most 261 of them):
// - kMatchLimit: 100,000 backtracking steps, about 1.5 ms. A whole search by a pattern
//   with two unbounded repeats over a 260-byte name needs about 34,000 (pattern (.*)_(.*)_$
//   on 259 "_"); the number-removal patterns need a few hundred at most.
// - kDepthLimit: 10,000 nested backtracking frames; repeats over a 260-byte name nest two
//   or three frames per byte.
// - kHeapLimitKiB: 8 MiB for those frames, whose size grows with the number of groups.
// A search cut by a limit counts as no match, silently, like a pattern that does not
// compile.
constexpr std::uint32_t kMatchLimit = 100000;
constexpr std::uint32_t kDepthLimit = 10000;
constexpr std::uint32_t kHeapLimitKiB = 8192;

struct MatchDataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct CodeFree {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct ContextFree {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

void AppendHexByte(std::string& out, unsigned char byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

// A double-byte character as the engine has to see it. Outside a character class it becomes
// one group, so that a quantifier repeats the whole character, with case folding off, so
// that a trail byte that is an ASCII letter (ア is 0x83 "A") never matches its other case.
// Inside a class the engine matches single bytes anyway: both bytes become members.
void AppendDoubleByte(std::string& out, unsigned char lead, unsigned char trail, bool inClass) {
  if (!inClass) out += "(?-i:";
  AppendHexByte(out, lead);
  AppendHexByte(out, trail);
  if (!inClass) out += ")";
}

// Finds the end of a construct whose text the engine takes verbatim up to its first ")":
// a comment (?#...) or a verb (*NAME:...). Returns the index after the ")" (or the end).
std::size_t SkipToCloseParen(std::string_view pattern, std::size_t pos) {
  const std::size_t close = pattern.find(')', pos);
  return close == std::string_view::npos ? pattern.size() : close + 1;
}

}  // namespace

std::string EscapeDoubleByteCharacters(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size() + pattern.size() / 2);
  bool inClass = false;
  bool classStart = false;  // just after "[" or "[^": a "]" here is a member
  bool quoted = false;      // between \Q and \E everything is literal
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const auto byte = static_cast<unsigned char>(pattern[pos]);
    const std::size_t length = base::CharLength(pattern, pos);
    if (length == 2) {
      const auto trail = static_cast<unsigned char>(pattern[pos + 1]);
      if (quoted) out += "\\E";
      AppendDoubleByte(out, byte, trail, inClass);
      if (quoted) out += "\\Q";
      pos += 2;
      classStart = false;
      continue;
    }
    if (quoted) {
      if (byte == '\\' && pos + 1 < pattern.size() && pattern[pos + 1] == 'E') {
        quoted = false;
        out.append(pattern.substr(pos, 2));
        pos += 2;
      } else {
        out += static_cast<char>(byte);
        ++pos;
      }
      classStart = false;
      continue;
    }
    if (byte == '\\') {
      if (pos + 1 >= pattern.size()) {
        out += '\\';  // a trailing backslash: the engine refuses it
        ++pos;
        continue;
      }
      if (base::CharLength(pattern, pos + 1) == 2) {
        // An escaped double-byte character is that character, literally.
        AppendDoubleByte(out, static_cast<unsigned char>(pattern[pos + 1]),
                         static_cast<unsigned char>(pattern[pos + 2]), inClass);
        pos += 3;
        classStart = false;
        continue;
      }
      if (pattern[pos + 1] == 'Q') quoted = true;
      out.append(pattern.substr(pos, 2));
      pos += 2;
      classStart = false;
      continue;
    }
    if (inClass) {
      if (byte == ']' && !classStart) {
        inClass = false;
      } else if (byte == '[' && pos + 1 < pattern.size() && pattern[pos + 1] == ':') {
        // A POSIX class name such as [:alpha:], copied whole.
        const std::size_t close = pattern.find(":]", pos + 2);
        if (close != std::string_view::npos) {
          out.append(pattern.substr(pos, close + 2 - pos));
          pos = close + 2;
          classStart = false;
          continue;
        }
      }
      out += static_cast<char>(byte);
      ++pos;
      classStart = false;
      continue;
    }
    if (byte == '[') {
      inClass = true;
      classStart = true;
      out += '[';
      ++pos;
      if (pos < pattern.size() && pattern[pos] == '^') {
        out += '^';
        ++pos;
      }
      continue;
    }
    if (byte == '(' && pos + 1 < pattern.size() &&
        (pattern[pos + 1] == '*' || (pattern[pos + 1] == '?' && pos + 2 < pattern.size() && pattern[pos + 2] == '#'))) {
      const std::size_t end = SkipToCloseParen(pattern, pos);
      out.append(pattern.substr(pos, end - pos));
      pos = end;
      continue;
    }
    out += static_cast<char>(byte);
    ++pos;
  }
  return out;
}

bool RegexMatch::GroupSet(int group) const {
  return group >= 0 && static_cast<std::size_t>(group) < groups_.size() && groups_[group].set;
}

std::size_t RegexMatch::GroupStart(int group) const { return GroupSet(group) ? groups_[group].start : 0; }

std::size_t RegexMatch::GroupEnd(int group) const { return GroupSet(group) ? groups_[group].end : 0; }

std::optional<RegexPattern> RegexPattern::Compile(std::string_view pattern) {
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  const std::string escaped = EscapeDoubleByteCharacters(pattern);
  // A null compile context: the library's default character tables.
  std::unique_ptr<pcre2_code, CodeFree> code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(escaped.data()),
                                                           escaped.size(), PCRE2_CASELESS, &errorCode,
                                                           &errorOffset, nullptr));
  if (!code) return std::nullopt;
  std::unique_ptr<pcre2_match_context, ContextFree> context(pcre2_match_context_create(nullptr));
  if (!context) throw std::bad_alloc();
  pcre2_set_match_limit(context.get(), kMatchLimit);
  pcre2_set_depth_limit(context.get(), kDepthLimit);
  pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
  return RegexPattern(code.release(), context.release());
}

RegexPattern::RegexPattern(RegexPattern&& other) noexcept
    : code_(std::exchange(other.code_, nullptr)), context_(std::exchange(other.context_, nullptr)) {}

RegexPattern& RegexPattern::operator=(RegexPattern&& other) noexcept {
  if (this != &other) {
    Reset();
    code_ = std::exchange(other.code_, nullptr);
    context_ = std::exchange(other.context_, nullptr);
  }
  return *this;
}

RegexPattern::~RegexPattern() { Reset(); }

void RegexPattern::Reset() noexcept {
  if (context_ != nullptr) pcre2_match_context_free(context_);
  if (code_ != nullptr) pcre2_code_free(code_);
  context_ = nullptr;
  code_ = nullptr;
}

int RegexPattern::CaptureCount() const {
  std::uint32_t count = 0;
  if (code_ == nullptr || pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &count) != 0) return 0;
  return static_cast<int>(count);
}

RegexMatch RegexPattern::Match(std::string_view subject) const {
  RegexMatch result;
  if (code_ == nullptr) return result;
  // Room for the whole match and every group, so the count is never cut short.
  std::unique_ptr<pcre2_match_data, MatchDataFree> data(pcre2_match_data_create_from_pattern(code_, nullptr));
  if (!data) throw std::bad_alloc();
  const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0,
                             data.get(), context_);
  if (rc <= 0) return result;  // no match, a limit reached, or any other failure
  const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data.get());
  result.count_ = rc;
  result.groups_.resize(static_cast<std::size_t>(rc));
  for (int group = 0; group < rc; ++group) {
    const PCRE2_SIZE start = offsets[2 * group];
    const PCRE2_SIZE end = offsets[2 * group + 1];
    // A group can end before it starts when \K moved the start of the whole match.
    if (start == PCRE2_UNSET || end == PCRE2_UNSET || end < start) continue;
    result.groups_[group] = {true, start, end};
  }
  return result;
}

}  // namespace ov::shellext
