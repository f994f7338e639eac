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
#include "setup/engine/file_utils.h"
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
  // The program's first argument: the uninstall record's path in mode "UNSETUP".
  std::string argument1;
  // The engine's view of the platform, the ui and the wizard's window; start-up fills its
  // mode and folder table.
  EngineContext context;
  // What the wizard's start buttons start; not owned. Unset, the buttons start nothing.
  RunStarter* runStarter = nullptr;

  TfrmBack frmBack;
  TfrmMain frmMain;
  TfrmStatus frmStatus;
  TfrmCustomDlg frmCustomDlg;
};

}  // namespace ov::setup
