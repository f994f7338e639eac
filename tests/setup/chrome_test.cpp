// The installer's window chrome on the headless backend and the in-memory Windows: the
// gradient's bands pixel by pixel, the background's first resize and version caption, the
// status dialog's button, the deletion question's answers and the restart.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "setup/app/setup_app.h"
#include "setup/app/version.h"
#include "setup/app/win_reboot.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using ui::Color;
using ui::headless::HeadlessBackend;

class GradForm : public ui::Form {
 public:
  explicit GradForm(ui::Backend& backend) : ui::Form(backend, "GradForm") {}
  TGradBox GradBox{*this, "GradBox"};
};

// Runs of equal colour along the gradient's extent, written out by hand.
struct ColourRun {
  int length;
  Color color;
};

struct BandCase {
  const char* name;
  Color start, end;
  int step;
  TGradDirection direction;
  int width, height;
  std::vector<ColourRun> runs;  // along the extent; HeadlessBackend::kUnpainted for what stays bare
};

TEST(GradBox, PaintsTheBandTablePixelByPixel) {
  const Color bare = HeadlessBackend::kUnpainted;
  const std::vector<BandCase> cases = {
      // One step: the whole extent is one band of the start colour; the end band lies beyond.
      {"step 0", ui::clBlue, ui::clBlack, 0, gdVertical, 3, 100, {{100, 0xFF0000}}},
      // 5 / 129 rounds to 0, made 1: the first five of 130 one-pixel bands show.
      {"extent 5", ui::clWhite, ui::clBlack, 128, gdVertical, 2, 5,
       {{1, 0xFFFFFF}, {1, 0xFDFDFD}, {1, 0xFBFBFB}, {1, 0xF9F9F9}, {1, 0xF7F7F7}}},
      {"horizontal", ui::clWhite, ui::clBlack, 128, gdHorizontal, 5, 2,
       {{1, 0xFFFFFF}, {1, 0xFDFDFD}, {1, 0xFBFBFB}, {1, 0xF9F9F9}, {1, 0xF7F7F7}}},
      // 5 / 2 = 2.5 rounds to 2 (even); the middle channel 253 / 2 = 126.5 rounds to 126.
      {"ties to even", ui::clBlack, 0x0000FD, 1, gdVertical, 4, 5, {{2, 0x000000}, {2, 0x00007E}, {1, 0x0000FD}}},
      // 131 / 129 rounds to 1: 130 bands, then a remainder of one pixel, narrower than a
      // band plus one, stays bare.
      {"remainder left bare", ui::clWhite, ui::clBlack, 128, gdVertical, 1, 131, {}},
      // 132: two pixels left, more than a band: painted in the end colour.
      {"remainder painted", ui::clWhite, ui::clBlack, 128, gdVertical, 1, 132, {}},
  };
  for (const BandCase& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend backend;
    GradForm form(backend);
    form.SetClientSize(c.width, c.height);
    form.GradBox.SetBounds(0, 0, c.width, c.height);
    form.GradBox.SetStartColor(c.start);
    form.GradBox.SetEndColor(c.end);
    form.GradBox.SetGradStep(static_cast<std::uint8_t>(c.step));
    form.GradBox.SetDirection(c.direction);
    const HeadlessBackend::Picture picture = backend.PaintForm(form);
    const int extent = c.direction == gdVertical ? c.height : c.width;
    std::vector<Color> expected;
    for (const ColourRun& run : c.runs) expected.insert(expected.end(), static_cast<std::size_t>(run.length), run.color);
    if (c.runs.empty()) {
      // The 130 one-pixel bands from white, then what follows them.
      for (int i = 0; i < extent; ++i) {
        expected.push_back(i < 130 ? picture.At(0, i) : (extent - 130 > 1 ? ui::clBlack : bare));
      }
      EXPECT_EQ(picture.At(0, 0), ui::clWhite);
      EXPECT_EQ(picture.At(0, 129), ui::clBlack);  // the last band: the end colour
      EXPECT_NE(picture.At(0, 128), ui::clBlack);
    }
    ASSERT_EQ(static_cast<int>(expected.size()), extent);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const int along = c.direction == gdVertical ? y : x;
        ASSERT_EQ(picture.At(x, y), expected[static_cast<std::size_t>(along)]) << "pixel " << x << "," << y;
      }
    }
  }
}

