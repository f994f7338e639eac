// The renumber tool the way a user reaches it: the test host plays Explorer against the
// real ovshellex.dll (a CF_HDROP selection of real files, the context menu, InvokeCommand
// with the host's own window), and a second thread plays the user with real messages: it
// finds the dialog by its caption, types the base name and presses "実行". The files on
// disk then carry their new names.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/folder_tree.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kDialogCaption[] = "ファイル名のリナンバリング";

// What the user saw and did, filled on the user's thread.
struct UserRun {
  HWND explorer = nullptr;
  std::string baseName;
  bool found = false;
  bool ownedByExplorer = false;
  bool explorerDisabled = false;
  std::vector<std::string> before;   // first column as listed
  std::vector<std::string> preview;  // second column after typing
  std::vector<int> redRows;          // rows whose new name was painted red
  bool executeEnabled = false;
  bool closed = false;
};

DWORD WINAPI PlayUser(void* parameter) {
  auto& run = *static_cast<UserRun*>(parameter);
  DialogUser user;
  if (!user.Find(kDialogCaption)) return 1;
  run.found = true;
  run.ownedByExplorer = GetWindow(user.Dialog(), GW_OWNER) == run.explorer;
  run.explorerDisabled = !IsWindowEnabled(run.explorer);

  HWND baseName = user.FieldRightOf("基底ファイル名");
  HWND execute = user.Button("実行");
  if (user.List() == nullptr || baseName == nullptr || execute == nullptr) return 2;
  const int rows = static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) run.before.push_back(user.Cell(row, 0));

  user.Type(baseName, run.baseName);
  for (int row = 0; row < rows; ++row) run.preview.push_back(user.Cell(row, 1));
  run.redRows = user.RedRows(1);
  run.executeEnabled = IsWindowEnabled(execute) != FALSE;
  if (!run.executeEnabled) {
    // A conflict: the user gives up with Cancel.
    user.PostClick(user.Button("Cancel"));
  } else {
    // Posted, as a click arrives: the dialog's thread runs the renaming in its own loop.
    user.PostClick(execute);
  }
  run.closed = Await([&] { return !IsWindow(user.Dialog()); });
  return 0;
}

// Explorer's part: the selection through CF_HDROP, the menu, InvokeCommand with its own
// window as the parent; the user's part on a thread of its own.
UserRun InvokeRenumber(const std::vector<std::string>& selection, const std::string& baseName) {
  UserRun run;
  ComApartment apartment;
  ShellExtModule module;
  EXPECT_TRUE(module.Loaded());
  if (!module.Loaded()) return run;
  Ref<IClassFactory> factory;
  EXPECT_EQ(module.getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  DropDataObject data(selection);
  ContextMenuHost host;
  EXPECT_EQ(host.Open(kShellExtClassId, factory.Get(), &data), S_OK);
  if (host.Menu() == nullptr) return run;

  // The menu as Explorer builds it; the renumber item's command gives the offset.
  MenuOwner menu;
  EXPECT_TRUE(SUCCEEDED(host.Query(menu.Get(), 0, 100, 0x7FFF, CMF_NORMAL)));
  UINT offset = 0xFFFF;
  for (const MenuEntry& entry : ReadMenu(menu.Get())) {
    for (const MenuEntry& item : entry.submenu) {
      if (item.text == kDialogCaption) offset = item.id - 100;
    }
  }
  EXPECT_EQ(offset, 2u);

  HostWindow explorer;
  EXPECT_NE(explorer.Get(), nullptr);
  run.explorer = explorer.Get();
  run.baseName = baseName;
  DWORD exitCode = 99;
  const Played played =
      InvokeWhileUserPlays(host, offset, explorer.Get(), [&](const auto&) { exitCode = PlayUser(&run); }, 60000);
  ExpectPlayedThrough(played);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(run.found);
  EXPECT_TRUE(run.ownedByExplorer);
  EXPECT_TRUE(run.explorerDisabled);
  EXPECT_TRUE(IsWindowEnabled(explorer.Get()));
  EXPECT_TRUE(run.closed);
  return run;
}

// Deletes the files of the folder; returns how many there were.
int EmptyFolder(const std::string& folder) {
  int files = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ++files;
        DeleteFileA((folder + found.cFileName).c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return files;
}

TEST(RenumberEndToEnd, InvokedFromTheMenuTheUserRenamesRealFiles) {
  ScratchFolder scratch;
  // The new names img1 .. img3 are partly the names of other selected files: the batch
  // has to move holders aside on the real file system.
  const std::vector<std::string> names = {"img2.txt", "img3.txt", "写真ソ.txt"};
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    paths.push_back(scratch.Path() + name);
    WriteText(paths.back(), "was " + name);
  }
  const UserRun run = InvokeRenumber({paths[2], paths[0], paths[1]}, "img");

  // Listed in the order of the name comparison, then previewed with the typed base.
  ASSERT_EQ(run.before.size(), 3u);
  EXPECT_BYTES(run.before[0], "img2.txt");
  EXPECT_BYTES(run.before[1], "img3.txt");
  EXPECT_BYTES(run.before[2], "写真ソ.txt");
  ASSERT_EQ(run.preview.size(), 3u);
  EXPECT_BYTES(run.preview[0], "img1.txt");
  EXPECT_BYTES(run.preview[1], "img2.txt");
  EXPECT_BYTES(run.preview[2], "img3.txt");
  EXPECT_TRUE(run.redRows.empty());  // names held inside the selection are no conflict
  EXPECT_TRUE(run.executeEnabled);

  EXPECT_BYTES(TextOf(scratch.Path() + "img1.txt"), "was img2.txt");
  EXPECT_BYTES(TextOf(scratch.Path() + "img2.txt"), "was img3.txt");
  EXPECT_BYTES(TextOf(scratch.Path() + "img3.txt"), "was 写真ソ.txt");
  EXPECT_EQ(GetFileAttributesA(paths[2].c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(EmptyFolder(scratch.Path()), 3);  // no temporary file left
}

TEST(RenumberEndToEnd, NameHeldOutsideTheSelectionIsPaintedRedAndBlocksExecute) {
  ScratchFolder scratch;
  const std::string a = scratch.Path() + "a.txt";
  const std::string b = scratch.Path() + "b.txt";
  WriteText(a, "was a.txt");
  WriteText(b, "was b.txt");
  WriteText(scratch.Path() + "img2.txt", "other");
  const UserRun run = InvokeRenumber({a, b}, "img");
  ASSERT_EQ(run.preview.size(), 2u);
  EXPECT_BYTES(run.preview[1], "img2.txt");
  EXPECT_EQ(run.redRows, std::vector<int>{1});
  EXPECT_FALSE(run.executeEnabled);
  // Cancelled: nothing changed.
  EXPECT_BYTES(TextOf(a), "was a.txt");
  EXPECT_BYTES(TextOf(b), "was b.txt");
  EXPECT_BYTES(TextOf(scratch.Path() + "img2.txt"), "other");
  EXPECT_EQ(EmptyFolder(scratch.Path()), 3);
}

}  // namespace
}  // namespace ov::test
