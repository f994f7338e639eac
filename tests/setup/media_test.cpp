// The media kept in the repository, read from their folders: the package's own medium and
// the SETUP.INI example of the README. Each is clean for setupcheck, starts up, and
// installs on the in-memory Windows as its script says.
#include <gtest/gtest.h>

#include "install_world.h"
#include "platform/fake/fake_platform.h"
#include "setup/check/medium_loader.h"
#include "setup/check/setup_check.h"
#include "setup/engine/install_run.h"
#include "setup/engine/startup.h"
#include "setup/recording_view.h"
#include "setup/text/ini_file.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

constexpr const char* kProgram = "D:\\SETUP.EXE";

class MediumTest : public ::testing::Test {
 protected:
  void Load(const std::string& folder) {
    ASSERT_TRUE(LoadMediumFolder(std::string(OV_SOURCE_DIR) + "/" + folder, platform_, 'D'));
    platform_.Files().PutFile(kProgram, "MZ setup");
  }
  std::string Findings() {
    std::string lines;
    for (const Finding& finding : CheckMedium(platform_, "D:\\")) lines += ov::test::Readable(FormatFinding(finding)) + "\n";
    return lines;
  }
  StartupOutcome StartUp() {
    context_ = std::make_unique<EngineContext>(platform_, ui_);
    values_ = StartupValues();
    view_ = RecordingView();
    return RunStartup(*context_, values_, view_, "", kProgram);
  }
  // The wizard's last page as start-up left it, started.
  RunEnd Install(setup::test::RecordingRunView& runView) {
    runView.choices.folder = values_.installFolder;
    runView.choices.overwrite = true;
    runView.choices.shortcutDesktop = view_.boxes[OptionBox::kDesktop].checked;
    runView.choices.shortcutStartMenu = view_.boxes[OptionBox::kStartMenu].checked;
    run_ = std::make_unique<InstallRun>(*context_, values_, runView);
    return run_->Run();
  }
  std::string Contents(const std::string& path) {
    std::string contents;
    return platform_.Files().Load(path, contents) == 0 ? contents : "<missing>";
  }
  std::string RegistryText(RegHandle root, const std::string& key, const std::string& name) {
    RegKey opened;
    std::string text = "<missing>";
    if (RegKey::Open(platform_.Registry(), root, key, opened) == 0) {
      QueryStringValue(platform_.Registry(), opened.Get(), name, text);
    }
    return text;
  }
  std::string Record(const std::string& section, const std::string& key) {
    return ReadProfileString(platform_.Profile(), section, key, "", values_.installFolder + "UNSETUP.INI");
  }

  FakePlatform platform_;
  ui::headless::HeadlessBackend ui_;
  std::unique_ptr<EngineContext> context_;
  StartupValues values_;
  RecordingView view_;
  std::unique_ptr<InstallRun> run_;
};

