// The conditional delete dialog: its layout, the recorded sizes, the virtual list marked in
// red, the editing of the conditions and the deletion through the shell.
#include "shellext/tools/form_conditional_delete.h"

#include <algorithm>
#include <memory>

#include "base/path_parts.h"
#include "shellext/tools/entry_messages.h"

namespace ov::shellext {

namespace {

const char kCaption[] = "条件付きファイル削除";
const char kSizeMessage[] = "指定できるサイズは1以上の指数です";

// The size in bytes of the directory entry that a search for exactly this path finds.
std::optional<std::uint64_t> FindSize(platform::FileApi& files, const std::string& path) {
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  if (files.FindFirst(path, entry, search) != platform::error::kSuccess) return std::nullopt;
  return entry.size;  // the search closes as it goes out of scope
}

}  // namespace

TFormConditionalDelete::TFormConditionalDelete(ui::Backend& backend, platform::Platform& platform,
                                               const SelectionList& selection)
    : Form(backend, "FormConditionalDelete"), platform_(platform) {
  entries_.reserve(selection.size());
  for (const std::string& path : selection) entries_.push_back(Entry{path, FindSize(platform_.Files(), path)});
  Layout();
  FileListView.SetItemCount(static_cast<int>(entries_.size()));
  WireEvents();
}

TFormConditionalDelete::~TFormConditionalDelete() { Destroy(); }

void TFormConditionalDelete::Layout() {
  SetCaption(kCaption);
  SetBorder(ui::BorderStyle::Dialog);
  SetPosition(ui::FormPosition::DesktopCenter);
  SetClientSize(296, 405);

  Memo1.SetBounds(8, 8, 280, 16);
  Memo1.SetText("指定した条件に適合するファイルのみ削除します");
  Memo1.SetReadOnly(true);
  Memo1.SetBorder(false);
  Memo1.SetTabStop(false);
  Memo1.SetColor(ui::clBtnFace);

  FileListView.SetBounds(8, 28, 280, 128);
  FileListView.SetOwnerData(true);
  FileListView.SetReadOnly(true);
  FileListView.SetColumns({{"ファイル名", 270}});

  LbDeleteTarget.SetLeft(8);
  LbDeleteTarget.SetTop(160);
  LbDeleteTarget.SetFontColor(ui::clRed);
  LbDeleteTarget.SetBold(true);
  LbDeleteTarget.SetCaption("赤字のファイルが削除されます");

  GroupBox1.SetBounds(8, 178, 280, 186);
  GroupBox1.SetCaption("削除する条件");
  Label1.SetLeft(10);
  Label1.SetTop(22);
  Label1.SetCaption("次の文字列の");
  RbAllOf.SetBounds(84, 20, 58, 17);
  RbAllOf.SetCaption("すべて");
  RbAllOf.SetChecked(true);
  RbOneOf.SetBounds(144, 20, 84, 17);
  RbOneOf.SetCaption("どれか一つ");
  Label4.SetLeft(230);
  Label4.SetTop(22);
  Label4.SetCaption("を含む");

  Label5.SetLeft(10);
  Label5.SetTop(48);
  Label5.SetCaption("文字列");
  EditStr.SetBounds(50, 44, 140, 21);
  ChkUseRegExp.SetBounds(198, 46, 76, 17);
  ChkUseRegExp.SetCaption("正規表現");

  StrList.SetBounds(10, 70, 192, 58);
  BtnStrAdd.SetBounds(208, 70, 62, 19);
  BtnStrAdd.SetCaption("追加");
  BtnStrAdd.SetEnabled(false);
  BtnStrEdit.SetBounds(208, 90, 62, 19);
  BtnStrEdit.SetCaption("編集");
  BtnStrEdit.SetEnabled(false);
  BtnStrDelete.SetBounds(208, 110, 62, 19);
  BtnStrDelete.SetCaption("削除");
  BtnStrDelete.SetEnabled(false);

  ChkSmallerThan.SetBounds(8, 136, 210, 17);
  ChkSmallerThan.SetCaption("ファイルが、次のサイズより小さい");
  EditSmallSize.SetBounds(220, 134, 34, 21);
  EditSmallSize.SetText("1");
  Label2.SetLeft(257);
  Label2.SetTop(138);
  Label2.SetCaption("KB");
  ChkLargerThan.SetBounds(8, 160, 210, 17);
  ChkLargerThan.SetCaption("ファイルが、次のサイズより大きい");
  EditLargeSize.SetBounds(220, 158, 34, 21);
  EditLargeSize.SetText("2");
  Label3.SetLeft(257);
  Label3.SetTop(162);
  Label3.SetCaption("KB");

  ChkUseRecycleBin.SetBounds(8, 376, 120, 17);
  ChkUseRecycleBin.SetCaption("ゴミ箱を使用する");
  ChkUseRecycleBin.SetChecked(true);
  // OK is not the default button: Enter in a text field must never delete files.
  BtnOK.SetBounds(134, 372, 75, 25);
  BtnOK.SetCaption("OK");
  BtnCancel.SetBounds(213, 372, 75, 25);
  BtnCancel.SetCaption("Cancel");
  BtnCancel.SetCancel(true);
  BtnCancel.SetModalResult(ui::mrCancel);
}

void TFormConditionalDelete::WireEvents() {
  using ui::Handler;
  EditStr.OnChange = Handler(this, &TFormConditionalDelete::EditStrChange);
  BtnStrAdd.OnClick = Handler(this, &TFormConditionalDelete::BtnStrAddClick);
  StrList.OnClick = Handler(this, &TFormConditionalDelete::StrListClick);
  BtnStrEdit.OnClick = Handler(this, &TFormConditionalDelete::BtnStrEditClick);
  BtnStrDelete.OnClick = Handler(this, &TFormConditionalDelete::BtnStrDeleteClick);
  EditSmallSize.OnExit = Handler(this, &TFormConditionalDelete::EditSmallSizeExit);
  EditLargeSize.OnExit = Handler(this, &TFormConditionalDelete::EditSmallSizeExit);
  ChkSmallerThan.OnClick = Handler(this, &TFormConditionalDelete::ChkSmallerThanClick);
  ChkLargerThan.OnClick = Handler(this, &TFormConditionalDelete::ChkSmallerThanClick);
  RbAllOf.OnClick = Handler(this, &TFormConditionalDelete::RbAllOfClick);
  RbOneOf.OnClick = Handler(this, &TFormConditionalDelete::RbAllOfClick);
  FileListView.OnData = Handler(this, &TFormConditionalDelete::FileListViewData);
  FileListView.OnCustomDrawItem = Handler(this, &TFormConditionalDelete::FileListViewAdvancedCustomDrawItem);
  BtnOK.OnClick = Handler(this, &TFormConditionalDelete::BtnOKClick);
  OnDestroy = Handler(this, &TFormConditionalDelete::FormDestroy);
}

std::optional<std::uint64_t> TFormConditionalDelete::RecordedSize(int k) const {
  if (k < 0 || static_cast<std::size_t>(k) >= entries_.size()) return std::nullopt;
  return entries_[static_cast<std::size_t>(k)].size;
}

std::vector<bool> TFormConditionalDelete::StringFlags() const {
  std::vector<bool> flags;
  for (std::size_t i = 0; i < lines_.Count(); ++i) flags.push_back(lines_.Line(i).regExp);
  return flags;
}

DeleteConditions TFormConditionalDelete::CurrentConditions() const {
  DeleteConditions conditions;  // without the lines, which are judged compiled
  conditions.allOf = !RbOneOf.Checked();
  conditions.smallerThan = SizeCondition{ChkSmallerThan.Checked(), ParseSizeField(EditSmallSize.Text())};
  conditions.largerThan = SizeCondition{ChkLargerThan.Checked(), ParseSizeField(EditLargeSize.Text())};
  return conditions;
}

bool TFormConditionalDelete::IsDeleteTarget(int k) {
  if (k < 0 || static_cast<std::size_t>(k) >= entries_.size()) return false;
  const Entry& entry = entries_[static_cast<std::size_t>(k)];
  // The lines were compiled as they were added; the rest is read from the controls.
  const DeleteConditions conditions = CurrentConditions();
  return lines_.Meets(base::NamePart(entry.path), conditions.allOf) &&
         MeetsSizeConditions(entry.size, conditions);
}

void TFormConditionalDelete::RefreshList() {
  const int count = FileListView.ItemCount();
  if (count == 0) return;
  const int top = FileListView.TopIndex();
  FileListView.UpdateItems(top, std::min(count - 1, top + FileListView.VisibleRowCount()));
}

void TFormConditionalDelete::EditStrChange(ui::Control& /*sender*/) {
  BtnStrAdd.SetEnabled(!EditStr.Text().empty());
  RefreshList();
}

void TFormConditionalDelete::BtnStrAddClick(ui::Control& /*sender*/) {
  lines_.Add(ConditionString{EditStr.Text(), ChkUseRegExp.Checked()});
  StrList.AddItem(EditStr.Text());
  EditStr.SetText("");
  ChkUseRegExp.SetChecked(false);
  BtnStrAdd.SetEnabled(false);
  RefreshList();
}

void TFormConditionalDelete::StrListClick(ui::Control& /*sender*/) {
  const bool selected = StrList.ItemIndex() >= 0;
  BtnStrEdit.SetEnabled(selected);
  BtnStrDelete.SetEnabled(selected);
  RefreshList();
}

void TFormConditionalDelete::BtnStrEditClick(ui::Control& sender) {
  const int index = StrList.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= lines_.Count()) return;
  const ConditionString line = lines_.Line(static_cast<std::size_t>(index));
  EditStr.SetText(line.text);
  ChkUseRegExp.SetChecked(line.regExp);
  BtnStrDeleteClick(sender);
}

