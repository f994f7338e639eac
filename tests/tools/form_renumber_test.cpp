// The renumber dialog as a user meets it: one suite, run on the headless backend against
// the fake on Linux, and on real windows against real files under Wine (where it also saves
// the dialog with a conflict row as renumber.png).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shellext/tools/form_renumber.h"
#include "support/readable.h"
#include "tools/renumber_platform.h"
#include "ui/driver.h"
#include "ui/screen_capture.h"

namespace ov::shellext {
namespace {

using ui::test::MakeDriver;
using ui::test::UserDriver;

class RenumberDialog : public ::testing::Test {
 protected:
  platform::Platform& platform = test::RenumberPlatform();
  std::unique_ptr<UserDriver> user = MakeDriver();
  test::RenumberFolder folder{platform};

  // Opens the dialog on the files (sorted by name, as the context menu passes them), lets
  // script play the user and returns the dialog's result.
  int Open(const std::vector<std::string>& names, const std::function<void(TFormRenumber&)>& script) {
    std::vector<std::string> selection = folder.Put(names);
    std::sort(selection.begin(), selection.end(), [&](const std::string& a, const std::string& b) {
      return platform.System().CompareNoCase(a, b) < 0;
    });
    TFormRenumber form(user->GetBackend(), platform, selection);
    user->WhenModal([&](ui::Form&) { script(form); });
    return form.ShowModal();
  }

  std::vector<std::string> Column(TFormRenumber& form, int column) {
    std::vector<std::string> cells;
    for (int i = 0; i < form.FileListView.ItemCount(); ++i) cells.push_back(user->ShownCell(form.FileListView, i, column));
    return cells;
  }

  void ExpectColumn(TFormRenumber& form, int column, const std::vector<std::string>& expected) {
    const std::vector<std::string> cells = Column(form, column);
    ASSERT_EQ(cells.size(), expected.size());
    for (std::size_t i = 0; i < cells.size(); ++i) EXPECT_BYTES(cells[i], expected[i]) << "row " << i;
  }

