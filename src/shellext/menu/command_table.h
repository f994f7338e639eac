// Binds the command offsets of the context menu to the tools. A tool receives the
// selection list (which it copies) and the invoking window as its parent, runs its modal
// dialog to the end and keeps nothing afterwards.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "shellext/menu/menu_table.h"
#include "shellext/menu/selection.h"

namespace ov::ui {
class Backend;
}

namespace ov::shellext {

// What a tool may use besides its selection: the platform and the ui backend its dialogs
// are shown with.
struct ToolContext {
  platform::Platform& platform;
  ui::Backend& ui;
};

// parentWindow is an HWND as an integer.
using ToolEntry = void (*)(ToolContext& context, const SelectionList& selection, std::uintptr_t parentWindow);

// A null entry is a command without a tool: choosing it does nothing.
struct CommandTable {
  ToolEntry fileTools[kFileToolCount];  // bulk rename, series classification, renumber, conditional delete
  ToolEntry folderCombine;
};

}  // namespace ov::shellext
