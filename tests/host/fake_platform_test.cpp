// What the in-memory Windows offers beyond the contract: failure injection, the call log,
// volumes, large sizes, the manual clock, short names and its size limits.
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_platform.h"
#include "support/readable.h"

namespace ov::platform {
namespace {

using fake::PathMatch;

class FakePlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(files().MakeFolders("C:\\work"), error::kSuccess); }
  fake::FakeFiles& files() { return platform_.Files(); }
  fake::FakeFailures& failures() { return platform_.Failures(); }
  std::string Read(const std::string& path) {
    std::string contents;
    EXPECT_EQ(files().ReadContents(path, contents), error::kSuccess) << path;
    return contents;
  }

  FakePlatform platform_;
};

TEST_F(FakePlatformTest, TheKthCallOfAnOperationFailsOnce) {
  for (const char* name : {"a", "b", "c", "d"}) ASSERT_EQ(files().PutFile(std::string("C:\\work\\") + name, name), 0u);
  files().Move("C:\\work\\a", "C:\\work\\a1");  // calls before the rule do not count towards it
  failures().FailCall("MoveFileA", 2, error::kSharingViolation);
  EXPECT_EQ(files().Move("C:\\work\\b", "C:\\work\\b1"), error::kSuccess);
  EXPECT_EQ(files().Move("C:\\work\\c", "C:\\work\\c1"), error::kSharingViolation);
  EXPECT_TRUE(FileExists(files(), "C:\\work\\c")) << "a failed call changes nothing";
  EXPECT_EQ(files().Move("C:\\work\\c", "C:\\work\\c1"), error::kSuccess);
  EXPECT_EQ(files().Move("C:\\work\\d", "C:\\work\\d1"), error::kSuccess);
  EXPECT_EQ(failures().Calls("MoveFileA"), 5u);
}

TEST_F(FakePlatformTest, PathRulesMatchWithoutCaseUntilCleared) {
  ASSERT_EQ(files().PutFile("C:\\work\\Keep\\a.txt", "a"), error::kSuccess);
  ASSERT_EQ(files().PutFile("C:\\work\\other.txt", "o"), error::kSuccess);
  failures().FailPath("DeleteFileA", "\\keep\\", error::kAccessDenied);
  failures().FailPath("", "c:\\work\\OTHER.TXT", error::kSharingViolation, PathMatch::kEquals);
  EXPECT_EQ(files().Delete("C:\\work\\KEEP\\a.txt"), error::kAccessDenied);
  EXPECT_EQ(files().Move("C:\\work\\Keep\\a.txt", "C:\\work\\b.txt"), error::kSuccess) << "only DeleteFileA fails";
  EXPECT_EQ(files().Copy("C:\\work\\b.txt", "C:\\work\\other.txt", false), error::kSharingViolation)
      << "the second path of a call matches too";
  std::uint32_t attributes = 0;
  EXPECT_EQ(files().GetAttributes("C:\\work\\other.txt", attributes), error::kSharingViolation);
  EXPECT_EQ(files().GetAttributes("C:\\work\\other.txt.bak", attributes), error::kFileNotFound)
      << "equals is not contains";
  failures().Clear();
  EXPECT_EQ(files().GetAttributes("C:\\work\\other.txt", attributes), error::kSuccess);
}

TEST_F(FakePlatformTest, TheCallLogShowsWhatHappened) {
  ASSERT_EQ(files().PutFile("C:\\work\\a.txt", "a"), error::kSuccess);
  failures().ClearLog();
  const std::uint32_t before = failures().TotalCalls();
  files().Move("C:\\work\\a.txt", "C:\\work\\b.txt");
  files().Delete("C:\\work\\b.txt");
  ASSERT_EQ(failures().Log().size(), 2u);
  EXPECT_EQ(failures().Log()[0].operation, "MoveFileA");
  EXPECT_EQ(failures().Log()[0].path, "C:\\work\\a.txt");
  EXPECT_EQ(failures().Log()[0].path2, "C:\\work\\b.txt");
  EXPECT_EQ(failures().Log()[1].operation, "DeleteFileA");
  EXPECT_EQ(failures().TotalCalls(), before + 2);
  EXPECT_EQ(failures().Calls("CopyFileA"), 0u);
  platform_.System().CompareNoCase("a", "b");
  EXPECT_EQ(failures().Log().size(), 2u) << "comparisons are not logged";
}

TEST_F(FakePlatformTest, RegistryFailuresMatchTheFullKeyPath) {
  failures().FailPath("RegCreateKeyExA", "Software\\Classes\\Orvane", error::kAccessDenied);
  RegKey key;
  EXPECT_EQ(RegKey::Create(platform_.Registry(), reg_root::kClassesRoot, "orvane\\shell", key), error::kAccessDenied);
  EXPECT_EQ(RegKey::Create(platform_.Registry(), reg_root::kCurrentUser, "Software\\Orvane", key), error::kSuccess);
  EXPECT_EQ(failures().Log().back().path, "HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\Orvane");
}

