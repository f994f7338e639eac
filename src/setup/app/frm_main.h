// TfrmMain: the wizard in front of the background. One fixed window whose pages change in
// place: title, licence agreement, readme and the last page (message, folder, options),
// or the uninstall page. btnEvent's caption says what its next press does; start-up fills
// the window through StartupView, and the start buttons hand over to the runs through
// RunStarter.
#pragma once

#include <string>

#include "setup/engine/startup.h"
#include "ui/form.h"

namespace ov::setup {

class SetupApp;

// What the wizard's start buttons start; the program wires the runs behind it.
class RunStarter {
 public:
  virtual ~RunStarter() = default;
  virtual void StartInstall() = 0;
  virtual void StartUninstall() = 0;
};

class TfrmMain : public ui::Form, public StartupView {
 public:
  TfrmMain(ui::Backend& backend, SetupApp& app);

  ui::Button btnEvent{*this, "btnEvent"};
  ui::Button btnEnd{*this, "btnEnd"};
  // The answer of frmCustomDlg ("Yes", "No", "Delete", "Save"); invisible.
  ui::Label lblFormShare{*this, "lblFormShare"};

  ui::GroupBox fraTitle{*this, "fraTitle"};
  ui::Label lblTitleA1{fraTitle, "lblTitleA1"};
  ui::Label lblTitleA2{fraTitle, "lblTitleA2"};
  ui::Image imgTitle1{fraTitle, "imgTitle1"};
  ui::Label lblTitleMessage{fraTitle, "lblTitleMessage"};

  ui::GroupBox fraReadme{*this, "fraReadme"};
  ui::Memo txtReadme{fraReadme, "txtReadme"};
  ui::CheckBox chkEULARead{fraReadme, "chkEULARead"};

  ui::GroupBox fraSelectType{*this, "fraSelectType"};
  ui::Label lblSelectTypeMsg{fraSelectType, "lblSelectTypeMsg"};
  ui::RadioButton optSelectType1{fraSelectType, "optSelectType1"};
  ui::RadioButton optSelectType2{fraSelectType, "optSelectType2"};
  ui::Label lblTitleB1{fraSelectType, "lblTitleB1"};
  ui::Label lblTitleB2{fraSelectType, "lblTitleB2"};
  ui::Image imgTitle2{fraSelectType, "imgTitle2"};

  ui::GroupBox grpMessage{*this, "grpMessage"};
  ui::Label lblMessage{grpMessage, "lblMessage"};
  ui::GroupBox grpSetupFolder{*this, "grpSetupFolder"};
  ui::Edit txtFolder{grpSetupFolder, "txtFolder"};
  ui::Button btnRefer{grpSetupFolder, "btnRefer"};
  ui::GroupBox grpOption{*this, "grpOption"};
  ui::CheckBox chkOverWrite{grpOption, "chkOverWrite"};
  ui::GroupBox fraShortCut{grpOption, "fraShortCut"};
  ui::Label lblUnSetupInfo{fraShortCut, "lblUnSetupInfo"};
  ui::CheckBox chkSCutDesktop{fraShortCut, "chkSCutDesktop"};
  ui::CheckBox chkSCutStartMenu{fraShortCut, "chkSCutStartMenu"};
  ui::CheckBox chkSCutStartUp{fraShortCut, "chkSCutStartUp"};
  ui::CheckBox chkSCutSendTo{fraShortCut, "chkSCutSendTo"};

  static constexpr const char* kFolderDialogTitle = "セットアップフォルダを選択してください．";

  // The pages: exactly the named frames shown.
  enum class Page { kTitle, kReadme, kLast, kSelectType };
  void ShowPage(Page page);

  void FormCreate(ui::Control& sender);
  void FormActivate(ui::Control& sender);
  void FormCloseQuery(ui::Form& sender, bool& canClose);
  void FormClose(ui::Control& sender);
  void btnEventClick(ui::Control& sender);
  void btnEndClick(ui::Control& sender);
  void btnReferClick(ui::Control& sender);
  void txtFolderChange(ui::Control& sender);
  void chkEULAReadClick(ui::Control& sender);

  // StartupView.
  void DisableCloseCommand() override;
  void SetOsTitle(const std::string& caption) override;
  void SetTitle(const std::string& title) override;
  void SetBanner(const std::string& line1, const std::string& line2) override;
  void SetMessage(const std::string& text) override;
  void SetFolderText(const std::string& folder) override;
  void SetFolderControlsEnabled(bool enabled) override;
  void SetFolderGroupCaption(const std::string& caption) override;
  void SetOptionGroupCaption(const std::string& caption) override;
  void RefreshFreeSpace() override;
  void SetEventCaption(const std::string& caption) override;
  void SetEventEnabled(bool enabled) override;
  void SetEndCaption(const std::string& caption) override;
  void SetEndEnabled(bool enabled) override;
  void FocusEnd() override;
  void SetShortcutBox(OptionBox box, bool checked, bool enabled) override;
  void Step() override;
  void ShowLastPage() override;
  void MakeFolderReadOnly() override;
  void ArrangeUninstallOptions(const std::string& frameCaption) override;
  void SetUninstallBox(OptionBox box, const BoxState& state) override;
  void ShowUninstallInfo(const std::string& caption) override;

  // Around a run started by the start button: closing the wizard meanwhile leaves the work
  // folders (the run reads its script copy there) until the run has returned.
  void BeginRun();
  void EndRun();

  // How start-up ended (kError until it ran).
  StartupOutcome Outcome() const { return outcome_; }

 private:
  ui::CheckBox& BoxOf(OptionBox box);
  // The checker hook; false when it blocked the wizard.
  bool RunInstallChecker();
  void ApplyScrollBars(const std::string& value);
  // A script key's file relative to the program folder; empty when unset or missing.
  std::string PageFile(const std::string& section);
  std::string ReadScript(const std::string& section, const std::string& key, const std::string& defaultValue = "");

  // The work folders' contents go; after a run, the shell hears of the changes.
  void RemoveWorkFolders();

  SetupApp& app_;
  bool runInProgress_ = false;
  bool closePending_ = false;
  StartupOutcome outcome_ = StartupOutcome::kError;
};

}  // namespace ov::setup
