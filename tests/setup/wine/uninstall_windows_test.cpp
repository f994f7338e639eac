// The uninstall run against the real system under Wine: a small installation in a scratch
// folder, its record in a scratch work folder, removed through the real shell, registry
// and profile functions.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_install.h"
#include "setup/engine/uninstall_record.h"
#include "setup/engine/uninstall_run.h"
#include "setup/text/str_op.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

class AnsweringView : public UninstallRunView {
 public:
  UninstallChoices choices;
  std::vector<std::string> sharedQuestions;
  std::string details;
  std::string completion;
  UninstallChoices ReadChoices() override { return choices; }
  void DisableOptions() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  SharedAnswer AskSharedFile(const std::string& text) override {
    sharedQuestions.push_back(text);
    return SharedAnswer::kYes;
  }
  void ShowFailureDetails(const std::string&, const std::string& text) override { details = text; }
  bool EventButtonPressed() override { return true; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string& caption) override { completion = caption; }
  void Beep() override {}
};

class UninstallWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.mode = "UNSETUP";
    context_.folders.osKind = OsKindOf(platform_.System().Version());
    ResolveFolderTable(platform_, context_.folders, context_.folders[Macro::kWin]);
    const std::string id = std::to_string(GetCurrentProcessId());
    scratch_ = context_.folders[Macro::kTmp] + "ovuninst" + id + "\\";
    app_ = scratch_ + "App\\";
    tag_ = "OvUninstTest" + id;
    startup_.mode = "UNSETUP";
    startup_.workFolder = scratch_ + "work\\";
    startup_.scriptCopy = startup_.workFolder + "UNSETUP.INI";
    ASSERT_TRUE(ForceFolders(context_, app_ + "bin\\"));
    ASSERT_TRUE(ForceFolders(context_, startup_.workFolder));
  }
  void TearDown() override {
    SetCurrentDirectoryA(context_.folders[Macro::kTmp].c_str());
    DeleteFileSilently(context_, scratch_);
    DeleteRegistryKey(context_, "(Cuser)", "Software\\" + tag_);
    DeleteRegistryKey(context_, "(Local)", std::string(kUninstallKeyPrefix) + tag_);
    DeleteRegistryKey(context_, "(Class)", ".ov" + tag_);
    DeleteRegistryKey(context_, "(Class)", "ov" + tag_ + "_auto_file");
    WritePrivateProfileStringA(tag_.c_str(), nullptr, nullptr, (context_.folders[Macro::kWin] + "ODSET98.INI").c_str());
  }
  void Put(const std::string& path) { ASSERT_EQ(platform_.Files().WriteContents(path, "data"), 0u); }
  bool Exists(const std::string& path) { return GetFileAttributesA(DropSeparator(path, "B").c_str()) != INVALID_FILE_ATTRIBUTES; }
  bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  void CreateKey(RegHandle root, const std::string& path) {
    RegKey key;
    ASSERT_EQ(RegKey::Create(platform_.Registry(), root, path, key), 0u);
  }

  Win32InstallPlatform platform_;
  ui::headless::HeadlessBackend ui_;
  EngineContext context_{platform_, ui_};
  StartupValues startup_;
  AnsweringView view_;
  std::string scratch_, app_, tag_;
};