TEST_F(FakePlatformTest, ProfileFailuresReadAsDefaultsAndLeaveTheFile) {
  const std::string file = "C:\\work\\setup.ini";
  ASSERT_EQ(platform_.Profile().WriteString("Setup", "Title", "T", file), error::kSuccess);
  failures().FailCall("GetPrivateProfileStringA", 1, error::kAccessDenied);
  std::string buffer;
  EXPECT_EQ(platform_.Profile().GetString("Setup", "Title", "none", buffer, 64, file), 4u);
  EXPECT_EQ(buffer, "none");
  failures().FailPath("WritePrivateProfileStringA", "setup.ini", error::kAccessDenied);
  EXPECT_EQ(platform_.Profile().WriteString("Setup", "Title", "U", file), error::kAccessDenied);
  EXPECT_EQ(Read(file), "[Setup]\r\nTitle=T\r\n");
}

TEST_F(FakePlatformTest, FindNextCanFail) {
  for (const char* name : {"a1", "b1", "c1"}) ASSERT_EQ(files().PutFile(std::string("C:\\work\\") + name, ""), 0u);
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  ASSERT_EQ(files().FindFirst("C:\\work\\?1", entry, search), error::kSuccess);
  EXPECT_EQ(entry.name, "a1");
  failures().FailCall("FindNextFileA", 1, error::kNotEnoughMemory);
  EXPECT_EQ(search->Next(entry), error::kNotEnoughMemory);
  EXPECT_EQ(search->Next(entry), error::kSuccess);
  EXPECT_EQ(entry.name, "b1");
}

TEST_F(FakePlatformTest, VolumesAndMovesBetweenThem) {
  EXPECT_EQ(files().CreateFolder("D:\\data"), error::kPathNotFound);
  files().AddVolume('d');
  ASSERT_EQ(files().CreateFolder("D:\\data"), error::kSuccess);
  ASSERT_EQ(files().PutFile("C:\\work\\a.txt", "A"), error::kSuccess);
  ASSERT_EQ(files().SetLastWriteTime("C:\\work\\a.txt", 127000000000000000ull), error::kSuccess);
  EXPECT_EQ(files().Move("C:\\work\\a.txt", "d:\\data\\a.txt"), error::kSuccess);
  EXPECT_EQ(Read("D:\\data\\a.txt"), "A");
  FileTime time = 0;
  EXPECT_EQ(files().GetLastWriteTime("D:\\data\\a.txt", time), error::kSuccess);
  EXPECT_EQ(time, 127000000000000000ull);
  EXPECT_EQ(files().Move("C:\\work", "D:\\work"), error::kNotSameDevice) << "folders stay on their volume";
}

TEST_F(FakePlatformTest, SizesBeyondFourGigabytes) {
  ASSERT_EQ(files().PutFile("C:\\work\\big.iso", "head"), error::kSuccess);
  const std::uint64_t size = 5ull << 30;
  ASSERT_EQ(files().SetFileSize("C:\\work\\big.iso", size), error::kSuccess);
  ASSERT_EQ(files().Copy("C:\\work\\big.iso", "C:\\work\\copy.iso", true), error::kSuccess);
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  ASSERT_EQ(files().FindFirst("C:\\work\\copy.iso", entry, search), error::kSuccess);
  EXPECT_EQ(entry.size, size);
}

TEST_F(FakePlatformTest, TheClockMovesOnlyWhenSlept) {
  SystemApi& system = platform_.System();
  const std::uint32_t start = system.TickCount();
  EXPECT_EQ(system.TickCount(), start);
  ASSERT_EQ(files().PutFile("C:\\work\\early.txt", ""), error::kSuccess);
  system.Sleep(1500);
  EXPECT_EQ(system.TickCount(), start + 1500);
  ASSERT_EQ(files().PutFile("C:\\work\\late.txt", ""), error::kSuccess);
  FileTime early = 0;
  FileTime late = 0;
  ASSERT_EQ(files().GetLastWriteTime("C:\\work\\early.txt", early), error::kSuccess);
  ASSERT_EQ(files().GetLastWriteTime("C:\\work\\late.txt", late), error::kSuccess);
  EXPECT_EQ(late - early, 1500u * 10000u) << "file times are in 100 ns units";
}

TEST_F(FakePlatformTest, AJapaneseWindowsXpByDefault) {
  SystemApi& system = platform_.System();
  EXPECT_EQ(system.WindowsFolder(), "C:\\WINDOWS");
  EXPECT_TRUE(FolderExists(files(), system.SystemFolder()));
  EXPECT_TRUE(FolderExists(files(), system.TempFolder()));
  const VersionInfo version = system.Version();
  EXPECT_EQ(version.majorVersion, 5u);
  EXPECT_EQ(version.minorVersion, 1u);
  EXPECT_EQ(version.platformId, platform_id::kWin32Nt);

  platform_.SetFolders("C:\\WINNT", "C:\\WINNT\\system32", "C:\\TEMP\\");
  EXPECT_TRUE(FolderExists(files(), "C:\\WINNT\\system32"));
  EXPECT_TRUE(FolderExists(files(), "C:\\TEMP"));
  ASSERT_EQ(platform_.Profile().WriteString("Orvane", "Key", "1", "ODSET98.INI"), error::kSuccess);
  EXPECT_TRUE(FileExists(files(), "C:\\WINNT\\ODSET98.INI")) << "a bare file name lives in the Windows folder";
}

