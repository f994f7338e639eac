// Explorer's whole sequence against the registered ovshellex.dll, with a real window: the
// handler fills the window's context menu, the status bar shows the help text of the
// highlighted command, and the menu is shown with TrackPopupMenu and saved as
// contextmenu.bmp in the folder named by OV_SCREENS_WIN (turned into PNG by wine-run).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

constexpr UINT kFirstId = 0x7000;
constexpr UINT_PTR kStepTimer = 1;

// The state of the host window while its menu is open.
struct HostState {
  IContextMenu* handler = nullptr;
  HMENU menu = nullptr;
  HWND status = nullptr;
  int step = 0;
  std::string savedTo;
  std::string lastHelp;
};
HostState host;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MENUSELECT: {
      // Explorer's status bar: the help text of the highlighted command.
      const UINT id = LOWORD(wParam);
      if ((HIWORD(wParam) & MF_POPUP) == 0 && id >= kFirstId && id < kFirstId + 16 && host.handler != nullptr) {
        char help[128] = {};
        if (host.handler->GetCommandString(id - kFirstId, GCS_HELPTEXTA, nullptr, help, sizeof help) == S_OK) {
          host.lastHelp = help;
          SetWindowTextA(host.status, help);
        }
      }
      break;
    }
    case WM_TIMER: {
      // The user opens the submenu with the keyboard (down to it, right into it), which
      // highlights its first command; then the screen is saved and the menu closed.
      const int step = host.step++;
      if (step == 0) {
        PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
      }
      if (step == 1) PostMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
      if (step == 2) {
        RECT area = {0, 0, 760, 520};
        const char* folder = std::getenv("OV_SCREENS_WIN");
        if (folder != nullptr && *folder != '\0') {
          const std::string path = std::string(folder) + "\\contextmenu.bmp";
          if (SaveScreen(area, path)) host.savedTo = path;
        }
        KillTimer(window, kStepTimer);
        EndMenu();
      }
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD CancelRenumberDialog() {
  DialogUser user;
  if (!user.Find("ファイル名のリナンバリング")) return 1;
  HWND cancel = user.Button("Cancel");
  if (cancel == nullptr) return 2;
  user.PostClick(cancel);
  return 0;
}

TEST(ExplorerWindow, HandlerFillsTheWindowsContextMenuShownWithTrackPopupMenu) {
  ComApartment apartment;
  ASSERT_TRUE(SUCCEEDED(apartment.Result()));
  ShellExtModule module;
  ASSERT_TRUE(module.Loaded());
  ASSERT_EQ(module.registerServer(), S_OK);
  ScratchFolder scratch;

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "OvExplorerHost";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "OvExplorerHost", "エクスプローラ - 写真", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                720, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  host.status = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 420, 704, 22, window,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(window);
  UpdateWindow(window);

  {
    // CoCreateInstance -> Initialize -> QueryInterface(IID_IContextMenu).
    DropDataObject data({scratch.File("c.jpg"), scratch.File("a.jpg"), scratch.File("b.jpg")});
    ContextMenuHost handler;
    ASSERT_EQ(handler.Open(kShellExtClassId, nullptr, &data), S_OK);

    // QueryContextMenu on the window's own popup menu.
    MenuOwner menu;
    AppendMenuA(menu.Get(), MF_STRING, 1, "開く(&O)");
    AppendMenuA(menu.Get(), MF_STRING, 2, "プロパティ(&R)");
    ASSERT_EQ(handler.Query(menu.Get(), 1, kFirstId, kFirstId + 0x0FFF, CMF_NORMAL | CMF_EXPLORE),
              MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
    const std::vector<MenuEntry> entries = ReadMenu(menu.Get());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries[1].separator);
    EXPECT_BYTES(entries[2].text, "ファイルの整理");
    ASSERT_EQ(entries[2].submenu.size(), 4u);
    EXPECT_BYTES(entries[2].submenu[2].text, "ファイル名のリナンバリング");

    // The status bar text for a command, as Explorer asks for it.
    host = HostState{};
    host.handler = handler.Menu();
    host.menu = menu.Get();
    host.status = GetWindow(window, GW_CHILD);
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(kFirstId + 2, MF_STRING), reinterpret_cast<LPARAM>(menu.Get()));
    EXPECT_BYTES(host.lastHelp, "ファイル名を連番に変更します");
    char shown[128] = {};
    GetWindowTextA(host.status, shown, sizeof shown);
    EXPECT_BYTES(std::string(shown), "ファイル名を連番に変更します");

    // The menu on screen, then the user's choice handed back with the window as parent.
    SetTimer(window, kStepTimer, 300, nullptr);
    const BOOL chosen = TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, 120,
                                       90, 0, window, nullptr);
    KillTimer(window, kStepTimer);
    EXPECT_EQ(chosen, 0);  // closed by the test, nothing chosen
    // The status bar followed the highlight into the submenu.
    EXPECT_BYTES(host.lastHelp, "ファイル名をまとめて変更します");
    if (host.savedTo.empty()) {
      ADD_FAILURE() << "the screen was not saved (OV_SCREENS_WIN is " << (std::getenv("OV_SCREENS_WIN") ? "set" : "unset")
                    << ")";
    }

    // The command opens the renumber dialog over the window; the user cancels it.
    DWORD exitCode = 99;
    ExpectPlayedThrough(
        InvokeWhileUserPlays(handler, 2, window, [&](const Invocation&) { exitCode = CancelRenumberDialog(); }, 60000));
    EXPECT_EQ(exitCode, 0u) << "the renumber dialog did not open over the window";
    host.handler = nullptr;
  }
  DestroyWindow(window);
  EXPECT_EQ(module.canUnloadNow(), S_OK);
  EXPECT_EQ(module.unregisterServer(), S_OK);
}

}  // namespace
}  // namespace ov::test
