// The installer's utilities against the real system under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/cp932.h"
#include "platform/win32/win32_install.h"
#include "setup/engine/file_utils.h"
#include "setup/text/str_op.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

// The folder of this test program, with "\".
std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

class EngineWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.folders.osKind = OsKindOf(platform_.System().Version());
    fatal_ = ResolveFolderTable(platform_, context_.folders, ProgramFolder());
    scratch_ = context_.folders[Macro::kTmp] + "ovsetup" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(ForceFolders(context_, scratch_));
  }
  void TearDown() override { DeleteFolderContents(context_, scratch_, "*.*|"); }

  std::string Contents(const std::string& path) {
    std::string contents;
    platform_.Files().ReadContents(path, contents);
    return contents;
  }
  std::string PendingRenames() {
    RegKey key;
    std::string data;
    std::uint32_t type = 0;
    if (RegKey::Open(platform_.Registry(), reg_root::kLocalMachine, kSessionManagerKey, key) == 0) {
      platform_.Registry().QueryValue(key.Get(), kPendingRenamesValue, type, data);
    }
    return data;
  }
  std::string DefaultValue(RegHandle root, const std::string& key, const std::string& name = "") {
    RegKey opened;
    std::string text;
    if (RegKey::Open(platform_.Registry(), root, key, opened) == 0) {
      QueryStringValue(platform_.Registry(), opened.Get(), name, text);
    }
    return text;
  }

  Win32InstallPlatform platform_;
  ui::headless::HeadlessBackend ui_;
  EngineContext context_{platform_, ui_};
  std::vector<std::string> fatal_;
  std::string scratch_;
};

TEST_F(EngineWindowsTest, TheFolderTableComesFromTheSystem) {
  EXPECT_TRUE(fatal_.empty());
  EXPECT_EQ(context_.folders.osKind, "NT");
  EXPECT_EQ(platform_.System().CompareNoCase(context_.folders[Macro::kWin],
                                             EnsureSeparator(platform_.System().WindowsFolder(), "B")), 0);
  EXPECT_EQ(context_.folders[Macro::kBoo], context_.folders[Macro::kWin].substr(0, 2));
  for (Macro macro : {Macro::kPrg, Macro::kSys, Macro::kSmn, Macro::kSta, Macro::kDsk, Macro::kCDsk, Macro::kCMyd}) {
    const std::string& value = context_.folders[macro];
    EXPECT_TRUE(value.size() > 3 && EndsWithSeparator(value)) << MacroToken(macro) << " " << test::Readable(value);
  }
  EXPECT_TRUE(FolderExists(context_, context_.folders[Macro::kPrg]));
  EXPECT_BYTES(ExpandPathMacros(platform_.System(), context_.folders, "(win)\\win.ini"),
               context_.folders[Macro::kWin] + "win.ini");
}

