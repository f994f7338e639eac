// The bulk rename dialog on the headless backend against the fake platform: its designed
// start, the extension table's buttons, the refresh, collision marking, and execution.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/path_parts.h"
#include "platform/fake/fake_platform.h"
#include "shellext/menu/selection.h"
#include "shellext/tools/bulk_rename_rules.h"
#include "shellext/tools/form_bulk_rename.h"
#include "shellext/tools/safe_rename_batch.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::shellext {
namespace {

using ui::headless::HeadlessBackend;

constexpr ui::Color kRed = 0x0000FF;
const std::string kFolder = "C:\\写真\\";

class FormBulkRenameTest : public ::testing::Test {
 protected:
  // Files in kFolder, each holding its own first name, so a test can tell where each went.
  std::vector<std::string> Put(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      EXPECT_EQ(platform_.Files().PutFile(kFolder + name, name), 0u);
      paths.push_back(kFolder + name);
    }
    return paths;
  }

  // name -> contents of every file of kFolder.
  std::map<std::string, std::string> Folder() {
    std::map<std::string, std::string> files;
    platform::FindEntry entry;
    std::unique_ptr<platform::FileSearch> search;
    if (platform_.Files().FindFirst(kFolder + "*", entry, search) != 0) return files;
    do {
      if (entry.attributes & platform::attribute::kDirectory) continue;
      std::string contents;
      platform_.Files().ReadContents(kFolder + entry.name, contents);
      files[entry.name] = contents;
    } while (search->Next(entry) == 0);
    return files;
  }

  // The preview as painted: each row's two cells and the colour of the second one.
  struct Row {
    std::string name;
    std::string newName;
    ui::Color color;
  };
  std::vector<Row> Painted(TFormBulkRename& form, int top = 0, int count = 40) {
    std::vector<Row> rows;
    HeadlessBackend::SetVisibleRows(form.Preview, top, count);
    for (int row = top; row < std::min(top + count, form.Preview.ItemCount()); ++row) {
      rows.push_back({form.Preview.CellText(row, 0), form.Preview.CellText(row, 1), form.Preview.DrawCell(row, 1)});
    }
    return rows;
  }

  // Runs the dialog modally with user as the person at it; returns the modal result.
  int Run(TFormBulkRename& form, const std::function<void(TFormBulkRename&)>& user) {
    backend_.SetModalHandler([&](ui::Form&) { user(form); });
    return form.ShowModal();
  }

  static std::string RenameMessage(const std::string& from, const std::string& to) {
    return std::string(kRenameFailedMessage) + "\r\nFrom: " + from + "\r\nTo: " + to;
  }

  platform::FakePlatform platform_;
  HeadlessBackend backend_;
};

