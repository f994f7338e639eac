// Each of the five tools along a user's whole path under Wine: real files with distinct
// contents, a CF_HDROP selection handed to the registered ovshellex.dll, the context menu
// built into a real popup and read back, the chosen command invoked with the host's window,
// and a second thread that plays the user on the dialog. Afterwards every folder involved is
// read back whole: each original content exists exactly once, under the expected name, and
// nothing else is there. The names carry double-byte characters whose second byte is 0x5C
// (表 ソ 能 十 予 申), in the names and in the folder that holds them; some files are
// read-only; some paths reach the 260-byte limit.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/folder_tree.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

using Names = std::vector<std::string>;
// Relative path ("sub\name" for files in sub-folders, "sub\" for a folder) -> contents.
using Tree = FolderTree;

const char kFilesMenu[] = "ファイルの整理";
const char kFoldersMenu[] = "フォルダの整理";
const char kRenameFailed[] = "リネームに失敗しました";
const char kTempNameFailed[] = "一時的なファイル名の生成に失敗しました";
constexpr UINT kFirstId = 0x7000;

// Every byte pair here is a double-byte character whose second byte is 0x5C.
static_assert(sizeof("表ソ能十予申") == 13, "six double-byte characters");

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

Names ListBoxItems(HWND list) {
  Names items;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[MAX_PATH] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    items.push_back(buffer);
  }
  return items;
}

int RowCount(const DialogUser& user) { return static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0)); }

// "first column -> second column" for every row, in row order.
Names Rows(const DialogUser& user) {
  Names rows;
  for (int row = 0; row < RowCount(user); ++row) rows.push_back(user.Cell(row, 0) + " -> " + user.Cell(row, 1));
  return rows;
}

