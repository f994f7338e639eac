// How the real ovshellex.dll reads the CF_HDROP list it is given: every path in turn, however
// many there are, whether the list is ANSI or wide; a path that code page 932 cannot hold
// exactly, or only in more than 259 bytes, is left out and named to the user, never read as
// a look-alike or a cut-short path; a malformed list is read no further than its block.
// What it read is seen as Explorer's user sees it: the box that names what was left out,
// then the names the renumber dialog lists.
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
#include "shellext/wine/folder_tree.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kRenumberCaption[] = "ファイル名のリナンバリング";
const char kFilesMenu[] = "ファイルの整理";  // the caption of the box that names what was left out

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

// A medium that is not a global memory block holding a list: another storage type, or no
// block at all. A hostile or broken sender may hand either for CF_HDROP.
class OddMediumDataObject : public DropDataObject {
 public:
  explicit OddMediumDataObject(DWORD tymed) : DropDataObject({}), tymed_(tymed) {}
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    *medium = STGMEDIUM{};
    medium->tymed = tymed_;
    if (tymed_ == TYMED_ISTREAM) CreateStreamOnHGlobal(nullptr, TRUE, &medium->pstm);
    return S_OK;
  }

 private:
  DWORD tymed_;
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

// The box that came before the renumber dialog (empty when none), and the names of the
// dialog's first column, read on the user's thread.
struct Listed {
  bool found = false;
  std::string box;
  std::vector<std::string> names;
};