TEST(GradBox, AFullScreenHeightGivesBandsOfSixWithTwelvePixelsClipped) {
  const std::vector<GradBand> bands = GradBands(ui::clBlue, ui::clBlack, 128, 768);
  ASSERT_EQ(bands.size(), 130u);
  EXPECT_EQ(bands.front().length, 6);
  EXPECT_EQ(bands.back().position + bands.back().length - 768, 12);

  HeadlessBackend backend;
  GradForm form(backend);
  form.SetClientSize(4, 768);
  form.GradBox.SetBounds(0, 0, 4, 768);
  form.GradBox.SetStartColor(ui::clBlue);
  const HeadlessBackend::Picture picture = backend.PaintForm(form);
  struct Row {
    int y;
    Color color;
  };
  // Blue falls by 255 / 129 per band: band 1 is 255 - 1.98 -> 253, band 127 is 255 - 251.05 -> 4.
  for (const Row& row : {Row{0, 0xFF0000}, Row{5, 0xFF0000}, Row{6, 0xFD0000}, Row{11, 0xFD0000},
                         Row{762, 0x040000}, Row{767, 0x040000}}) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(picture.At(x, row.y), row.color) << "row " << row.y;
  }
}

TEST(GradBox, StartsFromTheColoursTheDisplayShows) {
  HeadlessBackend backend;
  backend.SetColorBits(16);
  GradForm form(backend);
  form.SetClientSize(2, 2);
  form.GradBox.SetBounds(0, 0, 2, 2);
  form.GradBox.SetStartColor(0x0F0F0F);
  form.GradBox.SetGradStep(0);
  // 5-6-5 bits: 0x0F keeps 0x08 in red and blue, 0x0C in green.
  EXPECT_EQ(backend.PaintForm(form).At(1, 1), 0x080C08u);
}

TEST(GradBox, ColoursAndStepAlwaysRepaintTheDirectionOnlyWhenItChanges) {
  HeadlessBackend backend;
  GradForm form(backend);
  form.CreateHandle();
  TGradBox& box = form.GradBox;
  int changes = 0;
  box.OnChange = [&](ui::Control&) { ++changes; };
  struct Setting {
    const char* name;
    std::function<void()> set;
    int repaints;
  };
  const std::vector<Setting> settings = {
      {"same start colour", [&] { box.SetStartColor(box.StartColor()); }, 1},
      {"same end colour", [&] { box.SetEndColor(box.EndColor()); }, 1},
      {"same step", [&] { box.SetGradStep(box.GradStep()); }, 1},
      {"same direction", [&] { box.SetDirection(box.Direction()); }, 0},
      {"new direction", [&] { box.SetDirection(gdHorizontal); }, 1},
  };
  for (const Setting& setting : settings) {
    SCOPED_TRACE(setting.name);
    const int repaintsBefore = HeadlessBackend::RepaintRequests(box);
    const int changesBefore = changes;
    setting.set();
    EXPECT_EQ(HeadlessBackend::RepaintRequests(box) - repaintsBefore, setting.repaints);
    EXPECT_EQ(changes - changesBefore, setting.repaints);
  }
}

TEST(Version, TextsFromTheFileVersionString) {
  struct Case {
    std::optional<std::string> fileVersion;  // nullopt: version information without the string
    const char* text;
  };
  const Case cases[] = {
      {"1.2.3.45", "1.23(Build:0045)"},   {"1.0.5.7", "1.05(Build:0007)"}, {"2.10.0.100", "2.100(Build:0100)"},
      {"1.2", "1.00(Build:0002)"},        {std::nullopt, "0.00(Build:0000)"}, {"", "0.00(Build:0000)"},
      {"1.x.3.4", "1.03(Build:0004)"},    {"7", "0.00(Build:0007)"},
  };
  platform::FakePlatform platform;
  platform.Files().PutFile("C:\\SETUP\\SETUP.EXE", "MZ");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileVersion.value_or("<no string>"));
    platform.Session().SetFileVersion("C:\\SETUP\\SETUP.EXE", c.fileVersion);
    FileVersion version;
    EXPECT_TRUE(ReadFileVersion(platform.Session(), "C:\\setup\\setup.exe", version));
    EXPECT_BYTES(VersionText(version), c.text);
  }
  FileVersion none;
  platform.Files().PutFile("C:\\SETUP\\README.TXT", "text");
  EXPECT_FALSE(ReadFileVersion(platform.Session(), "C:\\SETUP\\README.TXT", none));
  EXPECT_BYTES(VersionText(none), "0.00(Build:0000)");
}

