// The installer's text and profile helpers against the in-memory Windows.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"
#include "support/readable.h"

namespace ov::setup {
namespace {

TEST(FieldOf, SplitsAtEveryOneByteSeparator) {
  struct Row {
    const char* text;
    char separator;
    int k;
    const char* expected;
  } rows[] = {
      {"a,b,c", ',', 1, "a"},
      {"a,b,c", ',', 3, "c"},
      {"a,b,c", ',', 4, ""},
      {"a,,c", ',', 2, ""},
      {"a,,c", ',', 3, "c"},
      {",a", ',', 1, ""},
      {"a,", ',', 2, ""},
      {"", ',', 1, ""},
      {"abc", ',', 1, "abc"},
      {"abc", ',', 0, ""},
      {"x|y|", '|', 2, "y"},
      // The scan is byte by byte: the second byte of "ソ" is 0x5C ("\").
      {"ソ\\b", '\\', 1, "\x83"},
      {"ソ\\b", '\\', 2, ""},
      {"ソ\\b", '\\', 3, "b"},
  };
  for (const Row& row : rows) {
    EXPECT_BYTES(FieldOf(row.text, row.separator, row.k), row.expected) << row.text << " #" << row.k;
  }
}

TEST(Separators, EnsureAndDropAtEitherEnd) {
  struct Row {
    const char* text;
    const char* end;
    const char* ensured;
    const char* dropped;
  } rows[] = {
      {"C:\\dir", "B", "C:\\dir\\", "C:\\dir"},
      {"C:\\dir\\", "B", "C:\\dir\\", "C:\\dir"},
      {"C:\\dir\\\\", "Bottom", "C:\\dir\\\\", "C:\\dir\\"},
      {"", "B", "\\", ""},
      {"dir", "T", "\\dir", "dir"},
      {"\\dir", "top", "\\dir", "dir"},
      {"\\\\dir", "T", "\\\\dir", "\\dir"},
      {"", "T", "\\", ""},
      // "表" and "ソ" end in the byte 0x5C, which is no separator there.
      {"C:\\表", "B", "C:\\表\\", "C:\\表"},
      {"C:\\ソ", "b", "C:\\ソ\\", "C:\\ソ"},
      {"C:\\dir", "X", "C:\\dir", "C:\\dir"},
      {"C:\\dir", "", "C:\\dir", "C:\\dir"},
  };
  for (const Row& row : rows) {
    EXPECT_BYTES(EnsureSeparator(row.text, row.end), row.ensured) << test::Readable(row.text) << " " << row.end;
    EXPECT_BYTES(DropSeparator(row.text, row.end), row.dropped) << test::Readable(row.text) << " " << row.end;
  }
}

TEST(ReadProfileString, ReadsValuesOfAnyLengthWhole) {
  platform::FakePlatform platform;
  const std::string file = "C:\\setup\\SETUP.INI";
  std::string contents = "[Setup]\r\n";
  // Lengths around each buffer step: the read grows while the value fills the buffer.
  const std::size_t lengths[] = {0, 1, 254, 255, 256, 511, 512, 767, 5000};
  for (std::size_t length : lengths) {
    std::string value(length, 'v');
    if (length > 2) value.replace(length / 2, 2, "表");
    contents += "Key" + std::to_string(length) + "=" + value + "\r\n";
  }
  ASSERT_EQ(platform.Files().PutFile(file, contents), 0u);
  for (std::size_t length : lengths) {
    std::string expected(length, 'v');
    if (length > 2) expected.replace(length / 2, 2, "表");
    EXPECT_BYTES(ReadProfileString(platform.Profile(), "Setup", "Key" + std::to_string(length), "", file), expected)
        << length;
  }
  EXPECT_BYTES(ReadProfileString(platform.Profile(), "Setup", "Missing", "既定", file), "既定");
  EXPECT_BYTES(ReadProfileString(platform.Profile(), "Other", "Key1", "", file), "");
}

TEST(WriteProfileString, FlushesThenWrites) {
  platform::FakePlatform platform;
  const std::string file = "C:\\setup\\UNSETUP.INI";
  ASSERT_EQ(platform.Files().MakeFolders("C:\\setup"), 0u);
  platform.Failures().ClearLog();
  EXPECT_TRUE(WriteProfileString(platform.Profile(), "Files", "File1", "(App)\\a.exe", file));
  EXPECT_BYTES(ReadProfileString(platform.Profile(), "Files", "File1", "", file), "(App)\\a.exe");
  EXPECT_EQ(platform.Failures().Calls("WritePrivateProfileStringA"), 2u);

  platform.Failures().FailPath("WritePrivateProfileStringA", "UNSETUP", platform::error::kAccessDenied);
  EXPECT_FALSE(WriteProfileString(platform.Profile(), "Files", "File2", "x", file));
}

}  // namespace
}  // namespace ov::setup
