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

#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kDialogCaption[] = "ファイル名のリナンバリング";

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string Cell(HWND list, int row, int column) {
  char text[260] = {};
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

// What the user saw and did, filled on the user's thread.
struct UserRun {
  HWND explorer = nullptr;
  std::string baseName;
  bool found = false;
  bool ownedByExplorer = false;
  bool explorerDisabled = false;
  std::vector<std::string> before;  // first column as listed
  std::vector<std::string> preview; // second column after typing
  bool pressed = false;
  bool closed = false;
};

DWORD WINAPI PlayUser(void* parameter) {
  auto& run = *static_cast<UserRun*>(parameter);
  HWND dialog = nullptr;
  for (int tries = 0; tries < 200 && dialog == nullptr; ++tries) {
    dialog = FindWindowA(nullptr, kDialogCaption);
    if (dialog == nullptr || !IsWindowVisible(dialog)) {
      dialog = nullptr;
      Sleep(50);
    }
  }
  if (dialog == nullptr) return 1;
  run.found = true;
  run.ownedByExplorer = GetWindow(dialog, GW_OWNER) == run.explorer;
  run.explorerDisabled = !IsWindowEnabled(run.explorer);

  HWND list = nullptr, baseName = nullptr, execute = nullptr;
  for (HWND window : Descendants(dialog)) {
    const std::string kind = ClassOf(window);
    if (kind == "SysListView32") list = window;
    if (kind == "Button" && TextOf(window) == "実行") execute = window;
    // The one editable field that is not part of the extension list.
    if (kind == "Edit" && (GetWindowLongA(window, GWL_STYLE) & ES_READONLY) == 0 &&
        ClassOf(GetParent(window)) != "ComboBox") {
      baseName = window;
    }
  }
  if (list == nullptr || baseName == nullptr || execute == nullptr) return 2;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) run.before.push_back(Cell(list, row, 0));

  SendMessageA(baseName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(run.baseName.c_str()));
  for (int row = 0; row < rows; ++row) run.preview.push_back(Cell(list, row, 1));
  // Posted, as a click arrives: the dialog's thread runs the renaming in its own loop.
  run.pressed = IsWindowEnabled(execute) != FALSE && PostMessageA(execute, BM_CLICK, 0, 0) != FALSE;
  for (int tries = 0; tries < 200 && IsWindow(dialog); ++tries) Sleep(50);
  run.closed = !IsWindow(dialog);
  return 0;
}

std::string Contents(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[256] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

void Write(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

TEST(RenumberEndToEnd, InvokedFromTheMenuTheUserRenamesRealFiles) {
  ComApartment apartment;
  ShellExtModule module;
  ASSERT_TRUE(module.Loaded());
  ScratchFolder scratch;
  // The new names img1 .. img3 are partly the names of other selected files: the batch
  // has to move holders aside on the real file system.
  const std::vector<std::string> names = {"img2.txt", "img3.txt", "写真ソ.txt"};
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    paths.push_back(scratch.Path() + name);
    Write(paths.back(), "was " + name);
  }

  Ref<IClassFactory> factory;
  ASSERT_EQ(module.getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  Ref<IShellExtInit> init;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, init.Out()), S_OK);
  DropDataObject data({paths[2], paths[0], paths[1]});
  ASSERT_EQ(init->Initialize(nullptr, &data, nullptr), S_OK);
  Ref<IContextMenu> menu;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menu.Out()), S_OK);

  // The menu as Explorer builds it; the renumber item's command gives the offset.
  MenuOwner host;
  ASSERT_TRUE(SUCCEEDED(menu->QueryContextMenu(host.Get(), 0, 100, 0x7FFF, CMF_NORMAL)));
  UINT offset = 0xFFFF;
  for (const MenuEntry& entry : ReadMenu(host.Get())) {
    for (const MenuEntry& item : entry.submenu) {
      if (item.text == kDialogCaption) offset = item.id - 100;
    }
  }
  ASSERT_EQ(offset, 2u);

  HWND explorer = CreateWindowExA(0, "STATIC", "Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(explorer, nullptr);
  UserRun run;
  run.explorer = explorer;
  run.baseName = "img";
  HANDLE user = CreateThread(nullptr, 0, PlayUser, &run, 0, nullptr);
  ASSERT_NE(user, nullptr);

  CMINVOKECOMMANDINFO record = {};
  record.cbSize = sizeof record;
  record.hwnd = explorer;
  record.lpVerb = MAKEINTRESOURCEA(offset);
  record.nShow = SW_SHOWNORMAL;
  EXPECT_EQ(menu->InvokeCommand(&record), S_OK);  // returns once the dialog has closed

  WaitForSingleObject(user, 15000);
  DWORD exitCode = 99;
  GetExitCodeThread(user, &exitCode);
  CloseHandle(user);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(run.found);
  EXPECT_TRUE(run.ownedByExplorer);
  EXPECT_TRUE(run.explorerDisabled);
  EXPECT_TRUE(IsWindowEnabled(explorer));
  DestroyWindow(explorer);
  // Listed in the order of the name comparison, then previewed with the typed base.
  ASSERT_EQ(run.before.size(), 3u);
  EXPECT_BYTES(run.before[0], "img2.txt");
  EXPECT_BYTES(run.before[1], "img3.txt");
  EXPECT_BYTES(run.before[2], "写真ソ.txt");
  ASSERT_EQ(run.preview.size(), 3u);
  EXPECT_BYTES(run.preview[0], "img1.txt");
  EXPECT_BYTES(run.preview[1], "img2.txt");
  EXPECT_BYTES(run.preview[2], "img3.txt");
  EXPECT_TRUE(run.pressed);
  EXPECT_TRUE(run.closed);

  EXPECT_BYTES(Contents(scratch.Path() + "img1.txt"), "was img2.txt");
  EXPECT_BYTES(Contents(scratch.Path() + "img2.txt"), "was img3.txt");
  EXPECT_BYTES(Contents(scratch.Path() + "img3.txt"), "was 写真ソ.txt");
  EXPECT_EQ(GetFileAttributesA(paths[2].c_str()), INVALID_FILE_ATTRIBUTES);
  // Nothing else is left in the folder: no temporary file.
  int files = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((scratch.Path() + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ++files;
        DeleteFileA((scratch.Path() + found.cFileName).c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  EXPECT_EQ(files, 3);
}

}  // namespace
}  // namespace ov::test
