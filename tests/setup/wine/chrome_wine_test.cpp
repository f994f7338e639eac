// SETUP.EXE and its window chrome under Wine: the single-instance rule with the real
// program started twice, the version reader on the real program file, the restart's
// privilege steps read back from the process token (the session itself is never ended),
// and the pictures of the background, the status dialog and the deletion question.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_install.h"
#include "setup/app/setup_app.h"
#include "setup/app/version.h"
#include "setup/app/win_reboot.h"
#include "setup_driver/setup_driver.h"
#include "support/readable.h"
#include "support/win_files.h"
#include "ui/screen_capture.h"
#include "ui/win32/win32_backend.h"

namespace ov::setup {
namespace {

std::string BesideThisProgram(const std::string& name) { return ov::test::ThisFolder() + name; }

std::string SetupExe() { return BesideThisProgram("SETUP.EXE"); }

using driver::Program;

struct WindowSearch {
  DWORD process = 0;
  std::string captionStart;
  bool visibleOnly = true;
  std::vector<HWND> found;
  std::vector<HWND> forms;  // every window of the forms' class, shown or not
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search.process) return TRUE;
  char className[64] = {};
  GetClassNameA(window, className, sizeof(className));
  if (std::string(className) == "OvUiForm") search.forms.push_back(window);
  if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof(caption));
  if (std::string(caption).rfind(search.captionStart, 0) == 0) search.found.push_back(window);
  return TRUE;
}

