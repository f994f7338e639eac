// The tools under hostile conditions, reached as Explorer reaches them on the real
// ovshellex.dll under Wine: a file that another process holds open without sharing, a
// selected file or folder that vanishes while the dialog is open, a foreign file that
// appears under a target name meanwhile, and a selection of 10,000 real files. Every file
// holds a text of its own; after each run the folder holds exactly the expected names with
// the expected texts, so a lost, overwritten or stray file fails the case.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/folder_tree.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

using Names = std::vector<std::string>;
using Tree = FolderTree;

const char kRenumberCaption[] = "ファイル名のリナンバリング";
const char kBulkRenameCaption[] = "ファイル名の一括変更";
const char kSeriesCaption[] = "ファイル名による自動分類";
const char kDeleteCaption[] = "条件付きファイル削除";
const char kChooserCaption[] = "新しいフォルダ名の選択";
const char kFilesMenu[] = "ファイルの整理";
constexpr UINT kFirstId = 0x7000;

// Command offsets of the two submenus.
constexpr UINT kBulkRename = 0;
constexpr UINT kSeries = 1;
constexpr UINT kRenumber = 2;
constexpr UINT kConditionalDelete = 3;
constexpr UINT kFolderCombine = 0;

std::string RenameFailed(const std::string& from, const std::string& to) {
  return "リネームに失敗しました\r\nFrom: " + from + "\r\nTo: " + to;
}

// The move and delete messages name full paths; kRoot stands for the scratch folder.
const char kRoot[] = "<root>";
std::string MoveFailed(const std::string& from, const std::string& to) {
  return std::string("移動に失敗しました\r\nFrom: ") + kRoot + from + "\r\nTo: " + kRoot + to;
}
std::string DeleteFailed(const std::string& path) { return std::string("削除に失敗しました\r\n") + kRoot + path; }

// Closes a kernel handle when it goes out of scope.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~OwnedHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  void Reset(HANDLE handle) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// ---- files ----

// The error of opening a file for reading with every kind of sharing; 0 when it opens.
DWORD OpenError(const std::string& path) {
  OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
  return file.Get() == nullptr ? GetLastError() : 0;
}

// ---- another process holding a file ----

// Starts hold_file.exe on a path and waits until it holds the file open with share mode 0.
// Releasing (or destruction) lets it close the file and end; a holder that does not end in
// time is terminated, so that it never outlives the test.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path) {
    static LONG serial = 0;
    const std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(InterlockedIncrement(&serial));
    const std::string readyName = "ov-hostile-ready-" + tag;
    const std::string releaseName = "ov-hostile-release-" + tag;
    ready_.Reset(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    release_.Reset(CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    std::string command = "\"" + ProgramFolder() + "hold_file.exe\" \"" + path + "\" " + readyName + " " + releaseName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &started)) {
      return;
    }
    process_.Reset(started.hProcess);
    CloseHandle(started.hThread);
    HANDLE either[2] = {ready_.Get(), process_.Get()};
    holding_ = WaitForMultipleObjects(2, either, FALSE, 10000) == WAIT_OBJECT_0;
  }
  ~HeldFile() { Release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool Holding() const { return holding_; }

  // The holder's exit code: 0 when it held the file until now.
  DWORD Release() {
    if (process_.Get() == nullptr) return exitCode_;
    SetEvent(release_.Get());
    if (WaitForSingleObject(process_.Get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process_.Get(), 9);
    WaitForSingleObject(process_.Get(), 10000);
    GetExitCodeProcess(process_.Get(), &exitCode_);
    process_.Reset(nullptr);
    return exitCode_;
  }

 private:
  OwnedHandle ready_;
  OwnedHandle release_;
  OwnedHandle process_;
  bool holding_ = false;
  DWORD exitCode_ = 99;
};

// ---- the user ----

// EnumThreadWindows: the first visible dialog-class window (a message box, or a window of
// the shell's file operation) other than the one excepted.
struct BoxSearch {
  HWND except;
  HWND found;
};
BOOL CALLBACK FindBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (window == search->except || lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// A box's message: its text control, or its caption in brackets when it has none.
std::string BoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? WindowText(text) : "[" + WindowText(box) + "]";
}

// After the user's last act: answers every box that comes up on the dialog's thread with
// OK (recording its text) until the dialog is gone. A dialog still open when patience runs
// out is closed, so that Explorer's thread is never left hanging.
Names AnswerUntilClosed(HWND dialog, DWORD patienceMs, bool& closed) {
  Names texts;
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  const DWORD start = GetTickCount();
  while (IsWindow(dialog) && GetTickCount() - start < patienceMs) {
    BoxSearch search{dialog, nullptr};
    EnumThreadWindows(thread, &FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      Sleep(10);
      continue;
    }
    texts.push_back(BoxText(search.found));
    PostMessageA(search.found, WM_COMMAND, IDOK, 0);
    if (!Await([&] { return !IsWindow(search.found) || !IsWindowVisible(search.found); })) {
      PostMessageA(search.found, WM_CLOSE, 0, 0);
      Await([&] { return !IsWindow(search.found); });
    }
  }
  closed = !IsWindow(dialog);
  if (!closed) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    Await([&] { return !IsWindow(dialog); });
  }
  return texts;
}

