// How the real ovshellex.dll reads the CF_HDROP list it is given: every path in turn, however
// many there are, whether the list is ANSI or wide; a path too long for the 260-byte buffer
// is cut to the buffer's text, and a malformed list is read no further than its block. What
// it read is seen as Explorer's user sees it: the names the renumber dialog lists.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shellext/wine/dialog_user.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kRenumberCaption[] = "ファイル名のリナンバリング";

// The same selection as a wide list (DROPFILES.fWide), as Explorer on NT delivers it.
class WideDropDataObject : public DropDataObject {
 public:
  explicit WideDropDataObject(std::vector<std::string> paths) : DropDataObject(paths), paths_(std::move(paths)) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    std::vector<WCHAR> text;
    for (const std::string& path : paths_) {
      const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
      const std::size_t at = text.size();
      text.resize(at + static_cast<std::size_t>(length));
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &text[at], length);
    }
    text.push_back(0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + text.size() * sizeof(WCHAR));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), text.data(), text.size() * sizeof(WCHAR));
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }

 private:
  std::vector<std::string> paths_;
};

// A list block exactly as given, however malformed. The bytes beyond its size are not
// zero: it is cut down from a larger block filled with "x", as a sender's heap may leave it.
class RawDropDataObject : public DropDataObject {
 public:
  explicit RawDropDataObject(std::string block) : DropDataObject({}), block_(std::move(block)) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block_.size() + 4096);
    auto* bytes = static_cast<char*>(GlobalLock(memory));
    std::memset(bytes, 'x', block_.size() + 4096);
    std::memcpy(bytes, block_.data(), block_.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = GlobalReAlloc(memory, block_.size(), GMEM_MOVEABLE);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::string block_;
};

// DROPFILES with the list at `listAt`, then the bytes of the list.
std::string ListBlock(DWORD listAt, bool wide, const std::string& list) {
  DROPFILES header = {};
  header.pFiles = listAt;
  header.fWide = wide ? TRUE : FALSE;
  return std::string(reinterpret_cast<const char*>(&header), sizeof header) + list;
}

std::string WideText(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(WCHAR));
}

// The names of the renumber dialog's first column, read on the user's thread.
struct Listed {
  bool found = false;
  std::vector<std::string> names;
};

DWORD WINAPI ReadRenumberList(void* parameter) {
  auto& listed = *static_cast<Listed*>(parameter);
  DialogUser user;
  if (!user.Find(kRenumberCaption)) return 1;
  listed.found = true;
  const int rows = static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) listed.names.push_back(user.Cell(row, 0));
  user.PostClick(user.Button("Cancel"));
  if (!Await([&] { return !IsWindow(user.Dialog()); })) PostMessageA(user.Dialog(), WM_CLOSE, 0, 0);
  return 0;
}

// Initialize with the data object, then the renumber dialog; the names it lists.
Listed ListedNames(IClassFactory& factory, IDataObject& data) {
  Listed listed;
  Ref<IShellExtInit> init;
  EXPECT_EQ(factory.CreateInstance(nullptr, IID_IShellExtInit, init.Out()), S_OK);
  EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), S_OK);
  Ref<IContextMenu> menu;
  EXPECT_EQ(init->QueryInterface(IID_IContextMenu, menu.Out()), S_OK);
  if (!menu) return listed;
  HWND explorer = CreateWindowExA(0, "STATIC", "Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
  HANDLE user = CreateThread(nullptr, 0, ReadRenumberList, &listed, 0, nullptr);
  CMINVOKECOMMANDINFO record = {};
  record.cbSize = sizeof record;
  record.hwnd = explorer;
  record.lpVerb = MAKEINTRESOURCEA(2);
  record.nShow = SW_SHOWNORMAL;
  EXPECT_EQ(menu->InvokeCommand(&record), S_OK);
  // The thread writes into `listed`: it must have ended before that goes.
  const DWORD waited = WaitForSingleObject(user, 30000);
  if (waited != WAIT_OBJECT_0) TerminateThread(user, 1);
  EXPECT_EQ(waited, WAIT_OBJECT_0) << "the user never finished";
  CloseHandle(user);
  DestroyWindow(explorer);
  return listed;
}

class DropListTest : public RegisteredModuleTest {
 protected:
  void SetUp() override {
    RegisteredModuleTest::SetUp();
    ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory_.Out()), S_OK);
  }
  Ref<IClassFactory> factory_;
};

