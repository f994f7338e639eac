#include "shellext/tools/form_bulk_rename.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "base/path_parts.h"
#include "shellext/menu/selection.h"
#include "shellext/tools/bulk_rename_extension_table.h"
#include "shellext/tools/safe_rename_batch.h"

namespace ov::shellext {

const char kBulkRenameCaption[] = "ファイル名の一括変更";

namespace {

constexpr ui::Color kCollisionColor = 0x0000FF;  // RGB(255, 0, 0)

}  // namespace

TFormBulkRename::TFormBulkRename(ui::Backend& backend, platform::Platform& platform,
                                 const std::vector<std::string>* selection)
    : ui::Form(backend, "FormBulkRename"), platform_(platform) {
  using ui::Handler;
  SetCaption(kBulkRenameCaption);
  SetBorder(ui::BorderStyle::Dialog);
  SetPosition(ui::FormPosition::DesktopCenter);
  SetClientSize(530, 313);

  Memo1.SetBounds(8, 8, 400, 18);
  Memo1.SetText("ファイル名をまとめて変更します");
  Memo1.SetReadOnly(true);
  Memo1.SetBorder(false);
  Memo1.SetColor(ui::clBtnFace);
  Memo1.SetTabStop(false);

  // Left: number removal above the regular expression; each rule's check box heads its group.
  ChkRemoveNumbers.SetBounds(8, 32, 240, 17);
  ChkRemoveNumbers.SetCaption("ファイル名からの数字の除去");
  RemoveNumbers.SetBounds(8, 50, 250, 78);
  RemoveNumbers.SetItems({kRemoveNumbersCaptions[0], kRemoveNumbersCaptions[1], kRemoveNumbersCaptions[2]});
  RemoveNumbers.SetItemIndex(0);

  ChkUseRegExp.SetBounds(8, 134, 240, 17);
  ChkUseRegExp.SetCaption("正規表現");
  GroupBox3.SetBounds(8, 152, 250, 122);
  Label3.SetLeft(10);
  Label3.SetTop(20);
  Label3.SetCaption("パターン");
  EditPattern.SetBounds(112, 16, 128, 21);
  Label4.SetLeft(10);
  Label4.SetTop(48);
  Label4.SetCaption("出力フォーマット");
  EditFormat.SetBounds(112, 44, 128, 21);
  Label5.SetAutoSize(false);
  Label5.SetWordWrap(true);
  Label5.SetBounds(10, 74, 230, 40);
  Label5.SetCaption("$1～$9 はカッコで囲まれたマッチ文字列に置換されます");

  // Right: the extension table above the preview.
  ChkChangeExt.SetBounds(268, 32, 240, 17);
  ChkChangeExt.SetCaption("拡張子統一");
  GroupBox2.SetBounds(268, 50, 254, 100);
  Label1.SetLeft(8);
  Label1.SetTop(18);
  Label1.SetCaption("変換前");
  EditOldExt.SetBounds(56, 14, 64, 21);
  Label2.SetLeft(8);
  Label2.SetTop(44);
  Label2.SetCaption("変換後");
  EditNewExt.SetBounds(56, 40, 64, 21);
  BtnAddExt.SetBounds(8, 68, 36, 23);
  BtnAddExt.SetCaption("追加");
  BtnEditExt.SetBounds(46, 68, 36, 23);
  BtnEditExt.SetCaption("編集");
  BtnDeleteExt.SetBounds(84, 68, 36, 23);
  BtnDeleteExt.SetCaption("削除");
  ChangeExtTable.SetBounds(128, 14, 118, 78);
  BtnAddExt.SetEnabled(false);
  BtnEditExt.SetEnabled(false);
  BtnDeleteExt.SetEnabled(false);

  Preview.SetBounds(268, 158, 254, 116);
  Preview.SetColumns({{"元のファイル名", 100}, {"変更後", 100}});
  Preview.SetOwnerData(true);
  Preview.SetReadOnly(true);

  ui::Font warning = LbAlreadyExists.GetFont();
  warning.bold = true;
  warning.color = kCollisionColor;
  LbAlreadyExists.SetFont(warning);
  LbAlreadyExists.SetLeft(8);
  LbAlreadyExists.SetTop(286);
  LbAlreadyExists.SetCaption("赤字のファイルはすでに存在します");
  LbAlreadyExists.SetVisible(false);

  BtnOK.SetBounds(346, 282, 84, 25);
  BtnOK.SetCaption("実行");
  BtnCancel.SetBounds(438, 282, 84, 25);
  BtnCancel.SetCaption("Cancel");
  BtnCancel.SetCancel(true);
  BtnCancel.SetModalResult(ui::mrCancel);

  ChkRemoveNumbers.OnClick = Handler(this, &TFormBulkRename::ChkRemoveNumbersClick);
  RemoveNumbers.OnClick = Handler(this, &TFormBulkRename::ChkRemoveNumbersClick);
  ChkChangeExt.OnClick = Handler(this, &TFormBulkRename::ChkRemoveNumbersClick);
  ChkUseRegExp.OnClick = Handler(this, &TFormBulkRename::ChkRemoveNumbersClick);
  EditPattern.OnChange = Handler(this, &TFormBulkRename::ChkRemoveNumbersClick);
  EditFormat.OnChange = Handler(this, &TFormBulkRename::ChkRemoveNumbersClick);
  EditOldExt.OnChange = Handler(this, &TFormBulkRename::EditOldExtChange);
  BtnAddExt.OnClick = Handler(this, &TFormBulkRename::BtnAddExtClick);
  ChangeExtTable.OnClick = Handler(this, &TFormBulkRename::ChangeExtTableClick);
  BtnEditExt.OnClick = Handler(this, &TFormBulkRename::BtnEditExtClick);
  BtnDeleteExt.OnClick = Handler(this, &TFormBulkRename::BtnDeleteExtClick);
  Preview.OnData = Handler(this, &TFormBulkRename::PreviewData);
  Preview.OnCustomDrawSubItem = Handler(this, &TFormBulkRename::PreviewCustomDrawSubItem);
  BtnOK.OnClick = Handler(this, &TFormBulkRename::BtnOKClick);
  OnDestroy = Handler(this, &TFormBulkRename::FormDestroy);

  if (selection != nullptr) {
    selection_ = *selection;
    SortByName(platform_.System(), selection_);
    Preview.SetItemCount(static_cast<int>(selection_.size()));
  }
  FocusControl(&RemoveNumbers);
}

TFormBulkRename::~TFormBulkRename() { Destroy(); }

BulkRenameSettings TFormBulkRename::Settings() const {
  BulkRenameSettings settings;
  settings.removeNumbers = ChkRemoveNumbers.Checked();
  settings.removeNumbersItem = RemoveNumbers.ItemIndex();
  settings.changeExt = ChkChangeExt.Checked();
  settings.changeExtTable = ChangeExtTable.Items();
  settings.useRegExp = ChkUseRegExp.Checked();
  settings.pattern = EditPattern.Text();
  settings.format = EditFormat.Text();
  return settings;
}

std::string TFormBulkRename::NewName(std::size_t k) const {
  return BuildBulkRenameName(platform_.System(), Settings(), base::NamePart(selection_[k]));
}

std::size_t TFormBulkRename::SelectedIndex(const std::string& path) const {
  // The copy is sorted by the same comparison, so a binary search finds any equal entry.
  platform::SystemApi& system = platform_.System();
  const auto at = std::lower_bound(selection_.begin(), selection_.end(), path,
                                   [&system](const std::string& entry, const std::string& wanted) {
                                     return system.CompareNoCase(entry, wanted) < 0;
                                   });
  if (at == selection_.end() || system.CompareNoCase(*at, path) != 0) return std::string::npos;
  return static_cast<std::size_t>(at - selection_.begin());
}

bool TFormBulkRename::KeepsItsName(std::size_t k) const {
  const std::string name = NewName(k);
  return platform_.System().CompareNoCase(selection_[k], base::FolderPart(selection_[k]) + name) == 0 ||
         !base::IsValidFileName(name);
}

void TFormBulkRename::ChkRemoveNumbersClick(ui::Control& /*sender*/) {
  LbAlreadyExists.Hide();
  Preview.UpdateItems(0, Preview.ItemCount() - 1);
}

void TFormBulkRename::EditOldExtChange(ui::Control& /*sender*/) { BtnAddExt.SetEnabled(!EditOldExt.Text().empty()); }

void TFormBulkRename::BtnAddExtClick(ui::Control& sender) {
  std::vector<std::string> table = ChangeExtTable.Items();
  const ExtensionFields written = AddExtensionLine(platform_.System(), table, {EditOldExt.Text(), EditNewExt.Text()});
  EditOldExt.SetText(written.oldExt);
  EditNewExt.SetText(written.newExt);
  // Line by line, so that the selected line stays selected.
  const std::vector<std::string>& shown = ChangeExtTable.Items();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (i >= shown.size()) {
      ChangeExtTable.AddItem(table[i]);
    } else if (shown[i] != table[i]) {
      ChangeExtTable.SetItem(static_cast<int>(i), table[i]);
    }
  }
  EditOldExt.SetText("");
  EditNewExt.SetText("");
  ChkRemoveNumbersClick(sender);
}

