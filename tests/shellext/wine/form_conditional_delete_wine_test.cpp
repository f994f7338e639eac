// The conditional delete tool under Wine, reached as Explorer reaches it: the registered
// ovshellex.dll, a CF_HDROP selection of real files, command offset 3. A second thread plays
// the user with real messages to the real dialog, reads the red rows from the pixels the
// list view painted, and the files on disk show what the shell's file operation did, with
// the recycle bin off and on.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kCaption[] = "条件付きファイル削除";
const char kSizeMessage[] = "指定できるサイズは1以上の指数です";
constexpr UINT kFirstId = 0x7000;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The single-line text fields in creation order: EditStr, EditSmallSize, EditLargeSize.
HWND Field(const DialogUser& user, int index) {
  std::vector<HWND> fields;
  for (HWND edit : user.Children("Edit")) {
    if ((GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE) == 0) fields.push_back(edit);
  }
  return index < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(index)] : nullptr;
}

void AddLine(const DialogUser& user, const std::string& text) {
  user.Type(Field(user, 0), text);
  user.Click(user.Button("追加"));
}

// The window that has the focus on the dialog's thread.
HWND FocusOfDialogThread(const DialogUser& user) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(user.Dialog(), nullptr), &info);
  return info.hwndFocus;
}

// Posted, so that they pass through the dialog's modal loop and its dialog manager.
void ClickInto(HWND window) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}
void PressTab(HWND window) {
  PostMessageA(window, WM_KEYDOWN, VK_TAB, 0x000F0001);
  PostMessageA(window, WM_KEYUP, VK_TAB, 0xC00F0001);
}

class ConditionalDeleteHost : public RegisteredModuleTest {
 protected:
  // A file of the given size in the scratch folder, named uniquely for this run.
  std::string Make(const std::string& name, DWORD size) {
    const std::string path = scratch_.File(name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << Readable(path);
    const std::string contents(size, 'x');
    DWORD written = 0;
    if (size > 0) WriteFile(file, contents.data(), size, &written, nullptr);
    CloseHandle(file);
    return path;
  }

  // Explorer's part: the menu for the paths, then command offset 3 while the user acts on
  // the dialog from its own thread. False when the user never found the dialog.
  bool Invoke(const std::vector<std::string>& paths, std::function<void(DialogUser&)> script) {
    DropDataObject data(paths);
    ContextMenuHost host;
    EXPECT_EQ(host.Open(kShellExtClassId, nullptr, &data), S_OK);
    if (host.Menu() == nullptr) return false;
    MenuOwner menu;
    EXPECT_TRUE(SUCCEEDED(host.Query(menu.Get(), 0, kFirstId, kFirstId + 100, CMF_NORMAL)));

    Play play{std::move(script)};
    const Played played = InvokeWhileUserPlays(host, 3, nullptr, [&](const auto&) { PlayUser(&play); }, 60000);
    ExpectPlayedThrough(played);
    EXPECT_TRUE(play.found) << "the dialog never appeared";
    return play.found;
  }

  struct Play {
    std::function<void(DialogUser&)> script;
    bool found = false;
  };
  static void PlayUser(Play* play) {
    DialogUser user;
    play->found = user.Find(kCaption);
    if (play->found) {
      play->script(user);
      // A dialog still open after the script is closed without deleting.
      if (IsWindow(user.Dialog())) PostMessageA(user.Dialog(), WM_CLOSE, 0, 0);
    }
  }

  // Where Wine's shell puts what it moves to the recycle bin: the desktop's trash folder
  // of the Unix user, as a path through Wine's Z: drive.
  static std::string TrashFiles() {
    std::string path;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0') {
      path = "Z:" + std::string(data) + "/Trash/files/";
    } else if (const char* home = std::getenv("WINEHOMEDIR"); home != nullptr) {
      // Wine hands the Unix home to Windows programs only in this form: \??\Z:\home\user.
      path = home;
      if (path.rfind("\\??\\", 0) == 0) path.erase(0, 4);
      path += "/.local/share/Trash/files/";
    }
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
  }
};

std::string Unique(const std::string& name) { return std::to_string(GetCurrentProcessId()) + "-" + name; }

TEST_F(ConditionalDeleteHost, WithoutTheRecycleBinTheRedFilesAreGoneAndTheOthersUntouched) {
  const std::string keep = Make("keep.txt", 100);
  const std::string small = Make("del_small.log", 500);
  const std::string big = Make("del_big.log", 5000);
  const std::string other = Make("アB.log", 10);
  std::vector<int> red;
  bool recycle = true;
  ASSERT_TRUE(Invoke({keep, small, big, other}, [&](DialogUser& user) {
    EXPECT_EQ(user.RedRows(0), (std::vector<int>{0, 1, 2, 3}));  // everything at first
    AddLine(user, ".log");
    AddLine(user, "del_");
    user.Click(user.Button("ゴミ箱を使用する"));
    recycle = user.Checked(user.Button("ゴミ箱を使用する"));
    red = user.RedRows(0);
    user.Click(user.Button("OK"));
    Await([&] { return !IsWindow(user.Dialog()); });
  }));
  // Rows in the selection's name order: del_big.log, del_small.log, keep.txt, アB.log.
  EXPECT_EQ(red, (std::vector<int>{0, 1}));
  EXPECT_FALSE(recycle);
  EXPECT_TRUE(Exists(keep));
  EXPECT_FALSE(Exists(small));
  EXPECT_FALSE(Exists(big));
  EXPECT_TRUE(Exists(other));
}

