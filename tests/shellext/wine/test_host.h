// What the Wine tests need besides Explorer's own part (support/explorer): a scratch folder
// of real files and folders, the module loaded with its exports, a wide selection list.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/explorer/context_menu_host.h"
#include "support/explorer/drop_data_object.h"

namespace ov::test {

// {5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}, the shell extension's class identifier.
extern const CLSID kShellExtClassId;
extern const char kShellExtClassIdText[];

using explorer::ContextMenuHost;
using explorer::DropDataObject;
using explorer::FindOwnWindow;
using explorer::HostWindow;
using explorer::Invocation;
using explorer::InvokeWhileUserPlays;
using explorer::MenuEntry;
using explorer::MenuOwner;
using explorer::Played;
using explorer::ReadMenu;
using explorer::Ref;

// A command played through: InvokeCommand succeeded, the user finished within its limit
// and the tool's windows closed without being closed for it.
void ExpectPlayedThrough(const Played& played);

// CP932 -> UTF-16, as the ANSI functions convert.
std::wstring Wide(const std::string& cp932);

// The selection as a wide list (DROPFILES.fWide), as Explorer on NT delivers it: each path
// exactly as given, whether or not code page 932 can hold it.
class WideDropDataObject : public DropDataObject {
 public:
  explicit WideDropDataObject(std::vector<std::wstring> paths) : DropDataObject({}), paths_(std::move(paths)) {}

 protected:
  std::string Block() const override;

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