void TFormConditionalDelete::BtnStrDeleteClick(ui::Control& /*sender*/) {
  const int index = StrList.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= lines_.Count()) return;
  lines_.Remove(static_cast<std::size_t>(index));
  StrList.DeleteItem(index);
  BtnStrEdit.SetEnabled(false);
  BtnStrDelete.SetEnabled(false);
  RefreshList();
}

void TFormConditionalDelete::EditSmallSizeExit(ui::Control& sender) {
  // Putting the focus back leaves whichever control had just taken it; when that is the
  // other size field, its own check must not send the focus back again.
  if (!returningFocus_) {
    const std::int64_t value = ParseSizeField(sender.Text()).value_or(-1);
    if (value <= 0) {
      ShowMessageBox(kSizeMessage, kCaption, ui::kMbOk);
      returningFocus_ = true;
      sender.SetFocus();
      returningFocus_ = false;
    }
  }
  RefreshList();
}

void TFormConditionalDelete::ChkSmallerThanClick(ui::Control& /*sender*/) { RefreshList(); }

void TFormConditionalDelete::RbAllOfClick(ui::Control& /*sender*/) { RefreshList(); }

void TFormConditionalDelete::FileListViewData(ui::ListView& /*sender*/, ui::ListItem& item) {
  if (item.index < 0 || static_cast<std::size_t>(item.index) >= entries_.size()) return;
  item.caption = base::NamePart(entries_[static_cast<std::size_t>(item.index)].path);
}