// The program's windows on the headless backend, with the executable at C:\SETUP\SETUP.EXE.
class Chrome : public ::testing::Test {
 protected:
  Chrome() {
    platform.Files().PutFile("C:\\SETUP\\SETUP.EXE", "MZ");
    platform.Session().SetFileVersion("C:\\SETUP\\SETUP.EXE", "1.2.3.45");
    values.unSetupString = "削除";
  }
  // Runs the program; script plays the user while the wizard is shown.
  void RunWithWizard(std::function<void()> script) {
    backend.SetModalHandler([this, script](ui::Form& form) {
      if (&form == &app.frmMain) {
        ++wizardShows;
        script();
      } else if (modalScript) {
        modalScript(form);
      }
    });
    app.Run();
  }

  HeadlessBackend backend;
  platform::FakePlatform platform;
  StartupValues values;
  SetupApp app{backend, platform, values, "C:\\SETUP\\SETUP.EXE"};
  std::function<void(ui::Form&)> modalScript;
  int wizardShows = 0;
};

TEST_F(Chrome, FirstResizeShowsTheVersionMaximisesAndShowsTheWizardOnce) {
  RunWithWizard([&] {
    EXPECT_BYTES(app.frmBack.Caption(), "Ondaro! Setup 200x Version1.23(Build:0045)");
    EXPECT_EQ(app.frmBack.State(), ui::WindowState::Maximized);
    EXPECT_FALSE(app.frmBack.Enabled());
    EXPECT_EQ(app.frmBack.lblBackTitle2.Left(), app.frmBack.lblBackTitle1.Left() + 2);
    EXPECT_EQ(app.frmBack.lblBackTitle2.Top(), app.frmBack.lblBackTitle1.Top() + 2);
    // The gradient fills the maximised window.
    EXPECT_EQ(app.frmBack.GradBox.Width(), app.frmBack.ClientWidth());
    EXPECT_EQ(app.frmBack.GradBox.Height(), app.frmBack.ClientHeight());
    // A repaint of the gradient calls FormResize again: no longer normal, nothing happens.
    app.frmBack.GradBox.SetStartColor(ui::clBlue);
    app.frmMain.btnEnd.Click();
  });
  EXPECT_EQ(wizardShows, 1);
  EXPECT_FALSE(app.frmBack.Visible());
  // Without a script start-up ends in the error state, whose end button closes the wizard
  // without the question that would re-enable the background.
  EXPECT_FALSE(app.frmBack.Enabled());
}

TEST_F(Chrome, StartUpPlacesTheTitleAndTheBannerFromTheLowerRight) {
  RunWithWizard([&] {
    TfrmBack& back = app.frmBack;
    back.SetTitle("テスト　インストール");
    back.SetBanner("Copyright (C) 2003\r\nOrvane");
    EXPECT_BYTES(back.lblBackTitle2.Caption(), "テスト　インストール");
    EXPECT_EQ(back.lblBackTitle1.Width(), back.ClientWidth() - 24);
    EXPECT_EQ(back.lblBackTitle2.Width(), back.ClientWidth() - 24);
    const ui::Label& banner = back.lblPrgTitle1;
    EXPECT_EQ(banner.Left() + banner.Width() + 24, back.ClientWidth());
    EXPECT_EQ(banner.Top() + banner.Height() + 48, back.ClientHeight());
    EXPECT_EQ(back.lblPrgTitle2.Left(), banner.Left() + 2);
    EXPECT_EQ(back.lblPrgTitle2.Top(), banner.Top() + 2);
    // 8 pixels wider than the text, which the shadow still fits exactly.
    EXPECT_EQ(banner.Width(), back.lblPrgTitle2.Width() + 8);
    EXPECT_TRUE(banner.Visible());
    EXPECT_TRUE(back.lblPrgTitle2.Visible());
    app.frmMain.btnEnd.Click();
  });
}

struct AbortCase {
  const char* name;
  std::string caption;
  int answer;  // to the question, if one is asked
  bool asks;
  bool wizardEnds;
  bool aborted;  // the wizard disabled: the run's signal
  bool buttonDisabled;
};

