// The series classification dialog and the folder combine on the headless backend against
// the fake platform: classification with the default and changed options, renaming,
// combining, reclassifying, execution through the shell's file operation, and the choice
// dialog's cancel paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/path_parts.h"
#include "platform/fake/fake_platform.h"
#include "shellext/menu/selection.h"
#include "shellext/tools/folder_combine.h"
#include "shellext/tools/form_file_series.h"
#include "shellext/tools/form_series_new_name.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::shellext {
namespace {

using ui::headless::HeadlessBackend;
using Names = std::vector<std::string>;

const std::string kFolder = "C:\\写真\\";

class SeriesTest : public ::testing::Test {
 protected:
  Names Put(const Names& names, const std::string& folder = kFolder) {
    Names paths;
    for (const std::string& name : names) {
      EXPECT_EQ(platform_.Files().PutFile(folder + name, name), 0u);
      paths.push_back(folder + name);
    }
    return paths;
  }
  // The names in a folder ("" for none), sorted as the fake lists them.
  Names List(const std::string& folder) {
    Names names;
    platform::FindEntry entry;
    std::unique_ptr<platform::FileSearch> search;
    if (platform_.Files().FindFirst(folder + "*", entry, search) != 0) return names;
    do {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    } while (search->Next(entry) == 0);
    return names;
  }
  // Each row as "caption:count".
  static Names Rows(TFormFileSeries& form) {
    Names rows;
    for (int i = 0; i < form.SeriesListView.ItemCount(); ++i) {
      rows.push_back(form.SeriesListView.CellText(i, 0) + ":" + form.SeriesListView.CellText(i, 1));
    }
    return rows;
  }
  // The choice dialog's user: checks nothing, picks the item and answers.
  void ChooseInDialog(int item, int result, Names* offered = nullptr) {
    ui_.SetModalHandler([=](ui::Form& form) {
      auto* chooser = dynamic_cast<TFormSeriesNewName*>(&form);
      ASSERT_NE(chooser, nullptr);
      if (offered != nullptr) {
        *offered = chooser->NewSeriesName.Items();
        offered->push_back("chosen at start: " + std::to_string(chooser->NewSeriesName.ItemIndex()));
      }
      if (item >= 0) chooser->NewSeriesName.SetItemIndex(item);
      (result == ui::mrOk ? chooser->BtnOK : chooser->BtnCancel).Click();
    });
  }
  void Select(TFormFileSeries& form, std::initializer_list<int> rows) {
    for (const int row : rows) form.SeriesListView.SetSelected(row, true);
  }

