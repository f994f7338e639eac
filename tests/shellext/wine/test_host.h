// What the Wine tests need to play Explorer: a data object carrying CF_HDROP, a scratch
// folder of real files and folders, the module loaded with its exports, COM pointers that
// release themselves, and a reader for menus.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov::test {

// {5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}, the shell extension's class identifier.
extern const CLSID kShellExtClassId;
extern const char kShellExtClassIdText[];

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

// A data object as Explorer hands it to a shell extension: CF_HDROP in global memory with
// ANSI paths. GetData gives a fresh copy each time, which the receiver releases.
class DropDataObject : public IDataObject {
 public:
  explicit DropDataObject(std::vector<std::string> paths, bool offerDrop = true);
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  LONG References() const { return count_; }
  int GetDataCalls() const { return getDataCalls_; }

 private:
  std::vector<std::string> paths_;
  bool offerDrop_;
  LONG count_ = 1;  // the creator's reference; the object lives on the test's stack
  int getDataCalls_ = 0;
};

// CP932 -> UTF-16, as the ANSI functions convert.
std::wstring Wide(const std::string& cp932);

// The selection as a wide list (DROPFILES.fWide), as Explorer on NT delivers it: each path
// exactly as given, whether or not code page 932 can hold it.
class WideDropDataObject : public DropDataObject {
 public:
  explicit WideDropDataObject(std::vector<std::wstring> paths) : DropDataObject({}), paths_(std::move(paths)) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;

 private:
  std::vector<std::wstring> paths_;
};

// A fresh folder under the temporary folder (trailing "\"), removed with all it holds.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name);    // creates an empty file, returns its path
  std::string Folder(const std::string& name);  // creates a folder, returns its path

 private:
  std::string path_;
  std::vector<std::string> files_;
  std::vector<std::string> folders_;
};

// ovshellex.dll next to the test program, loaded with its four exports.
class ShellExtModule {
 public:
  ShellExtModule();
  ~ShellExtModule();
  ShellExtModule(const ShellExtModule&) = delete;
  ShellExtModule& operator=(const ShellExtModule&) = delete;
  bool Loaded() const;
  std::string Path() const;  // as GetModuleFileNameA gives it

  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
  HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;

 private:
  HMODULE module_ = nullptr;
};

std::string ProgramFolder();  // folder of the test program, trailing "\"

// Saves an area of the screen as a 24-bit bottom-up BMP file.
bool SaveScreen(const RECT& area, const std::string& path);

// One entry of a menu as GetMenuItemInfoA and GetMenuStringA report it.
struct MenuEntry {
  bool separator = false;
  UINT id = 0;
  std::string text;
  std::vector<MenuEntry> submenu;  // the popup's items, when it is one
  bool popup = false;
};
std::vector<MenuEntry> ReadMenu(HMENU menu);

// Owns a menu and destroys it (with its submenus).
class MenuOwner {
 public:
  MenuOwner() : menu_(CreatePopupMenu()) {}
  ~MenuOwner() { DestroyMenu(menu_); }
  MenuOwner(const MenuOwner&) = delete;
  MenuOwner& operator=(const MenuOwner&) = delete;
  HMENU Get() const { return menu_; }

 private:
  HMENU menu_;
};

// Initializes COM (apartment threaded) for the current thread for its lifetime.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

// Registry reading below HKEY_CLASSES_ROOT: the text of a REG_SZ value, or whether a key
// exists; the counts of a key's values and subkeys.
bool ReadClassesText(const std::string& key, const std::string& valueName, std::string& text, DWORD& type);
bool ClassesKeyExists(const std::string& key);
bool ClassesKeyCounts(const std::string& key, DWORD& subKeys, DWORD& values);

// A suite on the real module: loaded and registered once for the suite and unregistered
// after it; each test runs in a COM apartment with its own scratch folder.
class RegisteredModuleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;

  static ShellExtModule* module_;
  ComApartment apartment_;
  ScratchFolder scratch_;
};

}  // namespace ov::test