std::vector<HWND> WindowsOf(DWORD process, const std::string& captionStart = "", bool visibleOnly = true) {
  WindowSearch search{process, captionStart, visibleOnly, {}, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The windows of the program's forms, hidden ones included.
std::size_t FormWindowsOf(DWORD process) {
  WindowSearch search{process, "", false, {}, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.forms.size();
}

// Presses the wizard's end button of a running SETUP.EXE; true once the program ended.
bool EndSetup(const Program& started) {
  HWND end = nullptr;
  // Beside no script start-up ends in its error state, whose end button says "終了(&E)";
  // start-up runs once the wizard shows, so the button gets that caption a little later.
  for (int i = 0; i < 200 && end == nullptr; ++i) {
    for (HWND window : WindowsOf(started.Id())) {
      if (end == nullptr) end = FindWindowExA(window, nullptr, "Button", "終了(&E)");
    }
    if (end == nullptr) Sleep(50);
  }
  if (end == nullptr) return false;
  PostMessageA(end, BM_CLICK, 0, 0);
  return WaitForSingleObject(started.Handle(), 10000) == WAIT_OBJECT_0;
}

// Waits up to ten seconds for a visible window of the process whose caption starts so.
HWND WaitForWindow(DWORD process, const std::string& captionStart) {
  for (int i = 0; i < 200; ++i) {
    std::vector<HWND> found = WindowsOf(process, captionStart);
    if (!found.empty()) return found.front();
    Sleep(50);
  }
  return nullptr;
}

std::string CaptionOf(HWND window) {
  char caption[256] = {};
  GetWindowTextA(window, caption, sizeof(caption));
  return caption;
}

const std::string kExpectedCaption = "Ondaro! Setup 200x Version" + VersionText(ParseFileVersion(OV_SETUP_VERSION));

TEST(SetupExe, ASecondInstanceEndsAtOnceWithoutAWindowAndTheFirstRunsOn) {
  Program first;
  ASSERT_TRUE(first.Start("\"" + SetupExe() + "\"")) << SetupExe();
  HWND background = WaitForWindow(first.Id(), "Ondaro! Setup 200x Version");
  ASSERT_NE(background, nullptr) << "the first instance shows no background";
  EXPECT_BYTES(CaptionOf(background), kExpectedCaption);
  // The wizard in front of the maximised background (the caption is set just before).
  for (int i = 0; i < 100 && !IsZoomed(background); ++i) Sleep(50);
  EXPECT_TRUE(IsZoomed(background));
  HWND wizard = WaitForWindow(first.Id(), "Ondaro! Setup 200x");
  ASSERT_NE(wizard, nullptr);

  Program second;
  ASSERT_TRUE(second.Start("\"" + SetupExe() + "\""));
  bool secondShowedAWindow = false;
  DWORD waited = WAIT_TIMEOUT;
  for (int i = 0; i < 200 && waited == WAIT_TIMEOUT; ++i) {
    if (!WindowsOf(second.Id()).empty() || FormWindowsOf(second.Id()) > 0) {
      secondShowedAWindow = true;
    }
    waited = WaitForSingleObject(second.Handle(), 50);
  }
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the second instance did not end";
  DWORD exitCode = 1;
  GetExitCodeProcess(second.Handle(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(secondShowedAWindow);

  // The first is unaffected: running, its background still shown; its end button ends it.
  EXPECT_EQ(WaitForSingleObject(first.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(IsWindowVisible(background));
  ASSERT_TRUE(EndSetup(first)) << "the first instance did not end by its end button";
  GetExitCodeProcess(first.Handle(), &exitCode);
  EXPECT_EQ(exitCode, 0u);

  // With the first gone, the name is free again: a new instance shows its window.
  Program third;
  ASSERT_TRUE(third.Start("\"" + SetupExe() + "\""));
  EXPECT_NE(WaitForWindow(third.Id(), "Ondaro! Setup 200x Version"), nullptr);
  EXPECT_TRUE(EndSetup(third));
}

TEST(SetupExe, VersionReaderReadsTheProgramsOwnResource) {
  platform::Win32Session session;
  std::string text;
  ASSERT_TRUE(session.FileVersionText(SetupExe(), text));
  EXPECT_BYTES(text, OV_SETUP_VERSION);
  FileVersion version;
  ASSERT_TRUE(ReadFileVersion(session, SetupExe(), version));
  EXPECT_BYTES(VersionText(version), VersionText(ParseFileVersion(OV_SETUP_VERSION)));
  // A file without a version resource.
  const std::string plain = BesideThisProgram("no_version.txt");
  HANDLE file = CreateFileA(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_FALSE(session.FileVersionText(plain, text));
  DeleteFileA(plain.c_str());
}

// The real token's privilege steps; the session's end itself fails here (as it does where
// the privilege is missing), so that nothing of the prefix is restarted or logged off.
class RefusingSession : public platform::SessionApi {
 public:
  platform::Error SetShutdownPrivilege(bool enabled) override { return real.SetShutdownPrivilege(enabled); }
  bool ShutdownPrivilegeEnabled() override { return real.ShutdownPrivilegeEnabled(); }
  platform::Error EndSession(std::uint32_t flags) override {
    flagsSeen.push_back(flags);
    privilegeAtEnd = real.ShutdownPrivilegeEnabled();
    return ERROR_PRIVILEGE_NOT_HELD;
  }
  bool FileVersionText(const std::string& path, std::string& text) override { return real.FileVersionText(path, text); }

  platform::Win32Session real;
  std::vector<std::uint32_t> flagsSeen;
  bool privilegeAtEnd = false;
};

TEST(WinReboot, EnablesTheRealPrivilegeForTheCallAndReportsTheFailure) {
  RefusingSession session;
  ASSERT_EQ(session.real.SetShutdownPrivilege(false), 0u);
  ASSERT_FALSE(session.real.ShutdownPrivilegeEnabled());
  TWinReboot WinReboot(session);
  EXPECT_FALSE(WinReboot.Reboot(platform::exit_flag::kReboot));
  ASSERT_EQ(session.flagsSeen.size(), 1u);
  EXPECT_EQ(session.flagsSeen[0], static_cast<std::uint32_t>(EWX_REBOOT));
  EXPECT_TRUE(session.privilegeAtEnd) << "the privilege was not enabled for ExitWindowsEx";
  EXPECT_FALSE(session.real.ShutdownPrivilegeEnabled()) << "the privilege stayed enabled";
}

// Wine copies what a window painted to the X screen a little later; the pictures are read
// from the screen, so the windows are given that time (a wait for the display, not a
// measured time).
void SettleScreen(ui::Form& form) {
  for (int i = 0; i < 6; ++i) {
    form.ProcessMessages();
    GdiFlush();
    Sleep(50);
  }
}

// The program's windows in this process, on the real backend, as a walkthrough that saves
// their pictures.
TEST(SetupScreens, BackgroundStatusAndQuestion) {
  platform::Win32InstallPlatform platform;
  ui::win32::Win32Backend backend;
  StartupValues values;
  SetupApp app(backend, platform, values, SetupExe());
  int questions = 0;
  backend.SetModalHook([&](ui::Form& form) {
    if (&form == &app.frmCustomDlg) {
      ++questions;
      SettleScreen(form);
      if (ui::test::CanCapture()) {
        EXPECT_TRUE(ui::test::CaptureForm(form, "setup-customdlg"));
      }
      app.frmCustomDlg.btnDelete.Click();
      return;
    }
    if (&form != &app.frmMain) return;
    TfrmBack& back = app.frmBack;
    EXPECT_BYTES(back.Caption(), kExpectedCaption);
    back.SetTitle("Orvane ファイルツール　インストール");
    back.SetBanner("Copyright (C) 2003 Orvane Software\r\nAll rights reserved.");
    SettleScreen(form);
    if (ui::test::CanCapture()) {
      EXPECT_TRUE(ui::test::CaptureFormSurface(back, "setup-back"));
    }

    // A run in progress: the status log in place of the hidden wizard.
    TfrmStatus& status = app.frmStatus;
    form.Hide();
    status.lblMessage.SetCaption(
        "インストールの準備 ... OK\r\n"
        "空き容量の確認 ... OK\r\n"
        "フォルダの作成 ... OK\r\n"
        "ファイルのコピー ...");
    status.fraStatus.Show();
    status.prgStatus.SetPosition(40);
    status.lblStatus.SetCaption("40%(4/10)");
    status.btnAbort.SetEnabled(true);
    status.Show();
    SettleScreen(form);
    if (ui::test::CanCapture()) {
      EXPECT_TRUE(ui::test::CaptureForm(status, "setup-status"));
    }

    app.frmCustomDlg.lblMessage.SetCaption(
        "次の共有ファイルは、もう使われていない可能性があります。削除しますか？\r\n"
        "C:\\Program Files\\Orvane\\ファイル整理ツール\\共通コンポーネント\\ソフト一覧表示モジュール\\ovshellex.dll");
    app.frmCustomDlg.ShowModal();
    EXPECT_BYTES(app.frmMain.lblFormShare.Caption(), "Delete");
    status.Hide();
    app.frmMain.btnEnd.Click();
  });
  app.Run();
  EXPECT_EQ(questions, 1);
  EXPECT_FALSE(app.frmBack.Visible());
}

}  // namespace
}  // namespace ov::setup
