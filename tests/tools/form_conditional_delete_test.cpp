// The conditional delete dialog on the fake platform with the headless user: what it shows
// when it opens, the red marking as the conditions change, the size fields' check, and the
// one shell operation that OK makes (or does not make).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shellext/tools/form_conditional_delete.h"
#include "support/readable.h"
#include "ui/driver.h"
#include "ui/headless/headless_backend.h"

namespace ov::shellext {
namespace {

using ov::test::Readable;
namespace shell_flag = platform::shell_flag;

const char kSizeMessage[] = "指定できるサイズは1以上の指数です";

class ConditionalDeleteForm : public ::testing::Test {
 protected:
  // Files in C:\work\ with the given sizes; the list is the selection, in this order.
  std::string Put(const std::string& name, std::uint64_t size) {
    const std::string path = "C:\\work\\" + name;
    EXPECT_EQ(platform_.Files().PutFile(path, std::string(size < 4096 ? size : 0, 'x')), 0u);
    if (size >= 4096) {
      EXPECT_EQ(platform_.Files().SetFileSize(path, size), 0u);
    }
    selection_.push_back(path);
    return path;
  }

  TFormConditionalDelete& Open() {
    form_ = std::make_unique<TFormConditionalDelete>(driver_->GetBackend(), platform_, selection_);
    ui::headless::HeadlessBackend::SetVisibleRows(form_->FileListView, 0, 100);
    return *form_;
  }

  // The rows drawn in red, as painting marks them.
  std::vector<int> RedRows() {
    std::vector<int> red;
    for (int row = 0; row < form_->FileListView.ItemCount(); ++row) {
      const ui::Color color = driver_->DrawnTextColor(form_->FileListView, row, -1);
      EXPECT_TRUE(color == ui::clRed || color == ui::clWindowText) << "row " << row << " colour " << color;
      if (color == ui::clRed) red.push_back(row);
    }
    return red;
  }

  void AddLine(const std::string& text, bool regExp) {
    driver_->Type(form_->EditStr, text);
    if (regExp) driver_->Click(form_->ChkUseRegExp);
    driver_->Click(form_->BtnStrAdd);
  }

  // Shows the dialog and plays the user with script; returns the modal result.
  int Run(std::function<void(TFormConditionalDelete&)> script) {
    driver_->WhenModal([&](ui::Form&) { script(*form_); });
    return form_->ShowModal();
  }

