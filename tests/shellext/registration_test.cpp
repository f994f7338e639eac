// The registry entries of the server on the in-memory registry: what is written, in which
// order, what a failure leaves, and what unregistration removes.
#include "shellext/menu/registration.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace ov::test {
namespace {

using platform::reg_root::kClassesRoot;

const char kClsid[] = "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";
const char kModule[] = "C:\\Program Files\\Orvane\\ovshellex.dll";
const std::string kClassKey = std::string("CLSID\\") + kClsid;
const std::string kServerKey = kClassKey + "\\InprocServer32";
const std::string kFilesKey = "*\\shellex\\ContextMenuHandlers\\Orvane";
const std::string kFoldersKey = "Folder\\shellex\\ContextMenuHandlers\\Orvane";

// Key, value name, data: the five entries in their order.
const std::vector<std::vector<std::string>> kEntries = {
    {kClassKey, "", "Orvane Shell Extension"},
    {kServerKey, "", kModule},
    {kServerKey, "ThreadingModel", "Apartment"},
    {kFilesKey, "", kClsid},
    {kFoldersKey, "", kClsid},
};

std::string Read(platform::RegistryApi& registry, const std::string& key, const std::string& name) {
  platform::RegKey opened;
  if (platform::RegKey::Open(registry, kClassesRoot, key, opened) != 0) return "<no key>";
  std::string text;
  if (platform::QueryStringValue(registry, opened.Get(), name, text) != 0) return "<no value>";
  return text;
}

bool Exists(platform::RegistryApi& registry, const std::string& key) {
  platform::RegKey opened;
  return platform::RegKey::Open(registry, kClassesRoot, key, opened) == 0;
}

// The values a key holds, by enumeration.
std::size_t ValueCount(platform::RegistryApi& registry, const std::string& key) {
  platform::RegKey opened;
  if (platform::RegKey::Open(registry, kClassesRoot, key, opened) != 0) return 0;
  std::size_t count = 0;
  for (std::string name; registry.EnumValue(opened.Get(), static_cast<std::uint32_t>(count), name) == 0;) ++count;
  return count;
}

std::vector<std::string> Operations(platform::FakePlatform& fake) {
  std::vector<std::string> operations;
  for (const auto& call : fake.Failures().Log()) {
    if (call.operation.rfind("Reg", 0) == 0) operations.push_back(call.operation + " " + call.path + " " + call.path2);
  }
  return operations;
}

TEST(RegisterServer, WritesTheFiveEntriesInOrderEachKeyClosedAndTwiceTheSame) {
  EXPECT_STREQ(shellext::kClassIdText, kClsid);
  platform::FakePlatform fake;
  platform::RegistryApi& registry = fake.Registry();
  fake.Failures().ClearLog();
  ASSERT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));

  std::vector<std::string> expected;
  for (const auto& entry : kEntries) {
    const std::string path = "HKEY_LOCAL_MACHINE\\Software\\Classes\\" + entry[0];
    expected.push_back("RegCreateKeyExA " + path + " ");
    expected.push_back("RegSetValueExA " + path + " " + entry[1]);
    expected.push_back("RegCloseKey  ");
  }
  EXPECT_EQ(Operations(fake), expected);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    for (const auto& entry : kEntries) EXPECT_EQ(Read(registry, entry[0], entry[1]), entry[2]) << entry[0];
    EXPECT_EQ(ValueCount(registry, kClassKey), 1u);
    EXPECT_EQ(ValueCount(registry, kServerKey), 2u);
    EXPECT_EQ(ValueCount(registry, kFilesKey), 1u);
    EXPECT_EQ(ValueCount(registry, kFoldersKey), 1u);
    ASSERT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));
  }
  EXPECT_EQ(fake.Registry().OpenHandles(), 0u);
}

