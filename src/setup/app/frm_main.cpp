// The wizard: its controls, the page switch, the step button, the folder field with its
// free-space caption, and how it closes.
#include "setup/app/frm_main.h"

#include <cstdint>

#include "base/cp932.h"
#include "setup/app/setup_app.h"
#include "setup/engine/file_utils.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr int kShowMinimized = 2;
constexpr int kEulaBoxHeight = 24;

ui::Font MakeFont(const char* face, int pixels, bool italic = false, ui::Color color = ui::clWindowText) {
  ui::Font font;
  font.face = face;
  font.pixels = pixels;
  font.italic = italic;
  font.color = color;
  return font;
}

// "#,##0" with the given separator.
std::string GroupThousands(std::int64_t value, const std::string& separator) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

// The drive part of a path: "C:" or "\\server\share"; empty when it has none.
std::string DrivePart(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':' && static_cast<unsigned char>(path[0]) < 0x80) return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // Server and share: up to the separator after the share, stepping over double-byte characters.
    int separators = 0;
    std::size_t i = 2;
    while (i < path.size()) {
      if (base::IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
        i += 2;
        continue;
      }
      if (path[i] == '\\' && ++separators == 2) break;
      ++i;
    }
    return path.substr(0, i);
  }
  return std::string();
}

}  // namespace

