#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/cp932.h"
#include "base/path_parts.h"
#include "support/readable.h"

namespace ov::base {
namespace {

struct PathCase {
  const char* path;
  const char* folder;
  const char* name;
  const char* extension;
  const char* withoutExtension;
};

TEST(PathParts, SplitsFolderNameAndExtension) {
  const std::vector<PathCase> cases = {
      {"C:\\dir\\a.txt", "C:\\dir\\", "a.txt", ".txt", "a"},
      {"a.txt", "", "a.txt", ".txt", "a"},
      {"C:a", "C:", "a", "", "a"},
      {"C:\\dir\\", "C:\\dir\\", "", "", ""},
      {"", "", "", "", ""},
      {"C:\\dir.d\\readme", "C:\\dir.d\\", "readme", "", "readme"},
      {"C:\\x\\.", "C:\\x\\", ".", ".", ""},
      {"C:\\x\\a.", "C:\\x\\", "a.", ".", "a"},
      {"C:\\x\\.profile", "C:\\x\\", ".profile", ".profile", ""},
      {"C:\\x\\a.tar.gz", "C:\\x\\", "a.tar.gz", ".gz", "a.tar"},
      {"\\\\server\\share\\f.doc", "\\\\server\\share\\", "f.doc", ".doc", "f"},
      // The second byte of ソ and 表 is 0x5C: never a separator.
      {"C:\\表\\ソ.txt", "C:\\表\\", "ソ.txt", ".txt", "ソ"},
      {"C:\\dir\\表", "C:\\dir\\", "表", "", "表"},
      {"C:\\ソ表", "C:\\", "ソ表", "", "ソ表"},
      // A lone lead byte at the end is one character.
      {"C:\\dir\\abc\x81", "C:\\dir\\", "abc\x81", "", "abc\x81"},
      // A lead byte swallows the next byte, even a dot or a separator.
      {"C:\\dir\\a\x81.txt", "C:\\dir\\", "a\x81.txt", "", "a\x81.txt"},
      {"C:\\dir\x81\\x", "C:\\", "dir\x81\\x", "", "dir\x81\\x"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(ov::test::Readable(c.path));
    EXPECT_BYTES(FolderPart(c.path), c.folder);
    EXPECT_BYTES(NamePart(c.path), c.name);
    EXPECT_BYTES(ExtensionPart(c.path), c.extension);
    EXPECT_BYTES(NameWithoutExtension(c.path), c.withoutExtension);
    EXPECT_EQ(FolderPart(c.path) + NamePart(c.path), c.path);
  }
}

TEST(PathParts, ValidFileNames) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"a.txt", true}, {"表.txt", true}, {"ソ", true}, {"能力表", true},  // 0x5C second bytes
      {".profile", true}, {"a b", true}, {"CONSOLE.txt", true}, {"COM10", true}, {"LPT0.txt", true},
      {"xCON", true}, {"con_1.txt", true}, {"ｱ.txt", true}, {"ー", true},
      {"", false}, {".", false}, {"..", false}, {"a.", false}, {"a ", false}, {"a. ", false},
      {"..\\a", false}, {"a\\b", false}, {"a/b", false}, {"a:b", false}, {"a*", false}, {"a?", false},
      {"a\"b", false}, {"a<b", false}, {"a>b", false}, {"a|b", false}, {"a\tb", false}, {std::string("a\0b", 3), false},
      {"CON", false}, {"con.txt", false}, {"Prn", false}, {"AUX.tar.gz", false}, {"NUL .txt", false},
      {"COM1", false}, {"com9.log", false}, {"LPT1", false}, {"lpt9.x", false},
      {"abc\x81", false},  // a lone lead byte at the end
  };
  for (const auto& [name, valid] : cases) {
    SCOPED_TRACE(ov::test::Readable(name));
    EXPECT_EQ(IsValidFileName(name), valid);
  }
}

TEST(Cp932, LeadBytesAreExactlyTheTwoRanges) {
  int leads = 0;
  for (int byte = 0; byte < 256; ++byte) {
    const bool expected = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(byte)), expected) << byte;
    leads += expected;
  }
  EXPECT_EQ(leads, 31 + 29);
}

TEST(Cp932, StepsByCharacter) {
  struct Case {
    std::string text;
    std::vector<std::size_t> starts;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"abc", {0, 1, 2}},
      {"表a", {0, 2}},
      {"a表ソ", {0, 1, 3}},
      {"a\x81", {0, 1}},                         // lone lead byte at the end
      {std::string("\x81\0b", 3), {0, 1, 2}},   // a zero is never a trail byte
      {"\xFC\x40\xFD", {0, 2}},                 // 0xFD is a single byte
      {"\xA0\xDF", {0, 1}},                     // half-width katakana are single bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ov::test::Readable(c.text));
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < c.text.size(); pos = NextChar(c.text, pos)) starts.push_back(pos);
    EXPECT_EQ(starts, c.starts);
    for (std::size_t pos = 0; pos <= c.text.size(); ++pos) {
      const bool isStart = pos == c.text.size() ||
                           std::find(c.starts.begin(), c.starts.end(), pos) != c.starts.end();
      EXPECT_EQ(IsCharStart(c.text, pos), isStart) << pos;
    }
  }
}

TEST(Cp932, FindsAsciiOnlyAtCharacterStarts) {
  const std::string text = "ソa\\表\\b";  // 83 5C 61 5C 95 5C 5C 62
  EXPECT_EQ(FindAscii(text, '\\'), 3u);
  EXPECT_EQ(FindAscii(text, '\\', 4), 6u);
  EXPECT_EQ(FindLastAscii(text, '\\'), 6u);
  EXPECT_EQ(FindLastAscii("ソ表", '\\'), std::string::npos);
  EXPECT_EQ(FindLastAsciiOf("a:b\\c", "\\:"), 3u);
  EXPECT_EQ(FindAscii("", 'a'), std::string::npos);
}

TEST(Cp932, CaseMappingLeavesDoubleByteCharactersWhole) {
  // 0x83 0x61 and 0x83 0x41 have ASCII letters as trail bytes.
  EXPECT_BYTES(AsciiUpper("ab\x83\x61Z1"), "AB\x83\x61Z1");
  EXPECT_BYTES(AsciiLower("AB\x83\x41z1"), "ab\x83\x41z1");
  EXPECT_BYTES(AsciiUpper("x\x83"), "X\x83");
  EXPECT_BYTES(AsciiUpper(""), "");
}

}  // namespace
}  // namespace ov::base