TEST(RegisterServer, StopsAtTheFirstFailureAndKeepsWhatWasWritten) {
  for (const char* operation : {"RegCreateKeyExA", "RegSetValueExA"}) {
    for (std::uint32_t step = 1; step <= kEntries.size(); ++step) {
      SCOPED_TRACE(std::string(operation) + " " + std::to_string(step));
      platform::FakePlatform fake;
      fake.Failures().FailCall(operation, step, platform::error::kAccessDenied);
      EXPECT_FALSE(shellext::RegisterServer(fake.Registry(), kClsid, kModule));
      EXPECT_EQ(fake.Failures().Calls("RegCreateKeyExA"), step);
      EXPECT_EQ(fake.Failures().Calls("RegSetValueExA"), std::string(operation) == "RegSetValueExA" ? step : step - 1);
      for (std::size_t entry = 0; entry < kEntries.size(); ++entry) {
        const bool written = entry + 1 < step;
        const std::string value = Read(fake.Registry(), kEntries[entry][0], kEntries[entry][1]);
        EXPECT_EQ(value == kEntries[entry][2], written) << kEntries[entry][0] << " " << kEntries[entry][1];
      }
      EXPECT_EQ(fake.Registry().OpenHandles(), 0u);
    }
  }
}

TEST(UnregisterServer, RemovesTheThreeKeysWithTheirSubkeysAndLeavesTheRest) {
  platform::FakePlatform fake;
  platform::RegistryApi& registry = fake.Registry();
  ASSERT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));
  platform::RegKey extra;
  ASSERT_EQ(platform::RegKey::Create(registry, kClassesRoot, kClassKey + "\\Extra\\Deeper", extra), 0u);
  ASSERT_EQ(platform::RegKey::Create(registry, kClassesRoot, "*\\shellex\\ContextMenuHandlers\\Other", extra), 0u);
  extra.Reset();

  shellext::UnregisterServer(registry, kClsid);
  for (const std::string& key : {kClassKey, kServerKey, kFilesKey, kFoldersKey}) {
    EXPECT_FALSE(Exists(registry, key)) << key;
  }
  for (const std::string& key : {std::string("CLSID"), std::string("*\\shellex\\ContextMenuHandlers"),
                                 std::string("*\\shellex\\ContextMenuHandlers\\Other"),
                                 std::string("Folder\\shellex\\ContextMenuHandlers")}) {
    EXPECT_TRUE(Exists(registry, key)) << key;
  }
  EXPECT_EQ(fake.Registry().OpenHandles(), 0u);
}

TEST(UnregisterServer, PassesOverKeysThatAreAbsentOrRefuseDeletion) {
  platform::FakePlatform fake;
  shellext::UnregisterServer(fake.Registry(), kClsid);  // nothing registered: nothing to do, no harm
  EXPECT_FALSE(Exists(fake.Registry(), kClassKey));

  ASSERT_TRUE(shellext::RegisterServer(fake.Registry(), kClsid, kModule));
  fake.Failures().FailPath("RegDeleteKeyA", "InprocServer32", platform::error::kAccessDenied);
  shellext::UnregisterServer(fake.Registry(), kClsid);
  // The class key cannot go while its subkey stays; the handler keys still go.
  EXPECT_TRUE(Exists(fake.Registry(), kServerKey));
  EXPECT_TRUE(Exists(fake.Registry(), kClassKey));
  EXPECT_FALSE(Exists(fake.Registry(), kFilesKey));
  EXPECT_FALSE(Exists(fake.Registry(), kFoldersKey));
  EXPECT_EQ(fake.Registry().OpenHandles(), 0u);
}

// An identifier text that is not a class identifier touches nothing: an empty one would make
// the class key "CLSID\\", and a tree deletion there would take every class of the machine.
TEST(UnregisterServer, MalformedClassIdentifiersRegisterAndDeleteNothing) {
  const std::string other = "CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32";
  const char* const malformed[] = {
      "",
      "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AF}",    // 37 characters
      "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF",     // no closing brace
      "5AC8F479-8E1A-433E-9D53-72F1CAAE3AFFxx",    // 38 characters, no braces
      "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFG}",    // not hexadecimal
      "{5AC8F479-8E1A-433E-9D5372-F1CAAE3AFF}",    // dashes misplaced
      "{5AC8F479\\8E1A-433E-9D53-72F1CAAE3AFF}",   // a separator inside
      "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}\\",  // 39 characters
  };
  for (const char* text : malformed) {
    platform::FakePlatform fake;
    platform::RegistryApi& registry = fake.Registry();
    platform::RegKey key;
    ASSERT_EQ(platform::RegKey::Create(registry, kClassesRoot, other, key), 0u);
    key.Reset();
    ASSERT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));

    EXPECT_FALSE(shellext::IsWellFormedClassId(text)) << text;
    EXPECT_FALSE(shellext::UnregisterServer(registry, text)) << text;
    EXPECT_FALSE(shellext::RegisterServer(registry, text, kModule)) << text;
    for (const std::string& kept : {other, kClassKey, kServerKey, kFilesKey, kFoldersKey}) {
      EXPECT_TRUE(Exists(registry, kept)) << "'" << text << "' removed " << kept;
    }
    // Nothing was deleted and nothing was written: the log holds no deletion or creation.
    for (const std::string& operation : Operations(fake)) {
      EXPECT_EQ(operation.find("RegDeleteKeyA"), std::string::npos) << text << ": " << operation;
    }
  }
  EXPECT_TRUE(shellext::IsWellFormedClassId(kClsid));
  EXPECT_TRUE(shellext::IsWellFormedClassId("{5ac8f479-8e1a-433e-9d53-72f1caae3aff}"));
}

