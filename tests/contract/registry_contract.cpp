// The registry: keys, values of each type, enumeration and the failure codes.
#include <algorithm>

#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

using namespace platform;
using Names = std::vector<std::string>;

class RegistryContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    ASSERT_EQ(RegKey::Create(Registry(), reg_root::kCurrentUser, env_->ScratchKey(), scratch_key_), error::kSuccess);
  }
  void TearDown() override {
    scratch_key_.Reset();
    ContractTest::TearDown();
  }
  RegHandle Scratch() const { return scratch_key_.Get(); }
  std::string Path(const std::string& relative) const { return env_->ScratchKey() + "\\" + relative; }

  Names SubKeys(RegHandle key) {
    Names names;
    std::string name;
    for (std::uint32_t i = 0; Registry().EnumKey(key, i, name) == error::kSuccess; ++i) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }
  Names ValueNames(RegHandle key) {
    Names names;
    std::string name;
    for (std::uint32_t i = 0; Registry().EnumValue(key, i, name) == error::kSuccess; ++i) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }

  RegKey scratch_key_;
};

TEST_F(RegistryContract, CreateMakesNestedKeysInOneCallAndTellsWhetherTheKeyIsNew) {
  RegKey key;
  bool created = false;
  ASSERT_EQ(RegKey::Create(Registry(), reg_root::kCurrentUser, Path("one\\two\\three"), key, &created),
            error::kSuccess);
  EXPECT_TRUE(created);
  ASSERT_EQ(RegKey::Create(Registry(), reg_root::kCurrentUser, Path("ONE\\Two\\three"), key, &created),
            error::kSuccess);
  EXPECT_FALSE(created);
  RegKey opened;
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "one\\two", opened), error::kSuccess);
  EXPECT_EQ(SubKeys(opened.Get()), Names{"three"});
  EXPECT_EQ(RegKey::Create(Registry(), Scratch(), "one", key, &created), error::kSuccess);
  EXPECT_FALSE(created);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "one\\missing", opened), error::kFileNotFound);
  EXPECT_FALSE(opened);
}

struct ValueCase {
  const char* name;
  std::uint32_t type;
  std::string data;
};

TEST_F(RegistryContract, ValuesOfEachTypeRoundTripWithTheirBytes) {
  const ValueCase cases[] = {
      {"Text", reg_type::kString, std::string("表示ソフト\0", 11)},
      {"Expand", reg_type::kExpandString, std::string("%WINDIR%\\予定表\0", 17)},
      {"Number", reg_type::kDword, std::string("\x78\x56\x34\x12", 4)},
      {"Bytes", reg_type::kBinary, std::string("\x00\x5C\xFF\x81\x00", 5)},
      {"EmptyBytes", reg_type::kBinary, std::string()},
      {"List", reg_type::kMultiString, std::string("a\0表\0\0", 6)},
      {"", reg_type::kString, std::string("default\0", 8)},
  };
  for (const ValueCase& row : cases) {
    ASSERT_EQ(Registry().SetValue(Scratch(), row.name, row.type, row.data), error::kSuccess) << row.name;
  }
  for (const ValueCase& row : cases) {
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(Registry().QueryValue(Scratch(), row.name, type, data), error::kSuccess) << row.name;
    EXPECT_EQ(type, row.type) << row.name;
    EXPECT_BYTES(data, row.data) << row.name;
  }
  std::uint32_t number = 0;
  EXPECT_EQ(QueryDwordValue(Registry(), Scratch(), "number", number), error::kSuccess);
  EXPECT_EQ(number, 0x12345678u);
  std::string text;
  EXPECT_EQ(QueryStringValue(Registry(), Scratch(), "", text), error::kSuccess);
  EXPECT_EQ(text, "default");
}

TEST_F(RegistryContract, ValueNamesAreCaseInsensitiveAndKeepTheFirstSpelling) {
  ASSERT_EQ(SetStringValue(Registry(), Scratch(), "InstallPath", "C:\\A"), error::kSuccess);
  ASSERT_EQ(SetStringValue(Registry(), Scratch(), "INSTALLPATH", "C:\\B"), error::kSuccess);
  std::string text;
  EXPECT_EQ(QueryStringValue(Registry(), Scratch(), "installpath", text), error::kSuccess);
  EXPECT_EQ(text, "C:\\B");
  EXPECT_EQ(ValueNames(Scratch()), Names{"InstallPath"});
}

