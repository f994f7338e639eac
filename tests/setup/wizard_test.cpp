// The wizard as a state machine on the headless backend and the in-memory Windows: start-up
// runs on its first activation, then the test presses its buttons as the user would.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "setup/app/setup_app.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using ui::headless::HeadlessBackend;

constexpr const char* kResultFile = "C:\\WINDOWS\\ODRESULT.INI";
constexpr const char* kBaseScript =
    "[Title]\r\nProgram=サンプル\r\n[SetupFolder]\r\nFolder=C:\\Program Files\\サンプル\r\n"
    "[Extend]\r\nSetupString=テスト\r\n";  // a test's own [Extend] keys follow directly

class CountingStarter : public RunStarter {
 public:
  void StartInstall() override { ++installs; if (onStart) onStart(); }
  void StartUninstall() override { ++uninstalls; if (onStart) onStart(); }
  int installs = 0;
  int uninstalls = 0;
  std::function<void()> onStart;
};

class Wizard : public ::testing::Test {
 protected:
  Wizard() {
    platform.Files().AddVolume('D');
    platform.Files().AddVolume('E');
    platform.Files().PutFile("D:\\SETUP.EXE", "MZ");
    app.runStarter = &starter;
  }
  void Script(const std::string& extra) { platform.Files().PutFile("D:\\SETUP.INI", kBaseScript + extra); }
  void Put(const std::string& path, const std::string& text) { platform.Files().PutFile(path, text); }
  // Runs the program; script plays the user while the wizard is shown, and the wizard is
  // closed afterwards if the script left it open.
  void RunWithWizard(std::function<void()> script) {
    backend.SetModalHandler([this, script](ui::Form& form) {
      if (&form != &app.frmMain) return;
      script();
      if (app.frmMain.ModalResult() == ui::mrNone) {
        app.frmBack.SetEnabled(true);  // the way out without a question
        app.frmMain.btnEnd.Click();
      }
    });
    app.Run();
  }
  void Press() { app.frmMain.btnEvent.Click(); }
  // Which page is shown, by its frames.
  std::string Page() {
    TfrmMain& w = app.frmMain;
    std::string page;
    if (w.fraTitle.Visible()) page += "title ";
    if (w.fraReadme.Visible()) page += "readme ";
    if (w.fraSelectType.Visible()) page += "select ";
    if (w.grpMessage.Visible() && w.grpSetupFolder.Visible() && w.grpOption.Visible()) page += "last ";
    return page.empty() ? page : page.substr(0, page.size() - 1);
  }
  std::string EventCaption() { return app.frmMain.btnEvent.Caption(); }
  std::string EndCaption() { return app.frmMain.btnEnd.Caption(); }
  bool EventEnabled() { return app.frmMain.btnEvent.Enabled(); }
  bool Closed() { return app.frmMain.ModalResult() != ui::mrNone; }

  HeadlessBackend backend;
  platform::FakePlatform platform;
  StartupValues values;
  SetupApp app{backend, platform, values, "D:\\SETUP.EXE"};
  CountingStarter starter;
};

TEST_F(Wizard, WalksTitleLicenceReadmeAndLastPageAndStartsTheInstall) {
  Script("[EULA]\r\nFile=\\EULA.TXT\r\n[Readme]\r\nFile=README.TXT\r\nTitle=お読みください\r\n");
  Put("D:\\EULA.TXT", "契約\r\n");
  Put("D:\\README.TXT", "説明\r\n");
  RunWithWizard([&] {
    TfrmMain& w = app.frmMain;
    EXPECT_EQ(Page(), "title");
    EXPECT_BYTES(EventCaption(), "テスト続行(&C)");
    EXPECT_BYTES(EndCaption(), "テスト終了(&E)");
    EXPECT_TRUE(EventEnabled());
    const std::string welcome = w.lblTitleMessage.Caption();
    EXPECT_EQ(welcome.find("　サンプル テストプログラムへようこそ。"), 0u);
    EXPECT_NE(welcome.find("【注意】\r\n　Administrator権限でのテストを推奨します。"), std::string::npos);

    const std::uint32_t before = platform.System().TickCount();
    Press();
    // The title page goes with a second's pause while the wizard is hidden.
    EXPECT_GE(platform.System().TickCount() - before, 1000u);
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(Page(), "readme");
    EXPECT_BYTES(w.fraReadme.Caption(), "使用許諾契約書");
    EXPECT_BYTES(EventCaption(), "同意する(&A)");
    EXPECT_BYTES(EndCaption(), "同意しない(&N)");
    EXPECT_BYTES(w.txtReadme.Text(), "契約\r\n");
    EXPECT_EQ(w.txtReadme.GetColor(), ui::clWhite);
    EXPECT_TRUE(w.chkEULARead.Visible());
    EXPECT_EQ(w.txtReadme.Height(), 217 - 24);
    // Agreeing needs the tick; taking it back disables the button again.
    EXPECT_FALSE(EventEnabled());
    w.chkEULARead.Click();
    EXPECT_TRUE(EventEnabled());
    w.chkEULARead.Click();
    EXPECT_FALSE(EventEnabled());
    w.chkEULARead.Click();

    Press();
    EXPECT_EQ(Page(), "readme");
    EXPECT_BYTES(w.fraReadme.Caption(), "お読みください");
    EXPECT_BYTES(w.txtReadme.Text(), "説明\r\n");
    EXPECT_FALSE(w.chkEULARead.Visible());
    EXPECT_EQ(w.txtReadme.Height(), 217);
    EXPECT_EQ(w.txtReadme.GetColor(), ui::clWindow);
    EXPECT_BYTES(EventCaption(), "テスト続行(&C)");
    EXPECT_BYTES(EndCaption(), "テスト終了(&E)");

    Press();
    EXPECT_EQ(Page(), "last");
    EXPECT_BYTES(EventCaption(), "テスト開始(&S)");
    EXPECT_EQ(starter.installs, 0);  // the press that showed the last page starts nothing
    Press();
    EXPECT_EQ(starter.installs, 1);
    EXPECT_EQ(starter.uninstalls, 0);
  });
}

