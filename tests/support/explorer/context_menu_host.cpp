#include "support/explorer/context_menu_host.h"

namespace ov::explorer {

std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    MenuEntry entry;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
      entry.text = "<unreadable>";
      entries.push_back(entry);
      continue;
    }
    entry.separator = (info.fType & MFT_SEPARATOR) != 0;
    entry.id = info.wID;
    char text[256] = {};
    if (!entry.separator && GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION) > 0) {
      entry.text = text;
    }
    if (info.hSubMenu != nullptr) {
      entry.popup = true;
      entry.submenu = ReadMenu(info.hSubMenu);
    }
    entries.push_back(entry);
  }
  return entries;
}

HRESULT ContextMenuHost::Open(REFCLSID classId, IClassFactory* factory, IDataObject* selection) {
  HRESULT result = factory != nullptr
                       ? factory->CreateInstance(nullptr, IID_IShellExtInit, init_.Out())
                       : CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init_.Out());
  if (FAILED(result)) return result;
  result = init_->Initialize(nullptr, selection, nullptr);
  if (FAILED(result)) return result;
  return init_->QueryInterface(IID_IContextMenu, menu_.Out());
}

HRESULT ContextMenuHost::Query(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags) {
  if (!menu_) return E_UNEXPECTED;
  return menu_->QueryContextMenu(menu, position, firstId, lastId, flags);
}

HRESULT ContextMenuHost::Invoke(UINT offset, HWND owner) {
  if (!menu_) return E_UNEXPECTED;
  CMINVOKECOMMANDINFO record = {};
  record.cbSize = sizeof record;
  record.hwnd = owner;
  record.lpVerb = MAKEINTRESOURCEA(offset);
  record.nShow = SW_SHOWNORMAL;
  return menu_->InvokeCommand(&record);
}

namespace {

struct WindowSearch {
  const char* className;
  std::wstring caption;
  HWND found;
};

// The caption read without a message to the window (GetWindowText sends WM_GETTEXT to a
// window of this process, which waits while the window's thread is busy), compared as
// UTF-16, as the window keeps it.
BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<WindowSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (search.className != nullptr) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search.className) != 0) return TRUE;
  }
  wchar_t text[512] = {};
  InternalGetWindowText(window, text, 512);
  if (search.caption != text) return TRUE;
  search.found = window;
  return FALSE;
}

// Closes what a tool left open on its thread: a message box is answered with Cancel (or OK
// where it has no Cancel: the command reaches its window procedure either way), any other
// window is asked to close.
BOOL CALLBACK CloseOnThread(HWND window, LPARAM owner) {
  if (window == reinterpret_cast<HWND>(owner) || !IsWindowVisible(window)) return TRUE;
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") == 0) {
    PostMessageA(window, WM_COMMAND, GetDlgItem(window, IDCANCEL) != nullptr ? IDCANCEL : IDOK, 0);
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

struct Watch {
  HANDLE user;
  DWORD invoker;
  HWND owner;
  DWORD limitMs;
  Invocation* invocation;
  bool expired;   // the user did not end within the limit
  bool leftOpen;  // windows were still open on the invoking thread after the user's part
};

bool Returned(const Watch& watch) { return watch.invocation->Returned(); }

DWORD WINAPI WatchUser(void* data) {
  auto& watch = *static_cast<Watch*>(data);
  watch.expired = WaitForSingleObject(watch.user, watch.limitMs) != WAIT_OBJECT_0;
  // The tool may still be finishing what the user's last press started.
  for (int tick = 0; tick < 100 && !Returned(watch); ++tick) Sleep(100);
  if (Returned(watch)) return 0;
  watch.leftOpen = true;
  // At most a minute of closing: a window that refuses to close is reported, not waited for.
  for (int attempt = 0; attempt < 600 && !Returned(watch); ++attempt) {
    EnumThreadWindows(watch.invoker, &CloseOnThread, reinterpret_cast<LPARAM>(watch.owner));
    Sleep(100);
  }
  return 0;
}

struct UserStart {
  const User* user;
  const Invocation* invocation;
};

DWORD WINAPI RunUser(void* data) {
  try {
    const auto& start = *static_cast<UserStart*>(data);
    (*start.user)(*start.invocation);
  } catch (...) {
    return 1;
  }
  return 0;
}

// Waits for a thread while handling this thread's messages: the user's thread may still send
// to the host's windows (reading a caption sends WM_GETTEXT), as Explorer's thread would answer.
bool WaitPumping(HANDLE thread, DWORD limitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= limitMs) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, limitMs - spent, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

}  // namespace

HWND FindOwnWindow(const char* className, const std::string& caption) {
  std::wstring wide(caption.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, caption.data(), static_cast<int>(caption.size()),
                                                           &wide[0], static_cast<int>(wide.size()))));
  WindowSearch search{className, wide, nullptr};
  EnumWindows(&MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Played InvokeWhileUserPlays(ContextMenuHost& host, UINT offset, HWND owner, const User& user, DWORD limitMs) {
  Played played;
  Invocation invocation;
  UserStart start{&user, &invocation};
  HANDLE userThread = CreateThread(nullptr, 0, &RunUser, &start, 0, nullptr);
  if (userThread == nullptr) return played;
  Watch watch{userThread, GetCurrentThreadId(), owner, limitMs, &invocation, false, false};
  HANDLE watchThread = CreateThread(nullptr, 0, &WatchUser, &watch, 0, nullptr);
  played.invoked = host.Invoke(offset, owner);
  invocation.MarkReturned();
  // Both threads write into what the caller owns: they must have ended before that goes.
  if (watchThread != nullptr) {
    WaitPumping(watchThread, limitMs + 75000);  // the user's limit, then at most the closing
    CloseHandle(watchThread);
  }
  if (!WaitPumping(userThread, 2000)) {
    TerminateThread(userThread, 1);
    WaitForSingleObject(userThread, 5000);
    watch.expired = true;
  }
  CloseHandle(userThread);
  played.userFinished = !watch.expired;
  played.closedByTool = !watch.leftOpen;
  return played;
}

HostWindow::HostWindow()
    : window_(CreateWindowExA(0, "STATIC", "Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr)) {}

HostWindow::~HostWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

}  // namespace ov::explorer
