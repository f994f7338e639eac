// The status dialog and its button.
#include "setup/app/frm_status.h"

#include "setup/app/setup_app.h"

namespace ov::setup {

TfrmStatus::TfrmStatus(ui::Backend& backend, SetupApp& app) : ui::Form(backend, "frmStatus"), app_(app) {
  SetCaption("進行状況");
  SetClientSize(492, 298);
  SetBorder(ui::BorderStyle::Single);
  SetPosition(ui::FormPosition::ScreenCenter);
  ui::Font font;
  font.pixels = 12;
  SetFont(font);
  grpMessage.SetBounds(8, 8, 481, 249);
  grpMessage.SetCaption("メッセージ");
  lblMessage.SetAutoSize(false);
  lblMessage.SetWordWrap(true);
  lblMessage.SetBounds(8, 16, 457, kMessageHeight);
  fraStatus.SetBounds(8, 200, 465, 41);
  fraStatus.SetCaption("進行状況");
  fraStatus.SetVisible(false);
  ui::Font small = font;
  small.pixels = 13;
  lblStatus.SetAutoSize(false);
  lblStatus.SetAlignment(ui::Alignment::Center);
  lblStatus.SetFont(small);
  lblStatus.SetBounds(368, 16, 88, 17);
  lblStatus.SetCaption("0%(0/0)");
  prgStatus.SetBounds(8, 16, 353, 17);
  prgStatus.SetRange(0, 100);
  prgStatus.SetStep(5);
  btnAbort.SetBounds(168, 264, 161, 25);
  btnAbort.SetCaption(kAbortCaption);
  btnAbort.SetEnabled(false);
  btnAbort.OnClick = ui::Handler(this, &TfrmStatus::btnAbortClick);
  OnCreate = ui::Handler(this, &TfrmStatus::FormCreate);
}

void TfrmStatus::FormCreate(ui::Control& /*sender*/) { DisableCloseItem(); }

void TfrmStatus::btnAbortClick(ui::Control& /*sender*/) {
  const std::string caption = btnAbort.Caption();
  const std::string& unSetup = app_.values.unSetupString;
  if (caption == kAbortCaption) {
    const std::string question = "ここで処理を中断すると、すでにコピー済みのファイルなどは削除されません。\r\n"
                                 "一度、処理を完了してから、" +
                                 unSetup +
                                 "することをおすすめします。\r\n\r\n"
                                 "本当にここで処理を中断しますか？";
    if (ShowMessageBox(question, "中断の確認", ui::kMbYesNo | ui::kMbIconQuestion) != ui::mrYes) return;
    // The install run reads the disabled wizard as the signal to stop.
    app_.frmMain.SetEnabled(false);
    app_.frmBack.SetEnabled(true);
    Close();
    app_.frmBack.ShowMessageBox("処理を中断しました。", "中断", ui::kMbIconExclamation);
    app_.frmMain.SetModalResult(ui::mrOk);
  } else if (caption == kNextCaption) {
    btnAbort.SetEnabled(false);
  } else if (caption == unSetup + kDoneSuffix) {
    app_.frmBack.SetEnabled(true);
    app_.frmMain.SetModalResult(ui::mrOk);
  }
}

}  // namespace ov::setup