TEST_F(RegistryContract, MissingValuesAndKeys) {
  std::uint32_t type = 99;
  std::string data = "old";
  EXPECT_EQ(Registry().QueryValue(Scratch(), "missing", type, data), error::kFileNotFound);
  EXPECT_EQ(data, "");
  EXPECT_EQ(Registry().QueryValue(Scratch(), "", type, data), error::kFileNotFound) << "no default value yet";
  EXPECT_EQ(Registry().DeleteValue(Scratch(), "missing"), error::kFileNotFound);
  EXPECT_EQ(Registry().DeleteKey(Scratch(), "missing"), error::kFileNotFound);
  RegHandle key = 1;
  EXPECT_EQ(Registry().OpenKey(Scratch(), "missing", key), error::kFileNotFound);
  EXPECT_EQ(key, 0u);

  ASSERT_EQ(SetDwordValue(Registry(), Scratch(), "n", 1), error::kSuccess);
  EXPECT_EQ(Registry().DeleteValue(Scratch(), "N"), error::kSuccess);
  EXPECT_EQ(Registry().QueryValue(Scratch(), "n", type, data), error::kFileNotFound);
}

TEST_F(RegistryContract, DeleteKeyRefusesAKeyWithSubkeys) {
  RegKey key;
  ASSERT_EQ(RegKey::Create(Registry(), Scratch(), "parent\\child", key), error::kSuccess);
  key.Reset();
  EXPECT_EQ(Registry().DeleteKey(Scratch(), "parent"), error::kAccessDenied);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "parent\\child", key), error::kSuccess);
  key.Reset();
  EXPECT_EQ(Registry().DeleteKey(Scratch(), "PARENT\\CHILD"), error::kSuccess);
  EXPECT_EQ(Registry().DeleteKey(Scratch(), "parent"), error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "parent", key), error::kFileNotFound);
  EXPECT_EQ(SubKeys(Scratch()), Names{});
}

TEST_F(RegistryContract, EnumerationListsKeysAndValuesAndEnds) {
  RegKey key;
  for (const char* name : {"Beta", "alpha", "表示"}) {
    ASSERT_EQ(RegKey::Create(Registry(), Scratch(), name, key), error::kSuccess);
  }
  for (const char* name : {"Zeta", "", "eta"}) {
    ASSERT_EQ(SetStringValue(Registry(), Scratch(), name, "v"), error::kSuccess);
  }
  EXPECT_EQ(SubKeys(Scratch()), (Names{"Beta", "alpha", "表示"}));
  EXPECT_EQ(ValueNames(Scratch()), (Names{"", "Zeta", "eta"}));
  std::string name = "old";
  EXPECT_EQ(Registry().EnumKey(Scratch(), 3, name), error::kNoMoreItems);
  EXPECT_EQ(Registry().EnumValue(Scratch(), 3, name), error::kNoMoreItems);
  ASSERT_EQ(RegKey::Open(Registry(), Scratch(), "alpha", key), error::kSuccess);
  EXPECT_EQ(Registry().EnumKey(key.Get(), 0, name), error::kNoMoreItems);
  EXPECT_EQ(Registry().EnumValue(key.Get(), 0, name), error::kNoMoreItems);
}

// A string written without its zero reads back with one; empty parts of a key path (a
// trailing "\\" or "\\\\" inside) are skipped.
TEST_F(RegistryContract, StringsWithoutTheirZeroAndOddPaths) {
  ASSERT_EQ(Registry().SetValue(Scratch(), "raw", reg_type::kString, "abc"), error::kSuccess);
  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(Registry().QueryValue(Scratch(), "raw", type, data), error::kSuccess);
  EXPECT_BYTES(data, std::string("abc\0", 4));
  RegKey key;
  ASSERT_EQ(RegKey::Create(Registry(), Scratch(), "sub\\", key), error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "sub\\", key), error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "sub\\\\x", key), error::kFileNotFound);
  EXPECT_EQ(RegKey::Create(Registry(), Scratch(), "a\\\\b", key), error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "A\\B", key), error::kSuccess);
  EXPECT_EQ(SubKeys(Scratch()), (Names{"a", "sub"}));
}

TEST_F(RegistryContract, KeyNamesAreCaseInsensitive) {
  RegKey key;
  ASSERT_EQ(RegKey::Create(Registry(), Scratch(), "Software Name", key), error::kSuccess);
  ASSERT_EQ(SetStringValue(Registry(), key.Get(), "v", "1"), error::kSuccess);
  key.Reset();
  ASSERT_EQ(RegKey::Open(Registry(), Scratch(), "SOFTWARE NAME", key), error::kSuccess);
  std::string text;
  EXPECT_EQ(QueryStringValue(Registry(), key.Get(), "V", text), error::kSuccess);
  EXPECT_EQ(text, "1");
  EXPECT_EQ(SubKeys(Scratch()), Names{"Software Name"});
}