// The one registry-tree deletion of the module and the installer refuses names that would
// reach beyond one program's keys, before opening anything.
TEST(DeleteRegistryTree, RefusesEmptyPartsAndWindowsOwnTopLevelKeys) {
  using platform::reg_root::kCurrentUser;
  using platform::reg_root::kLocalMachine;
  using platform::reg_root::kUsers;
  struct Case {
    platform::RegHandle root;
    std::string key;
  };
  const Case refused[] = {
      {kClassesRoot, ""},          {kClassesRoot, "CLSID"},       {kClassesRoot, "clsid"},
      {kClassesRoot, "\\CLSID"},   {kClassesRoot, "CLSID\\"},     {kClassesRoot, "CLSID\\\\x"},
      {kClassesRoot, "*"},         {kClassesRoot, "Folder"},      {kClassesRoot, "Interface"},
      {kLocalMachine, "SOFTWARE"}, {kLocalMachine, "System"},     {kCurrentUser, "Software"},
      {kCurrentUser, "Anything"},  {kUsers, ".DEFAULT"},          {kLocalMachine, "SOFTWARE\\Vendor\\"},
  };
  for (const Case& c : refused) {
    platform::FakePlatform fake;
    platform::RegKey key;
    platform::RegKey::Create(fake.Registry(), c.root, "CLSID\\{x}", key);
    platform::RegKey::Create(fake.Registry(), c.root, "SOFTWARE\\Vendor\\Probe", key);
    platform::RegKey::Create(fake.Registry(), c.root, "Software\\Probe", key);
    platform::RegKey::Create(fake.Registry(), c.root, "Anything\\Probe", key);
    key.Reset();
    fake.Failures().ClearLog();
    EXPECT_EQ(platform::DeleteRegistryTree(fake.Registry(), c.root, c.key), platform::error::kInvalidParameter) << c.key;
    EXPECT_TRUE(fake.Failures().Log().empty()) << c.key << ": the registry was asked";
  }
  // A file type's keys below HKEY_CLASSES_ROOT and any key below an opened one are allowed;
  // a key whose last byte is 0x5C as the second byte of 表 is no trailing separator.
  platform::FakePlatform fake;
  platform::RegistryApi& registry = fake.Registry();
  platform::RegKey key;
  ASSERT_EQ(platform::RegKey::Create(registry, kClassesRoot, "txt_auto_file\\shell\\open\\command", key), 0u);
  ASSERT_EQ(platform::RegKey::Create(registry, kCurrentUser, "Software\\ソフト表\\Sub", key), 0u);
  key.Reset();
  EXPECT_EQ(platform::DeleteRegistryTree(registry, kClassesRoot, "txt_auto_file"), 0u);
  EXPECT_FALSE(Exists(registry, "txt_auto_file"));
  EXPECT_EQ(platform::DeleteRegistryTree(registry, kCurrentUser, "Software\\ソフト表"), 0u);
  platform::RegKey software;
  EXPECT_EQ(platform::RegKey::Open(registry, kCurrentUser, "Software\\ソフト表", software), platform::error::kFileNotFound);
  EXPECT_EQ(platform::RegKey::Open(registry, kCurrentUser, "Software", software), 0u);
}

}  // namespace
}  // namespace ov::test