TEST_F(ConditionalDeleteHost, WithTheRecycleBinTheRedFilesGoToWinesTrash) {
  const std::string small = Make(Unique("small.dat"), 1024);
  const std::string edge = Make(Unique("edge.dat"), 1025);
  const std::string keep = Make(Unique("keep.txt"), 10);
  const std::string tiny = Make(Unique("tiny.dat"), 10);
  std::vector<int> red;
  ASSERT_TRUE(Invoke({small, edge, keep, tiny}, [&](DialogUser& user) {
    EXPECT_TRUE(user.Checked(user.Button("ゴミ箱を使用する")));
    AddLine(user, "\\.DAT$");  // not yet a regular expression: nothing matches
    EXPECT_EQ(user.RedRows(0), std::vector<int>{});
    SendMessageA(user.Children("ListBox")[0], LB_SETCURSEL, 0, 0);
    SendMessageA(user.Dialog(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(user.Children("ListBox")[0]), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(user.Children("ListBox")[0]));
    user.Click(user.Button("削除"));
    user.Type(Field(user, 0), "\\.DAT$");
    user.Click(user.Button("正規表現"));
    user.Click(user.Button("追加"));
    user.Click(user.Button("ファイルが、次のサイズより小さい"));
    red = user.RedRows(0);
    // The dialog as the user sees it, for build/screens/conditionaldelete.png.
    if (const char* folder = std::getenv("OV_SCREENS_WIN"); folder != nullptr && *folder != '\0') {
      EXPECT_TRUE(SaveScreen(user.ClientArea(), std::string(folder) + "\\conditionaldelete.bmp"));
    }
    user.Click(user.Button("OK"));
    Await([&] { return !IsWindow(user.Dialog()); });
  }));
  // Rows in name order: edge.dat, keep.txt, small.dat, tiny.dat.
  EXPECT_EQ(red, (std::vector<int>{2, 3}));
  EXPECT_FALSE(Exists(small));
  EXPECT_FALSE(Exists(tiny));
  EXPECT_TRUE(Exists(edge));
  EXPECT_TRUE(Exists(keep));
  for (const char* name : {"small.dat", "tiny.dat"}) {
    const std::string trashed = TrashFiles() + Unique(name);
    EXPECT_TRUE(Exists(trashed)) << Readable(trashed);
    DeleteFileA(trashed.c_str());
    const std::string info = trashed.substr(0, trashed.rfind("\\files\\")) + "\\info\\" + Unique(name) + ".trashinfo";
    DeleteFileA(info.c_str());
  }
}

TEST_F(ConditionalDeleteHost, ASizeFieldLeftWithZeroShowsTheMessageAndTakesTheFocusBack) {
  const std::string keep = Make("keep.txt", 10);
  std::string message;
  HWND focus = nullptr, field = nullptr;
  ASSERT_TRUE(Invoke({keep}, [&](DialogUser& user) {
    field = Field(user, 1);  // EditSmallSize
    user.Type(field, "0");
    ClickInto(field);
    EXPECT_TRUE(Await([&] { return FocusOfDialogThread(user) == field; }));
    PressTab(field);
    message = user.AnswerBox();
    Await([&] { return FocusOfDialogThread(user) == field; });
    focus = FocusOfDialogThread(user);
    // Any move of the focus away from the field is checked, a press of Cancel too: the
    // field is put right first.
    user.Type(field, "5");
    user.Click(user.Button("Cancel"));
    Await([&] { return !IsWindow(user.Dialog()); });
  }));
  EXPECT_BYTES(message, kSizeMessage);
  EXPECT_EQ(focus, field);
  EXPECT_TRUE(Exists(keep));
}

TEST_F(ConditionalDeleteHost, OkWithNoRedFileClosesAndDeletesNothing) {
  const std::string a = Make("a.txt", 10);
  const std::string b = Make("b.txt", 3000);
  bool closed = false;
  ASSERT_TRUE(Invoke({a, b}, [&](DialogUser& user) {
    user.Click(user.Button("ファイルが、次のサイズより小さい"));
    user.Click(user.Button("ファイルが、次のサイズより大きい"));  // 1 and 2 KB: nothing is both
    EXPECT_EQ(user.RedRows(0), std::vector<int>{});
    user.Click(user.Button("OK"));
    closed = Await([&] { return !IsWindow(user.Dialog()); });
  }));
  EXPECT_TRUE(closed);
  EXPECT_TRUE(Exists(a));
  EXPECT_TRUE(Exists(b));
}

}  // namespace
}  // namespace ov::test
