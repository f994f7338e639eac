// The uninstall run: from the uninstall page's start button to the completion button of
// the status window. It reads the record from the script copy in the work folder (the
// record in the install folder is among what it deletes), removes files, shortcuts,
// folders, registry keys, associations, the Windows uninstall entry and the install
// folder, and reaches the wizard and the status window only through UninstallRunView.
//
// Beyond the record's own rules, nothing that Windows or the user needs as a whole goes:
// a drive root, the Windows, system, temporary and user folders (and any folder above
// one of them) are never removed, and a wildcard in such a folder matches files only.
#pragma once

#include <string>
#include <vector>

#include "setup/engine/file_utils.h"
#include "setup/engine/startup_values.h"

namespace ov::setup {

// The uninstall page's inputs, read once when the run starts.
struct UninstallChoices {
  std::string folder;              // txtFolder
  bool desktopChecked = false;     // chkSCutDesktop (the "*.INI" box, or the all-files box alone)
  bool startMenuChecked = false;   // chkSCutStartMenu (the "*.GID" box)
  // Visibility of chkSCutStartMenu, chkSCutStartUp, chkSCutSendTo: all hidden means the
  // page shows the all-files box alone.
  bool startMenuVisible = true;
  bool startUpVisible = true;
  bool sendToVisible = true;
};

// The four buttons of frmCustomDlg, as its result channel (lblFormShare) carries them.
enum class SharedAnswer { kYes, kNo, kDelete, kSave };

// What the run needs of the wizard (TfrmMain), the status window (TfrmStatus) and the
// shared-file question (TfrmCustomDlg). Message boxes go through ShowMessageBox.
class UninstallRunView {
 public:
  virtual ~UninstallRunView() = default;

  virtual UninstallChoices ReadChoices() = 0;
  // Disables the four option boxes.
  virtual void DisableOptions() = 0;
  // Hides the wizard, shows the status window with btnEnd hidden and btnEvent centred in
  // the wizard's client area.
  virtual void ShowStatusWindow() = 0;
  // lblMessage; the run processes pending messages after each change.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void ProcessMessages() = 0;
  // frmCustomDlg shown modally with the question text; its answer.
  virtual SharedAnswer AskSharedFile(const std::string& text) = 0;
  // The failure-detail page (fraReadme alone, its caption, txtReadme with a vertical
  // scroll bar, btnEvent "続行(&C)" enabled), the wizard shown and the status hidden.
  virtual void ShowFailureDetails(const std::string& caption, const std::string& details) = 0;
  // btnEvent has disabled itself: the user pressed it.
  virtual bool EventButtonPressed() = 0;
  // Hides the wizard (the status window comes back after EndFailureDetails).
  virtual void HideMainWindow() = 0;
  virtual void ShowStatusAgain() = 0;
  // btnAbort of the status window gets the caption and is enabled; pressing it ends the
  // program.
  virtual void ShowCompletionButton(const std::string& caption) = 0;
  virtual void Beep() = 0;
};

enum class UninstallEnd {
  kCompleted,      // the completion button is shown
  kNoFolder,       // the install folder was unknown; nothing was removed
};

// One file entry of [DeleteFile] or [AddDeleteFile] as the run decided it.
struct FileDecision {
  std::string path;
  std::string flags;  // with "/L" added when the file was kept
  platform::Error result = 0;
  bool scheduled = false;  // deletion at the next restart
};

class UninstallRun {
 public:
  UninstallRun(EngineContext& context, const StartupValues& startup, UninstallRunView& view);

  // The whole run. Never throws.
  UninstallEnd Run();

  const std::string& StatusLog() const { return statusLog_; }
  const std::string& Details() const { return details_; }
  int FailureCount() const { return failures_; }
  const std::string& OptionPatterns() const { return patterns_; }
  bool DeleteAll() const { return deleteAll_; }
  const std::vector<FileDecision>& Decisions() const { return decisions_; }

 private:
  bool Prepare();
  void RemoveFiles(const char* section, bool counted);
  FileDecision DecideFile(const std::string& entry);
  platform::Error DeleteEntry(const std::string& path);
  // The files (never folders) a pattern matches, except the program's own, in one delete.
  platform::Error DeleteMatchingFiles(const std::string& pattern);
  void RemoveShortcuts();
  void RemoveFolders();
  void RemoveRegistryKeys();
  void RestoreAssociations();
  void RemoveUninstallEntry();
  void RemoveInstallFolder();
  void OfferFailureDetails();
  void Complete();

  void Show();
  void NextStep(const std::string& name);
  void Fail(const std::string& lines);
  bool Ask(const std::string& text);
  // Values of section key1, key2, ... up to the first empty one.
  std::vector<std::string> List(const char* section, const char* prefix);
  std::string Record(const char* section, const char* key);
  // A full path with "/" as "\", "." and ".." resolved and trailing dots and blanks of its
  // names dropped, as Windows reads it; empty when it is not a full path.
  std::string Normalized(const std::string& path);
  // A drive root, one of the system's and user's folders, or a folder above one of them.
  bool Protected(const std::string& folder);
  // The program's own files: the work folder (the record copy is read there) with the
  // folders above it, and the uninstaller in the Windows folder.
  bool InUse(const std::string& path);
  bool InWorkFolder(const std::string& path);
  bool Contains(const std::string& text, const std::string& part);

  EngineContext& context_;
  const StartupValues& startup_;
  UninstallRunView& view_;
  UninstallChoices choices_;

  std::string statusLog_;
  std::string result_;
  std::string details_;
  int failures_ = 0;
  std::string patterns_;
  bool deleteAll_ = false;
  std::string installFolder_;
  std::string channel_;  // lblFormShare: "Yes", "No", "Delete" or "Save"
  std::vector<FileDecision> decisions_;
};

}  // namespace ov::setup
