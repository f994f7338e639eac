// The runs behind the wizard's start buttons: the install run and the uninstall run each
// see the program's windows (wizard, status dialog, shared-file question) through a view
// made of the real forms.
#pragma once

#include <string>

#include "setup/app/frm_main.h"
#include "setup/engine/install_run.h"
#include "setup/engine/uninstall_run.h"

namespace ov::setup {

class SetupApp;

// What both runs do with the windows in the same way.
class RunWindowsBase {
 protected:
  explicit RunWindowsBase(SetupApp& app) : app_(app) {}
  // The wizard hidden, the status dialog shown, btnEnd hidden and btnEvent centred in the
  // wizard's client area for the pages at the end.
  void ShowStatus();
  void ShowDetailsPage(const std::string& caption, const std::string& details);
  void Pump();
  bool EventPressed();
  void BeepOnce();

  SetupApp& app_;
};

class InstallWindows : public InstallRunView, private RunWindowsBase {
 public:
  explicit InstallWindows(SetupApp& app) : RunWindowsBase(app) {}

  WizardChoices ReadChoices() override;
  void HideMainWindow() override;
  void ShowStatusWindow() override { ShowStatus(); }
  void SetStatusText(const std::string& text) override;
  void ShowProgress(bool visible) override;
  void SetProgress(int position, const std::string& text) override;
  void EnableAbort(bool enabled) override;
  void ProcessMessages() override { Pump(); }
  bool Aborted() override;
  void ShowFailureDetails(const std::string& details) override;
  void EndFailureDetails() override;
  bool EventButtonPressed() override { return EventPressed(); }
  void ShowNextButton() override;
  bool NextPressed() override;
  void Beep() override { BeepOnce(); }
  void ShowFinalChoice(const FinalChoice& choice) override;
  bool SecondChoiceSelected() override;
  void HideWindows() override;
  void RequestRestart() override;
  void FinishWizard() override;
};

class UninstallWindows : public UninstallRunView, private RunWindowsBase {
 public:
  explicit UninstallWindows(SetupApp& app) : RunWindowsBase(app) {}

  UninstallChoices ReadChoices() override;
  void DisableOptions() override;
  void ShowStatusWindow() override { ShowStatus(); }
  void SetStatusText(const std::string& text) override;
  void ProcessMessages() override { Pump(); }
  SharedAnswer AskSharedFile(const std::string& text) override;
  void ShowFailureDetails(const std::string& caption, const std::string& details) override;
  bool EventButtonPressed() override { return EventPressed(); }
  void HideMainWindow() override;
  void ShowStatusAgain() override;
  void ShowCompletionButton(const std::string& caption) override;
  void Beep() override { BeepOnce(); }
};

// Set on SetupApp::runStarter by the program: each start button runs its run to the end
// inside the button's handler, on the window thread, as the windows expect.
class RunWindows : public RunStarter {
 public:
  explicit RunWindows(SetupApp& app) : app_(app) {}
  void StartInstall() override;
  void StartUninstall() override;

 private:
  // After a run that failed unexpectedly: the windows as a finished run leaves them, so the
  // program can still be closed.
  void Recover(const std::string& mode);

  SetupApp& app_;
};

}  // namespace ov::setup