void ReadRenumberList(Listed& listed, const Invocation& invocation) {
  const auto returned = [&] { return invocation.Returned(); };
  listed.box = AnswerBoxBefore(kFilesMenu, kRenumberCaption, returned);
  DialogUser user;
  if (!user.Find(kRenumberCaption, returned)) return;
  listed.found = true;
  const int rows = static_cast<int>(SendMessageA(user.List(), LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) listed.names.push_back(user.Cell(row, 0));
  user.PostClick(user.Button("Cancel"));
  Await([&] { return !IsWindow(user.Dialog()); });
}

// Initialize with the data object, then the renumber dialog; the names it lists.
Listed ListedNames(IClassFactory& factory, IDataObject& data) {
  Listed listed;
  ContextMenuHost host;
  EXPECT_EQ(host.Open(kShellExtClassId, &factory, &data), S_OK);
  if (host.Menu() == nullptr) return listed;
  HostWindow explorer;
  ExpectPlayedThrough(InvokeWhileUserPlays(
      host, 2, explorer.Get(), [&](const Invocation& invocation) { ReadRenumberList(listed, invocation); }, 60000));
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
// order is the sort's business), and no box.
TEST_F(DropListTest, EveryPathIsReadInAnsiAndWideLists) {
  struct Case {
    const char* what;
    std::vector<std::string> names;  // files created in the scratch folder
    std::vector<std::string> extra;  // further paths in the list, none of them a file
    std::vector<std::string> listed;
  };
  const std::vector<Case> cases = {
      {"double-byte names", {"写真１.jpg", "メモ表.txt", "b.txt"}, {}, {"写真１.jpg", "メモ表.txt", "b.txt"}},
      {"a path that names nothing among files", {"a.txt", "c.txt"}, {scratch_.Path() + "missing.txt"}, {"a.txt", "c.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> paths;
    for (const std::string& name : c.names) paths.push_back(scratch_.File(name));
    // The extra paths in the middle of the list: the paths after them must still be read.
    paths.insert(paths.begin() + 1, c.extra.begin(), c.extra.end());
    DropDataObject ansi(paths);
    std::vector<std::wstring> widePaths;
    for (const std::string& path : paths) widePaths.push_back(Wide(path));
    WideDropDataObject wide(widePaths);
    for (IDataObject* data : {static_cast<IDataObject*>(&ansi), static_cast<IDataObject*>(&wide)}) {
      Listed listed = ListedNames(*factory_.Get(), *data);
      EXPECT_TRUE(listed.found);
      EXPECT_BYTES(listed.box, "");
      std::vector<std::string> expected = c.listed;
      std::sort(expected.begin(), expected.end());
      std::sort(listed.names.begin(), listed.names.end());
      ASSERT_EQ(listed.names.size(), expected.size());
      for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_BYTES(listed.names[i], expected[i]);
    }
  }
}

// A name of the given length in bytes: double-byte characters with a 0x5C second byte,
// then "x" up to the length.
std::string LongName(std::size_t length) {
  std::string name;
  for (int i = 0; i < 10; ++i) name += "表";
  return name + std::string(length - name.size(), 'x');
}

// The lines of a box, a long path's further lines joined to its first.
std::vector<std::string> Lines(std::string text) {
  for (std::size_t at; (at = text.find("\r\n    ")) != std::string::npos;) text.erase(at, 6);
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  lines.push_back(text.substr(at));
  return lines;
}

// The selection holds only paths the user chose. A wide path that code page 932 cannot hold
// exactly (the yen sign, whose look-alike is the separator 0x5C; Hangul), or only in more
// than 259 bytes, is left out; so is an ANSI path longer than the 260-byte buffer. Cut to
// 259 bytes, the paths of 260 and 263 bytes would name the file of 259 bytes beside them,
// and without its yen sign ¥500.txt would name 500.txt. What was left out is named once in
// a box before the dialog, under its reason, and the dialog lists the rest; a selection of
// nothing else gets no menu (Initialize fails).
TEST_F(DropListTest, PathsThatDoNotConvertExactlyAreLeftOutAndNamed) {
  const std::string folder = scratch_.Path() + "w\\";
  const std::wstring wideFolder = Wide(folder);
  ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  struct Remove {
    std::wstring folder;
    ~Remove() { RemoveFolderTreeW(folder); }
  } remove{wideFolder};
  const std::string name259 = LongName(259 - folder.size());
  const std::string name260 = name259 + "x";
  const std::string name263 = name259 + "表表";
  ASSERT_EQ((folder + name263).size(), 263u);
  const std::wstring yen = L"\u00A5500.txt";
  const std::wstring hangul = L"\uD55C.txt";
  for (const std::wstring& name : {yen, std::wstring(L"500.txt"), hangul, std::wstring(L"a.txt"), Wide(name259),
                                   Wide(name260), Wide(name263)}) {
    ASSERT_TRUE(WriteTextW(wideFolder + name, "x")) << GetLastError();
  }
  const char kCharacters[] = "シフトJISで表せない文字を含む名前：";
  const char kTooLong[] = "259バイトを超える長いパス：";
  struct Case {
    const char* what;
    bool wide;
    std::vector<std::wstring> names;  // in the folder
    std::vector<std::string> listed;  // by the dialog; none: Initialize fails
    std::vector<std::string> box;     // the lines of the box after its first two
  };
  const std::string in = "  " + folder;  // a box line: the full path, indented
  const std::vector<Case> cases = {
      {"wide: yen sign", true, {yen, L"a.txt"}, {"a.txt"}, {"", kCharacters, in + "?500.txt"}},
      {"wide: yen sign alone", true, {yen}, {}, {}},
      {"wide: outside the code page", true, {hangul, L"a.txt"}, {"a.txt"}, {"", kCharacters, in + "?.txt"}},
      {"wide: outside the code page alone", true, {hangul}, {}, {}},
      {"wide: 259 bytes", true, {Wide(name259)}, {name259}, {}},
      {"wide: 260 bytes", true, {Wide(name260), L"a.txt"}, {"a.txt"}, {"", kTooLong, in + name260}},
      {"wide: 263 bytes", true, {Wide(name263), L"a.txt"}, {"a.txt"}, {"", kTooLong, in + name263}},
      {"wide: 263 bytes alone", true, {Wide(name263)}, {}, {}},
      {"wide: both reasons",
       true,
       {Wide(name263), yen, L"a.txt", hangul},
       {"a.txt"},
       {"", kCharacters, in + "?500.txt", in + "?.txt", kTooLong, in + name263}},
      {"ANSI: 259 bytes", false, {Wide(name259)}, {name259}, {}},
      {"ANSI: 260 bytes", false, {Wide(name260), L"a.txt"}, {"a.txt"}, {"", kTooLong, in + name260}},
      {"ANSI: 263 bytes", false, {Wide(name263), L"a.txt"}, {"a.txt"}, {"", kTooLong, in + name263}},
      {"ANSI: 260 bytes alone", false, {Wide(name260)}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> ansiPaths;
    std::vector<std::wstring> widePaths;
    for (const std::wstring& name : c.names) {
      widePaths.push_back(wideFolder + name);
      char text[600] = {};  // the ANSI cases hold only what code page 932 holds
      WideCharToMultiByte(CP_ACP, 0, widePaths.back().c_str(), -1, text, sizeof text, nullptr, nullptr);
      ansiPaths.push_back(text);
    }
    DropDataObject ansi(ansiPaths);
    WideDropDataObject wide(widePaths);
    IDataObject& data = c.wide ? static_cast<IDataObject&>(wide) : static_cast<IDataObject&>(ansi);
    if (c.listed.empty()) {
      Ref<IShellExtInit> init;
      ASSERT_EQ(factory_->CreateInstance(nullptr, IID_IShellExtInit, init.Out()), S_OK);
      EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), E_FAIL);
      continue;
    }
    Listed listed = ListedNames(*factory_.Get(), data);
    EXPECT_TRUE(listed.found);
    std::sort(listed.names.begin(), listed.names.end());
    std::vector<std::string> expected = c.listed;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed.names, expected);
    std::vector<std::string> lines = Lines(listed.box);
    lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
    if (c.box.empty()) {
      EXPECT_BYTES(listed.box, "");
    } else {
      EXPECT_EQ(lines.size(), c.box.size()) << Readable(listed.box);
      for (std::size_t i = 0; i < std::min(lines.size(), c.box.size()); ++i) EXPECT_BYTES(lines[i], c.box[i]);
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

// A medium of another storage type, or a global block that is not there, is no selection.
TEST_F(DropListTest, AMediumWithoutAGlobalBlockIsNoSelection) {
  for (DWORD tymed : {static_cast<DWORD>(TYMED_ISTREAM), static_cast<DWORD>(TYMED_HGLOBAL),
                      static_cast<DWORD>(TYMED_NULL)}) {
    SCOPED_TRACE(tymed);
    OddMediumDataObject data(tymed);
    Ref<IShellExtInit> init;
    ASSERT_EQ(factory_->CreateInstance(nullptr, IID_IShellExtInit, init.Out()), S_OK);
    EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), E_FAIL);
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
