#include "shellext/tools/folder_combine.h"

#include <algorithm>

#include "base/path_parts.h"
#include "shellext/tools/form_series_new_name.h"

namespace ov::shellext {

const char kFolderCombineTitle[] = "フォルダをまとめる";

TFolderCombine::TFolderCombine(ui::Backend& backend, platform::Platform& platform, const SelectionList* folders)
    : backend_(backend), platform_(platform) {
  if (folders == nullptr) return;
  folders_ = *folders;
  platform::SystemApi& system = platform_.System();
  std::stable_sort(folders_.begin(), folders_.end(),
                   [&](const std::string& a, const std::string& b) { return system.CompareNoCase(a, b) < 0; });
}

void TFolderCombine::Run(std::uintptr_t ownerWindow) {
  if (folders_.size() < 2) return;
  TFormSeriesNewName chooser(backend_);
  chooser.SetOwnerHandle(ownerWindow);
  for (const std::string& folder : folders_) chooser.NewSeriesName.AddItem(base::NamePart(folder));
  chooser.NewSeriesName.SetItemIndex(0);
  if (chooser.ShowModal() != ui::mrOk) return;

  const int chosen = chooser.NewSeriesName.ItemIndex();
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= folders_.size()) return;
  const std::string target = folders_[static_cast<std::size_t>(chosen)];
  std::vector<std::string> sources = folders_;
  sources.erase(sources.begin() + chosen);

  platform::ShellFileOperation operation;
  operation.ownerWindow = ownerWindow;
  operation.function = platform::shell_function::kMove;
  for (const std::string& source : sources) operation.sources.push_back(source + "\\*.*");
  operation.destination = target;
  operation.flags = 0;
  operation.progressTitle = kFolderCombineTitle;

  platform::FileApi& files = platform_.Files();
  if (!platform::FolderExists(files, target)) return;
  if (platform_.Shell().FileOperation(operation).code != 0) return;
  for (const std::string& source : sources) files.RemoveFolder(source);  // stays when not empty
}

void RunFolderCombine(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow) {
  TFolderCombine combine(context.ui, context.platform, &selection);
  combine.Run(parentWindow);
}

}  // namespace ov::shellext
