// Plays Explorer against the real ovshellex.dll: registration into the prefix's registry,
// then CoCreateInstance with the class identifier, Initialize with a CF_HDROP data object
// for real files and folders, IContextMenu on a real popup menu read back item by item.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

const char kFilesCaption[] = "ファイルの整理";
const char kFoldersCaption[] = "フォルダの整理";
const char* const kFileItems[] = {"ファイル名の一括処理", "ファイル名による自動分類", "ファイル名のリナンバリング",
                                  "条件指定つきファイル削除"};
const char* const kFileHelps[] = {"ファイル名をまとめて変更します",
                                  "ファイル名を元にサブフォルダに自動的に分類します",
                                  "ファイル名を連番に変更します",
                                  "選択したファイルのうち、条件に合うもののみを削除します"};
const char kFolderItem[] = "フォルダをまとめる";
const char kFolderHelp[] = "選択したフォルダを一つのフォルダにまとめます";

const std::string kClassKey = std::string("CLSID\\") + kShellExtClassIdText;
const std::string kFilesHandlerKey = "*\\shellex\\ContextMenuHandlers\\Orvane";
const std::string kFoldersHandlerKey = "Folder\\shellex\\ContextMenuHandlers\\Orvane";

std::string Text(const std::string& key, const std::string& name) {
  std::string text;
  DWORD type = REG_NONE;
  if (!ReadClassesText(key, name, text, type)) return "<missing>";
  return type == REG_SZ ? text : "<not REG_SZ>";
}

// ---- Registration ------------------------------------------------------------------------

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(module_.Loaded()); }
  void TearDown() override { module_.unregisterServer(); }
  void ExpectFiveEntries() {
    EXPECT_EQ(Text(kClassKey, ""), "Orvane Shell Extension");
    EXPECT_TRUE(lstrcmpiA(Text(kClassKey + "\\InprocServer32", "").c_str(), module_.Path().c_str()) == 0)
        << Text(kClassKey + "\\InprocServer32", "") << " vs " << module_.Path();
    EXPECT_EQ(Text(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Text(kFilesHandlerKey, ""), kShellExtClassIdText);
    EXPECT_EQ(Text(kFoldersHandlerKey, ""), kShellExtClassIdText);
    // Nothing besides the five values.
    const struct {
      std::string key;
      DWORD subKeys, values;
    } shapes[] = {{kClassKey, 1, 1}, {kClassKey + "\\InprocServer32", 0, 2}, {kFilesHandlerKey, 0, 1},
                  {kFoldersHandlerKey, 0, 1}};
    for (const auto& shape : shapes) {
      DWORD subKeys = 99, values = 99;
      ASSERT_TRUE(ClassesKeyCounts(shape.key, subKeys, values)) << shape.key;
      EXPECT_EQ(subKeys, shape.subKeys) << shape.key;
      EXPECT_EQ(values, shape.values) << shape.key;
    }
  }
  ShellExtModule module_;
};

TEST_F(Registration, ClassIdentifierIsTheFixedOneAsStringFromClsidWritesIt) {
  LPOLESTR wide = nullptr;
  ASSERT_EQ(StringFromCLSID(kShellExtClassId, &wide), S_OK);
  char text[64] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  CoTaskMemFree(wide);
  EXPECT_STREQ(text, kShellExtClassIdText);
  ASSERT_EQ(module_.registerServer(), S_OK);
  EXPECT_EQ(Text(kFilesHandlerKey, ""), text);
}

TEST_F(Registration, RegisterWritesTheFiveEntriesAndTwiceLeavesTheSameFive) {
  ASSERT_EQ(module_.registerServer(), S_OK);
  ExpectFiveEntries();
  ASSERT_EQ(module_.registerServer(), S_OK);
  ExpectFiveEntries();
}

TEST_F(Registration, UnregisterRemovesTheThreeKeysAndSucceedsWhenNothingIsRegistered) {
  ASSERT_EQ(module_.registerServer(), S_OK);
  EXPECT_EQ(module_.unregisterServer(), S_OK);
  EXPECT_FALSE(ClassesKeyExists(kClassKey));
  EXPECT_FALSE(ClassesKeyExists(kFilesHandlerKey));
  EXPECT_FALSE(ClassesKeyExists(kFoldersHandlerKey));
  // The parents belong to the system and stay.
  EXPECT_TRUE(ClassesKeyExists("*\\shellex\\ContextMenuHandlers"));
  EXPECT_EQ(module_.unregisterServer(), S_OK);
}

