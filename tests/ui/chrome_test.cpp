// The interaction cases of what full-screen windows and their dialogs need: painting on a
// form, the main window's loop, fonts and transparent labels, controls moved and hidden
// after creation, forms hidden or disabled while another is modal, the folder browser.
// One set of cases for both backends, like interaction_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "support/readable.h"

namespace ov::ui::test {
namespace {

class PaintedForm : public Form {
 public:
  explicit PaintedForm(Backend& backend) : Form(backend, "PaintedForm") {
    SetCaption("描画");
    SetClientSize(200, 120);
    SetPosition(FormPosition::ScreenCenter);
    SetColor(clBlack);
    Box.SetBounds(20, 10, 50, 40);
    Box.OnPaint = [this](PaintBox&, Canvas& canvas) {
      ++paints;
      // Reaches beyond the box on every side: only the box's own area is painted.
      canvas.FillRect(Rect{-10, -10, 100, 100}, clRed);
      canvas.FillRect(Rect{0, 0, 10, 10}, clBlue);
    };
    lblTitle.SetBounds(100, 60, 90, 20);
    lblTitle.SetCaption("タイトル");
    Font font;
    font.face = "ＭＳ Ｐ明朝";
    font.pixels = 16;
    font.italic = true;
    font.color = clWhite;
    lblTitle.SetFont(font);
    lblTitle.SetTransparent(true);
    txtLog.SetBounds(100, 10, 90, 40);
    txtLog.SetReadOnly(true);
    txtLog.SetScrollBars(ScrollBars::Vertical);
    txtLog.SetColor(clSilver);
    btnEnd.SetBounds(8, 90, 80, 25);
    btnEnd.SetCaption("終了");
  }

