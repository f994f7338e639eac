// What only the headless backend offers its tests: scripted users for wait loops, declared
// visible rows, recorded message boxes; and the portable helpers beneath both backends.
#include <gtest/gtest.h>

#include <set>

#include "platform/fake/fake_files.h"
#include "support/readable.h"
#include "ui/form.h"
#include "ui/headless/headless_backend.h"

namespace ov::ui {
namespace {

TEST(FormatThousands, GroupsDigitsByThree) {
  const struct {
    long long value;
    const char* expected;
  } cases[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {32767, "32,767"}, {1234567, "1,234,567"},
               {-1000, "-1,000"}, {-999, "-999"}, {100000, "100,000"}};
  for (const auto& c : cases) EXPECT_EQ(FormatThousands(c.value, ","), c.expected) << c.value;
  EXPECT_EQ(FormatThousands(1234567, "."), "1.234.567");
}

class WaitForm : public Form {
 public:
  explicit WaitForm(Backend& backend) : Form(backend, "frmStatus") {
    btnAbort.SetCaption("次へ(&N)");
    lblStatus.SetBounds(8, 8, 100, 13);
    List.SetBounds(8, 30, 200, 20 + 4 * 16);  // a header and four rows
  }
  Button btnAbort{*this, "btnAbort"};
  Label lblStatus{*this, "lblStatus"};
  ListView List{*this, "List"};
};

TEST(HeadlessBackend, ProcessMessagesLetsTheScriptedUserActInOrder) {
  headless::HeadlessBackend backend;
  WaitForm form(backend);
  form.btnAbort.OnClick = [&](Control& sender) { sender.SetEnabled(false); };
  form.Show();
  backend.QueueUserAction([] {});
  backend.QueueUserAction([&] { form.btnAbort.Click(); });
  // A wait loop as the runs have it: let messages run while the button is enabled.
  int rounds = 0;
  while (form.btnAbort.Enabled() && rounds < 10) {
    ++rounds;
    form.ProcessMessages();
  }
  EXPECT_EQ(rounds, 2);
  EXPECT_EQ(backend.ProcessMessagesCalls(), 2);
  EXPECT_EQ(backend.PendingUserActions(), 0u);
}

TEST(HeadlessBackend, PaintingReachesOnlyTheDeclaredVisibleRows) {
  headless::HeadlessBackend backend;
  WaitForm form(backend);
  std::set<int> produced;
  std::set<int> drawn;
  form.List.SetColumns({{"名前", 100}});
  form.List.SetOwnerData(true);
  form.List.OnData = [&](ListView&, ListItem& item) { produced.insert(item.index); };
  form.List.OnCustomDrawSubItem = [&](ListView&, int index, int, Color&) { drawn.insert(index); };
  form.List.SetItemCount(100000);
  form.Show();
  EXPECT_EQ(form.List.VisibleRowCount(), 4);  // as many rows as its height holds
  headless::HeadlessBackend::SetVisibleRows(form.List, 10, 3);
  headless::HeadlessBackend::Paint(form.List);
  EXPECT_EQ(drawn, (std::set<int>{10, 11, 12}));
  EXPECT_EQ(produced, (std::set<int>{10, 11, 12}));
  drawn.clear();
  form.List.ScrollTo(99999);
  EXPECT_EQ(form.List.TopIndex(), 99997);
  form.List.UpdateItems(0, 99998);
  EXPECT_EQ(drawn, (std::set<int>{99997, 99998}));
}

TEST(HeadlessBackend, MessageBoxesRecordAndAnswerFromTheQueueThenWithTheFirstButton) {
  headless::HeadlessBackend backend;
  WaitForm form(backend);
  form.Show();
  backend.QueueAnswer(mrNo);
  EXPECT_EQ(form.ShowMessageBox("終了してもよろしいですか？", "終了確認", 36), mrNo);
  EXPECT_EQ(form.ShowMessageBox("処理を中断しました。", "中断", 48), mrOk);
  EXPECT_EQ(form.ShowMessageBox("続けますか？", "確認", 52), mrYes);
  ASSERT_EQ(backend.MessageBoxes().size(), 3u);
  EXPECT_BYTES(backend.MessageBoxes()[0].caption, "終了確認");
  EXPECT_EQ(backend.MessageBoxes()[0].style, 36u);
  EXPECT_EQ(backend.MessageBoxes()[1].answer, mrOk);
  EXPECT_EQ(backend.MessageBoxes()[0].owner, form.Handle());
}

TEST(Controls, FontsFollowTheParentUntilSetAndLabelsResizeWithThem) {
  headless::HeadlessBackend backend;
  WaitForm form(backend);
  Font wizard;
  wizard.pixels = 12;
  form.SetFont(wizard);
  EXPECT_EQ(form.lblStatus.GetFont().pixels, 12);
  EXPECT_TRUE(form.lblStatus.ParentFont());
  form.lblStatus.SetCaption("0%(0/0)");
  const int narrow = form.lblStatus.Width();
  EXPECT_GT(narrow, 0);
  Font large = wizard;
  large.pixels = 32;
  large.italic = true;
  form.lblStatus.SetFont(large);
  form.lblStatus.SetCaption("0%(0/00)");
  EXPECT_GT(form.lblStatus.Width(), narrow);
  EXPECT_TRUE(form.lblStatus.GetFont().italic);
  form.SetFont(Font{});
  EXPECT_EQ(form.lblStatus.GetFont().pixels, 32);  // its own font stays
  form.lblStatus.SetAutoSize(false);
  form.lblStatus.SetCaption("もっと長い見出しのテキスト");
  EXPECT_EQ(form.lblStatus.Width(), form.GetBackend().MeasureText(large, "0%(0/00)").width);
}

TEST(Controls, MemoLoadsAFileWithEveryLineEndedByCrLf) {
  platform::fake::FakeClock clock;
  platform::fake::FakeFailures failures;
  platform::fake::FakeFiles files(clock, failures);
  ASSERT_EQ(files.PutFile("C:\\readme.txt", "一行目\n二行目\r\n三行目\rend"), 0u);
  headless::HeadlessBackend backend;
  Form form(backend, "frmMain");
  Memo txtReadme(form, "txtReadme");
  int changes = 0;
  txtReadme.OnChange = [&](Control&) { ++changes; };
  EXPECT_EQ(txtReadme.LoadFromFile(files, "C:\\readme.txt"), 0u);
  EXPECT_BYTES(txtReadme.Text(), "一行目\r\n二行目\r\n三行目\r\nend");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(txtReadme.LoadFromFile(files, "C:\\missing.txt"), 2u);
  EXPECT_BYTES(txtReadme.Text(), "一行目\r\n二行目\r\n三行目\r\nend");
}

TEST(Controls, ProgressStepStartsAgainPastTheMaximum) {
  headless::HeadlessBackend backend;
  Form form(backend, "frmStatus");
  ProgressBar prgStatus(form, "prgStatus");
  prgStatus.SetRange(0, 100);
  prgStatus.SetStep(30);
  std::vector<int> seen;
  for (int i = 0; i < 5; ++i) {
    prgStatus.StepIt();
    seen.push_back(prgStatus.Position());
  }
  EXPECT_EQ(seen, (std::vector<int>{30, 60, 90, 20, 50}));
}

}  // namespace
}  // namespace ov::ui
