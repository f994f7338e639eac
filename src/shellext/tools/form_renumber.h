// The renumber tool: gives the selected files sequential names (base, zero-padded number,
// extension) in the order the user arranges in the list, through SafeRenameBatch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shellext/menu/command_table.h"
#include "shellext/tools/renumber_name.h"
#include "ui/form.h"

namespace ov::shellext {

class TFormRenumber : public ui::Form {
 public:
  // selection: full paths of the files, sorted by the name comparison.
  TFormRenumber(ui::Backend& backend, platform::Platform& platform, const SelectionList& selection);
  ~TFormRenumber() override;

  // One new name from the dialog's current settings.
  std::string BuildRenumberName(const std::string& name, int number);
  // The settings the controls hold now.
  RenumberSettings CurrentSettings() const;

  void EditBaseNameChange(ui::Control& sender);
  void FileListViewSelectItem(ui::ListView& sender, int index, bool selected);
  void BtnUpClick(ui::Control& sender);
  void FileListViewCustomDrawSubItem(ui::ListView& sender, int index, int subItem, ui::Color& textColor);
  void BtnOKClick(ui::Control& sender);
  void FormDestroy(ui::Control& sender);

  ui::Memo Memo1{*this, "Memo1"};
  ui::ListView FileListView{*this, "FileListView"};
  ui::Label LbAlreadyExists{*this, "LbAlreadyExists"};
  ui::Label Label1{*this, "Label1"};
  ui::Edit EditBaseName{*this, "EditBaseName"};
  ui::Button BtnUp{*this, "BtnUp"};
  ui::Button BtnDown{*this, "BtnDown"};
  ui::GroupBox GroupBox1{*this, "GroupBox1"};
  ui::CheckBox ChkChangeExt{GroupBox1, "ChkChangeExt"};
  ui::ComboBox NewExtension{GroupBox1, "NewExtension"};
  ui::Label Label2{GroupBox1, "Label2"};
  ui::Edit FEditStart{GroupBox1, "FEditStart"};
  ui::UpDown EditStart{GroupBox1, "EditStart"};
  ui::Label Label4{GroupBox1, "Label4"};
  ui::Edit FEditDigit{GroupBox1, "FEditDigit"};
  ui::UpDown EditDigit{GroupBox1, "EditDigit"};
  ui::CheckBox ChkLowerCase{GroupBox1, "ChkLowerCase"};
  ui::Button BtnOK{*this, "BtnOK"};
  ui::Button BtnCancel{*this, "BtnCancel"};

 private:
  void Layout();
  void Preview();
  // The index of the selection copy's entry equal to path (name comparison), or npos.
  std::size_t SelectedIndex(const std::string& path);
  // True when file k is not renamed by an execution: its new name is its name, or no name.
  bool KeepsItsName(std::size_t k);

  platform::Platform& platform_;
  SelectionList selection_;               // the selection copy; entry k is file k
  std::vector<std::size_t> sortedIndex_;  // selection_ indexes in name order, for lookups
  std::vector<int> rowOf_;                // the row of each file, as of the last preview
};

// The tool behind the third command of the files submenu: the dialog on the selection,
// modal, owned by the invoking window.
void RenumberTool(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow);

}  // namespace ov::shellext