void SelectRow(const DialogUser& user, int row) {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(user.List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

// The first single-line field of the conditional delete dialog: EditStr.
HWND StringField(const DialogUser& user) {
  for (HWND edit : user.Children("Edit")) {
    if ((GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE) == 0) return edit;
  }
  return nullptr;
}

class EndToEnd : public RegisteredModuleTest {
 protected:
  void SetUp() override {
    RegisteredModuleTest::SetUp();
    // The folder itself ends in 能 (0x94 0x5C): its trailing "\" follows a trail byte 0x5C.
    work_ = scratch_.Path() + "表ソ能\\";
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
  }
  void TearDown() override { RemoveFolderTree(work_); }

  // A file in the work folder (or a sub-folder of it) whose contents name it.
  std::string Put(const std::string& relative, bool readOnly = false) {
    const std::string path = work_ + relative;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << Readable(path) << " error " << GetLastError();
    const std::string contents = "was " + relative;
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    if (readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    return path;
  }
  std::string MakeFolder(const std::string& relative) {
    const std::string path = work_ + relative;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << Readable(path) << " error " << GetLastError();
    return path;
  }

  // Explorer's part for one command: the selection, the menu in a real popup (the command
  // looked up by its text under the submenu, at its offset), InvokeCommand with the host's
  // own window, while the user plays the dialog of that caption on a thread of its own.
  // The user's script may leave the dialog open; it is then closed without executing.
  void Invoke(const Names& selection, const char* submenu, const char* item, UINT offset, const char* caption,
              const std::function<void(DialogUser&)>& script) {
    DropDataObject data(selection);
    ContextMenuHost host;
    ASSERT_EQ(host.Open(kShellExtClassId, nullptr, &data), S_OK);

    MenuOwner menu;
    AppendMenuA(menu.Get(), MF_STRING, 1, "開く");
    const HRESULT added = host.Query(menu.Get(), 1, kFirstId, kFirstId + 0x100, CMF_NORMAL);
    ASSERT_EQ(added, MAKE_HRESULT(SEVERITY_SUCCESS, 0, std::string(submenu) == kFilesMenu ? 5 : 2));
    const std::vector<MenuEntry> entries = ReadMenu(menu.Get());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries[1].separator);
    EXPECT_BYTES(entries[2].text, submenu);
    ASSERT_GT(entries[2].submenu.size(), offset);
    EXPECT_BYTES(entries[2].submenu[offset].text, item);
    EXPECT_EQ(entries[2].submenu[offset].id, kFirstId + offset);

    HostWindow explorer;
    ASSERT_NE(explorer.Get(), nullptr);
    Play play{caption, script, explorer.Get()};
    const Played played = InvokeWhileUserPlays(host, entries[2].submenu[offset].id - kFirstId, explorer.Get(),
                                               [&](const auto&) { PlayUser(play); }, 60000);
    ExpectPlayedThrough(played);
    EXPECT_TRUE(play.found) << "the dialog " << Readable(caption) << " never showed";
    EXPECT_TRUE(play.ownedByExplorer);
    EXPECT_TRUE(play.closedByScript) << "the dialog stayed open after the user's last step";
  }

  struct Play {
    const char* caption;
    std::function<void(DialogUser&)> script;
    HWND explorer;
    bool found = false;
    bool ownedByExplorer = false;
    bool closedByScript = false;
  };

  static void PlayUser(Play& play) {
    DialogUser user;
    play.found = user.Find(play.caption);
    if (!play.found) return;
    play.ownedByExplorer = GetWindow(user.Dialog(), GW_OWNER) == play.explorer;
    play.script(user);
    HWND dialog = user.Dialog();
    play.closedByScript = Await([&] { return !IsWindow(dialog); });
  }

  // Presses a button whose handler runs the tool's work (and maybe message boxes) on the
  // dialog's thread, then collects every message box that comes until the dialog closes.
  // The answer is the command sent to each box (OK, or No to a question of the shell).
  static Names ExecuteAndAnswer(DialogUser& user, const std::string& button, WPARAM answer = IDOK) {
    Names boxes;
    HWND dialog = user.Dialog();
    HWND answered = nullptr;
    user.PostClick(user.Button(button));
    Await([&] {
      if (HWND box = MessageBoxOn(dialog)) {
        // A box still there after its answer (a slow machine) is the same box, not another.
        if (box != answered) boxes.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
        answered = box;
        PostMessageA(box, WM_COMMAND, answer, 0);
        Await([&] { return !IsWindow(box); });
      }
      return !IsWindow(dialog);
    });
    return boxes;
  }

  std::string work_;
};

// Bulk rename: number removal and an extension line typed by the user; a name held outside
// the selection is painted red and its rename is refused with the rename message; the
// read-only file is renamed and stays read-only.
TEST_F(EndToEnd, BulkRenameRemovesNumbersAndMapsExtensions) {
  const Names selection = {Put("表紙-001.jpeg"), Put("ソース-12.txt"), Put("能力-3.JPEG"), Put("予定.txt"),
                           Put("申請-7.txt", true), Put("十-1.txt")};
  Put("十.txt");  // outside the selection
  Names opened, preview, table, boxes;
  std::vector<int> red;
  Invoke(selection, kFilesMenu, "ファイル名の一括処理", 0, "ファイル名の一括変更", [&](DialogUser& user) {
    opened = Rows(user);
    user.Click(user.Button("ファイル名からの数字の除去"));
    user.Type(user.FieldRightOf("変換前"), "jpeg");
    user.Type(user.FieldRightOf("変換後"), "jpg");
    user.Click(user.Button("追加"));
    table = ListBoxItems(user.Children("ListBox").at(0));
    user.Click(user.Button("拡張子統一"));
    preview = Rows(user);
    red = user.RedRows(1);
    boxes = ExecuteAndAnswer(user, "実行");
  });
  // Rows in the order of the name comparison; defaults change nothing.
  const Names names = {"ソース-12.txt", "表紙-001.jpeg", "申請-7.txt", "能力-3.JPEG", "予定.txt", "十-1.txt"};
  ASSERT_EQ(opened.size(), names.size());
  for (const std::string& row : opened) {
    const std::string name = row.substr(0, row.find(" -> "));
    EXPECT_BYTES(row, name + " -> " + name);
  }
  EXPECT_EQ(table, Names{".jpeg=.jpg"});
  const std::map<std::string, std::string> expected = {
      {"表紙-001.jpeg", "表紙.jpg"}, {"ソース-12.txt", "ソース.txt"}, {"能力-3.JPEG", "能力.jpg"},
      {"予定.txt", "予定.txt"},      {"申請-7.txt", "申請.txt"},      {"十-1.txt", "十.txt"}};
  ASSERT_EQ(preview.size(), expected.size());
  int redRow = -1;
  for (std::size_t row = 0; row < preview.size(); ++row) {
    const std::string name = preview[row].substr(0, preview[row].find(" -> "));
    ASSERT_EQ(expected.count(name), 1u) << Readable(name);
    EXPECT_BYTES(preview[row], name + " -> " + expected.at(name));
    if (name == "十-1.txt") redRow = static_cast<int>(row);
  }
  EXPECT_EQ(red, std::vector<int>{redRow});
  std::string shown;
  for (const std::string& box : boxes) shown += "\n  " + Readable(box);
  ASSERT_EQ(boxes.size(), 1u) << "boxes:" << shown;
  EXPECT_BYTES(boxes[0], std::string(kRenameFailed) + "\r\nFrom: 十-1.txt\r\nTo: 十.txt");

  EXPECT_FOLDER_TREE(work_, (Tree{{"表紙.jpg", "was 表紙-001.jpeg"},
                           {"ソース.txt", "was ソース-12.txt"},
                           {"能力.jpg", "was 能力-3.JPEG"},
                           {"予定.txt", "was 予定.txt"},
                           {"申請.txt", "was 申請-7.txt"},
                           {"十-1.txt", "was 十-1.txt"},
                           {"十.txt", "was 十.txt"}}));
  EXPECT_TRUE(IsReadOnly(work_ + "申請.txt"));
}

// Edits a row's caption in place as the user does: the label edit opened on the row, the
// text typed, Enter pressed (posted, since confirming may open a message box).
void EditCaption(const DialogUser& user, int row, const std::string& text) {
  HWND edit = reinterpret_cast<HWND>(SendMessageA(user.List(), LVM_EDITLABELA, static_cast<WPARAM>(row), 0));
  ASSERT_NE(edit, nullptr);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

int RowOf(const DialogUser& user, const std::string& caption) {
  for (int row = 0; row < RowCount(user); ++row) {
    if (user.Cell(row, 0) == caption) return row;
  }
  return -1;
}

// Series classification: the user renames one series in place (a name another row bears is
// refused with its message first); executing makes one folder per series next to the
// files, the read-only member moved with the others, a name without a series left where it
// was.
TEST_F(EndToEnd, SeriesMovesEachSeriesIntoItsFolder) {
  const Names selection = {Put("表-01.jpg"), Put("表-02.jpg"), Put("表-03.jpg", true), Put("ソフト_1.txt"),
                           Put("ソフト_2.txt"), Put("十(1).doc"), Put("0001.jpg")};
  Names rows, renamed;
  std::string refusal;
  Invoke(selection, kFilesMenu, "ファイル名による自動分類", 1, "ファイル名による自動分類", [&](DialogUser& user) {
    rows = Rows(user);
    const int row = RowOf(user, "十");
    if (row < 0) return;
    EditCaption(user, row, "表");
    refusal = user.AnswerBox();
    EditCaption(user, row, "予定");
    Await([&] { return user.Cell(row, 0) == "予定"; });
    renamed = Rows(user);
    ExecuteAndAnswer(user, "実行");
  });
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (Names{"ソフト -> 2", "十 -> 1", "表 -> 3"}));
  EXPECT_BYTES(refusal, "そのシリーズ名はすでに存在します。");
  std::sort(renamed.begin(), renamed.end());
  EXPECT_EQ(renamed, (Names{"ソフト -> 2", "表 -> 3", "予定 -> 1"}));
  EXPECT_FOLDER_TREE(work_, (Tree{{"0001.jpg", "was 0001.jpg"},
                           {"表\\", ""},
                           {"表\\表-01.jpg", "was 表-01.jpg"},
                           {"表\\表-02.jpg", "was 表-02.jpg"},
                           {"表\\表-03.jpg", "was 表-03.jpg"},
                           {"ソフト\\", ""},
                           {"ソフト\\ソフト_1.txt", "was ソフト_1.txt"},
                           {"ソフト\\ソフト_2.txt", "was ソフト_2.txt"},
                           {"予定\\", ""},
                           {"予定\\十(1).doc", "was 十(1).doc"}}));
  EXPECT_TRUE(IsReadOnly(work_ + "表\\表-03.jpg"));
}

// A series whose folder name is taken by a plain file: the folder can neither be made nor
// found, so that series stays where it is, without a message; the other series still move.
TEST_F(EndToEnd, SeriesWhoseFolderNameIsAFileStaysInPlace) {
  const Names selection = {Put("能-1.txt"), Put("能-2.txt"), Put("申_1.txt")};
  Put("能");  // outside the selection, a file without extension
  Names boxes;
  Invoke(selection, kFilesMenu, "ファイル名による自動分類", 1, "ファイル名による自動分類", [&](DialogUser& user) {
    boxes = ExecuteAndAnswer(user, "実行");
  });
  EXPECT_EQ(boxes, Names{});
  EXPECT_FOLDER_TREE(work_, (Tree{{"能", "was 能"},
                           {"能-1.txt", "was 能-1.txt"},
                           {"能-2.txt", "was 能-2.txt"},
                           {"申\\", ""},
                           {"申\\申_1.txt", "was 申_1.txt"}}));
}

// Renumber: the user moves the first row down and types a base name; the new names are
// partly held by a read-only file of the selection, which is moved aside through a
// temporary name drawn in the 0x5C folder and renamed last. No temporary file is left.
TEST_F(EndToEnd, RenumberRotatesThroughATemporaryName) {
  const Names selection = {Put("a表.txt"), Put("bソ.txt"), Put("c能.dat"), Put("予定1.txt", true)};
  Names opened, preview;
  bool upEnabled = true;
  Invoke(selection, kFilesMenu, "ファイル名のリナンバリング", 2, "ファイル名のリナンバリング", [&](DialogUser& user) {
    opened = Rows(user);
    SelectRow(user, 0);
    upEnabled = IsWindowEnabled(user.Button("上へ")) != FALSE;
    user.Click(user.Button("下へ"));
    user.Type(user.FieldRightOf("基底ファイル名"), "予定");
    preview = Rows(user);
    EXPECT_EQ(user.RedRows(1), std::vector<int>{});
    EXPECT_EQ(ExecuteAndAnswer(user, "実行"), Names{});
  });
  EXPECT_EQ(opened, (Names{"a表.txt -> 1.txt", "bソ.txt -> 2.txt", "c能.dat -> 3.dat", "予定1.txt -> 4.txt"}));
  EXPECT_FALSE(upEnabled);
  EXPECT_EQ(preview,
            (Names{"bソ.txt -> 予定1.txt", "a表.txt -> 予定2.txt", "c能.dat -> 予定3.dat", "予定1.txt -> 予定4.txt"}));
  EXPECT_FOLDER_TREE(work_, (Tree{{"予定1.txt", "was bソ.txt"},
                           {"予定2.txt", "was a表.txt"},
                           {"予定3.dat", "was c能.dat"},
                           {"予定4.txt", "was 予定1.txt"}}));
  EXPECT_TRUE(IsReadOnly(work_ + "予定4.txt"));
}

// Conditional delete: a plain "\" must not be found inside 表 or ソ (their second byte), so
// with "any one" only the names holding 能 are red; they are deleted for good and the
// others keep their contents.
TEST_F(EndToEnd, ConditionalDeleteRemovesOnlyTheRedFiles) {
  const Names selection = {Put("表紙.txt"), Put("能力.txt"), Put("機能.log"), Put("十分.txt"), Put("ソ.txt")};
  std::vector<int> redBefore, red;
  Names rows, strings;
  Invoke(selection, kFilesMenu, "条件指定つきファイル削除", 3, "条件付きファイル削除", [&](DialogUser& user) {
    redBefore = user.RedRows(0);
    for (int row = 0; row < RowCount(user); ++row) rows.push_back(user.Cell(row, 0));
    user.Click(user.Button("どれか一つ"));
    for (const char* text : {"\\", "能"}) {
      user.Type(StringField(user), text);
      user.Click(user.Button("追加"));
    }
    strings = ListBoxItems(user.Children("ListBox").at(0));
    user.Click(user.Button("ゴミ箱を使用する"));
    red = user.RedRows(0);
    EXPECT_EQ(ExecuteAndAnswer(user, "OK"), Names{});
  });
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(redBefore, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(strings, (Names{"\\", "能"}));
  std::vector<int> expectedRed;
  for (int row = 0; row < 5; ++row) {
    if (rows[static_cast<std::size_t>(row)].find("能") != std::string::npos) expectedRed.push_back(row);
  }
  EXPECT_EQ(expectedRed.size(), 2u);
  EXPECT_EQ(red, expectedRed);
  EXPECT_FOLDER_TREE(work_, (Tree{{"表紙.txt", "was 表紙.txt"}, {"十分.txt", "was 十分.txt"}, {"ソ.txt", "was ソ.txt"}}));
}

// Folder combine: three folders with 0x5C names, the user keeps ソフト; the contents of the
// others, a sub-folder and a read-only file among them, move into it and the emptied
// folders are removed.
TEST_F(EndToEnd, FolderCombineMergesIntoTheChosenFolder) {
  const Names selection = {MakeFolder("表"), MakeFolder("ソフト"), MakeFolder("十")};
  MakeFolder("表\\能");
  Put("表\\a.txt");
  Put("表\\能\\b.txt");
  Put("ソフト\\c.txt");
  Put("十\\申.txt", true);
  Names offered;
  Invoke(selection, kFoldersMenu, "フォルダをまとめる", 0, "新しいフォルダ名の選択", [&](DialogUser& user) {
    HWND combo = user.Children("ComboBox").at(0);
    offered = ComboItems(combo);
    const auto kept = std::find(offered.begin(), offered.end(), "ソフト");
    if (kept == offered.end()) return;
    ChooseComboItem(combo, static_cast<int>(kept - offered.begin()));
    ExecuteAndAnswer(user, "OK");
  });
  Names sorted = offered;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (Names{"ソフト", "十", "表"}));
  EXPECT_FOLDER_TREE(work_, (Tree{{"ソフト\\", ""},
                           {"ソフト\\a.txt", "was 表\\a.txt"},
                           {"ソフト\\能\\", ""},
                           {"ソフト\\能\\b.txt", "was 表\\能\\b.txt"},
                           {"ソフト\\c.txt", "was ソフト\\c.txt"},
                           {"ソフト\\申.txt", "was 十\\申.txt"}}));
  EXPECT_TRUE(IsReadOnly(work_ + "ソフト\\申.txt"));
}

// Folder combine cancelled in the choice dialog: every folder stays as it was.
TEST_F(EndToEnd, FolderCombineCancelledChangesNothing) {
  const Names selection = {MakeFolder("表"), MakeFolder("ソ")};
  Put("表\\a.txt");
  Put("ソ\\b.txt");
  Invoke(selection, kFoldersMenu, "フォルダをまとめる", 0, "新しいフォルダ名の選択", [&](DialogUser& user) {
    ExecuteAndAnswer(user, "Cancel");
  });
  EXPECT_FOLDER_TREE(work_, (Tree{{"表\\", ""}, {"表\\a.txt", "was 表\\a.txt"}, {"ソ\\", ""}, {"ソ\\b.txt", "was ソ\\b.txt"}}));
}

// Folder combine onto a name the target holds already. Windows asks about the collision;
// the user answers No, so that file stays in its source folder, which therefore stays too.
// Wine's shell would replace it without asking: the file stays all the same, and the tool
// says so. Either way each content exists exactly once.
TEST_F(EndToEnd, FolderCombineWithACollisionLosesNothing) {
  const Names selection = {MakeFolder("表"), MakeFolder("ソ")};
  Put("表\\a.txt");
  Put("ソ\\a.txt");
  Put("ソ\\b.txt");
  Names boxes;
  Invoke(selection, kFoldersMenu, "フォルダをまとめる", 0, "新しいフォルダ名の選択", [&](DialogUser& user) {
    HWND combo = user.Children("ComboBox").at(0);
    const Names offered = ComboItems(combo);
    const auto kept = std::find(offered.begin(), offered.end(), "表");
    if (kept == offered.end()) return;
    ChooseComboItem(combo, static_cast<int>(kept - offered.begin()));
    boxes = ExecuteAndAnswer(user, "OK", IDNO);
  });
  if (RunningUnderWine()) {
    EXPECT_EQ(boxes, Names{"移動に失敗しました\r\nFrom: " + work_ + "ソ\\a.txt\r\nTo: " + work_ + "表\\a.txt"});
  }
  EXPECT_FOLDER_TREE(work_, (Tree{{"表\\", ""}, {"表\\a.txt", "was 表\\a.txt"}, {"表\\b.txt", "was ソ\\b.txt"}, {"ソ\\", ""},
                           {"ソ\\a.txt", "was ソ\\a.txt"}}));
}

// Regular expressions and output formats that hold 表 and ソ: their second byte is no
// escape in the pattern and no backslash in the format.
TEST_F(EndToEnd, BulkRenameRegularExpressionWithDoubleByteCharacters) {
  const Names selection = {Put("予定表12.txt"), Put("ア表3.txt"), Put("plain.txt")};
  Names preview;
  Invoke(selection, kFilesMenu, "ファイル名の一括処理", 0, "ファイル名の一括変更", [&](DialogUser& user) {
    user.Click(user.Button("正規表現"));
    user.Type(user.FieldRightOf("パターン"), "(.*)表(\\d+)");
    user.Type(user.FieldRightOf("出力フォーマット"), "$2ソ$1");
    preview = Rows(user);
    EXPECT_EQ(ExecuteAndAnswer(user, "実行"), Names{});
  });
  std::sort(preview.begin(), preview.end());
  EXPECT_EQ(preview, (Names{"plain.txt -> plain.txt", "ア表3.txt -> 3ソア.txt", "予定表12.txt -> 12ソ予定.txt"}));
  EXPECT_FOLDER_TREE(work_, (Tree{{"12ソ予定.txt", "was 予定表12.txt"}, {"3ソア.txt", "was ア表3.txt"},
                           {"plain.txt", "was plain.txt"}}));
}

// Lower case for everything: the ASCII letters change, the double-byte characters do not,
// not even ア whose second byte is the code of "A".
TEST_F(EndToEnd, RenumberLowerCaseKeepsDoubleByteCharacters) {
  const Names selection = {Put("表.TXT"), Put("ソ.TXT")};
  Names preview;
  Invoke(selection, kFilesMenu, "ファイル名のリナンバリング", 2, "ファイル名のリナンバリング", [&](DialogUser& user) {
    user.Type(user.FieldRightOf("基底ファイル名"), "アBC表");
    user.Click(user.Button("小文字に統一する"));
    preview = Rows(user);
    EXPECT_EQ(ExecuteAndAnswer(user, "実行"), Names{});
  });
  ASSERT_EQ(preview.size(), 2u);
  EXPECT_BYTES(preview[0].substr(preview[0].find(" -> ") + 4), "アbc表1.txt");
  EXPECT_BYTES(preview[1].substr(preview[1].find(" -> ") + 4), "アbc表2.txt");
  const std::string first = preview[0].substr(0, preview[0].find(" -> "));
  const std::string second = preview[1].substr(0, preview[1].find(" -> "));
  EXPECT_FOLDER_TREE(work_, (Tree{{"アbc表1.txt", "was " + first}, {"アbc表2.txt", "was " + second}}));
}

// A regular-expression condition holding 表: it matches the character, not a backslash.
TEST_F(EndToEnd, ConditionalDeleteRegularExpressionWithDoubleByteCharacters) {
  const Names selection = {Put("表1.txt"), Put("表.txt"), Put("十2.txt")};
  std::vector<int> red;
  Names rows;
  Invoke(selection, kFilesMenu, "条件指定つきファイル削除", 3, "条件付きファイル削除", [&](DialogUser& user) {
    for (int row = 0; row < RowCount(user); ++row) rows.push_back(user.Cell(row, 0));
    user.Type(StringField(user), "表\\d");
    user.Click(user.Button("正規表現"));
    user.Click(user.Button("追加"));
    user.Click(user.Button("ゴミ箱を使用する"));
    red = user.RedRows(0);
    EXPECT_EQ(ExecuteAndAnswer(user, "OK"), Names{});
  });
  const auto at = std::find(rows.begin(), rows.end(), "表1.txt");
  ASSERT_NE(at, rows.end());
  EXPECT_EQ(red, std::vector<int>{static_cast<int>(at - rows.begin())});
  EXPECT_FOLDER_TREE(work_, (Tree{{"表.txt", "was 表.txt"}, {"十2.txt", "was 十2.txt"}}));
}

// A read-only file among the red ones, each deleted by an operation of its own. Windows
// deletes it with the others: the flag that suppresses confirmations answers the shell's
// read-only question with yes. Wine's shell (8.0) refuses it, silently, and the others go.
// Either way no other file is touched.
TEST_F(EndToEnd, ConditionalDeleteWithARedReadOnlyFile) {
  const Names selection = {Put("表.tmp"), Put("能.tmp", true), Put("十.txt")};
  std::vector<int> red;
  Invoke(selection, kFilesMenu, "条件指定つきファイル削除", 3, "条件付きファイル削除", [&](DialogUser& user) {
    user.Type(StringField(user), ".tmp");
    user.Click(user.Button("追加"));
    user.Click(user.Button("ゴミ箱を使用する"));
    red = user.RedRows(0);
    ExecuteAndAnswer(user, "OK");
  });
  EXPECT_EQ(red.size(), 2u);
  if (RunningUnderWine()) {
    EXPECT_FOLDER_TREE(work_, (Tree{{"能.tmp", "was 能.tmp"}, {"十.txt", "was 十.txt"}}));
  } else {
    EXPECT_FOLDER_TREE(work_, (Tree{{"十.txt", "was 十.txt"}}));
  }
}

// A name of the given length in bytes: double-byte characters with a 0x5C second byte,
// then "x" up to the length, then the ending.
std::string LongName(std::size_t length, const std::string& ending) {
  std::string name;
  for (int i = 0; i < 10; ++i) name += "表";
  name += std::string(length - name.size() - ending.size(), 'x');
  return name + ending;
}

// A selected file whose full path is 259 bytes, the most a path may have: it is offered the
// file tools, listed whole, and renamed.
TEST_F(EndToEnd, PathOf259BytesIsSelectedAndRenamed) {
  const std::string longName = LongName(259 - work_.size(), "-1.txt");
  const std::string longPath = Put(longName);
  ASSERT_EQ(longPath.size(), 259u);
  const Names selection = {longPath, Put("予-2.txt")};
  Names preview;
  Invoke(selection, kFilesMenu, "ファイル名の一括処理", 0, "ファイル名の一括変更", [&](DialogUser& user) {
    user.Click(user.Button("ファイル名からの数字の除去"));
    preview = Rows(user);
    EXPECT_EQ(ExecuteAndAnswer(user, "実行"), Names{});
  });
  const std::string newName = longName.substr(0, longName.size() - 6) + ".txt";
  std::sort(preview.begin(), preview.end());
  Names expected = {longName + " -> " + newName, "予-2.txt -> 予.txt"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(preview, expected);
  EXPECT_FOLDER_TREE(work_, (Tree{{newName, "was " + longName}, {"予.txt", "was 予-2.txt"}}));
}

// New names beyond the path limit, typed as the base name. A full path of 260 bytes is
// refused by Windows (MAX_PATH); Wine (8.0) renames the file and it stays readable there,
// so under Wine the case pins that nothing is lost. A name part beyond 255 characters is
// refused by both: each rename is reported with its "From:" and "To:" lines, the run goes
// on, and both files keep their names.
TEST_F(EndToEnd, RenameBeyondThePathLimitIsReported) {
  struct Case {
    std::size_t pathLength;  // of the first new path, in bytes
    bool refused;
  };
  for (const Case& c : {Case{260, !RunningUnderWine()}, Case{work_.size() + 300, true}}) {
    SCOPED_TRACE(c.pathLength);
    const std::string base = LongName(c.pathLength - work_.size() - 5, "");
    const Names selection = {Put("申.txt"), Put("ソ.txt")};
    Names boxes;
    Invoke(selection, kFilesMenu, "ファイル名のリナンバリング", 2, "ファイル名のリナンバリング",
           [&](DialogUser& user) {
             user.Type(user.FieldRightOf("基底ファイル名"), base);
             EXPECT_EQ(Rows(user), (Names{"ソ.txt -> " + base + "1.txt", "申.txt -> " + base + "2.txt"}));
             boxes = ExecuteAndAnswer(user, "実行");
           });
    ASSERT_EQ((work_ + base + "1.txt").size(), c.pathLength);
    if (c.refused) {
      EXPECT_EQ(boxes, (Names{std::string(kRenameFailed) + "\r\nFrom: ソ.txt\r\nTo: " + base + "1.txt",
                              std::string(kRenameFailed) + "\r\nFrom: 申.txt\r\nTo: " + base + "2.txt"}));
      EXPECT_FOLDER_TREE(work_, (Tree{{"申.txt", "was 申.txt"}, {"ソ.txt", "was ソ.txt"}}));
    } else {
      EXPECT_EQ(boxes, Names{});
      EXPECT_FOLDER_TREE(work_, (Tree{{base + "1.txt", "was ソ.txt"}, {base + "2.txt", "was 申.txt"}}));
    }
    RemoveFolderTree(work_);
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
  }
}

// A folder so deep that a temporary name drawn in it would need 260 bytes. Windows refuses
// to draw it (GetTempFileNameA takes at most MAX_PATH - 14 characters): the move aside
// cannot start, the run stops with its message, and no file changes. Wine (8.0) draws it,
// and the rotation completes through it with nothing lost and no temporary file left.
TEST_F(EndToEnd, TemporaryNameInAFolderAtThePathLimit) {
  std::string deep = work_;
  for (int level = 0; deep.size() < 247; ++level) {
    const std::string part = level % 2 == 0 ? "ソ能十" : "d";
    std::string next = deep + part + std::string(std::min<std::size_t>(60, 247 - deep.size() - part.size()), 'd');
    ASSERT_TRUE(CreateDirectoryA(next.c_str(), nullptr)) << next.size() << " error " << GetLastError();
    deep = next + "\\";
  }
  ASSERT_EQ(deep.size(), 248u);  // 247 bytes and the separator
  const std::string relative = deep.substr(work_.size());
  const Names selection = {Put(relative + "x.txt"), Put(relative + "y1.txt")};
  Names boxes, preview;
  Invoke(selection, kFilesMenu, "ファイル名のリナンバリング", 2, "ファイル名のリナンバリング", [&](DialogUser& user) {
    user.Type(user.FieldRightOf("基底ファイル名"), "y");
    preview = Rows(user);
    boxes = ExecuteAndAnswer(user, "実行");
  });
  EXPECT_EQ(preview, (Names{"x.txt -> y1.txt", "y1.txt -> y2.txt"}));
  if (RunningUnderWine()) {
    EXPECT_EQ(boxes, Names{});
    EXPECT_EQ(ReadFolderTree(deep), (Tree{{"y1.txt", "was " + relative + "x.txt"}, {"y2.txt", "was " + relative + "y1.txt"}}));
  } else {
    EXPECT_EQ(boxes, Names{kTempNameFailed});
    EXPECT_EQ(ReadFolderTree(deep), (Tree{{"x.txt", "was " + relative + "x.txt"}, {"y1.txt", "was " + relative + "y1.txt"}}));
  }
}

// The conditional delete with the regular expression "a": it matches the "a" of data.txt
// and never the second byte of ア (0x83 "A") in アイ.txt, caseless as it is.
TEST_F(EndToEnd, ConditionalDeleteRegularExpressionMatchesWholeCharacters) {
  const Names selection = {Put("アイ.txt"), Put("data.txt"), Put("xyz.txt")};
  Put("area.txt");  // outside the selection
  std::vector<int> red;
  Names rows;
  Invoke(selection, kFilesMenu, "条件指定つきファイル削除", 3, "条件付きファイル削除", [&](DialogUser& user) {
    for (int row = 0; row < RowCount(user); ++row) rows.push_back(user.Cell(row, 0));
    user.Type(StringField(user), "a");
    user.Click(user.Button("正規表現"));
    user.Click(user.Button("追加"));
    user.Click(user.Button("ゴミ箱を使用する"));
    red = user.RedRows(0);
    EXPECT_EQ(ExecuteAndAnswer(user, "OK"), Names{});
  });
  const auto at = std::find(rows.begin(), rows.end(), "data.txt");
  ASSERT_NE(at, rows.end());
  EXPECT_EQ(red, std::vector<int>{static_cast<int>(at - rows.begin())});
  EXPECT_FOLDER_TREE(work_, (Tree{{"アイ.txt", "was アイ.txt"}, {"xyz.txt", "was xyz.txt"}, {"area.txt", "was area.txt"}}));
}

// Bulk rename in which two files get one new name that neither bears, after the first file
// freed its own: ta.txt becomes t.txt, ta1.txt takes ta.txt, and ta2.txt, wanting it too,
// is refused with the rename message. No file is left under a temporary name.
TEST_F(EndToEnd, BulkRenameSameNewNameForTwoFilesAfterTheNameWasFreed) {
  const Names selection = {Put("ta.txt"), Put("ta1.txt"), Put("ta2.txt")};
  Names preview, boxes;
  std::vector<int> red;
  Invoke(selection, kFilesMenu, "ファイル名の一括処理", 0, "ファイル名の一括変更", [&](DialogUser& user) {
    user.Click(user.Button("正規表現"));
    user.Type(user.FieldRightOf("パターン"), "^(?|(t)a|(ta)\\d)$");
    user.Type(user.FieldRightOf("出力フォーマット"), "$1");
    preview = Rows(user);
    red = user.RedRows(1);
    boxes = ExecuteAndAnswer(user, "実行");
  });
  EXPECT_EQ(preview, (Names{"ta.txt -> t.txt", "ta1.txt -> ta.txt", "ta2.txt -> ta.txt"}));
  EXPECT_EQ(red, std::vector<int>{});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_BYTES(boxes[0], std::string(kRenameFailed) + "\r\nFrom: ta2.txt\r\nTo: ta.txt");
  EXPECT_FOLDER_TREE(work_, (Tree{{"t.txt", "was ta.txt"}, {"ta.txt", "was ta1.txt"}, {"ta2.txt", "was ta2.txt"}}));
}

// New names that are no file names of the files' own folder: a format that climbs to the
// parent, and a device name. Every row is red and every rename refused with its message;
// the parent folder and the files stay as they were.
TEST_F(EndToEnd, BulkRenameNeverLeavesTheFolderNorNamesADevice) {
  MakeFolder("子");
  const Names selection = {Put("子\\a.txt"), Put("子\\b.txt")};
  Put("other.txt");  // in the parent, outside the selection
  const Tree before = ReadFolderTree(work_);
  for (const char* format : {"..\\\\$1", "CON"}) {
    SCOPED_TRACE(format);
    Names preview, boxes;
    std::vector<int> red;
    Invoke(selection, kFilesMenu, "ファイル名の一括処理", 0, "ファイル名の一括変更", [&](DialogUser& user) {
      user.Click(user.Button("正規表現"));
      user.Type(user.FieldRightOf("パターン"), "(.*)");
      user.Type(user.FieldRightOf("出力フォーマット"), format);
      preview = Rows(user);
      red = user.RedRows(1);
      boxes = ExecuteAndAnswer(user, "実行");
    });
    const std::string a = std::string(format) == "CON" ? "CON.txt" : "..\\a.txt";
    const std::string b = std::string(format) == "CON" ? "CON.txt" : "..\\b.txt";
    EXPECT_EQ(preview, (Names{"a.txt -> " + a, "b.txt -> " + b}));
    EXPECT_EQ(red, (std::vector<int>{0, 1}));
    EXPECT_EQ(boxes, (Names{std::string(kRenameFailed) + "\r\nFrom: a.txt\r\nTo: " + a,
                            std::string(kRenameFailed) + "\r\nFrom: b.txt\r\nTo: " + b}));
    EXPECT_FOLDER_TREE(work_, before);
  }
}

// Renumber with a base name that climbs to the parent: red rows, the execute button
// disabled; cancelled, nothing moves.
TEST_F(EndToEnd, RenumberNeverLeavesTheFolder) {
  MakeFolder("子");
  const Names selection = {Put("子\\a.txt"), Put("子\\b.txt")};
  const Tree before = ReadFolderTree(work_);
  Names preview;
  std::vector<int> red;
  bool executable = true;
  Invoke(selection, kFilesMenu, "ファイル名のリナンバリング", 2, "ファイル名のリナンバリング", [&](DialogUser& user) {
    user.Type(user.FieldRightOf("基底ファイル名"), "..\\r");
    preview = Rows(user);
    red = user.RedRows(1);
    executable = IsWindowEnabled(user.Button("実行")) != FALSE;
    EXPECT_EQ(ExecuteAndAnswer(user, "Cancel"), Names{});
  });
  EXPECT_EQ(preview, (Names{"a.txt -> ..\\r1.txt", "b.txt -> ..\\r2.txt"}));
  EXPECT_EQ(red, (std::vector<int>{0, 1}));
  EXPECT_FALSE(executable);
  EXPECT_FOLDER_TREE(work_, before);
}

// Series whose names are ".." and ".": neither is a folder of its own, so their files stay
// where they are, without a message; the parent folder gets nothing.
TEST_F(EndToEnd, SeriesNamedDotOrDotDotStaysInPlace) {
  MakeFolder("子");
  const Names selection = {Put("子\\..1.txt"), Put("子\\..2.txt"), Put("子\\.1.txt"), Put("子\\.2.txt"),
                           Put("子\\申_1.txt")};
  Names rows, boxes;
  Invoke(selection, kFilesMenu, "ファイル名による自動分類", 1, "ファイル名による自動分類", [&](DialogUser& user) {
    rows = Rows(user);
    boxes = ExecuteAndAnswer(user, "実行");
  });
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (Names{". -> 2", ".. -> 2", "申 -> 1"}));
  EXPECT_EQ(boxes, Names{});
  EXPECT_FOLDER_TREE(work_, (Tree{{"子\\", ""},
                           {"子\\..1.txt", "was 子\\..1.txt"},
                           {"子\\..2.txt", "was 子\\..2.txt"},
                           {"子\\.1.txt", "was 子\\.1.txt"},
                           {"子\\.2.txt", "was 子\\.2.txt"},
                           {"子\\申\\", ""},
                           {"子\\申\\申_1.txt", "was 子\\申_1.txt"}}));
}

// Bulk rename onto the name of a selected file that keeps it: the extension table
// .jpeg=.jpg on x.jpeg and x.jpg, the number removal "(000)" on photo(1).jpg and photo.jpg,
// "-000" on a-1.txt, a-2.txt and a.txt. The name is taken: red in the preview, the rename
// refused with its message, and the file bearing the name keeps it.
TEST_F(EndToEnd, BulkRenameOntoANameKeptBySelectedFile) {
  struct Case {
    const char* title;
    Names files;
    std::function<void(DialogUser&)> rules;
    std::map<std::string, std::string> preview;  // name -> new name
    Names red;                                   // names of the red rows
    Names boxes;
  };
  const auto failed = [](const std::string& from, const std::string& to) {
    return std::string(kRenameFailed) + "\r\nFrom: " + from + "\r\nTo: " + to;
  };
  const std::vector<Case> cases = {
      {"extension table", {"x.jpeg", "x.jpg"},
       [](DialogUser& user) {
         user.Type(user.FieldRightOf("変換前"), ".jpeg");
         user.Type(user.FieldRightOf("変換後"), ".jpg");
         user.Click(user.Button("追加"));
         user.Click(user.Button("拡張子統一"));
       },
       {{"x.jpeg", "x.jpg"}, {"x.jpg", "x.jpg"}}, {"x.jpeg"}, {failed("x.jpeg", "x.jpg")}},
      {"number removal (000)", {"photo(1).jpg", "photo.jpg"},
       [](DialogUser& user) {
         user.Click(user.Button("(000) カッコつき数字"));
         user.Click(user.Button("ファイル名からの数字の除去"));
       },
       {{"photo(1).jpg", "photo.jpg"}, {"photo.jpg", "photo.jpg"}}, {"photo(1).jpg"},
       {failed("photo(1).jpg", "photo.jpg")}},
      {"number removal -000", {"a-1.txt", "a-2.txt", "a.txt"},
       [](DialogUser& user) { user.Click(user.Button("ファイル名からの数字の除去")); },
       {{"a-1.txt", "a.txt"}, {"a-2.txt", "a.txt"}, {"a.txt", "a.txt"}}, {"a-1.txt", "a-2.txt"},
       {failed("a-1.txt", "a.txt"), failed("a-2.txt", "a.txt")}},
      // ー is 0x81 "[": the bracket rule finds no "[" inside it.
      {"number removal [000]", {"abー1].jpg", "abー[2].jpg"},
       [](DialogUser& user) {
         user.Click(user.Button("[000] 角カッコつき数字"));
         user.Click(user.Button("ファイル名からの数字の除去"));
       },
       {{"abー1].jpg", "abー1].jpg"}, {"abー[2].jpg", "abー.jpg"}}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    EmptyFolder(work_);
    Names selection;
    for (const std::string& name : c.files) selection.push_back(Put(name));
    Names rows, boxes;
    std::vector<int> red;
    Invoke(selection, kFilesMenu, "ファイル名の一括処理", 0, "ファイル名の一括変更", [&](DialogUser& user) {
      c.rules(user);
      rows = Rows(user);
      red = user.RedRows(1);
      boxes = ExecuteAndAnswer(user, "実行");
    });
    std::map<std::string, std::string> preview;
    Names redNames;
    for (std::size_t row = 0; row < rows.size(); ++row) {
      const std::size_t arrow = rows[row].find(" -> ");
      preview[rows[row].substr(0, arrow)] = rows[row].substr(arrow + 4);
      if (std::find(red.begin(), red.end(), static_cast<int>(row)) != red.end()) redNames.push_back(rows[row].substr(0, arrow));
    }
    EXPECT_EQ(preview, c.preview);
    std::sort(redNames.begin(), redNames.end());
    EXPECT_EQ(redNames, c.red);
    EXPECT_EQ(boxes, c.boxes);
    Tree expected;
    for (const auto& [name, newName] : c.preview) {
      const bool refused = std::find(c.red.begin(), c.red.end(), name) != c.red.end();
      expected[refused ? name : newName] = "was " + name;
    }
    EXPECT_FOLDER_TREE(work_, expected);
  }
}

// ---- Paths that code page 932 cannot hold exactly ----

// What each tool does to everything it lists, and what that makes of the file keep-1.txt.
struct ToolRun {
  const char* title;
  UINT offset;
  const char* caption;
  std::function<void(DialogUser&)> script;
  std::function<void(Tree&)> change;  // of the tree, for keep-1.txt
};

// Explorer on NT hands the selection as wide paths. Read through code page 932, the yen sign
// becomes the separator 0x5C, a path needing more than 259 bytes is cut to a shorter one, and
// both can name a file or folder the user never selected; Hangul has no CP932 form at all.
// Each such item is left out: the tool names it in a box (the submenu's caption) before its
// dialog and works on the rest, and nothing outside what it lists changes.
// Compares a folder read back through the wide functions with what it must hold.
#define EXPECT_FOLDER_TREE_W(folder, expected)                                                        \
  do {                                                                                                \
    const Tree actualTree = ReadFolderTreeW(Wide(folder));                                            \
    const Tree expectedTree = (expected);                                                             \
    EXPECT_TRUE(actualTree == expectedTree) << "found:\n" << ShowTree(actualTree) << "expected:\n" \
                                            << ShowTree(expectedTree);                                \
  } while (false)

class LeftOutEndToEnd : public EndToEnd {
 protected:
  static std::vector<ToolRun> FileToolRuns() {
    const auto moveKeep = [](Tree& tree, const std::string& to) {
      const std::string text = tree["keep-1.txt"];
      tree.erase("keep-1.txt");
      tree[to] = text;
    };
    return {
        {"bulk rename", 0, "ファイル名の一括変更",
         [](DialogUser& user) {
           user.Click(user.Button("正規表現"));
           user.Type(user.FieldRightOf("パターン"), "(.*)");
           user.Type(user.FieldRightOf("出力フォーマット"), "$1_new");
           ExecuteAndAnswer(user, "実行");
         },
         [=](Tree& tree) { moveKeep(tree, "keep-1_new.txt"); }},
        {"series", 1, "ファイル名による自動分類", [](DialogUser& user) { ExecuteAndAnswer(user, "実行"); },
         [=](Tree& tree) {
           tree["keep\\"] = "";
           moveKeep(tree, "keep\\keep-1.txt");
         }},
        {"renumber", 2, "ファイル名のリナンバリング",
         [](DialogUser& user) {
           user.Type(user.FieldRightOf("基底ファイル名"), "n");
           ExecuteAndAnswer(user, "実行");
         },
         [=](Tree& tree) { moveKeep(tree, "n1.txt"); }},
        {"conditional delete", 3, "条件付きファイル削除",  // every row is red as it opens
         [](DialogUser& user) {
           user.Click(user.Button("ゴミ箱を使用する"));
           ExecuteAndAnswer(user, "OK");
         },
         [](Tree& tree) { tree.erase("keep-1.txt"); }},
    };
  }

  void TearDown() override { RemoveFolderTreeW(Wide(work_)); }

  // The box's text with each long path's further lines (indented by four) joined to its
  // first, and a line end after the last line.
  static std::string JoinedBox(std::string box) {
    for (std::size_t at; (at = box.find("\r\n    ")) != std::string::npos;) box.erase(at, 6);
    return box + "\r\n";
  }

  // An entry below the work folder: a folder ends with "\", a file holds "was " + its name
  // as shown (CP932, "?" for what the code page cannot hold).
  void Make(const std::wstring& relative, const std::string& shown) {
    const std::wstring path = Wide(work_) + relative;
    if (relative.back() == L'\\') {
      ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << Readable(shown) << " error " << GetLastError();
    } else {
      ASSERT_TRUE(WriteTextW(path, "was " + shown)) << Readable(shown) << " error " << GetLastError();
    }
  }

  struct Seen {
    HRESULT initialized = E_UNEXPECTED;
    HRESULT added = E_UNEXPECTED;
    std::string box;  // the text of the box before the dialog; empty when none came
    bool found = false;
  };

  // Explorer's part with a wide list: Initialize, the menu, the command at this offset; the
  // user answers the box that may come first, then plays the dialog. Nothing further when
  // Initialize fails: Explorer shows no entry then.
  Seen InvokeWide(const std::vector<std::wstring>& relative, const char* submenu, UINT offset, const char* caption,
                  const std::function<void(DialogUser&)>& script) {
    Seen seen;
    std::vector<std::wstring> paths;
    for (const std::wstring& path : relative) paths.push_back(Wide(work_) + path);
    WideDropDataObject data(paths);
    ContextMenuHost host;
    seen.initialized = host.Open(kShellExtClassId, nullptr, &data);
    if (FAILED(seen.initialized)) return seen;
    MenuOwner menu;
    seen.added = host.Query(menu.Get(), 0, kFirstId, kFirstId + 0x100, CMF_NORMAL);

    HostWindow explorer;
    Play play{submenu, caption, script, seen};
    ExpectPlayedThrough(
        InvokeWhileUserPlays(host, offset, explorer.Get(), [&](const Invocation& invocation) {
          PlayUser(play, invocation);
        }, 60000));
    return seen;
  }

 private:
  struct Play {
    const char* submenu;
    const char* caption;
    const std::function<void(DialogUser&)>& script;
    Seen& seen;
  };

  // A tool that finds nothing to show ends the command without its dialog: the user stops
  // looking once InvokeCommand has returned.
  static void PlayUser(Play& play, const Invocation& invocation) {
    const auto returned = [&] { return invocation.Returned(); };
    play.seen.box = AnswerBoxBefore(play.submenu, play.caption, returned);
    DialogUser user;
    play.seen.found = user.Find(play.caption, returned);
    if (!play.seen.found) return;
    play.script(user);
    HWND dialog = user.Dialog();
    for (int attempt = 0; attempt < 50 && IsWindow(dialog); ++attempt) {
      if (HWND stray = MessageBoxOn(dialog)) PostMessageA(stray, WM_COMMAND, IDOK, 0);
      if (attempt > 20) PostMessageA(dialog, WM_CLOSE, 0, 0);
      Sleep(100);
    }
  }
};

struct Entry {
  std::wstring relative;  // a folder ends with "\"
  std::string shown;      // as the folder read back shows it
};

struct Scenario {
  const char* title;
  std::vector<Entry> entries;
  std::vector<std::wstring> selection;
  std::vector<std::string> leftOut;  // as the box shows them, below the work folder
};

TEST_F(LeftOutEndToEnd, FileToolsActOnlyOnTheFilesThatWereRead) {
  const std::string sibling = LongName(259 - work_.size(), "");  // its path has 259 bytes
  const std::string longName = sibling + "表表";                  // 263 bytes, cut to 259: the sibling
  const std::vector<Scenario> scenarios = {
      {"yen sign beside the name without it",
       {{L"\u00A5500.txt", "?500.txt"}, {L"500.txt", "500.txt"}, {L"other.txt", "other.txt"},
        {L"keep-1.txt", "keep-1.txt"}},
       {L"\u00A5500.txt", L"keep-1.txt"},
       {"?500.txt"}},
      {"folder with a yen sign beside the folder without it",
       {{L"\u00A52024\\", "?2024\\"}, {L"\u00A52024\\1.jpg", "?2024\\1.jpg"}, {L"\u00A52024\\2.jpg", "?2024\\2.jpg"},
        {L"2024\\", "2024\\"}, {L"2024\\1.jpg", "2024\\1.jpg"}, {L"2024\\2.jpg", "2024\\2.jpg"},
        {L"keep-1.txt", "keep-1.txt"}},
       {L"\u00A52024\\1.jpg", L"\u00A52024\\2.jpg", L"keep-1.txt"},
       {"?2024\\1.jpg", "?2024\\2.jpg"}},
      {"a long path beside its cut-short sibling",
       {{Wide(sibling), sibling}, {Wide(longName), longName}, {L"keep-1.txt", "keep-1.txt"}},
       {Wide(longName), L"keep-1.txt"},
       {longName}},
      {"a name outside the code page",
       {{L"\uD55C.txt", "?.txt"}, {L"keep-1.txt", "keep-1.txt"}},
       {L"\uD55C.txt", L"keep-1.txt"},
       {"?.txt"}},
  };
  for (const Scenario& scenario : scenarios) {
    for (const ToolRun& run : FileToolRuns()) {
      SCOPED_TRACE(std::string(scenario.title) + ", " + run.title);
      Tree before;
      for (const Entry& entry : scenario.entries) {
        Make(entry.relative, entry.shown);
        before[entry.shown] = entry.relative.back() == L'\\' ? "" : "was " + entry.shown;
      }
      ASSERT_EQ(ReadFolderTreeW(Wide(work_)), before);
      const Seen seen = InvokeWide(scenario.selection, kFilesMenu, run.offset, run.caption, run.script);
      EXPECT_EQ(seen.initialized, S_OK);
      EXPECT_EQ(seen.added, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
      EXPECT_TRUE(seen.found);
      const std::string box = JoinedBox(seen.box);
      for (const std::string& shown : scenario.leftOut) {
        EXPECT_NE(box.find("\r\n  " + work_ + shown + "\r\n"), std::string::npos)
            << Readable(shown) << " is not named in the box:\n" << Readable(box);
      }
      Tree after = before;
      run.change(after);
      EXPECT_FOLDER_TREE_W(work_, after);
      RemoveFolderTreeW(Wide(work_));
      ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
    }
  }
}

// Only such items: Initialize fails, so Explorer shows no entry, and nothing changes.
TEST_F(LeftOutEndToEnd, ASelectionOfOnlyLeftOutItemsGetsNoEntry) {
  const std::string sibling = LongName(259 - work_.size(), "");
  const std::string longName = sibling + "表表";
  for (const Entry& entry : std::vector<Entry>{{L"\u00A5500.txt", "?500.txt"}, {L"500.txt", "500.txt"},
                                               {L"\u00A52024\\", "?2024\\"}, {L"\u00A52024\\1.jpg", "?2024\\1.jpg"},
                                               {L"2024\\", "2024\\"}, {L"2024\\1.jpg", "2024\\1.jpg"},
                                               {L"\u00A5A\\", "?A\\"}, {L"A\\", "A\\"}, {L"A\\a.txt", "A\\a.txt"},
                                               {Wide(sibling), sibling}, {Wide(longName), longName},
                                               {L"\uD55C.txt", "?.txt"}}) {
    Make(entry.relative, entry.shown);
  }
  const Tree before = ReadFolderTreeW(Wide(work_));
  int row = 0;
  for (const std::vector<std::wstring>& selection :
       {std::vector<std::wstring>{L"\u00A5500.txt"}, {L"\u00A52024\\1.jpg"}, {L"\u00A5A"}, {Wide(longName)},
        {L"\uD55C.txt"}, {L"\u00A5500.txt", L"\uD55C.txt", Wide(longName)}}) {
    SCOPED_TRACE(row++);
    const Seen seen = InvokeWide(selection, kFilesMenu, 3, "条件付きファイル削除", [](DialogUser& user) {
      ExecuteAndAnswer(user, "OK");
    });
    EXPECT_EQ(seen.initialized, E_FAIL);
  }
  EXPECT_EQ(ReadFolderTreeW(Wide(work_)), before);
}

// Folder combine: ¥A read through code page 932 is "\A", which names the unselected A. With
// B alone left, there is nothing to combine; with B and C, C goes into B. ¥A and A keep
// what they hold.
TEST_F(LeftOutEndToEnd, FolderCombineLeavesOutTheYenFolder) {
  struct Row {
    std::vector<std::wstring> selection;
    bool chooser;  // the choice dialog shows
  };
  for (const Row& row : {Row{{L"\u00A5A", L"B"}, false}, Row{{L"\u00A5A", L"B", L"C"}, true}}) {
    SCOPED_TRACE(row.selection.size());
    for (const Entry& entry : std::vector<Entry>{{L"\u00A5A\\", "?A\\"}, {L"\u00A5A\\y.txt", "?A\\y.txt"},
                                                 {L"A\\", "A\\"}, {L"A\\a.txt", "A\\a.txt"}, {L"B\\", "B\\"},
                                                 {L"B\\b.txt", "B\\b.txt"}, {L"C\\", "C\\"}, {L"C\\c.txt", "C\\c.txt"}}) {
      Make(entry.relative, entry.shown);
    }
    Tree after = ReadFolderTreeW(Wide(work_));
    const Seen seen = InvokeWide(row.selection, kFoldersMenu, 0, "新しいフォルダ名の選択", [](DialogUser& user) {
      const std::vector<HWND> combos = user.Children("ComboBox");
      if (combos.size() == 1) ChooseComboItem(combos[0], 0);
      ExecuteAndAnswer(user, "OK");
    });
    EXPECT_EQ(seen.initialized, S_OK);
    EXPECT_EQ(seen.added, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2));
    EXPECT_NE(JoinedBox(seen.box).find("\r\n  " + work_ + "?A\r\n"), std::string::npos) << Readable(seen.box);
    EXPECT_EQ(seen.found, row.chooser);
    if (row.chooser) {
      after.erase("C\\");
      after.erase("C\\c.txt");
      after["B\\c.txt"] = "was C\\c.txt";
    }
    EXPECT_FOLDER_TREE_W(work_, after);
    RemoveFolderTreeW(Wide(work_));
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
  }
}

}  // namespace
}  // namespace ov::test