TfrmMain::TfrmMain(ui::Backend& backend, SetupApp& app) : ui::Form(backend, "frmMain"), app_(app) {
  SetCaption("Ondaro! Setup 200x");
  SetClientSize(492, 298);
  SetBorder(ui::BorderStyle::Single);
  SetIcons(ui::BorderIcons::SystemMenu);
  SetPosition(ui::FormPosition::ScreenCenter);
  SetFont(MakeFont("ＭＳ Ｐゴシック", 12));
  const ui::Font gothic = MakeFont("ＭＳ ゴシック", 12);

  btnEvent.SetBounds(64, 264, 161, 25);
  btnEvent.SetEnabled(false);
  btnEvent.OnClick = ui::Handler(this, &TfrmMain::btnEventClick);
  btnEnd.SetBounds(272, 264, 153, 25);
  btnEnd.SetCaption("セットアップ終了(&E)");
  btnEnd.SetEnabled(false);
  btnEnd.OnClick = ui::Handler(this, &TfrmMain::btnEndClick);
  lblFormShare.SetBounds(8, 280, 0, 0);
  lblFormShare.SetCaption("Can't Delete");
  lblFormShare.SetVisible(false);

  fraTitle.SetBounds(8, 8, 473, 241);
  fraTitle.SetVisible(false);
  lblTitleA1.SetAutoSize(false);
  lblTitleA1.SetBounds(8, 8, 105, 33);
  lblTitleA1.SetFont(MakeFont("ＭＳ Ｐゴシック", 13, true));
  lblTitleA1.SetAlignment(ui::Alignment::Center);
  lblTitleA1.SetCaption("汎用インストーラ");
  lblTitleA2.SetAutoSize(false);
  lblTitleA2.SetBounds(112, 8, 313, 33);
  lblTitleA2.SetFont(MakeFont("Times New Roman", 15, true, ui::clBlue));
  lblTitleA2.SetAlignment(ui::Alignment::Center);
  lblTitleA2.SetCaption("Ondaro! Setup 200x");
  imgTitle1.SetBounds(432, 8, 32, 32);
  lblTitleMessage.SetAutoSize(false);
  lblTitleMessage.SetBounds(16, 56, 441, 177);
  lblTitleMessage.SetWordWrap(true);
  lblTitleMessage.SetFont(gothic);

  fraReadme.SetBounds(8, 8, 473, 241);
  fraReadme.SetVisible(false);
  txtReadme.SetBounds(8, 16, 457, 217);
  txtReadme.SetReadOnly(true);
  txtReadme.SetScrollBars(ui::ScrollBars::Vertical);
  txtReadme.SetFont(gothic);
  chkEULARead.SetBounds(8, 216, 457, 17);
  chkEULARead.SetCaption("上記「使用許諾契約書」を確認のうえ、");
  chkEULARead.SetVisible(false);
  chkEULARead.OnClick = ui::Handler(this, &TfrmMain::chkEULAReadClick);

  fraSelectType.SetBounds(8, 8, 473, 241);
  fraSelectType.SetVisible(false);
  lblSelectTypeMsg.SetAutoSize(false);
  lblSelectTypeMsg.SetBounds(24, 24, 425, 105);
  lblSelectTypeMsg.SetWordWrap(true);
  lblSelectTypeMsg.SetFont(gothic);
  optSelectType1.SetBounds(24, 136, 425, 25);
  optSelectType1.SetChecked(true);
  optSelectType2.SetBounds(24, 160, 425, 25);
  lblTitleB1.SetAutoSize(false);
  lblTitleB1.SetBounds(272, 200, 113, 17);
  lblTitleB1.SetFont(MakeFont("ＭＳ Ｐゴシック", 12, true));
  lblTitleB1.SetAlignment(ui::Alignment::Center);
  lblTitleB1.SetTransparent(true);
  lblTitleB1.SetCaption("汎用インストーラ");
  lblTitleB2.SetAutoSize(false);
  lblTitleB2.SetBounds(280, 208, 129, 19);
  lblTitleB2.SetFont(MakeFont("Times New Roman", 16, true, ui::clBlue));
  lblTitleB2.SetAlignment(ui::Alignment::Center);
  lblTitleB2.SetTransparent(true);
  lblTitleB2.SetCaption("Ondaro! Setup 200x");
  imgTitle2.SetBounds(416, 192, 32, 32);

  grpMessage.SetBounds(8, 8, 473, 89);
  grpMessage.SetCaption("メッセージ");
  grpMessage.SetVisible(false);
  lblMessage.SetAutoSize(false);
  lblMessage.SetBounds(8, 16, 457, 65);
  lblMessage.SetWordWrap(true);

  grpSetupFolder.SetBounds(8, 104, 473, 49);
  grpSetupFolder.SetCaption("インストールフォルダ");
  grpSetupFolder.SetVisible(false);
  txtFolder.SetBounds(8, 16, 401, 24);
  txtFolder.SetFont(MakeFont("ＭＳ Ｐゴシック", 16));
  txtFolder.SetEnabled(false);
  txtFolder.OnChange = ui::Handler(this, &TfrmMain::txtFolderChange);
  btnRefer.SetBounds(416, 16, 49, 25);
  btnRefer.SetCaption("参照(&R)");
  btnRefer.SetEnabled(false);
  btnRefer.OnClick = ui::Handler(this, &TfrmMain::btnReferClick);

  grpOption.SetBounds(8, 160, 473, 89);
  grpOption.SetCaption("インストールオプション");
  grpOption.SetVisible(false);
  chkOverWrite.SetBounds(8, 16, 457, 17);
  chkOverWrite.SetCaption("自動的に上書きする(同名ファイルが存在した場合は、最新ファイルをコピーします。)");
  chkOverWrite.SetChecked(true);
  chkOverWrite.SetEnabled(false);
  fraShortCut.SetBounds(8, 40, 457, 41);
  fraShortCut.SetCaption("ショートカットの作成");
  lblUnSetupInfo.SetAutoSize(false);
  lblUnSetupInfo.SetBounds(8, 8, 441, 25);
  lblUnSetupInfo.SetWordWrap(true);
  lblUnSetupInfo.SetVisible(false);
  struct BoxDesign {
    ui::CheckBox* box;
    int left;
    const char* caption;
  };
  for (const BoxDesign& d : {BoxDesign{&chkSCutDesktop, 8, "デスクトップ"}, BoxDesign{&chkSCutStartMenu, 120, "スタートメニュー"},
                             BoxDesign{&chkSCutStartUp, 232, "スタートアップ"}, BoxDesign{&chkSCutSendTo, 344, "送る"}}) {
    d.box->SetBounds(d.left, 16, 105, 17);
    d.box->SetCaption(d.caption);
    d.box->SetEnabled(false);
  }

  OnCreate = ui::Handler(this, &TfrmMain::FormCreate);
  OnActivate = ui::Handler(this, &TfrmMain::FormActivate);
  OnCloseQuery = ui::Handler(this, &TfrmMain::FormCloseQuery);
  OnClose = ui::Handler(this, &TfrmMain::FormClose);
}

