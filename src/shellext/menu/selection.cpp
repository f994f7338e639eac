#include "shellext/menu/selection.h"

#include <algorithm>

namespace ov::shellext {

void AddSelectedPath(platform::FileApi& files, const std::string& path, Selection& selection) {
  if (platform::FileExists(files, path)) {
    selection.files.push_back(path);
  } else if (platform::FolderExists(files, path)) {
    selection.folders.push_back(path);
  }
}

void SortByName(platform::SystemApi& system, SelectionList& list) {
  std::stable_sort(list.begin(), list.end(), [&system](const std::string& a, const std::string& b) {
    return system.CompareNoCase(a, b) < 0;
  });
}

}  // namespace ov::shellext