// ---- Explorer's side ----------------------------------------------------------------------

class ExplorerHost : public RegisteredModuleTest {
 protected:
  void TearDown() override {
    // No object of the module is left alive once the test released everything.
    EXPECT_EQ(module_->canUnloadNow(), S_OK);
  }

  // As Explorer: CoCreateInstance for IShellExtInit, then Initialize.
  Ref<IShellExtInit> Create() {
    Ref<IShellExtInit> init;
    const HRESULT result =
        CoCreateInstance(kShellExtClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.Out());
    EXPECT_EQ(result, S_OK);
    return Ref<IShellExtInit>(init.Detach());
  }
  Ref<IContextMenu> MenuOf(IShellExtInit* init) {
    Ref<IContextMenu> menu;
    EXPECT_EQ(init->QueryInterface(IID_IContextMenu, menu.Out()), S_OK);
    return Ref<IContextMenu>(menu.Detach());
  }
  // Initialize with the paths, then the menu object; null when Initialize failed.
  Ref<IContextMenu> MenuFor(const std::vector<std::string>& paths) {
    Ref<IShellExtInit> init = Create();
    if (!init) return Ref<IContextMenu>();
    DropDataObject data(paths);
    if (init->Initialize(nullptr, &data, nullptr) != S_OK) return Ref<IContextMenu>();
    EXPECT_EQ(data.References(), 1);  // the extension kept no reference to the data object
    return MenuOf(init.Get());
  }
  // Explorer's menu with two items of its own; the extension goes in between.
  void FillHostMenu(HMENU menu) {
    AppendMenuA(menu, MF_STRING, 1, "開く(&O)");
    AppendMenuA(menu, MF_STRING, 2, "プロパティ(&R)");
  }
};

TEST_F(ExplorerHost, FilesGetTheSeparatorAndTheFilesSubmenuWithFourItems) {
  Ref<IContextMenu> menu = MenuFor({scratch_.File("b.txt"), scratch_.File("A.txt")});
  ASSERT_TRUE(menu);
  MenuOwner host;
  FillHostMenu(host.Get());
  EXPECT_EQ(menu->QueryContextMenu(host.Get(), 1, 100, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));

  const std::vector<MenuEntry> entries = ReadMenu(host.Get());
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_BYTES(entries[0].text, "開く(&O)");
  EXPECT_TRUE(entries[1].separator);
  EXPECT_TRUE(entries[2].popup);
  EXPECT_BYTES(entries[2].text, kFilesCaption);
  EXPECT_BYTES(entries[3].text, "プロパティ(&R)");
  ASSERT_EQ(entries[2].submenu.size(), 4u);
  for (UINT offset = 0; offset < 4; ++offset) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(entries[2].submenu[offset].id, 100 + offset);
    EXPECT_BYTES(entries[2].submenu[offset].text, kFileItems[offset]);
  }
}

TEST_F(ExplorerHost, OneFolderGetsTheFoldersSubmenuWithOneItem) {
  Ref<IContextMenu> menu = MenuFor({scratch_.Folder("sub")});
  ASSERT_TRUE(menu);
  MenuOwner host;
  EXPECT_EQ(menu->QueryContextMenu(host.Get(), 0, 30, 40, CMF_EXPLORE), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2));
  const std::vector<MenuEntry> entries = ReadMenu(host.Get());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE(entries[0].separator);
  EXPECT_BYTES(entries[1].text, kFoldersCaption);
  ASSERT_EQ(entries[1].submenu.size(), 1u);
  EXPECT_EQ(entries[1].submenu[0].id, 30u);
  EXPECT_BYTES(entries[1].submenu[0].text, kFolderItem);
}

