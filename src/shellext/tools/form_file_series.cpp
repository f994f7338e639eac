#include "shellext/tools/form_file_series.h"

#include <algorithm>

#include "base/path_parts.h"
#include "shellext/menu/selection.h"
#include "shellext/tools/entry_messages.h"
#include "shellext/tools/form_series_new_name.h"
#include "shellext/tools/series_name.h"

namespace ov::shellext {

using ui::Handler;

const char kFileSeriesTitle[] = "ファイル名による自動分類";

namespace {
const char kSeriesExists[] = "そのシリーズ名はすでに存在します。";
}  // namespace

TFormFileSeries::TFormFileSeries(ui::Backend& backend, platform::Platform& platform, const SelectionList& selection)
    : Form(backend, "FormFileSeries"), platform_(platform), selection_(selection) {
  Layout();
  SortByName(platform_.System(), selection_);

  BtnClassify.OnClick = Handler(this, &TFormFileSeries::BtnClassifyClick);
  SeriesListView.OnSelectItem = Handler(this, &TFormFileSeries::SeriesListViewSelectItem);
  SeriesListView.OnEdited = Handler(this, &TFormFileSeries::SeriesListViewEdited);
  BtnCombine.OnClick = Handler(this, &TFormFileSeries::BtnCombineClick);
  BtnOK.OnClick = Handler(this, &TFormFileSeries::BtnOKClick);
  OnDestroy = Handler(this, &TFormFileSeries::FormDestroy);

  if (!selection_.empty()) BtnClassifyClick(BtnClassify);
}

TFormFileSeries::~TFormFileSeries() { Destroy(); }

void TFormFileSeries::Layout() {
  SetCaption(kFileSeriesTitle);
  SetClientSize(334, 340);
  SetBorder(ui::BorderStyle::Dialog);
  SetIcons(ui::BorderIcons::SystemMenu);
  SetPosition(ui::FormPosition::Designed);
  SetFont(ui::Font{});  // ＭＳ Ｐゴシック, 9 points

  Memo1.SetBounds(8, 8, 318, 28);
  Memo1.SetLines({"ファイル名から検出されるシリーズ名をもとに自動的に分類しま", "す"});
  Memo1.SetReadOnly(true);
  Memo1.SetWordWrap(false);
  Memo1.SetBorder(false);
  Memo1.SetTabStop(false);
  Memo1.SetColor(ui::clBtnFace);

  SeriesListView.SetBounds(8, 40, 318, 168);
  SeriesListView.SetColumns({{"フォルダ名", 200}, {"ファイル数", 100}});
  SeriesListView.SetMultiSelect(true);
  SeriesListView.SetReadOnly(false);
  SeriesListView.SetHideSelection(false);

  BtnCombine.SetBounds(242, 214, 84, 25);
  BtnCombine.SetCaption("まとめる");
  BtnCombine.SetEnabled(false);

  GroupBox1.SetBounds(8, 242, 318, 62);
  GroupBox1.SetCaption("オプション");
  Label1.SetLeft(10);
  Label1.SetTop(18);
  Label1.SetCaption("数字とみなす文字");
  EditNumericChar.SetBounds(160, 14, 110, 21);
  EditNumericChar.SetText(kDefaultNumericChars);
  Label2.SetLeft(10);
  Label2.SetTop(41);
  Label2.SetCaption("添え字として許す文字数");
  FEditDeleteChar.SetBounds(160, 37, 44, 21);
  FEditDeleteChar.SetReadOnly(true);
  EditDeleteChar.SetBounds(204, 37, 16, 21);
  EditDeleteChar.SetRange(0, 100);
  EditDeleteChar.SetWrap(false);
  EditDeleteChar.SetAssociate(&FEditDeleteChar);
  EditDeleteChar.SetPosition(0);

  BtnClassify.SetBounds(8, 310, 84, 25);
  BtnClassify.SetCaption("再分類");
  BtnOK.SetBounds(150, 310, 84, 25);
  BtnOK.SetCaption("実行");
  BtnCancel.SetBounds(242, 310, 84, 25);
  BtnCancel.SetCaption("Cancel");
  BtnCancel.SetCancel(true);
  BtnCancel.SetModalResult(ui::mrCancel);
}

void TFormFileSeries::AddRow(const std::string& name, std::vector<std::string> files) {
  const std::string count = std::to_string(files.size());
  rowFiles_.push_back(std::move(files));
  SeriesListView.AddItem(name, {count});
}

void TFormFileSeries::RemoveRow(int index) {
  rowFiles_.erase(rowFiles_.begin() + index);
  SeriesListView.DeleteItem(index);
}

void TFormFileSeries::ClearRows() {
  SeriesListView.ClearItems();
  rowFiles_.clear();
}

void TFormFileSeries::BtnClassifyClick(ui::Control& /*sender*/) {
  ClearRows();
  std::vector<Series> series =
      ClassifySeries(platform_.System(), selection_, EditNumericChar.Text(), EditDeleteChar.Position());
  for (Series& one : series) AddRow(one.name, std::move(one.members));
  BtnCombine.SetEnabled(SeriesListView.SelectedCount() > 1);
}

void TFormFileSeries::SeriesListViewSelectItem(ui::ListView& sender, int /*index*/, bool /*selected*/) {
  BtnCombine.SetEnabled(sender.SelectedCount() > 1);
}

void TFormFileSeries::SeriesListViewEdited(ui::ListView& sender, int /*index*/, std::string& text, bool& accept) {
  platform::SystemApi& system = platform_.System();
  for (int row = 0; row < sender.ItemCount(); ++row) {
    if (system.CompareNoCase(sender.CellText(row, 0), text) == 0) {
      ShowMessageBox(kSeriesExists, Caption(), ui::kMbOk | ui::kMbIconExclamation);
      accept = false;
      return;
    }
  }
}

void TFormFileSeries::BtnCombineClick(ui::Control& /*sender*/) {
  TFormSeriesNewName chooser(GetBackend());
  chooser.SetOwnerHandle(Handle());
  const std::vector<int> selected = SeriesListView.SelectedIndices();
  for (const int row : selected) chooser.NewSeriesName.AddItem(SeriesListView.CellText(row, 0));
  chooser.NewSeriesName.SetItemIndex(0);
  if (chooser.ShowModal() != ui::mrOk || selected.empty()) return;

  const std::string chosen = chooser.NewSeriesName.Text();
  platform::SystemApi& system = platform_.System();
  const int count = SeriesListView.ItemCount();
  int target = -1;
  for (int step = 1; step <= count && target < 0; ++step) {
    const int row = (selected.front() + step) % count;
    if (system.CompareNoCase(SeriesListView.CellText(row, 0), chosen) == 0) target = row;
  }
  if (target < 0) return;

  SeriesListView.SetSelected(target, false);
  while (SeriesListView.SelectedCount() > 0) {
    const int row = SeriesListView.SelectedIndices().front();
    std::vector<std::string>& into = rowFiles_[static_cast<std::size_t>(target)];
    const std::vector<std::string>& from = rowFiles_[static_cast<std::size_t>(row)];
    into.insert(into.end(), from.begin(), from.end());
    RemoveRow(row);
    if (row < target) --target;
  }
  SeriesListView.SetSubItem(target, 0, std::to_string(rowFiles_[static_cast<std::size_t>(target)].size()));
  BtnCombine.SetEnabled(SeriesListView.SelectedCount() > 1);
}

void TFormFileSeries::BtnOKClick(ui::Control& /*sender*/) {
  BtnOK.SetEnabled(false);
  platform::FileApi& files = platform_.Files();
  platform::ShellApi& shell = platform_.Shell();
  const bool shellAsks = shell.AsksBeforeReplacing();
  for (int row = 0; row < SeriesListView.ItemCount(); ++row) {
    const std::vector<std::string>& members = rowFiles_[static_cast<std::size_t>(row)];
    if (members.empty()) continue;
    // ".", ".." or a name no folder can bear would move the files elsewhere, or nowhere.
    const std::string name = SeriesListView.CellText(row, 0);
    if (!base::IsValidFileName(name)) continue;
    const std::string target = base::FolderPart(members.front()) + name;
    if (files.CreateFolder(target) != platform::error::kSuccess && !platform::FolderExists(files, target)) continue;
    // One move per file, each checked right before it: a file replaced by a folder (or
    // gone) since the dialog opened stays where it is, and the user is told.
    for (const std::string& member : members) {
      const std::string to = target + "\\" + base::NamePart(member);
      if (!platform::FileExists(files, member)) {
        ShowMessageBox(MoveFailedText(member, to), Caption(), ui::kMbOk);
        continue;
      }
      if (!shellAsks) {
        // This shell would replace what the folder holds under that name without asking;
        // MoveFileA refuses a taken name, so that file stays and the user is told.
        if (files.Move(member, to) != platform::error::kSuccess) {
          ShowMessageBox(MoveFailedText(member, to), Caption(), ui::kMbOk);
        }
        continue;
      }
      platform::ShellFileOperation operation;
      operation.ownerWindow = Handle();
      operation.function = platform::shell_function::kMove;
      operation.sources = {member};
      operation.destination = to;
      operation.flags = 0;  // the shell asks before it replaces, and reports its own failures
      operation.progressTitle = kFileSeriesTitle;
      // Cancelled by the user: the rest of this series stays. ("No" to a question only
      // keeps that file, and the operation does not count as cancelled.)
      if (shell.FileOperation(operation).code == static_cast<int>(platform::error::kCancelled)) break;
    }
  }
  SetModalResult(ui::mrOk);
}

void TFormFileSeries::FormDestroy(ui::Control& /*sender*/) {
  ClearRows();
  selection_.clear();
}

void RunFileSeries(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow) {
  TFormFileSeries form(context.ui, context.platform, selection);
  form.SetOwnerHandle(parentWindow);
  form.ShowModal();
}

}  // namespace ov::shellext
