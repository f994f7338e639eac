// The install run: from the wizard's start button to its completion page. The run owns its
// state (status log, details log, the five record lists, the association table and the
// saved association defaults) and reaches the wizard and the status window only through
// InstallRunView, so that a whole installation runs against the in-memory Windows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/engine/file_utils.h"
#include "setup/engine/startup_values.h"
#include "setup/engine/uninstall_record.h"

namespace ov::setup {

// The wizard's inputs, read once when the run starts.
struct WizardChoices {
  bool overwrite = false;          // chkOverWrite
  bool shortcutDesktop = false;    // chkSCutDesktop
  bool shortcutStartMenu = false;  // chkSCutStartMenu
  bool shortcutStartUp = false;    // chkSCutStartUp
  bool shortcutSendTo = false;     // chkSCutSendTo
  std::string folder;              // txtFolder
};

// The last page: the message and the captions of its two choices (second empty: the
// choice is emptied, disabled and hidden) and of btnEvent.
struct FinalChoice {
  std::string message;      // lblSelectTypeMsg
  std::string firstChoice;  // optSelectType1
  std::string secondChoice; // optSelectType2
  std::string buttonCaption;
};

// What the run needs of the wizard (TfrmMain) and the status window (TfrmStatus). Message
// boxes do not go through here: the run asks them through ShowMessageBox of the engine.
class InstallRunView {
 public:
  virtual ~InstallRunView() = default;

  virtual WizardChoices ReadChoices() = 0;
  // Start: hide the wizard; later show the status window with btnEnd hidden and btnEvent
  // centred in the wizard's client area.
  virtual void HideMainWindow() = 0;
  virtual void ShowStatusWindow() = 0;
  // lblMessage; the run processes pending messages after each change.
  virtual void SetStatusText(const std::string& text) = 0;
  // fraStatus, and prgStatus with lblStatus.
  virtual void ShowProgress(bool visible) = 0;
  virtual void SetProgress(int position, const std::string& text) = 0;
  virtual void EnableAbort(bool enabled) = 0;
  // Runs pending window messages (the abort button among them).
  virtual void ProcessMessages() = 0;
  // The abort button was pressed (its handler has already ended the wizard).
  virtual bool Aborted() = 0;

  // The failure-detail page (fraReadme with txtReadme, btnEvent "続行(&C)"), shown alone
  // with the wizard in front of the hidden status window.
  virtual void ShowFailureDetails(const std::string& details) = 0;
  // Back to the status window after the detail page.
  virtual void EndFailureDetails() = 0;
  // btnEvent has disabled itself: the user pressed it.
  virtual bool EventButtonPressed() = 0;
  // btnAbort becomes "次へ(&N)" and is enabled; NextPressed once it disabled itself.
  virtual void ShowNextButton() = 0;
  virtual bool NextPressed() = 0;
  virtual void Beep() = 0;
  // The final choice page (fraSelectType) alone, the wizard shown, the status hidden.
  virtual void ShowFinalChoice(const FinalChoice& choice) = 0;
  virtual bool SecondChoiceSelected() = 0;
  virtual void HideWindows() = 0;
  // Restart Windows (TWinReboot, EWX_REBOOT).
  virtual void RequestRestart() = 0;
  // Enable the background window, close the status window, wizard's modal result 1.
  virtual void FinishWizard() = 0;
};

enum class RunEnd {
  kCompleted,  // the completion page was left normally
  kStopped,    // stopped with the fatal message (declined question, cancelled disk)
  kAborted,    // the abort button at a checkpoint
};

// One pair of [Relate]: NameN and FileN.
struct RelatePair {
  std::string name;
  std::string file;
};

// The lists the uninstall record is made of, each a text of items each followed by "|".
struct RecordLists {
  std::string folders;    // DeleteFolder
  std::string files;      // DeleteFile
  std::string shortcuts;  // DeleteShortCut
  std::string registry;   // DeleteRegistry
  std::string addFiles;   // AddDeleteFile
};

constexpr int kRelateSlots = 20;

class InstallRun {
 public:
  InstallRun(EngineContext& context, const StartupValues& startup, InstallRunView& view);

  // The whole run; returns how it ended. Never throws.
  RunEnd Run();

  // Part of the run, public for the record's own callers and tests.
  void WriteMachineRecord();
  // The record's writes in their order (Information ... ProgramID) from the run state.
  RecordPlan UninstallRecordPlan();
  // Deletes the old record, writes the new one at once and the Windows uninstall entry.
  void WriteUninstallRecord();

  const std::string& StatusLog() const { return statusLog_; }
  const std::string& Details() const { return details_; }
  int FailureCount() const { return failures_; }
  bool LockedFileSeen() const { return lockedFileSeen_; }
  const RecordLists& Lists() const { return lists_; }
  const std::vector<RelatePair>& RelateTable() const { return relateTable_; }
  const std::array<std::string, kRelateSlots>& RestoreRelateSlots() const { return restoreRelateSlots_; }
  std::string RecordPath() const;

 private:
  bool Start();
  bool ReadRelateTable();
  bool MeasurePackage();
  bool CheckFreeSpace();
  bool CheckInstallFolder();
  void MergePreviousRecord();
  bool CreateFolders();
  bool CopyFiles();
  bool CopyOne(int n, const std::string& raw, std::uint64_t& copiedBytes, int& processed, int& disk);
  bool CreateShortcuts();
  bool CreateRegistryEntries();
  bool WriteIniEntries();
  void AddDeletionLists();
  bool SetAssociations();
  void UpdateUninstallInformation();
  void OfferFailureDetails();
  void ShowCompletion();
  void FinalChoicePage();

  // Status log, refresh, phases, pauses and checkpoints.
  void Refresh(const std::string& item = std::string());
  void BeginPhase(const std::string& title, const char* result);
  void ClosePhase(bool pause);
  void Pause(std::uint32_t milliseconds);
  bool Checkpoint();
  void StopFatal();
  void Fail(const std::string& line, const char* result = "一部失敗");
  void ShowDots(int count);
  void WaitFor(bool (InstallRunView::*pressed)(), std::uint32_t milliseconds);

  std::string Script(const std::string& section, const std::string& key, const std::string& fallback = "");
  std::string Expand(const std::string& text);
  bool SizeOf(const std::string& path, std::uint64_t& size);
  bool ShortcutWanted(const std::string& name);
  platform::Error WriteRegistryValue(platform::RegHandle key, const std::string& name, const std::string& value);
  platform::Error SetDefaultValue(platform::RegHandle root, const std::string& keyPath, const std::string& value);

  EngineContext& context_;
  const StartupValues& startup_;
  InstallRunView& view_;
  WizardChoices choices_;

  std::string statusLog_;
  std::string result_;
  std::string details_;
  int failures_ = 0;
  bool lockedFileSeen_ = false;
  RunEnd end_ = RunEnd::kCompleted;
  RecordLists lists_;
  std::vector<RelatePair> relateTable_;
  std::array<std::string, kRelateSlots> restoreRelateSlots_;

  // Package size (measured before the copy), and the [CopyFile] values read for it.
  std::vector<std::string> copyEntries_;
  struct MeasuredSize {
    std::string path;
    std::uint64_t size = 0;
    bool found = false;
  };
  std::vector<MeasuredSize> measuredSizes_;
  int entryCount_ = 0;
  std::uint64_t byteTotal_ = 0;
  bool sizeProgress_ = true;
};

}  // namespace ov::setup
