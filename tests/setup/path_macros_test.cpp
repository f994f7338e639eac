// Path macros, the folder table and registry references, with the folder table injected
// through the in-memory Windows.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "setup/engine/path_macros.h"
#include "support/readable.h"

namespace ov::setup {
namespace {

using namespace platform;

// A Japanese Windows XP with its special folders, or a Windows 98 without the all-users ones.
class FolderTableTest : public ::testing::Test {
 protected:
  void SetUpXp() {
    shell().SetSpecialFolder(csidl::kWindows, "C:\\WINDOWS");
    shell().SetSpecialFolder(csidl::kSystem, "C:\\WINDOWS\\system32");
    shell().SetSpecialFolder(csidl::kProgramFiles, "C:\\Program Files");
    shell().SetSpecialFolder(csidl::kPersonal, "C:\\Documents and Settings\\taro\\My Documents");
    shell().SetSpecialFolder(csidl::kStartMenu, "C:\\Documents and Settings\\taro\\スタート メニュー");
    shell().SetSpecialFolder(csidl::kPrograms, "C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム");
    shell().SetSpecialFolder(csidl::kDesktopDirectory, "C:\\Documents and Settings\\taro\\デスクトップ");
    shell().SetSpecialFolder(csidl::kStartup, "C:\\Documents and Settings\\taro\\スタートアップ");
    shell().SetSpecialFolder(csidl::kSendTo, "C:\\Documents and Settings\\taro\\SendTo");
    shell().SetSpecialFolder(csidl::kCommonStartMenu, "C:\\Documents and Settings\\All Users\\スタート メニュー");
    shell().SetSpecialFolder(csidl::kCommonPrograms, "C:\\Documents and Settings\\All Users\\プログラム");
    shell().SetSpecialFolder(csidl::kCommonDesktopDirectory, "C:\\Documents and Settings\\All Users\\デスクトップ");
    shell().SetSpecialFolder(csidl::kCommonStartup, "C:\\Documents and Settings\\All Users\\スタートアップ");
    shell().SetSpecialFolder(csidl::kCommonDocuments, "C:\\Documents and Settings\\All Users\\Documents");
    platform_.Files().MakeFolders("C:\\Program Files");
  }
  void SetUpWindows98() {
    VersionInfo version;
    version.majorVersion = 4;
    version.minorVersion = 10;
    version.platformId = platform_id::kWin32Windows;
    platform_.System().SetVersion(version);
    platform_.SetFolders("C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\TEMP\\");
    shell().ClearSpecialFolders();
    shell().SetSpecialFolder(csidl::kStartMenu, "C:\\WINDOWS\\ｽﾀｰﾄ ﾒﾆｭｰ");
    shell().SetSpecialFolder(csidl::kPrograms, "C:\\WINDOWS\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ");
    shell().SetSpecialFolder(csidl::kDesktopDirectory, "C:\\WINDOWS\\ﾃﾞｽｸﾄｯﾌﾟ");
    shell().SetSpecialFolder(csidl::kStartup, "C:\\WINDOWS\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ｽﾀｰﾄｱｯﾌﾟ");
    shell().SetSpecialFolder(csidl::kSendTo, "C:\\WINDOWS\\SendTo");
    shell().SetSpecialFolder(csidl::kCommonDocuments, "C:\\WINDOWS\\All Users\\Documents");
  }
  std::vector<std::string> Resolve(const std::string& source = "D:\\SETUP\\") {
    table_.osKind = OsKindOf(platform_.System().Version());
    return ResolveFolderTable(platform_, table_, source);
  }
  fake::FakeInstallShell& shell() { return platform_.InstallShell(); }