TEST_F(UninstallWindowsTest, APackageIsRemovedAndTheUsersFileKeepsItsFolder) {
  for (const char* name : {"tool.exe", "shared.dll", "data.ini", "run.log", "bin\\helper.exe", "user.txt"}) {
    Put(app_ + name);
  }
  ChangeSharedDllCount(context_, app_ + "shared.dll", true);  // there already: counted twice
  ChangeSharedDllCount(context_, app_ + "shared.dll", false);  // and back to one
  ASSERT_EQ(GetSharedDllCount(context_, app_ + "shared.dll"), 1);
  CreateKey(reg_root::kCurrentUser, "Software\\" + tag_ + "\\Sub");
  CreateKey(reg_root::kClassesRoot, ".ov" + tag_);
  CreateKey(reg_root::kClassesRoot, "ov" + tag_ + "_auto_file\\shell\\open\\command");
  CreateKey(reg_root::kLocalMachine, std::string(kUninstallKeyPrefix) + tag_);
  const std::string odset = context_.folders[Macro::kWin] + "ODSET98.INI";
  WritePrivateProfileStringA(tag_.c_str(), "Folder", app_.c_str(), odset.c_str());
  const std::string record =
      "[DeleteFolder]\r\nFolder1=" + app_ + "bin\\\r\n[DeleteFile]\r\nFile1=" + app_ + "tool.exe\r\nFile2=" + app_ +
      "shared.dll,/S\r\nFile3=" + app_ + "bin\\helper.exe\r\nFile4=" + app_ + "missing.exe\r\n[DeleteRegistry]\r\n"
      "Key1=Software\\" + tag_ + "\r\n[AddDeleteFile]\r\nFile1=" + app_ + "*.log\r\n[RestoreRelate]\r\nKey1=ov" + tag_ +
      ",\r\n[UnSetupRegistryKey]\r\nKey=" + kUninstallKeyPrefix + tag_ + "\r\n[ProgramID]\r\nID=" + tag_ + "\r\n";
  ASSERT_EQ(platform_.Files().WriteContents(startup_.scriptCopy, record), 0u);
  view_.choices.folder = app_;
  view_.choices.desktopChecked = true;  // "*.INI"
  ui_.QueueAnswer(IDYES);               // show the details

  UninstallRun run(context_, startup_, view_);
  ASSERT_EQ(run.Run(), UninstallEnd::kCompleted);

  for (const char* name : {"tool.exe", "shared.dll", "data.ini", "run.log", "bin\\"}) {
    EXPECT_FALSE(Exists(app_ + name)) << name;
  }
  EXPECT_TRUE(Exists(app_ + "user.txt"));
  EXPECT_EQ(view_.sharedQuestions.size(), 1u);
  EXPECT_EQ(GetSharedDllCount(context_, app_ + "shared.dll"), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + tag_));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".ov" + tag_));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ov" + tag_ + "_auto_file"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKeyPrefix) + tag_));
  char folder[MAX_PATH] = {};
  GetPrivateProfileStringA(tag_.c_str(), "Folder", "", folder, MAX_PATH, odset.c_str());
  EXPECT_STREQ(folder, "");
  // The temporary folder is current, so none of the removed folders was in use.
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(platform_.System().CompareNoCase(EnsureSeparator(current, "B"), context_.folders[Macro::kTmp]), 0);
  // The missing file and the folder the user's file keeps, each with the system's own
  // reason: "not found", and 145 for a folder that is not empty.
  EXPECT_EQ(run.FailureCount(), 2);
  EXPECT_BYTES(view_.details,
               "<File> " + app_ + "missing.exe\r\n" + SystemErrorText(context_, 2) + "\r\n<SetupFolder> " + app_ +
                   "\r\nファイル・フォルダが残っているため、インストールフォルダを削除できませんでした。"
                   "エクスプローラなどから、直接削除してください。\r\n\r\n");
  EXPECT_FALSE(view_.completion.empty());
}

// A wildcard in a folder that must stay (made one here by naming the scratch folder as the
// user's documents) takes its files through the real shell and leaves its folders.
TEST_F(UninstallWindowsTest, AWildcardInAProtectedFolderTakesFilesOnly) {
  const std::string kept = scratch_ + "docs\\";
  ASSERT_TRUE(RemoveDirectoryA((app_ + "bin").c_str()));  // the install folder is empty
  ASSERT_TRUE(ForceFolders(context_, kept + "sub\\"));
  Put(kept + "a.txt");
  Put(kept + "b.dat");
  Put(kept + "sub\\c.txt");
  context_.folders[Macro::kMyd] = kept;
  ASSERT_EQ(platform_.Files().WriteContents(startup_.scriptCopy, "[AddDeleteFile]\r\nFile1=" + kept + "*.*\r\n"), 0u);
  view_.choices.folder = app_;
  UninstallRun run(context_, startup_, view_);
  run.Run();
  EXPECT_FALSE(Exists(kept + "a.txt"));
  EXPECT_FALSE(Exists(kept + "b.dat"));
  EXPECT_TRUE(Exists(kept + "sub\\c.txt"));
  EXPECT_FALSE(Exists(app_));
  EXPECT_EQ(run.FailureCount(), 0) << test::Readable(run.Details());
}

}  // namespace
}  // namespace ov::setup
