// Splitting Explorer's selection into files and folders, and the name sort of the lists.
#include "shellext/menu/selection.h"

#include <gtest/gtest.h>

#include "shellext/menu/context_menu_model.h"
#include "shellext/recording_menu.h"
#include "shellext/stub_platform.h"

namespace ov::test {
namespace {

using shellext::Selection;
using shellext::SelectionList;

TEST(Selection, FilesAndFoldersKeepExplorersOrderAndTheRestIsDropped) {
  StubFiles files;
  files.attributes = {{"C:\\z.txt", platform::attribute::kArchive},
                      {"C:\\ro.txt", platform::attribute::kReadOnly | platform::attribute::kHidden},
                      {"C:\\dir", platform::attribute::kDirectory},
                      {"C:\\hidden dir", platform::attribute::kDirectory | platform::attribute::kHidden},
                      {"C:\\a.txt", platform::attribute::kNormal}};
  Selection selection;
  for (const char* path : {"C:\\z.txt", "C:\\dir", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "C:\\ro.txt",
                           "C:\\missing", "C:\\hidden dir", "C:\\a.txt"}) {
    shellext::AddSelectedPath(files, path, selection);
  }
  EXPECT_EQ(selection.files, (SelectionList{"C:\\z.txt", "C:\\ro.txt", "C:\\a.txt"}));
  EXPECT_EQ(selection.folders, (SelectionList{"C:\\dir", "C:\\hidden dir"}));
}

TEST(Selection, SortIgnoresCaseAndKeepsTheOrderOfEqualNames) {
  StubSystem system;
  SelectionList list = {"C:\\b.txt", "C:\\A.txt", "C:\\c.txt", "C:\\a.TXT", "C:\\B.txt"};
  shellext::SortByName(system, list);
  EXPECT_EQ(list, (SelectionList{"C:\\A.txt", "C:\\a.TXT", "C:\\b.txt", "C:\\B.txt", "C:\\c.txt"}));
}

TEST(Selection, TheMenuSortsItsOwnCopiesAndLeavesTheDeliveredListsAlone) {
  StubSystem system;
  RecordingMenu menus;
  const Selection delivered = {{"C:\\b.txt", "C:\\A.txt", "C:\\c.txt"}, {"C:\\y", "C:\\X"}};
  const shellext::ContextMenuModel model(menus, system, delivered);
  EXPECT_EQ(model.Sorted().files, (SelectionList{"C:\\A.txt", "C:\\b.txt", "C:\\c.txt"}));
  EXPECT_EQ(model.Sorted().folders, (SelectionList{"C:\\X", "C:\\y"}));
  EXPECT_EQ(delivered.files, (SelectionList{"C:\\b.txt", "C:\\A.txt", "C:\\c.txt"}));
}

}  // namespace
}  // namespace ov::test
