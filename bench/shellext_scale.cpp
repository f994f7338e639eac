// The shell extension at scale under Wine: 100,000 real files selected at once. Measures the
// real ovshellex.dll (beside this program) as Explorer drives it: Initialize plus
// QueryContextMenu, each tool dialog until it is shown and painted, one preview screen
// repainted, and SafeRenameBatch over every file. Each figure is printed with a floor measured
// in the same run on the same files: the least work of the same kind that the figure cannot
// avoid. Absolute times on a shared machine are noise; the ratios are the result.
//
// Wine finds a name missing from a folder by reading the whole folder, so creating or renaming
// into one folder of 100,000 files is quadratic inside Wine itself (5,000 files take 6 s to
// create, 20,000 take 100 s). The files are therefore spread over sub-folders of --per-folder
// files each; the selection still holds all of them.
//
//   scripts/wine-run build/<win32 build>/bench/shellext_scale.exe [--count N] [--per-folder M]
//                    [--folders F] [--repaints R]
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "shellext/tools/safe_rename_batch.h"
#include "shellext/wine/dialog_user.h"
#include "shellext/wine/test_host.h"

namespace {

using Clock = std::chrono::steady_clock;
using ov::test::ContextMenuHost;
using ov::test::DialogUser;
using ov::test::DropDataObject;
using ov::test::Ref;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Options {
  int count = 100000;
  int perFolder = 500;
  int folders = 0;  // for the folder combine; 0: count / 100
  int repaints = 50;
};

// ---- the files ----

std::string Digits(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

// Ten series ("aphoto" .. "jphoto") with four-digit numbers, as a camera folder looks.
std::string PhotoName(int local) { return std::string(1, static_cast<char>('a' + local % 10)) + "photo" + Digits(local, 4) + ".jpg"; }

struct FileSet {
  std::string root;                  // scratch folder, trailing "\"
  std::vector<std::string> folders;  // sub-folders, trailing "\"
  std::vector<int> folderOf;         // per file
  std::vector<int> localOf;          // per file: its number inside its folder
  std::vector<std::string> paths;    // as created
  std::string Path(std::size_t k, const std::string& name) const { return folders[static_cast<std::size_t>(folderOf[k])] + name; }
};

bool CreateEmpty(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Removes a folder with everything below it.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(folder.substr(0, folder.size() - 1).c_str());
}

std::string MakeRoot() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "ovscale-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(root.c_str(), nullptr);
  return root;
}

bool CreateFiles(const Options& options, FileSet& set) {
  set.root = MakeRoot();
  const int folderCount = (options.count + options.perFolder - 1) / options.perFolder;
  for (int d = 0; d < folderCount; ++d) {
    set.folders.push_back(set.root + "d" + Digits(d, 3) + "\\");
    if (!CreateDirectoryA(set.folders.back().c_str(), nullptr)) return false;
  }
  for (int k = 0; k < options.count; ++k) {
    set.folderOf.push_back(k / options.perFolder);
    set.localOf.push_back(k % options.perFolder);
    set.paths.push_back(set.Path(static_cast<std::size_t>(k), PhotoName(k % options.perFolder)));
    if (!CreateEmpty(set.paths.back())) return false;
  }
  return true;
}

// Every file k is at the name the function gives.
bool AllAt(const FileSet& set, const std::function<std::string(std::size_t)>& name) {
  for (std::size_t k = 0; k < set.paths.size(); ++k) {
    if (GetFileAttributesA(set.Path(k, name(k)).c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  }
  return true;
}

// ---- the table ----

struct Row {
  std::string figure;
  double time;
  double floor;
  std::string note;
};
std::vector<Row> rows;
bool allChecked = true;

void Report(const std::string& figure, double time, double floor, const std::string& note, bool checked) {
  rows.push_back(Row{figure, time, floor, note});
  allChecked = allChecked && checked;
  std::printf("%-34s %9.3f s  floor %9.3f s  ratio %7.2f%s\n", figure.c_str(), time, floor,
              floor > 0 ? time / floor : 0.0, checked ? "" : "  (NOT CHECKED)");
  std::fflush(stdout);
}

// ---- the user's thread: waits for a window to be shown and painted, then acts ----

// The window and all its visible children have no pending update region, after the window's
// thread answered a message (so that it has reached its message loop).
bool Painted(HWND window) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &answer)) return false;
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool clean = true;
  struct Visit {
    static BOOL CALLBACK Child(HWND child, LPARAM data) {
      if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = false;
        return FALSE;
      }
      return TRUE;
    }
  };
  EnumChildWindows(window, &Visit::Child, reinterpret_cast<LPARAM>(&clean));
  return clean;
}

