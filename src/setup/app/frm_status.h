// TfrmStatus: the status log of a run, its progress group, and the one button through which
// the user aborts, continues or finishes the run.
#pragma once

#include "ui/form.h"

namespace ov::setup {

class SetupApp;

class TfrmStatus : public ui::Form {
 public:
  TfrmStatus(ui::Backend& backend, SetupApp& app);

  ui::GroupBox grpMessage{*this, "grpMessage"};
  ui::Label lblMessage{grpMessage, "lblMessage"};
  ui::GroupBox fraStatus{grpMessage, "fraStatus"};
  ui::Label lblStatus{fraStatus, "lblStatus"};
  ui::ProgressBar prgStatus{fraStatus, "prgStatus"};
  ui::Button btnAbort{*this, "btnAbort"};

  void FormCreate(ui::Control& sender);
  // By the button's caption: abort (after a question), continue, or finish.
  void btnAbortClick(ui::Control& sender);

  static constexpr int kMessageHeight = 225;  // lblMessage without the progress group
  static constexpr const char* kAbortCaption = "中断(&A)";
  static constexpr const char* kNextCaption = "次へ(&N)";
  // Follows UnSetupString.
  static constexpr const char* kDoneSuffix = "完了(&E)";

 private:
  SetupApp& app_;
};

}  // namespace ov::setup