void TFormBulkRename::ChangeExtTableClick(ui::Control& /*sender*/) {
  const bool selected = ChangeExtTable.ItemIndex() >= 0;
  BtnEditExt.SetEnabled(selected);
  BtnDeleteExt.SetEnabled(selected);
}

void TFormBulkRename::BtnEditExtClick(ui::Control& sender) {
  const int index = ChangeExtTable.ItemIndex();
  if (index < 0) return;
  std::vector<std::string> table = ChangeExtTable.Items();
  const ExtensionFields fields = TakeExtensionLine(platform_.System(), table, static_cast<std::size_t>(index));
  EditOldExt.SetText(fields.oldExt);
  EditNewExt.SetText(fields.newExt);
  BtnDeleteExtClick(sender);
}

void TFormBulkRename::BtnDeleteExtClick(ui::Control& sender) {
  const int index = ChangeExtTable.ItemIndex();
  if (index >= 0) ChangeExtTable.DeleteItem(index);
  BtnEditExt.SetEnabled(false);
  BtnDeleteExt.SetEnabled(false);
  ChkRemoveNumbersClick(sender);
}

void TFormBulkRename::PreviewData(ui::ListView& /*sender*/, ui::ListItem& item) {
  if (item.index < 0 || static_cast<std::size_t>(item.index) >= selection_.size()) return;
  const auto k = static_cast<std::size_t>(item.index);
  item.caption = base::NamePart(selection_[k]);
  item.subItems = {NewName(k)};
}

