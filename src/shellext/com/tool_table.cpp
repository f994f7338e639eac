#include "shellext/com/tool_table.h"

#include "shellext/tools/form_bulk_rename.h"
#include "shellext/tools/form_renumber.h"

namespace ov::shellext::com {

const CommandTable& ShellTools() {
  static const CommandTable table = {
      {
          &RunBulkRename,  // 0: bulk rename (TFormBulkRename)
          nullptr,  // 1: series classification (TFormFileSeries)
          &RenumberTool,  // 2: renumber (TFormRenumber)
          nullptr,  // 3: conditional delete (TFormConditionalDelete)
      },
      nullptr,  // folders, 0: folder combine (TFolderCombine)
  };
  return table;
}

}  // namespace ov::shellext::com