void TfrmMain::FormCreate(ui::Control& /*sender*/) { ProcessMessages(); }

void TfrmMain::FormActivate(ui::Control& /*sender*/) {
  // Start-up runs once: before it, btnEvent has no caption.
  if (!btnEvent.Caption().empty()) return;
  app_.context.mainWindow = Handle();
  outcome_ = RunStartup(app_.context, app_.values, *this, app_.argument1, app_.exePath);
}

void TfrmMain::ShowPage(Page page) {
  fraTitle.SetVisible(page == Page::kTitle);
  fraReadme.SetVisible(page == Page::kReadme);
  fraSelectType.SetVisible(page == Page::kSelectType);
  for (ui::GroupBox* group : {&grpMessage, &grpSetupFolder, &grpOption}) group->SetVisible(page == Page::kLast);
  ProcessMessages();
}

std::string TfrmMain::ReadScript(const std::string& section, const std::string& key, const std::string& defaultValue) {
  return ReadProfileString(app_.platform.Profile(), section, key, defaultValue, app_.values.scriptCopy);
}

std::string TfrmMain::PageFile(const std::string& section) {
  const std::string value = ReadScript(section, "File");
  if (value.empty()) return std::string();
  const std::string path = ProgramRelativePath(app_.values, value);
  return platform::FileExists(app_.platform.Files(), path) ? path : std::string();
}

void TfrmMain::ApplyScrollBars(const std::string& value) {
  if (value == "ssVertical") {
    txtReadme.SetScrollBars(ui::ScrollBars::Vertical);
  } else if (value == "ssHorizontal") {
    txtReadme.SetScrollBars(ui::ScrollBars::Horizontal);
  } else if (value == "ssBoth") {
    txtReadme.SetScrollBars(ui::ScrollBars::Both);
  }
}

bool TfrmMain::RunInstallChecker() {
  const std::string value = ReadScript("Extend", "InstallChecker");
  if (value.empty()) return true;
  const std::string checker = ProgramRelativePath(app_.values, value);
  if (!platform::FileExists(app_.platform.Files(), checker)) return true;
  const std::string& s = app_.values.setupString;

  SetEnabled(false);
  RunProgram(app_.context, checker, std::string(), kShowMinimized, true);
  const std::string resultFile = app_.context.folders[Macro::kWin] + "ODRESULT.INI";
  platform::ProfileApi& profile = app_.platform.Profile();
  const std::string result = ReadProfileString(profile, "CheckResult", "Result", "", resultFile);
  std::string message = ReadProfileString(
      profile, "CheckResult", "Message",
      s + "チェック機能により、" + s + "は続行不可能と判断されました。" + kCrLf +
          "詳細については、プログラム配布者へご確認ください。" + kCrLf + s + "を続行することはできません。",
      resultFile);
  // The checker writes line breaks as "<改行>"; the marker is all double-byte, so a plain
  // search cannot start inside a character only when the scan steps over them.
  const std::string marker = "<改行>";
  std::string lines;
  for (std::size_t i = 0; i < message.size();) {
    if (message.compare(i, marker.size(), marker) == 0) {
      lines += kCrLf;
      i += marker.size();
    } else if (base::IsLeadByte(static_cast<unsigned char>(message[i])) && i + 1 < message.size()) {
      lines.append(message, i, 2);
      i += 2;
    } else {
      lines += message[i++];
    }
  }
  DeleteFileSilently(app_.context, resultFile);
  SetEnabled(true);
  SetFocus();

  if (result == "ContinueInstall") return true;
  ShowMessageBox(lines, "警告", ui::kMbOk | ui::kMbIconExclamation);
  FocusEnd();
  btnEvent.SetEnabled(false);
  return false;
}

