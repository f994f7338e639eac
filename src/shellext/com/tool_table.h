// The tools behind the context menu's commands, as the module runs them.
#pragma once

#include "shellext/menu/command_table.h"

namespace ov::shellext::com {

// Offsets 0 to 3 of the files submenu and the folder combine. A tool that is not built
// yet has a null entry: its command does nothing.
const CommandTable& ShellTools();

}  // namespace ov::shellext::com