TEST_F(FormBulkRenameTest, OpensAsDesignedAndChangesNothingUntilTheUserDoes) {
  const std::vector<std::string> selection = Put({"b-01.txt", "A(2).JPEG", "写真[3].png", "-001.txt"});
  TFormBulkRename form(backend_, platform_, &selection);

  EXPECT_BYTES(form.Caption(), "ファイル名の一括変更");
  EXPECT_EQ(form.ClientWidth(), 530);
  EXPECT_EQ(form.ClientHeight(), 313);
  EXPECT_EQ(form.Position(), ui::FormPosition::DesktopCenter);
  EXPECT_EQ(form.GetFont().face, "ＭＳ Ｐゴシック");
  EXPECT_EQ(form.GetFont().points, 9);
  const std::vector<std::pair<ui::Control*, const char*>> captions = {
      {&form.Memo1, "ファイル名をまとめて変更します"},
      {&form.ChkRemoveNumbers, "ファイル名からの数字の除去"},
      {&form.ChkChangeExt, "拡張子統一"},
      {&form.Label1, "変換前"},
      {&form.Label2, "変換後"},
      {&form.BtnAddExt, "追加"},
      {&form.BtnEditExt, "編集"},
      {&form.BtnDeleteExt, "削除"},
      {&form.ChkUseRegExp, "正規表現"},
      {&form.Label3, "パターン"},
      {&form.Label4, "出力フォーマット"},
      {&form.Label5, "$1～$9 はカッコで囲まれたマッチ文字列に置換されます"},
      {&form.LbAlreadyExists, "赤字のファイルはすでに存在します"},
      {&form.BtnOK, "実行"},
      {&form.BtnCancel, "Cancel"},
      {&form.EditOldExt, ""},
      {&form.EditNewExt, ""},
      {&form.EditPattern, ""},
      {&form.EditFormat, ""},
  };
  for (const auto& [control, caption] : captions) EXPECT_BYTES(control->Caption(), caption) << control->Name();
  EXPECT_TRUE(form.Memo1.ReadOnly());
  EXPECT_FALSE(form.Memo1.Border());
  EXPECT_EQ(form.RemoveNumbers.Items(),
            (std::vector<std::string>{"-000 ハイフンつき数字", "(000) カッコつき数字", "[000] 角カッコつき数字"}));
  EXPECT_EQ(form.RemoveNumbers.ItemIndex(), 0);
  EXPECT_EQ(form.ActiveControl(), &form.RemoveNumbers);
  for (ui::CheckBox* box : {&form.ChkRemoveNumbers, &form.ChkChangeExt, &form.ChkUseRegExp}) {
    EXPECT_FALSE(box->Checked()) << box->Name();
  }
  for (ui::Button* button : {&form.BtnAddExt, &form.BtnEditExt, &form.BtnDeleteExt}) {
    EXPECT_FALSE(button->Enabled()) << button->Name();
  }
  EXPECT_TRUE(form.ChangeExtTable.Items().empty());
  EXPECT_FALSE(form.LbAlreadyExists.Visible());
  EXPECT_TRUE(form.LbAlreadyExists.GetFont().bold);
  EXPECT_EQ(form.LbAlreadyExists.GetFont().color, kRed);
  EXPECT_TRUE(form.BtnCancel.IsCancel());
  ASSERT_EQ(form.Preview.Columns().size(), 2u);
  EXPECT_BYTES(form.Preview.Columns()[0].caption, "元のファイル名");
  EXPECT_BYTES(form.Preview.Columns()[1].caption, "変更後");
  EXPECT_EQ(form.Preview.Columns()[0].width, 100);
  EXPECT_EQ(form.Preview.Columns()[1].width, 100);
  EXPECT_TRUE(form.Preview.OwnerData());
  EXPECT_TRUE(form.Preview.ReadOnly());
  ASSERT_EQ(form.Preview.ItemCount(), 4);

  // The rows follow the sorted copy; every new name is the old one.
  std::vector<std::string> shown;
  for (const Row& row : Painted(form)) {
    EXPECT_BYTES(row.newName, row.name);
    EXPECT_NE(row.color, kRed);
    shown.push_back(row.name);
  }
  std::vector<std::string> sorted = selection;
  SortByName(platform_.System(), sorted);
  ASSERT_EQ(form.SelectionCopy(), sorted);
  for (std::size_t k = 0; k < sorted.size(); ++k) EXPECT_BYTES(shown[k], base::NamePart(sorted[k]));

  const auto before = Folder();
  EXPECT_EQ(Run(form, [](TFormBulkRename& f) { f.BtnOK.Click(); }), ui::mrOk);
  EXPECT_EQ(Folder(), before);
  EXPECT_TRUE(backend_.MessageBoxes().empty());
}

