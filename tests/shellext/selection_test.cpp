// Splitting Explorer's selection into files and folders, and the name sort of the lists.
#include "shellext/menu/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_system.h"
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
  const Selection delivered = {{"C:\\b.txt", "C:\\A.txt", "C:\\c.txt"}, {"C:\\写真", "C:\\y", "C:\\X"}, {}};
  const shellext::ContextMenuModel model(menus, fake.System(), delivered);
  EXPECT_EQ(model.Sorted().files, (SelectionList{"C:\\A.txt", "C:\\b.txt", "C:\\c.txt"}));
  EXPECT_EQ(model.Sorted().folders, (SelectionList{"C:\\X", "C:\\y", "C:\\写真"}));
  EXPECT_EQ(delivered.files, (SelectionList{"C:\\b.txt", "C:\\A.txt", "C:\\c.txt"}));
}

// The fake's comparison, counted.
struct ClockAndFailures {
  platform::fake::FakeClock clock;
  platform::fake::FakeFailures failures;
};
class CountingSystem : private ClockAndFailures, public platform::fake::FakeSystem {
 public:
  CountingSystem() : FakeSystem(clock, failures) {}
  int CompareNoCase(const std::string& a, const std::string& b) override {
    ++comparisons;
    return FakeSystem::CompareNoCase(a, b);
  }
  std::string SortKeyNoCase(const std::string& text) override {
    ++keys;
    return FakeSystem::SortKeyNoCase(text);
  }
  long comparisons = 0;
  long keys = 0;
};

// LCMapStringA failing for one path.
class NoKeySystem : public CountingSystem {
 public:
  std::string SortKeyNoCase(const std::string& text) override {
    return text == "C:\\b.txt" ? std::string() : CountingSystem::SortKeyNoCase(text);
  }
};

TEST(Selection, WithoutAKeyTheComparisonSorts) {
  NoKeySystem system;
  SelectionList list = {"C:\\c.txt", "C:\\A.txt", "C:\\b.txt", "C:\\a.TXT"};
  shellext::SortByName(system, list);
  EXPECT_EQ(list, (SelectionList{"C:\\A.txt", "C:\\a.TXT", "C:\\b.txt", "C:\\c.txt"}));
}

// Every tool sorts its copy of a selection list that is in order already; with 100,000 paths
// a second full sort costs seconds of comparisons, a check n - 1 of them. A list out of order
// is sorted by one sort key per path, not by comparisons.
TEST(Selection, AListInOrderIsCheckedNotSortedAgain) {
  SelectionList ordered;
  for (int k = 0; k < 2000; ++k) {
    char path[32];
    std::snprintf(path, sizeof path, "C:\\d\\f%05d.jpg", k);
    ordered.push_back(path);
  }
  ordered.insert(ordered.begin() + 7, "C:\\d\\F00006.JPG");  // equal to the one before: stays after it
  struct Case {
    const char* what;
    SelectionList list;
    long maxComparisons;
    long keys;
  };
  SelectionList reversed(ordered.rbegin(), ordered.rend());
  std::swap(reversed[reversed.size() - 8], reversed[reversed.size() - 7]);  // the equal names as in `ordered`
  SelectionList lastTwoSwapped = ordered;
  std::swap(lastTwoSwapped[lastTwoSwapped.size() - 1], lastTwoSwapped[lastTwoSwapped.size() - 2]);
  const long n = static_cast<long>(ordered.size());
  const std::vector<Case> cases = {
      {"in order", ordered, n - 1, 0},
      {"reversed", reversed, 1, n},
      {"the last two swapped", lastTwoSwapped, n - 1, n},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CountingSystem system;
    SelectionList list = c.list;
    shellext::SortByName(system, list);
    EXPECT_EQ(list, ordered);
    EXPECT_LE(system.comparisons, c.maxComparisons);
    EXPECT_EQ(system.keys, c.keys);
  }
}

}  // namespace
}  // namespace ov::test
