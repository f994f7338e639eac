// A whole installation and a whole uninstallation through the program's own forms on the
// headless backend: the user presses the wizard's, the status dialog's and the shared-file
// question's buttons; the runs see the windows only through what the forms show.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "setup/app/run_windows.h"
#include "setup/app/setup_app.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using ui::headless::HeadlessBackend;

constexpr const char* kApp = "C:\\Program Files\\サンプル\\";
constexpr const char* kScript =
    "[Title]\r\nProgram=サンプル\r\n[DefaultFolder]\r\nFolder=C:\\Program Files\\サンプル\r\n[ProgramID]\r\nID=SAMPLE01\r\n"
    "[Extend]\r\nSetupSpeed=1\r\n[UnSetup]\r\nTitle=サンプル\r\n"
    "[CopyFile]\r\nFile1=(App)tool.exe\r\nFile2=(App)missing.dat\r\nFile3=(Sys)SAMPLE.DLL,/S\r\n";

// The user's part: each step waits (one check per pass of the program's message loop)
// until its window shows, then acts. A run that waits for a press nobody makes would
// loop for ever, so after too many passes without progress the user gives up by throwing,
// which the starter turns into an ended wizard.
class User {
 public:
  struct Step {
    const char* name;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  User(HeadlessBackend& backend, std::vector<Step> steps) : backend_(backend), steps_(std::move(steps)) {}
  void Start() { backend_.QueueUserAction([this] { Pass(); }); }
  std::size_t Done() const { return next_; }