TEST_F(FormBulkRenameTest, EachRuleRunsOnlyWhileItsBoxIsChecked) {
  const std::vector<std::string> selection = Put({"photo_12-3.jpeg"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.EditOldExt.SetText("jpeg");
  form.EditNewExt.SetText("jpg");
  form.BtnAddExt.Click();
  form.RemoveNumbers.SetItemIndex(0);
  form.EditPattern.SetText("(.*)_(.*)");
  form.EditFormat.SetText("$2-$1");
  // Every combination of the three boxes, each step on the result of the one before.
  const struct {
    bool numbers, ext, regex;
    const char* expected;
  } cases[] = {
      {false, false, false, "photo_12-3.jpeg"}, {true, false, false, "photo_12.jpeg"},
      {false, true, false, "photo_12-3.jpg"},   {false, false, true, "12-3-photo.jpeg"},
      {true, true, true, "12-photo.jpg"},       {true, false, true, "12-photo.jpeg"},
  };
  for (const auto& c : cases) {
    form.ChkRemoveNumbers.SetChecked(c.numbers);
    form.ChkChangeExt.SetChecked(c.ext);
    form.ChkUseRegExp.SetChecked(c.regex);
    EXPECT_BYTES(Painted(form).at(0).newName, c.expected) << c.numbers << c.ext << c.regex;
  }
  // The parentheses form; a pattern that does not compile leaves the base as it is.
  form.ChkChangeExt.SetChecked(true);
  form.RemoveNumbers.SetItemIndex(1);
  form.EditPattern.SetText("(abc");
  EXPECT_BYTES(Painted(form).at(0).newName, "photo_12-3.jpg");
}

TEST_F(FormBulkRenameTest, ExtensionTableButtons) {
  const std::vector<std::string> selection = Put({"A.JPEG", "x.tmp"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkChangeExt.SetChecked(true);

  form.EditOldExt.SetText("jpeg");
  EXPECT_TRUE(form.BtnAddExt.Enabled());
  form.EditOldExt.SetText("");
  EXPECT_FALSE(form.BtnAddExt.Enabled());

  form.EditOldExt.SetText("jpeg");
  form.EditNewExt.SetText("jpg");
  form.BtnAddExt.Click();
  EXPECT_EQ(form.ChangeExtTable.Items(), (std::vector<std::string>{".jpeg=.jpg"}));
  EXPECT_EQ(form.EditOldExt.Text(), "");
  EXPECT_EQ(form.EditNewExt.Text(), "");
  EXPECT_FALSE(form.BtnAddExt.Enabled());
  EXPECT_BYTES(Painted(form).at(0).newName, "A.jpg");  // the table changed: the preview follows

  form.EditOldExt.SetText(".tmp");
  form.BtnAddExt.Click();
  form.EditOldExt.SetText(".jpeg");
  form.EditNewExt.SetText(".png");
  form.BtnAddExt.Click();
  // The second .jpeg line gives the first one its value and stays behind it, empty.
  EXPECT_EQ(form.ChangeExtTable.Items(), (std::vector<std::string>{".jpeg=.png", ".tmp=", ".jpeg="}));
  std::vector<Row> rows = Painted(form);
  EXPECT_BYTES(rows.at(0).newName, "A.png");
  EXPECT_BYTES(rows.at(1).newName, "x");

  // Choosing a line enables editing and deleting; adding keeps the chosen line chosen.
  form.ChangeExtTable.Choose(1);
  EXPECT_TRUE(form.BtnEditExt.Enabled());
  EXPECT_TRUE(form.BtnDeleteExt.Enabled());
  form.EditOldExt.SetText("txt");
  form.BtnAddExt.Click();
  EXPECT_EQ(form.ChangeExtTable.ItemIndex(), 1);

  // Editing the empty .jpeg line shows the value looked up by its name, the first line's.
  form.ChangeExtTable.Choose(2);
  form.BtnEditExt.Click();
  EXPECT_EQ(form.EditOldExt.Text(), ".jpeg");
  EXPECT_EQ(form.EditNewExt.Text(), ".png");
  EXPECT_EQ(form.ChangeExtTable.Items(), (std::vector<std::string>{".jpeg=.png", ".tmp=", ".txt="}));
  EXPECT_FALSE(form.BtnEditExt.Enabled());
  EXPECT_FALSE(form.BtnDeleteExt.Enabled());
  EXPECT_TRUE(form.BtnAddExt.Enabled());

  form.ChangeExtTable.Choose(1);
  form.BtnDeleteExt.Click();
  EXPECT_EQ(form.ChangeExtTable.Items(), (std::vector<std::string>{".jpeg=.png", ".txt="}));
  EXPECT_FALSE(form.BtnEditExt.Enabled());
  EXPECT_FALSE(form.BtnDeleteExt.Enabled());
  EXPECT_BYTES(Painted(form).at(1).newName, "x.tmp");
}

TEST_F(FormBulkRenameTest, CollisionsAreRedAndTheLabelFollowsTheLastCellDrawn) {
  const std::vector<std::string> selection = Put({"a_1.txt", "b_2.txt", "c_3.txt", "d_4.txt"});
  Put({"1-a.txt"});                                                      // a file outside the selection
  ASSERT_EQ(platform_.Files().MakeFolders(kFolder + "3-c.txt"), 0u);    // and a folder
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkUseRegExp.SetChecked(true);
  form.EditPattern.SetText("(.*)_(\\d+)");
  form.EditFormat.SetText("$2-$1");

  const std::vector<Row> rows = Painted(form);
  ASSERT_EQ(rows.size(), 4u);
  const ui::Color expected[] = {kRed, 0, kRed, 0};
  for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(rows[k].color == kRed, expected[k] == kRed) << k;
  EXPECT_FALSE(form.LbAlreadyExists.Visible());  // the last cell drawn is d's
  Painted(form, 0, 1);
  EXPECT_TRUE(form.LbAlreadyExists.Visible());
  Painted(form, 1, 1);
  EXPECT_FALSE(form.LbAlreadyExists.Visible());
  Painted(form, 1, 2);
  EXPECT_TRUE(form.LbAlreadyExists.Visible());
  EXPECT_TRUE(form.BtnOK.Enabled());

  // Any refresh hides the label until a red cell is drawn again.
  form.EditFormat.SetText("$2-$1 ");
  EXPECT_FALSE(form.LbAlreadyExists.Visible());
}

TEST_F(FormBulkRenameTest, ANameHeldByAnotherSelectedFileIsNoCollision) {
  // f.x and f.y swap their extensions; G.Y, spelled in another case, is selected too.
  const std::vector<std::string> selection = Put({"f.x", "f.y", "g.x", "G.Y"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkChangeExt.SetChecked(true);
  form.EditOldExt.SetText(".x");
  form.EditNewExt.SetText(".y");
  form.BtnAddExt.Click();
  form.EditOldExt.SetText(".y");
  form.EditNewExt.SetText(".x");
  form.BtnAddExt.Click();
  for (const Row& row : Painted(form)) EXPECT_NE(row.color, kRed) << test::Readable(row.name);
  EXPECT_FALSE(form.LbAlreadyExists.Visible());

  // Executed: the files swap names through the move-aside, in the copy's order.
  EXPECT_EQ(Run(form, [](TFormBulkRename& f) { f.BtnOK.Click(); }), ui::mrOk);
  EXPECT_TRUE(backend_.MessageBoxes().empty());
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"f.y", "f.x"}, {"f.x", "f.y"}, {"g.y", "g.x"}, {"G.x", "G.Y"}}));
}

TEST_F(FormBulkRenameTest, ExecutionRenamesAndReportsFailuresOneByOne) {
  // ax and bX both become new.txt: the first gets it, the second fails with the message.
  const std::vector<std::string> selection = Put({"bX.txt", "ax.txt", "c.txt"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkUseRegExp.SetChecked(true);
  form.EditPattern.SetText("(x)");
  form.EditFormat.SetText("new");
  std::map<std::string, std::string> preview;
  for (const Row& row : Painted(form)) preview[row.name] = row.newName;
  EXPECT_EQ(preview, (std::map<std::string, std::string>{{"ax.txt", "new.txt"}, {"bX.txt", "new.txt"}, {"c.txt", "c.txt"}}));

  EXPECT_EQ(Run(form, [](TFormBulkRename& f) { f.BtnOK.Click(); }), ui::mrOk);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"new.txt", "ax.txt"}, {"bX.txt", "bX.txt"}, {"c.txt", "c.txt"}}));
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  EXPECT_BYTES(backend_.MessageBoxes()[0].text, RenameMessage("bX.txt", "new.txt"));
  EXPECT_BYTES(backend_.MessageBoxes()[0].caption, "ファイル名の一括変更");
  EXPECT_EQ(backend_.MessageBoxes()[0].style, ui::kMbOk);
}