TEST_F(ExplorerHost, WhatAddsNothing) {
  const std::string file = scratch_.File("a.txt");
  const std::string folder = scratch_.Folder("sub");
  const struct {
    const char* name;
    std::vector<std::string> paths;
    UINT flags;
  } cases[] = {
      {"files and folders together", {file, folder}, CMF_NORMAL},
      {"default only", {file}, CMF_DEFAULTONLY},
      {"verbs only", {folder}, CMF_VERBSONLY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<IContextMenu> menu = MenuFor(c.paths);
    ASSERT_TRUE(menu);
    MenuOwner host;
    FillHostMenu(host.Get());
    EXPECT_EQ(menu->QueryContextMenu(host.Get(), 1, 100, 200, c.flags), S_OK);
    EXPECT_EQ(GetMenuItemCount(host.Get()), 2);
  }
}

TEST_F(ExplorerHost, TwoGrantedIdentifiersGiveTwoItems) {
  Ref<IContextMenu> menu = MenuFor({scratch_.File("a.txt")});
  ASSERT_TRUE(menu);
  MenuOwner host;
  EXPECT_EQ(menu->QueryContextMenu(host.Get(), 0, 500, 501, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 3));
  const std::vector<MenuEntry> entries = ReadMenu(host.Get());
  ASSERT_EQ(entries.size(), 2u);
  ASSERT_EQ(entries[1].submenu.size(), 2u);
  EXPECT_EQ(entries[1].submenu[0].id, 500u);
  EXPECT_EQ(entries[1].submenu[1].id, 501u);
  EXPECT_BYTES(entries[1].submenu[1].text, kFileItems[1]);
}

TEST_F(ExplorerHost, PathsThatAreNeitherFileNorFolderAreDropped) {
  const std::string missing = scratch_.Path() + "missing.txt";
  const std::string folder = scratch_.Folder("sub");
  // A folder and a missing path: the folder alone remains, so the folders submenu.
  Ref<IContextMenu> menu = MenuFor({missing, folder});
  ASSERT_TRUE(menu);
  MenuOwner host;
  EXPECT_EQ(menu->QueryContextMenu(host.Get(), 0, 1, 100, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2));

  const struct {
    const char* name;
    std::vector<std::string> paths;
    bool offerDrop;
  } failures[] = {
      {"only missing paths", {missing, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"}, true},
      {"no path at all", {}, true},
      {"no CF_HDROP", {folder}, false},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.name);
    Ref<IShellExtInit> init = Create();
    ASSERT_TRUE(init);
    DropDataObject data(f.paths, f.offerDrop);
    EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), E_FAIL);
    EXPECT_EQ(data.GetDataCalls(), 1);
  }
}

TEST_F(ExplorerHost, InitializeAgainReplacesTheListsAndEachMenuObjectKeepsItsOwnCopy) {
  const std::string folder = scratch_.Folder("sub");
  const std::string file = scratch_.File("a.txt");
  Ref<IShellExtInit> init = Create();
  ASSERT_TRUE(init);
  DropDataObject folders({folder});
  ASSERT_EQ(init->Initialize(nullptr, &folders, nullptr), S_OK);
  Ref<IContextMenu> first = MenuOf(init.Get());
  Ref<IContextMenu> second = MenuOf(init.Get());
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.Get(), second.Get());

  // Had the files been added to the folders, the mixed selection would add nothing.
  DropDataObject files({file});
  ASSERT_EQ(init->Initialize(nullptr, &files, nullptr), S_OK);
  Ref<IContextMenu> third = MenuOf(init.Get());
  init.Reset();  // the menu objects do not depend on the object that made them

  const struct {
    IContextMenu* menu;
    HRESULT added;
    const char* caption;
  } cases[] = {{first.Get(), 2, kFoldersCaption}, {second.Get(), 2, kFoldersCaption}, {third.Get(), 5, kFilesCaption}};
  for (const auto& c : cases) {
    MenuOwner host;
    EXPECT_EQ(c.menu->QueryContextMenu(host.Get(), 0, 1, 100, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, c.added));
    const std::vector<MenuEntry> entries = ReadMenu(host.Get());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_BYTES(entries[1].text, c.caption);
  }
  first.Reset();
  EXPECT_EQ(module_->canUnloadNow(), S_FALSE);  // second and third are still alive
}

