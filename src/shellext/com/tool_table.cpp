#include "shellext/com/tool_table.h"

#include "shellext/tools/folder_combine.h"
#include "shellext/tools/form_bulk_rename.h"
#include "shellext/tools/form_conditional_delete.h"
#include "shellext/tools/form_file_series.h"
#include "shellext/tools/form_renumber.h"

namespace ov::shellext::com {

const CommandTable& ShellTools() {
  static const CommandTable table = {
      {
          &RunBulkRename,  // 0: bulk rename (TFormBulkRename)
          &RunFileSeries,  // 1: series classification (TFormFileSeries)
          &RenumberTool,  // 2: renumber (TFormRenumber)
          &RunConditionalDelete,  // 3: conditional delete (TFormConditionalDelete)
      },
      &RunFolderCombine,  // folders, 0: folder combine (TFolderCombine)
  };
  return table;
}

}  // namespace ov::shellext::com
