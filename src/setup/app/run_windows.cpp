// The views of the runs over the real forms, and the starter the wizard's buttons call.
#include "setup/app/run_windows.h"

#include "setup/app/setup_app.h"
#include "setup/app/win_reboot.h"

namespace ov::setup {

namespace {

constexpr const char* kContinueCaption = "続行(&C)";

}  // namespace

// Shared by both runs.

void RunWindowsBase::ShowStatus() {
  TfrmMain& main = app_.frmMain;
  main.Hide();
  app_.frmStatus.Show();
  main.btnEnd.Hide();
  main.btnEvent.SetLeft((main.ClientWidth() - main.btnEvent.Width()) / 2);
}

void RunWindowsBase::ShowDetailsPage(const std::string& caption, const std::string& details) {
  TfrmMain& main = app_.frmMain;
  main.txtReadme.SetText(details);
  main.txtReadme.SetScrollBars(ui::ScrollBars::Vertical);
  main.fraReadme.SetCaption(caption);
  main.chkEULARead.Hide();
  main.btnEvent.SetCaption(kContinueCaption);
  main.btnEvent.SetEnabled(true);
  main.ShowPage(TfrmMain::Page::kReadme);
  main.Show();
  app_.frmStatus.Hide();
  main.btnEvent.SetFocus();
}

void RunWindowsBase::Pump() { app_.frmStatus.ProcessMessages(); }

// The step button disables itself when pressed with "続行(&C)" or the finish caption.
bool RunWindowsBase::EventPressed() { return !app_.frmMain.btnEvent.Enabled(); }

void RunWindowsBase::BeepOnce() { app_.frmStatus.GetBackend().Beep(); }

// The install run.

WizardChoices InstallWindows::ReadChoices() {
  const TfrmMain& main = app_.frmMain;
  WizardChoices choices;
  choices.overwrite = main.chkOverWrite.Checked();
  choices.shortcutDesktop = main.chkSCutDesktop.Checked();
  choices.shortcutStartMenu = main.chkSCutStartMenu.Checked();
  choices.shortcutStartUp = main.chkSCutStartUp.Checked();
  choices.shortcutSendTo = main.chkSCutSendTo.Checked();
  choices.folder = main.txtFolder.Text();
  return choices;
}

void InstallWindows::HideMainWindow() { app_.frmMain.Hide(); }

void InstallWindows::SetStatusText(const std::string& text) { app_.frmStatus.lblMessage.SetCaption(text); }

void InstallWindows::ShowProgress(bool visible) {
  TfrmStatus& status = app_.frmStatus;
  // The log lies under the progress group, as a label lies under a group on Windows; here
  // the label is a window of its own and would paint over the group, so it ends above it.
  const int fullHeight = TfrmStatus::kMessageHeight;
  const int height = visible ? status.fraStatus.Top() - status.lblMessage.Top() : fullHeight;
  status.lblMessage.SetBounds(status.lblMessage.Left(), status.lblMessage.Top(), status.lblMessage.Width(), height);
  status.fraStatus.SetVisible(visible);
}

void InstallWindows::SetProgress(int position, const std::string& text) {
  app_.frmStatus.prgStatus.SetPosition(position);
  app_.frmStatus.lblStatus.SetCaption(text);
}

void InstallWindows::EnableAbort(bool enabled) { app_.frmStatus.btnAbort.SetEnabled(enabled); }

bool InstallWindows::Aborted() { return app_.AbortRequested(); }

void InstallWindows::ShowFailureDetails(const std::string& details) {
  ShowDetailsPage("作成・コピー処理失敗　詳細表示", details);
}

void InstallWindows::EndFailureDetails() {
  app_.frmMain.fraReadme.Hide();
  app_.frmStatus.Show();
  app_.frmMain.Hide();
}

void InstallWindows::ShowNextButton() {
  ui::Button& next = app_.frmStatus.btnAbort;
  next.SetCaption(TfrmStatus::kNextCaption);
  next.SetEnabled(true);
  next.SetFocus();
}

// The status dialog's button disables itself when pressed with "次へ(&N)".
bool InstallWindows::NextPressed() { return !app_.frmStatus.btnAbort.Enabled(); }

void InstallWindows::ShowFinalChoice(const FinalChoice& choice) {
  TfrmMain& main = app_.frmMain;
  main.lblSelectTypeMsg.SetCaption(choice.message);
  main.optSelectType1.SetCaption(choice.firstChoice);
  main.optSelectType1.SetChecked(true);
  const bool second = !choice.secondChoice.empty();
  main.optSelectType2.SetCaption(choice.secondChoice);
  main.optSelectType2.SetChecked(false);
  main.optSelectType2.SetEnabled(second);
  main.optSelectType2.SetVisible(second);
  main.btnEvent.SetCaption(choice.buttonCaption);
  main.btnEvent.SetEnabled(true);
  main.ShowPage(TfrmMain::Page::kSelectType);
  main.Show();
  app_.frmStatus.Hide();
  main.btnEvent.SetFocus();
}

bool InstallWindows::SecondChoiceSelected() { return app_.frmMain.optSelectType2.Checked(); }

void InstallWindows::HideWindows() {
  app_.frmMain.Hide();
  app_.frmStatus.Hide();
}

void InstallWindows::RequestRestart() { TWinReboot(app_.platform.Session()).Reboot(platform::exit_flag::kReboot); }

void InstallWindows::FinishWizard() {
  app_.frmBack.SetEnabled(true);
  app_.frmStatus.Close();
  app_.frmMain.SetModalResult(ui::mrOk);
}

// The uninstall run.

UninstallChoices UninstallWindows::ReadChoices() {
  const TfrmMain& main = app_.frmMain;
  UninstallChoices choices;
  choices.folder = main.txtFolder.Text();
  choices.desktopChecked = main.chkSCutDesktop.Checked();
  choices.startMenuChecked = main.chkSCutStartMenu.Checked();
  choices.startMenuVisible = main.chkSCutStartMenu.Visible();
  choices.startUpVisible = main.chkSCutStartUp.Visible();
  choices.sendToVisible = main.chkSCutSendTo.Visible();
  return choices;
}

void UninstallWindows::DisableOptions() {
  TfrmMain& main = app_.frmMain;
  for (ui::CheckBox* box : {&main.chkSCutDesktop, &main.chkSCutStartMenu, &main.chkSCutStartUp, &main.chkSCutSendTo}) {
    box->SetEnabled(false);
  }
}

void UninstallWindows::SetStatusText(const std::string& text) { app_.frmStatus.lblMessage.SetCaption(text); }

SharedAnswer UninstallWindows::AskSharedFile(const std::string& text) {
  ui::Label& channel = app_.frmMain.lblFormShare;
  channel.SetCaption("");
  app_.frmCustomDlg.lblMessage.SetCaption(text);
  app_.frmCustomDlg.ShowModal();
  const std::string answer = channel.Caption();
  if (answer == "Yes") return SharedAnswer::kYes;
  if (answer == "Delete") return SharedAnswer::kDelete;
  if (answer == "Save") return SharedAnswer::kSave;
  // "No", or the dialog closed without an answer: the file stays.
  return SharedAnswer::kNo;
}

void UninstallWindows::ShowFailureDetails(const std::string& caption, const std::string& details) {
  ShowDetailsPage(caption, details);
}

void UninstallWindows::HideMainWindow() { app_.frmMain.Hide(); }

void UninstallWindows::ShowStatusAgain() { app_.frmStatus.Show(); }

void UninstallWindows::ShowCompletionButton(const std::string& caption) {
  ui::Button& done = app_.frmStatus.btnAbort;
  done.SetCaption(caption);
  done.SetEnabled(true);
  done.SetFocus();
}

// The starter.

void RunWindows::StartInstall() {
  app_.frmMain.BeginRun();
  try {
    InstallWindows view(app_);
    InstallRun run(app_.context, app_.values, view);
    run.Run();
  } catch (...) {
    Recover(app_.values.setupString);
  }
  app_.frmMain.EndRun();
}

void RunWindows::StartUninstall() {
  app_.frmMain.BeginRun();
  try {
    UninstallWindows view(app_);
    UninstallRun run(app_.context, app_.values, view);
    run.Run();
  } catch (...) {
    Recover(app_.values.unSetupString);
  }
  app_.frmMain.EndRun();
}

void RunWindows::Recover(const std::string& mode) {
  try {
    app_.frmBack.SetEnabled(true);
    app_.frmBack.ShowMessageBox(mode + "を続行できませんでした。", mode + "中止", ui::kMbIconStop);
    app_.frmStatus.Close();
    app_.frmMain.SetModalResult(ui::mrOk);
  } catch (...) {
    // Nothing more can be shown; the wizard's window still closes through its own buttons.
  }
}

}  // namespace ov::setup