void TfrmMain::btnEventClick(ui::Control& /*sender*/) {
  const std::string e = btnEvent.Caption();
  StartupValues& values = app_.values;
  StartupValues::PagesPending& pending = values.pagesPending;
  const std::string& s = values.setupString;
  const std::string& u = values.unSetupString;

  if (pending.title) {
    pending.title = false;
    ShowPage(Page::kTitle);
    const std::string p = ReadScript("Title", "Program");
    std::string text = "　" + p + " " + s + "プログラムへようこそ。この" + s + "プログラムは、あなたのコンピュータに " + p +
                       " を" + s + "します。" + kCrLf + kCrLf + "　" + s +
                       "を開始する前に、必ず、すべてのWindowsプログラムを終了させてください。" + kCrLf + kCrLf + "　「" +
                       s + "終了(E)」を選択すると、" + s + "を行わずに" + s + "プログラムを終了します。" + s +
                       "を続行する場合は、「" + s + "続行(C)」を選択してください。" + kCrLf;
    if (app_.context.folders.osKind == "NT") {
      text += std::string(kCrLf) + "【注意】" + kCrLf + "　Administrator権限での" + s + "を推奨します。" +
              "Administrator権限を持たないユーザーでの" + s + "は、正常に処理が行われない場合があります。";
    }
    lblTitleMessage.SetCaption(text);
    btnEvent.SetCaption(s + "続行(&C)");
    btnEnd.SetCaption(s + "終了(&E)");
    btnEvent.SetEnabled(true);
    btnEnd.SetEnabled(true);
    btnEvent.SetFocus();
    return;
  }

  if (!RunInstallChecker()) return;

  if (fraTitle.Visible()) {
    fraTitle.Hide();
    Hide();
    ProcessMessages();
    app_.platform.System().Sleep(1000);
    Show();
  }

  if (pending.licence) {
    pending.licence = false;
    const std::string file = PageFile("EULA");
    if (!file.empty()) {
      fraReadme.SetCaption("使用許諾契約書");
      btnEvent.SetCaption("同意する(&A)");
      btnEvent.SetEnabled(false);
      btnEnd.SetCaption("同意しない(&N)");
      btnEnd.SetEnabled(true);
      txtReadme.SetColor(ui::clWhite);
      txtReadme.LoadFromFile(app_.platform.Files(), file);
      ApplyScrollBars(ReadScript("EULA", "ScrollBars", "ssVertical"));
      if (ReadScript("EULA", "CheckBox") != "Hide") {
        chkEULARead.SetChecked(false);
        chkEULARead.Show();
        txtReadme.SetHeight(txtReadme.Height() - kEulaBoxHeight);
      } else {
        btnEvent.SetEnabled(true);
        btnEvent.SetFocus();
      }
      ShowPage(Page::kReadme);
      return;
    }
  }

  txtReadme.SetColor(ui::clWindow);
  if (chkEULARead.Visible()) {
    txtReadme.SetHeight(txtReadme.Height() + kEulaBoxHeight);
    chkEULARead.Hide();
  }

  if (pending.readme) {
    pending.readme = false;
    const std::string file = PageFile("Readme");
    if (!file.empty()) {
      txtReadme.LoadFromFile(app_.platform.Files(), file);
      fraReadme.SetCaption(ReadScript("Readme", "Title"));
      btnEvent.SetCaption(s + "続行(&C)");
      btnEnd.SetCaption(s + "終了(&E)");
      btnEvent.SetEnabled(true);
      btnEnd.SetEnabled(true);
      btnEvent.SetFocus();
      ApplyScrollBars(ReadScript("Readme", "ScrollBars", "ssVertical"));
      ShowPage(Page::kReadme);
      return;
    }
  }

  if (pending.options) {
    pending.options = false;
    ShowPage(Page::kLast);
    btnEvent.SetCaption(s + "開始(&S)");
    btnEnd.SetCaption(s + "終了(&E)");
    btnEvent.SetEnabled(true);
    btnEnd.SetEnabled(true);
  }

  if (e == u + "開始(&S)") {
    if (app_.runStarter != nullptr) app_.runStarter->StartUninstall();
  } else if (e == s + "開始(&S)") {
    if (app_.runStarter != nullptr) app_.runStarter->StartInstall();
  } else if (e == s + "完了(&E)" || e == "続行(&C)") {
    btnEvent.SetEnabled(false);
  } else if (e == s + "続行(&C)") {
    ShowPage(Page::kLast);
    btnEvent.SetCaption(s + "開始(&S)");
  }
}

