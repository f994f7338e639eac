// What Explorer selected, split into existing files and existing folders. The sorted
// copies are the selection lists that the tools receive.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::shellext {

// Full paths in code page 932.
using SelectionList = std::vector<std::string>;

struct Selection {
  SelectionList files;
  SelectionList folders;
};

// Files (not folders) go to files, folders to folders; a path that is neither, such as a
// virtual object of the shell, is dropped.
void AddSelectedPath(platform::FileApi& files, const std::string& path, Selection& selection);

// Ascending by the name comparison (CompareStringA, user default locale, ignoring case);
// names the comparison finds equal keep their order.
void SortByName(platform::SystemApi& system, SelectionList& list);

}  // namespace ov::shellext
