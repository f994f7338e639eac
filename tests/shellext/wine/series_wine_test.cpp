// The series classification and the folder combine under Wine, reached as Explorer reaches
// them: ovshellex.dll, a CF_HDROP selection of real files or folders, the files command
// offset 1 and the folder item. A second thread plays the user with real messages: it reads
// the rows, selects two series, combines them through the folder-name dialog, saves both
// dialogs as series.bmp and seriesnewname.bmp and executes; the files on disk then lie in
// their new sub-folders. The folder combine merges three real folders into the chosen one
// and removes the emptied ones.
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
#include "shellext/wine/folder_tree.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

using Names = std::vector<std::string>;

const char kSeriesCaption[] = "ファイル名による自動分類";
const char kChooserCaption[] = "新しいフォルダ名の選択";

// Paints a dialog and all its controls now, so that a capture sees them drawn.
void Repaint(const DialogUser& user) {
  RedrawWindow(user.Dialog(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The names in a folder (trailing "\"), sorted bytewise.
Names List(const std::string& folder) {
  Names names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string ScreensFolder() {
  const char* folder = std::getenv("OV_SCREENS_WIN");
  return folder != nullptr ? folder : "";
}

// Runs one command of the module on a selection while the user thread plays the dialogs.
void Invoke(const std::vector<std::string>& selection, UINT verb, DWORD(WINAPI* user)(void*), void* session) {
  ShellExtModule module;
  ASSERT_TRUE(module.Loaded());
  Ref<IClassFactory> factory;
  ASSERT_EQ(module.getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  DropDataObject data(selection);
  ContextMenuHost host;
  ASSERT_EQ(host.Open(kShellExtClassId, factory.Get(), &data), S_OK);
  const Played played = InvokeWhileUserPlays(host, verb, nullptr, [&](const auto&) { user(session); }, 60000);
  ExpectPlayedThrough(played);
}

struct SeriesSession {
  Names rows;            // "caption:count" as opened
  bool combineEnabled = false;
  Names offered;         // the folder-name dialog's items
  Names combined;        // rows after combining
  bool seriesSaved = false;
  bool chooserSaved = false;
  bool closed = false;
  std::string failure;
};

Names ReadRows(const DialogUser& user) {
  Names rows;
  const int count = static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) rows.push_back(user.Cell(row, 0) + ":" + user.Cell(row, 1));
  return rows;
}

DWORD WINAPI PlaySeriesUser(void* data) {
  SeriesSession& session = *static_cast<SeriesSession*>(data);
  DialogUser user;
  if (!user.Find(kSeriesCaption)) {
    session.failure = "the dialog never showed";
    return 0;
  }
  session.rows = ReadRows(user);
  const std::string screens = ScreensFolder();
  Repaint(user);
  if (!screens.empty()) session.seriesSaved = SaveScreen(user.ClientArea(), screens + "\\series.bmp");

  // Select the first two rows, as a click and a shift-click would.
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageA(user.List(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  SendMessageA(user.List(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
  HWND combine = user.Button("まとめる");
  session.combineEnabled = combine != nullptr && Await([&] { return IsWindowEnabled(combine) != FALSE; });
  if (session.combineEnabled) {
    user.PostClick(combine);  // the press opens the folder-name dialog modally
    DialogUser chooser;
    if (chooser.Find(kChooserCaption)) {
      const std::vector<HWND> combos = chooser.Children("ComboBox");
      if (combos.size() == 1) {
        session.offered = ComboItems(combos[0]);
        ChooseComboItem(combos[0], 1);
      }
      Repaint(chooser);
      if (!screens.empty()) session.chooserSaved = SaveScreen(chooser.ClientArea(), screens + "\\seriesnewname.bmp");
      HWND dialog = chooser.Dialog();
      chooser.PostClick(chooser.Button("OK"));
      Await([&] { return IsWindow(dialog) == FALSE; });
    }
    session.combined = ReadRows(user);
  }

  HWND execute = user.Button("実行");
  if (execute != nullptr) user.PostClick(execute);
  HWND dialog = user.Dialog();
  session.closed = Await([&] { return IsWindow(dialog) == FALSE; });
  return 0;
}

TEST(SeriesUnderWine, ClassifiesCombinesAndMovesTheFilesIntoTheirFolders) {
  ComApartment apartment;
  ASSERT_TRUE(SUCCEEDED(apartment.Result()));
  ScratchFolder scratch;
  const std::string folder = scratch.Path();
  const std::vector<std::string> selection = {
      scratch.File("IMG_0002.jpg"), scratch.File("DSC-0001.jpg"), scratch.File("スーパー01.jpg"),
      scratch.File("IMG_0001.jpg"), scratch.File("0001.jpg"),    scratch.File("photo(1).jpg"),
      scratch.File("photo[02].png")};

  SeriesSession session;
  Invoke(selection, 1, PlaySeriesUser, &session);
  ASSERT_EQ(session.failure, "");
  EXPECT_EQ(session.rows, Names({"DSC:1", "IMG:2", "photo:2", "スーパー:1"}));
  EXPECT_TRUE(session.combineEnabled);
  EXPECT_EQ(session.offered, Names({"DSC", "IMG"}));
  // IMG chosen: DSC joins it, the row stays where IMG stood.
  EXPECT_EQ(session.combined, Names({"IMG:3", "photo:2", "スーパー:1"}));
  if (!ScreensFolder().empty()) {
    EXPECT_TRUE(session.seriesSaved);
    EXPECT_TRUE(session.chooserSaved);
  }
  EXPECT_TRUE(session.closed);

  EXPECT_EQ(List(folder), Names({"0001.jpg", "IMG", "photo", "スーパー"}));
  EXPECT_EQ(List(folder + "IMG\\"), Names({"DSC-0001.jpg", "IMG_0001.jpg", "IMG_0002.jpg"}));
  EXPECT_EQ(List(folder + "photo\\"), Names({"photo(1).jpg", "photo[02].png"}));
  EXPECT_EQ(List(folder + "スーパー\\"), Names({"スーパー01.jpg"}));
  for (const char* made : {"IMG", "photo", "スーパー"}) RemoveFolderTree(folder + made + "\\");
}

struct CombineSession {
  Names offered;
  int chosenAtStart = -1;
  bool closed = false;
  std::string failure;
};

DWORD WINAPI PlayCombineUser(void* data) {
  CombineSession& session = *static_cast<CombineSession*>(data);
  DialogUser chooser;
  if (!chooser.Find(kChooserCaption)) {
    session.failure = "the dialog never showed";
    return 0;
  }
  const std::vector<HWND> combos = chooser.Children("ComboBox");
  if (combos.size() == 1) {
    session.offered = ComboItems(combos[0]);
    session.chosenAtStart = static_cast<int>(SendMessageA(combos[0], CB_GETCURSEL, 0, 0));
    ChooseComboItem(combos[0], 1);
  }
  HWND dialog = chooser.Dialog();
  chooser.PostClick(chooser.Button("OK"));
  session.closed = Await([&] { return IsWindow(dialog) == FALSE; });
  return 0;
}

void WriteFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
}

TEST(FolderCombineUnderWine, MergesThreeFoldersIntoTheChosenOneAndRemovesTheEmptiedOnes) {
  ComApartment apartment;
  ASSERT_TRUE(SUCCEEDED(apartment.Result()));
  ScratchFolder scratch;
  const std::string top = scratch.Path();
  for (const char* made : {"alpha", "alpha\\sub", "Beta", "Beta\\own", "Gamma", "Gamma\\only"}) {
    ASSERT_TRUE(CreateDirectoryA((top + made).c_str(), nullptr)) << made;
  }
  for (const char* made : {"alpha\\a.txt", "alpha\\sub\\deep.txt", "Beta\\b.txt", "Beta\\own\\o.txt", "Gamma\\g.txt",
                           "Gamma\\only\\x.txt"}) {
    WriteFile(top + made);
  }

  CombineSession session;
  Invoke({top + "Gamma", top + "Beta", top + "alpha"}, 0, PlayCombineUser, &session);
  ASSERT_EQ(session.failure, "");
  EXPECT_EQ(session.offered, Names({"alpha", "Beta", "Gamma"}));
  EXPECT_EQ(session.chosenAtStart, 0);
  EXPECT_TRUE(session.closed);

  EXPECT_EQ(List(top), Names({"Beta"}));
  EXPECT_EQ(List(top + "Beta\\"), Names({"a.txt", "b.txt", "g.txt", "only", "own", "sub"}));
  EXPECT_EQ(List(top + "Beta\\sub\\"), Names({"deep.txt"}));
  EXPECT_EQ(List(top + "Beta\\only\\"), Names({"x.txt"}));
  RemoveFolderTree(top + "Beta\\");
}

}  // namespace
}  // namespace ov::test
