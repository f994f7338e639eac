// TfrmBack: the full-screen background and the program's main window. Its first resize
// puts the version in its caption, maximises it and shows the wizard modally; when the
// wizard returns it closes, which ends the program.
#pragma once

#include <string>

#include "setup/app/grad_box.h"
#include "ui/form.h"

namespace ov::setup {

class SetupApp;

class TfrmBack : public ui::Form {
 public:
  TfrmBack(ui::Backend& backend, SetupApp& app);

  // Bottom to top: the gradient, the shadows beneath their labels.
  TGradBox GradBox{*this, "GradBox"};
  ui::Label lblBackTitle2{*this, "lblBackTitle2"};
  ui::Label lblPrgTitle2{*this, "lblPrgTitle2"};
  ui::Label lblPrgTitle1{*this, "lblPrgTitle1"};
  ui::Label lblBackTitle1{*this, "lblBackTitle1"};

  void FormCreate(ui::Control& sender);
  void FormResize(ui::Control& sender);

  // Set by start-up once the window is maximised: the title of the mode across the top,
  // and the two-line banner at the lower right.
  void SetTitle(const std::string& title);
  void SetBanner(const std::string& banner);

 private:
  SetupApp& app_;
};

}  // namespace ov::setup
