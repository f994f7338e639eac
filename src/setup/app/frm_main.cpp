// The bare wizard window.
#include "setup/app/frm_main.h"

#include "setup/app/setup_app.h"

namespace ov::setup {

TfrmMain::TfrmMain(ui::Backend& backend, SetupApp& app) : ui::Form(backend, "frmMain"), app_(app) {
  SetCaption("Ondaro! Setup 200x");
  SetClientSize(492, 298);
  SetBorder(ui::BorderStyle::Single);
  SetPosition(ui::FormPosition::ScreenCenter);
  ui::Font font;
  font.pixels = 12;
  SetFont(font);
  btnEvent.SetBounds(64, 264, 161, 25);
  btnEvent.SetEnabled(false);
  btnEnd.SetBounds(272, 264, 153, 25);
  btnEnd.SetCaption("セットアップ終了(&E)");
  btnEnd.OnClick = ui::Handler(this, &TfrmMain::btnEndClick);
  lblFormShare.SetBounds(8, 280, 0, 0);
  lblFormShare.SetCaption("Can't Delete");
  lblFormShare.SetVisible(false);
}

void TfrmMain::btnEndClick(ui::Control& /*sender*/) {
  // Until start-up and the pages exist, the end button is the way out; it ends the program
  // as the completed paths do.
  app_.frmBack.SetEnabled(true);
  SetModalResult(ui::mrOk);
}

}  // namespace ov::setup