void TfrmMain::btnEndClick(ui::Control& /*sender*/) { SetModalResult(ui::mrOk); }

void TfrmMain::chkEULAReadClick(ui::Control& /*sender*/) { btnEvent.SetEnabled(chkEULARead.Checked()); }

void TfrmMain::txtFolderChange(ui::Control& /*sender*/) {
  const std::string drive = DrivePart(txtFolder.Text());
  std::string caption = "インストールフォルダ(空き容量：不明)";
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  if (!drive.empty() && app_.platform.Files().FindFirst(drive + "\\*.*", entry, search) == platform::error::kSuccess) {
    std::int64_t bytes = -1;
    std::uint64_t free = 0;
    const platform::Error extended = app_.platform.InstallFiles().DiskFreeSpaceEx(drive + "\\", free);
    bool known = extended == platform::error::kSuccess;
    if (known) {
      bytes = static_cast<std::int64_t>(free);
    } else if (extended == platform::error::kCallNotImplemented) {
      known = QueryFreeSpace(app_.context, drive, bytes);
    }
    caption = known ? "インストールフォルダ(空き容量：" + GroupThousands(bytes, GetBackend().ThousandsSeparator()) + "Byte)"
                    : "インストールフォルダ(空き容量：関数失敗<致命的エラー>";
  }
  grpSetupFolder.SetCaption(caption);
}

void TfrmMain::btnReferClick(ui::Control& /*sender*/) {
  std::string folder = txtFolder.Text();
  if (!BrowseForFolder(kFolderDialogTitle, folder)) return;
  txtFolder.SetText(EnsureSeparator(folder, "B"));
}

void TfrmMain::FormCloseQuery(ui::Form& /*sender*/, bool& canClose) {
  canClose = true;
  if (app_.frmBack.Enabled()) return;
  const std::string& end = btnEnd.Caption();
  if (end == "同意しない(&N)" || end == "終了(&E)" || !btnEvent.Enabled()) return;
  const StartupValues& values = app_.values;
  const int answer = ShowMessageBox(values.setupString + "/" + values.unSetupString + "は終了していません。" + kCrLf +
                                        "終了してもよろしいですか？",
                                    "終了確認", ui::kMbYesNo | ui::kMbIconQuestion);
  if (answer != ui::mrYes) {
    canClose = false;
    return;
  }
  app_.frmBack.SetEnabled(true);
}

void TfrmMain::FormClose(ui::Control& /*sender*/) {
  ProcessMessages();
  // A run that ends the wizard (abort, fatal stop, completion) still works in the work
  // folder until its start button's handler returns; the clean-up waits for it.
  if (runInProgress_) {
    closePending_ = true;
    return;
  }
  RemoveWorkFolders();
}

void TfrmMain::BeginRun() { runInProgress_ = true; }

void TfrmMain::EndRun() {
  runInProgress_ = false;
  if (!closePending_) return;
  closePending_ = false;
  RemoveWorkFolders();
}

void TfrmMain::RemoveWorkFolders() {
  const std::string& temp = app_.context.folders[Macro::kTmp];
  if (!temp.empty()) {
    for (int n = 1; n <= 99; ++n) {
      const std::string folder = temp + "ODTMP" + std::to_string(n) + "\\";
      if (FolderExists(app_.context, folder)) DeleteFolderContents(app_.context, folder, "*.*");
    }
  }
  if (!Visible()) {
    namespace cn = platform::change_notify;
    platform::InstallShellApi& shell = app_.platform.InstallShell();
    for (std::int32_t event : {cn::kAssocChanged, cn::kUpdateItem, cn::kUpdateDir}) shell.ChangeNotify(event, cn::kIdList);
  }
}

