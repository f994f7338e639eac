#include "shellext/tools/form_renumber.h"

#include <algorithm>

#include "base/path_parts.h"
#include "shellext/tools/safe_rename_batch.h"

namespace ov::shellext {

using ui::Handler;

TFormRenumber::TFormRenumber(ui::Backend& backend, platform::Platform& platform, const SelectionList& selection)
    : Form(backend, "FormRenumber"), platform_(platform), selection_(selection) {
  Layout();

  platform::SystemApi& system = platform_.System();
  sortedIndex_.resize(selection_.size());
  for (std::size_t k = 0; k < sortedIndex_.size(); ++k) sortedIndex_[k] = k;
  const auto byName = [&](std::size_t a, std::size_t b) {
    return system.CompareNoCase(selection_[a], selection_[b]) < 0;
  };
  // The selection list arrives in order; checking is far cheaper than sorting again.
  if (!std::is_sorted(sortedIndex_.begin(), sortedIndex_.end(), byName)) {
    std::stable_sort(sortedIndex_.begin(), sortedIndex_.end(), byName);
  }

  std::vector<std::string> names;
  names.reserve(selection_.size());
  for (std::size_t k = 0; k < selection_.size(); ++k) {
    names.push_back(base::NamePart(selection_[k]));
    FileListView.AddItem(names.back(), {std::string()}, static_cast<std::intptr_t>(k));
  }
  NewExtension.SetItems(RenumberExtensionItems(system, names));
  EditDigit.SetPosition(RenumberDigitDefault(selection_.size()));

  EditBaseName.OnChange = Handler(this, &TFormRenumber::EditBaseNameChange);
  NewExtension.OnChange = Handler(this, &TFormRenumber::EditBaseNameChange);
  ChkChangeExt.OnClick = Handler(this, &TFormRenumber::EditBaseNameChange);
  ChkLowerCase.OnClick = Handler(this, &TFormRenumber::EditBaseNameChange);
  FEditStart.OnChange = Handler(this, &TFormRenumber::EditBaseNameChange);
  FEditDigit.OnChange = Handler(this, &TFormRenumber::EditBaseNameChange);
  FileListView.OnSelectItem = Handler(this, &TFormRenumber::FileListViewSelectItem);
  BtnUp.OnClick = Handler(this, &TFormRenumber::BtnUpClick);
  BtnDown.OnClick = Handler(this, &TFormRenumber::BtnUpClick);
  FileListView.OnCustomDrawSubItem = Handler(this, &TFormRenumber::FileListViewCustomDrawSubItem);
  BtnOK.OnClick = Handler(this, &TFormRenumber::BtnOKClick);
  OnDestroy = Handler(this, &TFormRenumber::FormDestroy);

  Preview();
}

TFormRenumber::~TFormRenumber() { Destroy(); }

void TFormRenumber::Layout() {
  SetCaption("ファイル名のリナンバリング");
  SetClientSize(332, 339);
  SetBorder(ui::BorderStyle::Dialog);
  SetIcons(ui::BorderIcons::SystemMenu);
  SetPosition(ui::FormPosition::DesktopCenter);
  SetFont(ui::Font{});  // ＭＳ Ｐゴシック, 9 points

  Memo1.SetBounds(8, 8, 316, 16);
  Memo1.SetText("ファイルの名前を連番に変更します。");
  Memo1.SetReadOnly(true);
  Memo1.SetBorder(false);
  Memo1.SetTabStop(false);
  Memo1.SetColor(ui::clBtnFace);

  FileListView.SetBounds(8, 28, 316, 138);
  FileListView.SetColumns({{"元のファイル名", 150}, {"新しいファイル名", 150}});
  FileListView.SetReadOnly(true);
  FileListView.SetMultiSelect(false);
  FileListView.SetHideSelection(false);

  LbAlreadyExists.SetLeft(8);
  LbAlreadyExists.SetTop(170);
  LbAlreadyExists.SetCaption("赤字のファイルはすでに存在します");
  LbAlreadyExists.SetFontColor(ui::clRed);
  LbAlreadyExists.SetBold(true);
  LbAlreadyExists.Hide();

  Label1.SetLeft(8);
  Label1.SetTop(192);
  Label1.SetCaption("基底ファイル名");
  EditBaseName.SetBounds(96, 188, 156, 21);

  BtnUp.SetBounds(258, 186, 32, 25);
  BtnUp.SetCaption("上へ");
  BtnUp.SetTag(-1);
  BtnUp.SetEnabled(false);
  BtnDown.SetBounds(292, 186, 32, 25);
  BtnDown.SetCaption("下へ");
  BtnDown.SetTag(1);
  BtnDown.SetEnabled(false);

  GroupBox1.SetBounds(8, 216, 316, 86);
  GroupBox1.SetCaption("オプション");
  ChkChangeExt.SetBounds(10, 18, 96, 17);
  ChkChangeExt.SetCaption("拡張子を変更");
  ChkChangeExt.SetChecked(false);
  NewExtension.SetBounds(110, 16, 96, 21);
  NewExtension.SetStyle(ui::ComboStyle::DropDown);
  Label2.SetLeft(10);
  Label2.SetTop(46);
  Label2.SetCaption("開始番号");
  FEditStart.SetBounds(62, 42, 60, 21);
  FEditStart.SetReadOnly(true);
  EditStart.SetBounds(122, 42, 16, 21);
  EditStart.SetRange(1, 32767);
  EditStart.SetWrap(false);
  EditStart.SetAssociate(&FEditStart);
  EditStart.SetPosition(1);
  Label4.SetLeft(158);
  Label4.SetTop(46);
  Label4.SetCaption("桁数");
  FEditDigit.SetBounds(188, 42, 44, 21);
  FEditDigit.SetReadOnly(true);
  EditDigit.SetBounds(232, 42, 16, 21);
  EditDigit.SetRange(1, 100);
  EditDigit.SetWrap(false);
  EditDigit.SetAssociate(&FEditDigit);
  EditDigit.SetPosition(1);
  ChkLowerCase.SetBounds(10, 66, 150, 17);
  ChkLowerCase.SetCaption("小文字に統一する");
  ChkLowerCase.SetChecked(false);

  // Not the default button: Enter must not start the renaming.
  BtnOK.SetBounds(148, 308, 84, 25);
  BtnOK.SetCaption("実行");
  BtnOK.SetDefault(false);
  BtnCancel.SetBounds(240, 308, 84, 25);
  BtnCancel.SetCaption("Cancel");
  BtnCancel.SetCancel(true);
  BtnCancel.SetModalResult(ui::mrCancel);
}

RenumberSettings TFormRenumber::CurrentSettings() const {
  RenumberSettings settings;
  settings.baseName = EditBaseName.Text();
  settings.digits = EditDigit.Position();
  settings.changeExtension = ChkChangeExt.Checked();
  settings.newExtension = NewExtension.Text();
  settings.lowerCase = ChkLowerCase.Checked();
  return settings;
}

std::string TFormRenumber::BuildRenumberName(const std::string& name, int number) {
  return shellext::BuildRenumberName(platform_.System(), CurrentSettings(), name, number);
}

void TFormRenumber::Preview() {
  BtnOK.SetEnabled(true);
  const RenumberSettings settings = CurrentSettings();
  const int start = EditStart.Position();
  const int count = FileListView.ItemCount();
  rowOf_.assign(selection_.size(), -1);
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<std::size_t>(FileListView.Item(i).data);
    if (k < rowOf_.size()) rowOf_[k] = i;
    // Sub-item 0 is the second column.
    FileListView.SetSubItem(
        i, 0, shellext::BuildRenumberName(platform_.System(), settings, FileListView.CellText(i, 0), start + i));
  }
}

