// The program's four windows, created in this order: the background (the main window), the
// wizard, the status dialog and the deletion question; with what they share: the platform,
// the start-up values and the path of the running program.
#pragma once

#include <string>

#include "platform/install.h"
#include "setup/app/custom_dlg.h"
#include "setup/app/frm_back.h"
#include "setup/app/frm_main.h"
#include "setup/app/frm_status.h"
#include "setup/engine/startup_values.h"

namespace ov::setup {

constexpr const char* kApplicationTitle = "Ondaro! Setup 200x";
// Only one installer runs at a time.
constexpr const char* kSetupMutexName = "ODRSETUP";

class SetupApp {
 public:
  SetupApp(ui::Backend& backend, platform::InstallPlatform& platform, StartupValues& values, std::string exePath);
  ~SetupApp();
  SetupApp(const SetupApp&) = delete;
  SetupApp& operator=(const SetupApp&) = delete;

  // Shows the background and runs until it closes.
  void Run() { frmBack.RunAsMainForm(); }
  // The abort button disables the wizard: a run stops at its next checkpoint.
  bool AbortRequested() const { return !frmMain.Enabled(); }

  platform::InstallPlatform& platform;
  StartupValues& values;
  const std::string exePath;

  TfrmBack frmBack;
  TfrmMain frmMain;
  TfrmStatus frmStatus;
  TfrmCustomDlg frmCustomDlg;
};

}  // namespace ov::setup