  platform::FakePlatform platform_;
  HeadlessBackend ui_;
};

TEST_F(SeriesTest, DialogIsDesignedAndOpensClassifiedWithTheDefaults) {
  TFormFileSeries form(ui_, platform_, Put({"IMG_0001.jpg"}));
  EXPECT_BYTES(form.Caption(), "ファイル名による自動分類");
  EXPECT_EQ(form.ClientWidth(), 334);
  EXPECT_EQ(form.ClientHeight(), 340);
  EXPECT_BYTES(form.EditNumericChar.Text(), "_()~[]+-");
  EXPECT_EQ(form.EditDeleteChar.Position(), 0);
  EXPECT_EQ(form.EditDeleteChar.Max(), 100);
  EXPECT_FALSE(form.EditDeleteChar.Wrap());
  EXPECT_FALSE(form.BtnCombine.Enabled());
  EXPECT_TRUE(form.SeriesListView.MultiSelect());
  EXPECT_FALSE(form.SeriesListView.ReadOnly());
  ASSERT_EQ(form.SeriesListView.Columns().size(), 2u);
  EXPECT_BYTES(form.SeriesListView.Columns()[0].caption, "フォルダ名");
  EXPECT_EQ(form.SeriesListView.Columns()[0].width, 200);
  EXPECT_EQ(form.SeriesListView.Columns()[1].width, 100);
  EXPECT_TRUE(form.BtnCancel.IsCancel());
  EXPECT_EQ(Rows(form), Names({"IMG:1"}));

  TFormSeriesNewName chooser(ui_);
  EXPECT_EQ(chooser.ClientWidth(), 231);
  EXPECT_EQ(chooser.ClientHeight(), 67);
  EXPECT_EQ(chooser.NewSeriesName.Style(), ui::ComboStyle::DropDownList);
  EXPECT_TRUE(chooser.BtnOK.IsDefault());
  EXPECT_TRUE(chooser.BtnCancel.IsCancel());
}

TEST_F(SeriesTest, ClassifiesTheSortedSelectionInTheOrderSeriesAreMet) {
  const Names paths = Put({"photo(1).jpg", "IMG_0002.JPG", "report_final.pdf", "img_0003.jpg", "DSC-0001.jpg",
                           "IMG_0001.jpg", "My Photo 01.jpg", "a~b~01.txt", "report_final.doc", "photo[01].png",
                           "0001.jpg", "(01).jpg", "スーパー01.jpg", "notes.txt"});
  TFormFileSeries form(ui_, platform_, paths);
  // The copy is sorted without case, so IMG_0001 comes first and gives the row its form.
  EXPECT_BYTES(form.SelectionCopy().front(), kFolder + "(01).jpg");
  EXPECT_EQ(Rows(form), Names({"(01):1", "a~b:1", "DSC:1", "IMG:3", "My Photo:1", "notes:1", "photo:2",
                               "report_final:2", "スーパー:1"}));
  const int img = 3;
  EXPECT_EQ(form.RowFiles(img),
            Names({kFolder + "IMG_0001.jpg", kFolder + "IMG_0002.JPG", kFolder + "img_0003.jpg"}));
}

// In name order a series comes back after others when the selection spans folders; each
// time it joins the row it first made, whatever the case of its name.
TEST_F(SeriesTest, ASeriesMetAgainAfterOthersJoinsItsFirstRow) {
  Names paths = Put({"IMG_0001.jpg", "IMG_0002.jpg", "notes.txt"}, "C:\\a\\");
  for (const std::string& path : Put({"DSC_0001.jpg", "img_0003.jpg"}, "C:\\b\\")) paths.push_back(path);
  for (const std::string& path : Put({"Img_0004.jpg", "notes.doc"}, "C:\\c\\")) paths.push_back(path);
  TFormFileSeries form(ui_, platform_, paths);
  EXPECT_EQ(Rows(form), Names({"IMG:4", "notes:2", "DSC:1"}));
  EXPECT_EQ(form.RowFiles(0),
            Names({"C:\\a\\IMG_0001.jpg", "C:\\a\\IMG_0002.jpg", "C:\\b\\img_0003.jpg", "C:\\c\\Img_0004.jpg"}));
  EXPECT_EQ(form.RowFiles(1), Names({"C:\\a\\notes.txt", "C:\\c\\notes.doc"}));
}

TEST_F(SeriesTest, TheOptionsTakeEffectOnlyWhenClassifiedAgain) {
  TFormFileSeries form(ui_, platform_, Put({"file01a.jpg", "file02b.jpg", "IMG_0001.jpg", "IMG-0002.jpg"}));
  EXPECT_EQ(Rows(form), Names({"file01a:1", "file02b:1", "IMG:2"}));
  form.EditDeleteChar.Step(1);
  form.EditDeleteChar.Step(1);
  EXPECT_EQ(Rows(form), Names({"file01a:1", "file02b:1", "IMG:2"}));
  form.BtnClassify.Click();
  EXPECT_EQ(Rows(form), Names({"file:2", "IMG:2"}));
  // Without "_" and "-" among the digits the separators stay in the names.
  form.EditNumericChar.SetText("");
  form.BtnClassify.Click();
  EXPECT_EQ(Rows(form), Names({"file:2", "IMG_:1", "IMG-:1"}));
}

TEST_F(SeriesTest, CombineIsEnabledExactlyWhileSeveralRowsAreSelected) {
  TFormFileSeries form(ui_, platform_, Put({"a1.txt", "b1.txt", "c1.txt"}));
  form.SeriesListView.SetSelected(0, true);
  EXPECT_FALSE(form.BtnCombine.Enabled());
  form.SeriesListView.SetSelected(2, true);
  EXPECT_TRUE(form.BtnCombine.Enabled());
  form.SeriesListView.SetSelected(0, false);
  EXPECT_FALSE(form.BtnCombine.Enabled());
}

TEST_F(SeriesTest, RenamingRefusesANameARowBearsIgnoringCase) {
  TFormFileSeries form(ui_, platform_, Put({"DSC-0001.jpg", "IMG_0001.jpg"}));
  const int img = 1;
  struct Case {
    std::string text;
    bool accepted;
  };
  for (const Case& c : {Case{"dsc", false}, Case{"IMG", false}, Case{"img", false}, Case{"pictures", true}}) {
    ui_.ClearMessageBoxes();
    EXPECT_EQ(form.SeriesListView.EndCaptionEdit(img, c.text), c.accepted) << c.text;
    if (c.accepted) {
      EXPECT_TRUE(ui_.MessageBoxes().empty());
    } else {
      ASSERT_EQ(ui_.MessageBoxes().size(), 1u) << c.text;
      EXPECT_BYTES(ui_.MessageBoxes()[0].text, "そのシリーズ名はすでに存在します。");
      EXPECT_BYTES(form.SeriesListView.CellText(img, 0), "IMG");
    }
  }
  EXPECT_EQ(Rows(form), Names({"DSC:1", "pictures:1"}));

  // Executing moves the renamed series into a folder of its new name.
  form.BtnOK.Click();
  EXPECT_EQ(List(kFolder + "pictures\\"), Names({"IMG_0001.jpg"}));
  EXPECT_EQ(List(kFolder + "DSC\\"), Names({"DSC-0001.jpg"}));
  EXPECT_EQ(form.ModalResult(), ui::mrOk);
}

TEST_F(SeriesTest, CombiningMovesTheSelectedRowsIntoTheChosenOneWhereItStands) {
  TFormFileSeries form(ui_, platform_,
                       Put({"a1.txt", "DSC-0001.jpg", "DSC-0002.jpg", "IMG_0001.jpg", "IMG_0002.jpg", "z1.txt"}));
  ASSERT_EQ(Rows(form), Names({"a:1", "DSC:2", "IMG:2", "z:1"}));
  Select(form, {0, 1, 2});
  Names offered;
  ChooseInDialog(1, ui::mrOk, &offered);
  form.BtnCombine.Click();
  EXPECT_EQ(offered, Names({"a", "DSC", "IMG", "chosen at start: 0"}));
  EXPECT_EQ(Rows(form), Names({"DSC:5", "z:1"}));
  EXPECT_EQ(form.RowFiles(0), Names({kFolder + "DSC-0001.jpg", kFolder + "DSC-0002.jpg", kFolder + "a1.txt",
                                     kFolder + "IMG_0001.jpg", kFolder + "IMG_0002.jpg"}));
  EXPECT_EQ(form.SeriesListView.SelectedCount(), 0);
  EXPECT_FALSE(form.BtnCombine.Enabled());

  // Classifying again restores the automatic rows.
  form.BtnClassify.Click();
  EXPECT_EQ(Rows(form), Names({"a:1", "DSC:2", "IMG:2", "z:1"}));
}

TEST_F(SeriesTest, CancellingTheChoiceCombinesNothing) {
  TFormFileSeries form(ui_, platform_, Put({"DSC-0001.jpg", "IMG_0001.jpg"}));
  Select(form, {0, 1});
  ChooseInDialog(1, ui::mrCancel);
  form.BtnCombine.Click();
  EXPECT_EQ(Rows(form), Names({"DSC:1", "IMG:1"}));
  EXPECT_EQ(form.SeriesListView.SelectedCount(), 2);
}

// Each file moves by an operation of its own, so that it is checked right before it.
TEST_F(SeriesTest, ExecutionMovesEachFileIntoTheFolderNextToTheFirstOfItsSeries) {
  const Names other = Put({"IMG_0009.jpg"}, kFolder + "z\\");
  Names paths = Put({"IMG_0001.jpg", "IMG_0002.jpg", "DSC-0001.jpg", "0001.jpg"});
  paths.push_back(other.front());
  // A folder IMG already exists: the files go into it.
  ASSERT_EQ(platform_.Files().MakeFolders(kFolder + "IMG"), 0u);
  ASSERT_EQ(platform_.Files().PutFile(kFolder + "IMG\\old.jpg", "old"), 0u);
  TFormFileSeries form(ui_, platform_, paths);
  ASSERT_EQ(Rows(form), Names({"DSC:1", "IMG:3"}));
  form.BtnOK.Click();
  EXPECT_FALSE(form.BtnOK.Enabled());
  EXPECT_EQ(form.ModalResult(), ui::mrOk);

  EXPECT_EQ(List(kFolder), Names({"0001.jpg", "DSC", "IMG", "z"}));
  EXPECT_EQ(List(kFolder + "IMG\\"), Names({"IMG_0001.jpg", "IMG_0002.jpg", "IMG_0009.jpg", "old.jpg"}));
  EXPECT_EQ(List(kFolder + "z\\"), Names());

  const auto& operations = platform_.Shell().Operations();
  ASSERT_EQ(operations.size(), 4u);
  for (const platform::ShellFileOperation& operation : operations) {
    EXPECT_EQ(operation.function, platform::shell_function::kMove);
    EXPECT_EQ(operation.flags, 0u);
    EXPECT_BYTES(operation.progressTitle, "ファイル名による自動分類");
    ASSERT_EQ(operation.sources.size(), 1u);
    EXPECT_BYTES(operation.destination, base::FolderPart(operation.destination) + base::NamePart(operation.sources[0]));
  }
  EXPECT_BYTES(operations[0].destination, kFolder + "DSC\\DSC-0001.jpg");
  EXPECT_EQ(operations[3].sources, Names({other.front()}));
  EXPECT_BYTES(operations[3].destination, kFolder + "IMG\\IMG_0009.jpg");
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(SeriesTest, ARowWhoseFolderCannotBeMadeStaysWhileTheOthersMove) {
  TFormFileSeries form(ui_, platform_, Put({"DSC-0001.jpg", "IMG_0001.jpg"}));
  platform_.Failures().FailPath("CreateDirectoryA", "DSC", platform::error::kAccessDenied);
  form.BtnOK.Click();
  EXPECT_EQ(List(kFolder), Names({"DSC-0001.jpg", "IMG"}));
  EXPECT_EQ(platform_.Shell().Operations().size(), 1u);
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

// A series name that is no folder name of the files' folder ("..", ".", a trailing dot, a
// typed path): its files stay where they are, without a message; the others still move.
TEST_F(SeriesTest, ASeriesThatIsNoFolderNameStaysInPlace) {
  ASSERT_EQ(platform_.Files().PutFile("C:\\keep.txt", "keep"), 0u);
  TFormFileSeries form(ui_, platform_,
                       Put({"..1.txt", "..2.txt", ".1.txt", ".2.txt", "a.1.txt", "b_1.txt", "IMG_1.jpg"}));
  ASSERT_EQ(Rows(form), Names({"..:2", ".:2", "a.:1", "b:1", "IMG:1"}));
  EXPECT_TRUE(form.SeriesListView.EndCaptionEdit(3, "..\\up"));
  const Names root = List("C:\\");
  form.BtnOK.Click();
  EXPECT_EQ(form.ModalResult(), ui::mrOk);
  EXPECT_EQ(List(kFolder), Names({"..1.txt", "..2.txt", ".1.txt", ".2.txt", "a.1.txt", "b_1.txt", "IMG"}));
  EXPECT_EQ(List(kFolder + "IMG\\"), Names({"IMG_1.jpg"}));
  EXPECT_EQ(List("C:\\"), root);
  EXPECT_EQ(platform_.Shell().Operations().size(), 1u);
  EXPECT_EQ(platform_.Failures().Calls("CreateDirectoryA"), 1u);
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(SeriesTest, AFailedOrCancelledMoveGoesOnWithTheNextRow) {
  TFormFileSeries form(ui_, platform_, Put({"DSC-0001.jpg", "IMG_0001.jpg"}));
  platform_.Failures().FailCall("SHFileOperationA", 1, platform::error::kAccessDenied);
  form.BtnOK.Click();
  EXPECT_EQ(List(kFolder), Names({"DSC", "DSC-0001.jpg", "IMG"}));
  EXPECT_EQ(List(kFolder + "IMG\\"), Names({"IMG_0001.jpg"}));
  EXPECT_EQ(form.ModalResult(), ui::mrOk);
}

TEST_F(SeriesTest, NoSeriesAtAllGivesAnEmptyListAndExecutionMovesNothing) {
  TFormFileSeries form(ui_, platform_, Put({"0001.jpg", "0002.jpg"}));
  EXPECT_EQ(form.SeriesListView.ItemCount(), 0);
  form.BtnOK.Click();
  EXPECT_EQ(form.ModalResult(), ui::mrOk);
  EXPECT_TRUE(platform_.Shell().Operations().empty());
  EXPECT_EQ(List(kFolder), Names({"0001.jpg", "0002.jpg"}));
}

TEST_F(SeriesTest, ToolEntryShowsTheDialogOwnedByTheInvokingWindow) {
  ui_.SetModalHandler([](ui::Form& form) {
    auto* series = dynamic_cast<TFormFileSeries*>(&form);
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series->OwnerHandle(), 0x1234u);
    series->BtnCancel.Click();
  });
  ToolContext context{platform_, ui_};
  RunFileSeries(context, Put({"IMG_0001.jpg"}), 0x1234);
  EXPECT_TRUE(platform_.Shell().Operations().empty());
  EXPECT_EQ(List(kFolder), Names({"IMG_0001.jpg"}));
}

// The folder combine.
class FolderCombineTest : public SeriesTest {
 protected:
  void Arrange() {
    Put({"a.txt"}, "C:\\top\\alpha\\");
    Put({"deep.txt"}, "C:\\top\\alpha\\sub\\");
    Put({"b.txt"}, "C:\\top\\Beta\\");
    Put({"mine.txt"}, "C:\\top\\Beta\\sub\\");
    Put({"g.txt"}, "C:\\top\\Gamma\\");
    Put({"x.txt"}, "C:\\top\\Gamma\\only\\");
  }
  const Names folders_ = {"C:\\top\\Gamma", "C:\\top\\Beta", "C:\\top\\alpha"};
};

TEST_F(FolderCombineTest, OneFolderShowsNoDialog) {
  Put({"a.txt"}, "C:\\top\\alpha\\");
  bool shown = false;
  ui_.SetModalHandler([&](ui::Form&) { shown = true; });
  TFolderCombine combine(ui_, platform_, &folders_);
  const Names one = {"C:\\top\\alpha"};
  TFolderCombine single(ui_, platform_, &one);
  single.Run(0);
  TFolderCombine none(ui_, platform_, nullptr);
  none.Run(0);
  EXPECT_FALSE(shown);
  EXPECT_TRUE(none.Folders().empty());
  EXPECT_TRUE(platform_.Shell().Operations().empty());
}

TEST_F(FolderCombineTest, ChoosingBetaMergesAlphaAndGammaIntoItAndRemovesThem) {
  Arrange();
  Names offered;
  ChooseInDialog(1, ui::mrOk, &offered);
  TFolderCombine combine(ui_, platform_, &folders_);
  combine.Run(0x42);
  EXPECT_EQ(offered, Names({"alpha", "Beta", "Gamma", "chosen at start: 0"}));
  EXPECT_EQ(List("C:\\top\\"), Names({"Beta"}));
  EXPECT_EQ(List("C:\\top\\Beta\\"), Names({"a.txt", "b.txt", "g.txt", "only", "sub"}));
  // The sub-folder that existed in the target was merged after the shell's question.
  EXPECT_EQ(List("C:\\top\\Beta\\sub\\"), Names({"deep.txt", "mine.txt"}));
  ASSERT_EQ(platform_.Shell().Asked().size(), 1u);
  EXPECT_EQ(platform_.Shell().Asked()[0].question, platform::fake::ShellQuestion::kMergeFolder);

  ASSERT_EQ(platform_.Shell().Operations().size(), 1u);
  const platform::ShellFileOperation& operation = platform_.Shell().Operations()[0];
  EXPECT_EQ(operation.ownerWindow, 0x42u);
  EXPECT_EQ(operation.function, platform::shell_function::kMove);
  EXPECT_EQ(operation.sources, Names({"C:\\top\\alpha\\*.*", "C:\\top\\Gamma\\*.*"}));
  EXPECT_BYTES(operation.destination, "C:\\top\\Beta");
  EXPECT_EQ(operation.flags, 0u);
  EXPECT_BYTES(operation.progressTitle, "フォルダをまとめる");
}

// Answers the shell's questions from a list.
class ScriptedAnswers : public platform::fake::ShellQuestions {
 public:
  explicit ScriptedAnswers(std::vector<platform::fake::ShellAnswer> answers) : answers_(std::move(answers)) {}
  platform::fake::ShellAnswer Ask(platform::fake::ShellQuestion, const std::string&) override {
    const platform::fake::ShellAnswer answer = answers_.at(next_);
    ++next_;
    return answer;
  }

 private:
  std::vector<platform::fake::ShellAnswer> answers_;
  std::size_t next_ = 0;
};

TEST_F(FolderCombineTest, AnEntryKeptInItsSourceKeepsThatFolder) {
  Arrange();
  Put({"b.txt"}, "C:\\top\\Gamma\\");  // collides with Beta\b.txt
  ScriptedAnswers answers({platform::fake::ShellAnswer::kYes, platform::fake::ShellAnswer::kNo});
  platform_.Shell().SetQuestions(&answers);
  ChooseInDialog(1, ui::mrOk);
  TFolderCombine(ui_, platform_, &folders_).Run(0);
  EXPECT_EQ(List("C:\\top\\"), Names({"Beta", "Gamma"}));
  EXPECT_EQ(List("C:\\top\\Gamma\\"), Names({"b.txt"}));
}

TEST_F(FolderCombineTest, CancelPathsRemoveNoFolder) {
  Arrange();
  // Cancel in the choice dialog.
  ChooseInDialog(1, ui::mrCancel);
  TFolderCombine(ui_, platform_, &folders_).Run(0);
  EXPECT_TRUE(platform_.Shell().Operations().empty());
  // Cancel in the shell's question: what moved stays moved, no folder is removed.
  ScriptedAnswers answers({platform::fake::ShellAnswer::kCancel});
  platform_.Shell().SetQuestions(&answers);
  ChooseInDialog(1, ui::mrOk);
  TFolderCombine(ui_, platform_, &folders_).Run(0);
  EXPECT_EQ(List("C:\\top\\"), Names({"alpha", "Beta", "Gamma"}));
  EXPECT_EQ(List("C:\\top\\alpha\\"), Names({"sub"}));
}

TEST_F(FolderCombineTest, AVanishedTargetMovesNothing) {
  Arrange();
  ui_.SetModalHandler([&](ui::Form& form) {
    auto& chooser = dynamic_cast<TFormSeriesNewName&>(form);
    chooser.NewSeriesName.SetItemIndex(2);
    // Another program removes Gamma while the dialog is open.
    platform_.Files().Delete("C:\\top\\Gamma\\only\\x.txt");
    platform_.Files().RemoveFolder("C:\\top\\Gamma\\only");
    platform_.Files().Delete("C:\\top\\Gamma\\g.txt");
    platform_.Files().RemoveFolder("C:\\top\\Gamma");
    chooser.BtnOK.Click();
  });
  TFolderCombine(ui_, platform_, &folders_).Run(0);
  EXPECT_TRUE(platform_.Shell().Operations().empty());
  EXPECT_EQ(List("C:\\top\\"), Names({"alpha", "Beta"}));
}

TEST_F(FolderCombineTest, SameNamedFoldersAreTellApartByPosition) {
  Put({"1.txt"}, "C:\\a\\photos\\");
  Put({"2.txt"}, "C:\\b\\photos\\");
  const Names twins = {"C:\\b\\photos", "C:\\a\\photos"};
  Names offered;
  ChooseInDialog(1, ui::mrOk, &offered);
  TFolderCombine(ui_, platform_, &twins).Run(0);
  EXPECT_EQ(offered, Names({"photos", "photos", "chosen at start: 0"}));
  EXPECT_EQ(List("C:\\b\\photos\\"), Names({"1.txt", "2.txt"}));
  EXPECT_EQ(List("C:\\a\\"), Names());
}

TEST_F(FolderCombineTest, ToolEntryRunsOnTheSelection) {
  Arrange();
  ChooseInDialog(0, ui::mrOk);
  ToolContext context{platform_, ui_};
  RunFolderCombine(context, folders_, 7);
  EXPECT_EQ(List("C:\\top\\"), Names({"alpha"}));
}

}  // namespace
}  // namespace ov::shellext
