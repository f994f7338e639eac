// The texts of the context menu: the two submenu captions and, per command offset, the
// item text and its status-bar help text. Code page 932 bytes, shown as they stand.
#pragma once

#include <cstddef>

namespace ov::shellext {

struct MenuItemText {
  const char* item;
  const char* help;
};

constexpr std::size_t kFileToolCount = 4;

extern const char kFilesCaption[];                         // "ファイルの整理"
extern const MenuItemText kFileItems[kFileToolCount];      // offsets 0 to 3
extern const char kFoldersCaption[];                       // "フォルダの整理"
extern const MenuItemText kFolderItem;                     // offset 0

}  // namespace ov::shellext