struct Outcome {
  bool found = false;   // the dialog showed
  bool closed = false;  // and closed on its own after the user's last act
  Names boxes;          // texts of the boxes answered meanwhile
  Names menu;           // the submenu's caption and items as the host read them back
  HRESULT queried = E_UNEXPECTED;
  HRESULT invoked = E_UNEXPECTED;
};

using Script = std::function<void(DialogUser&)>;

// ---- the fixture ----

class HostileBase : public RegisteredModuleTest {
 protected:
  // Explorer's part: the selection through CF_HDROP, the context menu read back, the
  // command at this offset; meanwhile the user finds the dialog by caption, plays the
  // script and answers what comes up until the dialog closes.
  Outcome Invoke(const Names& paths, UINT verb, const std::string& caption, const Script& script,
                 DWORD patienceMs = 30000, const std::function<void()>& beforeInvoke = nullptr) {
    Outcome outcome;
    Ref<IClassFactory> factory;
    EXPECT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
    if (!factory) return outcome;
    DropDataObject data(paths);
    ContextMenuHost host;
    EXPECT_EQ(host.Open(kShellExtClassId, factory.Get(), &data), S_OK);
    if (host.Menu() == nullptr) return outcome;
    MenuOwner menu;
    outcome.queried = host.Query(menu.Get(), 0, kFirstId, kFirstId + 100, CMF_NORMAL);
    for (const MenuEntry& entry : ReadMenu(menu.Get())) {
      if (!entry.popup) continue;
      outcome.menu.push_back(entry.text);
      for (const MenuEntry& item : entry.submenu) outcome.menu.push_back(item.text);
    }

    if (beforeInvoke) beforeInvoke();
    Play play{caption, script, patienceMs, outcome};
    // Returns once the tool has finished; the user's limit covers the patience and its boxes.
    const Played played =
        InvokeWhileUserPlays(host, verb, nullptr, [&](const Invocation&) { PlayUser(play); }, patienceMs + 30000);
    outcome.invoked = played.invoked;
    EXPECT_TRUE(played.userFinished) << "the user never finished";
    return outcome;
  }

 private:
  struct Play {
    const std::string& caption;
    const Script& script;
    DWORD patienceMs;
    Outcome& outcome;
  };
  static void PlayUser(Play& play) {
    DialogUser user;
    play.outcome.found = user.Find(play.caption);
    if (!play.outcome.found) return;
    HWND dialog = user.Dialog();
    play.script(user);
    play.outcome.boxes = AnswerUntilClosed(dialog, play.patienceMs, play.outcome.closed);
  }
};

// ---- one hostile act against one tool ----

enum class Act {
  kNone,
  kHold,    // another process holds the victim open (share mode 0) from before the menu
  kMove,    // once the dialog shows, the victim is moved into the folder "away"
  kDelete,  // once the dialog shows, the victim file is deleted
  kAppear,  // once the dialog shows, a foreign file with the text "intruder" appears as the victim
  kFolder,  // once the dialog shows, the victim file becomes a folder holding "doc.txt" ("document")
  kFolderBeforeInvoke,  // the same after the menu was built, before its command is invoked
};

enum class User {
  kRenumberN,         // base name "n", execute
  kBulkSuffix,        // regular expression (.*) with format $1_new, execute
  kSeriesExecute,     // execute the classification as opened
  kDeleteLog,         // string ".log", recycle bin off, OK
  kDeleteSmall,       // "smaller than 1 KB" ticked, recycle bin off, OK
  kDeleteAll,         // no condition, recycle bin off, OK
  kCombineIntoFirst,  // keep the first folder, OK
  kCombineIntoSecond  // choose the second folder, OK
};

struct Case {
  const char* title;
  Names files;      // relative paths; a folder ends with "\"; each file's text is "was " + its path
  Names selection;  // relative paths handed to the menu
  Act act;
  const char* victim;
  User user;
  Names boxes;  // the texts the user answered, in order
  Tree after;   // the whole folder afterwards
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.title; }

Tree Files(std::initializer_list<std::pair<const std::string, std::string>> entries) { return Tree(entries); }

