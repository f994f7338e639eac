// Explorer's part towards a context-menu handler, in one place for the Wine suites, the
// benchmark and the demo's Explorer stand-in: create the object through COM, hand it the
// selection as CF_HDROP, let it fill a popup of the host's, read that popup back, and
// invoke a command with the host's own window as the owner.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

namespace ov::explorer {

// Owns one reference to a COM interface.
template <class T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* pointer) : pointer_(pointer) {}
  ~Ref() { Reset(); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  T* Get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For an out parameter: drops the held reference first.
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  void Reset() {
    if (pointer_ != nullptr) pointer_->Release();
    pointer_ = nullptr;
  }
  T* Detach() {
    T* pointer = pointer_;
    pointer_ = nullptr;
    return pointer;
  }

 private:
  T* pointer_ = nullptr;
};

// Owns a popup menu and destroys it (with its submenus).
class MenuOwner {
 public:
  MenuOwner() : menu_(CreatePopupMenu()) {}
  ~MenuOwner() {
    if (menu_ != nullptr) DestroyMenu(menu_);
  }
  MenuOwner(const MenuOwner&) = delete;
  MenuOwner& operator=(const MenuOwner&) = delete;
  HMENU Get() const { return menu_; }

 private:
  HMENU menu_;
};

// One entry of a menu as GetMenuItemInfoA and GetMenuStringA report it.
struct MenuEntry {
  bool separator = false;
  UINT id = 0;
  std::string text;
  std::vector<MenuEntry> submenu;  // the popup's items, when it is one
  bool popup = false;
};
std::vector<MenuEntry> ReadMenu(HMENU menu);

// One handler object as Explorer drives it for one right click.
class ContextMenuHost {
 public:
  // Creates the object: through this class factory, or (null) CoCreateInstance with the
  // class identifier, as Explorer finds it in the registry. Then Initialize with the
  // selection and the IContextMenu of the same object. The first failure is returned.
  HRESULT Open(REFCLSID classId, IClassFactory* factory, IDataObject* selection);
  // QueryContextMenu into the host's popup.
  HRESULT Query(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags);
  // InvokeCommand for the command at this offset, with `owner` as the window of the host.
  HRESULT Invoke(UINT offset, HWND owner);
  IContextMenu* Menu() const { return menu_.Get(); }
  IShellExtInit* Init() const { return init_.Get(); }

 private:
  Ref<IShellExtInit> init_;
  Ref<IContextMenu> menu_;
};

// A visible top-level window of this process with this caption (and class, when given), or
// null. Another process on the same display (a suite running beside this one) shows the
// same captions: a search across processes would act on its windows.
HWND FindOwnWindow(const char* className, const std::string& caption);

// What the user's thread may ask of the command it plays: whether InvokeCommand has
// returned (the tool closed without showing what the user waits for).
class Invocation {
 public:
  bool Returned() const { return InterlockedCompareExchange(&returned_, 0, 0) != 0; }
  void MarkReturned() { InterlockedExchange(&returned_, 1); }

 private:
  mutable volatile LONG returned_ = 0;
};
using User = std::function<void(const Invocation&)>;

// The result of a command invoked while a user plays its dialogs.
struct Played {
  HRESULT invoked = E_UNEXPECTED;
  bool userFinished = false;  // the user's part ended within the limit
  bool closedByTool = false;  // and the tool's windows closed without being closed for it
};

// Invokes the command at `offset` (InvokeCommand returns only once the tool's modal
// dialogs have closed) while `user` plays them on a thread of its own. Should the user not
// end within `limitMs`, or the tool's windows stay open ten seconds after the user ended,
// every window left on the invoking thread is closed, message boxes answered and dialogs
// cancelled, until InvokeCommand returns, and a user still running is ended: a dialog the
// user never found or left open cannot hold the suite for ever.
Played InvokeWhileUserPlays(ContextMenuHost& host, UINT offset, HWND owner, const User& user,
                            DWORD limitMs);

// The host's window: a visible top-level window of this thread, destroyed with its owner.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_;
};

}  // namespace ov::explorer