  static void Arrow(UserDriver& user, ui::UpDown& upDown, int presses) {
    for (int i = 0; i < presses; ++i) user.ClickArrow(upDown, 1);
  }
};

TEST_F(RenumberDialog, StartsFromItsDesignedDefaults) {
  const int result = Open({"b.JPG", "a.png", "c.jpg", "d", "e.Png"}, [&](TFormRenumber& form) {
    EXPECT_BYTES(form.Caption(), "ファイル名のリナンバリング");
    EXPECT_EQ(form.ClientWidth(), 332);
    EXPECT_EQ(form.ClientHeight(), 339);
    EXPECT_BYTES(user->ShownText(form.Memo1), "ファイルの名前を連番に変更します。");
    EXPECT_FALSE(form.Memo1.TabStop());
    ASSERT_EQ(form.FileListView.Columns().size(), 2u);
    EXPECT_BYTES(form.FileListView.Columns()[0].caption, "元のファイル名");
    EXPECT_BYTES(form.FileListView.Columns()[1].caption, "新しいファイル名");
    EXPECT_EQ(form.FileListView.Columns()[0].width, 150);
    EXPECT_EQ(form.FileListView.Columns()[1].width, 150);
    EXPECT_FALSE(form.FileListView.HideSelection());
    EXPECT_FALSE(form.FileListView.MultiSelect());
    EXPECT_FALSE(user->ShownVisible(form.LbAlreadyExists));
    EXPECT_BYTES(form.LbAlreadyExists.Caption(), "赤字のファイルはすでに存在します");
    EXPECT_EQ(form.LbAlreadyExists.GetFont().color, ui::clRed);
    EXPECT_TRUE(form.LbAlreadyExists.GetFont().bold);
    EXPECT_BYTES(user->ShownText(form.EditBaseName), "");
    EXPECT_FALSE(user->ShownEnabled(form.BtnUp));
    EXPECT_FALSE(user->ShownEnabled(form.BtnDown));
    EXPECT_EQ(form.BtnUp.Tag(), -1);
    EXPECT_EQ(form.BtnDown.Tag(), 1);
    EXPECT_FALSE(user->ShownChecked(form.ChkChangeExt));
    EXPECT_FALSE(user->ShownChecked(form.ChkLowerCase));
    EXPECT_BYTES(user->ShownText(form.NewExtension), "");
    // Each extension once, letter case ignored, in order of first appearance.
    const std::vector<std::string> items = form.NewExtension.Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_BYTES(items[0], ".png");
    EXPECT_BYTES(items[1], ".JPG");
    EXPECT_BYTES(items[2], "");
    EXPECT_EQ(user->ShownPosition(form.EditStart), 1);
    EXPECT_EQ(form.EditStart.Min(), 1);
    EXPECT_EQ(form.EditStart.Max(), 32767);
    EXPECT_EQ(form.EditDigit.Min(), 1);
    EXPECT_EQ(form.EditDigit.Max(), 100);
    EXPECT_FALSE(form.EditStart.Wrap());
    EXPECT_EQ(user->ShownPosition(form.EditDigit), 1);
    EXPECT_BYTES(user->ShownText(form.FEditStart), "1");
    EXPECT_BYTES(user->ShownText(form.BtnOK), "実行");
    EXPECT_FALSE(form.BtnOK.IsDefault());
    EXPECT_TRUE(form.BtnCancel.IsCancel());
    ExpectColumn(form, 0, {"a.png", "b.JPG", "c.jpg", "d", "e.Png"});
    ExpectColumn(form, 1, {"1.png", "2.JPG", "3.jpg", "4", "5.Png"});
    // Enter does not execute: nothing happens, the dialog stays.
    user->Focus(form.EditBaseName);
    user->PressEnter(form);
    EXPECT_EQ(form.ModalResult(), ui::mrNone);
    user->PressEscape(form);
  });
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(folder.Contents().count("a.png"), 1u);
}

TEST_F(RenumberDialog, PreviewFollowsBaseStartDigitsAndLowerCase) {
  Open({"b.JPG", "a.png"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "img");
    Arrow(*user, form.EditStart, 8);
    user->ClickArrow(form.EditDigit, 1);
    EXPECT_EQ(user->ShownPosition(form.EditStart), 9);
    EXPECT_EQ(user->ShownPosition(form.EditDigit), 2);
    ExpectColumn(form, 1, {"img09.png", "img10.JPG"});
    user->Click(form.ChkLowerCase);
    ExpectColumn(form, 1, {"img09.png", "img10.jpg"});
    // The arrows stop at the ends of the range.
    user->ClickArrow(form.EditDigit, -1);
    user->ClickArrow(form.EditDigit, -1);
    EXPECT_EQ(user->ShownPosition(form.EditDigit), 1);
    ExpectColumn(form, 1, {"img9.png", "img10.jpg"});
    // The highest start number, and its field with the thousands separator.
    form.EditStart.SetPosition(32767);
    user->ClickArrow(form.EditStart, 1);
    EXPECT_EQ(user->ShownPosition(form.EditStart), 32767);
    EXPECT_BYTES(user->ShownText(form.FEditStart), "32,767");
    ExpectColumn(form, 1, {"img32767.png", "img32768.jpg"});
    user->PressEscape(form);
  });
}

TEST_F(RenumberDialog, ExtensionChoices) {
  Open({"a.png", "b.JPG", "c"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "p");
    user->Click(form.ChkChangeExt);
    ExpectColumn(form, 1, {"p1", "p2", "p3"});  // empty text: no extension
    user->Type(form.NewExtension, ".txt");
    ExpectColumn(form, 1, {"p1.txt", "p2.txt", "p3.txt"});
    user->Type(form.NewExtension, "txt");
    ExpectColumn(form, 1, {"p1", "p2", "p3"});
    user->Choose(form.NewExtension, 1);
    ExpectColumn(form, 1, {"p1.JPG", "p2.JPG", "p3.JPG"});
    user->Click(form.ChkChangeExt);
    ExpectColumn(form, 1, {"p1.png", "p2.JPG", "p3"});
    user->PressEscape(form);
  });
}

