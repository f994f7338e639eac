#include "explorer_window.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>

#include "base/path_parts.h"
#include "console.h"
#include "support/explorer/context_menu_host.h"
#include "support/explorer/drop_data_object.h"

namespace ov::demo {

const CLSID kShellExtensionClass = {0x5AC8F479, 0x8E1A, 0x433E, {0x9D, 0x53, 0x72, 0xF1, 0xCA, 0xAE, 0x3A, 0xFF}};

namespace {

const char kClassName[] = "OvExplorerWindow";
constexpr UINT kRefreshId = 1;
constexpr UINT kFirstHandlerId = 0x100;
constexpr UINT kLastHandlerId = 0x7FFF;
constexpr int kStatusHeightGuess = 22;

std::string Hex(HRESULT result) {
  char text[16] = {};
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

// "1,234 KB", as Explorer shows a size: whole kilobytes, rounded up.
std::string SizeText(std::uint64_t bytes) {
  std::string digits = std::to_string((bytes + 1023) / 1024);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits + " KB";
}

std::string KindText(const std::string& name, bool folder) {
  if (folder) return "ファイル フォルダ";
  std::string extension = base::ExtensionPart(name);
  if (extension.size() <= 1) return "ファイル";
  extension.erase(0, 1);
  CharUpperBuffA(extension.data(), static_cast<DWORD>(extension.size()));
  return extension + " ファイル";
}

bool NameBefore(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
}

}  // namespace

ExplorerWindow::ExplorerWindow(std::string folder) : folder_(std::move(folder)) {}

ExplorerWindow::~ExplorerWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
}

bool ExplorerWindow::Create(int showCommand) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &ExplorerWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");

  window_ = CreateWindowExA(0, kClassName, "ovexplorer", WS_OVERLAPPEDWINDOW, 10, 10, 820, 560, nullptr, nullptr,
                            instance, this);
  if (window_ == nullptr) return false;
  list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 100, 100,
                          window_, nullptr, instance, nullptr);
  status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window_,
                            nullptr, instance, nullptr);
  if (list_ == nullptr || status_ == nullptr) return false;
  SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  struct Column {
    const char* caption;
    int width;
    int format;
  };
  const Column columns[] = {{"名前", 380, LVCFMT_LEFT}, {"サイズ", 100, LVCFMT_RIGHT}, {"種類", 140, LVCFMT_LEFT}};
  for (int index = 0; index < 3; ++index) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<char*>(columns[index].caption);
    column.cx = columns[index].width;
    column.fmt = columns[index].format;
    SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
  }
  Open(folder_);
  Layout();
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(list_);
  return true;
}

LRESULT CALLBACK ExplorerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
    static_cast<ExplorerWindow*>(created->lpCreateParams)->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
  }
  auto* self = reinterpret_cast<ExplorerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    WriteLine("ovexplorer: an unexpected error in the window; the message is dropped");
    return 0;
  }
}

LRESULT ExplorerWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      if (list_ != nullptr) SetFocus(list_);
      return 0;
    case WM_NOTIFY:
      return Notify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == list_ || reinterpret_cast<HWND>(wParam) == window_) {
        ShowContextMenu(lParam);
        return 0;
      }
      break;
    case WM_MENUSELECT:
      ShowHelp(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kSelectMessage:
      return Select(wParam == kSelectFolders);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      // The window's last message still needs its handle for the default processing.
      const LRESULT result = DefWindowProcA(window_, message, wParam, lParam);
      window_ = nullptr;
      return result;
    }
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT ExplorerWindow::Notify(const NMHDR& header) {
  if (header.hwndFrom != list_) return 0;
  if (header.code == NM_DBLCLK || header.code == NM_RETURN) {
    const int row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0 && static_cast<std::size_t>(row) < entries_.size() && entries_[static_cast<std::size_t>(row)].folder) {
      Open(folder_ + "\\" + entries_[static_cast<std::size_t>(row)].name);
    }
  } else if (header.code == LVN_KEYDOWN) {
    const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_F5) Refresh();
    if (key == VK_APPS) PostMessageA(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_), -1);
    if (key == 'A' && control) {
      LVITEMA state = {};
      state.stateMask = LVIS_SELECTED;
      state.state = LVIS_SELECTED;
      SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    }
    if (key == VK_BACK) {
      const std::string parent = base::FolderPart(folder_);
      // "C:\a" -> "C:\" -> "C:"; the drive's root is as far up as it goes.
      if (parent.size() > 3) Open(parent.substr(0, parent.size() - 1));
    }
  } else if (header.code == LVN_ITEMCHANGED) {
    ShowCount();
  }
  return 0;
}

void ExplorerWindow::Layout() {
  if (list_ == nullptr || status_ == nullptr) return;
  SendMessageA(status_, WM_SIZE, 0, 0);
  RECT client;
  GetClientRect(window_, &client);
  RECT bar;
  const int statusHeight = GetWindowRect(status_, &bar) ? static_cast<int>(bar.bottom - bar.top) : kStatusHeightGuess;
  MoveWindow(list_, 0, 0, client.right, std::max(0, static_cast<int>(client.bottom) - statusHeight), TRUE);
}

void ExplorerWindow::Open(const std::string& folder) {
  folder_ = folder;
  SetWindowTextA(window_, ("ovexplorer - " + folder_).c_str());
  Refresh();
}