TEST_F(EngineWindowsTest, RegisterComponentWritesAndRemovesTheFiveEntries) {
  const std::string dll = scratch_ + "ovshellex.dll";
  ASSERT_EQ(CopyFileReplace(context_, ProgramFolder() + "ovshellex.dll", dll), 0u);
  const std::string clsid = "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";
  const std::string classKey = "CLSID\\" + clsid;
  ASSERT_TRUE(RegisterComponent(context_, dll, true));
  EXPECT_FALSE(DefaultValue(reg_root::kClassesRoot, classKey).empty());
  EXPECT_EQ(platform_.System().CompareNoCase(DefaultValue(reg_root::kClassesRoot, classKey + "\\InprocServer32"), dll),
            0);
  EXPECT_EQ(DefaultValue(reg_root::kClassesRoot, classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(DefaultValue(reg_root::kClassesRoot, "*\\shellex\\ContextMenuHandlers\\Orvane"), clsid);
  EXPECT_EQ(DefaultValue(reg_root::kClassesRoot, "Folder\\shellex\\ContextMenuHandlers\\Orvane"), clsid);
  EXPECT_TRUE(ui_.MessageBoxes().empty());

  EXPECT_FALSE(RegisterComponent(context_, dll, false));
  RegKey key;
  EXPECT_NE(RegKey::Open(platform_.Registry(), reg_root::kClassesRoot, classKey, key), 0u);
  EXPECT_NE(RegKey::Open(platform_.Registry(), reg_root::kClassesRoot, "*\\shellex\\ContextMenuHandlers\\Orvane", key),
            0u);
  // Deleting a component file unregisters it first: register again, then delete.
  ASSERT_TRUE(RegisterComponent(context_, dll, true));
  EXPECT_EQ(DeleteFileSilently(context_, dll), 0u);
  EXPECT_NE(RegKey::Open(platform_.Registry(), reg_root::kClassesRoot, classKey, key), 0u);
  EXPECT_FALSE(FileExists(platform_.Files(), dll));

  EXPECT_FALSE(RegisterComponent(context_, scratch_ + "missing.dll", true));
  ASSERT_EQ(ui_.MessageBoxes().size(), 1u);
  EXPECT_EQ(ui_.MessageBoxes()[0].caption, "OCX/DLL登録エラー(LoadLibrary)");
}

TEST_F(EngineWindowsTest, AShortcutIsCreatedAndReadBack) {
  const std::string target = scratch_ + "プログラム\\tool.exe";
  ASSERT_TRUE(ForceFolders(context_, scratch_ + "プログラム"));
  ASSERT_EQ(CopyFileReplace(context_, ProgramFolder() + "setup_child.exe", target), 0u);
  Error failure = 1;
  const std::string created =
      CreateShortcut(context_, target, scratch_ + "メニュー\\ツール", "", "/a \"b c\"", &failure);
  EXPECT_EQ(failure, 0u);
  EXPECT_BYTES(created, scratch_ + "メニュー\\ツール.lnk");
  ShellLink link;
  ASSERT_EQ(platform_.InstallShell().ReadShellLink(created, link), 0u);
  EXPECT_EQ(platform_.System().CompareNoCase(link.target, target), 0) << test::Readable(link.target);
  EXPECT_EQ(platform_.System().CompareNoCase(DropSeparator(link.workingDirectory, "B"), scratch_ + "プログラム"), 0)
      << test::Readable(link.workingDirectory);
  EXPECT_BYTES(link.arguments, "/a \"b c\"");
  // A shortcut as target is copied under the new name.
  EXPECT_BYTES(CreateShortcut(context_, created, scratch_ + "copy.LNK", "", ""), scratch_ + "copy.LNK");
  EXPECT_EQ(Contents(scratch_ + "copy.LNK"), Contents(created));
}

TEST_F(EngineWindowsTest, AnMscompressFileExpandsUnderItsRecordedUpperCaseName) {
  const std::string result = ExpandCompressedFile(context_, ProgramFolder() + "setup.ex_", scratch_ + "AUTO.EXT");
  const std::string staging = context_.folders[Macro::kTmp] + "EXPAND.ODT";
  EXPECT_BYTES(result, staging + "," + scratch_ + "SETUP.EXE");
  const std::string expected = Contents(ProgramFolder() + "setup.expected");
  ASSERT_GT(expected.size(), 1000u);
  EXPECT_EQ(Contents(staging), expected);
  platform_.Files().Delete(staging);
}

TEST_F(EngineWindowsTest, RestartOperationsShowInThePendingRenames) {
  const std::string before = PendingRenames();
  ASSERT_EQ(platform_.Files().WriteContents(scratch_ + "new.dll", "new"), 0u);
  ASSERT_EQ(platform_.Files().WriteContents(scratch_ + "in use.dll", "old"), 0u);
  ASSERT_TRUE(ReplaceAtRestart(context_, scratch_ + "new.dll", scratch_ + "in use.dll"));
  ASSERT_TRUE(DeleteAtRestart(context_, scratch_ + "in use.dll"));
  const std::string after = PendingRenames();
  EXPECT_TRUE(ui_.MessageBoxes().empty());
  // The new entries follow the old ones; the first names the staged copy in the Windows folder.
  const std::string entries = after.substr(before.size() >= 2 ? before.size() - 2 : 0);
  const std::string prefix = "\\??\\" + context_.folders[Macro::kWin] + "ODTMP";
  const std::size_t staged = entries.find(prefix);
  ASSERT_NE(staged, std::string::npos) << test::Readable(entries);
  const std::string stagedPath = entries.substr(staged + 4, entries.find('\0', staged) - staged - 4);
  EXPECT_EQ(Contents(stagedPath), "new");
  EXPECT_NE(entries.find("!\\??\\" + scratch_ + "in use.dll" + '\0'), std::string::npos) << test::Readable(entries);
  EXPECT_NE(entries.find("\\??\\" + scratch_ + "in use.dll" + '\0' + '\0'), std::string::npos);
  // Leave the registry and the Windows folder as they were.
  RegKey key;
  ASSERT_EQ(RegKey::Open(platform_.Registry(), reg_root::kLocalMachine, kSessionManagerKey, key), 0u);
  if (before.empty()) {
    platform_.Registry().DeleteValue(key.Get(), kPendingRenamesValue);
  } else {
    platform_.Registry().SetValue(key.Get(), kPendingRenamesValue, reg_type::kMultiString, before);
  }
  platform_.Files().Delete(stagedPath);
}

TEST_F(EngineWindowsTest, SharedDllCountsUnderTheMachineKey) {
  const std::string dll = scratch_ + "shared.dll";
  ASSERT_EQ(platform_.Files().WriteContents(dll, "MZ"), 0u);
  EXPECT_EQ(ChangeSharedDllCount(context_, dll, true), 2);
  EXPECT_EQ(ChangeSharedDllCount(context_, dll, true), 3);
  RegKey key;
  std::uint32_t value = 0;
  ASSERT_EQ(RegKey::Open(platform_.Registry(), reg_root::kLocalMachine,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", key), 0u);
  ASSERT_EQ(QueryDwordValue(platform_.Registry(), key.Get(), dll, value), 0u);
  EXPECT_EQ(value, 3u);
  EXPECT_EQ(ChangeSharedDllCount(context_, dll, false), 2);
  EXPECT_EQ(ChangeSharedDllCount(context_, dll, false), 1);
  EXPECT_EQ(ChangeSharedDllCount(context_, dll, false), 0);
  EXPECT_NE(QueryDwordValue(platform_.Registry(), key.Get(), dll, value), 0u);
  EXPECT_EQ(ChangeSharedDllCount(context_, dll, false), -1);
  EXPECT_NE(QueryDwordValue(platform_.Registry(), key.Get(), dll, value), 0u);
}

TEST_F(EngineWindowsTest, DeleteFileSilentlyWithAWildcardTakesFoldersToo) {
  FileApi& files = platform_.Files();
  ASSERT_EQ(files.WriteContents(scratch_ + "a.old", "a"), 0u);
  ASSERT_EQ(files.WriteContents(scratch_ + "表.old", "b"), 0u);
  ASSERT_TRUE(ForceFolders(context_, scratch_ + "dir.old\\inner"));
  ASSERT_EQ(files.WriteContents(scratch_ + "dir.old\\inner\\c.txt", "c"), 0u);
  ASSERT_EQ(files.WriteContents(scratch_ + "keep.txt", "k"), 0u);
  EXPECT_EQ(DeleteFileSilently(context_, scratch_ + "*.old"), 0u);
  EXPECT_FALSE(FileExists(files, scratch_ + "a.old"));
  EXPECT_FALSE(FileExists(files, scratch_ + "表.old"));
  EXPECT_FALSE(FolderExists(context_, scratch_ + "dir.old"));
  EXPECT_TRUE(FileExists(files, scratch_ + "keep.txt"));
  EXPECT_EQ(DeleteFileSilently(context_, scratch_ + "gone.txt"), error::kFileNotFound);
}

TEST_F(EngineWindowsTest, RunProgramWaitsForARealChild) {
  const std::string out = scratch_ + "child.txt";
  EXPECT_EQ(RunProgram(context_, ProgramFolder() + "setup_child.exe", out, 1, true), 0u);
  EXPECT_EQ(Contents(out), "ran");
  EXPECT_TRUE(ui_.MessageBoxes().empty());

  const std::string missing = scratch_ + "missing.exe";
  EXPECT_EQ(RunProgram(context_, missing, "/x", 1, true), error::kFileNotFound);
  ASSERT_EQ(ui_.MessageBoxes().size(), 1u);
  EXPECT_BYTES(ui_.MessageBoxes()[0].text, "プログラム実行失敗\r\n" + missing + " /x\r\n\r\n" +
                                                SystemErrorText(context_, error::kFileNotFound));
}

TEST_F(EngineWindowsTest, SystemErrorTextsAreFullWidth) {
  std::vector<std::string> texts;
  for (Error code : {error::kFileNotFound, error::kAccessDenied, error::kSharingViolation}) {
    const std::string text = SystemErrorText(context_, code);
    std::cout << code << ": " << test::Readable(text);
    ASSERT_GT(text.size(), 4u) << code;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::string body = text.substr(0, text.size() - 2);
    for (std::size_t i = 0; i < body.size(); i = base::NextChar(body, i)) {
      EXPECT_EQ(base::CharLength(body, i), 2u) << code << ": a half-width character at " << i;
    }
    texts.push_back(text);
  }
  EXPECT_NE(texts[0], texts[1]);
  EXPECT_NE(texts[1], texts[2]);
}

}  // namespace
}  // namespace ov::setup