TEST_F(RegistryContract, AnEmptySubkeyNamesTheKeyItself) {
  ASSERT_EQ(SetStringValue(Registry(), Scratch(), "v", "same"), error::kSuccess);
  RegKey again;
  ASSERT_EQ(RegKey::Open(Registry(), Scratch(), "", again), error::kSuccess);
  std::string text;
  EXPECT_EQ(QueryStringValue(Registry(), again.Get(), "v", text), error::kSuccess);
  EXPECT_EQ(text, "same");
  ASSERT_EQ(RegKey::Create(Registry(), Scratch(), "", again), error::kSuccess);
  EXPECT_EQ(QueryStringValue(Registry(), again.Get(), "v", text), error::kSuccess);
}

TEST_F(RegistryContract, ALeadingBackslashInTheSubkeyPath) {
  RegKey key;
  bool created = false;
  EXPECT_EQ(RegKey::Create(Registry(), reg_root::kCurrentUser, "\\" + Path("lead"), key, &created),
            error::kBadPathname);
  EXPECT_EQ(RegKey::Open(Registry(), reg_root::kCurrentUser, "\\" + env_->ScratchKey(), key), error::kBadPathname);
  EXPECT_EQ(RegKey::Open(Registry(), reg_root::kLocalMachine, "\\SOFTWARE", key), error::kBadPathname);
  EXPECT_EQ(RegKey::Open(Registry(), reg_root::kClassesRoot, "\\CLSID", key), error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), Scratch(), "\\x", key), error::kBadPathname);
}

TEST_F(RegistryContract, TheRootsHoldTheStandardKeys) {
  const struct {
    RegHandle root;
    const char* subKey;
  } cases[] = {
      {reg_root::kClassesRoot, "CLSID"},
      {reg_root::kClassesRoot, "*"},
      {reg_root::kClassesRoot, "Folder"},
      {reg_root::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"},
      {reg_root::kLocalMachine, "Software\\Classes\\CLSID"},
      {reg_root::kUsers, ".DEFAULT"},
      {reg_root::kCurrentUser, "Software"},
  };
  for (const auto& row : cases) {
    RegKey key;
    EXPECT_EQ(RegKey::Open(Registry(), row.root, row.subKey, key), error::kSuccess) << row.subKey;
  }
}

// HKEY_CLASSES_ROOT shows HKEY_LOCAL_MACHINE\Software\Classes. Below it alone, opening
// accepts a leading "\"; creating and deleting do not.
TEST_F(RegistryContract, ClassesRootIsTheMachineClassesKey) {
  const std::string name = env_->ScratchKey().substr(env_->ScratchKey().rfind('\\') + 1);
  // The key lands in the machine's classes: remove it even when a check below fails.
  struct Removal {
    RegistryApi& registry;
    std::string name;
    ~Removal() { DeleteRegistryTree(registry, reg_root::kClassesRoot, name); }
  } removal{Registry(), name};
  RegKey key;
  bool created = false;
  EXPECT_EQ(RegKey::Create(Registry(), reg_root::kClassesRoot, "\\" + name, key, &created), error::kBadPathname);
  ASSERT_EQ(RegKey::Create(Registry(), reg_root::kClassesRoot, name + "\\shell", key, &created), error::kSuccess);
  EXPECT_TRUE(created);
  key.Reset();
  EXPECT_EQ(RegKey::Open(Registry(), reg_root::kLocalMachine, "Software\\Classes\\" + name + "\\shell", key),
            error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), reg_root::kClassesRoot, "\\" + name + "\\SHELL", key), error::kSuccess);
  key.Reset();
  EXPECT_EQ(Registry().DeleteKey(reg_root::kClassesRoot, "\\" + name + "\\shell"), error::kBadPathname);
  EXPECT_EQ(Registry().DeleteKey(reg_root::kLocalMachine, "Software\\Classes\\" + name + "\\shell"),
            error::kSuccess);
  EXPECT_EQ(Registry().DeleteKey(reg_root::kClassesRoot, name), error::kSuccess);
  EXPECT_EQ(RegKey::Open(Registry(), reg_root::kLocalMachine, "Software\\Classes\\" + name, key),
            error::kFileNotFound);
}

}  // namespace
}  // namespace ov::contract