TEST_F(FormBulkRenameTest, AnOutsideCollisionFailsWithTheRenameMessageAndTheRunGoesOn) {
  const std::vector<std::string> selection = Put({"c.txt", "d_4.txt"});
  Put({"outside.txt"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkUseRegExp.SetChecked(true);
  form.EditPattern.SetText("^(c)$|_(4)");
  form.EditFormat.SetText("outside$2");
  const std::vector<Row> rows = Painted(form);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].newName, "outside.txt");
  EXPECT_EQ(rows[0].color, kRed);
  EXPECT_EQ(rows[1].newName, "outside4.txt");
  EXPECT_NE(rows[1].color, kRed);
  EXPECT_TRUE(form.BtnOK.Enabled());

  EXPECT_EQ(Run(form, [](TFormBulkRename& f) { f.BtnOK.Click(); }), ui::mrOk);
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  EXPECT_BYTES(backend_.MessageBoxes()[0].text, RenameMessage("c.txt", "outside.txt"));
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{
                          {"c.txt", "c.txt"}, {"outside.txt", "outside.txt"}, {"outside4.txt", "d_4.txt"}}));
}

// Batches in which a new name cannot be given: a name held by a selected file that keeps
// it, a name some other file got first, a name that is no file name of the folder. Each is
// previewed (red where the name is taken or invalid), then executed: each content exactly
// once, the messages in order, nothing outside the folder touched.
TEST_F(FormBulkRenameTest, NamesThatCannotBeGiven) {
  struct Case {
    const char* title;
    std::vector<std::string> files;
    std::function<void(TFormBulkRename&)> settings;
    std::map<std::string, std::pair<std::string, bool>> preview;  // name -> new name, red
    std::map<std::string, std::string> after;                     // name -> contents
    std::vector<std::string> messages;
  };
  const auto regex = [](const char* pattern, const char* format) {
    return [=](TFormBulkRename& f) {
      f.ChkUseRegExp.SetChecked(true);
      f.EditPattern.SetText(pattern);
      f.EditFormat.SetText(format);
    };
  };
  const auto numbers = [](int item) {
    return [=](TFormBulkRename& f) {
      f.ChkRemoveNumbers.SetChecked(true);
      f.RemoveNumbers.SetItemIndex(item);
    };
  };
  std::vector<Case> cases = {
      {"two files, one new name that neither bears", {"ta.txt", "ta1.txt", "ta2.txt"},
       regex("^(?|(t)a|(ta)\\d)$", "$1"),
       {{"ta.txt", {"t.txt", false}}, {"ta1.txt", {"ta.txt", false}}, {"ta2.txt", {"ta.txt", false}}},
       {{"t.txt", "ta.txt"}, {"ta.txt", "ta1.txt"}, {"ta2.txt", "ta2.txt"}},
       {RenameMessage("ta2.txt", "ta.txt")}},
      {"extension table onto a name kept", {"x.jpeg", "x.jpg"},
       [](TFormBulkRename& f) {
         f.ChkChangeExt.SetChecked(true);
         f.EditOldExt.SetText(".jpeg");
         f.EditNewExt.SetText(".jpg");
         f.BtnAddExt.Click();
       },
       {{"x.jpeg", {"x.jpg", true}}, {"x.jpg", {"x.jpg", false}}},
       {{"x.jpeg", "x.jpeg"}, {"x.jpg", "x.jpg"}},
       {RenameMessage("x.jpeg", "x.jpg")}},
      {"number removal (000) onto a name kept", {"photo(1).jpg", "photo.jpg"}, numbers(1),
       {{"photo(1).jpg", {"photo.jpg", true}}, {"photo.jpg", {"photo.jpg", false}}},
       {{"photo(1).jpg", "photo(1).jpg"}, {"photo.jpg", "photo.jpg"}},
       {RenameMessage("photo(1).jpg", "photo.jpg")}},
      {"number removal [000] never cuts ー", {"abー1].jpg", "abー[2].jpg"}, numbers(2),
       {{"abー1].jpg", {"abー1].jpg", false}}, {"abー[2].jpg", {"abー.jpg", false}}},
       {{"abー1].jpg", "abー1].jpg"}, {"abー.jpg", "abー[2].jpg"}},
       {}},
      {"a format that leaves the folder", {"a.txt", "b.txt"}, regex("(.*)", "..\\\\$1"),
       {{"a.txt", {"..\\a.txt", true}}, {"b.txt", {"..\\b.txt", true}}},
       {{"a.txt", "a.txt"}, {"b.txt", "b.txt"}},
       {RenameMessage("a.txt", "..\\a.txt"), RenameMessage("b.txt", "..\\b.txt")}},
      {"a valid name that holds a device name", {"c.txt"}, regex("(c)", "$1CON"),
       {{"c.txt", {"cCON.txt", false}}}, {{"cCON.txt", "c.txt"}}, {}},
      {"device names with and without extension", {"x1.txt", "x2"}, regex("(x)", "nul"),
       {{"x1.txt", {"nul.txt", true}}, {"x2", {"nul", true}}},
       {{"x1.txt", "x1.txt"}, {"x2", "x2"}},
       {RenameMessage("x1.txt", "nul.txt"), RenameMessage("x2", "nul")}},
  };
  // One file each, the format typed as the new base: the names no folder can hold.
  for (const char* format : {"$1 ", "$1.", "Com1", "a:b", "a|b", "\\\\server"}) {
    Case c{format, {"f"}, regex("(f)", format), {}, {{"f", "f"}}, {}};
    const std::optional<RegexPattern> pattern = RegexPattern::Compile("(f)");
    const std::string expanded = ExpandOutputFormat("f", *pattern, format);
    c.preview = {{"f", {expanded, true}}};
    c.messages = {RenameMessage("f", expanded)};
    cases.push_back(c);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    platform::FakePlatform fresh;
    HeadlessBackend backend;
    ASSERT_EQ(fresh.Files().PutFile("C:\\outside.txt", "outside"), 0u);
    std::vector<std::string> selection;
    for (const std::string& name : c.files) {
      ASSERT_EQ(fresh.Files().PutFile(kFolder + name, name), 0u);
      selection.push_back(kFolder + name);
    }
    TFormBulkRename form(backend, fresh, &selection);
    c.settings(form);
    HeadlessBackend::SetVisibleRows(form.Preview, 0, 40);
    std::map<std::string, std::pair<std::string, bool>> preview;
    for (int row = 0; row < form.Preview.ItemCount(); ++row) {
      preview[form.Preview.CellText(row, 0)] = {form.Preview.CellText(row, 1), form.Preview.DrawCell(row, 1) == kRed};
    }
    EXPECT_EQ(preview, c.preview);

    backend.SetModalHandler([](ui::Form& f) { dynamic_cast<TFormBulkRename&>(f).BtnOK.Click(); });
    EXPECT_EQ(form.ShowModal(), ui::mrOk);
    std::map<std::string, std::string> after;
    platform::FindEntry entry;
    std::unique_ptr<platform::FileSearch> search;
    ASSERT_EQ(fresh.Files().FindFirst(kFolder + "*", entry, search), 0u);
    do {
      if (entry.attributes & platform::attribute::kDirectory) continue;
      fresh.Files().ReadContents(kFolder + entry.name, after[entry.name]);
    } while (search->Next(entry) == 0);
    EXPECT_EQ(after, c.after);
    std::string outside;
    EXPECT_EQ(fresh.Files().ReadContents("C:\\outside.txt", outside), 0u);
    EXPECT_EQ(outside, "outside");
    EXPECT_EQ(fresh.Files().ReadContents("C:\\a.txt", outside), platform::error::kFileNotFound);
    ASSERT_EQ(backend.MessageBoxes().size(), c.messages.size());
    for (std::size_t i = 0; i < c.messages.size(); ++i) EXPECT_BYTES(backend.MessageBoxes()[i].text, c.messages[i]);
  }
}

