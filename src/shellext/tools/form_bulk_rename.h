// The bulk rename dialog, the first command of the files submenu: three rules (number
// removal, extension table, regular expression with an output format), a virtual preview
// whose rows are computed each time they are drawn, and execution through SafeRenameBatch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shellext/menu/command_table.h"
#include "shellext/tools/bulk_rename_rules.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ov::shellext {

extern const char kBulkRenameCaption[];  // "ファイル名の一括変更"

class TFormBulkRename : public ui::Form {
 public:
  // selection: the files to rename (full paths); copied and sorted by the name comparison.
  // Without one the dialog has no rows.
  TFormBulkRename(ui::Backend& backend, platform::Platform& platform, const std::vector<std::string>* selection);
  ~TFormBulkRename() override;

  // The settings the controls describe now.
  BulkRenameSettings Settings() const;
  // The selection copy, in the order of the rows and of the execution.
  const std::vector<std::string>& SelectionCopy() const { return selection_; }

  // Handlers, wired to the controls' events.
  void ChkRemoveNumbersClick(ui::Control& sender);
  void EditOldExtChange(ui::Control& sender);
  void BtnAddExtClick(ui::Control& sender);
  void ChangeExtTableClick(ui::Control& sender);
  void BtnEditExtClick(ui::Control& sender);
  void BtnDeleteExtClick(ui::Control& sender);
  void PreviewData(ui::ListView& sender, ui::ListItem& item);
  void PreviewCustomDrawSubItem(ui::ListView& sender, int index, int subItem, ui::Color& textColor);
  void BtnOKClick(ui::Control& sender);
  void FormDestroy(ui::Control& sender);

  ui::Memo Memo1{*this, "Memo1"};
  ui::CheckBox ChkRemoveNumbers{*this, "ChkRemoveNumbers"};
  ui::RadioGroup RemoveNumbers{*this, "RemoveNumbers"};
  ui::CheckBox ChkChangeExt{*this, "ChkChangeExt"};
  ui::GroupBox GroupBox2{*this, "GroupBox2"};
  ui::Label Label1{GroupBox2, "Label1"};
  ui::Edit EditOldExt{GroupBox2, "EditOldExt"};
  ui::Label Label2{GroupBox2, "Label2"};
  ui::Edit EditNewExt{GroupBox2, "EditNewExt"};
  ui::ListBox ChangeExtTable{GroupBox2, "ChangeExtTable"};
  ui::Button BtnAddExt{GroupBox2, "BtnAddExt"};
  ui::Button BtnEditExt{GroupBox2, "BtnEditExt"};
  ui::Button BtnDeleteExt{GroupBox2, "BtnDeleteExt"};
  ui::CheckBox ChkUseRegExp{*this, "ChkUseRegExp"};
  ui::GroupBox GroupBox3{*this, "GroupBox3"};
  ui::Label Label3{GroupBox3, "Label3"};
  ui::Edit EditPattern{GroupBox3, "EditPattern"};
  ui::Label Label4{GroupBox3, "Label4"};
  ui::Edit EditFormat{GroupBox3, "EditFormat"};
  ui::Label Label5{GroupBox3, "Label5"};
  ui::ListView Preview{*this, "Preview"};
  ui::Label LbAlreadyExists{*this, "LbAlreadyExists"};
  ui::Button BtnOK{*this, "BtnOK"};
  ui::Button BtnCancel{*this, "BtnCancel"};

 private:
  // The name part of entry k of the selection copy and its new name under the settings.
  std::string NewName(std::size_t k) const;
  // The index of the selection copy's entry equal to path (name comparison), or npos.
  std::size_t SelectedIndex(const std::string& path) const;
  // True when file k is not renamed by an execution: its new name is its name, or no name.
  bool KeepsItsName(std::size_t k) const;

  platform::Platform& platform_;
  std::vector<std::string> selection_;
};

// The tool behind offset 0 of the files submenu: shows the dialog modally over the
// invoking window and destroys it when it closes.
void RunBulkRename(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow);

}  // namespace ov::shellext