struct Watch {
  std::string caption;
  Clock::time_point start;
  double painted = -1;                          // seconds from start
  std::function<void(DialogUser&)> whilePainted;  // runs once the window is painted
  std::function<void(DialogUser&)> close;
  bool done = false;
};

DWORD WINAPI WatchThread(void* data) {
  auto& watch = *static_cast<Watch*>(data);
  HWND window = nullptr;
  const auto deadline = Clock::now() + std::chrono::minutes(10);
  while (Clock::now() < deadline) {
    window = ov::explorer::FindOwnWindow(nullptr, watch.caption);
    if (window != nullptr) break;
    Sleep(1);
  }
  if (window == nullptr) return 1;
  while (!Painted(window)) Sleep(1);
  watch.painted = Since(watch.start);
  DialogUser user;
  user.Find(watch.caption);
  if (watch.whilePainted) watch.whilePainted(user);
  watch.close(user);
  watch.done = true;
  return 0;
}

// Runs `open` on this thread while the watch plays the user on its own.
void RunWatched(Watch& watch, const std::function<void()>& open) {
  watch.start = Clock::now();
  HANDLE thread = CreateThread(nullptr, 0, &WatchThread, &watch, 0, nullptr);
  open();
  WaitForSingleObject(thread, 11 * 60 * 1000);  // the watch gives up after ten minutes
  CloseHandle(thread);
}

void PressCancel(DialogUser& user) { user.PostClick(user.Button("Cancel")); }

// Seconds per repaint of a list view's visible rows, repainted from the user's thread.
double RepaintTime(HWND list, int repaints) {
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const auto start = Clock::now();
  for (int i = 0; i < repaints; ++i) RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return Since(start) / repaints;
}

// ---- the floors' plain window: a list view of plain text rows (owner data, no custom draw),
// or a drop-down list of names, on this thread ----

const char kPlainCaption[] = "plain window";

struct PlainContent {
  const std::vector<std::string>* names;
  bool combo;
  SIZE client;
  RECT listAt;
  int columns;
};
PlainContent* plain = nullptr;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
    if (info->hdr.code == LVN_GETDISPINFOA && (info->item.mask & LVIF_TEXT) != 0) {
      const std::string& name = (*plain->names)[static_cast<std::size_t>(info->item.iItem)];
      lstrcpynA(info->item.pszText, name.c_str(), info->item.cchTextMax);
      return 0;
    }
  } else if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  } else if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HFONT DialogFont() {
  return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "ＭＳ Ｐゴシック");
}

// Creates the plain window, fills it and runs its loop until the watch closes it.
void RunPlainWindow(PlainContent& content) {
  plain = &content;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &PlainProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "OvScalePlain";
  RegisterClassA(&windowClass);
  RECT frame = {0, 0, content.client.cx, content.client.cy};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, "OvScalePlain", kPlainCaption, style, 100, 100,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  HFONT font = DialogFont();
  const RECT& at = content.listAt;
  if (content.combo) {
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, at.left,
                                 at.top, at.right - at.left, 200, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const std::string& name : *content.names) {
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
  } else {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA,
                                at.left, at.top, at.right - at.left, at.bottom - at.top, window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < content.columns; ++column) {
      LVCOLUMNA lvc = {};
      lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      lvc.pszText = const_cast<char*>("column");
      lvc.cx = (at.right - at.left - 8) / content.columns;
      lvc.iSubItem = column;
      SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&lvc));
    }
    SendMessageA(list, LVM_SETITEMCOUNT, content.names->size(), 0);
  }
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(font);
  plain = nullptr;
}

