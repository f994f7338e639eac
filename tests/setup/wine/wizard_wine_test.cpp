// The wizard under Wine: the real SETUP.EXE on a medium folder that the test makes in its
// own temp folder, driven through its windows (a checker that continues and one that
// blocks, the uninstall page from a record path, the work folders removed at the end);
// and in this process on the real backend the free-space caption, the folder browser and
// the pictures of every page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/win32/win32_install.h"
#include "setup/app/setup_app.h"
#include "setup_driver/setup_driver.h"
#include "support/readable.h"
#include "support/win_files.h"
#include "ui/screen_capture.h"
#include "ui/win32/win32_backend.h"

namespace ov::setup {
namespace {

using namespace driver;
using namespace ov::test;

// A medium folder: SETUP.EXE, the checker, the script and the package's texts.
std::string MakeMedium(const std::string& name, const std::string& script) {
  const std::string folder = TempFolder() + name + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  CopyFileA((ThisFolder() + "SETUP.EXE").c_str(), (folder + "SETUP.EXE").c_str(), FALSE);
  CopyFileA((ThisFolder() + "setup_checker.exe").c_str(), (folder + "CHECK.EXE").c_str(), FALSE);
  Write(folder + "SETUP.INI", script);
  Write(folder + "EULA.TXT",
        "ソフトウェア使用許諾契約書\r\n\r\n"
        "第1条　本ソフトウェアの著作権は、Orvane Softwareに帰属します。\r\n"
        "第2条　お客様は、本ソフトウェアを1台のコンピュータで使用できます。\r\n"
        "第3条　本ソフトウェアの使用により生じた損害について、作者は責任を負いません。\r\n");
  Write(folder + "README.TXT",
        "Orvane ファイルツール　お読みください\r\n\r\n"
        "・エクスプローラの右クリックメニューに「ファイルの整理」が加わります。\r\n"
        "・名前の一括変更、シリーズ分類、連番、条件削除、フォルダ結合ができます。\r\n");
  return folder;
}

const std::string kResultFile = ov::test::WindowsFolder() + "ODRESULT.INI";

TEST(WizardProgram, ABlockingCheckerShowsItsTwoLinesAndTheEndRemovesEveryWorkFolder) {
  const std::string medium = MakeMedium("ov_medium_block",
                                        "[Title]\r\nProgram=サンプル\r\n[Extend]\r\nSetupString=テスト\r\n"
                                        "InstallChecker=\\CHECK.EXE\r\n");
  Write(medium + "CHECK.TXT", "[CheckResult]\r\nResult=Stop\r\nMessage=容量が足りません。<改行>空けてからやり直してください。\r\n");
  // Another run's work folder.
  const std::string leftover = TempFolder() + "ODTMP5\\";
  CreateDirectoryA(leftover.c_str(), nullptr);
  Write(leftover + "SETUP.INI", "[Title]\r\n");

  Program setup;
  ASSERT_TRUE(setup.Start("\"" + medium + "SETUP.EXE\""));
  HWND next = WaitForButton(setup.Id(), "テスト続行(&C)");
  ASSERT_NE(next, nullptr) << "no title page";
  ClickWhenEnabled(next);
  HWND box = WaitForBox(setup.Id(), "警告");
  ASSERT_NE(box, nullptr) << "the checker's verdict was not shown";
  EXPECT_BYTES(BoxText(box), "容量が足りません。\r\n空けてからやり直してください。");
  Answer(box, IDOK);
  for (int i = 0; i < 100 && IsWindowEnabled(next); ++i) Sleep(50);
  EXPECT_FALSE(IsWindowEnabled(next)) << "the wizard was not blocked";
  EXPECT_FALSE(Exists(kResultFile));
  HWND end = WaitForButton(setup.Id(), "テスト終了(&E)");
  ASSERT_NE(end, nullptr);
  ClickWhenEnabled(end);
  ASSERT_EQ(WaitForSingleObject(setup.Handle(), 15000), WAIT_OBJECT_0) << "blocked: the end button closes at once";
  EXPECT_FALSE(Exists(leftover));
  EXPECT_FALSE(Exists(TempFolder() + "ODTMP1\\SETUPB.EXE"));
}

TEST(WizardProgram, AContinuingCheckerLeadsToTheLicenceWhoseRefusalEndsWithoutAQuestion) {
  const std::string medium = MakeMedium("ov_medium_continue",
                                        "[Extend]\r\nSetupString=テスト\r\nInstallChecker=CHECK.EXE\r\n"
                                        "[EULA]\r\nFile=EULA.TXT\r\n");
  Write(medium + "CHECK.TXT", "[CheckResult]\r\nResult=ContinueInstall\r\n");
  Program setup;
  ASSERT_TRUE(setup.Start("\"" + medium + "SETUP.EXE\""));
  HWND next = WaitForButton(setup.Id(), "テスト続行(&C)");
  ASSERT_NE(next, nullptr);
  ClickWhenEnabled(next);
  HWND agree = WaitForButton(setup.Id(), "同意する(&A)");
  ASSERT_NE(agree, nullptr) << "the licence page did not follow the checker";
  EXPECT_FALSE(IsWindowEnabled(agree));
  EXPECT_FALSE(Exists(kResultFile));
  HWND refuse = WaitForButton(setup.Id(), "同意しない(&N)");
  ASSERT_NE(refuse, nullptr);
  ClickWhenEnabled(refuse);
  EXPECT_EQ(WaitForSingleObject(setup.Handle(), 15000), WAIT_OBJECT_0);
}

TEST(WizardProgram, TheUninstallPageFromARecordPathAsksBeforeItEnds) {
  const std::string record = TempFolder() + "ov_record\\";
  CreateDirectoryA(record.c_str(), nullptr);
  Write(record + "UNSETUP.INI", "[Extend]\r\nUnSetupString=削除\r\n[SetupFolder]\r\nFolder=C:\\Program Files\\サンプル\\\r\n");
  Program setup;
  ASSERT_TRUE(setup.Start("\"" + ThisFolder() + "SETUP.EXE\" \"" + record + "UNSETUP.INI\""));
  HWND start = WaitForButton(setup.Id(), "削除開始(&S)");
  ASSERT_NE(start, nullptr) << "no uninstall page";
  // Start-up gives the caption first, then enables the button.
  for (int i = 0; i < 100 && !IsWindowEnabled(start); ++i) Sleep(50);
  EXPECT_TRUE(IsWindowEnabled(start));
  HWND end = WaitForButton(setup.Id(), "削除終了(&E)");
  ASSERT_NE(end, nullptr);
  ClickWhenEnabled(end);
  HWND box = WaitForBox(setup.Id(), "終了確認");
  ASSERT_NE(box, nullptr);
  EXPECT_BYTES(BoxText(box), "インストール/削除は終了していません。\r\n終了してもよろしいですか？");
  Answer(box, IDYES);
  EXPECT_EQ(WaitForSingleObject(setup.Handle(), 15000), WAIT_OBJECT_0);
}

// Confirms the folder browser when it appears in this process.
HHOOK g_hook = nullptr;
int g_browsers = 0;
LRESULT CALLBACK ConfirmBrowser(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr) {
      ++g_browsers;
      Answer(window, IDOK);
    }
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

void SettleScreen(ui::Form& form) {
  for (int i = 0; i < 6; ++i) {
    form.ProcessMessages();
    GdiFlush();
    Sleep(50);
  }
}

// The wizard in front of the background, as the screen shows them.
void Capture(ui::Form& form, ui::Form& back, const std::string& name) {
  SettleScreen(form);
  if (ui::test::CanCapture()) {
    EXPECT_TRUE(ui::test::CaptureFormOver(form, back, name));
  }
}

TEST(WizardScreens, EveryPageTheFreeSpaceAndTheFolderBrowser) {
  const std::string medium = MakeMedium("ov_medium_pages",
                                        "[Title]\r\nSetup=Orvane ファイルツール　インストール\r\nProgram=ファイルツール\r\n"
                                        "CopyRight1=Copyright (C) 2003 Orvane Software\r\nCopyRight2=All rights reserved.\r\n"
                                        "[DefaultFolder]\r\nFolder=(Prg)Orvane\\ファイルツール\r\n"
                                        "[TopMessage]\r\nMessage1=Orvane ファイルツールをインストールします。\r\n"
                                        "Message2=インストール先を確かめて「インストール開始」を押してください。\r\n"
                                        "[EULA]\r\nFile=EULA.TXT\r\n[Readme]\r\nFile=README.TXT\r\nTitle=お読みください\r\n"
                                        "[ShortCut]\r\nName1=(Dsk)ファイルツール\r\nName2=(Smn)ファイルツール\r\n");
  platform::Win32InstallPlatform platform;
  ui::win32::Win32Backend backend;
  StartupValues values;
  SetupApp app(backend, platform, values, medium + "SETUP.EXE");
  bool shown = false;
  backend.SetModalHook([&](ui::Form& form) {
    if (&form != &app.frmMain) return;
    shown = true;
    TfrmMain& w = app.frmMain;
    EXPECT_TRUE(w.fraTitle.Visible());
    EXPECT_TRUE(IsZoomed(reinterpret_cast<HWND>(app.frmBack.Handle()))) << "the background is no longer maximised";
    EXPECT_NE(w.lblTitleMessage.Caption().find("【注意】"), std::string::npos);  // Wine is an NT
    Capture(w, app.frmBack, "setup-title");
    w.btnEvent.Click();
    ASSERT_BYTES(w.btnEvent.Caption(), "同意する(&A)");
    w.chkEULARead.Click();
    Capture(w, app.frmBack, "setup-eula");
    w.btnEvent.Click();
    ASSERT_BYTES(w.fraReadme.Caption(), "お読みください");
    Capture(w, app.frmBack, "setup-readme");
    w.btnEvent.Click();
    ASSERT_TRUE(w.grpOption.Visible());

    // The free space of C:, with the system's thousands separator.
    const std::string head = "インストールフォルダ(空き容量：";
    w.txtFolder.SetText("C:\\Program Files\\Orvane\\");
    const std::string caption = w.grpSetupFolder.Caption();
    ASSERT_EQ(caption.rfind(head, 0), 0u) << caption;
    const std::string number = caption.substr(head.size(), caption.size() - head.size() - 5);
    EXPECT_BYTES(caption.substr(caption.size() - 5), "Byte)");
    ULARGE_INTEGER free{}, total{}, totalFree{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &free, &total, &totalFree));
    std::string digits;
    for (char c : number) {
      if (c != ',') digits += c;
    }
    EXPECT_GT(std::stoull(digits), 0u);
    EXPECT_NE(number.find(','), std::string::npos) << number;
    char drive = 'Z';
    while (drive > 'C' && GetDriveTypeA((std::string(1, drive) + ":\\").c_str()) != DRIVE_NO_ROOT_DIR) --drive;
    w.txtFolder.SetText(std::string(1, drive) + ":\\APP\\");
    EXPECT_BYTES(w.grpSetupFolder.Caption(), "インストールフォルダ(空き容量：不明)") << drive;

    // The folder browser, confirmed at its start folder: the path comes back with "\".
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    w.txtFolder.SetText(std::string(windows) + "\\");
    g_hook = SetWindowsHookExA(WH_CBT, &ConfirmBrowser, nullptr, GetCurrentThreadId());
    w.btnRefer.Click();
    UnhookWindowsHookEx(g_hook);
    EXPECT_EQ(g_browsers, 1);
    EXPECT_EQ(lstrcmpiA(w.txtFolder.Text().c_str(), (std::string(windows) + "\\").c_str()), 0) << w.txtFolder.Text();

    w.txtFolder.SetText(values.installFolder);
    Capture(w, app.frmBack, "setup-lastpage");
    app.frmBack.SetEnabled(true);
    w.btnEnd.Click();
  });
  app.Run();
  EXPECT_TRUE(shown);
}

TEST(WizardScreens, TheUninstallPage) {
  const std::string record = TempFolder() + "ov_record_page\\";
  CreateDirectoryA(record.c_str(), nullptr);
  Write(record + "UNSETUP.INI",
        "[Title]\r\nUnSetup=Orvane ファイルツール　アンインストール\r\n"
        "[SetupFolder]\r\nFolder=C:\\Program Files\\Orvane\\ファイルツール\\\r\n[UnSetupOption]\r\nCheckBox=1,0,1,0\r\n");
  platform::Win32InstallPlatform platform;
  ui::win32::Win32Backend backend;
  StartupValues values;
  SetupApp app(backend, platform, values, ThisFolder() + "SETUP.EXE");
  app.argument1 = record + "UNSETUP.INI";
  backend.SetModalHook([&](ui::Form& form) {
    if (&form != &app.frmMain) return;
    TfrmMain& w = app.frmMain;
    EXPECT_BYTES(w.btnEvent.Caption(), "アンインストール開始(&S)");
    EXPECT_TRUE(w.lblUnSetupInfo.Visible());
    Capture(w, app.frmBack, "unsetup-page");
    app.frmBack.SetEnabled(true);
    w.btnEnd.Click();
  });
  app.Run();
}

TEST(WizardScreens, TheErrorStateWithTwoCollectedErrors) {
  // The in-memory Windows gives up its Windows folder and has no script; the window is real.
  platform::FakePlatform platform;
  platform.Files().AddVolume('D');
  platform.Files().PutFile("D:\\SETUP.EXE", "MZ");
  platform.InstallShell().RemoveSpecialFolder(platform::csidl::kWindows);
  platform.Failures().FailCall("GetWindowsDirectoryA", 1, ERROR_ACCESS_DENIED);
  ui::win32::Win32Backend backend;
  StartupValues values;
  SetupApp app(backend, platform, values, "D:\\SETUP.EXE");
  backend.SetModalHook([&](ui::Form& form) {
    if (&form != &app.frmMain) return;
    TfrmMain& w = app.frmMain;
    EXPECT_EQ(w.Outcome(), StartupOutcome::kError);
    EXPECT_TRUE(IsZoomed(reinterpret_cast<HWND>(app.frmBack.Handle()))) << "the background is no longer maximised";
    EXPECT_NE(w.lblMessage.Caption().find("Windowsフォルダ取得失敗"), std::string::npos);
    EXPECT_NE(w.lblMessage.Caption().find("iniファイル読み込み失敗"), std::string::npos);
    EXPECT_FALSE(w.btnEvent.Enabled());
    Capture(w, app.frmBack, "setup-error");
    w.btnEnd.Click();
  });
  app.Run();
  EXPECT_FALSE(app.frmMain.Visible());
}

}  // namespace
}  // namespace ov::setup