TEST_F(Chrome, AbortButtonActsByItsCaption) {
  const std::vector<AbortCase> cases = {
      {"abort, yes", "中断(&A)", ui::mrYes, true, true, true, false},
      {"abort, no", "中断(&A)", ui::mrNo, true, false, false, false},
      {"next", "次へ(&N)", 0, false, false, false, true},
      {"done", "削除完了(&E)", 0, false, true, false, false},
      {"done without the word", "完了(&E)", 0, false, false, false, false},
      {"other", "閉じる", 0, false, false, false, false},
  };
  for (const AbortCase& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend caseBackend;
    platform::FakePlatform casePlatform;
    StartupValues caseValues;
    caseValues.unSetupString = "削除";
    SetupApp caseApp(caseBackend, casePlatform, caseValues, "C:\\SETUP\\SETUP.EXE");
    bool wizardEnded = true;
    caseBackend.SetModalHandler([&](ui::Form& form) {
      if (&form != &caseApp.frmMain) return;
      TfrmStatus& status = caseApp.frmStatus;
      form.Hide();
      status.Show();
      status.btnAbort.SetCaption(c.caption);
      status.btnAbort.SetEnabled(true);
      if (c.asks) caseBackend.QueueAnswer(c.answer);
      status.btnAbort.Click();
      wizardEnded = form.ModalResult() == ui::mrOk;
      EXPECT_EQ(caseApp.AbortRequested(), c.aborted);
      EXPECT_EQ(status.btnAbort.Enabled(), !c.buttonDisabled);
      EXPECT_EQ(status.Visible(), !c.aborted);
      EXPECT_EQ(caseApp.frmBack.Enabled(), c.wizardEnds);
      if (!wizardEnded) caseApp.frmMain.btnEnd.Click();  // the way out of the test
    });
    caseApp.Run();
    EXPECT_EQ(wizardEnded, c.wizardEnds);
    const auto& boxes = caseBackend.MessageBoxes();
    if (!c.asks) {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_BYTES(boxes[0].caption, "中断の確認");
    EXPECT_BYTES(boxes[0].text,
                 "ここで処理を中断すると、すでにコピー済みのファイルなどは削除されません。\r\n"
                 "一度、処理を完了してから、削除することをおすすめします。\r\n\r\n本当にここで処理を中断しますか？");
    EXPECT_EQ(boxes[0].style, 36u);
    if (c.answer == ui::mrYes) {
      ASSERT_EQ(boxes.size(), 2u);
      EXPECT_BYTES(boxes[1].text, "処理を中断しました。");
      EXPECT_BYTES(boxes[1].caption, "中断");
      EXPECT_EQ(boxes[1].style, 48u);
    } else {
      EXPECT_EQ(boxes.size(), 1u);
    }
  }
}

TEST_F(Chrome, EachButtonOfTheQuestionLeavesItsAnswerInTheResultChannel) {
  struct Case {
    ui::Button TfrmCustomDlg::*button;
    const char* answer;
  };
  const Case cases[] = {{&TfrmCustomDlg::btnYes, "Yes"},
                        {&TfrmCustomDlg::btnNo, "No"},
                        {&TfrmCustomDlg::btnDelete, "Delete"},
                        {&TfrmCustomDlg::btnSave, "Save"}};
  EXPECT_BYTES(app.frmMain.lblFormShare.Caption(), "Can't Delete");
  EXPECT_FALSE(app.frmMain.lblFormShare.Visible());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    backend.SetModalHandler([&](ui::Form&) { (app.frmCustomDlg.*c.button).Click(); });
    app.frmCustomDlg.lblMessage.SetCaption("C:\\Program Files\\共有\\ソフト一覧.dll");
    EXPECT_EQ(app.frmCustomDlg.ShowModal(), ui::mrOk);
    EXPECT_BYTES(app.frmMain.lblFormShare.Caption(), c.answer);
  }
}

struct RebootCase {
  const char* name;
  bool hasTokens;
  platform::Error exitResult;
  bool result;
  std::vector<bool> privilegeChanges;
  bool privilegeAtExit;
};

TEST(WinReboot, EnablesThePrivilegeForTheOneCallAndReportsTheExit) {
  const std::vector<RebootCase> cases = {
      {"NT, restart allowed", true, 0, true, {true, false}, true},
      {"NT, restart refused", true, platform::error::kAccessDenied, false, {true, false}, true},
      {"9x, no tokens", false, 0, true, {}, false},
  };
  for (const RebootCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::FakePlatform platform;
    platform.Session().SetHasTokens(c.hasTokens);
    platform.Session().SetExitResult(c.exitResult);
    TWinReboot WinReboot(platform.Session());
    EXPECT_EQ(WinReboot.Reboot(platform::exit_flag::kReboot), c.result);
    ASSERT_EQ(platform.Session().Exits().size(), 1u);
    EXPECT_EQ(platform.Session().Exits()[0].flags, 2u);
    EXPECT_EQ(platform.Session().Exits()[0].privilegeEnabled, c.privilegeAtExit);
    EXPECT_EQ(platform.Session().PrivilegeChanges(), c.privilegeChanges);
    EXPECT_FALSE(platform.Session().ShutdownPrivilegeEnabled());
  }
}

}  // namespace
}  // namespace ov::setup