 private:
  // Once every step is done the user stays, idle, so that a run still waiting is caught.
  void Pass() {
    if (next_ < steps_.size() && steps_[next_].ready()) {
      SCOPED_TRACE(steps_[next_].name);
      idle_ = 0;
      steps_[next_++].act();
    } else if (++idle_ > 100000) {
      ADD_FAILURE() << "waited in vain for: " << (next_ < steps_.size() ? steps_[next_].name : "the end of the run");
      idle_ = 0;
      throw std::runtime_error("no progress");
    }
    Start();
  }
  HeadlessBackend& backend_;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  int idle_ = 0;
};

using Steps = std::vector<User::Step>;

class RunWindowsTest : public ::testing::Test {
 protected:
  RunWindowsTest() {
    platform.Files().AddVolume('D');
    platform.Files().PutFile("D:\\SETUP.EXE", "MZ");
    platform.Files().PutFile("D:\\SETUP.INI", kScript);
    platform.Files().PutFile("D:\\tool.exe", "tool");
    platform.Files().PutFile("D:\\SAMPLE.DLL", "shared");
    platform::RegKey key;
    platform::RegKey::Create(platform.Registry(), platform::reg_root::kLocalMachine,
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", key);
  }

  // Runs the program (SETUP.EXE, or the uninstaller with the record's path) on the machine:
  // the wizard's button is pressed until the run starts, then the user's steps play the
  // rest, up to the status dialog's last button where a run leaves the program open.
  void RunProgram(const std::string& exe, const std::string& argument, int presses,
                  const std::function<Steps(SetupApp&)>& script) {
    HeadlessBackend backend;
    StartupValues values;
    SetupApp app(backend, platform, values, exe);
    app.argument1 = argument;
    RunWindows runs(app);
    app.runStarter = &runs;
    const Steps steps = script(app);
    User user(backend, steps);
    backend.SetModalHandler([&](ui::Form& form) {
      if (&form == &app.frmCustomDlg) {
        questions.push_back(app.frmCustomDlg.lblMessage.Caption());
        (app.frmCustomDlg.*sharedAnswer).Click();
        return;
      }
      if (&form != &app.frmMain) return;
      user.Start();
      for (int i = 0; i < presses; ++i) app.frmMain.btnEvent.Click();
      while (app.frmMain.ModalResult() == ui::mrNone && backend.PendingUserActions() > 0) backend.ProcessMessages();
    });
    app.Run();
    EXPECT_EQ(user.Done(), steps.size()) << "the user's steps did not all happen";
    EXPECT_EQ(app.frmMain.ModalResult(), ui::mrOk);
    EXPECT_TRUE(app.frmBack.Enabled());
    boxes = backend.MessageBoxes();
    beeps = backend.Beeps();
  }

  bool Exists(const std::string& path) { return platform::FileExists(platform.Files(), path); }
  bool Shown(const char* text) {
    for (const auto& box : boxes) {
      if (box.text.find(text) != std::string::npos) return true;
    }
    return false;
  }

  // An installation whose copy fails once (the missing source), through the details page,
  // "次へ(&N)" and the final choice with the restart proposed by the script.
  void Install(bool chooseRestart);

  platform::FakePlatform platform;
  std::vector<std::string> questions;
  ui::Button TfrmCustomDlg::*sharedAnswer = &TfrmCustomDlg::btnYes;
  std::vector<ui::headless::MessageBoxRecord> boxes;
  int beeps = 0;
};

void RunWindowsTest::Install(bool chooseRestart) {
  platform.Files().PutFile("D:\\SETUP.INI", std::string(kScript) + "[ExecuteFile]\r\nFile=WINDOWS_REBOOT\r\n");
  RunProgram("D:\\SETUP.EXE", "", 2, [&](SetupApp& app) -> Steps {
    TfrmMain& w = app.frmMain;
    TfrmStatus& s = app.frmStatus;
    return {
        {"the copy in the status dialog", [&] { return s.Visible() && s.fraStatus.Visible(); },
         [&] {
           EXPECT_FALSE(w.Visible());
           EXPECT_FALSE(w.btnEnd.Visible());
           EXPECT_EQ(w.btnEvent.Left(), (492 - 161) / 2);
           EXPECT_TRUE(s.btnAbort.Enabled());
           EXPECT_BYTES(s.btnAbort.Caption(), "中断(&A)");
           EXPECT_NE(s.lblMessage.Caption().find("ファイルをコピーしています．．．"), std::string::npos);
         }},
        {"the failure details", [&] { return w.Visible() && w.fraReadme.Visible(); },
         [&] {
           EXPECT_FALSE(s.Visible());
           EXPECT_FALSE(w.fraSelectType.Visible() || w.grpMessage.Visible() || w.fraTitle.Visible());
           EXPECT_BYTES(w.fraReadme.Caption(), "作成・コピー処理失敗　詳細表示");
           EXPECT_BYTES(w.btnEvent.Caption(), "続行(&C)");
           EXPECT_NE(w.txtReadme.Text().find("<File> D:\\missing.dat"), std::string::npos);
           EXPECT_EQ(s.prgStatus.Position(), 100);
           EXPECT_BYTES(s.lblStatus.Caption(), "100%(3/3)");
           w.btnEvent.Click();
         }},
        {"the completion text", [&] { return s.Visible() && s.btnAbort.Caption() == TfrmStatus::kNextCaption; },
         [&] {
           EXPECT_FALSE(w.Visible());
           EXPECT_FALSE(s.fraStatus.Visible());
           EXPECT_TRUE(s.btnAbort.Enabled());
           EXPECT_NE(s.lblMessage.Caption().find("【処理完了】"), std::string::npos);
           s.btnAbort.Click();
         }},
        {"the final choice", [&] { return w.Visible() && w.fraSelectType.Visible(); },
         [&, chooseRestart] {
           EXPECT_FALSE(s.Visible());
           EXPECT_FALSE(w.fraReadme.Visible());
           EXPECT_NE(w.lblSelectTypeMsg.Caption().find("Windowsを再起動する必要があります。"), std::string::npos);
           EXPECT_BYTES(w.optSelectType1.Caption(), "はい、Windowsを再起動します。(&Y)");
           EXPECT_BYTES(w.optSelectType2.Caption(), "いいえ、Windowsは再起動せずに、インストーラーを終了します。(&N)");
           EXPECT_TRUE(w.optSelectType1.Checked());
           EXPECT_TRUE(w.optSelectType2.Visible() && w.optSelectType2.Enabled());
           EXPECT_BYTES(w.btnEvent.Caption(), "インストール完了(&E)");
           if (!chooseRestart) w.optSelectType2.Click();
           w.btnEvent.Click();
         }},
    };
  });
}

TEST_F(RunWindowsTest, AWholeInstallationThroughTheWindowsRestartsOnlyWhenChosen) {
  for (bool restart : {false, true}) {
    SCOPED_TRACE(restart ? "restart chosen" : "no restart");
    Install(restart);
    EXPECT_TRUE(Exists(std::string(kApp) + "tool.exe"));
    EXPECT_TRUE(Exists(std::string(kApp) + "UNSETUP.INI"));
    EXPECT_TRUE(Shown("詳細を表示しますか？"));
    EXPECT_EQ(beeps, 1);
    const auto& exits = platform.Session().Exits();
    ASSERT_EQ(exits.size(), restart ? 1u : 0u);
    if (restart) {
      EXPECT_EQ(exits[0].flags, platform::exit_flag::kReboot);
      EXPECT_TRUE(exits[0].privilegeEnabled);
    }
  }
}

TEST_F(RunWindowsTest, TheAbortButtonStopsTheCopyAfterItsQuestion) {
  RunProgram("D:\\SETUP.EXE", "", 2, [&](SetupApp& app) -> Steps {
    TfrmStatus& s = app.frmStatus;
    return {{"the abort button usable", [&] { return s.Visible() && s.btnAbort.Enabled(); },
             [&] { s.btnAbort.Click(); }}};
  });
  EXPECT_TRUE(Shown("本当にここで処理を中断しますか？"));
  EXPECT_TRUE(Shown("処理を中断しました。"));
  // Only the normal end writes the record.
  EXPECT_FALSE(Exists(std::string(kApp) + "UNSETUP.INI"));
  EXPECT_FALSE(Shown("詳細を表示しますか？"));
}

// Each answer of the shared-file question on a machine of its own (a kept file without a
// count would count as used by the next installation).
struct SharedCase {
  const char* name;
  ui::Button TfrmCustomDlg::*answer;
  bool kept;
};

class UninstallThroughTheWindows : public RunWindowsTest, public ::testing::WithParamInterface<SharedCase> {};

TEST_P(UninstallThroughTheWindows, TakesTheInstallationBackAndAsksForTheSharedFile) {
  const SharedCase& c = GetParam();
  constexpr const char* kShared = "C:\\WINDOWS\\system32\\SAMPLE.DLL";
  Install(false);
  const std::string record = std::string(kApp) + "UNSETUP.INI";
  ASSERT_TRUE(Exists(record));
  ASSERT_TRUE(Exists(kShared));
  sharedAnswer = c.answer;
  RunProgram("C:\\WINDOWS\\UNOD200X.EXE", record, 1, [&](SetupApp& app) -> Steps {
    TfrmMain& w = app.frmMain;
    TfrmStatus& s = app.frmStatus;
    return {{"the completion button", [&] { return s.Visible() && s.btnAbort.Enabled(); },
             [&] {
               EXPECT_FALSE(w.Visible());
               EXPECT_FALSE(w.chkSCutDesktop.Enabled());
               EXPECT_BYTES(s.btnAbort.Caption(), "アンインストール完了(&E)");
               EXPECT_NE(s.lblMessage.Caption().find("アンインストールを完了しました。"), std::string::npos);
               s.btnAbort.Click();
             }}};
  });
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("この共有ファイルは、現在、他のどのプログラムからも使われていません。"), std::string::npos);
  EXPECT_EQ(questions[0].find(kShared), 0u);
  EXPECT_EQ(Exists(kShared), c.kept);
  EXPECT_FALSE(Exists(std::string(kApp) + "tool.exe"));
  EXPECT_FALSE(Exists(record));
  EXPECT_EQ(beeps, 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, UninstallThroughTheWindows,
                         ::testing::Values(SharedCase{"Yes", &TfrmCustomDlg::btnYes, false},
                                           SharedCase{"No", &TfrmCustomDlg::btnNo, true},
                                           SharedCase{"DeleteAll", &TfrmCustomDlg::btnDelete, false},
                                           SharedCase{"KeepAll", &TfrmCustomDlg::btnSave, true}),
                         [](const ::testing::TestParamInfo<SharedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov::setup