void TFormBulkRename::PreviewCustomDrawSubItem(ui::ListView& /*sender*/, int index, int subItem,
                                               ui::Color& textColor) {
  if (subItem != 1 || index < 0 || static_cast<std::size_t>(index) >= selection_.size()) return;
  const auto k = static_cast<std::size_t>(index);
  const std::string name = NewName(k);
  const std::string target = base::FolderPart(selection_[k]) + name;
  platform::SystemApi& system = platform_.System();
  bool collides = false;
  if (system.CompareNoCase(target, selection_[k]) != 0) {
    // A name that is no file name of this folder is never given.
    collides = !base::IsValidFileName(name);
    std::uint32_t attributes = platform::attribute::kInvalid;
    if (!collides && platform_.Files().GetAttributes(target, attributes) == platform::error::kSuccess &&
        attributes != platform::attribute::kInvalid) {
      // A name another selected file holds is free only when the execution moves that file
      // aside, which it does not to a file that keeps its name.
      const std::size_t holder = SelectedIndex(target);
      collides = holder == std::string::npos || KeepsItsName(holder);
    }
  }
  if (collides) textColor = kCollisionColor;
  LbAlreadyExists.SetVisible(collides);
}

void TFormBulkRename::BtnOKClick(ui::Control& /*sender*/) {
  std::vector<std::size_t> order(selection_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  SafeRenameBatch(
      platform_, selection_, order, [this](std::size_t k, std::size_t /*position*/) { return NewName(k); },
      [this](const std::string& text) { ShowMessageBox(text, kBulkRenameCaption, ui::kMbOk); });
  SetModalResult(ui::mrOk);
}

void TFormBulkRename::FormDestroy(ui::Control& /*sender*/) {
  selection_.clear();
  selection_.shrink_to_fit();
}

void RunBulkRename(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow) {
  TFormBulkRename form(context.ui, context.platform, &selection);
  form.SetOwnerHandle(parentWindow);
  form.ShowModal();
}

}  // namespace ov::shellext
