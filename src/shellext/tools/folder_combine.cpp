#include "shellext/tools/folder_combine.h"

#include <algorithm>
#include <memory>

#include "base/path_parts.h"
#include "shellext/tools/entry_messages.h"
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

  platform::FileApi& files = platform_.Files();
  if (!platform::FolderExists(files, target)) return;
  // Each source checked right before its entries move: one that is no longer a folder is
  // left alone, and the user is told.
  std::vector<std::string> folders;
  for (const std::string& source : sources) {
    if (platform::FolderExists(files, source)) {
      folders.push_back(source);
    } else {
      Report(ownerWindow, MoveFailedText(source, target));
    }
  }
  if (folders.empty()) return;

  platform::ShellApi& shell = platform_.Shell();
  if (!shell.AsksBeforeReplacing()) {
    for (const std::string& source : folders) MoveEntriesWithoutReplacing(ownerWindow, source, target);
    return;
  }
  platform::ShellFileOperation operation;
  operation.ownerWindow = ownerWindow;
  operation.function = platform::shell_function::kMove;
  for (const std::string& source : folders) operation.sources.push_back(source + "\\*.*");
  operation.destination = target;
  operation.flags = 0;  // the shell asks about every name the target holds already
  operation.progressTitle = kFolderCombineTitle;
  if (shell.FileOperation(operation).code != 0) return;
  for (const std::string& source : folders) files.RemoveFolder(source);  // stays when not empty
}

// For a shell that would replace what the target holds without asking: each entry moves by
// MoveFileA, which refuses a taken name, so that entry stays in its source and the user is
// told. Read-only, hidden and system entries move like the others.
void TFolderCombine::MoveEntriesWithoutReplacing(std::uintptr_t ownerWindow, const std::string& source,
                                                 const std::string& target) {
  platform::FileApi& files = platform_.Files();
  std::vector<std::string> names;
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  const platform::Error found = files.FindFirst(source + "\\*", entry, search);
  if (found != platform::error::kSuccess && found != platform::error::kFileNotFound) {
    Report(ownerWindow, MoveFailedText(source, target));
    return;
  }
  if (found == platform::error::kSuccess) {
    do {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    } while (search->Next(entry) == platform::error::kSuccess);
  }
  search.reset();
  // In name order, whatever order the file system lists them in, so that the reports do too.
  platform::SystemApi& system = platform_.System();
  std::sort(names.begin(), names.end(),
            [&](const std::string& a, const std::string& b) { return system.CompareNoCase(a, b) < 0; });
  for (const std::string& name : names) {
    const std::string from = source + "\\" + name;
    const std::string to = target + "\\" + name;
    if (files.Move(from, to) != platform::error::kSuccess) Report(ownerWindow, MoveFailedText(from, to));
  }
  files.RemoveFolder(source);  // stays when something could not move
}

void TFolderCombine::Report(std::uintptr_t ownerWindow, const std::string& text) {
  backend_.ShowMessageBox(ownerWindow, text, kFolderCombineTitle, ui::kMbOk);
}

void RunFolderCombine(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow) {
  TFolderCombine combine(context.ui, context.platform, &selection);
  combine.Run(parentWindow);
}

}  // namespace ov::shellext