TEST_F(MediumTest, ThePackagesMediumInstallsAndRegistersTheShellExtension) {
  Load("package/medium");
  // What the build adds: the compressed module, its name's last character recorded.
  platform_.Files().PutFile("D:\\ovshellex.dl_", setup::test::Compressed("MZ ovshellex", 'l'));
  EXPECT_EQ(Findings(), "");

  ASSERT_EQ(StartUp(), StartupOutcome::kSetupReady) << ov::test::Readable(values_.startupError);
  EXPECT_BYTES(values_.setupTitle, "Orvane ファイル整理ツール セットアップ");
  EXPECT_BYTES(values_.installFolder, "C:\\Program Files\\Orvane\\ファイル整理ツール\\");
  EXPECT_TRUE(view_.boxes[OptionBox::kStartMenu].checked);
  EXPECT_TRUE(ui_.MessageBoxes().empty());

  const std::string app = values_.installFolder;
  const std::string module = app + "OVSHELLEX.DLL";
  platform_.Processes().AddModule(module, {{"DllRegisterServer", 0}, {"DllUnregisterServer", 0}});
  setup::test::RecordingRunView runView;
  ASSERT_EQ(Install(runView), RunEnd::kCompleted);
  EXPECT_EQ(run_->FailureCount(), 0) << ov::test::Readable(run_->Details());
  EXPECT_EQ(Contents(module), "MZ ovshellex");
  EXPECT_EQ(platform_.Processes().EntryCalls(module, "DllRegisterServer"), 1u);
  EXPECT_EQ(Contents(app + "README.TXT"), Contents("D:\\README.TXT"));
  EXPECT_EQ(Contents(app + "EULA.TXT"), Contents("D:\\EULA.TXT"));
  EXPECT_BYTES(run_->Lists().shortcuts,
               "C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム\\Orvane ファイル整理ツール\\お読みください.lnk|");
  EXPECT_BYTES(RegistryText(reg_root::kLocalMachine, "SOFTWARE\\Orvane\\FileTools", "InstallDir"),
               "C:\\Program Files\\Orvane\\ファイル整理ツール");
  // The uninstall run unregisters the module and, while Explorer holds it, deletes it at
  // the next restart.
  EXPECT_BYTES(Record("DeleteFile", "File1"), module + ",/R/F");
  EXPECT_EQ(Record("DeleteRegistry", "Key1"), "(Local)SOFTWARE\\Orvane\\FileTools");
  EXPECT_BYTES(RegistryText(reg_root::kLocalMachine,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvaneFileTools", "DisplayName"),
               "Orvane ファイル整理ツール");

  // A second start from the medium finds the earlier installation and refuses to go on.
  ASSERT_EQ(StartUp(), StartupOutcome::kSetupBlocked);
  ASSERT_EQ(ui_.MessageBoxes().size(), 1u);
  EXPECT_NE(ui_.MessageBoxes()[0].text.find("【Orvane ファイル整理ツール】"), std::string::npos)
      << ov::test::Readable(ui_.MessageBoxes()[0].text);
  EXPECT_BYTES(values_.installFolder, app);
}

TEST_F(MediumTest, TheReadmesExampleStartsAndInstallsEverySection) {
  Load("package/example");
  EXPECT_EQ(Findings(), "");

  ASSERT_EQ(StartUp(), StartupOutcome::kSetupReady) << ov::test::Readable(values_.startupError);
  EXPECT_BYTES(values_.setupTitle, "Acme ビューア セットアップ");
  EXPECT_EQ(values_.setupSpeed, 200);
  EXPECT_EQ(values_.programId, "ACME_VIEWER");
  EXPECT_BYTES(values_.installFolder, "C:\\Program Files\\Acme\\ビューア\\");
  EXPECT_TRUE(view_.boxes[OptionBox::kStartMenu].checked);
  EXPECT_TRUE(view_.boxes[OptionBox::kDesktop].checked);
  EXPECT_BYTES(values_.messageText.substr(0, values_.messageText.find("\r\n")), "Acme ビューア 2.0 をインストールします。");

  const std::string app = values_.installFolder;
  setup::test::RecordingRunView runView;
  ASSERT_EQ(Install(runView), RunEnd::kCompleted);
  EXPECT_EQ(run_->FailureCount(), 0) << ov::test::Readable(run_->Details());
  // The compressed manual is expanded under the name its header records.
  EXPECT_NE(Contents(app + "MANUAL.TXT").find("MANUAL.TX_"), std::string::npos);
  EXPECT_EQ(Contents(app + "DATA\\SAMPLE.ACME"), Contents("D:\\SAMPLE.TXT"));
  EXPECT_EQ(ReadProfileString(platform_.Profile(), "Viewer", "Folder", "", "C:\\WINDOWS\\ACME.INI"), app);
  RegKey viewer;
  std::uint32_t version = 0;
  ASSERT_EQ(RegKey::Open(platform_.Registry(), reg_root::kLocalMachine, "SOFTWARE\\Acme\\Viewer", viewer), 0u);
  EXPECT_EQ(QueryDwordValue(platform_.Registry(), viewer.Get(), "Version", version), 0u);
  EXPECT_EQ(version, 0x200u);
  EXPECT_EQ(RegistryText(reg_root::kClassesRoot, "acme_auto_file\\shell\\open\\command", ""),
            "C:\\WINDOWS\\NOTEPAD.EXE \"%1\"");
  EXPECT_EQ(Record("UnSetupOption", "CheckBox"), "1,0,0,0");
  EXPECT_BYTES(Record("DeleteFile", "File4"), app + "DATA\\SAMPLE.ACME,/C");
  EXPECT_BYTES(Record("AddDeleteFile", "File1"), app + "*.LOG");
  ASSERT_EQ(platform_.InstallShell().Executions().size(), 1u);
  EXPECT_BYTES(platform_.InstallShell().Executions()[0].file, app + "README.TXT");
}

}  // namespace
}  // namespace ov::setup