  platform::FakePlatform platform_;
  std::unique_ptr<ui::test::UserDriver> driver_ = ui::test::MakeDriver();
  SelectionList selection_;
  std::unique_ptr<TFormConditionalDelete> form_;
};

using Rows = std::vector<int>;

TEST_F(ConditionalDeleteForm, OpensWithItsDesignAndEveryFileRed) {
  // Kept in the order received, not sorted again.
  Put("b.txt", 10);
  Put("日本語.doc", 2000);
  Put("a.txt", 5);
  platform_.Failures().ClearLog();
  TFormConditionalDelete& form = Open();
  // One search for exactly each path.
  EXPECT_EQ(platform_.Failures().Calls("FindFirstFileA"), 3u);

  EXPECT_BYTES(form.Caption(), "条件付きファイル削除");
  EXPECT_EQ(form.ClientWidth(), 296);
  EXPECT_EQ(form.ClientHeight(), 405);
  EXPECT_EQ(form.FileListView.ItemCount(), 3);
  ASSERT_EQ(form.FileListView.Columns().size(), 1u);
  EXPECT_BYTES(form.FileListView.Columns()[0].caption, "ファイル名");
  EXPECT_EQ(form.FileListView.Columns()[0].width, 270);
  EXPECT_BYTES(driver_->ShownCell(form.FileListView, 0, 0), "b.txt");
  EXPECT_BYTES(driver_->ShownCell(form.FileListView, 1, 0), "日本語.doc");
  EXPECT_BYTES(driver_->ShownCell(form.FileListView, 2, 0), "a.txt");
  EXPECT_EQ(form.RecordedSize(1), 2000u);
  EXPECT_TRUE(form.RbAllOf.Checked());
  EXPECT_FALSE(form.RbOneOf.Checked());
  EXPECT_FALSE(form.ChkUseRegExp.Checked());
  EXPECT_FALSE(form.ChkSmallerThan.Checked());
  EXPECT_FALSE(form.ChkLargerThan.Checked());
  EXPECT_TRUE(form.ChkUseRecycleBin.Checked());
  EXPECT_BYTES(form.EditSmallSize.Text(), "1");
  EXPECT_BYTES(form.EditLargeSize.Text(), "2");
  EXPECT_FALSE(form.BtnStrAdd.Enabled());
  EXPECT_FALSE(form.BtnStrEdit.Enabled());
  EXPECT_FALSE(form.BtnStrDelete.Enabled());
  EXPECT_EQ(form.LbDeleteTarget.GetFont().color, ui::clRed);
  EXPECT_TRUE(form.LbDeleteTarget.GetFont().bold);
  EXPECT_FALSE(form.Memo1.TabStop());
  EXPECT_EQ(RedRows(), (Rows{0, 1, 2}));
  // Out of range is never a target.
  EXPECT_FALSE(form.IsDeleteTarget(-1));
  EXPECT_FALSE(form.IsDeleteTarget(3));
}

TEST_F(ConditionalDeleteForm, AddingLinesMarksAllOfOrAnyOne) {
  Put("abc.txt", 1);
  Put("xyz.txt", 1);
  Put("abc_xyz.txt", 1);
  Put("other.txt", 1);
  TFormConditionalDelete& form = Open();
  driver_->Type(form.EditStr, "abc");
  EXPECT_TRUE(driver_->ShownEnabled(form.BtnStrAdd));
  driver_->Click(form.BtnStrAdd);
  EXPECT_BYTES(form.EditStr.Text(), "");
  EXPECT_FALSE(form.BtnStrAdd.Enabled());
  EXPECT_EQ(RedRows(), (Rows{0, 2}));
  AddLine("xyz", false);
  EXPECT_EQ(RedRows(), (Rows{2}));
  driver_->Click(form.RbOneOf);
  EXPECT_EQ(RedRows(), (Rows{0, 1, 2}));
  // Typing and clearing the text field switches the add button.
  driver_->Type(form.EditStr, "q");
  EXPECT_TRUE(form.BtnStrAdd.Enabled());
  driver_->Type(form.EditStr, "");
  EXPECT_FALSE(form.BtnStrAdd.Enabled());
}

TEST_F(ConditionalDeleteForm, CaseDoubleByteAndFolderPart) {
  selection_.push_back("C:\\ABC\\x.txt");
  ASSERT_EQ(platform_.Files().PutFile(selection_.back(), ""), 0u);
  Put("abc.txt", 1);
  Put("アB.txt", 1);
  Put("xAB.txt", 1);
  TFormConditionalDelete& form = Open();
  AddLine("ABC", false);
  EXPECT_EQ(RedRows(), Rows{});  // neither the folder part nor a different case counts
  driver_->Choose(form.StrList, 0);
  driver_->Click(form.BtnStrDelete);
  AddLine("ABC", true);
  EXPECT_EQ(RedRows(), (Rows{1}));  // a regular expression ignores the case of A to Z
  EXPECT_EQ(form.StringFlags(), (std::vector<bool>{true}));
  EXPECT_FALSE(form.ChkUseRegExp.Checked());  // the flag applies to one line only
  driver_->Choose(form.StrList, 0);
  driver_->Click(form.BtnStrDelete);
  AddLine("AB", false);
  EXPECT_EQ(RedRows(), (Rows{3}));
}

TEST_F(ConditionalDeleteForm, EditingALineRestoresItAndRemovesIt) {
  Put("abc.txt", 1);
  Put("def.txt", 1);
  TFormConditionalDelete& form = Open();
  AddLine("abc", false);
  AddLine("^D", true);
  EXPECT_EQ(RedRows(), Rows{});
  // Nothing selected: edit and delete do nothing, even when called directly.
  form.BtnStrEditClick(form.BtnStrEdit);
  form.BtnStrDeleteClick(form.BtnStrDelete);
  EXPECT_EQ(form.StrList.Items().size(), 2u);

  driver_->Choose(form.StrList, 1);
  EXPECT_TRUE(form.BtnStrEdit.Enabled());
  EXPECT_TRUE(form.BtnStrDelete.Enabled());
  driver_->Click(form.BtnStrEdit);
  EXPECT_BYTES(form.EditStr.Text(), "^D");
  EXPECT_TRUE(form.ChkUseRegExp.Checked());
  EXPECT_TRUE(form.BtnStrAdd.Enabled());
  EXPECT_FALSE(form.BtnStrEdit.Enabled());
  EXPECT_FALSE(form.BtnStrDelete.Enabled());
  ASSERT_EQ(form.StrList.Items().size(), 1u);
  EXPECT_BYTES(form.StrList.Items()[0], "abc");
  EXPECT_EQ(RedRows(), (Rows{0}));  // the removal shows at once
  // Changed and added again, still a regular expression.
  driver_->Type(form.EditStr, "^A");
  driver_->Click(form.BtnStrAdd);
  EXPECT_EQ(form.StringFlags(), (std::vector<bool>{false, true}));
  EXPECT_EQ(RedRows(), (Rows{0}));
  // Removing every line brings back every file.
  driver_->Choose(form.StrList, 0);
  driver_->Click(form.BtnStrDelete);
  driver_->Choose(form.StrList, 0);
  driver_->Click(form.BtnStrDelete);
  EXPECT_TRUE(form.StrList.Items().empty());
  EXPECT_EQ(RedRows(), (Rows{0, 1}));
}

TEST_F(ConditionalDeleteForm, SizeBoundariesAndAFileThatWasNotFound) {
  Put("1024.bin", 1024);
  Put("1025.bin", 1025);
  Put("2047.bin", 2047);
  Put("2048.bin", 2048);
  Put("3GiB.bin", 3ull << 30);
  selection_.push_back("C:\\work\\gone.bin");  // no entry when the dialog opens
  TFormConditionalDelete& form = Open();
  EXPECT_FALSE(form.RecordedSize(5).has_value());
  EXPECT_EQ(form.RecordedSize(4), 3ull << 30);
  EXPECT_EQ(RedRows(), (Rows{0, 1, 2, 3, 4, 5}));
  driver_->Click(form.ChkSmallerThan);
  EXPECT_EQ(RedRows(), (Rows{0}));
  driver_->Click(form.ChkLargerThan);
  EXPECT_EQ(RedRows(), Rows{});  // 1 and 2: nothing is both
  driver_->Click(form.ChkSmallerThan);
  EXPECT_EQ(RedRows(), (Rows{3, 4}));
  driver_->Type(form.EditLargeSize, "2097152");
  EXPECT_EQ(RedRows(), (Rows{4}));
  // The size a field holds while its text is no integer selects nothing.
  driver_->Type(form.EditLargeSize, "abc");
  EXPECT_EQ(RedRows(), Rows{});
}

TEST_F(ConditionalDeleteForm, LeavingASizeFieldWithoutAPositiveIntegerIsRefused) {
  Put("a.txt", 1);
  TFormConditionalDelete& form = Open();
  const char* const refused[] = {"0", "abc", "-3", ""};
  for (const char* text : refused) {
    driver_->Focus(form.EditSmallSize);
    driver_->Type(form.EditSmallSize, text);
    driver_->Focus(form.BtnOK);
    EXPECT_EQ(form.ActiveControl(), &form.EditSmallSize) << "'" << text << "'";
    EXPECT_BYTES(form.EditSmallSize.Text(), text);  // the field keeps what was typed
  }
  std::vector<ui::test::BoxSeen> boxes = driver_->Boxes();
  ASSERT_EQ(boxes.size(), 4u);
  for (const auto& box : boxes) {
    EXPECT_BYTES(box.text, kSizeMessage);
    EXPECT_EQ(box.style, ui::kMbOk);
  }
  // A positive value passes; so does the other field with its default.
  driver_->Type(form.EditSmallSize, "3");
  driver_->Focus(form.EditLargeSize);
  driver_->Focus(form.BtnOK);
  EXPECT_EQ(form.ActiveControl(), &form.BtnOK);
  EXPECT_EQ(driver_->Boxes().size(), 4u);
}

TEST_F(ConditionalDeleteForm, TwoRefusedFieldsDoNotSendTheFocusBackAndForth) {
  Put("a.txt", 1);
  TFormConditionalDelete& form = Open();
  driver_->Type(form.EditLargeSize, "x");
  driver_->Focus(form.EditSmallSize);
  driver_->Type(form.EditSmallSize, "0");
  driver_->Focus(form.EditLargeSize);
  EXPECT_EQ(form.ActiveControl(), &form.EditSmallSize);
  EXPECT_EQ(driver_->Boxes().size(), 1u);
}

TEST_F(ConditionalDeleteForm, RefreshRedrawsTheVisibleRowsOnly) {
  for (int i = 0; i < 30; ++i) Put("f" + std::to_string(i) + ".txt", 1);
  TFormConditionalDelete& form = Open();
  ui::headless::HeadlessBackend::SetVisibleRows(form.FileListView, 10, 5);
  std::vector<int> drawn;
  auto marking = form.FileListView.OnCustomDrawItem;
  form.FileListView.OnCustomDrawItem = [&](ui::ListView& list, int row, ui::Color& color) {
    drawn.push_back(row);
    marking(list, row, color);
  };
  driver_->Click(form.ChkSmallerThan);
  EXPECT_EQ(drawn, (std::vector<int>{10, 11, 12, 13, 14}));
}

// One operation per red file, so that each is checked right before its own deletion.
TEST_F(ConditionalDeleteForm, OkDeletesTheRedFilesOneOperationEach) {
  const std::string a = Put("a.txt", 100);
  const std::string b = Put("big.txt", 5000);
  const std::string c = Put("c.txt", 200);
  Open();
  const int result = Run([&](TFormConditionalDelete& form) {
    driver_->Click(form.ChkSmallerThan);
    driver_->Click(form.BtnOK);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_FALSE(form_->BtnOK.Enabled());
  const auto& operations = platform_.Shell().Operations();
  ASSERT_EQ(operations.size(), 2u);
  EXPECT_EQ(operations[0].sources, (std::vector<std::string>{a}));
  EXPECT_EQ(operations[1].sources, (std::vector<std::string>{c}));
  for (const platform::ShellFileOperation& operation : operations) {
    EXPECT_EQ(operation.function, platform::shell_function::kDelete);
    EXPECT_EQ(operation.flags, shell_flag::kNoConfirmation | shell_flag::kAllowUndo);
    EXPECT_EQ(operation.ownerWindow, 0u);
    EXPECT_TRUE(operation.destination.empty());
  }
  EXPECT_FALSE(platform::FileExists(platform_.Files(), a));
  EXPECT_TRUE(platform::FileExists(platform_.Files(), b));
  EXPECT_FALSE(platform::FileExists(platform_.Files(), c));
  EXPECT_EQ(platform_.Shell().RecycleBin().size(), 2u);
  EXPECT_TRUE(driver_->Boxes().empty());
}

TEST_F(ConditionalDeleteForm, WithoutTheRecycleBinTheFlagIsOff) {
  const std::string a = Put("a.txt", 1);
  Open();
  Run([&](TFormConditionalDelete& form) {
    driver_->Click(form.ChkUseRecycleBin);
    driver_->Click(form.BtnOK);
  });
  const auto& operations = platform_.Shell().Operations();
  ASSERT_EQ(operations.size(), 1u);
  EXPECT_EQ(operations[0].flags, shell_flag::kNoConfirmation);
  EXPECT_FALSE(platform::FileExists(platform_.Files(), a));
  EXPECT_TRUE(platform_.Shell().RecycleBin().empty());
}

TEST_F(ConditionalDeleteForm, OkWithNoRedFileClosesWithoutAnOperation) {
  const std::string a = Put("a.txt", 1);
  Open();
  const int result = Run([&](TFormConditionalDelete& form) {
    AddLine("(", true);  // never compiles, so under all-of nothing is red
    driver_->Click(form.BtnOK);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_TRUE(platform_.Shell().Operations().empty());
  EXPECT_TRUE(platform::FileExists(platform_.Files(), a));
}

TEST_F(ConditionalDeleteForm, CancelDeletesNothing) {
  const std::string a = Put("a.txt", 1);
  Open();
  const int result = Run([&](TFormConditionalDelete& form) { driver_->PressEscape(form); });
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_TRUE(platform_.Shell().Operations().empty());
  EXPECT_TRUE(platform::FileExists(platform_.Files(), a));
}

TEST_F(ConditionalDeleteForm, EnterInTheTextFieldDeletesNothing) {
  const std::string a = Put("a.txt", 1);
  Open();
  Run([&](TFormConditionalDelete& form) {
    driver_->Focus(form.EditStr);
    driver_->PressEnter(form);
    EXPECT_TRUE(platform_.Shell().Operations().empty());
    driver_->Click(form.BtnCancel);
  });
  EXPECT_TRUE(platform::FileExists(platform_.Files(), a));
}

}  // namespace
}  // namespace ov::shellext
