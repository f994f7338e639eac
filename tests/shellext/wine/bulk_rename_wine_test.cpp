// The bulk rename tool under Wine, reached as Explorer reaches it: ovshellex.dll, a CF_HDROP
// selection of real files, command offset 0. A second thread plays the user with real
// messages: it switches the regular expression on, types a pattern and a format, reads the
// preview and its red cell from the painted pixels, saves the dialog as bulkrename.bmp and
// presses "実行"; the files on disk then carry their new names.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kCaption[] = "ファイル名の一括変更";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the user saw and did, read on the test's main thread once the dialog closed.
struct Session {
  int rows = 0;
  std::map<std::string, std::string> before;   // first column -> second, as opened
  std::map<std::string, std::string> preview;  // the same after typing
  bool regexChecked = false;
  bool foundFields = false;
  std::vector<std::string> redNames;
  bool labelShown = false;
  bool okEnabled = false;
  bool screenSaved = false;
  std::string box;
  bool closed = false;
  std::string failure;
};

std::map<std::string, std::string> ReadPreview(const DialogUser& user, int rows) {
  std::map<std::string, std::string> cells;
  for (int row = 0; row < rows; ++row) cells[user.Cell(row, 0)] = user.Cell(row, 1);
  return cells;
}

DWORD WINAPI PlayUser(void* data) {
  Session& session = *static_cast<Session*>(data);
  DialogUser user;
  if (!user.Find(kCaption)) {
    session.failure = "the dialog never showed";
    return 0;
  }
  HWND list = user.List();
  session.rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  session.before = ReadPreview(user, session.rows);

  HWND regex = user.Button("正規表現");
  HWND pattern = user.FieldRightOf("パターン");
  HWND format = user.FieldRightOf("出力フォーマット");
  session.foundFields = regex != nullptr && pattern != nullptr && format != nullptr && pattern != format;
  if (session.foundFields) {
    user.Click(regex);
    session.regexChecked = user.Checked(regex);
    user.Type(pattern, "(.*)_(\\d+)");
    user.Type(format, "$2-$1");
  }
  session.preview = ReadPreview(user, session.rows);
  for (int row : user.RedRows(1)) session.redNames.push_back(user.Cell(row, 0));
  const std::vector<HWND> label = user.Children("Static", "赤字のファイルはすでに存在します");
  session.labelShown = label.size() == 1 && Await([&] { return IsWindowVisible(label[0]) != FALSE; });

  const char* folder = std::getenv("OV_SCREENS_WIN");
  if (folder != nullptr && *folder != '\0') {
    session.screenSaved = SaveScreen(user.ClientArea(), std::string(folder) + "\\bulkrename.bmp");
  }

  HWND execute = user.Button("実行");
  session.okEnabled = execute != nullptr && IsWindowEnabled(execute);
  if (execute != nullptr) {
    // Posted: the press opens the rename message box inside the dialog's thread.
    user.PostClick(execute);
    session.box = user.AnswerBox();
  }
  HWND dialog = user.Dialog();
  session.closed = Await([&] { return IsWindow(dialog) == FALSE; });
  return 0;
}

TEST(BulkRenameUnderWine, RegularExpressionRuleRenamesTheFilesOnDisk) {
  ComApartment apartment;
  ASSERT_TRUE(SUCCEEDED(apartment.Result()));
  ShellExtModule module;
  ASSERT_TRUE(module.Loaded());
  ScratchFolder scratch;
  const std::string folder = scratch.Path();
  const std::vector<std::string> selection = {scratch.File("photo_12.jpg"), scratch.File("写真_5.jpg"),
                                              scratch.File("plain.txt"), scratch.File("memo_3.txt")};
  scratch.File("5-写真.jpg");  // outside the selection: 写真_5.jpg cannot take its name

  {
    Ref<IClassFactory> factory;
    ASSERT_EQ(module.getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
    DropDataObject data(selection);
    ContextMenuHost host;
    ASSERT_EQ(host.Open(kShellExtClassId, factory.Get(), &data), S_OK);

    Session session;
    const Played played = InvokeWhileUserPlays(host, 0, nullptr, [&](const auto&) { PlayUser(&session); }, 60000);
    ExpectPlayedThrough(played);

    ASSERT_EQ(session.failure, "");
    EXPECT_EQ(session.rows, 4);
    for (const auto& [name, newName] : session.before) EXPECT_BYTES(newName, name);  // defaults change nothing
    EXPECT_TRUE(session.foundFields);
    EXPECT_TRUE(session.regexChecked);
    const std::map<std::string, std::string> expected = {
        {"photo_12.jpg", "12-photo.jpg"}, {"写真_5.jpg", "5-写真.jpg"}, {"plain.txt", "plain.txt"}, {"memo_3.txt", "3-memo.txt"}};
    EXPECT_EQ(session.preview, expected);
    EXPECT_EQ(session.redNames, std::vector<std::string>{"写真_5.jpg"});
    EXPECT_TRUE(session.labelShown);  // the red row is the last one drawn
    EXPECT_TRUE(session.okEnabled);
    if (std::getenv("OV_SCREENS_WIN") != nullptr) {
      EXPECT_TRUE(session.screenSaved);
    }
    EXPECT_BYTES(session.box, "リネームに失敗しました\r\nFrom: 写真_5.jpg\r\nTo: 5-写真.jpg");
    EXPECT_TRUE(session.closed);
  }

  EXPECT_TRUE(Exists(folder + "12-photo.jpg"));
  EXPECT_TRUE(Exists(folder + "3-memo.txt"));
  EXPECT_TRUE(Exists(folder + "plain.txt"));
  EXPECT_TRUE(Exists(folder + "写真_5.jpg"));
  EXPECT_TRUE(Exists(folder + "5-写真.jpg"));
  EXPECT_FALSE(Exists(folder + "photo_12.jpg"));
  EXPECT_FALSE(Exists(folder + "memo_3.txt"));
  // The scratch folder removes the files it made; these two it does not know.
  DeleteFileA((folder + "12-photo.jpg").c_str());
  DeleteFileA((folder + "3-memo.txt").c_str());
  EXPECT_EQ(module.canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace ov::test
