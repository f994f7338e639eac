// The bulk rename rules as tables of {settings, name, expected}: the same tables run on
// Linux against the system PCRE2 and under Wine against the static MinGW build.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shellext/tools/bulk_rename_extension_table.h"
#include "shellext/tools/bulk_rename_rules.h"
#include "shellext/tools/regex_pattern.h"
#include "support/readable.h"
#include "tools/test_system.h"

namespace ov::shellext {
namespace {

using Table = std::vector<std::string>;

// Settings written as the user would set them: Rules().Numbers(0).Regex("(.*)", "$1_x").
struct Rules {
  BulkRenameSettings settings;
  Rules& Numbers(int item) {
    settings.removeNumbers = true;
    settings.removeNumbersItem = item;
    return *this;
  }
  Rules& Ext(Table table) {
    settings.changeExt = true;
    settings.changeExtTable = std::move(table);
    return *this;
  }
  Rules& Regex(std::string pattern, std::string format) {
    settings.useRegExp = true;
    settings.pattern = std::move(pattern);
    settings.format = std::move(format);
    return *this;
  }
};

struct RenameCase {
  BulkRenameSettings settings;
  std::string name;
  std::string expected;
};

void ExpectNames(const std::vector<RenameCase>& cases) {
  platform::SystemApi& system = test::TestSystem();
  for (const RenameCase& c : cases) {
    SCOPED_TRACE("name " + test::Readable(c.name) + ", pattern " + test::Readable(c.settings.pattern) +
                 ", format " + test::Readable(c.settings.format));
    EXPECT_BYTES(BuildBulkRenameName(system, c.settings, c.name), c.expected);
  }
}

// A name of 255 "a" and "!": the nested repeat of (a+)+$ would try about 2^255 ways.
const std::string kPathological = std::string(255, 'a') + "!";

TEST(BuildBulkRenameName, DefaultSettingsKeepEveryName) {
  BulkRenameSettings defaults;
  defaults.pattern = "(.*)";  // pattern and format have no effect while the rule is off
  defaults.format = "x";
  defaults.changeExtTable = {".txt=.doc"};
  ExpectNames({
      {defaults, "photo-012.jpg", "photo-012.jpg"},
      {defaults, ".txt", ".txt"},
      {defaults, "表ソ.txt", "表ソ.txt"},
  });
}

TEST(BuildBulkRenameName, NumberRemoval) {
  const BulkRenameSettings hyphen = Rules().Numbers(0).settings;
  const BulkRenameSettings parens = Rules().Numbers(1).settings;
  const BulkRenameSettings brackets = Rules().Numbers(2).settings;
  ExpectNames({
      {hyphen, "photo-012.jpg", "photo.jpg"},
      {hyphen, "photo-.jpg", "photo.jpg"},        // an empty number counts
      {hyphen, "a-1-2.txt", "a-1.txt"},           // only the last number goes
      {hyphen, "-001.txt", "-001.txt"},           // the base would be empty: kept
      {hyphen, "photo-12a.jpg", "photo-12a.jpg"},  // not digits to the end
      {hyphen, "a-1.tar.gz", "a-1.tar.gz"},       // the base is a-1.tar
      {hyphen, "ソ-1.txt", "ソ.txt"},
      {hyphen, std::string(250, 'x') + "-0123.jpg", std::string(250, 'x') + ".jpg"},
      {parens, "photo (3).JPG", "photo .JPG"},    // the space before the number stays
      {parens, "photo(3)x.jpg", "photo(3)x.jpg"},
      {parens, "photo().jpg", "photo.jpg"},
      {parens, "(3).jpg", "(3).jpg"},
      {brackets, "photo[01].png", "photo.png"},
      {brackets, "a[1][2].txt", "a[1].txt"},
      // "-", "(", ")", "[", "]" and digits count only at character starts: ー is 0x81 "[",
      // ゾ 0x83 "]", 表 0x95 "\\"; none of them is cut.
      {brackets, "abー1].jpg", "abー1].jpg"},
      {brackets, "abー[1].jpg", "abー.jpg"},
      {brackets, "スーパー[01].jpg", "スーパー.jpg"},
      {hyphen, "表ー1.txt", "表ー1.txt"},
      {parens, "写真(2).jpg", "写真.jpg"},
      {brackets, "ゾ[2]ゾ.txt", "ゾ[2]ゾ.txt"},
  });
}

TEST(BuildBulkRenameName, ExtensionTable) {
  ExpectNames({
      {Rules().Ext({".jpeg=.jpg"}).settings, "A.JPEG", "A.jpg"},  // case ignored
      {Rules().Ext({".tmp="}).settings, "x.tmp", "x"},            // an empty value drops it
      {Rules().Ext({".txt=.doc"}).settings, "README", "README"},
      {Rules().Ext({".txt=.md"}).settings, ".txt", ".md"},
      {Rules().Ext({".jpg=.png", ".JPG=.gif"}).settings, "a.jpg", "a.png"},  // the first line wins
      {Rules().Ext({".jpg=", ".jpg=.png"}).settings, "a.jpg", "a"},
      {Rules().Ext({".jpg"}).settings, "a.jpg", "a.jpg"},  // a line without "=" never matches
      {Rules().Ext({".jpg=.a=b"}).settings, "a.jpg", "a.a=b"},  // the value runs from the first "="
      {Rules().Ext({".表=.ソ"}).settings, "x.表", "x.ソ"},
  });
}

TEST(BuildBulkRenameName, RegularExpression) {
  ExpectNames({
      {Rules().Regex("(.*)_(\\d+)", "$2-$1").settings, "photo_12.jpg", "12-photo.jpg"},
      {Rules().Regex("(.*)_(\\d+)", "$2-$1").settings, "photo.jpg", "photo.jpg"},  // no match
      // The format alone becomes the base: the parts outside the match are dropped.
      {Rules().Regex("(x)", "new").settings, "box.txt", "new.txt"},
      {Rules().Regex("(x)", "new").settings, "BOX.TXT", "new.TXT"},  // caseless
      {Rules().Regex("(x)", "new").settings, "abc.txt", "abc.txt"},
      {Rules().Regex("(x)", "new").settings, "a.x", "a.x"},  // never sees the extension
      {Rules().Regex("abc", "new").settings, "abc.txt", "abc.txt"},   // no group
      {Rules().Regex("(abc", "new").settings, "abc.txt", "abc.txt"},  // does not compile
      {Rules().Regex("(abc)", "").settings, "abc.txt", "abc.txt"},    // empty format
      {Rules().Regex("(a*)b", "$1").settings, "b.txt", "b.txt"},      // expands to nothing
      {Rules().Regex("(x)?b", "$1").settings, "b.txt", "b.txt"},      // no group took part
      {Rules().Regex("(.*)", "abc").settings, "ABC.TXT", "abc.TXT"},
      {Rules().Regex("^(.*)_(.*)$", "$2$1").settings, "ソ_表.txt", "表ソ.txt"},
      // A nested repeat over a long name ends at its limits as no match.
      {Rules().Regex("(a+)+$", "x").settings, kPathological + ".txt", kPathological + ".txt"},
      {Rules().Regex("(.*a){20}$", "x").settings, kPathological, kPathological},
  });
}

TEST(BuildBulkRenameName, RulesRunInOrder) {
  ExpectNames({
      {Rules().Numbers(0).Regex("(.*)", "$1_x").settings, "photo-3.jpg", "photo_x.jpg"},
      {Rules().Numbers(0).Ext({".jpeg=.jpg"}).Regex("img_(\\d+)", "$1").settings, "IMG_0001-2.JPEG",
       "0001.jpg"},
      // The pattern sees the base after number removal.
      {Rules().Numbers(1).Regex("(\\(\\d\\))", "n$1").settings, "a(1)(2).txt", "n(1).txt"},
      // A table value with a dot does not move the split the pattern sees.
      {Rules().Ext({".gz=.tar.gz"}).Regex("(.*)", "[$1]").settings, "a.gz", "[a].tar.gz"},
  });
}

struct ExpandCase {
  const char* pattern;
  std::string subject;
  std::string format;
  std::string expected;
};

void ExpectExpansions(const std::vector<ExpandCase>& cases) {
  for (const ExpandCase& c : cases) {
    SCOPED_TRACE(std::string("pattern ") + c.pattern + ", subject " + test::Readable(c.subject) + ", format " +
                 test::Readable(c.format));
    const std::optional<RegexPattern> pattern = RegexPattern::Compile(c.pattern);
    ASSERT_TRUE(pattern.has_value());
    EXPECT_BYTES(ExpandOutputFormat(c.subject, *pattern, c.format), c.expected);
  }
}

TEST(ExpandOutputFormat, ReferencesAndEscapes) {
  const std::vector<ExpandCase> cases = {
      {"(.*)_(\\d+)", "photo_12", "$2-$1", "12-photo"},
      {"(a)", "a", "\\$1", "$1"},            // an escaped reference is kept literally
      {"(a)", "a", "$0$1", "$0a"},           // $0 is kept
      {"(a)", "a", "$a$$1", "$a$a"},         // "$" not before 1..9 is kept
      {"(a)", "a", "a\\", "a"},              // a trailing backslash goes
      {"(a)", "a", "\\\\$1", "\\a"},
      {"(a)(x)?", "a", "$1$2", "a"},          // group 2 took no part
      {"(a)", "a", "[$5]", "[]"},            // beyond the groups: removed
      // After a reference that yields nothing, the next character is passed over unexamined.
      {"(a)", "a", "[$5$1]", "[$1]"},
      {"(x)?(b)", "b", "$1$2", "$2"},
      {"(a*)(b)", "b", "$1\\$2", "\\b"},
      // Inserted text is not scanned again.
      {"(.*)", "$1\\x", "$1$1", "$1\\x$1\\x"},
      // Nothing to expand.
      {"(.*)_(\\d+)", "photo", "$1", ""},
      {"(a*)(b)", "b", "$1", ""},
      {"(?:(a)|b)", "b", "x", ""},  // the match count is 1: only the whole match
  };
  ExpectExpansions(cases);
}

// 表 is 0x95 0x5C and ソ is 0x83 0x5C: their second byte is the code of "\".
TEST(ExpandOutputFormat, DoubleByteCharactersAreWhole) {
  const std::vector<ExpandCase> cases = {
      {"(.*)", "x", "表$1", "表x"},
      {"(.*)", "x", "ソ\\$1", "ソ$1"},
      {"(.*)", "x", "\\表$1", "表x"},     // the escape passes over both bytes of 表
      {"(.*)", "x", "\\ソ\\$1", "ソ$1"},
      {"(.*)", "x", "$5表$1", "表x"},     // passed over unexamined, both bytes
      {"(.*)_(\\d+)", "ソ表_12", "$2\\表$1", "12表ソ表"},
      {"(.*)", "表", "$1\\$1", "表$1"},  // group text ending in 0x5C is not an escape
      // A group holds whole characters; the format's own characters stay whole.
      {"(.)", "表", "$1\\$1", "表$1"},
  };
  ExpectExpansions(cases);
}

// Double-byte characters in a pattern are characters: 表 (0x95 0x5C) and ソ (0x83 0x5C) end
// in "\", ー (0x81 0x5B) in "[", ア (0x83 0x41) in "A"; none of those bytes acts as syntax
// or folds case, and a quantifier repeats the whole character.
TEST(RegexPattern, DoubleByteCharactersInPatterns) {
  const std::vector<ExpandCase> cases = {
      {"(.*)表(\\d+)", "データ表12", "$2$1", "12データ"},
      {"(.*)ソ_(\\d+)", "メモソ_7", "$2$1", "7メモ"},
      {"(ー+)(\\d)", "ーー5", "$2$1", "5ーー"},
      {"(ソ{2})", "ソソソ", "[$1]", "[ソソ]"},
      {"(表?)x", "表x", "<$1>", "<表>"},
      {"(ア)", "xアy", "$1!", "ア!"},
      {"(a)ア", "Aア", "$1", "A"},      // ASCII letters still fold around it
      {"(\\表)", "表", "$1", "表"},    // an escaped double-byte character is itself
      {"\\Q表\\E(\\d)", "表1", "$1", "1"},
      {"(?#表)(a)", "a", "$1", "a"},
      // A class holds whole characters, ranges run in code order.
      {"([表ソ]+)", "表", "$1", "表"},
      {"([ぁ-ん]+)", "カなかナ", "$1", "なか"},
      {"(x[ー]+)", "xー", "$1", "xー"},
      {"([^ー]+)", "abーc", "$1", "ab"},
      {"(\\d+)ー", "12ー", "$1", "12"},
  };
  ExpectExpansions(cases);

  // Case folding never reaches a trail byte: ア (0x83 0x41) does not match ヂ (0x83 0x61).
  std::optional<RegexPattern> katakana = RegexPattern::Compile("ア");
  ASSERT_TRUE(katakana.has_value());
  EXPECT_LT(katakana->Match("ヂ").Count(), 0);
  EXPECT_EQ(katakana->Match("ア").Count(), 1);
  // The characters' own code points add no groups.
  std::optional<RegexPattern> two = RegexPattern::Compile("(表)ソ(ー)");
  ASSERT_TRUE(two.has_value());
  EXPECT_EQ(two->CaptureCount(), 2);
  // Patterns that were wrong before stay wrong.
  EXPECT_FALSE(RegexPattern::Compile("(表").has_value());
  EXPECT_FALSE(RegexPattern::Compile("表\\").has_value());
}

// Subjects are matched on whole characters: a letter never matches a second byte (ア is
// 0x83 "A", ヂ 0x83 "a", 表 0x95 "\", ー 0x81 "["), "." and a negated class take a whole
// character, and no match or group starts or ends inside one. Half-width katakana (one
// byte each) are characters too.
TEST(RegexPattern, SubjectsAreWholeCharacters) {
  struct WholeCase {
    const char* pattern;
    std::string subject;
    std::string format;
    std::string expected;  // empty: no expansion
  };
  const std::vector<WholeCase> cases = {
      {"(a)", "アイ", "$1", ""},              // caseless "a" against the second byte of ア
      {"(A)", "ヂ", "$1", ""},
      {"(\\\\)", "表", "$1", ""},              // a backslash is not the second byte of 表
      {"(\\[)", "ー", "$1", ""},
      {"(\\w+)", "アB", "[$1]", "[B]"},      // \w is ASCII: ア is no word character
      {"(.)", "アB", "[$1]", "[ア]"},
      {"(.)$", "xア", "[$1]", "[ア]"},
      {"(..)", "表ソx", "[$1]", "[表ソ]"},
      {"([^a]+)", "表ソa", "[$1]", "[表ソ]"},
      {"^(.{2})", "ｱｲｳ", "[$1]", "[ｱｲ]"},
      {"(.*)\\[[0-9]*\\]$", "abー1]", "$1", ""},   // ー holds no "["
      {"(.*)\\[[0-9]*\\]$", "abー[1]", "$1", "abー"},
      {"(.*)-[0-9]*$", "表-1", "$1", "表"},
      // Case folding stays A to Z: full-width and Greek letters keep their case.
      {"(ａ)", "Ａ", "$1", ""},
      {"(α)", "Α", "$1", ""},
      {"(ABC)", "xabc", "$1", "abc"},
  };
  for (const WholeCase& c : cases) {
    SCOPED_TRACE(std::string("pattern ") + test::Readable(c.pattern) + ", subject " + test::Readable(c.subject));
    const std::optional<RegexPattern> pattern = RegexPattern::Compile(c.pattern);
    ASSERT_TRUE(pattern.has_value());
    EXPECT_BYTES(ExpandOutputFormat(c.subject, *pattern, c.format), c.expected);
  }

  // Offsets are byte offsets of the subject, at character starts.
  std::optional<RegexPattern> after = RegexPattern::Compile("(.)(b)");
  ASSERT_TRUE(after.has_value());
  const RegexMatch match = after->Match("表ソb");
  ASSERT_EQ(match.Count(), 3);
  EXPECT_EQ(match.GroupStart(0), 2u);
  EXPECT_EQ(match.GroupStart(2), 4u);
  EXPECT_EQ(match.GroupEnd(2), 5u);
  // \C would match a part of a character: such a pattern does not compile.
  EXPECT_FALSE(RegexPattern::Compile("(\\C)").has_value());
  // A lone lead byte at the end is a character of its own.
  std::optional<RegexPattern> last = RegexPattern::Compile("(.)$");
  ASSERT_TRUE(last.has_value());
  const RegexMatch lone = last->Match("a\x83");
  ASSERT_EQ(lone.Count(), 2);
  EXPECT_EQ(lone.GroupStart(1), 1u);
}

TEST(RegexPattern, CountsGroupsAndMarksUnsetOnes) {
  EXPECT_FALSE(RegexPattern::Compile("(abc").has_value());
  EXPECT_FALSE(RegexPattern::Compile("a{2,1}").has_value());

  std::optional<RegexPattern> pattern = RegexPattern::Compile("(x)?(B)(c)?(d)?");
  ASSERT_TRUE(pattern.has_value());
  EXPECT_EQ(pattern->CaptureCount(), 4);
  const RegexMatch match = pattern->Match("abcz");
  EXPECT_EQ(match.Count(), 4);  // group 3 is the highest that took part
  EXPECT_FALSE(match.GroupSet(1));
  ASSERT_TRUE(match.GroupSet(2));
  EXPECT_EQ(match.GroupStart(2), 1u);
  EXPECT_EQ(match.GroupEnd(2), 2u);
  EXPECT_TRUE(match.GroupSet(3));
  EXPECT_FALSE(match.GroupSet(4));
  EXPECT_EQ(match.GroupStart(0), 1u);
  EXPECT_EQ(match.GroupEnd(0), 3u);

  EXPECT_LT(pattern->Match("xyz").Count(), 0);

  // Moving hands the compiled pattern over; the moved-from one matches nothing.
  RegexPattern moved = std::move(*pattern);
  EXPECT_EQ(moved.Match("b").Count(), 3);
  EXPECT_EQ(pattern->CaptureCount(), 0);
  EXPECT_LT(pattern->Match("b").Count(), 0);
}

TEST(RegexPattern, MatchesBytesWithoutStoppingAtZero) {
  std::optional<RegexPattern> pattern = RegexPattern::Compile(std::string("(a\0b)", 5));
  ASSERT_TRUE(pattern.has_value());
  EXPECT_EQ(pattern->Match(std::string("xa\0b", 4)).Count(), 2);
  EXPECT_LT(pattern->Match("ab").Count(), 0);
}

TEST(RegexPattern, LimitsCutOnlyRunawaySearches) {
  std::optional<RegexPattern> runaway = RegexPattern::Compile("(a+)+$");
  ASSERT_TRUE(runaway.has_value());
  EXPECT_LT(runaway->Match(kPathological).Count(), 0);
  EXPECT_EQ(runaway->Match(std::string(255, 'a')).Count(), 2);

  // Searches that backtrack over a whole 260-byte name still find their match: this one
  // tries every split of 256 "_" into two groups (about 34,000 steps) before the last.
  const std::string underscores(259, '_');
  std::optional<RegexPattern> two = RegexPattern::Compile("^(.*)_(.*)_b");
  ASSERT_TRUE(two.has_value());
  const RegexMatch late = two->Match("__b" + std::string(256, '_'));
  EXPECT_EQ(late.Count(), 3);
  EXPECT_EQ(late.GroupEnd(0), 3u);
  std::optional<RegexPattern> lazy = RegexPattern::Compile("^(.*?)_(.*?)_(a)$");
  ASSERT_TRUE(lazy.has_value());
  EXPECT_EQ(lazy->Match(underscores + "a").Count(), 4);
  std::optional<RegexPattern> alternatives = RegexPattern::Compile("((a|b|_|-|1|2)*)$");
  ASSERT_TRUE(alternatives.has_value());
  std::string mixed;
  for (int k = 0; k < 26; ++k) mixed += "ab_-12ab_-";
  EXPECT_EQ(alternatives->Match(mixed).Count(), 3);
  EXPECT_EQ(alternatives->Match(mixed).GroupEnd(1), 260u);
}

TEST(ExtensionTable, LookupByName) {
  platform::SystemApi& system = test::TestSystem();
  const Table table = {".jpg", "=.x", ".JPEG=.jpg", ".jpeg=.png", ".tmp="};
  EXPECT_EQ(ExtensionLineName(".jpg"), std::nullopt);
  EXPECT_EQ(ExtensionLineName("=.x"), std::optional<std::string>(""));
  EXPECT_EQ(FindExtensionLine(system, table, ".jpg"), std::nullopt);
  EXPECT_EQ(FindExtensionLine(system, table, ".Jpeg"), std::optional<std::size_t>(2));
  EXPECT_EQ(LookupExtension(system, table, ".jpeg"), std::optional<std::string>(".jpg"));
  EXPECT_EQ(LookupExtension(system, table, ".TMP"), std::optional<std::string>(""));
  EXPECT_EQ(LookupExtension(system, table, ""), std::optional<std::string>(".x"));
  EXPECT_EQ(LookupExtension(system, table, ".gif"), std::nullopt);
}

struct AddCase {
  Table before;
  ExtensionFields fields;
  Table after;
  ExtensionFields writtenBack;
};

TEST(ExtensionTable, AddPutsDotsAndSetsTheFirstLineOfThatName) {
  platform::SystemApi& system = test::TestSystem();
  const std::vector<AddCase> cases = {
      {{}, {"jpg", "png"}, {".jpg=.png"}, {".jpg", ".png"}},
      {{}, {"tmp", ""}, {".tmp="}, {".tmp", ""}},
      // The same old extension again: the earlier line takes the value, the new one
      // stays without effect.
      {{".jpg=.png"}, {"jpg", ""}, {".jpg=.png", ".jpg="}, {".jpg", ""}},
      {{".jpg="}, {"JPG", "gif"}, {".jpg=.gif", ".JPG="}, {".JPG", ".gif"}},
      {{}, {"表", "ソ"}, {".表=.ソ"}, {".表", ".ソ"}},
      // An old extension holding "=" names no line: the appended line stays as it is.
      {{}, {"a=b", "c"}, {".a=b="}, {".a=b", ".c"}},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE("old " + test::Readable(c.fields.oldExt) + ", new " + test::Readable(c.fields.newExt));
    Table table = c.before;
    const ExtensionFields written = AddExtensionLine(system, table, c.fields);
    EXPECT_EQ(table, c.after);
    EXPECT_BYTES(written.oldExt, c.writtenBack.oldExt);
    EXPECT_BYTES(written.newExt, c.writtenBack.newExt);
  }
}

TEST(ExtensionTable, TakeLineForEditing) {
  platform::SystemApi& system = test::TestSystem();
  Table table = {".jpg=.png", ".txt=.doc", ".JPG=.gif"};
  // The value comes from the first line of that name, not from the line taken.
  ExtensionFields fields = TakeExtensionLine(system, table, 2);
  EXPECT_BYTES(fields.oldExt, ".JPG");
  EXPECT_BYTES(fields.newExt, ".png");
  EXPECT_EQ(table, (Table{".jpg=.png", ".txt=.doc"}));

  fields = TakeExtensionLine(system, table, 0);
  EXPECT_BYTES(fields.oldExt, ".jpg");
  EXPECT_BYTES(fields.newExt, ".png");
  EXPECT_EQ(table, (Table{".txt=.doc"}));
}

}  // namespace
}  // namespace ov::shellext