// Number removal "-000" on a-1.txt, a-2.txt and a.txt: a.txt keeps its name, so neither
// other file may take it; whichever order the comparison gives, both are refused.
TEST_F(FormBulkRenameTest, HyphenRemovalOntoANameKeptRefusesBoth) {
  const std::vector<std::string> selection = Put({"a-1.txt", "a-2.txt", "a.txt"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkRemoveNumbers.SetChecked(true);
  for (const Row& row : Painted(form)) {
    EXPECT_EQ(row.newName, "a.txt");
    EXPECT_EQ(row.color == kRed, row.name != "a.txt") << row.name;
  }
  EXPECT_EQ(Run(form, [](TFormBulkRename& f) { f.BtnOK.Click(); }), ui::mrOk);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"a-1.txt", "a-1.txt"}, {"a-2.txt", "a-2.txt"}, {"a.txt", "a.txt"}}));
  std::vector<std::string> texts;
  for (const auto& box : backend_.MessageBoxes()) texts.push_back(box.text);
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{RenameMessage("a-1.txt", "a.txt"), RenameMessage("a-2.txt", "a.txt")}));
}

TEST_F(FormBulkRenameTest, ANewNameThatDiffersOnlyInCaseIsShownButNotCarriedOut) {
  const std::vector<std::string> selection = Put({"ABC.TXT"});
  TFormBulkRename form(backend_, platform_, &selection);
  form.ChkUseRegExp.SetChecked(true);
  form.EditPattern.SetText("(.*)");
  form.EditFormat.SetText("abc");
  const std::vector<Row> rows = Painted(form);
  EXPECT_EQ(rows.at(0).newName, "abc.TXT");
  EXPECT_NE(rows.at(0).color, kRed);  // the file itself is selected
  EXPECT_EQ(Run(form, [](TFormBulkRename& f) { f.BtnOK.Click(); }), ui::mrOk);
  EXPECT_TRUE(backend_.MessageBoxes().empty());
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"ABC.TXT", "ABC.TXT"}}));
}

