#include "shellext/menu/menu_table.h"

namespace ov::shellext {

const char kFilesCaption[] = "ファイルの整理";

const MenuItemText kFileItems[kFileToolCount] = {
    {"ファイル名の一括処理", "ファイル名をまとめて変更します"},
    {"ファイル名による自動分類", "ファイル名を元にサブフォルダに自動的に分類します"},
    {"ファイル名のリナンバリング", "ファイル名を連番に変更します"},
    {"条件指定つきファイル削除", "選択したファイルのうち、条件に合うもののみを削除します"},
};

const char kFoldersCaption[] = "フォルダの整理";

const MenuItemText kFolderItem = {"フォルダをまとめる", "選択したフォルダを一つのフォルダにまとめます"};

}  // namespace ov::shellext