// Folders first, then files, each in the name order of the shell; hidden entries stay
// hidden, as Explorer shows them by default.
void ExplorerWindow::Refresh() {
  entries_.clear();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == ".." || (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
        continue;
      }
      const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entries_.push_back({name, folder, (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    if (a.folder != b.folder) return a.folder;
    return NameBefore(a.name, b.name);
  });

  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t row = 0; row < entries_.size(); ++row) {
    const Entry& entry = entries_[row];
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<char*>(entry.name.c_str());
    const int at = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    const std::string size = entry.folder ? std::string() : SizeText(entry.size);
    const std::string kind = KindText(entry.name, entry.folder);
    LVITEMA cell = {};
    cell.iSubItem = 1;
    cell.pszText = const_cast<char*>(size.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cell));
    cell.iSubItem = 2;
    cell.pszText = const_cast<char*>(kind.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cell));
  }
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  ShowCount();
}

int ExplorerWindow::Select(bool folders) {
  int selected = 0;
  int first = -1;
  for (std::size_t row = 0; row < entries_.size(); ++row) {
    const bool take = entries_[row].folder == folders;
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = take ? LVIS_SELECTED : 0;
    if (take && first < 0) {
      first = static_cast<int>(row);
      state.state |= LVIS_FOCUSED;
    }
    SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    selected += take ? 1 : 0;
  }
  if (first >= 0) SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(first), FALSE);
  SetFocus(list_);
  return selected;
}

std::vector<std::string> ExplorerWindow::SelectedPaths() const {
  std::vector<std::string> paths;
  int row = -1;
  while ((row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0) {
    if (static_cast<std::size_t>(row) < entries_.size()) {
      paths.push_back(folder_ + "\\" + entries_[static_cast<std::size_t>(row)].name);
    }
  }
  return paths;
}

// The mouse's place, or for the keyboard (-1) the focused row of the selection.
POINT ExplorerWindow::MenuPlace(LPARAM lParam) const {
  POINT place = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam != -1) return place;
  place = {20, 20};
  int row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
  if (row < 0) row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  RECT label = {};
  label.left = LVIR_LABEL;
  if (row >= 0 && SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label))) {
    place = {label.left + 40, label.bottom};
  }
  ClientToScreen(list_, &place);
  return place;
}

void ExplorerWindow::ShowContextMenu(LPARAM lParam) {
  const std::vector<std::string> paths = SelectedPaths();
  explorer::MenuOwner menu;
  AppendMenuA(menu.Get(), MF_STRING, kRefreshId, "最新の情報に更新(&E)");

  // Explorer's way: the class from the registry (InprocServer32), the selection as
  // CF_HDROP, then the handler's entries in this very menu.
  explorer::ContextMenuHost handler;
  if (!paths.empty()) {
    IDataObject* selection = explorer::DropDataObject::Create(paths);
    HRESULT result = handler.Open(kShellExtensionClass, nullptr, selection);
    selection->Release();
    if (handler.Init() == nullptr) {
      WriteLine("ovexplorer: the shell extension is not registered (CoCreateInstance " + Hex(result) + ")");
      SetStatus("シェル拡張が登録されていません (" + Hex(result) + ")");
    } else {
      if (SUCCEEDED(result)) {
        result = handler.Query(menu.Get(), 1, kFirstHandlerId, kLastHandlerId, CMF_NORMAL | CMF_EXPLORE);
      }
      if (FAILED(result)) WriteLine("ovexplorer: the context-menu handler refused the selection (" + Hex(result) + ")");
    }
  }

  const POINT place = MenuPlace(lParam);
  handler_ = handler.Menu();
  openMenu_ = menu.Get();
  SetForegroundWindow(window_);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                       place.x, place.y, 0, window_, nullptr));
  openMenu_ = nullptr;
  handler_ = nullptr;
  ShowCount();

  if (chosen >= kFirstHandlerId && chosen <= kLastHandlerId && handler.Menu() != nullptr) {
    // Returns when the tool closed.
    const HRESULT result = handler.Invoke(chosen - kFirstHandlerId, window_);
    if (FAILED(result)) WriteLine("ovexplorer: the command failed (" + Hex(result) + ")");
    Refresh();  // the tool may have renamed, moved or deleted files
  } else if (chosen == kRefreshId) {
    Refresh();
  }
  ++menusClosed_;
}

void ExplorerWindow::ShowHelp(UINT id, UINT flags) {
  if (flags == 0xFFFF || (flags & (MF_POPUP | MF_SEPARATOR)) != 0) {
    SetStatus("");
    return;
  }
  if (id == kRefreshId) {
    SetStatus("表示を最新の情報に更新します");
    return;
  }
  char help[256] = {};
  if (handler_ != nullptr && id >= kFirstHandlerId && id <= kLastHandlerId &&
      handler_->GetCommandString(id - kFirstHandlerId, GCS_HELPTEXTA, nullptr, help, sizeof help) == S_OK) {
    SetStatus(help);
  } else {
    SetStatus("");
  }
}

void ExplorerWindow::SetStatus(const std::string& text) { SetWindowTextA(status_, text.c_str()); }

void ExplorerWindow::ShowCount() {
  const int selected = static_cast<int>(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0));
  std::string text = std::to_string(entries_.size()) + " 個のオブジェクト";
  if (selected > 0) text += "  (" + std::to_string(selected) + " 個を選択)";
  SetStatus(text);
}

}  // namespace ov::demo