TEST_F(RenumberDialog, MoveButtonsFollowTheSelectionAndCarryTheFile) {
  Open({"a.png", "b.jpg", "c.gif"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "n");
    ui::ListView& list = form.FileListView;
    user->SetRowSelected(list, 0, true);
    EXPECT_FALSE(user->ShownEnabled(form.BtnUp));
    EXPECT_TRUE(user->ShownEnabled(form.BtnDown));
    user->Click(form.BtnUp);  // disabled on the first row: nothing moves
    ExpectColumn(form, 0, {"a.png", "b.jpg", "c.gif"});
    user->Click(form.BtnDown);
    ExpectColumn(form, 0, {"b.jpg", "a.png", "c.gif"});
    ExpectColumn(form, 1, {"n1.jpg", "n2.png", "n3.gif"});
    EXPECT_TRUE(user->ShownSelected(list, 1));
    EXPECT_FALSE(user->ShownSelected(list, 0));
    EXPECT_TRUE(user->ShownEnabled(form.BtnUp));
    EXPECT_TRUE(user->ShownEnabled(form.BtnDown));
    user->Click(form.BtnDown);
    ExpectColumn(form, 0, {"b.jpg", "c.gif", "a.png"});
    EXPECT_TRUE(user->ShownSelected(list, 2));
    EXPECT_TRUE(user->ShownEnabled(form.BtnUp));
    EXPECT_FALSE(user->ShownEnabled(form.BtnDown));
    user->Click(form.BtnUp);
    ExpectColumn(form, 0, {"b.jpg", "a.png", "c.gif"});
    user->SetRowSelected(list, 1, false);
    EXPECT_FALSE(user->ShownEnabled(form.BtnUp));
    EXPECT_FALSE(user->ShownEnabled(form.BtnDown));
    // The file reference moved with the row: execution renames in the shown order.
    user->Click(form.BtnOK);
  });
  const auto after = folder.Contents();
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after.at("n1.jpg"), "was b.jpg");
  EXPECT_EQ(after.at("n2.png"), "was a.png");
  EXPECT_EQ(after.at("n3.gif"), "was c.gif");
}

TEST_F(RenumberDialog, NameTakenOutsideTheSelectionIsMarkedRed) {
  // img1.jpg belongs to the selection (no conflict); img3.jpg is another file.
  folder.Put({"img3.jpg"});
  Open({"img1.jpg", "k.jpg", "m.jpg"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "img");
    ExpectColumn(form, 1, {"img1.jpg", "img2.jpg", "img3.jpg"});
    EXPECT_NE(user->DrawnTextColor(form.FileListView, 0, 1), ui::clRed);
    EXPECT_NE(user->DrawnTextColor(form.FileListView, 1, 1), ui::clRed);
    EXPECT_FALSE(user->ShownVisible(form.LbAlreadyExists));
    EXPECT_TRUE(user->ShownEnabled(form.BtnOK));
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 2, 1), ui::clRed);
    EXPECT_TRUE(user->ShownVisible(form.LbAlreadyExists));
    EXPECT_FALSE(user->ShownEnabled(form.BtnOK));
    if (ui::test::CanCapture()) {
      EXPECT_TRUE(ui::test::CaptureForm(form, "renumber"));
    }
    // A new preview enables the button again.
    user->Type(form.EditBaseName, "x");
    EXPECT_TRUE(user->ShownEnabled(form.BtnOK));
    EXPECT_NE(user->DrawnTextColor(form.FileListView, 2, 1), ui::clRed);
    EXPECT_FALSE(user->ShownVisible(form.LbAlreadyExists));
    user->PressEscape(form);
  });
}

TEST_F(RenumberDialog, FolderOfTheNewNameIsAConflict) {
  EXPECT_EQ(platform.Files().CreateFolder(folder.Path() + "img2.jpg"), 0u);
  Open({"a.jpg", "b.jpg"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "img");
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 1, 1), ui::clRed);
    EXPECT_FALSE(user->ShownEnabled(form.BtnOK));
    platform.Files().RemoveFolder(folder.Path() + "img2.jpg");
    user->PressEscape(form);
  });
}

