#include "shellext/tools/regex_pattern.h"

#include <pcre2.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

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

// Plane 15 private use: U+F0000 + the character's code (a byte, or lead << 8 | trail).
constexpr std::uint32_t kPrivatePlane = 0xF0000;

void AppendCodePoint(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
    return;
  }
  // Every other code point used here lies in plane 15: four bytes.
  out += static_cast<char>(0xF0 | (code >> 18));
  out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (code & 0x3F));
}

// Engine text of subject, and for each of its byte offsets the subject's byte offset, or
// npos where the engine text is inside a character.
std::string ToEngineText(std::string_view cp932, std::vector<std::size_t>* offsets) {
  std::string out;
  out.reserve(cp932.size() * 2);
  if (offsets != nullptr) offsets->clear();
  for (std::size_t pos = 0; pos < cp932.size(); pos = base::NextChar(cp932, pos)) {
    const auto lead = static_cast<unsigned char>(cp932[pos]);
    std::uint32_t code = lead;
    if (base::CharLength(cp932, pos) == 2) code = (code << 8) | static_cast<unsigned char>(cp932[pos + 1]);
    const std::size_t before = out.size();
    AppendCodePoint(out, code < 0x80 ? code : kPrivatePlane + code);
    if (offsets != nullptr) {
      offsets->push_back(pos);
      offsets->resize(offsets->size() + (out.size() - before - 1), std::string_view::npos);
    }
  }
  if (offsets != nullptr) offsets->push_back(cp932.size());
  return out;
}

}  // namespace

std::string ToEngineText(std::string_view cp932) { return ToEngineText(cp932, nullptr); }

bool RegexMatch::GroupSet(int group) const {
  return group >= 0 && static_cast<std::size_t>(group) < groups_.size() && groups_[group].set;
}

std::size_t RegexMatch::GroupStart(int group) const { return GroupSet(group) ? groups_[group].start : 0; }

std::size_t RegexMatch::GroupEnd(int group) const { return GroupSet(group) ? groups_[group].end : 0; }

std::optional<RegexPattern> RegexPattern::Compile(std::string_view pattern) {
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  // Valid UTF-8 by construction, so the library need not check it again.
  const std::string text = ToEngineText(pattern);
  // A null compile context: the library's default character tables.
  std::unique_ptr<pcre2_code, CodeFree> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                    PCRE2_CASELESS | PCRE2_UTF | PCRE2_NEVER_BACKSLASH_C | PCRE2_NO_UTF_CHECK, &errorCode,
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
  std::vector<std::size_t> offsetOf;
  const std::string text = ToEngineText(subject, &offsetOf);
  const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, PCRE2_NO_UTF_CHECK,
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
    // Without \C the engine only stops between code points; a group that did not would
    // split a character and is dropped.
    if (end >= offsetOf.size() || offsetOf[start] == std::string_view::npos ||
        offsetOf[end] == std::string_view::npos) {
      continue;
    }
    result.groups_[group] = {true, offsetOf[start], offsetOf[end]};
  }
  return result;
}

}  // namespace ov::shellext
