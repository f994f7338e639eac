// The deletion question and its result channel.
#include "setup/app/custom_dlg.h"

#include "setup/app/setup_app.h"

namespace ov::setup {

TfrmCustomDlg::TfrmCustomDlg(ui::Backend& backend, SetupApp& app) : ui::Form(backend, "frmCustomDlg"), app_(app) {
  SetCaption("ファイル削除の確認");
  SetClientSize(426, 121);
  SetBorder(ui::BorderStyle::Dialog);
  SetIcons(ui::BorderIcons::None);
  SetPosition(ui::FormPosition::ScreenCenter);
  ui::Font font;
  font.pixels = 12;
  SetFont(font);
  lblMessage.SetAutoSize(false);
  lblMessage.SetWordWrap(true);
  lblMessage.SetBounds(8, 8, 409, 73);
  struct Design {
    ui::Button* button;
    int left;
    const char* caption;
    void (TfrmCustomDlg::*handler)(ui::Control&);
  };
  const Design buttons[] = {{&btnYes, 8, "はい(&Y)", &TfrmCustomDlg::btnYesClick},
                            {&btnNo, 112, "いいえ(&N)", &TfrmCustomDlg::btnNoClick},
                            {&btnDelete, 216, "すべて削除(&D)", &TfrmCustomDlg::btnDeleteClick},
                            {&btnSave, 320, "すべて保存(&A)", &TfrmCustomDlg::btnSaveClick}};
  for (const Design& design : buttons) {
    design.button->SetBounds(design.left, 88, 97, 25);
    design.button->SetCaption(design.caption);
    design.button->OnClick = ui::Handler(this, design.handler);
  }
}

void TfrmCustomDlg::Answer(const char* answer) {
  app_.frmMain.lblFormShare.SetCaption(answer);
  SetModalResult(ui::mrOk);
}

void TfrmCustomDlg::btnYesClick(ui::Control& /*sender*/) { Answer("Yes"); }
void TfrmCustomDlg::btnNoClick(ui::Control& /*sender*/) { Answer("No"); }
void TfrmCustomDlg::btnDeleteClick(ui::Control& /*sender*/) { Answer("Delete"); }
void TfrmCustomDlg::btnSaveClick(ui::Control& /*sender*/) { Answer("Save"); }

}  // namespace ov::setup