// A base name that would make a name no file of this folder can bear: every such row is
// red like a taken name, and the button stays disabled.
TEST_F(RenumberDialog, NameThatIsNoFileNameIsAConflict) {
  struct Case {
    const char* base;
    const char* extension;  // typed with the extension box checked; nullptr: unchecked
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"..\\r", nullptr, {"..\\r1.jpg", "..\\r2.jpg"}},
      {"sub\\r", nullptr, {"sub\\r1.jpg", "sub\\r2.jpg"}},
      {"LPT", nullptr, {"LPT1.jpg", "LPT2.jpg"}},
      {"r", ".", {"r1.", "r2."}},
      {"r:", nullptr, {"r:1.jpg", "r:2.jpg"}},
      {"r?", nullptr, {"r?1.jpg", "r?2.jpg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base);
    Open({"a.jpg", "b.jpg"}, [&](TFormRenumber& form) {
      user->Type(form.EditBaseName, c.base);
      if (c.extension != nullptr) {
        user->Click(form.ChkChangeExt);
        user->Type(form.NewExtension, c.extension);
      }
      ExpectColumn(form, 1, c.names);
      EXPECT_EQ(user->DrawnTextColor(form.FileListView, 0, 1), ui::clRed);
      EXPECT_EQ(user->DrawnTextColor(form.FileListView, 1, 1), ui::clRed);
      EXPECT_TRUE(user->ShownVisible(form.LbAlreadyExists));
      EXPECT_FALSE(user->ShownEnabled(form.BtnOK));
      user->PressEscape(form);
    });
    EXPECT_EQ(folder.Contents(), (std::map<std::string, std::string>{{"a.jpg", "was a.jpg"}, {"b.jpg", "was b.jpg"}}));
  }
}

TEST_F(RenumberDialog, ExecuteRenamesInListOrderThroughTheCollisionSafeBatch) {
  // The new names are the names of other files of the selection: a rotation.
  const int result = Open({"img2.jpg", "img3.jpg", "x.jpg"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "img");
    ExpectColumn(form, 1, {"img1.jpg", "img2.jpg", "img3.jpg"});
    user->Click(form.BtnOK);
  });
  EXPECT_EQ(result, ui::mrOk);
  auto after = folder.Contents();
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after.at("img1.jpg"), "was img2.jpg");
  EXPECT_EQ(after.at("img2.jpg"), "was img3.jpg");
  EXPECT_EQ(after.at("img3.jpg"), "was x.jpg");
  EXPECT_TRUE(user->Boxes().empty());

  // The same settings again: every file already bears its new name, nothing changes.
  std::vector<std::string> selection = {folder.Path() + "img1.jpg", folder.Path() + "img2.jpg",
                                        folder.Path() + "img3.jpg"};
  TFormRenumber again(user->GetBackend(), platform, selection);
  user->WhenModal([&](ui::Form&) {
    user->Type(again.EditBaseName, "img");
    user->Click(again.BtnOK);
  });
  EXPECT_EQ(again.ShowModal(), ui::mrOk);
  EXPECT_EQ(folder.Contents(), after);
  EXPECT_TRUE(user->Boxes().empty());
}

TEST_F(RenumberDialog, NameDifferingOnlyInCaseIsKeptAlsoWithLowerCase) {
  Open({"IMG1.JPG", "IMG2.JPG"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "img");
    user->Click(form.ChkLowerCase);
    ExpectColumn(form, 1, {"img1.jpg", "img2.jpg"});
    user->Click(form.BtnOK);
  });
  const auto after = folder.Contents();
  EXPECT_EQ(after.count("IMG1.JPG"), 1u);
  EXPECT_EQ(after.count("IMG2.JPG"), 1u);
  EXPECT_TRUE(user->Boxes().empty());
}

TEST_F(RenumberDialog, RenameFailureShowsItsMessageAndTheRunGoesOn) {
  // The name is taken after the preview was drawn, as another program may do.
  const int result = Open({"a.txt", "b.txt"}, [&](TFormRenumber& form) {
    user->Type(form.EditBaseName, "t");
    folder.Put({"t1.txt"});
    user->Click(form.BtnOK);
  });
  EXPECT_EQ(result, ui::mrOk);
  const auto boxes = user->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_BYTES(boxes[0].text, "リネームに失敗しました\r\nFrom: a.txt\r\nTo: t1.txt");
  EXPECT_BYTES(boxes[0].caption, "ファイル名のリナンバリング");
  EXPECT_EQ(boxes[0].style & 0x0Fu, ui::kMbOk);
  const auto after = folder.Contents();
  EXPECT_EQ(after.at("a.txt"), "was a.txt");
  EXPECT_EQ(after.at("t1.txt"), "was t1.txt");
  EXPECT_EQ(after.at("t2.txt"), "was b.txt");
}

}  // namespace
}  // namespace ov::shellext