TEST_F(ExplorerHost, HelpTextsAreCopiedWithinTheBufferSize) {
  Ref<IContextMenu> files = MenuFor({scratch_.File("a.txt")});
  Ref<IContextMenu> folders = MenuFor({scratch_.Folder("sub")});
  ASSERT_TRUE(files && folders);
  for (UINT offset = 0; offset < 4; ++offset) {
    char buffer[128] = {};
    EXPECT_EQ(files->GetCommandString(offset, GCS_HELPTEXTA, nullptr, buffer, sizeof buffer), S_OK);
    EXPECT_BYTES(buffer, kFileHelps[offset]);
  }
  char buffer[128] = {};
  EXPECT_EQ(folders->GetCommandString(0, GCS_HELPTEXTA, nullptr, buffer, sizeof buffer), S_OK);
  EXPECT_BYTES(buffer, kFolderHelp);
  // The longest text: 54 bytes and the zero fit exactly into 55.
  char exact[56];
  std::memset(exact, '#', sizeof exact);
  EXPECT_EQ(files->GetCommandString(3, GCS_HELPTEXTA, nullptr, exact, 55), S_OK);
  EXPECT_EQ(std::string(exact, 54), kFileHelps[3]);
  EXPECT_EQ(exact[54], '\0');
  EXPECT_EQ(exact[55], '#');

  // A cut never leaves half a double-byte character: 4 bytes hold "フ" and the zero.
  char cut[8];
  std::memset(cut, '#', sizeof cut);
  EXPECT_EQ(files->GetCommandString(0, GCS_HELPTEXTA, nullptr, cut, 4), S_OK);
  EXPECT_EQ(std::string(cut, 5), std::string("フ") + '\0' + "##");

  // Requests without an answer: S_OK and the buffer untouched.
  const struct {
    IContextMenu* menu;
    UINT_PTR offset;
    UINT type;
  } untouched[] = {{files.Get(), 4, GCS_HELPTEXTA}, {files.Get(), 7, GCS_HELPTEXTA},
                   {folders.Get(), 1, GCS_HELPTEXTA}, {files.Get(), 0, GCS_HELPTEXTW},
                   {files.Get(), 0, GCS_VERBA},       {files.Get(), 0, GCS_VALIDATEA}};
  for (const auto& u : untouched) {
    SCOPED_TRACE(u.type * 100 + u.offset);
    char unchanged[16];
    std::memset(unchanged, '#', sizeof unchanged);
    EXPECT_EQ(u.menu->GetCommandString(u.offset, u.type, nullptr, unchanged, sizeof unchanged), S_OK);
    EXPECT_EQ(std::string(unchanged, sizeof unchanged), std::string(sizeof unchanged, '#'));
  }
}

TEST_F(ExplorerHost, CommandsWithoutToolAndVerbTextsReturnOk) {
  Ref<IContextMenu> files = MenuFor({scratch_.File("a.txt")});
  Ref<IContextMenu> folders = MenuFor({scratch_.Folder("sub")});
  ASSERT_TRUE(files && folders);
  const struct {
    IContextMenu* menu;
    LPCSTR verb;
  } cases[] = {{files.Get(), MAKEINTRESOURCEA(7)}, {files.Get(), "open"},   {folders.Get(), MAKEINTRESOURCEA(1)},
               {folders.Get(), "open"},             {folders.Get(), MAKEINTRESOURCEA(0)}};
  for (const auto& c : cases) {
    CMINVOKECOMMANDINFO record = {};
    record.cbSize = sizeof record;
    record.lpVerb = c.verb;
    record.nShow = SW_SHOWNORMAL;
    EXPECT_EQ(c.menu->InvokeCommand(&record), S_OK);
  }
}

TEST_F(ExplorerHost, NullPointersGiveInvalidArg) {
  Ref<IShellExtInit> init = Create();
  ASSERT_TRUE(init);
  EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(init->QueryInterface(IID_IShellExtInit, nullptr), E_INVALIDARG);
  Ref<IContextMenu> menu = MenuOf(init.Get());
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->QueryInterface(IID_IContextMenu, nullptr), E_INVALIDARG);
  EXPECT_EQ(menu->InvokeCommand(nullptr), E_INVALIDARG);
  Ref<IClassFactory> factory;
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_INVALIDARG);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, nullptr), E_INVALIDARG);
}

