// A compiled Perl-compatible regular expression over code-page-932 text, as the bulk rename
// and conditional delete tools use it: caseless for A to Z, matched from the start of a
// subject, on whole characters. The only unit that sees PCRE2.
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

// Pattern and subject as the engine sees them: UTF-8 in which every CP932 character is one
// code point. ASCII stays itself; every other character, single-byte (half-width katakana,
// a lone lead byte) or double-byte, becomes a private-use code point of plane 15,
// U+F0000 + its code (ア 0x8341 -> U+F8341). The engine thus never sees a second byte on its
// own: "表" (0x95 0x5C) is no backslash, ア (0x83 "A") no letter, "." takes a whole
// character, and no match or group starts or ends inside one. Private-use code points have
// no case, so caseless matching folds A to Z only, as over bytes with the default tables;
// \w, \d and \s stay ASCII. A pattern names characters, not bytes: \x83 no longer
// matches the lead byte of ア.
std::string ToEngineText(std::string_view cp932);

class RegexPattern {
 public:
  // Compiles pattern (made engine text as above) caseless; no value when it does not compile
  // (the callers never show why). \C, which would match part of a character, is refused.
  static std::optional<RegexPattern> Compile(std::string_view pattern);

  RegexPattern(const RegexPattern&) = delete;
  RegexPattern& operator=(const RegexPattern&) = delete;
  RegexPattern(RegexPattern&& other) noexcept;
  RegexPattern& operator=(RegexPattern&& other) noexcept;
  ~RegexPattern();

  // The number of capturing groups of the pattern.
  int CaptureCount() const;

  // Searches the whole subject for the first match; it may begin anywhere unless the
  // pattern is anchored. Offsets are byte offsets into subject, always at character
  // starts. Bounded in time and memory: a search that exceeds the limits ends as no match.
  RegexMatch Match(std::string_view subject) const;

 private:
  RegexPattern(pcre2_real_code_8* code, pcre2_real_match_context_8* context)
      : code_(code), context_(context) {}
  void Reset() noexcept;

  pcre2_real_code_8* code_ = nullptr;
  pcre2_real_match_context_8* context_ = nullptr;
};

}  // namespace ov::shellext
