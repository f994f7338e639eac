// A compiled Perl-compatible regular expression over the bytes of code-page-932 text, as
// the bulk rename and conditional delete tools use it: caseless, the library's default
// character tables, matched from the start of a subject. The only unit that sees PCRE2.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// PCRE2's own opaque types, declared here so that callers never include its header.
struct pcre2_real_code_8;
struct pcre2_real_match_context_8;

namespace ov::shellext {

// The outcome of one match: the classic result count and the offsets of each group.
class RegexMatch {
 public:
  // One more than the number of the highest group that took part (1 when only the whole
  // match did); negative when there is no match, also when a match limit cut the search.
  int Count() const { return count_; }
  bool Matched() const { return count_ > 0; }

  // Group 0 is the whole match. A group that took no part in the match is unset.
  bool GroupSet(int group) const;
  std::size_t GroupStart(int group) const;  // meaningful only for a set group
  std::size_t GroupEnd(int group) const;

 private:
  friend class RegexPattern;
  struct Span {
    bool set = false;
    std::size_t start = 0;
    std::size_t end = 0;
  };
  int count_ = -1;
  std::vector<Span> groups_;
};

// The pattern as the engine compiles it. The engine reads bytes, so the second byte of a
// double-byte character could act as syntax (表 ends in "\", ー in "["). Outside a character
// class each double-byte character becomes a group of its two bytes, (?-i:\x95\x5C), not
// subject to case folding, so that a quantifier after it repeats the whole character;
// inside a class its two bytes become \xHH members. Comments (?#...), verbs (*...) and
// POSIX class names are copied as they stand.
std::string EscapeDoubleByteCharacters(std::string_view pattern);

class RegexPattern {
 public:
  // Compiles pattern (double-byte characters escaped as above) with the caseless option and
  // nothing else; no value when it does not compile (the callers never show why).
  static std::optional<RegexPattern> Compile(std::string_view pattern);

  RegexPattern(const RegexPattern&) = delete;
  RegexPattern& operator=(const RegexPattern&) = delete;
  RegexPattern(RegexPattern&& other) noexcept;
  RegexPattern& operator=(RegexPattern&& other) noexcept;
  ~RegexPattern();

  // The number of capturing groups of the pattern.
  int CaptureCount() const;

  // Searches the whole subject for the first match; it may begin anywhere unless the
  // pattern is anchored. No match options. Bounded in time and memory: a search that
  // exceeds the limits ends as no match.
  RegexMatch Match(std::string_view subject) const;

 private:
  RegexPattern(pcre2_real_code_8* code, pcre2_real_match_context_8* context)
      : code_(code), context_(context) {}
  void Reset() noexcept;

  pcre2_real_code_8* code_ = nullptr;
  pcre2_real_match_context_8* context_ = nullptr;
};

}  // namespace ov::shellext
