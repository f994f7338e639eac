// What Explorer selected, split into existing files and existing folders, and the items
// that were left out because the ANSI functions cannot name them exactly. The sorted copies
// of the two lists are the selection lists that the tools receive.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "shellext/menu/left_out.h"

namespace ov::shellext {

// Full paths in code page 932.
using SelectionList = std::vector<std::string>;

struct Selection {
  SelectionList files;
  SelectionList folders;
  std::vector<LeftOutItem> leftOut;  // in Explorer's order
};

// Files (not folders) go to files, folders to folders; a path that is neither, such as a
// virtual object of the shell, is dropped. A path longer than kMaxPathBytes is left out,
// never cut: its first 259 bytes may name another file.
void AddSelectedPath(platform::FileApi& files, const std::string& path, Selection& selection);

// What the attributes (GetFileAttributes' result, or a failure) say an item is.
ItemKind KindOfItem(bool read, std::uint32_t attributes);

// True when the selection holds files, or a left-out item that is one, and no folder; and
// the converse.
bool SelectsOnlyFiles(const Selection& selection);
bool SelectsOnlyFolders(const Selection& selection);

// Ascending by the name comparison (CompareStringA, user default locale, ignoring case);
// names the comparison finds equal keep their order.
void SortByName(platform::SystemApi& system, SelectionList& list);

}  // namespace ov::shellext
