#include "shellext/wine/dialog_user.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "support/explorer/context_menu_host.h"

namespace ov::test {

bool Await(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    Sleep(20);
  }
  return false;
}

std::string WindowText(HWND window) {
  char buffer[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

bool DialogUser::Find(const std::string& caption) {
  return Find(caption, [] { return false; });
}

bool DialogUser::Find(const std::string& caption, const std::function<bool()>& giveUp) {
  Await([&] {
    dialog_ = explorer::FindOwnWindow(nullptr, caption);
    return dialog_ != nullptr || giveUp();
  });
  return dialog_ != nullptr;
}

std::vector<HWND> DialogUser::Children(const char* className, const char* text) const {
  struct Search {
    const char* className;
    const char* text;
    std::vector<HWND> found;
  } search{className, text, {}};
  struct Visit {
    static BOOL CALLBACK Child(HWND window, LPARAM data) {
      auto* s = reinterpret_cast<Search*>(data);
      char name[64] = {};
      GetClassNameA(window, name, sizeof name);
      if (lstrcmpiA(name, s->className) == 0 && (s->text == nullptr || WindowText(window) == s->text)) {
        s->found.push_back(window);
      }
      return TRUE;
    }
  };
  EnumChildWindows(dialog_, &Visit::Child, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DialogUser::Button(const std::string& caption) const {
  const std::vector<HWND> found = Children("Button", caption.c_str());
  return found.size() == 1 ? found[0] : nullptr;
}

HWND DialogUser::FieldRightOf(const std::string& label) const {
  const std::vector<HWND> labels = Children("Static", label.c_str());
  if (labels.size() != 1) return nullptr;
  RECT at;
  GetWindowRect(labels[0], &at);
  const LONG middle = (at.top + at.bottom) / 2;
  HWND best = nullptr;
  LONG bestLeft = 0;
  for (HWND edit : Children("Edit")) {
    if ((GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE) != 0) continue;
    RECT field;
    GetWindowRect(edit, &field);
    if (field.top > middle || field.bottom < middle || field.left < at.left) continue;
    if (best == nullptr || field.left < bestLeft) {
      best = edit;
      bestLeft = field.left;
    }
  }
  return best;
}

HWND DialogUser::List() const {
  const std::vector<HWND> lists = Children(WC_LISTVIEWA);
  return lists.empty() ? nullptr : lists[0];
}

void DialogUser::Click(HWND button) const { SendMessageA(button, BM_CLICK, 0, 0); }

void DialogUser::PostClick(HWND button) const { PostMessageA(button, BM_CLICK, 0, 0); }

void DialogUser::Type(HWND edit, const std::string& text) const {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool DialogUser::Checked(HWND button) const { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string DialogUser::Cell(int row, int column) const {
  char buffer[512] = {};
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<int> DialogUser::RedRows(int column) const {
  HWND list = List();
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT client;
  GetClientRect(list, &client);
  const int width = client.right;
  const int height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(list);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<int> red;
  const auto* pixels = static_cast<const DWORD*>(bits);
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_LABEL;
    if (!SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell))) continue;
    bool found = false;
    for (LONG y = std::max(0L, cell.top); y < std::min<LONG>(height, cell.bottom) && !found; ++y) {
      for (LONG x = std::max(0L, cell.left); x < std::min<LONG>(width, cell.right) && !found; ++x) {
        found = (pixels[y * width + x] & 0xFFFFFF) == 0xFF0000;  // 0x00RRGGBB
      }
    }
    if (found) red.push_back(row);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(list, screen);
  return red;
}

namespace {

// EnumThreadWindows: stops at the first visible message box, storing it in *data.
BOOL CALLBACK VisibleMessageBox(HWND window, LPARAM data) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

}  // namespace

HWND MessageBoxOn(HWND window) {
  HWND box = nullptr;
  EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), &VisibleMessageBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

std::string DialogUser::AnswerBox() const {
  HWND box = nullptr;
  const bool shown = Await([&] { return (box = MessageBoxOn(dialog_)) != nullptr; });
  if (!shown) return "<no box>";
  const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  Await([&] { return !IsWindow(box); });
  return text;
}

RECT DialogUser::ClientArea() const {
  RECT rect;
  GetClientRect(dialog_, &rect);
  MapWindowPoints(dialog_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string AnswerBoxBefore(const std::string& boxCaption, const std::string& dialogCaption,
                            const std::function<bool()>& giveUp) {
  HWND box = nullptr;
  HWND dialog = nullptr;
  Await([&] {
    box = explorer::FindOwnWindow("#32770", boxCaption);
    dialog = explorer::FindOwnWindow(nullptr, dialogCaption);
    return box != nullptr || dialog != nullptr || giveUp();
  });
  if (box == nullptr || dialog != nullptr) return "";
  const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  Await([&] { return !IsWindow(box); });
  return text;
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[MAX_PATH] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    items.push_back(buffer);
  }
  return items;
}

void ChooseComboItem(HWND combo, int index) {
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

}  // namespace ov::test
