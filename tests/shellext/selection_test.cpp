// Splitting Explorer's selection into files and folders, and the name sort of the lists.
#include "shellext/menu/selection.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "shellext/menu/context_menu_model.h"
#include "shellext/recording_menu.h"
#include "support/readable.h"

namespace ov::test {
namespace {

using shellext::Selection;
using shellext::SelectionList;

TEST(Selection, FilesAndFoldersKeepExplorersOrderAndTheRestIsDropped) {
  platform::FakePlatform fake;
  platform::FileApi& files = fake.Files();
  fake.Files().MakeFolders("C:\\data\\dir");
  fake.Files().MakeFolders("C:\\data\\hidden dir");
  for (const char* file : {"C:\\data\\z.txt", "C:\\data\\ro.txt", "C:\\data\\a.txt"}) fake.Files().PutFile(file, "x");
  files.SetAttributes("C:\\data\\ro.txt", platform::attribute::kReadOnly | platform::attribute::kHidden);
  files.SetAttributes("C:\\data\\hidden dir", platform::attribute::kDirectory | platform::attribute::kHidden);
  Selection selection;
  for (const char* path : {"C:\\data\\z.txt", "C:\\data\\dir", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
                           "C:\\data\\ro.txt", "C:\\data\\missing", "C:\\data\\hidden dir", "C:\\data\\a.txt",
                           "D:\\no volume.txt"}) {
    shellext::AddSelectedPath(files, path, selection);
  }
  EXPECT_EQ(selection.files, (SelectionList{"C:\\data\\z.txt", "C:\\data\\ro.txt", "C:\\data\\a.txt"}));
  EXPECT_EQ(selection.folders, (SelectionList{"C:\\data\\dir", "C:\\data\\hidden dir"}));
}

TEST(Selection, SortIgnoresCaseAndKeepsTheOrderOfEqualNames) {
  platform::FakePlatform fake;
  SelectionList list = {"C:\\b.txt", "C:\\A.txt", "C:\\c.txt", "C:\\a.TXT", "C:\\B.txt"};
  shellext::SortByName(fake.System(), list);
  EXPECT_EQ(list, (SelectionList{"C:\\A.txt", "C:\\a.TXT", "C:\\b.txt", "C:\\B.txt", "C:\\c.txt"}));
}

TEST(Selection, TheMenuSortsItsOwnCopiesAndLeavesTheDeliveredListsAlone) {
  platform::FakePlatform fake;
  RecordingMenu menus;
  const Selection delivered = {{"C:\\b.txt", "C:\\A.txt", "C:\\c.txt"}, {"C:\\写真", "C:\\y", "C:\\X"}};
  const shellext::ContextMenuModel model(menus, fake.System(), delivered);
  EXPECT_EQ(model.Sorted().files, (SelectionList{"C:\\A.txt", "C:\\b.txt", "C:\\c.txt"}));
  EXPECT_EQ(model.Sorted().folders, (SelectionList{"C:\\X", "C:\\y", "C:\\写真"}));
  EXPECT_EQ(delivered.files, (SelectionList{"C:\\b.txt", "C:\\A.txt", "C:\\c.txt"}));
}

}  // namespace
}  // namespace ov::test