void TFormRenumber::EditBaseNameChange(ui::Control&) { Preview(); }

void TFormRenumber::FileListViewSelectItem(ui::ListView& sender, int index, bool selected) {
  if (selected) {
    BtnUp.SetEnabled(index != 0);
    BtnDown.SetEnabled(index != sender.ItemCount() - 1);
  } else {
    BtnUp.SetEnabled(false);
    BtnDown.SetEnabled(false);
  }
}

void TFormRenumber::BtnUpClick(ui::Control& sender) {
  const int index = FileListView.ItemIndex();
  if (index < 0) return;
  const int other = index + sender.Tag();
  if (other < 0 || other >= FileListView.ItemCount()) return;
  const ui::ListItem row = FileListView.Item(index);
  const ui::ListItem otherRow = FileListView.Item(other);
  FileListView.SetItemCaption(index, otherRow.caption);
  FileListView.SetItemData(index, otherRow.data);
  FileListView.SetItemCaption(other, row.caption);
  FileListView.SetItemData(other, row.data);
  FileListView.SetItemIndex(other);
  Preview();
}

std::size_t TFormRenumber::SelectedIndex(const std::string& path) {
  platform::SystemApi& system = platform_.System();
  const auto found = std::lower_bound(sortedIndex_.begin(), sortedIndex_.end(), path,
                                      [&](std::size_t k, const std::string& p) {
                                        return system.CompareNoCase(selection_[k], p) < 0;
                                      });
  if (found == sortedIndex_.end() || system.CompareNoCase(selection_[*found], path) != 0) return std::string::npos;
  return *found;
}

