// The Wine suites' file helpers on the real system: a tree with read-only entries and
// names whose second byte is 0x5C goes entirely, and folders come with their "\".
#include "support/win_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/readable.h"

namespace ov::test {
namespace {

TEST(WinFiles, RemoveTreeTakesNestedReadOnlyAndDoubleByteEntries) {
  const std::string top = TempFolder() + "ov_files " + std::to_string(GetCurrentProcessId()) + "\\";
  // "表" and "ソ" end in 0x5C.
  const std::string inner = top + "表\\ソ\\";
  for (const std::string& folder : {top, top + "表\\", inner}) ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  Write(inner + "能.txt", "能");
  Write(top + "read-only.txt", "r");
  ASSERT_TRUE(SetFileAttributesA((top + "read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA(inner.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_BYTES(Read(inner + "能.txt"), "能");
  EXPECT_EQ(Read(top + "absent.txt"), "<missing>");

  RemoveTree(top);
  EXPECT_FALSE(Exists(top)) << Readable(top);
}

TEST(WinFiles, FoldersExistAndEndInASeparator) {
  for (const std::string& folder : {ThisFolder(), TempFolder(), WindowsFolder(), SystemFolder()}) {
    ASSERT_GE(folder.size(), 3u) << Readable(folder);
    EXPECT_EQ(folder.back(), '\\') << Readable(folder);
    EXPECT_TRUE(Exists(folder)) << Readable(folder);
  }
}

}  // namespace
}  // namespace ov::test