// Each case: the list as ANSI and as wide text gives the same names (compared as sets: their
// order is the sort's business).
TEST_F(DropListTest, EveryPathIsReadInAnsiAndWideLists) {
  struct Case {
    const char* what;
    std::vector<std::string> names;  // files created in the scratch folder
    std::vector<std::string> extra;  // further paths in the list, none of them a file
    std::vector<std::string> listed;
  };
  const std::string longPath = scratch_.Path() + std::string(300, 'x') + ".jpg";
  const std::string cutToFile = scratch_.Path() + std::string(300, 'y');  // its first 259 bytes name a file
  const std::string cutName = cutToFile.substr(0, 259).substr(scratch_.Path().size());
  const std::vector<Case> cases = {
      {"double-byte names", {"写真１.jpg", "メモ表.txt", "b.txt"}, {}, {"写真１.jpg", "メモ表.txt", "b.txt"}},
      {"a path longer than the buffer among files",
       {"a.txt", "c.txt"},
       {longPath, scratch_.Path() + "missing.txt"},
       {"a.txt", "c.txt"}},
      {"a long path whose first 259 bytes name a file", {cutName, "d.txt"}, {cutToFile}, {cutName, cutName, "d.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> paths;
    for (const std::string& name : c.names) paths.push_back(scratch_.File(name));
    // The extra paths in the middle of the list: the paths after them must still be read.
    paths.insert(paths.begin() + 1, c.extra.begin(), c.extra.end());
    DropDataObject ansi(paths);
    WideDropDataObject wide(paths);
    for (IDataObject* data : {static_cast<IDataObject*>(&ansi), static_cast<IDataObject*>(&wide)}) {
      Listed listed = ListedNames(*factory_.Get(), *data);
      EXPECT_TRUE(listed.found);
      std::vector<std::string> expected = c.listed;
      std::sort(expected.begin(), expected.end());
      std::sort(listed.names.begin(), listed.names.end());
      ASSERT_EQ(listed.names.size(), expected.size());
      for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_BYTES(listed.names[i], expected[i]);
    }
  }
}

// Malformed lists: a last path or a list without its terminating zero is read up to the
// block's end and no further (the bytes after it are not zero); an empty list, a block that
// ends with its header and a list said to start outside the block are no selection at all.
TEST_F(DropListTest, MalformedListsAreReadWithinTheirBlock) {
  const std::string first = scratch_.File("表a.txt");
  const std::string last = scratch_.File("ソb.txt");
  const DWORD start = sizeof(DROPFILES);
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "wide" : "ANSI");
    const std::string zero(wide ? 2 : 1, '\0');
    const auto text = [&](const std::string& path) { return wide ? WideText(path) : path; };
    struct Case {
      const char* what;
      std::string list;
    };
    for (const Case& c : {Case{"the last path without its zero", text(first) + zero + text(last)},
                          Case{"the list without its final zero", text(first) + zero + text(last) + zero}}) {
      SCOPED_TRACE(c.what);
      RawDropDataObject data(ListBlock(start, wide, c.list));
      Listed listed = ListedNames(*factory_.Get(), data);
      std::sort(listed.names.begin(), listed.names.end());
      ASSERT_EQ(listed.names.size(), 2u);
      EXPECT_BYTES(listed.names[0], "ソb.txt");
      EXPECT_BYTES(listed.names[1], "表a.txt");
    }
    const std::string list = text(first) + zero + zero;
    struct Empty {
      DWORD listAt;
      std::string list;
    };
    for (const Empty& e : {Empty{start, zero + zero}, Empty{start, ""},
                           Empty{static_cast<DWORD>(ListBlock(start, wide, list).size()), list},
                           Empty{0x7FFFFFF0, list}, Empty{4, list}}) {
      SCOPED_TRACE(e.listAt);
      SCOPED_TRACE(e.list.size());
      RawDropDataObject data(ListBlock(e.listAt, wide, e.list));
      Ref<IShellExtInit> init;
      ASSERT_EQ(factory_->CreateInstance(nullptr, IID_IShellExtInit, init.Out()), S_OK);
      EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), E_FAIL);
    }
  }
}

// Thousands of paths: every one is read, each exactly once, in order after sorting.
TEST_F(DropListTest, ThousandsOfPathsAreAllRead) {
  std::vector<std::string> paths;
  for (int i = 0; i < 3000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.dat", i);
    paths.push_back(scratch_.File(name));
  }
  DropDataObject data(paths);
  const Listed listed = ListedNames(*factory_.Get(), data);
  ASSERT_EQ(listed.names.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(listed.names[i], paths[i].substr(scratch_.Path().size())) << "row " << i;
  }
}

}  // namespace
}  // namespace ov::test