  PaintBox Box{*this, "Box"};
  Label lblTitle{*this, "lblTitle"};
  Memo txtLog{*this, "txtLog"};
  Button btnEnd{*this, "btnEnd"};
  int paints = 0;
};

class SecondForm : public Form {
 public:
  explicit SecondForm(Backend& backend) : Form(backend, "SecondForm") {
    SetCaption("二番目");
    SetClientSize(160, 60);
    btnNext.SetBounds(8, 8, 80, 25);
    btnNext.SetCaption("次へ");
  }
  Button btnNext{*this, "btnNext"};
};

class Chrome : public ::testing::Test {
 protected:
  std::unique_ptr<UserDriver> user = MakeDriver();
  PaintedForm form{user->GetBackend()};
  SecondForm second{user->GetBackend()};
};

TEST_F(Chrome, PaintBoxDrawsOnlyInsideItsAreaInTheNearestColour) {
  user->WhenModal([&](Form&) {
    struct Probe {
      int x, y;
      Color expected;
    };
    const Probe probes[] = {
        {20, 10, clBlue},  {29, 19, clBlue}, {30, 20, clRed}, {69, 49, clRed},  // inside
        {19, 30, clBlack}, {70, 30, clBlack}, {40, 9, clBlack}, {40, 50, clBlack},  // just outside
    };
    for (const Probe& probe : probes) {
      const Color seen = user->PaintedPixel(form, probe.x, probe.y);
      // The headless picture leaves unpainted pixels unset; the window shows the form's colour.
      if (probe.expected == clBlack && seen != clBlack) {
        EXPECT_NE(seen, clRed) << probe.x << "," << probe.y;
        EXPECT_NE(seen, clBlue) << probe.x << "," << probe.y;
      } else {
        EXPECT_EQ(seen, probe.expected) << probe.x << "," << probe.y;
      }
    }
    EXPECT_GT(form.paints, 0);
    form.SetModalResult(mrOk);
  });
  form.ShowModal();
}

TEST_F(Chrome, LabelFontsAndMemoSettingsReachTheWindows) {
  user->WhenModal([&](Form&) {
    const Font font = user->ShownFont(form.lblTitle);
    EXPECT_BYTES(font.face, "ＭＳ Ｐ明朝");
    EXPECT_EQ(font.pixels, 16);
    EXPECT_TRUE(font.italic);
    EXPECT_FALSE(font.bold);
    EXPECT_EQ(font.color, clWhite);
    EXPECT_EQ(user->ShownBackground(form.txtLog), clSilver);
    form.txtLog.SetColor(clWhite);
    EXPECT_EQ(user->ShownBackground(form.txtLog), clWhite);
    EXPECT_BYTES(user->ShownText(form.lblTitle), "タイトル");
    form.lblTitle.SetCaption("別のタイトル");
    EXPECT_BYTES(user->ShownText(form.lblTitle), "別のタイトル");
    form.SetModalResult(mrOk);
  });
  form.ShowModal();
}

TEST_F(Chrome, ControlsMoveResizeHideAndShowAfterCreation) {
  user->WhenModal([&](Form&) {
    struct Step {
      Rect bounds;
      bool visible;
    };
    const Step steps[] = {{{8, 90, 80, 25}, true}, {{100, 95, 60, 20}, true}, {{100, 95, 60, 20}, false},
                          {{4, 4, 120, 30}, true}};
    for (const Step& step : steps) {
      form.btnEnd.SetBounds(step.bounds.left, step.bounds.top, step.bounds.width, step.bounds.height);
      form.btnEnd.SetVisible(step.visible);
      const Rect shown = user->ShownBounds(form.btnEnd);
      EXPECT_EQ(shown.left, step.bounds.left);
      EXPECT_EQ(shown.top, step.bounds.top);
      EXPECT_EQ(shown.width, step.bounds.width);
      EXPECT_EQ(shown.height, step.bounds.height);
      EXPECT_EQ(user->ShownVisible(form.btnEnd), step.visible);
    }
    form.SetModalResult(mrOk);
  });
  form.ShowModal();
}

TEST_F(Chrome, AModalFormHidesWhileAnotherShowsAndItsLoopRunsOn) {
  int nextClicks = 0;
  second.btnNext.OnClick = [&](Control&) {
    ++nextClicks;
    second.Hide();
    form.Show();
    form.SetModalResult(mrOk);
  };
  user->WhenModal([&](Form&) {
    form.Hide();
    second.Show();
    EXPECT_FALSE(user->ShownVisible(form));
    EXPECT_TRUE(user->ShownVisible(second));
    EXPECT_TRUE(form.IsModal());
    user->Click(second.btnNext);
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(nextClicks, 1);
  EXPECT_FALSE(user->ShownVisible(second));
}

TEST_F(Chrome, AWholeFormIsDisabledAndEnabled) {
  user->WhenModal([&](Form&) {
    second.Show();
    second.SetEnabled(false);
    EXPECT_FALSE(user->ShownEnabled(second));
    EXPECT_FALSE(second.Enabled());
    second.SetEnabled(true);
    EXPECT_TRUE(user->ShownEnabled(second));
    second.Hide();
    form.SetModalResult(mrOk);
  });
  form.ShowModal();
}

TEST_F(Chrome, TheMainLoopEndsWhenTheMainFormClosesAfterItsFirstResize) {
  std::vector<std::string> events;
  form.OnResize = [&](Control&) {
    events.push_back(form.State() == WindowState::Normal ? "resize normal" : "resize maximised");
    if (form.State() != WindowState::Normal) return;
    form.SetWindowState(WindowState::Maximized);
    user->WhenModal([&](Form&) {
      events.push_back("modal");
      second.SetModalResult(mrOk);
    });
    second.ShowModal();
    form.Close();
  };
  form.OnClose = [&](Control&) { events.push_back("close"); };
  form.RunAsMainForm();
  EXPECT_FALSE(form.Visible());
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.front(), "resize normal");
  EXPECT_EQ(events[1], "resize maximised");
  EXPECT_EQ(events.back(), "close");
  EXPECT_EQ(std::count(events.begin(), events.end(), "resize normal"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "modal"), 1);
}

TEST_F(Chrome, FolderBrowserConfirmsItsStartFolderOrCancels) {
  user->WhenModal([&](Form&) {
    std::string folder = "C:\\windows\\";
    user->AnswerNextFolderBrowser(false);
    EXPECT_FALSE(form.BrowseForFolder("フォルダの選択", folder));
    EXPECT_BYTES(folder, "C:\\windows\\");
    user->AnswerNextFolderBrowser(true);
    ASSERT_TRUE(form.BrowseForFolder("フォルダの選択", folder));
    EXPECT_TRUE(folder == "C:\\windows" || folder == "C:\\WINDOWS") << folder;
    form.SetModalResult(mrOk);
  });
  form.ShowModal();
}

}  // namespace
}  // namespace ov::ui::test