// What a window showed: its client size and the place and columns of its list view.
struct Shape {
  SIZE client = {530, 313};
  RECT listAt = {268, 158, 268 + 254, 158 + 116};
  int columns = 2;
};

Shape ShapeOf(DialogUser& user) {
  Shape shape;
  RECT client;
  GetClientRect(user.Dialog(), &client);
  shape.client = {client.right, client.bottom};
  if (HWND list = user.List()) {
    GetWindowRect(list, &shape.listAt);
    MapWindowPoints(nullptr, user.Dialog(), reinterpret_cast<POINT*>(&shape.listAt), 2);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    shape.columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  }
  return shape;
}

// A window opened and painted, then one screen of its list repainted.
struct Opened {
  double open = -1;     // seconds until shown and painted
  double repaint = -1;  // seconds per repaint of the list's visible rows
  Shape shape;
};

void MeasureList(DialogUser& user, int repaints, Opened& opened) {
  opened.shape = ShapeOf(user);
  if (user.List() != nullptr) opened.repaint = RepaintTime(user.List(), repaints);
}

// The plain window in the shape of a dialog, with a list of every name (best of two).
Opened PlainWindow(const Shape& shape, const std::vector<std::string>& names, int repaints, bool combo = false) {
  Opened best;
  for (int round = 0; round < 2; ++round) {
    Opened opened;
    Watch watch;
    watch.caption = kPlainCaption;
    watch.whilePainted = [&](DialogUser& user) { MeasureList(user, repaints, opened); };
    watch.close = [](DialogUser& user) { PostMessageA(user.Dialog(), WM_CLOSE, 0, 0); };
    PlainContent content{&names, combo, shape.client, shape.listAt, shape.columns};
    RunWatched(watch, [&] { RunPlainWindow(content); });
    if (round == 0 || watch.painted < best.open) best.open = watch.painted;
    if (round == 0 || opened.repaint < best.repaint) best.repaint = opened.repaint;
  }
  return best;
}

// ---- floors of computation ----

int CompareNoCase(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size()));
}

// A copy of the list sorted by the name comparison, as every tool sorts its selection copy.
double SortTime(const std::vector<std::string>& list) {
  const auto start = Clock::now();
  std::vector<std::string> copy = list;
  std::stable_sort(copy.begin(), copy.end(),
                   [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) == CSTR_LESS_THAN; });
  return Since(start);
}

// The check that a list is in order: what a tool must do at least with a selection list,
// which arrives sorted.
double OrderCheckTime(const std::vector<std::string>& sorted) {
  const auto start = Clock::now();
  const bool ordered = std::is_sorted(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
    return CompareNoCase(a, b) == CSTR_LESS_THAN;
  });
  const double seconds = Since(start);
  if (!ordered) allChecked = false;
  return seconds;
}

