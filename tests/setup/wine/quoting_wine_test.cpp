// The command lines the install run builds, used the way Windows uses them, with an
// installation folder whose name holds blanks and double-byte characters ending in 0x5C:
// the uninstall entry starts SETUP.EXE's copy with the record path intact, an association
// runs its program with a document path that holds blanks, and the program started at the
// end gets its arguments after its own path.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "install_world.h"
#include "platform/win32/win32_install.h"
#include "setup/engine/file_utils.h"
#include "setup/engine/install_run.h"
#include "setup/engine/uninstall_record.h"
#include "setup/text/str_op.h"
#include "setup_driver/setup_driver.h"
#include "support/readable.h"
#include "support/win_files.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

using namespace driver;
using ov::test::ThisFolder;

// One installation by the real engine into "<temp>ov quote <pid>\表 ソフト 能\", with a
// Windows folder of its own ("<temp>ov quote <pid>\win dir\") for the uninstaller copy and
// ODSET98.INI; the uninstaller is the real SETUP.EXE.
class QuotedInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.mode = "SETUP";
    context_.folders.osKind = OsKindOf(platform_.System().Version());
    ResolveFolderTable(platform_, context_.folders, ThisFolder());
    const std::string id = std::to_string(GetCurrentProcessId());
    scratch_ = context_.folders[Macro::kTmp] + "ov quote " + id + "\\";
    app_ = scratch_ + "表 ソフト 能\\";
    windows_ = scratch_ + "win dir\\";
    tag_ = "OvQuote" + id;
    extension_ = "ovq" + id;
    startup_.programFolder = ThisFolder();
    startup_.workFolder = scratch_ + "work\\";
    startup_.scriptCopy = startup_.workFolder + "SETUP.INI";
    startup_.programId = tag_;
    startup_.setupTitle = tag_;
    startup_.unSetupTitle = tag_;
    startup_.unSetupString = "引抜";
    ASSERT_TRUE(ForceFolders(context_, app_));
    ASSERT_TRUE(ForceFolders(context_, windows_));
    ASSERT_TRUE(ForceFolders(context_, startup_.workFolder));
    context_.folders[Macro::kWin] = windows_;
    ASSERT_TRUE(CopyFileA((ThisFolder() + "SETUP.EXE").c_str(), (startup_.workFolder + "SETUPB.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ThisFolder() + "setup_arg_recorder.exe").c_str(), (app_ + "viewer.exe").c_str(), FALSE));
    view_.choices.folder = app_.substr(0, app_.size() - 1);
    view_.pollsBeforePress = 1;
  }
  void TearDown() override {
    SetCurrentDirectoryA(context_.folders[Macro::kTmp].c_str());
    DeleteFileSilently(context_, DropSeparator(scratch_, "B"));
    DeleteRegistryKey(context_, "(Local)", std::string(kUninstallKeyPrefix) + tag_);
    DeleteRegistryKey(context_, "(Class)", "." + extension_);
    DeleteRegistryKey(context_, "(Class)", extension_ + "_auto_file");
  }
  void Install(const std::string& script) {
    ASSERT_EQ(platform_.Files().WriteContents(startup_.scriptCopy, script), 0u);
    ui_.QueueAnswer(box::kYes);  // the association's question
    InstallRun run(context_, startup_, view_);
    ASSERT_EQ(run.Run(), RunEnd::kCompleted);
    ASSERT_EQ(run.FailureCount(), 0) << ov::test::Readable(run.Details());
  }
  std::string Recorded() {
    std::string text;
    const std::string path = app_ + "args.txt";
    for (int i = 0; i < 200 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    Sleep(100);  // the recorder closes the file right after writing
    platform_.Files().ReadContents(path, text);
    return text;
  }
  std::string DefaultValue(RegHandle root, const std::string& key, const std::string& name) {
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
  StartupValues startup_;
  test::RecordingRunView view_;
  std::string scratch_, app_, windows_, tag_, extension_;
};

TEST_F(QuotedInstall, TheUninstallEntryStartsTheUninstallerWithTheRecordPathIntact) {
  Install("[Title]\r\nUnSetupKey=" + tag_ + "\r\n");
  const std::string command =
      DefaultValue(reg_root::kLocalMachine, std::string(kUninstallKeyPrefix) + tag_, "UninstallString");
  EXPECT_BYTES(command, "\"" + windows_ + "UNOD200X.EXE\" \"" + app_ + "UNSETUP.INI\"");

  // As the list of installed programs does: the whole text as the command line.
  Program uninstaller;
  ASSERT_TRUE(uninstaller.Start(command)) << GetLastError();
  // The uninstall word comes from the record, which SETUP found by the path it was given.
  const DWORD process = uninstaller.Id();
  HWND start = WaitForButton(process, "引抜開始(&S)");
  ASSERT_NE(start, nullptr) << "the uninstaller did not read the record";
  HWND end = WaitForButton(process, "引抜終了(&E)");
  ASSERT_NE(end, nullptr);
  ClickWhenEnabled(end);
  HWND box = WaitForBox(process, "終了確認");
  ASSERT_NE(box, nullptr);
  Answer(box, IDYES);
  EXPECT_EQ(WaitForSingleObject(uninstaller.Handle(), 15000), WAIT_OBJECT_0);
}

TEST_F(QuotedInstall, AnAssociationOpensADocumentWhosePathHoldsBlanks) {
  Install("[Relate]\r\nName1=" + extension_ + "\r\nFile1=open,(App)viewer.exe,%1\r\n");
  const std::string document = app_ + "報告 書 " + extension_ + "." + extension_;
  ASSERT_EQ(platform_.Files().WriteContents(document, "text"), 0u);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  ASSERT_GT(result, 32);
  EXPECT_BYTES(Recorded(), document + "\n");
}

TEST_F(QuotedInstall, TheProgramStartedAtTheEndReceivesItsArguments) {
  Install("[ExecuteFile]\r\nFile=(App)viewer.exe,/first,CreateProcess\r\n");
  EXPECT_BYTES(Recorded(), "/first\n");
}

}  // namespace
}  // namespace ov::setup
