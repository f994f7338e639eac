// Start-up against the real system under Wine: the version record, the work folder under
// the real temporary folder, the copies, the script read through the real profile
// functions and a default folder from the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_install.h"
#include "setup/engine/startup.h"
#include "setup/recording_view.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

class StartupWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string id = std::to_string(GetCurrentProcessId());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    medium_ = std::string(temp) + "ovmedium" + id + "\\";
    key_ = "Software\\OvStartupTest" + id;
    ASSERT_TRUE(ForceFolders(context_, medium_));
    ASSERT_EQ(platform_.Files().WriteContents(medium_ + "SETUP.EXE", "MZ stand-in"), 0u);
  }
  void TearDown() override {
    if (!values_.workFolder.empty()) DeleteFolderContents(context_, values_.workFolder, "*.*|");
    DeleteFolderContents(context_, medium_, "*.*|");
    DeleteRegistryTree(platform_.Registry(), reg_root::kCurrentUser, key_);
  }
  std::string Contents(const std::string& path) {
    std::string contents;
    platform_.Files().ReadContents(path, contents);
    return contents;
  }

  Win32InstallPlatform platform_;
  ui::headless::HeadlessBackend ui_;
  EngineContext context_{platform_, ui_};
  StartupValues values_;
  RecordingView view_;
  std::string medium_, key_;
};

TEST_F(StartupWindowsTest, InstallsFromTheCopiesInAFreshWorkFolder) {
  RegKey key;
  ASSERT_EQ(RegKey::Create(platform_.Registry(), reg_root::kCurrentUser, key_, key), 0u);
  ASSERT_EQ(SetStringValue(platform_.Registry(), key.Get(), "InstallDir", "C:\\アプリ\\表示"), 0u);
  const std::string script = "[Title]\r\nSetup=表示ソフト セットアップ\r\n[Extend]\r\nSetupSpeed=-5\r\n"
                             "[DefaultFolder]\r\nReferRegistry=" + key_ + ",InstallDir\r\n"
                             "[ShortCut]\r\nName1=(C_Dsk)\\表示,(App)a.exe\r\n";
  ASSERT_EQ(platform_.Files().WriteContents(medium_ + "SETUP.INI", script), 0u);

  EXPECT_EQ(RunStartup(context_, values_, view_, "", medium_ + "SETUP.EXE"), StartupOutcome::kSetupReady);
  EXPECT_EQ(values_.osName, DetermineOsName(platform_.System().Version()).name);
  EXPECT_EQ(values_.osName.rfind("Windows", 0), 0u);
  EXPECT_EQ(values_.programFolder, medium_);
  EXPECT_EQ(values_.workFolder.rfind(context_.folders[Macro::kTmp] + "ODTMP", 0), 0u) << values_.workFolder;
  EXPECT_EQ(Contents(values_.workFolder + "SETUPB.EXE"), "MZ stand-in");
  EXPECT_EQ(Contents(values_.scriptCopy), script);
  EXPECT_BYTES(view_.title, "表示ソフト セットアップ");
  EXPECT_EQ(values_.setupSpeed, 1);
  EXPECT_BYTES(values_.installFolder, "C:\\アプリ\\表示\\");
  EXPECT_TRUE(view_.boxes[OptionBox::kDesktop].checked);
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(StartupWindowsTest, AMissingScriptIsTheErrorState) {
  EXPECT_EQ(RunStartup(context_, values_, view_, "", medium_ + "SETUP.EXE"), StartupOutcome::kError);
  EXPECT_BYTES(values_.startupError, "【致命的エラー → iniファイル読み込み失敗】\r\n");
  EXPECT_FALSE(values_.workFolder.empty());
}

}  // namespace
}  // namespace ov::setup
