// The conditional delete tool's judgement of one name and size: plain strings on character
// starts, caseless regular expressions, all-of and any-one, the size limits at their exact
// boundaries and beyond 32 bits, and the texts a size field may hold. Runs on Linux and,
// with the Windows build of PCRE2, under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "shellext/tools/form_conditional_delete_conditions.h"
#include "support/readable.h"

namespace ov::shellext {
namespace {

using ov::test::Readable;

TEST(ConditionalDeletePlain, MatchesWholeCharactersWithCaseRespected) {
  const struct {
    const char* name;
    const char* text;
    bool hit;
  } cases[] = {
      {"xAB.txt", "AB", true},
      {"abc.txt", "ABC", false},      // case respected
      {"アB.txt", "AB", false},       // A is the second byte of ア (83 41)
      {"アB.txt", "B", true},
      {"アB.txt", "アB", true},
      {"アア", "Aア", false},         // 41 83 41 occurs from the first trail byte only
      {"ｱAB.txt", "AB", true},        // a half-width kana is one byte, not a lead byte
      {"表示.txt", "示", true},       // 表 ends in 5C, which must not confuse the stepping
      {"a.txt", "a.txt.", false},
      {"a.txt", ".TXT", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContainsPlain(c.name, c.text), c.hit) << Readable(c.name) << " / " << Readable(c.text);
  }
}

TEST(ConditionalDeleteStrings, AllOfAnyOneAndRegularExpressions) {
  const std::vector<ConditionString> abcXyz = {{"abc", false}, {"xyz", false}};
  const struct {
    const char* name;
    std::vector<ConditionString> lines;
    bool allOf;
    bool met;
  } cases[] = {
      {"abc_xyz.txt", abcXyz, true, true},
      {"abc.txt", abcXyz, true, false},
      {"abc.txt", abcXyz, false, true},
      {"xyz.txt", abcXyz, false, true},
      {"def.txt", abcXyz, false, false},
      {"anything", {}, true, true},  // no lines: no string condition
      {"anything", {}, false, true},
      // A regular expression: letters A to Z without regard to case, anywhere in the name.
      {"abc.txt", {{"ABC", true}}, true, true},
      {"abc.txt", {{"ABC", false}}, true, false},
      {"IMG_0012.jpg", {{"^img_[0-9]+\\.JPG$", true}}, true, true},
      {"xIMG_0012.jpg", {{"^img_", true}}, true, false},
      // Full-width letters are not folded.
      {"ａｂｃ.txt", {{"ＡＢＣ", true}}, true, false},
      {"表示.txt", {{"示\\.TXT$", true}}, true, true},
      // A pattern sees whole characters: a letter never matches a second byte (ア is 83 41,
      // イ 83 43, 表 95 5C, ー 81 5B), "." takes a double-byte character whole.
      {"アイ.txt", {{"a", true}}, true, false},
      {"アイ.txt", {{"c", true}}, true, false},
      {"data.txt", {{"a", true}}, true, true},
      {"表.txt", {{"\\\\", true}}, true, false},
      {"ー.txt", {{"\\[", true}}, true, false},
      {"アイ.txt", {{"^.イ\\.", true}}, true, true},
      {"アイ.txt", {{"^.{2}\\.txt$", true}}, true, true},
      // A pattern that does not compile never hits: under all-of nothing is met, under
      // any-one the other lines still count.
      {"abc.txt", {{"(", true}, {"abc", false}}, true, false},
      {"abc.txt", {{"(", true}, {"abc", false}}, false, true},
      {"abc.txt", {{"[", true}}, false, false},
      // Duplicates are allowed and change nothing.
      {"abc.txt", {{"abc", false}, {"abc", false}}, true, true},
  };
  for (const auto& c : cases) {
    DeleteConditions conditions;
    conditions.strings = c.lines;
    conditions.allOf = c.allOf;
    EXPECT_EQ(MeetsStringCondition(c.name, conditions), c.met)
        << Readable(c.name) << " first line " << (c.lines.empty() ? "" : Readable(c.lines[0].text))
        << (c.allOf ? " all of" : " any one");
  }
}

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

TEST(ConditionalDeleteSizes, LimitsIncludedAndSixtyFourBitSizes) {
  using Limit = std::optional<std::int64_t>;
  const Limit off = std::nullopt;
  const struct {
    bool smallOn;
    Limit small;
    bool largeOn;
    Limit large;
    std::optional<std::uint64_t> size;
    bool met;
  } cases[] = {
      {false, off, false, off, std::nullopt, true},  // no size condition: an unmeasured file too
      {false, 1, false, 2, 5000, true},
      {true, 1, false, off, 1024, true},  // exactly at the limit counts as smaller
      {true, 1, false, off, 1025, false},
      {true, 1, false, off, 0, true},
      {false, off, true, 2, 2048, true},  // exactly at the limit counts as larger
      {false, off, true, 2, 2047, false},
      {true, 1, true, 2, 1024, false},  // the defaults select nothing
      {true, 1, true, 2, 2048, false},
      {true, 4, true, 2, 3000, true},  // both: between the limits
      {true, 4, true, 2, 4097, false},
      {true, 4, true, 2, 2047, false},
      {true, 3, true, 3, 3072, true},
      // A file that could not be measured is never deleted for its size.
      {true, 1, false, off, std::nullopt, false},
      {false, off, true, 1, std::nullopt, false},
      // A limit that is not a positive integer selects nothing, not even an empty file.
      {true, 0, false, off, 0, false},
      {true, -1, false, off, 0, false},
      {true, off, false, off, 0, false},
      {false, off, true, 0, 10, false},
      {false, off, true, off, 10, false},
      // 2 GiB and more, and limits of 2,097,152 KB and more.
      {false, off, true, 2097152, 3 * kGiB, true},
      {true, 2097152, false, off, 3 * kGiB, false},
      {true, 2097152, false, off, 2 * kGiB, true},
      {false, off, true, 2097152, 2 * kGiB - 1, false},
      {false, off, true, 5 * 1048576, 5 * kGiB, true},
      {true, std::numeric_limits<std::int64_t>::max(), false, off, std::numeric_limits<std::uint64_t>::max(), true},
      {false, off, true, std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::uint64_t>::max(), true},
      {false, off, true, std::numeric_limits<std::int64_t>::max(), 1ull << 62, false},
  };
  int row = 0;
  for (const auto& c : cases) {
    DeleteConditions conditions;
    conditions.smallerThan = SizeCondition{c.smallOn, c.small};
    conditions.largerThan = SizeCondition{c.largeOn, c.large};
    EXPECT_EQ(MeetsSizeConditions(c.size, conditions), c.met) << "row " << row;
    ++row;
  }
}

TEST(ConditionalDeleteSizes, StringAndSizeConditionsMustHoldTogether) {
  DeleteConditions conditions;
  conditions.strings = {{"abc", false}};
  conditions.smallerThan = SizeCondition{true, 1};
  EXPECT_TRUE(MeetsDeleteConditions("abc.txt", 1024, conditions));
  EXPECT_FALSE(MeetsDeleteConditions("abc.txt", 1025, conditions));
  EXPECT_FALSE(MeetsDeleteConditions("def.txt", 1024, conditions));
}

TEST(ConditionalDeleteSizes, SizeFieldTexts) {
  const struct {
    const char* text;
    std::optional<std::int64_t> value;
  } cases[] = {
      {"1", 1},
      {"2048", 2048},
      {" 12 ", 12},
      {"+3", 3},
      {"-5", -5},
      {"0", 0},
      {"007", 7},
      {"2097152", 2097152},
      {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
      {"9223372036854775808", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"-", std::nullopt},
      {"abc", std::nullopt},
      {"1.5", std::nullopt},
      {"1 2", std::nullopt},
      {"1KB", std::nullopt},
      {"１", std::nullopt},  // a full-width digit is not a digit here
      {"0x10", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseSizeField(c.text), c.value) << "'" << Readable(c.text) << "'";
  }
}

}  // namespace
}  // namespace ov::shellext
