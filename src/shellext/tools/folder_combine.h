// The folder combine: the user picks which of the selected folders survives, the entries
// of all the others move into it with one shell file operation, and the folders that are
// empty afterwards are removed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "shellext/menu/command_table.h"
#include "ui/backend.h"

namespace ov::shellext {

class TFolderCombine {
 public:
  // folders: full paths; the copy is sorted by the caseless name comparison.
  TFolderCombine(ui::Backend& backend, platform::Platform& platform, const SelectionList* folders);

  // The whole operation, with the choice dialog owned by ownerWindow.
  void Run(std::uintptr_t ownerWindow);

  const SelectionList& Folders() const { return folders_; }

 private:
  void MoveEntriesWithoutReplacing(std::uintptr_t ownerWindow, const std::string& source, const std::string& target);
  void Report(std::uintptr_t ownerWindow, const std::string& text);

  ui::Backend& backend_;
  platform::Platform& platform_;
  SelectionList folders_;
};

extern const char kFolderCombineTitle[];

// The folders submenu's command.
void RunFolderCombine(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow);

}  // namespace ov::shellext
