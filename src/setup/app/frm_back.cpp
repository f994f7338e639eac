// The background window: its design, the first resize and the labels start-up sets.
#include "setup/app/frm_back.h"

#include "setup/app/setup_app.h"
#include "setup/app/version.h"

namespace ov::setup {

namespace {

ui::Font TitleFont(ui::Color color) {
  ui::Font font;
  font.face = "ＭＳ Ｐゴシック";
  font.pixels = 32;
  font.italic = true;
  font.color = color;
  return font;
}

ui::Font BannerFont(ui::Color color) {
  ui::Font font;
  font.face = "ＭＳ Ｐ明朝";
  font.pixels = 16;
  font.italic = true;
  font.color = color;
  return font;
}

}  // namespace

TfrmBack::TfrmBack(ui::Backend& backend, SetupApp& app) : ui::Form(backend, "frmBack"), app_(app) {
  SetCaption("Ondaro! Setup 200x");
  SetClientSize(490, 298);
  SetColor(ui::clBlack);
  SetBorder(ui::BorderStyle::Single);
  SetIcons(ui::BorderIcons::SystemMenu);
  SetPosition(ui::FormPosition::ScreenCenter);
  // It only shows; the wizard in front of it takes the user's input.
  SetEnabled(false);

  GradBox.SetAlign(ui::Align::Client);
  GradBox.SetStartColor(ui::clBlue);
  GradBox.SetGradStep(128);
  GradBox.OnChange = ui::Handler(this, &TfrmBack::FormResize);

  lblBackTitle2.SetBounds(39, 16, 20, 33);
  lblBackTitle2.SetFont(TitleFont(ui::clGreen));
  lblBackTitle2.SetTransparent(true);
  lblPrgTitle2.SetBounds(24, 48, 0, 0);
  lblPrgTitle2.SetFont(BannerFont(ui::clBlue));
  lblPrgTitle2.SetTransparent(true);
  lblPrgTitle2.SetVisible(false);
  lblPrgTitle1.SetBounds(8, 48, 0, 0);
  lblPrgTitle1.SetFont(BannerFont(ui::clWhite));
  lblPrgTitle1.SetTransparent(true);
  lblPrgTitle1.SetVisible(false);
  lblBackTitle1.SetBounds(16, 16, 20, 33);
  lblBackTitle1.SetFont(TitleFont(ui::clWhite));
  lblBackTitle1.SetTransparent(true);

  OnCreate = ui::Handler(this, &TfrmBack::FormCreate);
  OnResize = ui::Handler(this, &TfrmBack::FormResize);
}

void TfrmBack::FormCreate(ui::Control& /*sender*/) { SetIconResource(ui::kApplicationIcon); }

void TfrmBack::FormResize(ui::Control& /*sender*/) {
  if (State() != ui::WindowState::Normal) return;
  FileVersion version;
  ReadFileVersion(app_.platform.Session(), app_.exePath, version);
  SetCaption("Ondaro! Setup 200x Version" + VersionText(version));
  lblBackTitle2.SetBounds(lblBackTitle1.Left() + 2, lblBackTitle1.Top() + 2, lblBackTitle2.Width(),
                          lblBackTitle2.Height());
  // The resize this causes finds the state no longer normal.
  SetWindowState(ui::WindowState::Maximized);
  app_.frmMain.ShowModal();
  Close();
}

void TfrmBack::SetTitle(const std::string& title) {
  for (ui::Label* label : {&lblBackTitle1, &lblBackTitle2}) {
    label->SetAutoSize(false);
    label->SetWidth(ClientWidth() - 24);
    label->SetCaption(title);
  }
}

void TfrmBack::SetBanner(const std::string& banner) {
  lblPrgTitle1.SetCaption(banner);
  lblPrgTitle2.SetCaption(banner);
  const int textWidth = lblPrgTitle1.Width();
  const int textHeight = lblPrgTitle1.Height();
  lblPrgTitle1.SetAutoSize(false);
  lblPrgTitle1.SetBounds(ClientWidth() - (textWidth + 8) - 24, ClientHeight() - textHeight - 48, textWidth + 8,
                         textHeight);
  lblPrgTitle2.SetBounds(lblPrgTitle1.Left() + 2, lblPrgTitle1.Top() + 2, lblPrgTitle2.Width(), lblPrgTitle2.Height());
  lblPrgTitle1.SetVisible(true);
  lblPrgTitle2.SetVisible(true);
}

}  // namespace ov::setup