TEST_F(FormBulkRenameTest, CancelRenamesNothingAndTheToolEntryShowsTheDialogOverItsParent) {
  const std::vector<std::string> selection = Put({"b_2.txt", "a_1.txt"});
  ui::headless::HeadlessBackend& backend = backend_;
  ToolContext context{platform_, backend};
  std::uintptr_t owner = 0;
  int rows = -1;
  backend.SetModalHandler([&](ui::Form& form) {
    auto& dialog = dynamic_cast<TFormBulkRename&>(form);
    owner = dialog.OwnerHandle();
    rows = dialog.Preview.ItemCount();
    dialog.ChkUseRegExp.SetChecked(true);
    dialog.EditPattern.SetText("(.*)_(\\d+)");
    dialog.EditFormat.SetText("$2-$1");
    dialog.HandleDialogKey(ui::DialogKey::Escape);
  });
  RunBulkRename(context, selection, 0x1234);
  EXPECT_EQ(owner, 0x1234u);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"a_1.txt", "a_1.txt"}, {"b_2.txt", "b_2.txt"}}));

  // The same through "実行".
  backend.SetModalHandler([&](ui::Form& form) {
    auto& dialog = dynamic_cast<TFormBulkRename&>(form);
    dialog.ChkUseRegExp.SetChecked(true);
    dialog.EditPattern.SetText("(.*)_(\\d+)");
    dialog.EditFormat.SetText("$2-$1");
    dialog.BtnOK.Click();
  });
  RunBulkRename(context, selection, 0x1234);
  EXPECT_EQ(Folder(), (std::map<std::string, std::string>{{"1-a.txt", "a_1.txt"}, {"2-b.txt", "b_2.txt"}}));
}

}  // namespace
}  // namespace ov::shellext