// StartupView.

void TfrmMain::DisableCloseCommand() { DisableCloseItem(); }
void TfrmMain::SetOsTitle(const std::string& caption) { lblTitleA2.SetCaption(caption); }

void TfrmMain::SetTitle(const std::string& title) {
  app_.frmBack.SetTitle(title);
  SetCaption(title);
}

void TfrmMain::SetBanner(const std::string& line1, const std::string& line2) {
  app_.frmBack.SetBanner(line1 + kCrLf + line2);
}

void TfrmMain::SetMessage(const std::string& text) { lblMessage.SetCaption(text); }
void TfrmMain::SetFolderText(const std::string& folder) { txtFolder.SetText(folder); }

void TfrmMain::SetFolderControlsEnabled(bool enabled) {
  txtFolder.SetEnabled(enabled);
  btnRefer.SetEnabled(enabled);
  chkOverWrite.SetEnabled(enabled);
}

void TfrmMain::SetFolderGroupCaption(const std::string& caption) { grpSetupFolder.SetCaption(caption); }
void TfrmMain::SetOptionGroupCaption(const std::string& caption) { grpOption.SetCaption(caption); }
void TfrmMain::RefreshFreeSpace() { txtFolderChange(txtFolder); }
void TfrmMain::SetEventCaption(const std::string& caption) { btnEvent.SetCaption(caption); }
void TfrmMain::SetEventEnabled(bool enabled) { btnEvent.SetEnabled(enabled); }
void TfrmMain::SetEndCaption(const std::string& caption) { btnEnd.SetCaption(caption); }
void TfrmMain::SetEndEnabled(bool enabled) { btnEnd.SetEnabled(enabled); }
void TfrmMain::FocusEnd() { btnEnd.SetFocus(); }

ui::CheckBox& TfrmMain::BoxOf(OptionBox box) {
  switch (box) {
    case OptionBox::kDesktop: return chkSCutDesktop;
    case OptionBox::kStartMenu: return chkSCutStartMenu;
    case OptionBox::kStartUp: return chkSCutStartUp;
    case OptionBox::kSendTo: break;
  }
  return chkSCutSendTo;
}

void TfrmMain::SetShortcutBox(OptionBox box, bool checked, bool enabled) {
  ui::CheckBox& check = BoxOf(box);
  check.SetChecked(checked);
  check.SetEnabled(enabled);
}

void TfrmMain::Step() { btnEventClick(btnEvent); }
void TfrmMain::ShowLastPage() { ShowPage(Page::kLast); }

void TfrmMain::MakeFolderReadOnly() {
  txtFolder.SetReadOnly(true);
  txtFolder.SetEnabled(true);
}

void TfrmMain::ArrangeUninstallOptions(const std::string& frameCaption) {
  chkOverWrite.Hide();
  fraShortCut.SetCaption(frameCaption);
  fraShortCut.SetBounds(fraShortCut.Left(), chkOverWrite.Top(), fraShortCut.Width(), grpOption.Height() - 24);
}

void TfrmMain::SetUninstallBox(OptionBox box, const BoxState& state) {
  ui::CheckBox& check = BoxOf(box);
  check.SetCaption(state.caption);
  check.SetChecked(state.checked);
  check.SetEnabled(state.enabled);
  check.SetVisible(state.visible);
  if (state.wide) check.SetWidth(fraShortCut.Width() - 16);
}

void TfrmMain::ShowUninstallInfo(const std::string& caption) {
  lblUnSetupInfo.SetTop(chkSCutDesktop.Top() + chkSCutDesktop.Height() + 2);
  lblUnSetupInfo.SetCaption(caption);
  lblUnSetupInfo.Show();
}

}  // namespace ov::setup