std::string NamePart(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// ---- the shell extension as Explorer drives it ----

struct Extension {
  ov::test::ShellExtModule module;
  Ref<IClassFactory> factory;
  bool Ready() {
    return module.Loaded() &&
           SUCCEEDED(module.getClassObject(ov::test::kShellExtClassId, IID_IClassFactory, factory.Out()));
  }
  // Initialize with the paths, then the menu object's QueryContextMenu into `menu`; the
  // number of items added, or -1.
  int Menu(DropDataObject& data, HMENU menu, ContextMenuHost& host) {
    if (FAILED(host.Open(ov::test::kShellExtClassId, factory.Get(), &data))) return -1;
    const HRESULT added = host.Query(menu, 0, 1, 0x7FFF, CMF_NORMAL);
    return FAILED(added) ? -1 : HRESULT_CODE(added);
  }
};

// InvokeCommand until the dialog with the caption is shown and painted, then its list.
Opened OpenDialogOnce(ContextMenuHost& host, int offset, HWND owner, const std::string& caption, int repaints) {
  Opened opened;
  Watch watch;
  watch.caption = caption;
  watch.whilePainted = [&](DialogUser& user) { MeasureList(user, repaints, opened); };
  watch.close = &PressCancel;
  watch.start = Clock::now();
  // The watch gives up after ten minutes; the dialog is then closed for it.
  ov::explorer::InvokeWhileUserPlays(host, static_cast<UINT>(offset), owner,
                                     [&](const ov::explorer::Invocation&) { WatchThread(&watch); }, 11 * 60 * 1000);
  if (watch.done) opened.open = watch.painted;
  return opened;
}

// The better of two openings: the machine is shared.
Opened OpenDialog(ContextMenuHost& host, int offset, HWND owner, const std::string& caption, int repaints) {
  Opened best = OpenDialogOnce(host, offset, owner, caption, repaints);
  const Opened again = OpenDialogOnce(host, offset, owner, caption, repaints);
  if (again.open > 0 && (best.open < 0 || again.open < best.open)) best.open = again.open;
  if (again.repaint > 0 && (best.repaint < 0 || again.repaint < best.repaint)) best.repaint = again.repaint;
  return best;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (name == "--count") options.count = value;
    if (name == "--per-folder") options.perFolder = value;
    if (name == "--folders") options.folders = value;
    if (name == "--repaints") options.repaints = value;
  }
  options.count = std::max(options.count, 2);
  options.perFolder = std::max(options.perFolder, 2);
  if (options.folders <= 0) options.folders = std::max(2, options.count / 100);
  options.repaints = std::max(options.repaints, 1);
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  ov::test::ComApartment apartment;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  Extension extension;
  if (!extension.Ready()) {
    std::printf("ovshellex.dll beside the program could not be loaded\n");
    return 1;
  }
  std::printf("%d files in %d folders of %d, %d folders for the folder combine, %d repaints\n", options.count,
              (options.count + options.perFolder - 1) / options.perFolder, options.perFolder, options.folders,
              options.repaints);

  // Creating the files: the floor of floors.
  FileSet set;
  auto start = Clock::now();
  const bool created = CreateFiles(options, set);
  const double creation = Since(start);
  Report("create the files (CreateFileA)", creation, creation, "itself", created);
  if (!created) {
    RemoveTree(set.root);
    return 1;
  }
  const std::vector<std::string>& paths = set.paths;

  // Initialize + QueryContextMenu against what Initialize must do at least: read every path
  // out of the CF_HDROP once and ask for its attributes.
  DropDataObject data(paths);
  double menuFloor = 1e9, menuTime = 1e9;
  int added = -1;
  ContextMenuHost contextMenu;
  for (int round = 0; round < 3; ++round) {
    start = Clock::now();
    {
      FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      STGMEDIUM medium = {};
      data.GetData(&format, &medium);
      const auto* drop = static_cast<const DROPFILES*>(GlobalLock(medium.hGlobal));
      std::size_t files = 0;
      for (const char* path = reinterpret_cast<const char*>(drop) + drop->pFiles; *path != '\0';
           path += std::strlen(path) + 1) {
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++files;
      }
      GlobalUnlock(medium.hGlobal);
      ReleaseStgMedium(&medium);
      if (files != paths.size()) allChecked = false;
    }
    menuFloor = std::min(menuFloor, Since(start));
    ov::test::MenuOwner menu;
    start = Clock::now();
    added = extension.Menu(data, menu.Get(), contextMenu);
    menuTime = std::min(menuTime, Since(start));
  }
  Report("Initialize + QueryContextMenu", menuTime, menuFloor, "one pass over CF_HDROP + GetFileAttributesA", added == 5);

  // The host's window, the parent of every dialog.
  HWND explorer = CreateWindowExA(0, "STATIC", "Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
  std::vector<std::string> names;
  names.reserve(paths.size());
  for (const std::string& path : paths) names.push_back(NamePart(path));

  // Windows, fonts and the list view class once before anything is timed.
  PlainWindow(Shape{}, names, 1);
  const double sortTime = SortTime(paths);
  std::vector<std::string> sorted = paths;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) == CSTR_LESS_THAN; });
  const double sortFloor = OrderCheckTime(sorted);
  rows[1].note += " (a CompareStringA sort of the paths alone: " + std::to_string(sortTime).substr(0, 5) + " s)";

  // Bulk rename: the selection copy checked for order, a virtual preview.
  const Opened bulk = OpenDialog(contextMenu, 0, explorer, "ファイル名の一括変更", options.repaints);
  const Opened bulkPlain = PlainWindow(bulk.shape, names, options.repaints);
  Report("open bulk rename", bulk.open, bulkPlain.open + sortFloor, "plain list window + order check",
         bulk.open > 0);

  // Series classification: checked for order, every name's series found, one row per series.
  const Opened series = OpenDialog(contextMenu, 1, explorer, "ファイル名による自動分類", options.repaints);
  const Opened seriesPlain = PlainWindow(series.shape, names, options.repaints);
  Report("open series classification", series.open, seriesPlain.open + sortFloor,
         "plain list window + order check", series.open > 0);

  // Renumber: checked for order, every row's new name computed for the list.
  start = Clock::now();
  std::size_t length = 0;
  for (std::size_t k = 0; k < paths.size(); ++k) {
    char name[MAX_PATH];
    length += static_cast<std::size_t>(std::snprintf(name, sizeof name, "%s%06d.jpg", "", static_cast<int>(k) + 1));
  }
  const double nameFloor = Since(start);
  if (length == 0) allChecked = false;  // the names are used, so the loop stays
  const Opened renumber = OpenDialog(contextMenu, 2, explorer, "ファイル名のリナンバリング", options.repaints);
  const Opened renumberPlain = PlainWindow(renumber.shape, names, options.repaints);
  Report("open renumber", renumber.open, renumberPlain.open + sortFloor + nameFloor,
         "plain list window + order check + names", renumber.open > 0);

  // Conditional delete: every file's size read through a search for its path (best of two).
  double findFloor = 1e9;
  for (int round = 0; round < 2; ++round) {
    start = Clock::now();
    std::size_t found = 0;
    for (const std::string& path : paths) {
      WIN32_FIND_DATAA entry;
      HANDLE search = FindFirstFileA(path.c_str(), &entry);
      if (search != INVALID_HANDLE_VALUE) {
        ++found;
        FindClose(search);
      }
    }
    findFloor = std::min(findFloor, Since(start));
    if (found != paths.size()) allChecked = false;
  }
  const Opened conditional = OpenDialog(contextMenu, 3, explorer, "条件付きファイル削除", options.repaints);
  const Opened conditionalPlain = PlainWindow(conditional.shape, names, options.repaints);
  Report("open conditional delete", conditional.open, conditionalPlain.open + findFloor,
         "plain list window + FindFirstFileA loop", conditional.open > 0);

  // Folder combine: the name choice over the selected folders.
  {
    std::vector<std::string> folders;
    std::vector<std::string> folderNames;
    const std::string folderRoot = set.root + "combine\\";
    CreateDirectoryA(folderRoot.c_str(), nullptr);
    for (int f = 0; f < options.folders; ++f) {
      folderNames.push_back("series" + Digits(f, 5));
      folders.push_back(folderRoot + folderNames.back());
      CreateDirectoryA(folders.back().c_str(), nullptr);
    }
    DropDataObject folderData(folders);
    ov::test::MenuOwner menu;
    ContextMenuHost folderMenu;
    const int folderAdded = extension.Menu(folderData, menu.Get(), folderMenu);
    Opened combine;
    if (folderAdded == 2) combine = OpenDialog(folderMenu, 0, explorer, "新しいフォルダ名の選択", 1);
    Shape shape = combine.shape;
    shape.listAt = {8, 20, 223, 40};
    const Opened combinePlain = PlainWindow(shape, folderNames, 1, true);
    Report("open folder combine (" + std::to_string(options.folders) + " folders)", combine.open,
           combinePlain.open + SortTime(folders), "plain drop-down window + sort", combine.open > 0);
  }

  // One preview screen: the visible rows repainted, against the plain list of the same shape.
  Report("preview screen, bulk rename", bulk.repaint, bulkPlain.repaint, "plain owner-data list", bulk.repaint > 0);
  Report("preview screen, renumber", renumber.repaint, renumberPlain.repaint, "plain owner-data list",
         renumber.repaint > 0);
  Report("preview screen, conditional delete", conditional.repaint, conditionalPlain.repaint,
         "plain owner-data list", conditional.repaint > 0);
  DestroyWindow(explorer);

  // SafeRenameBatch: a rotation inside each folder (n -> n+1, every holder moved aside), then
  // a renumber without collisions; each against a bare loop of the MoveFileA calls it makes.
  ov::platform::Win32Platform platform;
  std::vector<std::size_t> order(paths.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  int messages = 0;
  const auto countMessage = [&](const std::string&) { ++messages; };
  start = Clock::now();
  ov::shellext::SafeRenameBatch(
      platform, paths, order, [&](std::size_t k, std::size_t) { return PhotoName(set.localOf[k] + 1); }, countMessage);
  const double rotation = Since(start);
  bool rotated = messages == 0 && AllAt(set, [&](std::size_t k) { return PhotoName(set.localOf[k] + 1); });

  // The same moves by hand: n+1 -> n+2, each holder first to a temporary name.
  start = Clock::now();
  for (std::size_t k = 0; k < paths.size(); ++k) {
    const int local = set.localOf[k];
    const bool last = k + 1 == paths.size() || set.folderOf[k + 1] != set.folderOf[k];
    const std::string target = set.Path(k, PhotoName(local + 2));
    const std::string aside = set.Path(k, "RNF" + std::to_string(local + 1) + ".tmp");
    if (!last) MoveFileA(target.c_str(), aside.c_str());
    const std::string current = local == 0 ? set.Path(k, PhotoName(1)) : set.Path(k, "RNF" + std::to_string(local) + ".tmp");
    MoveFileA(current.c_str(), target.c_str());
  }
  const double rotationFloor = Since(start);
  rotated = rotated && AllAt(set, [&](std::size_t k) { return PhotoName(set.localOf[k] + 2); });
  Report("SafeRenameBatch, rotation", rotation, rotationFloor,
         "the same MoveFileA calls (the batch adds GetTempFileNameA + DeleteFileA per holder)", rotated);

  std::vector<std::string> current;
  for (std::size_t k = 0; k < paths.size(); ++k) current.push_back(set.Path(k, PhotoName(set.localOf[k] + 2)));
  const auto renumbered = [&](std::size_t k) { return "n" + Digits(set.localOf[k], 5) + ".jpg"; };
  messages = 0;
  start = Clock::now();
  ov::shellext::SafeRenameBatch(platform, current, order, [&](std::size_t k, std::size_t) { return renumbered(k); },
                                countMessage);
  const double plainBatch = Since(start);
  bool renamed = messages == 0 && AllAt(set, renumbered);
  start = Clock::now();
  for (std::size_t k = 0; k < paths.size(); ++k) {
    MoveFileA(set.Path(k, renumbered(k)).c_str(), set.Path(k, "m" + Digits(set.localOf[k], 5) + ".jpg").c_str());
  }
  const double moveFloor = Since(start);
  renamed = renamed && AllAt(set, [&](std::size_t k) { return "m" + Digits(set.localOf[k], 5) + ".jpg"; });
  Report("SafeRenameBatch, no collisions", plainBatch, moveFloor, "one MoveFileA per file", renamed);

  RemoveTree(set.root);

  std::printf("\n| figure | time (s) | floor (s) | ratio | floor is |\n|---|---:|---:|---:|---|\n");
  for (const Row& row : rows) {
    std::printf("| %s | %.3f | %.3f | %.2f | %s |\n", row.figure.c_str(), row.time, row.floor,
                row.floor > 0 ? row.time / row.floor : 0.0, row.note.c_str());
  }
  std::printf("results %s\n", allChecked ? "checked" : "WRONG");
  return allChecked ? 0 : 1;
}
