// The registry entries of the server: what is written, in which order, what a failure
// leaves, and what unregistration removes.
#include "shellext/menu/registration.h"

#include <gtest/gtest.h>

#include "shellext/stub_platform.h"

namespace ov::test {
namespace {

const char kClsid[] = "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";
const char kModule[] = "C:\\Program Files\\Orvane\\ovshellex.dll";
const std::string kClassKey = std::string("CLSID\\") + kClsid;
const std::string kServerKey = kClassKey + "\\InprocServer32";
const std::string kFilesKey = "*\\shellex\\ContextMenuHandlers\\Orvane";
const std::string kFoldersKey = "Folder\\shellex\\ContextMenuHandlers\\Orvane";

const std::vector<std::string> kRegisterCalls = {
    "create " + kClassKey,  "set " + kClassKey + "|=Orvane Shell Extension",   "close " + kClassKey,
    "create " + kServerKey, "set " + kServerKey + "|=" + kModule,               "close " + kServerKey,
    "create " + kServerKey, "set " + kServerKey + "|ThreadingModel=Apartment", "close " + kServerKey,
    "create " + kFilesKey,  "set " + kFilesKey + "|=" + kClsid,                "close " + kFilesKey,
    "create " + kFoldersKey, "set " + kFoldersKey + "|=" + kClsid,             "close " + kFoldersKey,
};

std::map<std::string, std::map<std::string, std::string>> Values(const StubRegistry& registry) {
  std::map<std::string, std::map<std::string, std::string>> values;
  for (const auto& key : registry.keys) {
    if (!key.second.empty()) values[key.first] = key.second;
  }
  return values;
}

const std::map<std::string, std::map<std::string, std::string>> kFiveEntries = {
    {kClassKey, {{"", "Orvane Shell Extension"}}},
    {kServerKey, {{"", kModule}, {"ThreadingModel", "Apartment"}}},
    {kFilesKey, {{"", kClsid}}},
    {kFoldersKey, {{"", kClsid}}},
};

TEST(RegisterServer, WritesTheFiveEntriesInOrderEachKeyClosedAndTwiceTheSame) {
  EXPECT_STREQ(shellext::kClassIdText, kClsid);
  StubRegistry registry;
  EXPECT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));
  EXPECT_EQ(registry.calls, kRegisterCalls);
  EXPECT_EQ(Values(registry), kFiveEntries);
  EXPECT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));
  EXPECT_EQ(Values(registry), kFiveEntries);
  EXPECT_EQ(registry.OpenKeys(), 0);
}

TEST(RegisterServer, StopsAtTheFirstFailureAndKeepsWhatWasWritten) {
  for (std::size_t failing = 0; failing < kRegisterCalls.size(); ++failing) {
    const std::string& call = kRegisterCalls[failing];
    if (call.rfind("close ", 0) == 0) continue;  // closing does not fail
    SCOPED_TRACE(call);
    StubRegistry registry;
    registry.failAt = failing;
    EXPECT_FALSE(shellext::RegisterServer(registry, kClsid, kModule));
    EXPECT_EQ(registry.calls.back(), call.rfind("set ", 0) == 0 ? "close " + call.substr(4, call.find('|') - 4) : call);
    EXPECT_EQ(registry.calls.size(), failing + (call.rfind("set ", 0) == 0 ? 2 : 1));
    EXPECT_EQ(registry.OpenKeys(), 0);
  }
}

TEST(UnregisterServer, RemovesTheThreeKeysWithTheirSubkeysAndLeavesTheRest) {
  StubRegistry registry;
  ASSERT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));
  registry.keys["*\\shellex\\ContextMenuHandlers\\Other"]["" ] = "{other}";
  registry.keys[kClassKey + "\\Extra\\Deeper"];
  registry.calls.clear();
  shellext::UnregisterServer(registry, kClsid);
  for (const std::string& key : {kClassKey, kServerKey, kFilesKey, kFoldersKey}) {
    EXPECT_EQ(registry.keys.count(key), 0u) << key;
  }
  EXPECT_EQ(registry.keys.count("CLSID"), 1u);
  EXPECT_EQ(registry.keys.count("*\\shellex\\ContextMenuHandlers"), 1u);
  EXPECT_EQ(registry.keys.count("*\\shellex\\ContextMenuHandlers\\Other"), 1u);
  EXPECT_EQ(registry.keys.count("Folder\\shellex\\ContextMenuHandlers"), 1u);
  EXPECT_EQ(registry.OpenKeys(), 0);
}

TEST(UnregisterServer, PassesOverKeysThatAreAbsentOrRefuseDeletion) {
  StubRegistry empty;
  shellext::UnregisterServer(empty, kClsid);
  EXPECT_TRUE(empty.keys.empty());

  StubRegistry registry;
  ASSERT_TRUE(shellext::RegisterServer(registry, kClsid, kModule));
  registry.failOn = "delete " + kServerKey;
  shellext::UnregisterServer(registry, kClsid);
  // The class key cannot go while its subkey stays; the handler keys still go.
  EXPECT_EQ(registry.keys.count(kServerKey), 1u);
  EXPECT_EQ(registry.keys.count(kClassKey), 1u);
  EXPECT_EQ(registry.keys.count(kFilesKey), 0u);
  EXPECT_EQ(registry.keys.count(kFoldersKey), 0u);
}

}  // namespace
}  // namespace ov::test