TEST_F(ExplorerHost, UnknownInterfacesGiveNoInterfaceAndANullPointer) {
  void* const sentinel = reinterpret_cast<void*>(0x1234);
  Ref<IClassFactory> factory;
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  Ref<IShellExtInit> init = Create();
  ASSERT_TRUE(init);
  Ref<IContextMenu> menu = MenuOf(init.Get());
  ASSERT_TRUE(menu);

  const struct {
    const char* name;
    IUnknown* object;
    const IID* iid;
  } queries[] = {{"factory for IShellExtInit", factory.Get(), &IID_IShellExtInit},
                 {"init for IDataObject", init.Get(), &IID_IDataObject},
                 {"init for IClassFactory", init.Get(), &IID_IClassFactory},
                 {"menu for IShellExtInit", menu.Get(), &IID_IShellExtInit},
                 {"menu for IContextMenu2", menu.Get(), &IID_IContextMenu2}};
  for (const auto& q : queries) {
    SCOPED_TRACE(q.name);
    void* out = sentinel;
    EXPECT_EQ(q.object->QueryInterface(*q.iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  void* out = sentinel;
  EXPECT_EQ(module_->getClassObject(kShellExtClassId, IID_IShellExtInit, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  out = sentinel;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST_F(ExplorerHost, IdentityAndReferenceCounts) {
  Ref<IShellExtInit> init = Create();
  ASSERT_TRUE(init);
  EXPECT_EQ(init->AddRef(), 2u);
  EXPECT_EQ(init->AddRef(), 3u);
  EXPECT_EQ(init->Release(), 1u);  // not the count
  EXPECT_EQ(init->Release(), 1u);
  Ref<IUnknown> unknownOfInit;
  ASSERT_EQ(init->QueryInterface(IID_IUnknown, unknownOfInit.Out()), S_OK);
  Ref<IUnknown> again;
  ASSERT_EQ(unknownOfInit->QueryInterface(IID_IUnknown, again.Out()), S_OK);
  EXPECT_EQ(unknownOfInit.Get(), again.Get());
  Ref<IShellExtInit> back;
  ASSERT_EQ(unknownOfInit->QueryInterface(IID_IShellExtInit, back.Out()), S_OK);
  EXPECT_EQ(back.Get(), init.Get());

  // Any class identifier gets the factory.
  Ref<IClassFactory> factory;
  ASSERT_EQ(module_->getClassObject(IID_IUnknown, IID_IClassFactory, factory.Out()), S_OK);
  Ref<IUnknown> unknownOfFactory;
  ASSERT_EQ(factory->QueryInterface(IID_IUnknown, unknownOfFactory.Out()), S_OK);
  Ref<IClassFactory> factoryAgain;
  ASSERT_EQ(unknownOfFactory->QueryInterface(IID_IClassFactory, factoryAgain.Out()), S_OK);
  EXPECT_EQ(factoryAgain.Get(), factory.Get());
  Ref<IUnknown> unknownAgain;
  ASSERT_EQ(factoryAgain->QueryInterface(IID_IUnknown, unknownAgain.Out()), S_OK);
  EXPECT_EQ(unknownAgain.Get(), unknownOfFactory.Get());
  EXPECT_NE(unknownOfFactory.Get(), unknownOfInit.Get());  // the factory is not the object it makes

  // Each request for IContextMenu makes an object of its own, whose IUnknown leads back to it.
  Ref<IContextMenu> menu;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, menu.Out()), S_OK);
  Ref<IContextMenu> other;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, other.Out()), S_OK);
  EXPECT_NE(menu.Get(), other.Get());
  Ref<IUnknown> unknownOfMenu;
  ASSERT_EQ(menu->QueryInterface(IID_IUnknown, unknownOfMenu.Out()), S_OK);
  Ref<IContextMenu> menuAgain;
  ASSERT_EQ(unknownOfMenu->QueryInterface(IID_IContextMenu, menuAgain.Out()), S_OK);
  EXPECT_EQ(menuAgain.Get(), menu.Get());
  EXPECT_NE(unknownOfMenu.Get(), unknownOfInit.Get());
}

TEST_F(ExplorerHost, AggregationIsRefused) {
  Ref<IClassFactory> factory;
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  DropDataObject outer({});  // any IUnknown will do as the outer object
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(outer.References(), 1);
  factory.Reset();
  EXPECT_EQ(module_->canUnloadNow(), S_OK);  // nothing was created
}

TEST_F(ExplorerHost, ContextMenuFromTheFactoryHasEmptyListsAndTheInitObjectIsGone) {
  Ref<IClassFactory> factory;
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  Ref<IContextMenu> menu;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, menu.Out()), S_OK);
  factory.Reset();
  MenuOwner host;
  EXPECT_EQ(menu->QueryContextMenu(host.Get(), 0, 1, 100, CMF_NORMAL), S_OK);
  EXPECT_EQ(GetMenuItemCount(host.Get()), 0);
  EXPECT_EQ(module_->canUnloadNow(), S_FALSE);
  menu.Reset();
  EXPECT_EQ(module_->canUnloadNow(), S_OK);  // the intermediate object did not outlive it
}

TEST_F(ExplorerHost, LockServerAndLiveObjectsKeepTheModule) {
  EXPECT_EQ(module_->canUnloadNow(), S_OK);
  Ref<IClassFactory> factory;
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(module_->canUnloadNow(), S_FALSE);  // locked, although no object lives
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(module_->canUnloadNow(), S_FALSE);  // one lock is still held
  ASSERT_EQ(module_->getClassObject(kShellExtClassId, IID_IClassFactory, factory.Out()), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(module_->canUnloadNow(), S_FALSE);  // the factory itself is alive
  factory.Reset();
  EXPECT_EQ(module_->canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace ov::test