  FakePlatform platform_;
  PathMacroTable table_;
};

TEST_F(FolderTableTest, XpTakesEveryValueFromItsSpecialFolder) {
  SetUpXp();
  EXPECT_TRUE(Resolve().empty());
  const std::pair<Macro, const char*> expected[] = {
      {Macro::kApp, "(App)"},
      {Macro::kPrg, "C:\\Program Files\\"},
      {Macro::kWin, "C:\\WINDOWS\\"},
      {Macro::kSys, "C:\\WINDOWS\\system32\\"},
      {Macro::kTmp, "C:\\WINDOWS\\TEMP\\"},
      {Macro::kBoo, "C:"},
      {Macro::kSet, ""},
      {Macro::kEdr, "D:"},
      {Macro::kSmn, "C:\\Documents and Settings\\taro\\スタート メニュー\\"},
      {Macro::kSen, "C:\\Documents and Settings\\taro\\SendTo\\"},
      {Macro::kMyd, "C:\\Documents and Settings\\taro\\My Documents\\"},
      {Macro::kCSmn, "C:\\Documents and Settings\\All Users\\スタート メニュー\\"},
      {Macro::kCSta, "C:\\Documents and Settings\\All Users\\プログラム\\"},
      {Macro::kCDsk, "C:\\Documents and Settings\\All Users\\デスクトップ\\"},
      {Macro::kCSup, "C:\\Documents and Settings\\All Users\\スタートアップ\\"},
      {Macro::kCMyd, "C:\\Documents and Settings\\All Users\\Documents\\"},
  };
  for (const auto& [macro, value] : expected) EXPECT_BYTES(table_[macro], value) << MacroToken(macro);
  EXPECT_EQ(table_.osKind, "NT");
}

TEST_F(FolderTableTest, Windows98WithoutShfolderGivesEveryAllUsersTokenItsOwnValue) {
  SetUpWindows98();
  EXPECT_TRUE(Resolve().empty());
  EXPECT_EQ(table_.osKind, "notNT");
  EXPECT_FALSE(table_.hasShfolder);
  EXPECT_BYTES(table_[Macro::kCSmn], table_[Macro::kSmn]);
  EXPECT_BYTES(table_[Macro::kCSta], table_[Macro::kSta]);
  EXPECT_BYTES(table_[Macro::kCDsk], table_[Macro::kDsk]);
  EXPECT_BYTES(table_[Macro::kCSup], table_[Macro::kSup]);
  EXPECT_BYTES(table_[Macro::kCMyd], table_[Macro::kMyd]);
  // No special folders for Windows, the system and Program Files: the fallbacks.
  EXPECT_BYTES(table_[Macro::kWin], "C:\\WINDOWS\\");
  EXPECT_BYTES(table_[Macro::kSys], "C:\\WINDOWS\\SYSTEM\\");
  EXPECT_BYTES(table_[Macro::kPrg], "C:\\Program Files\\");
  EXPECT_BYTES(table_[Macro::kMyd], "C:\\My Documents\\");
}

TEST_F(FolderTableTest, Windows98WithShfolderTakesTheSharedDocuments) {
  SetUpWindows98();
  platform_.Files().PutFile("C:\\WINDOWS\\SYSTEM\\SHFOLDER.DLL", "MZ");
  Resolve();
  EXPECT_TRUE(table_.hasShfolder);
  EXPECT_BYTES(table_[Macro::kCMyd], "C:\\WINDOWS\\All Users\\Documents\\");
  EXPECT_BYTES(table_[Macro::kCSmn], table_[Macro::kSmn]);
}

TEST_F(FolderTableTest, ProgramFilesFallsBackToTheRegistryThenToTheWindowsDrive) {
  SetUpXp();
  shell().RemoveSpecialFolder(csidl::kProgramFiles);
  platform_.Files().MakeFolders("D:\\Apps");
  RegKey key;
  ASSERT_EQ(RegKey::Create(platform_.Registry(), reg_root::kLocalMachine,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", key), 0u);
  ASSERT_EQ(SetStringValue(platform_.Registry(), key.Get(), "ProgramFilesDir", "C:\\Apps"), 0u);
  platform_.Files().MakeFolders("C:\\Apps");
  Resolve();
  EXPECT_BYTES(table_[Macro::kPrg], "C:\\Apps\\");

  // The registry names a folder that does not exist.
  ASSERT_EQ(SetStringValue(platform_.Registry(), key.Get(), "ProgramFilesDir", "C:\\Gone"), 0u);
  Resolve();
  EXPECT_BYTES(table_[Macro::kPrg], "C:\\Program Files\\");
}

TEST_F(FolderTableTest, FailedQueriesLeaveARootAndMissingSystemFoldersAreFatal) {
  shell().ClearSpecialFolders();
  platform_.System().SetFolders("", "", "C:\\WINDOWS\\TEMP\\");
  const std::vector<std::string> fatal = Resolve("E:\\DISK1\\");
  ASSERT_EQ(fatal.size(), 2u);
  EXPECT_BYTES(fatal[0], "【致命的エラー → Windowsフォルダ取得失敗】");
  EXPECT_BYTES(fatal[1], "【致命的エラー → WindowsSystemフォルダ取得失敗】");
  for (Macro macro : {Macro::kSmn, Macro::kSta, Macro::kDsk, Macro::kSup, Macro::kSen, Macro::kCSmn}) {
    EXPECT_BYTES(table_[macro], "\\") << MacroToken(macro);
  }
  EXPECT_BYTES(table_[Macro::kEdr], "E:");
}

TEST_F(FolderTableTest, TempFolderFallsBackToTheSourceFolder) {
  platform_.System().SetFolders("C:\\WINDOWS", "C:\\WINDOWS\\system32", "");
  Resolve("E:\\DISK1");
  EXPECT_BYTES(table_[Macro::kTmp], "E:\\DISK1\\");
}

class ExpandTest : public ::testing::Test {
 protected:
  ExpandTest() {
    table_[Macro::kWin] = "C:\\WINDOWS\\";
    table_[Macro::kSys] = "C:\\WINDOWS\\SYSTEM32\\";
    table_[Macro::kPrg] = "C:\\Program Files\\";
    table_[Macro::kDsk] = "C:\\デスクトップ\\";
  }
  std::string Expand(const std::string& text) { return ExpandPathMacros(platform_.System(), table_, text); }
  FakePlatform platform_;
  PathMacroTable table_;
};

TEST_F(ExpandTest, ExpandsTokensInAnyCaseWithOneSeparator) {
  SetInstallFolder(table_, "C:\\Tools", true);
  const std::pair<const char*, const char*> rows[] = {
      {"(App)\\bin\\a.exe", "C:\\Tools\\bin\\a.exe"},
      {"(App)bin\\a.exe", "C:\\Tools\\bin\\a.exe"},
      {"(App)\\\\bin", "C:\\Tools\\\\bin"},
      {"(win)\\a.ini", "C:\\WINDOWS\\a.ini"},
      {"(WIN)\\a.ini", "C:\\WINDOWS\\a.ini"},
      {"(Sys)\\a.dll;(Sys)\\b.dll", "C:\\WINDOWS\\SYSTEM32\\a.dll;C:\\WINDOWS\\SYSTEM32\\b.dll"},
      {"(Set)", "C:\\"},
      {"(Dsk)\\表.lnk", "C:\\デスクトップ\\表.lnk"},
      {"no tokens (Xyz)", "no tokens (Xyz)"},
      {"", ""},
      {"(App", "(App"},
  };
  for (const auto& [text, expected] : rows) EXPECT_BYTES(Expand(text), expected) << text;
}

TEST_F(ExpandTest, BeforeTheInstallFolderIsKnown) {
  EXPECT_BYTES(Expand("(App)x"), "(App)x");
  EXPECT_BYTES(Expand("(app)\\(App)"), "(App)\\(App)");
  EXPECT_BYTES(Expand("[(Set)]"), "[]");
  SetInstallFolder(table_, "D:\\Soft\\", true);
  EXPECT_BYTES(Expand("(Set)"), "D:\\");
  // The uninstall run sets only the folder.
  PathMacroTable uninstall;
  SetInstallFolder(uninstall, "D:\\Soft", false);
  EXPECT_BYTES(uninstall[Macro::kApp], "D:\\Soft\\");
  EXPECT_BYTES(uninstall[Macro::kSet], "");
}

TEST_F(ExpandTest, AValueInsertedEarlierIsExpandedByLaterTokens) {
  SetInstallFolder(table_, "(Prg)Acme", true);
  EXPECT_BYTES(Expand("(App)a.exe"), "C:\\Program Files\\Acme\\a.exe");
}

TEST_F(ExpandTest, ReplaceTokenContinuesBehindTheValue) {
  SystemApi& system = platform_.System();
  EXPECT_BYTES(ReplaceToken(system, "%N% and %n%", "%N%", "<%N%>"), "<%N%> and <%N%>");
  EXPECT_BYTES(ReplaceToken(system, "a(x)b", "(X)", ""), "ab");
  EXPECT_BYTES(ReplaceToken(system, "(x)\\\\", "(x)", "C:\\"), "C:\\\\");
  // A value ending in a double-byte character whose second byte is 0x5C keeps the "\".
  EXPECT_BYTES(ReplaceToken(system, "(x)\\a", "(x)", "ソ"), "ソ\\a");
}

TEST(FindNoCase, PositionsInBytesOfTheUnmappedText) {
  FakePlatform platform;
  struct Row {
    const char* needle;
    const char* haystack;
    std::size_t position;
  } rows[] = {
      {".DLL", "C:\\x\\plugin.dll.bak", 12},
      {".dll", "C:\\X\\A.DLL", 7},
      {"b", "abc", 2},
      {"x", "abc", 0},
      {"", "abc", 0},
      {"abcd", "abc", 0},
      {"ｄ", "表ａｂｃＤ", 9},
      // A plain byte search: the second byte of "ソ" is 0x5C.
      {"\\", "ソ", 2},
      {"(APP)", "表(app)", 3},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FindNoCase(platform.System(), row.needle, row.haystack), row.position)
        << test::Readable(row.needle) << " in " << test::Readable(row.haystack);
  }
}

TEST(ParseRegistryRoot, RootTokensAndKeyPaths) {
  struct Row {
    const char* reference;
    RegHandle root;
    const char* keyPath;
  } rows[] = {
      {"(Local)\\SOFTWARE\\Acme\\", reg_root::kLocalMachine, "SOFTWARE\\Acme"},
      {"(Class)\\.txt", reg_root::kClassesRoot, ".txt"},
      {"(Users)\\.DEFAULT\\Software", reg_root::kUsers, ".DEFAULT\\Software"},
      {"(Cuser)\\Software\\Acme", reg_root::kCurrentUser, "Software\\Acme"},
      {"SOFTWARE\\Acme", reg_root::kCurrentUser, "SOFTWARE\\Acme"},
      {"(local)SOFTWARE\\Acme", reg_root::kCurrentUser, "SOFTWARE\\Acme"},
      {"(Cls)\\SOFTWARE\\Acme", reg_root::kCurrentUser, "OFTWARE\\Acme"},
      {"ABCDEF)ghi", reg_root::kCurrentUser, "ghi"},
      {"\\\\Software\\\\", reg_root::kCurrentUser, "\\Software\\"},
      {"(Local)", reg_root::kLocalMachine, ""},
      {"(Lo", reg_root::kCurrentUser, ""},
      {"", reg_root::kCurrentUser, ""},
  };
  for (const Row& row : rows) {
    const RegistryReference parsed = ParseRegistryRoot(row.reference);
    EXPECT_EQ(parsed.root, row.root) << row.reference;
    EXPECT_BYTES(parsed.keyPath, row.keyPath) << row.reference;
  }
}

}  // namespace
}  // namespace ov::setup
