// The conditional delete tool: a dialog that shows in red the selected files whose names
// and sizes meet the conditions the user builds, and deletes exactly those in one shell
// file operation, to the recycle bin unless the user says otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shellext/menu/command_table.h"
#include "shellext/menu/selection.h"
#include "shellext/tools/form_conditional_delete_conditions.h"
#include "ui/form.h"

namespace ov::shellext {

class TFormConditionalDelete : public ui::Form {
 public:
  // Copies the selection (kept in the order received) and records each file's size.
  TFormConditionalDelete(ui::Backend& backend, platform::Platform& platform, const SelectionList& selection);
  ~TFormConditionalDelete() override;

  // Whether file k meets the conditions as the controls now set them.
  bool IsDeleteTarget(int k);

  // The size recorded for file k when the dialog opened; no value when it was not found.
  std::optional<std::uint64_t> RecordedSize(int k) const;
  // The flag of each line of StrList, in the list's order.
  std::vector<bool> StringFlags() const;

  void EditStrChange(ui::Control& sender);
  void BtnStrAddClick(ui::Control& sender);
  void StrListClick(ui::Control& sender);
  void BtnStrEditClick(ui::Control& sender);
  void BtnStrDeleteClick(ui::Control& sender);
  void EditSmallSizeExit(ui::Control& sender);
  void ChkSmallerThanClick(ui::Control& sender);
  void RbAllOfClick(ui::Control& sender);
  void FileListViewData(ui::ListView& sender, ui::ListItem& item);
  void FileListViewAdvancedCustomDrawItem(ui::ListView& sender, int index, ui::Color& textColor);
  void BtnOKClick(ui::Control& sender);
  void FormDestroy(ui::Control& sender);

  ui::Memo Memo1{*this, "Memo1"};
  ui::ListView FileListView{*this, "FileListView"};
  ui::Label LbDeleteTarget{*this, "LbDeleteTarget"};
  ui::GroupBox GroupBox1{*this, "GroupBox1"};
  ui::Label Label1{GroupBox1, "Label1"};
  ui::RadioButton RbAllOf{GroupBox1, "RbAllOf"};
  ui::RadioButton RbOneOf{GroupBox1, "RbOneOf"};
  ui::Label Label4{GroupBox1, "Label4"};
  ui::Label Label5{GroupBox1, "Label5"};
  ui::Edit EditStr{GroupBox1, "EditStr"};
  ui::CheckBox ChkUseRegExp{GroupBox1, "ChkUseRegExp"};
  ui::ListBox StrList{GroupBox1, "StrList"};
  ui::Button BtnStrAdd{GroupBox1, "BtnStrAdd"};
  ui::Button BtnStrEdit{GroupBox1, "BtnStrEdit"};
  ui::Button BtnStrDelete{GroupBox1, "BtnStrDelete"};
  ui::CheckBox ChkSmallerThan{GroupBox1, "ChkSmallerThan"};
  ui::Edit EditSmallSize{GroupBox1, "EditSmallSize"};
  ui::Label Label2{GroupBox1, "Label2"};
  ui::CheckBox ChkLargerThan{GroupBox1, "ChkLargerThan"};
  ui::Edit EditLargeSize{GroupBox1, "EditLargeSize"};
  ui::Label Label3{GroupBox1, "Label3"};
  ui::CheckBox ChkUseRecycleBin{*this, "ChkUseRecycleBin"};
  ui::Button BtnOK{*this, "BtnOK"};
  ui::Button BtnCancel{*this, "BtnCancel"};

 private:
  struct Entry {
    std::string path;
    std::optional<std::uint64_t> size;
  };

  void Layout();
  void WireEvents();
  DeleteConditions CurrentConditions() const;
  void RefreshList();
  bool StillAsJudged(const Entry& entry, bool sizeJudged);

  platform::Platform& platform_;
  std::vector<Entry> entries_;  // the selection copy with the recorded sizes
  CompiledLines lines_;  // StrList's lines with their flags, compiled once while the dialog is open
  bool returningFocus_ = false;
};

// The files submenu's fourth command: the dialog, shown modally over parentWindow.
void RunConditionalDelete(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow);

}  // namespace ov::shellext