// Windows refuses to replace a read-only file; under Wine, run as root, the check is
// skipped, so only the fake can prove it.
TEST_F(FakePlatformTest, ReadOnlyFilesAreNotReplaced) {
  ASSERT_EQ(files().PutFile("C:\\work\\a.txt", "A"), error::kSuccess);
  ASSERT_EQ(files().PutFile("C:\\work\\ro.txt", "R"), error::kSuccess);
  ASSERT_EQ(files().SetAttributes("C:\\work\\ro.txt", attribute::kReadOnly), error::kSuccess);
  EXPECT_EQ(files().Copy("C:\\work\\a.txt", "C:\\work\\ro.txt", false), error::kAccessDenied);
  EXPECT_EQ(files().WriteContents("C:\\work\\ro.txt", "x"), error::kAccessDenied);
  EXPECT_EQ(Read("C:\\work\\ro.txt"), "R");
}

// Windows' spelling by default (the contract checks it); Wine's on request.
TEST_F(FakePlatformTest, CaseOnlyRenamesCanKeepTheOldSpellingAsWineDoes) {
  ASSERT_EQ(files().PutFile("C:\\work\\photo.jpg", "P"), error::kSuccess);
  files().SetCaseOnlyRenameChangesName(false);
  ASSERT_EQ(files().Move("C:\\work\\photo.jpg", "C:\\work\\Photo.JPG"), error::kSuccess);
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  ASSERT_EQ(files().FindFirst("C:\\work\\*.jpg", entry, search), error::kSuccess);
  EXPECT_EQ(entry.name, "photo.jpg");
}

TEST_F(FakePlatformTest, LongNamesGetNumberedShortNames) {
  ASSERT_EQ(files().PutFile("C:\\work\\Long File Name.text", "1"), error::kSuccess);
  ASSERT_EQ(files().PutFile("C:\\work\\Long File Other.text", "2"), error::kSuccess);
  ASSERT_EQ(files().PutFile("C:\\work\\予定表ソフト一覧.txt", "3"), error::kSuccess);
  std::string shortPath;
  ASSERT_EQ(files().ShortPathName("C:\\work\\Long File Other.text", shortPath), error::kSuccess);
  EXPECT_EQ(shortPath, "C:\\work\\LONGFI~2.TEX");
  EXPECT_EQ(Read("c:\\WORK\\longfi~1.tex"), "1");
  ASSERT_EQ(files().ShortPathName("C:\\work\\予定表ソフト一覧.txt", shortPath), error::kSuccess);
  EXPECT_BYTES(shortPath, "C:\\work\\予定表~1.TXT");
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  ASSERT_EQ(files().FindFirst("C:\\work\\Long File Name.text", entry, search), error::kSuccess);
  EXPECT_EQ(entry.shortName, "LONGFI~1.TEX");
}

TEST_F(FakePlatformTest, RegistryHandlesAreCountedAndOutliveTheirKey) {
  RegistryApi& registry = platform_.Registry();
  {
    RegKey key;
    ASSERT_EQ(RegKey::Create(registry, reg_root::kCurrentUser, "Software\\Orvane\\Leaf", key), error::kSuccess);
    EXPECT_EQ(platform_.Registry().OpenHandles(), 1u);
    ASSERT_EQ(registry.DeleteKey(reg_root::kCurrentUser, "Software\\Orvane\\Leaf"), error::kSuccess);
    EXPECT_EQ(SetDwordValue(registry, key.Get(), "v", 1), error::kKeyDeleted);
  }
  EXPECT_EQ(platform_.Registry().OpenHandles(), 0u);
  EXPECT_EQ(registry.CloseKey(0x1234), error::kInvalidHandle);
}

// Later tools rename folders of 100,000 files; every step is a map access.
TEST_F(FakePlatformTest, AHundredThousandFilesInOneFolder) {
  failures().SetLogging(false);
  const int count = 100000;
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(files().WriteContents("C:\\work\\img" + std::to_string(i) + ".jpg", ""), error::kSuccess);
  }
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(files().Move("C:\\work\\IMG" + std::to_string(i) + ".JPG", "C:\\work\\photo" + std::to_string(i) + ".jpg"),
              error::kSuccess);
  }
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  ASSERT_EQ(files().FindFirst("C:\\work\\photo*", entry, search), error::kSuccess);
  int found = 1;
  while (search->Next(entry) == error::kSuccess) ++found;
  EXPECT_EQ(found, count);
  EXPECT_EQ(failures().Log().size(), 0u);
  EXPECT_EQ(failures().Calls("MoveFileA"), static_cast<std::uint32_t>(count));
}

}  // namespace
}  // namespace ov::platform
