// The Explorer stand-in: a window with a report list of one folder's files and sub-folders.
// A right click (or the Apps key, or Shift+F10) on the selection builds a popup menu and
// lets the registered context-menu handler fill it, created through the registry as
// Explorer creates it; the chosen command is handed back to the handler with this window
// as the parent of what it opens, and the list is read afresh afterwards.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace ov::demo {

// {5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}: the class that the registry leads to ovshellex.dll.
extern const CLSID kShellExtensionClass;

class ExplorerWindow {
 public:
  // Sent from another thread (the walkthrough): selects every file (wParam kSelectFiles) or
  // every folder (kSelectFolders) of the list and nothing else; returns how many.
  static constexpr UINT kSelectMessage = WM_APP + 1;
  static constexpr WPARAM kSelectFiles = 0;
  static constexpr WPARAM kSelectFolders = 1;

  explicit ExplorerWindow(std::string folder);
  ~ExplorerWindow();
  ExplorerWindow(const ExplorerWindow&) = delete;
  ExplorerWindow& operator=(const ExplorerWindow&) = delete;

  bool Create(int showCommand);
  HWND Handle() const { return window_; }
  HWND List() const { return list_; }
  // Safe to read from another thread.
  HMENU OpenMenu() const { return openMenu_.load(); }  // the popup while it is on screen
  int MenusClosed() const { return menusClosed_.load(); }  // completed menus, command included

 private:
  struct Entry {
    std::string name;
    bool folder;
    std::uint64_t size;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Notify(const NMHDR& header);
  void Layout();
  void Refresh();
  void Open(const std::string& folder);
  int Select(bool folders);
  std::vector<std::string> SelectedPaths() const;
  POINT MenuPlace(LPARAM lParam) const;
  void ShowContextMenu(LPARAM lParam);
  void ShowHelp(UINT id, UINT flags);
  void SetStatus(const std::string& text);
  void ShowCount();

  std::string folder_;
  std::vector<Entry> entries_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HFONT font_ = nullptr;
  IContextMenu* handler_ = nullptr;  // while its menu is shown, for the help texts
  std::atomic<HMENU> openMenu_{nullptr};
  std::atomic<int> menusClosed_{0};
};

}  // namespace ov::demo
