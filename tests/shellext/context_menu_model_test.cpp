// The context menu's logic against a recording menu: which items a selection gets, the
// results, the bound of granted identifiers, submenu ownership, dispatch and help texts.
#include "shellext/menu/context_menu_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shellext/recording_menu.h"
#include "platform/fake/fake_platform.h"
#include "ui/headless/headless_backend.h"
#include "support/readable.h"

namespace ov::test {
namespace {

using shellext::CommandTable;
using shellext::ContextMenuModel;
using shellext::Selection;
using shellext::SelectionList;
using shellext::ToolContext;

const Selection kFiles = {{"C:\\b.txt", "C:\\A.txt"}, {}, {}};
const Selection kFolders = {{}, {"C:\\photos"}, {}};
const Selection kMixed = {{"C:\\a.txt"}, {"C:\\photos"}, {}};
const Selection kNothing = {};

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(QueryContextMenu, EntriesAndResults) {
  const struct {
    const char* name;
    Selection selection;
    std::uint32_t index, first, last, flags;
    std::uint16_t result;
    std::vector<std::string> calls;
  } cases[] = {
      {"files", kFiles, 3, 100, 200, 0, 5,
       {"popup 7", "append 7 100 ファイル名の一括処理", "append 7 101 ファイル名による自動分類",
        "append 7 102 ファイル名のリナンバリング", "append 7 103 条件指定つきファイル削除", "separator 1 3",
        "insert 1 4 7 ファイルの整理"}},
      {"folders", kFolders, 0, 30, 30, 0, 2,
       {"popup 7", "append 7 30 フォルダをまとめる", "separator 1 0", "insert 1 1 7 フォルダの整理"}},
      {"two identifiers", kFiles, 0, 500, 501, 0x10, 3,
       {"popup 7", "append 7 500 ファイル名の一括処理", "append 7 501 ファイル名による自動分類", "separator 1 0",
        "insert 1 1 7 ファイルの整理"}},
      {"no identifier", kFolders, 0, 500, 499, 0, 0, {"popup 7"}},
      {"identifiers at the top do not wrap", kFiles, 0, 0xFFFFFFFEu, 0xFFFFFFFFu, 0, 3,
       {"popup 7", "append 7 4294967294 ファイル名の一括処理", "append 7 4294967295 ファイル名による自動分類",
        "separator 1 0", "insert 1 1 7 ファイルの整理"}},
      {"mixed", kMixed, 0, 1, 100, 0, 0, {"popup 7"}},
      {"empty lists", kNothing, 0, 1, 100, 0, 0, {"popup 7"}},
      {"default only", kFiles, 0, 1, 100, 0x1, 0, {}},
      {"verbs only", kFolders, 0, 1, 100, 0x2, 0, {}},
      {"both", kFiles, 0, 1, 100, 0x3 | 0x10, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::FakePlatform fake;
    platform::SystemApi& system = fake.System();
    RecordingMenu menus;
    ContextMenuModel model(menus, system, c.selection);
    EXPECT_EQ(model.QueryContextMenu(1, c.index, c.first, c.last, c.flags), c.result);
    EXPECT_BYTES(Join(menus.calls), Join(c.calls));
  }
}

TEST(QueryContextMenu, CountsOnlyTheCallsThatSucceed) {
  const struct {
    const char* failOn;
    std::uint16_t result;
    bool handedOver;
  } cases[] = {
      {"append 7 11 ファイル名による自動分類", 4, true},  // the other three items and the submenu
      {"separator 1 0", 4, false},                         // items appended, nothing inserted
      {"insert 1 1 7 ファイルの整理", 4, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Readable(c.failOn));
    platform::FakePlatform fake;
    platform::SystemApi& system = fake.System();
    RecordingMenu menus;
    menus.failOn = c.failOn;
    {
      ContextMenuModel model(menus, system, kFiles);
      EXPECT_EQ(model.QueryContextMenu(1, 0, 10, 20, 0), c.result);
    }
    // A submenu that did not go into the host's menu is freed with the object, else never.
    EXPECT_EQ(menus.destroyed, c.handedOver ? std::vector<shellext::MenuHandle>{} : std::vector<shellext::MenuHandle>{7});
  }
}

TEST(QueryContextMenu, SubmenuOwnership) {
  platform::FakePlatform fake;
  platform::SystemApi& system = fake.System();
  RecordingMenu menus;
  menus.failCreate = true;
  {
    ContextMenuModel model(menus, system, kFiles);
    EXPECT_EQ(model.QueryContextMenu(1, 0, 10, 20, 0), 0);
    menus.failCreate = false;
    EXPECT_EQ(model.QueryContextMenu(1, 0, 10, 20, 0x1), 0);  // nothing created
    EXPECT_TRUE(menus.calls.empty());
  }
  EXPECT_TRUE(menus.destroyed.empty());

  RecordingMenu mixed;
  {
    ContextMenuModel model(mixed, system, kMixed);
    model.QueryContextMenu(1, 0, 10, 20, 0);
    model.QueryContextMenu(1, 0, 10, 20, 0);  // asked again: the first submenu is freed
    EXPECT_EQ(mixed.destroyed, std::vector<shellext::MenuHandle>{7});
  }
  EXPECT_EQ(mixed.destroyed, (std::vector<shellext::MenuHandle>{7, 8}));

  RecordingMenu handed;
  {
    ContextMenuModel model(handed, system, kFolders);
    EXPECT_EQ(model.QueryContextMenu(1, 0, 10, 20, 0), 2);
    EXPECT_EQ(model.QueryContextMenu(2, 0, 10, 20, 0), 2);  // a second host menu owns the second
  }
  EXPECT_TRUE(handed.destroyed.empty());
}

// ---- Dispatch -----------------------------------------------------------------------------

struct Call {
  int tool;
  SelectionList selection;
  std::uintptr_t parent;
  bool operator==(const Call& other) const {
    return tool == other.tool && selection == other.selection && parent == other.parent;
  }
};
std::vector<Call> calls;

template <int tool>
void Record(ToolContext&, const SelectionList& selection, std::uintptr_t parent) {
  calls.push_back({tool, selection, parent});
}

TEST(InvokeCommand, DispatchesByOffsetThroughTheTable) {
  const CommandTable tools = {{Record<0>, Record<1>, Record<2>, Record<3>}, Record<4>};
  const CommandTable empty = {{nullptr, nullptr, nullptr, nullptr}, nullptr};
  const SelectionList sortedFiles = {"C:\\A.txt", "C:\\b.txt"};
  const SelectionList folders = {"C:\\photos"};
  const std::uintptr_t textVerb = 0x00401000;  // the address of a verb text
  const struct {
    const char* name;
    Selection selection;
    std::uintptr_t verb;
    const CommandTable* table;
    std::vector<Call> expected;
  } cases[] = {
      {"offset 0", kFiles, 0, &tools, {{0, sortedFiles, 0x55}}},
      {"offset 1", kFiles, 1, &tools, {{1, sortedFiles, 0x55}}},
      {"offset 2", kFiles, 2, &tools, {{2, sortedFiles, 0x55}}},
      {"offset 3", kFiles, 3, &tools, {{3, sortedFiles, 0x55}}},
      {"offset 4", kFiles, 4, &tools, {}},
      {"offset 7", kFiles, 7, &tools, {}},
      {"verb text", kFiles, textVerb, &tools, {}},
      {"tool not built", kFiles, 2, &empty, {}},
      {"folder verb 0", kFolders, 0, &tools, {{4, folders, 0x55}}},
      {"folder verb 1", kFolders, 1, &tools, {}},
      {"folder verb text", kFolders, textVerb, &tools, {}},
      {"folder tool not built", kFolders, 0, &empty, {}},
      {"mixed goes by files", kMixed, 0, &tools, {{0, {"C:\\a.txt"}, 0x55}}},
      {"nothing", kNothing, 0, &tools, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    calls.clear();
    platform::FakePlatform platform;
    ui::headless::HeadlessBackend ui;
    RecordingMenu menus;
    ToolContext context{platform, ui};
    ContextMenuModel model(menus, platform.System(), c.selection);
    model.InvokeCommand(c.verb, 0x55, *c.table, context);
    EXPECT_EQ(calls, c.expected);
  }
}

TEST(InvokeCommand, ToolFailuresReachTheCaller) {
  platform::FakePlatform platform;
  ui::headless::HeadlessBackend ui;
  RecordingMenu menus;
  ToolContext context{platform, ui};
  const CommandTable throwing = {{[](ToolContext&, const SelectionList&, std::uintptr_t) { throw 1; }}, nullptr};
  ContextMenuModel model(menus, platform.System(), kFiles);
  EXPECT_ANY_THROW(model.InvokeCommand(0, 0, throwing, context));
}

// ---- Help texts ---------------------------------------------------------------------------

TEST(GetCommandString, HelpTextsByOffset) {
  const struct {
    Selection selection;
    std::uintptr_t offset;
    std::uint32_t type;
    const char* expected;  // null: the buffer is left alone
  } cases[] = {
      {kFiles, 0, 1, "ファイル名をまとめて変更します"},
      {kFiles, 1, 1, "ファイル名を元にサブフォルダに自動的に分類します"},
      {kFiles, 2, 1, "ファイル名を連番に変更します"},
      {kFiles, 3, 1, "選択したファイルのうち、条件に合うもののみを削除します"},
      {kFiles, 4, 1, nullptr},
      {kFolders, 0, 1, "選択したフォルダを一つのフォルダにまとめます"},
      {kFolders, 1, 1, nullptr},
      {kNothing, 0, 1, nullptr},
      {kFiles, 0, 0, nullptr},  // GCS_VERBA
      {kFiles, 0, 5, nullptr},  // GCS_HELPTEXTW
      {kFiles, 0, 4, nullptr},  // GCS_VERBW
      {kFolders, 0, 2, nullptr},  // GCS_VALIDATEA
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.offset) + " type " + std::to_string(c.type));
    platform::FakePlatform fake;
    platform::SystemApi& system = fake.System();
    RecordingMenu menus;
    ContextMenuModel model(menus, system, c.selection);
    char buffer[80];
    std::memset(buffer, '#', sizeof buffer);
    model.GetCommandString(c.offset, c.type, buffer, sizeof buffer);
    if (c.expected == nullptr) {
      EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));
    } else {
      EXPECT_BYTES(std::string(buffer), c.expected);
    }
  }
}

TEST(CopyTextToBuffer, NeverWritesPastTheSizeNorHalfACharacter) {
  const struct {
    const char* text;
    std::size_t size;
    std::string expected;  // followed by its zero; everything after is untouched
  } cases[] = {
      {"abc", 0, "#"},   {"abc", 1, ""},    {"abc", 3, "ab"},   {"abc", 4, "abc"}, {"abc", 9, "abc"},
      {"ファイル", 2, ""},  {"ファイル", 3, "フ"}, {"ファイル", 4, "フ"}, {"ファイル", 9, "ファイル"},
      {"aフb", 3, "a"},   {"aフb", 4, "aフ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Readable(c.text) + " in " + std::to_string(c.size));
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    shellext::CopyTextToBuffer(c.text, buffer, c.size);
    if (c.size == 0) {
      EXPECT_EQ(buffer[0], '#');
      continue;
    }
    EXPECT_BYTES(std::string(buffer), c.expected);
    EXPECT_EQ(buffer[c.expected.size() + 1], '#');
  }
}

}  // namespace
}  // namespace ov::test