bool TFormRenumber::KeepsItsName(std::size_t k) {
  if (k >= rowOf_.size() || rowOf_[k] < 0 || rowOf_[k] >= FileListView.ItemCount()) return true;
  const std::string name = FileListView.CellText(rowOf_[k], 1);
  return platform_.System().CompareNoCase(selection_[k], base::FolderPart(selection_[k]) + name) == 0 ||
         !base::IsValidFileName(name);
}

void TFormRenumber::FileListViewCustomDrawSubItem(ui::ListView& sender, int index, int subItem,
                                                   ui::Color& textColor) {
  if (subItem != 1) return;
  const ui::ListItem row = sender.Item(index);
  const auto k = static_cast<std::size_t>(row.data);
  if (k >= selection_.size()) return;
  const std::string name = sender.CellText(index, 1);
  const std::string path = base::FolderPart(selection_[k]) + name;
  platform::SystemApi& system = platform_.System();
  bool conflict = false;
  if (system.CompareNoCase(path, selection_[k]) != 0) {
    // A name that is no file name of this folder is never given.
    conflict = !base::IsValidFileName(name);
    std::uint32_t attributes = platform::attribute::kInvalid;
    if (!conflict && platform_.Files().GetAttributes(path, attributes) == platform::error::kSuccess) {
      // A name another selected file holds is free only when the execution moves that file
      // aside, which it does not to a file that keeps its name.
      const std::size_t holder = SelectedIndex(path);
      conflict = holder == std::string::npos || KeepsItsName(holder);
    }
  }
  if (conflict) {
    textColor = ui::clRed;
    BtnOK.SetEnabled(false);
    LbAlreadyExists.Show();
  } else {
    LbAlreadyExists.Hide();
  }
}

void TFormRenumber::BtnOKClick(ui::Control&) {
  std::vector<std::size_t> order;
  const int count = FileListView.ItemCount();
  order.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) order.push_back(static_cast<std::size_t>(FileListView.Item(i).data));

  const RenumberSettings settings = CurrentSettings();
  const int start = EditStart.Position();
  SafeRenameBatch(
      platform_, selection_, order,
      [&](std::size_t k, std::size_t position) {
        return shellext::BuildRenumberName(platform_.System(), settings, base::NamePart(selection_[k]),
                                           start + static_cast<int>(position));
      },
      [&](const std::string& text) { ShowMessageBox(text, Caption(), ui::kMbOk); });
  SetModalResult(ui::mrOk);
}

void TFormRenumber::FormDestroy(ui::Control&) {
  selection_.clear();
  selection_.shrink_to_fit();
  sortedIndex_.clear();
  sortedIndex_.shrink_to_fit();
}

void RenumberTool(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow) {
  TFormRenumber form(context.ui, context.platform, selection);
  form.SetOwnerHandle(parentWindow);
  form.ShowModal();
}

}  // namespace ov::shellext
