// TfrmCustomDlg: the four-button question whether a shared file may be deleted. The answer
// goes to the caption of frmMain's lblFormShare, where the caller reads it.
#pragma once

#include "ui/form.h"

namespace ov::setup {

class SetupApp;

class TfrmCustomDlg : public ui::Form {
 public:
  TfrmCustomDlg(ui::Backend& backend, SetupApp& app);

  ui::Label lblMessage{*this, "lblMessage"};
  ui::Button btnYes{*this, "btnYes"};
  ui::Button btnNo{*this, "btnNo"};
  ui::Button btnDelete{*this, "btnDelete"};
  ui::Button btnSave{*this, "btnSave"};

  void btnYesClick(ui::Control& sender);
  void btnNoClick(ui::Control& sender);
  void btnDeleteClick(ui::Control& sender);
  void btnSaveClick(ui::Control& sender);

 private:
  void Answer(const char* answer);
  SetupApp& app_;
};

}  // namespace ov::setup
