#include "walkthrough.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "console.h"
#include "screen_capture.h"
#include "shellext/wine/dialog_user.h"
#include "support/explorer/context_menu_host.h"

namespace ov::demo {

using test::Await;
using test::DialogUser;

namespace {

// One tool of the walkthrough: what to select, which command of the submenu, the dialog it
// opens and how a user fills it. The fill returns a short account of what the dialog shows,
// and false when it shows nothing worth a picture.
struct ToolStep {
  const char* key;  // the log's name; the picture is demo-<key>.bmp
  bool folders;
  UINT offset;
  const char* caption;
  std::function<bool(DialogUser&, std::string&)> fill;
  bool withWindow;  // the picture shows the Explorer window too (a small dialog needs the context)
};

int RowCount(const DialogUser& user) {
  return static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0));
}

// Scrolls so that the rows from first to last are in view, the first one above all.
void Reveal(const DialogUser& user, int first, int last) {
  SendMessageA(user.List(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(last), FALSE);
  SendMessageA(user.List(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(first), FALSE);
}

bool FillBulkRename(DialogUser& user, std::string& account) {
  HWND regex = user.Button("正規表現");
  HWND pattern = user.FieldRightOf("パターン");
  HWND format = user.FieldRightOf("出力フォーマット");
  if (regex == nullptr || pattern == nullptr || format == nullptr) {
    account = "the regular expression fields were not found";
    return false;
  }
  user.Click(regex);
  user.Type(pattern, "IMG_(\\d+)");
  user.Type(format, "写真_$1");
  const int rows = RowCount(user);
  int first = -1;
  int last = -1;
  int changed = 0;
  for (int row = 0; row < rows; ++row) {
    if (user.Cell(row, 0) == user.Cell(row, 1)) continue;
    if (first < 0) first = row;
    last = row;
    ++changed;
  }
  if (first >= 0) Reveal(user, first, last);
  account = std::to_string(rows) + " rows, " + std::to_string(changed) + " new names from IMG_(\\d+) -> 写真_$1";
  if (first >= 0) account += " (" + user.Cell(first, 0) + " -> " + user.Cell(first, 1) + ")";
  return changed > 0;
}

// One press of an up-down control's upper arrow, as the mouse gives it; true once the
// buddy field shows the expected text.
bool PressUpArrow(HWND upDown, HWND buddy, const std::string& expected) {
  RECT area;
  GetClientRect(upDown, &area);
  const LPARAM upper = MAKELPARAM(area.right / 2, area.bottom / 4);
  PostMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, upper);
  PostMessageA(upDown, WM_LBUTTONUP, 0, upper);
  return Await([&] { return test::WindowText(buddy) == expected; });
}

// Volume numbers carry one character after them (第01巻, 第12号): the user allows suffixes
// shorter than two characters and classifies again, so that the volumes of a series come
// together.
bool FillSeries(DialogUser& user, std::string& account) {
  const int firstRows = RowCount(user);
  const std::vector<HWND> upDowns = user.Children(UPDOWN_CLASSA);
  HWND allowance = user.FieldRightOf("添え字として許す文字数");
  HWND classify = user.Button("再分類");
  if (upDowns.size() != 1 || allowance == nullptr || classify == nullptr) {
    account = "the suffix allowance controls were not found";
    return false;
  }
  if (!PressUpArrow(upDowns[0], allowance, "1") || !PressUpArrow(upDowns[0], allowance, "2")) {
    account = "the suffix allowance did not go up to 2";
    return false;
  }
  user.Click(classify);
  const int rows = RowCount(user);
  account = std::to_string(firstRows) + " series at first, " + std::to_string(rows) + " with suffix allowance 2:";
  for (int row = 0; row < rows; ++row) account += " " + user.Cell(row, 0) + "(" + user.Cell(row, 1) + ")";
  return rows > 0 && rows < firstRows;
}

// A base name, and two digits so that the numbers sort as the user expects.
bool FillRenumber(DialogUser& user, std::string& account) {
  HWND baseName = user.FieldRightOf("基底ファイル名");
  HWND digits = user.FieldRightOf("桁数");
  const std::vector<HWND> upDowns = user.Children(UPDOWN_CLASSA);  // start number, digits
  if (baseName == nullptr || digits == nullptr || upDowns.size() != 2) {
    account = "the base name and digit fields were not found";
    return false;
  }
  user.Type(baseName, "旅行");
  if (test::WindowText(digits) == "1" && !PressUpArrow(upDowns[1], digits, "2")) {
    account = "the number of digits did not go up to 2";
    return false;
  }
  const int rows = RowCount(user);
  account = std::to_string(rows) + " rows, base name 旅行, " + test::WindowText(digits) + " digits";
  if (rows > 0) account += " (" + user.Cell(0, 0) + " -> " + user.Cell(0, 1) + ")";
  return rows > 0 && !user.Cell(0, 1).empty() && user.Cell(0, 1) != user.Cell(0, 0);
}

bool FillConditionalDelete(DialogUser& user, std::string& account) {
  HWND anyOne = user.Button("どれか一つ");
  HWND text = user.FieldRightOf("文字列");
  HWND add = user.Button("追加");
  HWND larger = user.Button("ファイルが、次のサイズより大きい");
  std::vector<HWND> fields;  // EditStr, EditSmallSize, EditLargeSize
  for (HWND edit : user.Children("Edit")) {
    if ((GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE) == 0) fields.push_back(edit);
  }
  if (anyOne == nullptr || text == nullptr || add == nullptr || larger == nullptr || fields.size() != 3) {
    account = "the condition controls were not found";
    return false;
  }
  // Copies ("コピー" or "(2)" in the name) larger than 500 KB.
  user.Click(anyOne);
  for (const char* line : {"コピー", "(2)"}) {
    user.Type(text, line);
    user.Click(add);
  }
  user.Type(fields[2], "500");
  user.Click(larger);
  const int rows = RowCount(user);
  int first = -1;
  int last = -1;
  for (int row = 0; row < rows; ++row) {
    const std::string name = user.Cell(row, 0);
    if (name.find("コピー") == std::string::npos && name.find("(2)") == std::string::npos) continue;
    if (first < 0) first = row;
    last = row;
  }
  if (first >= 0) Reveal(user, first, last);
  const std::vector<int> red = user.RedRows(0);
  account = std::to_string(rows) + " files; one of コピー, (2) and larger than 500 KB; red in view:";
  for (int row : red) account += " " + user.Cell(row, 0);
  return !red.empty();
}

bool FillFolderCombine(DialogUser& user, std::string& account) {
  const std::vector<HWND> combos = user.Children("ComboBox");
  if (combos.size() != 1) {
    account = "the folder name list was not found";
    return false;
  }
  const int count = static_cast<int>(SendMessageA(combos[0], CB_GETCOUNT, 0, 0));
  account = "folder names offered:";
  for (int item = 0; item < count; ++item) {
    char name[MAX_PATH] = {};
    SendMessageA(combos[0], CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(name));
    account += std::string(" ") + name;
  }
  return count >= 2;
}

const std::vector<ToolStep>& Steps() {
  static const std::vector<ToolStep> steps = {
      {"bulkrename", false, 0, "ファイル名の一括変更", FillBulkRename, false},
      {"series", false, 1, "ファイル名による自動分類", FillSeries, false},
      {"renumber", false, 2, "ファイル名のリナンバリング", FillRenumber, false},
      {"delete", false, 3, "条件付きファイル削除", FillConditionalDelete, false},
      {"combine", true, 0, "新しいフォルダ名の選択", FillFolderCombine, true},
  };
  return steps;
}

struct MenuSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<MenuSearch*>(data);
  char name[16] = {};
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  GetClassNameA(window, name, sizeof name);
  if (process == search->process && lstrcmpA(name, "#32768") == 0 && IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

// The popup menus of this process that are on screen.
std::vector<HWND> MenuWindows() {
  MenuSearch search{GetCurrentProcessId(), {}};
  EnumWindows(&CollectMenuWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string MenuText(HMENU menu, int position) {
  char text[256] = {};
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

// Keys reach the menu's loop through the queue of the window's thread.
void Press(HWND window, WPARAM key, int times = 1) {
  for (int i = 0; i < times; ++i) PostMessageA(window, WM_KEYDOWN, key, 0);
}

class Walkthrough {
 public:
  Walkthrough(ExplorerWindow& window, std::string screens) : window_(window), screens_(std::move(screens)) {}

  int Run() {
    // The window has painted once it answers.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window_.Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    int captured = 0;
    for (const ToolStep& step : Steps()) {
      if (RunStep(step)) ++captured;
    }
    const int total = static_cast<int>(Steps().size());
    WriteLine("walkthrough: " + std::to_string(captured) + " of " + std::to_string(total) +
              " dialogs shown and captured in " + screens_);
    HWND main = window_.Handle();
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (!Await([&] { return IsWindow(main) == FALSE; })) {
      WriteLine("walkthrough: the window did not close within 10 s; ending the program");
      ExitProcess(3);
    }
    return captured == total ? 0 : 1;
  }

 private:
  bool RunStep(const ToolStep& step) {
    const std::string log = step.key + std::string(": ");
    const int closedBefore = window_.MenusClosed();
    const int selected = static_cast<int>(SendMessageA(window_.Handle(), ExplorerWindow::kSelectMessage,
                                                       step.folders ? ExplorerWindow::kSelectFolders
                                                                    : ExplorerWindow::kSelectFiles,
                                                       0));
    std::string account = log + std::to_string(selected) + (step.folders ? " folders" : " files") + " selected";
    std::string failure;
    const bool chosen = selected > 0 && ChooseCommand(step.offset, std::string("demo-menu") + (step.folders ? "-folders" : ""),
                                                      account, failure);
    if (selected == 0) failure = "nothing to select";
    DialogUser user;
    bool captured = false;
    if (chosen && !user.Find(step.caption)) failure = std::string("the dialog 「") + step.caption + "」 did not appear within 10 s";
    if (chosen && failure.empty()) {
      account += "; dialog 「" + std::string(step.caption) + "」 shown";
      std::string shown;
      const bool meaningful = step.fill(user, shown);
      account += ", " + shown;
      RedrawWindow(user.Dialog(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      Settle(user.Dialog());
      RECT area;
      GetWindowRect(user.Dialog(), &area);
      if (step.withWindow) {
        RECT behind;
        GetWindowRect(window_.Handle(), &behind);
        UnionRect(&area, &area, &behind);
      }
      const std::string picture = std::string("demo-") + step.key + ".bmp";
      captured = SaveScreenArea(area, screens_ + "\\" + picture);
      account += captured ? "; screenshot " + picture : "; the screenshot could not be saved";
      if (!meaningful) failure = "the dialog showed no real data";
      captured = captured && meaningful;
    }
    CloseEverything(user, step.caption);
    account += failure.empty() ? "; cancelled, the folder is unchanged" : "; FAILED: " + failure;
    if (!Await([&] { return window_.MenusClosed() > closedBefore; })) account += "; the command did not return within 10 s";
    WriteLine(account);
    return captured && failure.empty();
  }

  // Opens the context menu on the selection and picks the command at `offset` of the
  // handler's submenu with the keyboard, as a user without a mouse would. The first menu of
  // each kind is saved as a picture.
  bool ChooseCommand(UINT offset, const std::string& menuPicture, std::string& account, std::string& failure) {
    HWND main = window_.Handle();
    PostMessageA(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_.List()), -1);  // the Apps key
    HMENU menu = nullptr;
    if (!Await([&] { return (menu = window_.OpenMenu()) != nullptr && !MenuWindows().empty(); })) {
      failure = "the context menu did not open within 10 s";
      return false;
    }
    int submenuAt = -1;
    int downs = 0;
    for (int position = 0; position < GetMenuItemCount(menu) && submenuAt < 0; ++position) {
      if ((GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR) == 0) ++downs;
      if (GetSubMenu(menu, position) != nullptr) submenuAt = position;
    }
    if (submenuAt < 0) {
      failure = "the context menu has no submenu of the extension (is ovshellex.dll registered?)";
      return false;
    }
    HMENU submenu = GetSubMenu(menu, submenuAt);
    Press(main, VK_DOWN, downs);
    Press(main, VK_RIGHT);
    Press(main, VK_DOWN, static_cast<int>(offset));
    const bool highlighted = Await([&] {
      return MenuWindows().size() >= 2 && (GetMenuState(submenu, offset, MF_BYPOSITION) & MF_HILITE) != 0;
    });
    if (!highlighted) {
      failure = "the submenu did not open on its command within 10 s";
      return false;
    }
    account += ", menu " + MenuText(menu, submenuAt) + " > " + MenuText(submenu, static_cast<int>(offset));
    if (savedMenus_.find(menuPicture) == std::string::npos) {
      savedMenus_ += menuPicture + ";";
      // A popup menu on a virtual display may stay black until the pointer passes over it.
      RECT item;
      if (GetMenuItemRect(nullptr, submenu, offset, &item)) SetCursorPos((item.left + item.right) / 2, (item.top + item.bottom) / 2);
      Settle(main);
      RECT area;
      GetWindowRect(main, &area);
      for (HWND popup : MenuWindows()) {
        RECT shown;
        GetWindowRect(popup, &shown);
        UnionRect(&area, &area, &shown);
      }
      if (SaveScreenArea(area, screens_ + "\\" + menuPicture + ".bmp")) account += " (screenshot " + menuPicture + ".bmp)";
    }
    PostMessageA(main, WM_CHAR, '\r', 0);  // Enter on the highlighted command
    return true;
  }

  // Gives a window's thread the time to paint what it was told: it answers once its queue
  // is through, and the paint of the list view's rows follows at once.
  static void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    Sleep(400);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  }

  // Cancel on the tool's dialog (and Escape on a menu left open), so that the next step
  // starts from the Explorer window alone.
  void CloseEverything(const DialogUser& user, const char* caption) {
    HWND dialog = user.Dialog() != nullptr ? user.Dialog() : explorer::FindOwnWindow(nullptr, caption);
    if (dialog != nullptr && IsWindow(dialog)) {
      HWND cancel = user.Button("Cancel");
      if (cancel != nullptr) {
        user.PostClick(cancel);
      } else {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
      }
      if (!Await([&] { return IsWindow(dialog) == FALSE; })) PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    if (!MenuWindows().empty()) Press(window_.Handle(), VK_ESCAPE, 3);
  }

  ExplorerWindow& window_;
  std::string screens_;
  std::string savedMenus_;
};

struct ThreadStart {
  ExplorerWindow* window;
  std::string screens;
};

DWORD WINAPI WalkthroughThread(void* data) {
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(data));
  try {
    Walkthrough walkthrough(*start->window, start->screens);
    return static_cast<DWORD>(walkthrough.Run());
  } catch (...) {
    WriteLine("walkthrough: an unexpected error ended it");
    PostMessageA(start->window->Handle(), WM_CLOSE, 0, 0);
    return 2;
  }
}

}  // namespace

HANDLE StartWalkthrough(ExplorerWindow& window, const std::string& screensFolder) {
  auto* start = new ThreadStart{&window, screensFolder};
  HANDLE thread = CreateThread(nullptr, 0, &WalkthroughThread, start, 0, nullptr);
  if (thread == nullptr) delete start;
  return thread;
}

int WalkthroughResult(HANDLE thread) {
  if (WaitForSingleObject(thread, 15000) != WAIT_OBJECT_0) return 4;
  DWORD code = 4;
  GetExitCodeThread(thread, &code);
  return static_cast<int>(code);
}

}  // namespace ov::demo
