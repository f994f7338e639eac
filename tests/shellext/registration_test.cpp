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

}  // namespace
}  // namespace ov::test
