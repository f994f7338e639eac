// The series classification tool: groups the selected files by series name (the file name
// without its extension, trailing number and the separators around it), lets the user
// rename and combine series, and moves each series into a folder of its name next to its
// first file with one shell file operation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shellext/menu/command_table.h"
#include "ui/form.h"

namespace ov::shellext {

class TFormFileSeries : public ui::Form {
 public:
  // selection: full paths of the files; the dialog opens classified with the defaults.
  TFormFileSeries(ui::Backend& backend, platform::Platform& platform, const SelectionList& selection);
  ~TFormFileSeries() override;

  void BtnClassifyClick(ui::Control& sender);
  void SeriesListViewSelectItem(ui::ListView& sender, int index, bool selected);
  void SeriesListViewEdited(ui::ListView& sender, int index, std::string& text, bool& accept);
  void BtnCombineClick(ui::Control& sender);
  void BtnOKClick(ui::Control& sender);
  void FormDestroy(ui::Control& sender);

  // The member files of a row, in the order they joined.
  const std::vector<std::string>& RowFiles(int index) const { return rowFiles_[static_cast<std::size_t>(index)]; }
  // The selection copy, sorted.
  const SelectionList& SelectionCopy() const { return selection_; }

  ui::Memo Memo1{*this, "Memo1"};
  ui::ListView SeriesListView{*this, "SeriesListView"};
  ui::Button BtnCombine{*this, "BtnCombine"};
  ui::GroupBox GroupBox1{*this, "GroupBox1"};
  ui::Label Label1{GroupBox1, "Label1"};
  ui::Edit EditNumericChar{GroupBox1, "EditNumericChar"};
  ui::Label Label2{GroupBox1, "Label2"};
  ui::Edit FEditDeleteChar{GroupBox1, "FEditDeleteChar"};
  ui::UpDown EditDeleteChar{GroupBox1, "EditDeleteChar"};
  ui::Button BtnClassify{*this, "BtnClassify"};
  ui::Button BtnOK{*this, "BtnOK"};
  ui::Button BtnCancel{*this, "BtnCancel"};

 private:
  void Layout();
  void AddRow(const std::string& name, std::vector<std::string> files);
  void RemoveRow(int index);
  void ClearRows();

  platform::Platform& platform_;
  SelectionList selection_;
  std::vector<std::vector<std::string>> rowFiles_;  // one list per row of SeriesListView
};

// The progress title of the moves.
extern const char kFileSeriesTitle[];

// The second command of the files submenu: the dialog on the selection, modal, owned by
// the invoking window.
void RunFileSeries(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow);

}  // namespace ov::shellext