const Case kCases[] = {
    // Held open by another process: the rename fails, the run goes on with the next file.
    {"RenumberHeldFile", {"a.txt", "b.txt", "c.txt"}, {"c.txt", "a.txt", "b.txt"}, Act::kHold, "b.txt",
     User::kRenumberN, {RenameFailed("b.txt", "n2.txt")},
     Files({{"n1.txt", "was a.txt"}, {"b.txt", "was b.txt"}, {"n3.txt", "was c.txt"}})},
    {"BulkRenameHeldFile", {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}, Act::kHold, "b.txt",
     User::kBulkSuffix, {RenameFailed("b.txt", "b_new.txt")},
     Files({{"a_new.txt", "was a.txt"}, {"b.txt", "was b.txt"}, {"c_new.txt", "was c.txt"}})},
    // A rotation whose holder cannot be moved aside: silent, then the rename message; the
    // held file's own rename fails too; the third file reaches its name from the temporary one.
    {"RenumberRotationHeldHolder", {"a.txt", "n1.txt", "n2.txt"}, {"a.txt", "n1.txt", "n2.txt"}, Act::kHold,
     "n1.txt", User::kRenumberN, {RenameFailed("a.txt", "n1.txt"), RenameFailed("n1.txt", "n2.txt")},
     Files({{"a.txt", "was a.txt"}, {"n1.txt", "was n1.txt"}, {"n3.txt", "was n2.txt"}})},
    {"SeriesHeldFile", {"IMG_0001.jpg", "IMG_0002.jpg", "DSC-0001.jpg"}, {"IMG_0001.jpg", "IMG_0002.jpg", "DSC-0001.jpg"},
     Act::kHold, "IMG_0001.jpg", User::kSeriesExecute, {MoveFailed("IMG_0001.jpg", "IMG\\IMG_0001.jpg")},
     Files({{"DSC\\", ""},
            {"DSC\\DSC-0001.jpg", "was DSC-0001.jpg"},
            {"IMG\\", ""},
            {"IMG\\IMG_0002.jpg", "was IMG_0002.jpg"},
            {"IMG_0001.jpg", "was IMG_0001.jpg"}})},
    // Each file is deleted by an operation of its own: the held one stays (Wine's shell
    // shows no box; Windows' shows its own) and the others go.
    {"ConditionalDeleteHeldFile", {"x1.log", "x2.log", "x3.log", "keep.txt"}, {"x1.log", "x2.log", "x3.log", "keep.txt"},
     Act::kHold, "x2.log", User::kDeleteLog, {}, Files({{"x2.log", "was x2.log"}, {"keep.txt", "was keep.txt"}})},
    // A held file inside a sub-folder: Wine renames the sub-folder on the Unix side and the
    // open file goes with it, so the move succeeds and A is removed. (Windows refuses to
    // rename a folder that holds an open file: there the move fails and A stays.)
    {"FolderCombineHeldInSubfolder", {"A\\", "A\\sub\\", "A\\sub\\a1.txt", "B\\", "B\\b1.txt"}, {"A", "B"},
     Act::kHold, "A\\sub\\a1.txt", User::kCombineIntoSecond, {},
     Files({{"B\\", ""}, {"B\\b1.txt", "was B\\b1.txt"}, {"B\\sub\\", ""}, {"B\\sub\\a1.txt", "was A\\sub\\a1.txt"}})},
    // The held file stays in its folder, which therefore stays too, and is reported; the
    // rest moves.
    {"FolderCombineHeldFile", {"A\\", "A\\a1.txt", "B\\", "B\\b1.txt", "C\\", "C\\c1.txt"}, {"A", "B", "C"},
     Act::kHold, "A\\a1.txt", User::kCombineIntoSecond, {MoveFailed("A\\a1.txt", "B\\a1.txt")},
     Files({{"A\\", ""}, {"A\\a1.txt", "was A\\a1.txt"}, {"B\\", ""}, {"B\\b1.txt", "was B\\b1.txt"}, {"B\\c1.txt", "was C\\c1.txt"}})},

    // Vanished while the dialog was open.
    {"RenumberVanishedFile", {"a.txt", "b.txt", "c.txt", "away\\"}, {"a.txt", "b.txt", "c.txt"}, Act::kMove, "b.txt",
     User::kRenumberN, {RenameFailed("b.txt", "n2.txt")},
     Files({{"away\\", ""}, {"away\\b.txt", "was b.txt"}, {"n1.txt", "was a.txt"}, {"n3.txt", "was c.txt"}})},
    {"BulkRenameDeletedFile", {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}, Act::kDelete, "b.txt",
     User::kBulkSuffix, {RenameFailed("b.txt", "b_new.txt")},
     Files({{"a_new.txt", "was a.txt"}, {"c_new.txt", "was c.txt"}})},
    // The holder of a target vanished: its move aside fails silently and a.txt takes n1.txt.
    // The working list follows paths, so the file now under n1.txt stands for the vanished
    // one and moves on to n2.txt (whose own file was moved aside): renamed twice, not lost.
    {"RenumberRotationVanishedHolder", {"a.txt", "n1.txt", "n2.txt", "away\\"}, {"a.txt", "n1.txt", "n2.txt"}, Act::kMove,
     "n1.txt", User::kRenumberN, {},
     Files({{"away\\", ""}, {"away\\n1.txt", "was n1.txt"}, {"n2.txt", "was a.txt"}, {"n3.txt", "was n2.txt"}})},
    {"SeriesVanishedFile", {"IMG_0001.jpg", "IMG_0002.jpg", "DSC-0001.jpg", "away\\"},
     {"IMG_0001.jpg", "IMG_0002.jpg", "DSC-0001.jpg"}, Act::kMove, "IMG_0001.jpg", User::kSeriesExecute,
     {MoveFailed("IMG_0001.jpg", "IMG\\IMG_0001.jpg")},
     Files({{"away\\", ""},
            {"away\\IMG_0001.jpg", "was IMG_0001.jpg"},
            {"DSC\\", ""},
            {"DSC\\DSC-0001.jpg", "was DSC-0001.jpg"},
            {"IMG\\", ""},
            {"IMG\\IMG_0002.jpg", "was IMG_0002.jpg"}})},
    {"ConditionalDeleteVanishedFile", {"x1.log", "x2.log", "keep.txt", "away\\"}, {"x1.log", "x2.log", "keep.txt"},
     Act::kMove, "x1.log", User::kDeleteLog, {DeleteFailed("x1.log")},
     Files({{"away\\", ""}, {"away\\x1.log", "was x1.log"}, {"keep.txt", "was keep.txt"}})},
    {"FolderCombineVanishedSource", {"A\\", "A\\a1.txt", "B\\", "B\\b1.txt", "C\\", "C\\c1.txt", "away\\"},
     {"A", "B", "C"}, Act::kMove, "A", User::kCombineIntoSecond, {MoveFailed("A", "B")},
     Files({{"away\\", ""},
            {"away\\A\\", ""},
            {"away\\A\\a1.txt", "was A\\a1.txt"},
            {"B\\", ""},
            {"B\\b1.txt", "was B\\b1.txt"},
            {"B\\c1.txt", "was C\\c1.txt"}})},
    {"FolderCombineVanishedTarget", {"A\\", "A\\a1.txt", "B\\", "B\\b1.txt", "away\\"}, {"A", "B"}, Act::kMove, "B",
     User::kCombineIntoSecond, {},
     Files({{"A\\", ""}, {"A\\a1.txt", "was A\\a1.txt"}, {"away\\", ""}, {"away\\B\\", ""}, {"away\\B\\b1.txt", "was B\\b1.txt"}})},

    // A file outside the batch appeared under a target name: nothing is overwritten.
    {"BulkRenameTargetAppeared", {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}, Act::kAppear,
     "b_new.txt", User::kBulkSuffix, {RenameFailed("b.txt", "b_new.txt")},
     Files({{"a_new.txt", "was a.txt"}, {"b.txt", "was b.txt"}, {"b_new.txt", "intruder"}, {"c_new.txt", "was c.txt"}})},

    // A selected file replaced by a folder (with a document in it) by another program: no
    // tool renames, moves or deletes that folder; each says so and goes on.
    {"RenumberFileBecameAFolder", {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}, Act::kFolder, "b.txt",
     User::kRenumberN, {RenameFailed("b.txt", "n2.txt")},
     Files({{"n1.txt", "was a.txt"}, {"b.txt\\", ""}, {"b.txt\\doc.txt", "document"}, {"n3.txt", "was c.txt"}})},
    {"BulkRenameFileBecameAFolder", {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt", "c.txt"}, Act::kFolder, "b.txt",
     User::kBulkSuffix, {RenameFailed("b.txt", "b_new.txt")},
     Files({{"a_new.txt", "was a.txt"}, {"b.txt\\", ""}, {"b.txt\\doc.txt", "document"}, {"c_new.txt", "was c.txt"}})},
    {"SeriesFileBecameAFolder", {"AB1.txt", "AB2.txt"}, {"AB1.txt", "AB2.txt"}, Act::kFolder, "AB1.txt",
     User::kSeriesExecute, {MoveFailed("AB1.txt", "AB\\AB1.txt")},
     Files({{"AB\\", ""}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt\\", ""}, {"AB1.txt\\doc.txt", "document"}})},
    {"ConditionalDeleteFileBecameAFolder", {"victim.txt", "other.txt"}, {"victim.txt", "other.txt"}, Act::kFolder,
     "victim.txt", User::kDeleteSmall, {DeleteFailed("victim.txt")},
     Files({{"victim.txt\\", ""}, {"victim.txt\\doc.txt", "document"}})},
    {"ConditionalDeleteFileBecameAFolderBeforeItOpened", {"victim.txt", "other.txt"}, {"victim.txt", "other.txt"},
     Act::kFolderBeforeInvoke, "victim.txt", User::kDeleteAll, {DeleteFailed("victim.txt")},
     Files({{"victim.txt\\", ""}, {"victim.txt\\doc.txt", "document"}})},

    // A name the target holds already. Wine's shell would replace it without asking; the
    // entry stays where it is, reported, and what the target held is kept.
    {"SeriesNameTakenInItsFolder", {"AB\\", "AB\\AB1.txt", "AB1.txt", "AB2.txt"}, {"AB1.txt", "AB2.txt"}, Act::kNone,
     "", User::kSeriesExecute, {MoveFailed("AB1.txt", "AB\\AB1.txt")},
     Files({{"AB\\", ""}, {"AB\\AB1.txt", "was AB\\AB1.txt"}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt", "was AB1.txt"}})},
    {"FolderCombineNamesTaken", {"P\\", "P\\same.txt", "P\\y", "Q\\", "Q\\same.txt", "Q\\y\\", "Q\\y\\in.txt", "Q\\only.txt"},
     {"P", "Q"}, Act::kNone, "", User::kCombineIntoFirst,
     {MoveFailed("Q\\same.txt", "P\\same.txt"), MoveFailed("Q\\y", "P\\y")},
     Files({{"P\\", ""},
            {"P\\only.txt", "was Q\\only.txt"},
            {"P\\same.txt", "was P\\same.txt"},
            {"P\\y", "was P\\y"},
            {"Q\\", ""},
            {"Q\\same.txt", "was Q\\same.txt"},
            {"Q\\y\\", ""},
            {"Q\\y\\in.txt", "was Q\\y\\in.txt"}})},
};

class HostileAct : public HostileBase, public ::testing::WithParamInterface<Case> {
 protected:
  void TearDown() override { EmptyFolder(scratch_.Path()); }

  std::string Path(const std::string& relative) const { return scratch_.Path() + relative; }

  // Another program replaces a file by a folder of that name holding a document.
  void ReplaceByFolder(const std::string& victim) const {
    EXPECT_TRUE(DeleteFileA(victim.c_str())) << Readable(victim);
    EXPECT_TRUE(CreateDirectoryA(victim.c_str(), nullptr)) << Readable(victim);
    EXPECT_TRUE(WriteText(victim + "\\doc.txt", "document")) << Readable(victim);
  }

  // The hostile act once the dialog shows; a hold is in place before the menu.
  void ActOn(const Case& c) const {
    const std::string victim = Path(c.victim);
    switch (c.act) {
      case Act::kNone:
      case Act::kHold:
      case Act::kFolderBeforeInvoke:
        break;
      case Act::kFolder:
        ReplaceByFolder(victim);
        break;
      case Act::kMove:
        EXPECT_TRUE(MoveFileA(victim.c_str(), Path(std::string("away\\") + c.victim).c_str())) << c.victim;
        break;
      case Act::kDelete:
        EXPECT_TRUE(DeleteFileA(victim.c_str())) << c.victim;
        break;
      case Act::kAppear:
        EXPECT_TRUE(WriteText(victim, "intruder")) << c.victim;
        break;
    }
  }

  Script UserScript(const Case& c) const {
    return [this, &c](DialogUser& user) {
      switch (c.user) {
        case User::kRenumberN:
          user.Type(user.FieldRightOf("基底ファイル名"), "n");
          ActOn(c);
          user.PostClick(user.Button("実行"));
          break;
        case User::kBulkSuffix:
          user.Click(user.Button("正規表現"));
          user.Type(user.FieldRightOf("パターン"), "(.*)");
          user.Type(user.FieldRightOf("出力フォーマット"), "$1_new");
          ActOn(c);
          user.PostClick(user.Button("実行"));
          break;
        case User::kSeriesExecute:
          ActOn(c);
          user.PostClick(user.Button("実行"));
          break;
        case User::kDeleteLog: {
          HWND text = nullptr;
          for (HWND edit : user.Children("Edit")) {
            if (text == nullptr && (GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE) == 0) text = edit;
          }
          user.Type(text, ".log");
          user.Click(user.Button("追加"));
          user.Click(user.Button("ゴミ箱を使用する"));
          ActOn(c);
          user.PostClick(user.Button("OK"));
          break;
        }
        case User::kDeleteSmall:
        case User::kDeleteAll:
          if (c.user == User::kDeleteSmall) user.Click(user.Button("ファイルが、次のサイズより小さい"));
          user.Click(user.Button("ゴミ箱を使用する"));
          ActOn(c);
          user.PostClick(user.Button("OK"));
          break;
        case User::kCombineIntoFirst:
        case User::kCombineIntoSecond: {
          const std::vector<HWND> combos = user.Children("ComboBox");
          if (combos.size() == 1) ChooseComboItem(combos[0], c.user == User::kCombineIntoFirst ? 0 : 1);
          ActOn(c);
          user.PostClick(user.Button("OK"));
          break;
        }
      }
    };
  }
};

UINT VerbOf(User user) {
  switch (user) {
    case User::kRenumberN:
      return kRenumber;
    case User::kBulkSuffix:
      return kBulkRename;
    case User::kSeriesExecute:
      return kSeries;
    case User::kDeleteLog:
    case User::kDeleteSmall:
    case User::kDeleteAll:
      return kConditionalDelete;
    case User::kCombineIntoFirst:
    case User::kCombineIntoSecond:
      return kFolderCombine;
  }
  return 99;
}

const char* CaptionOf(User user) {
  switch (user) {
    case User::kRenumberN:
      return kRenumberCaption;
    case User::kBulkSuffix:
      return kBulkRenameCaption;
    case User::kSeriesExecute:
      return kSeriesCaption;
    case User::kDeleteLog:
    case User::kDeleteSmall:
    case User::kDeleteAll:
      return kDeleteCaption;
    case User::kCombineIntoFirst:
    case User::kCombineIntoSecond:
      return kChooserCaption;
  }
  return "";
}

TEST_P(HostileAct, NothingIsLostAndEveryFailureIsReported) {
  const Case& c = GetParam();
  for (const std::string& entry : c.files) {
    if (entry.back() == '\\') {
      ASSERT_TRUE(CreateDirectoryA(Path(entry).c_str(), nullptr)) << Readable(entry);
    } else {
      ASSERT_TRUE(WriteText(Path(entry), "was " + entry)) << Readable(entry);
    }
  }
  Names selection;
  for (const std::string& entry : c.selection) selection.push_back(Path(entry));

  std::unique_ptr<HeldFile> held;
  if (c.act == Act::kHold) {
    held = std::make_unique<HeldFile>(Path(c.victim));
    ASSERT_TRUE(held->Holding());
    // Wine's server enforces the holder's share mode on other processes, as Windows does.
    ASSERT_EQ(OpenError(Path(c.victim)), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }

  const bool folders = CaptionOf(c.user) == std::string(kChooserCaption);
  const Outcome outcome = Invoke(selection, VerbOf(c.user), CaptionOf(c.user), UserScript(c), 30000, [&] {
    if (c.act == Act::kFolderBeforeInvoke) ReplaceByFolder(Path(c.victim));
  });
  if (held) {
    EXPECT_EQ(held->Release(), 0u) << "the holder let go before the run ended";
  }

  EXPECT_EQ(outcome.queried, MAKE_HRESULT(SEVERITY_SUCCESS, 0, folders ? 2 : 5));
  EXPECT_EQ(outcome.invoked, S_OK);
  ASSERT_TRUE(outcome.found) << "the dialog never showed";
  EXPECT_TRUE(outcome.closed);
  EXPECT_EQ(outcome.boxes.size(), c.boxes.size());
  for (std::size_t i = 0; i < outcome.boxes.size(); ++i) {
    std::string expected = i < c.boxes.size() ? c.boxes[i] : "<no box>";
    for (std::size_t at = expected.find(kRoot); at != std::string::npos; at = expected.find(kRoot)) {
      expected.replace(at, sizeof kRoot - 1, scratch_.Path());
    }
    EXPECT_BYTES(outcome.boxes[i], expected);
  }
  const Tree after = ReadFolderTree(scratch_.Path());
  EXPECT_EQ(after, c.after) << "found:\n" << ShowTree(after) << "expected:\n" << ShowTree(c.after);
}

INSTANTIATE_TEST_SUITE_P(Wine, HostileAct, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.title); });

// Folder combine of 120 folders that hold only files, read-only, hidden and system ones
// among them. Wine's shell cancels a move of several entries into one folder when none of
// them is a folder, which is what a combine of such folders handed it; nothing moved. Each
// entry now moves by itself, and arrives with its attributes.
class HostileCombine : public HostileBase {
 protected:
  void TearDown() override { EmptyFolder(scratch_.Path()); }
};

TEST_F(HostileCombine, ManyFoldersAndEveryAttributeMove) {
  Names selection;
  Tree expected = {{"F000\\", ""}};
  for (int i = 0; i < 120; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "F%03d", i);
    const std::string folder = scratch_.Path() + name;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = std::string(name) + "\\f" + (name + 1) + ".txt";
    ASSERT_TRUE(WriteText(scratch_.Path() + file, "was " + file));
    expected["F000\\f" + std::string(name + 1) + ".txt"] = "was " + file;
    selection.push_back(folder);
  }
  const DWORD kinds[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM};
  for (const DWORD kind : kinds) {
    const std::string file = "F119\\attr" + std::to_string(kind) + ".txt";
    ASSERT_TRUE(WriteText(scratch_.Path() + file, "was " + file));
    ASSERT_TRUE(SetFileAttributesA((scratch_.Path() + file).c_str(), kind));
    expected["F000\\attr" + std::to_string(kind) + ".txt"] = "was " + file;
  }
  const Outcome outcome = Invoke(selection, kFolderCombine, kChooserCaption, [](DialogUser& user) {
    const std::vector<HWND> combos = user.Children("ComboBox");
    if (combos.size() == 1) ChooseComboItem(combos[0], 0);
    user.PostClick(user.Button("OK"));
  });
  EXPECT_TRUE(outcome.found);
  EXPECT_TRUE(outcome.closed);
  EXPECT_EQ(outcome.boxes, Names{});
  const Tree after = ReadFolderTree(scratch_.Path());
  EXPECT_EQ(after, expected) << "found:\n" << ShowTree(after) << "expected:\n" << ShowTree(expected);
  for (const DWORD kind : kinds) {
    const DWORD attributes = GetFileAttributesA((scratch_.Path() + "F000\\attr" + std::to_string(kind) + ".txt").c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & kind, kind) << kind;
  }
}

// The holder itself, against the operations the tools use: under Wine as under Windows, a
// file opened with share mode 0 by another process can be neither opened, renamed nor
// deleted (error 32) until it is closed.
TEST_F(HostileBase, AFileHeldByAnotherProcessRefusesOpenRenameAndDelete) {
  const std::string path = scratch_.Path() + "held.txt";
  const std::string moved = scratch_.Path() + "moved.txt";
  ASSERT_TRUE(WriteText(path, "held"));
  {
    HeldFile held(path);
    ASSERT_TRUE(held.Holding());
    EXPECT_EQ(OpenError(path), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileA(path.c_str(), moved.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(held.Release(), 0u);
  }
  EXPECT_TRUE(MoveFileA(path.c_str(), moved.c_str()));
  EXPECT_EQ(TextOf(moved), "held");
  EXPECT_TRUE(DeleteFileA(moved.c_str()));
}

// ---- 10,000 files ----

constexpr int kMany = 10000;
constexpr int kFolders = 10;
constexpr int kPerFolder = kMany / kFolders;

std::string Numbered(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "p%04d.txt", number);
  return name;
}

// A selection of 10,000 real files, made once for the suite, in ten folders d0 .. d9 (a
// search result's selection): folder k holds a.txt and p(1000k+1) .. p(1000k+999). Under
// the base name "p" the renumber tool gives row r the name p(r+1), which the next file of
// the same folder bears: every file but the last of each folder is first moved aside.
// (Ten folders rather than one: Wine looks every absent name up by reading the whole
// folder, which would make one folder of 10,000 cost minutes.)
class TenThousandFiles : public HostileBase {
 protected:
  static void SetUpTestSuite() {
    RegisteredModuleTest::SetUpTestSuite();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    top_ = new std::string(std::string(temp) + "ovshellex-" + std::to_string(GetCurrentProcessId()) + "-many\\");
    CreateDirectoryA(top_->c_str(), nullptr);
    paths_ = new Names;
    for (int k = kFolders - 1; k >= 0; --k) {  // handed over in an order of their own
      const std::string folder = "d" + std::to_string(k) + "\\";
      CreateDirectoryA((*top_ + folder).c_str(), nullptr);
      for (int j = 0; j < kPerFolder; ++j) {
        const std::string name = folder + OldName(k * kPerFolder + j);
        paths_->push_back(*top_ + name);
        if (!WriteText(paths_->back(), "was " + name)) ++unwritten_;
      }
    }
  }
  static void TearDownTestSuite() {
    EmptyFolder(*top_);
    RemoveDirectoryA(top_->c_str());
    delete top_;
    delete paths_;
    top_ = nullptr;
    paths_ = nullptr;
    RegisteredModuleTest::TearDownTestSuite();
  }
  void SetUp() override {
    HostileBase::SetUp();
    ASSERT_EQ(unwritten_, 0);
  }

  // The name of the file in row r of the sorted selection, and its folder.
  static std::string OldName(int r) { return r % kPerFolder == 0 ? "a.txt" : Numbered(r); }
  static std::string FolderOf(int r) { return "d" + std::to_string(r / kPerFolder) + "\\"; }

  static int RowCount(const DialogUser& user) {
    return static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0));
  }

  static std::string* top_;
  static Names* paths_;
  static int unwritten_;
};

std::string* TenThousandFiles::top_ = nullptr;
Names* TenThousandFiles::paths_ = nullptr;
int TenThousandFiles::unwritten_ = 0;

// The three dialogs that only look: each lists the whole selection and closes with Cancel.
TEST_F(TenThousandFiles, EveryFileDialogOpensWithTheWholeSelection) {
  struct Row {
    UINT verb;
    const char* caption;
    int rows;
    const char* firstRow;  // both columns
  };
  for (const Row& row : {Row{kBulkRename, kBulkRenameCaption, kMany, "a.txt:a.txt"},
                         Row{kConditionalDelete, kDeleteCaption, kMany, "a.txt:"},
                         // two series: a of the ten a.txt, p of all the others
                         Row{kSeries, kSeriesCaption, 2, "a:10"}}) {
    SCOPED_TRACE(Readable(row.caption));
    int rows = -1;
    std::string firstRow;
    std::string lastRow;
    const Outcome outcome = Invoke(*paths_, row.verb, row.caption, [&](DialogUser& user) {
      rows = RowCount(user);
      firstRow = user.Cell(0, 0) + ":" + user.Cell(0, 1);
      lastRow = user.Cell(rows - 1, 0) + ":" + user.Cell(rows - 1, 1);
      user.PostClick(user.Button("Cancel"));
    });
    EXPECT_EQ(outcome.queried, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
    EXPECT_EQ(outcome.menu, Names({kFilesMenu, "ファイル名の一括処理", "ファイル名による自動分類",
                                   "ファイル名のリナンバリング", "条件指定つきファイル削除"}));
    EXPECT_TRUE(outcome.found);
    EXPECT_TRUE(outcome.closed);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_EQ(rows, row.rows);
    EXPECT_EQ(firstRow, row.firstRow);
    if (row.verb == kSeries) {
      EXPECT_EQ(lastRow, "p:9990");
    } else {
      EXPECT_EQ(lastRow.substr(0, lastRow.find(':')), "p9999.txt");
    }
  }
  int missing = 0;
  for (const std::string& path : *paths_) missing += GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(missing, 0);  // nothing touched
}

// Renumbering all of them: every file gets the name its row shows, with its own text, and
// no temporary file is left behind.
TEST_F(TenThousandFiles, RenumberRenamesEveryFile) {
  int rows = -1;
  std::map<int, std::string> shown;  // a sample of rows: both columns
  const Outcome outcome = Invoke(
      *paths_, kRenumber, kRenumberCaption,
      [&](DialogUser& user) {
        rows = RowCount(user);
        user.Type(user.FieldRightOf("基底ファイル名"), "p");
        // Reading every row across threads would cost Wine seconds: a row of each stretch
        // of 97, the first and the last of each folder.
        for (int row = 0; row < rows; ++row) {
          if (row % 97 == 0 || row % kPerFolder == 0 || row % kPerFolder == kPerFolder - 1) {
            shown[row] = user.Cell(row, 0) + " -> " + user.Cell(row, 1);
          }
        }
        user.PostClick(user.Button("実行"));
      },
      300000);
  EXPECT_TRUE(outcome.found);
  EXPECT_TRUE(outcome.closed);
  EXPECT_TRUE(outcome.boxes.empty()) << Readable(outcome.boxes.empty() ? "" : outcome.boxes[0]);
  ASSERT_EQ(rows, kMany);

  Tree expected;
  for (int r = 0; r < kMany; ++r) {
    const std::string folder = FolderOf(r);
    expected[folder] = "";
    expected[folder + Numbered(r + 1)] = "was " + folder + OldName(r);
  }
  ASSERT_GT(shown.size(), 100u);
  for (const auto& [row, cells] : shown) EXPECT_EQ(cells, OldName(row) + " -> " + Numbered(row + 1)) << "row " << row;
  const Tree after = ReadFolderTree(*top_);
  EXPECT_EQ(after.size(), expected.size());
  int wrong = 0;
  for (const auto& [name, contents] : expected) {
    const auto found = after.find(name);
    if ((found == after.end() || found->second != contents) && ++wrong <= 5) {
      ADD_FAILURE() << Readable(name) << " holds " << (found == after.end() ? "<missing>" : Readable(found->second));
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace ov::test