TEST_F(Wizard, PagesWhoseFileIsMissingAreSkippedSilently) {
  struct Case {
    const char* name;
    const char* keys;
    bool eulaFile, readmeFile;
    std::vector<std::string> pages;  // after each press from the title page
  };
  const std::vector<Case> cases = {
      {"neither named", "", false, false, {"last"}},
      {"both named, both missing", "[EULA]\r\nFile=E.TXT\r\n[Readme]\r\nFile=R.TXT\r\n", false, false, {"last"}},
      {"licence only", "[EULA]\r\nFile=E.TXT\r\nCheckBox=Hide\r\n[Readme]\r\nFile=R.TXT\r\n", true, false,
       {"readme", "last"}},
      {"readme only", "[EULA]\r\nFile=E.TXT\r\n[Readme]\r\nFile=R.TXT\r\n", false, true, {"readme", "last"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend caseBackend;
    platform::FakePlatform casePlatform;
    casePlatform.Files().AddVolume('D');
    casePlatform.Files().PutFile("D:\\SETUP.EXE", "MZ");
    casePlatform.Files().PutFile("D:\\SETUP.INI", std::string(kBaseScript) + c.keys);
    if (c.eulaFile) casePlatform.Files().PutFile("D:\\E.TXT", "e");
    if (c.readmeFile) casePlatform.Files().PutFile("D:\\R.TXT", "r");
    StartupValues caseValues;
    SetupApp caseApp(caseBackend, casePlatform, caseValues, "D:\\SETUP.EXE");
    caseBackend.SetModalHandler([&](ui::Form& form) {
      if (&form != &caseApp.frmMain) return;
      TfrmMain& w = caseApp.frmMain;
      for (const std::string& expected : c.pages) {
        w.btnEvent.Click();
        const bool readme = w.fraReadme.Visible();
        const bool last = w.grpMessage.Visible() && w.grpOption.Visible() && w.grpSetupFolder.Visible();
        EXPECT_EQ(readme ? "readme" : last ? "last" : "?", expected);
        EXPECT_FALSE(w.fraTitle.Visible());
        // "Hide": the agreement needs no tick.
        EXPECT_TRUE(w.btnEvent.Enabled());
      }
      EXPECT_BYTES(w.btnEvent.Caption(), "テスト開始(&S)");
      caseApp.frmBack.SetEnabled(true);
      w.btnEnd.Click();
    });
    caseApp.Run();
    EXPECT_TRUE(caseBackend.MessageBoxes().empty());
  }
}

TEST_F(Wizard, TitleWithoutTheNoteOnWindows98) {
  Script("");
  platform::VersionInfo version;
  version.platformId = 1, version.majorVersion = 4, version.minorVersion = 10, version.buildNumber = 0x040A08AE;
  platform.System().SetVersion(version);
  RunWithWizard([&] {
    EXPECT_EQ(app.frmMain.lblTitleMessage.Caption().find("【注意】"), std::string::npos);
    EXPECT_BYTES(app.frmMain.lblTitleA2.Caption(), "Ondaro! Setup 200x(on Windows 98<SE>)");
  });
}

TEST_F(Wizard, TheCheckerRunsOnEveryPressAfterTheTitleAlsoTheOneThatStarts) {
  Script("InstallChecker=\\CHECK\\CHK.EXE\r\n[Readme]\r\nFile=R.TXT\r\n");
  Put("D:\\R.TXT", "r");
  Put("D:\\CHECK\\CHK.EXE", "MZ");
  platform.Processes().AddProgram("D:\\CHECK\\CHK.EXE", 50);
  // Each run of the checker leaves its answer; the wizard reads and deletes it.
  starter.onStart = [&] { EXPECT_FALSE(platform::FileExists(platform.Files(), kResultFile)); };
  RunWithWizard([&] {
    EXPECT_TRUE(platform.Processes().Starts().empty());  // not for the title page
    for (int press = 1; press <= 3; ++press) {
      Put(kResultFile, "[CheckResult]\r\nResult=ContinueInstall\r\n");
      Press();
      ASSERT_EQ(platform.Processes().Starts().size(), static_cast<std::size_t>(press));
      EXPECT_EQ(platform.Processes().Starts().back().show, 2);
      EXPECT_TRUE(app.frmMain.Enabled());
      EXPECT_FALSE(platform::FileExists(platform.Files(), kResultFile));
    }
    EXPECT_EQ(starter.installs, 1);
    EXPECT_TRUE(backend.MessageBoxes().empty());
  });
}

TEST_F(Wizard, ACheckerResultOtherThanContinueBlocksWithItsMessage) {
  struct Case {
    const char* name;
    const char* resultFile;  // nullptr: the checker left none
    const char* message;
  };
  const std::string fallback =
      "テストチェック機能により、テストは続行不可能と判断されました。\r\n"
      "詳細については、プログラム配布者へご確認ください。\r\nテストを続行することはできません。";
  const std::vector<Case> cases = {
      {"two lines", "[CheckResult]\r\nResult=Stop\r\nMessage=容量不足です。<改行>空けてください。\r\n",
       "容量不足です。\r\n空けてください。"},
      {"case matters", "[CheckResult]\r\nResult=continueinstall\r\n", nullptr},
      {"no result file", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend caseBackend;
    platform::FakePlatform casePlatform;
    casePlatform.Files().AddVolume('D');
    casePlatform.Files().PutFile("D:\\SETUP.EXE", "MZ");
    casePlatform.Files().PutFile("D:\\SETUP.INI", std::string(kBaseScript) + "InstallChecker=CHK.EXE\r\n");
    casePlatform.Files().PutFile("D:\\CHK.EXE", "MZ");
    if (c.resultFile != nullptr) casePlatform.Files().PutFile(kResultFile, c.resultFile);
    StartupValues caseValues;
    SetupApp caseApp(caseBackend, casePlatform, caseValues, "D:\\SETUP.EXE");
    bool closedWithoutQuestion = false;
    caseBackend.SetModalHandler([&](ui::Form& form) {
      if (&form != &caseApp.frmMain) return;
      TfrmMain& w = caseApp.frmMain;
      w.btnEvent.Click();
      EXPECT_TRUE(w.fraTitle.Visible());  // blocked before the title page went
      EXPECT_FALSE(w.btnEvent.Enabled());
      EXPECT_TRUE(w.btnEnd.Enabled());
      EXPECT_TRUE(w.Enabled());
      EXPECT_EQ(w.ActiveControl(), &w.btnEnd);
      const auto& boxes = caseBackend.MessageBoxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_BYTES(boxes[0].text, c.message != nullptr ? std::string(c.message) : fallback);
      EXPECT_BYTES(boxes[0].caption, "警告");
      EXPECT_EQ(boxes[0].style, ui::kMbOk | ui::kMbIconExclamation);
      EXPECT_FALSE(platform::FileExists(casePlatform.Files(), kResultFile));
      // Blocked: the end button closes without asking.
      w.btnEnd.Click();
      closedWithoutQuestion = w.ModalResult() == ui::mrOk && boxes.size() == 1;
    });
    caseApp.Run();
    EXPECT_TRUE(closedWithoutQuestion);
  }
}

TEST_F(Wizard, EndingOnTheLastPageAsksAndNoLeavesEverythingAsItWas) {
  Script("");
  RunWithWizard([&] {
    Press();
    ASSERT_EQ(Page(), "last");
    backend.QueueAnswer(ui::mrNo);
    app.frmMain.btnEnd.Click();
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    const auto& box = backend.MessageBoxes()[0];
    EXPECT_BYTES(box.caption, "終了確認");
    EXPECT_BYTES(box.text, "テスト/アンインストールは終了していません。\r\n終了してもよろしいですか？");
    EXPECT_EQ(box.style, ui::kMbYesNo | ui::kMbIconQuestion);
    EXPECT_FALSE(Closed());
    EXPECT_EQ(Page(), "last");
    EXPECT_BYTES(EventCaption(), "テスト開始(&S)");
    EXPECT_TRUE(EventEnabled());
    EXPECT_FALSE(app.frmBack.Enabled());
    backend.QueueAnswer(ui::mrYes);
    app.frmMain.btnEnd.Click();
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(app.frmBack.Enabled());
  });
}

TEST_F(Wizard, NotAgreeingClosesWithoutAQuestion) {
  Script("[EULA]\r\nFile=E.TXT\r\n");
  Put("D:\\E.TXT", "e");
  RunWithWizard([&] {
    Press();
    ASSERT_BYTES(EndCaption(), "同意しない(&N)");
    app.frmMain.btnEnd.Click();
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(backend.MessageBoxes().empty());
  });
}

TEST_F(Wizard, DispatchByTheCaptionOfThePressedButton) {
  struct Case {
    const char* caption;
    bool disables;
    bool toLastPage;
  };
  const std::vector<Case> cases = {
      {"テスト完了(&E)", true, false}, {"続行(&C)", true, false}, {"テスト続行(&C)", false, true},
      {"完了(&E)", false, false},     {"閉じる", false, false},
  };
  Script("");
  RunWithWizard([&] {
    TfrmMain& w = app.frmMain;
    Press();  // the title page is gone; every mark is cleared
    for (const Case& c : cases) {
      SCOPED_TRACE(c.caption);
      w.ShowPage(TfrmMain::Page::kSelectType);
      w.btnEvent.SetCaption(c.caption);
      w.btnEvent.SetEnabled(true);
      Press();
      EXPECT_EQ(EventEnabled(), !c.disables);
      EXPECT_EQ(Page(), c.toLastPage ? "last" : "select");
      EXPECT_BYTES(EventCaption(), c.toLastPage ? std::string("テスト開始(&S)") : std::string(c.caption));
    }
    EXPECT_EQ(starter.installs + starter.uninstalls, 0);
  });
}

TEST_F(Wizard, TheUninstallPageStartsTheUninstall) {
  Put("C:\\Program Files\\サンプル\\UNSETUP.INI",
      "[Extend]\r\nUnSetupString=削除\r\n[SetupFolder]\r\nFolder=C:\\Program Files\\サンプル\\\r\n");
  app.argument1 = "C:\\Program Files\\サンプル\\UNSETUP.INI";
  RunWithWizard([&] {
    EXPECT_EQ(Page(), "last");
    EXPECT_BYTES(EventCaption(), "削除開始(&S)");
    EXPECT_TRUE(app.frmMain.lblUnSetupInfo.Visible());
    Press();
    EXPECT_EQ(starter.uninstalls, 1);
    EXPECT_EQ(starter.installs, 0);
  });
}

TEST_F(Wizard, FreeSpaceCaptionOfTheFolderField) {
  struct Case {
    const char* name;
    const char* folder;
    std::function<void(platform::FakePlatform&)> setUp;
    const char* caption;
  };
  platform::DiskSpace space;
  space.sectorsPerCluster = 8, space.bytesPerSector = 512, space.freeClusters = 301408;  // 1,234,567,168
  const std::vector<Case> cases = {
      {"extended query", "E:\\APP\\", [&](platform::FakePlatform& p) { p.InstallFiles().SetDiskSpace('E', space); },
       "インストールフォルダ(空き容量：1,234,567,168Byte)"},
      {"clusters without the extended query", "e:\\APP\\",
       [&](platform::FakePlatform& p) {
         p.InstallFiles().SetDiskSpace('E', space);
         p.InstallFiles().SetHasFreeSpaceEx(false);
       },
       "インストールフォルダ(空き容量：1,234,567,168Byte)"},
      {"small", "E:\\", [&](platform::FakePlatform& p) {
         platform::DiskSpace little;
         little.sectorsPerCluster = 1, little.bytesPerSector = 512, little.freeClusters = 1;
         p.InstallFiles().SetDiskSpace('E', little);
       },
       "インストールフォルダ(空き容量：512Byte)"},
      {"query failed", "E:\\APP\\",
       [](platform::FakePlatform& p) { p.Failures().FailCall("GetDiskFreeSpaceExA", 1, platform::error::kAccessDenied); },
       "インストールフォルダ(空き容量：関数失敗<致命的エラー>"},
      {"no such drive", "Q:\\APP\\", [](platform::FakePlatform&) {}, "インストールフォルダ(空き容量：不明)"},
      {"empty drive root", "F:\\APP\\", [](platform::FakePlatform& p) { p.Files().AddVolume('F'); },
       "インストールフォルダ(空き容量：不明)"},
      {"no drive", "APP", [](platform::FakePlatform&) {}, "インストールフォルダ(空き容量：不明)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend caseBackend;
    platform::FakePlatform casePlatform;
    casePlatform.Files().AddVolume('E');
    casePlatform.Files().PutFile("E:\\DATA.TXT", "x");
    StartupValues caseValues;
    SetupApp caseApp(caseBackend, casePlatform, caseValues, "D:\\SETUP.EXE");
    c.setUp(casePlatform);
    caseApp.frmMain.txtFolder.SetText(c.folder);
    EXPECT_BYTES(caseApp.frmMain.grpSetupFolder.Caption(), c.caption);
  }
}

TEST_F(Wizard, TheFolderBrowserPutsItsAnswerWithATrailingSeparator) {
  Script("");
  Put("E:\\X.TXT", "x");
  RunWithWizard([&] {
    TfrmMain& w = app.frmMain;
    const std::string start = w.txtFolder.Text();
    backend.QueueFolderAnswer(std::nullopt);  // cancelled
    w.btnRefer.Click();
    EXPECT_BYTES(w.txtFolder.Text(), start);
    backend.QueueFolderAnswer(std::string("E:\\ソフト"));
    w.btnRefer.Click();
    EXPECT_BYTES(w.txtFolder.Text(), "E:\\ソフト\\");
    EXPECT_BYTES(backend.FolderBrowserStarts().front(), start);
    EXPECT_NE(w.grpSetupFolder.Caption().find("Byte)"), std::string::npos);
  });
}

TEST_F(Wizard, ClosingRemovesEveryWorkFolderAndNotifiesTheShellAfterARun) {
  for (bool ran : {false, true}) {
    SCOPED_TRACE(ran ? "after a run" : "without a run");
    HeadlessBackend caseBackend;
    platform::FakePlatform casePlatform;
    casePlatform.Files().AddVolume('D');
    casePlatform.Files().PutFile("D:\\SETUP.EXE", "MZ");
    casePlatform.Files().PutFile("D:\\SETUP.INI", kBaseScript);
    // ODTMP1 is taken: this run makes ODTMP2; ODTMP5 is another run's leftover.
    casePlatform.Files().PutFile("C:\\WINDOWS\\TEMP\\ODTMP1\\A.TXT", "a");
    casePlatform.Files().PutFile("C:\\WINDOWS\\TEMP\\ODTMP5\\SUB\\B.TXT", "b");
    StartupValues caseValues;
    SetupApp caseApp(caseBackend, casePlatform, caseValues, "D:\\SETUP.EXE");
    CountingStarter caseStarter;
    caseStarter.onStart = [&] {
      caseApp.frmMain.Hide();  // a run hides the wizard, then ends the program
      caseApp.frmBack.SetEnabled(true);
      caseApp.frmMain.SetModalResult(ui::mrOk);
    };
    caseApp.runStarter = &caseStarter;
    caseBackend.SetModalHandler([&](ui::Form& form) {
      if (&form != &caseApp.frmMain) return;
      EXPECT_BYTES(caseValues.workFolder, "C:\\WINDOWS\\TEMP\\ODTMP2\\");
      caseApp.frmMain.btnEvent.Click();
      if (ran) {
        caseApp.frmMain.btnEvent.Click();
      } else {
        caseApp.frmBack.SetEnabled(true);
        caseApp.frmMain.btnEnd.Click();
      }
    });
    caseApp.Run();
    for (int n : {1, 2, 5}) {
      EXPECT_FALSE(platform::FolderExists(casePlatform.Files(), "C:\\WINDOWS\\TEMP\\ODTMP" + std::to_string(n)))
          << n;
    }
    const auto& notes = casePlatform.InstallShell().Notifications();
    if (ran) {
      ASSERT_EQ(notes.size(), 3u);
      EXPECT_EQ(notes[0].event, platform::change_notify::kAssocChanged);
      EXPECT_EQ(notes[1].event, platform::change_notify::kUpdateItem);
      EXPECT_EQ(notes[2].event, platform::change_notify::kUpdateDir);
      for (const auto& note : notes) EXPECT_EQ(note.flags, platform::change_notify::kIdList);
    } else {
      EXPECT_TRUE(notes.empty());
    }
  }
}

}  // namespace
}  // namespace ov::setup
