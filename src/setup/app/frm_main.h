// TfrmMain: the wizard in front of the background. For now the bare window with its step
// and end buttons and the result channel of the deletion question; start-up and the pages
// grow it.
#pragma once

#include "ui/form.h"

namespace ov::setup {

class SetupApp;

class TfrmMain : public ui::Form {
 public:
  TfrmMain(ui::Backend& backend, SetupApp& app);

  ui::Button btnEvent{*this, "btnEvent"};
  ui::Button btnEnd{*this, "btnEnd"};
  // The answer of frmCustomDlg ("Yes", "No", "Delete", "Save"); invisible.
  ui::Label lblFormShare{*this, "lblFormShare"};

  void btnEndClick(ui::Control& sender);

 private:
  SetupApp& app_;
};

}  // namespace ov::setup