void TFormConditionalDelete::FileListViewAdvancedCustomDrawItem(ui::ListView& /*sender*/, int index,
                                                                ui::Color& textColor) {
  textColor = IsDeleteTarget(index) ? ui::clRed : ui::clWindowText;
}

// Right before its deletion: still a file, and of the size it was judged by when a size
// condition took part.
bool TFormConditionalDelete::StillAsJudged(const Entry& entry, bool sizeJudged) {
  platform::FindEntry found;
  std::unique_ptr<platform::FileSearch> search;
  if (platform_.Files().FindFirst(entry.path, found, search) != platform::error::kSuccess) return false;
  if (found.attributes & platform::attribute::kDirectory) return false;
  return !sizeJudged || (entry.size.has_value() && found.size == *entry.size);
}

void TFormConditionalDelete::BtnOKClick(ui::Control& /*sender*/) {
  BtnOK.SetEnabled(false);
  std::vector<std::size_t> targets;
  for (std::size_t k = 0; k < entries_.size(); ++k) {
    if (IsDeleteTarget(static_cast<int>(k))) targets.push_back(k);
  }
  const bool sizeJudged = ChkSmallerThan.Checked() || ChkLargerThan.Checked();
  platform::ShellApi& shell = platform_.Shell();
  // One deletion per file, each checked right before it: a file replaced by a folder, or
  // no longer of the size it was judged by, is not deleted, and the user is told.
  for (const std::size_t k : targets) {
    const Entry& entry = entries_[k];
    if (!StillAsJudged(entry, sizeJudged)) {
      ShowMessageBox(DeleteFailedText(entry.path), kCaption, ui::kMbOk);
      continue;
    }
    platform::ShellFileOperation operation;
    operation.function = platform::shell_function::kDelete;
    operation.sources = {entry.path};
    operation.flags = platform::shell_flag::kNoConfirmation;
    if (ChkUseRecycleBin.Checked()) operation.flags |= platform::shell_flag::kAllowUndo;
    // The shell reports its own failures; only the user's cancel stops the rest.
    if (shell.FileOperation(operation).code == static_cast<int>(platform::error::kCancelled)) break;
  }
  SetModalResult(ui::mrOk);
}

void TFormConditionalDelete::FormDestroy(ui::Control& /*sender*/) {
  entries_.clear();
  lines_.Clear();
}

void RunConditionalDelete(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow) {
  TFormConditionalDelete form(context.ui, context.platform, selection);
  form.SetOwnerHandle(parentWindow);
  form.ShowModal();
}

}  // namespace ov::shellext
