// Reading the CF_HDROP block and what is left out of the selection: the list as its bytes
// give it (malformed ones included), paths too long for the ANSI functions, the submenu of
// a selection with left-out items, and the one box that names them before a tool opens.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shellext/menu/context_menu_model.h"
#include "shellext/menu/drop_list.h"
#include "shellext/menu/left_out.h"
#include "shellext/menu/selection.h"
#include "shellext/recording_menu.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::test {
namespace {

using shellext::DropList;
using shellext::ItemKind;
using shellext::LeftOutItem;
using shellext::LeftOutReason;
using shellext::Selection;
using shellext::SelectionList;

std::string Header(std::uint32_t listAt, bool wide) {
  std::string header(20, '\0');
  for (int i = 0; i < 4; ++i) header[static_cast<std::size_t>(i)] = static_cast<char>(listAt >> (8 * i));
  header[16] = wide ? 1 : 0;
  return header;
}

std::string Utf16(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

TEST(ReadDropList, PathsWithinTheBlock) {
  const std::string z(1, '\0');
  const std::string zz(2, '\0');
  struct Case {
    const char* what;
    std::string block;
    bool read;
    std::vector<std::string> ansi;
    std::vector<std::u16string> wide;
  };
  const std::vector<Case> cases = {
      {"ANSI", Header(20, false) + "C:\\表" + z + "C:\\b" + z + z, true, {"C:\\表", "C:\\b"}, {}},
      {"ANSI after a gap", Header(24, false) + "xxxx" + "C:\\a" + z + z, true, {"C:\\a"}, {}},
      {"ANSI without the final zero", Header(20, false) + "C:\\a" + z + "C:\\b" + z, true, {"C:\\a", "C:\\b"}, {}},
      {"ANSI last path without its zero", Header(20, false) + "C:\\a" + z + "C:\\b", true, {"C:\\a", "C:\\b"}, {}},
      {"ANSI empty list", Header(20, false) + z + z, true, {}, {}},
      {"wide", Header(20, true) + Utf16(u"C:\\\u00A5") + zz + Utf16(u"C:\\\uD55C") + zz + zz, true, {},
       {u"C:\\\u00A5", u"C:\\\uD55C"}},
      {"wide at an odd offset", Header(21, true) + "x" + Utf16(u"C:\\a") + zz + zz, true, {}, {u"C:\\a"}},
      {"wide last unit cut in half", Header(20, true) + Utf16(u"C:\\ab") + "c", true, {}, {u"C:\\ab"}},
      {"wide without the final zero", Header(20, true) + Utf16(u"C:\\a") + zz + Utf16(u"C:\\b"), true, {},
       {u"C:\\a", u"C:\\b"}},
      {"header only", Header(20, false), false, {}, {}},
      {"shorter than the header", Header(20, false).substr(0, 19), false, {}, {}},
      {"list inside the header", Header(4, false) + "C:\\a" + z + z, false, {}, {}},
      {"list beyond the block", Header(0x7FFFFFF0, true) + Utf16(u"C:\\a") + zz, false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DropList list;
    // An exact-size copy: a read beyond the block shows under the sanitizers.
    const std::vector<std::uint8_t> block(c.block.begin(), c.block.end());
    EXPECT_EQ(shellext::ReadDropList(block.data(), block.size(), list), c.read);
    EXPECT_EQ(list.ansi, c.ansi);
    EXPECT_EQ(list.widePaths, c.wide);
  }
}

// ANSI paths of 259 bytes are read; longer ones are left out, never cut (their first 259
// bytes would name the 259-byte file), with what they are for the submenu.
TEST(Selection, PathsOver259BytesAreLeftOutWithTheirKind) {
  platform::FakePlatform fake;
  const std::string folder = "C:\\" + std::string(200, 'd') + "\\";
  fake.Files().MakeFolders(folder);
  const std::string at259 = folder + std::string(259 - folder.size(), 'f');
  const std::string at260 = at259 + "f";
  const std::string over = at259 + "表表";
  const std::string longFolder = at259 + "dd";
  for (const std::string& file : {at259, at260, over}) fake.Files().PutFile(file, "x");
  fake.Files().MakeFolders(longFolder);
  Selection selection;
  for (const std::string& path : {at260, at259, over, longFolder, folder + std::string(300, 'm')}) {
    shellext::AddSelectedPath(fake.Files(), path, selection);
  }
  EXPECT_EQ(selection.files, SelectionList{at259});
  EXPECT_TRUE(selection.folders.empty());
  ASSERT_EQ(selection.leftOut.size(), 4u);
  const std::vector<std::pair<std::string, ItemKind>> expected = {
      {at260, ItemKind::kFile}, {over, ItemKind::kFile}, {longFolder, ItemKind::kFolder},
      {folder + std::string(300, 'm'), ItemKind::kUnknown}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_BYTES(selection.leftOut[i].shown, expected[i].first);
    EXPECT_EQ(selection.leftOut[i].reason, LeftOutReason::kTooLong);
    EXPECT_EQ(selection.leftOut[i].kind, expected[i].second);
  }
}

LeftOutItem Characters(const std::string& shown, ItemKind kind = ItemKind::kFile) {
  return {shown, LeftOutReason::kCharacters, kind};
}
LeftOutItem TooLong(const std::string& shown, ItemKind kind = ItemKind::kFile) {
  return {shown, LeftOutReason::kTooLong, kind};
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

const char kFirstLines[] = "選択された項目のうち、次のものは名前を正しく扱えないため対象から外しました。\r\n"
                           "残りの項目だけを処理します。\r\n";

TEST(LeftOutMessage, NamesEachItemUnderItsReason) {
  std::vector<LeftOutItem> twelve;
  for (int i = 0; i < 12; ++i) twelve.push_back(Characters("C:\\?" + std::to_string(i)));
  twelve.push_back(TooLong("C:\\long"));
  const std::string huge = "C:\\" + std::string(596, 'x') + "表表";  // 600 bytes end inside the first 表
  // Lines of up to 40 bytes; 表's second byte is 0x5C, and no separator.
  const std::string wrapped = "C:\\" + std::string(30, 'a') + "\\" + std::string(30, 'b') + "\\" + Repeat("表", 15) + ".txt";
  const struct {
    const char* what;
    std::vector<LeftOutItem> items;
    std::string rest;  // after the first two lines
  } cases[] = {
      {"one", {Characters("C:\\w\\?500.txt")}, "\r\nシフトJISで表せない文字を含む名前：\r\n  C:\\w\\?500.txt"},
      {"both reasons, in Explorer's order within each",
       {TooLong("C:\\表\\long"), Characters("C:\\?.txt"), Characters("C:\\?2024\\1.jpg")},
       "\r\nシフトJISで表せない文字を含む名前：\r\n  C:\\?.txt\r\n  C:\\?2024\\1.jpg"
       "\r\n259バイトを超える長いパス：\r\n  C:\\表\\long"},
      {"more than ten",
       twelve,
       "\r\nシフトJISで表せない文字を含む名前：\r\n  C:\\?0\r\n  C:\\?1\r\n  C:\\?2\r\n  C:\\?3\r\n  C:\\?4"
       "\r\n  C:\\?5\r\n  C:\\?6\r\n  C:\\?7\r\n  C:\\?8\r\n  C:\\?9\r\n  ほか 2 件"
       "\r\n259バイトを超える長いパス：\r\n  ほか 1 件"},
      {"long paths over several lines: after a separator, else between two characters",
       {TooLong(wrapped), TooLong("C:\\" + Repeat("表", 40))},
       "\r\n259バイトを超える長いパス：\r\n  C:\\" + std::string(30, 'a') + "\\\r\n    " + std::string(30, 'b') +
           "\\\r\n    " + Repeat("表", 15) + ".txt\r\n  C:\\" + Repeat("表", 18) + "\r\n    " + Repeat("表", 20) +
           "\r\n    " + Repeat("表", 2)},
      {"a path of megabytes shows its start", {TooLong(huge)},
       "\r\n259バイトを超える長いパス：\r\n  C:\\" + std::string(37, 'x') + Repeat("\r\n    " + std::string(40, 'x'), 13) +
           "\r\n    " + std::string(39, 'x') + "..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_BYTES(shellext::LeftOutMessage(c.items), kFirstLines + c.rest);
  }
}

// A left-out item counts as what it is: with a folder among files (or a file among folders)
// the selection gets no submenu; an item of unknown kind does not stand in the way.
TEST(LeftOut, MixedSelectionsGetNoSubmenu) {
  const struct {
    const char* what;
    Selection selection;
    std::uint16_t added;
  } cases[] = {
      {"files and a left-out file", {{"C:\\a.txt"}, {}, {Characters("C:\\?.txt")}}, 5},
      {"files and a left-out folder", {{"C:\\a.txt"}, {}, {Characters("C:\\?A", ItemKind::kFolder)}}, 0},
      {"files and a left-out item of unknown kind", {{"C:\\a.txt"}, {}, {TooLong("C:\\l", ItemKind::kUnknown)}}, 5},
      {"folders and a left-out folder", {{}, {"C:\\B"}, {Characters("C:\\?A", ItemKind::kFolder)}}, 2},
      {"folders and a left-out file", {{}, {"C:\\B"}, {Characters("C:\\?.txt")}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform::FakePlatform fake;
    RecordingMenu menus;
    shellext::ContextMenuModel model(menus, fake.System(), c.selection);
    EXPECT_EQ(model.QueryContextMenu(1, 0, 10, 20, 0), c.added);
  }
}

std::vector<std::string> events;

void RecordTool(shellext::ToolContext& context, const SelectionList& selection, std::uintptr_t) {
  auto& ui = static_cast<ui::headless::HeadlessBackend&>(context.ui);
  events.push_back("tool after " + std::to_string(ui.MessageBoxes().size()) + " box(es) with " +
                   std::to_string(selection.size()) + " path(s)");
}

// The box comes once, before the tool and owned by Explorer's window, only when a tool opens.
TEST(LeftOut, OneBoxBeforeTheToolOpens) {
  const shellext::CommandTable tools = {{RecordTool, RecordTool, RecordTool, RecordTool}, RecordTool};
  const shellext::CommandTable noTools = {{nullptr, nullptr, nullptr, nullptr}, nullptr};
  const Selection files = {{"C:\\b.txt", "C:\\a.txt"}, {}, {Characters("C:\\?.txt")}};
  const Selection folders = {{}, {"C:\\B"}, {Characters("C:\\?A", ItemKind::kFolder)}};
  const Selection clean = {{"C:\\a.txt"}, {}, {}};
  const struct {
    const char* what;
    const Selection& selection;
    std::uintptr_t verb;
    const shellext::CommandTable& table;
    std::vector<std::string> events;
    const char* caption;  // of the box; null: none
  } cases[] = {
      {"file tool", files, 3, tools, {"tool after 1 box(es) with 2 path(s)"}, "ファイルの整理"},
      {"folder combine", folders, 0, tools, {"tool after 1 box(es) with 1 path(s)"}, "フォルダの整理"},
      {"nothing left out", clean, 0, tools, {"tool after 0 box(es) with 1 path(s)"}, nullptr},
      {"offset without a tool", files, 4, tools, {}, nullptr},
      {"verb text", files, 0x401000, tools, {}, nullptr},
      {"tool not built", files, 1, noTools, {}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    events.clear();
    platform::FakePlatform platform;
    ui::headless::HeadlessBackend ui;
    RecordingMenu menus;
    shellext::ToolContext context{platform, ui};
    shellext::ContextMenuModel model(menus, platform.System(), c.selection);
    model.InvokeCommand(c.verb, 0x55, c.table, context);
    EXPECT_EQ(events, c.events);
    ASSERT_EQ(ui.MessageBoxes().size(), c.caption != nullptr ? 1u : 0u);
    if (c.caption == nullptr) continue;
    const ui::headless::MessageBoxRecord& box = ui.MessageBoxes()[0];
    EXPECT_BYTES(box.caption, c.caption);
    EXPECT_BYTES(box.text, shellext::LeftOutMessage(c.selection.leftOut));
    EXPECT_EQ(box.owner, 0x55u);
    EXPECT_EQ(box.style, ui::kMbOk | ui::kMbIconExclamation);
  }
}

}  // namespace
}  // namespace ov::test
