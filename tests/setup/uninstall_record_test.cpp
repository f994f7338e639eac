// The uninstall record's slot rules, and the record built in memory against the same
// record written key by key through the profile functions of the in-memory Windows.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "record_plans.h"
#include "setup/engine/uninstall_record.h"
#include "setup/text/ini_file.h"
#include "support/readable.h"

namespace ov::setup::test {
namespace {

using namespace platform;

struct SlotRow {
  const char* name;
  std::vector<std::string> items;  // written in order to DeleteFile (shared rule on)
  std::vector<std::string> record; // File1, File2, ... as read back
};

TEST(RecordSlots, DuplicatesTakeTheEarlierSlotAndTheSharedMarkStays) {
  const SlotRow rows[] = {
      {"one entry per file, any case", {"C:\\a.dll", "C:\\b.txt", "c:\\A.DLL"}, {"c:\\A.DLL", "C:\\b.txt"}},
      {"shared mark kept", {"C:\\a.dll,/S", "C:\\a.dll"}, {"C:\\a.dll,/S"}},
      {"shared mark joins other options", {"C:\\a.dll,/S", "C:\\a.dll,/R"}, {"C:\\a.dll,/R/S"}},
      {"a later mark wins as it stands", {"C:\\a.dll", "C:\\a.dll,/S/R"}, {"C:\\a.dll,/S/R"}},
      {"compared on the part before the first comma", {"C:\\x,y.txt", "C:\\x,z.txt"}, {"C:\\x,z.txt"}},
      {"an empty first field is a free slot", {",/S", "C:\\a.dll"}, {"C:\\a.dll,/S"}},
      {"blanks and quotes are not part of what is read",
       {"\"C:\\q.txt\"", " C:\\q.txt"},
       {"C:\\q.txt", "C:\\q.txt"}},
  };
  for (const SlotRow& row : rows) {
    SCOPED_TRACE(row.name);
    FakePlatform platform;
    RecordPlan plan;
    for (const std::string& item : row.items) {
      plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, "DeleteFile", "File", item, true});
    }
    ASSERT_EQ(WriteRecordAtOnce(platform.Files(), platform.System(), plan, "C:\\once.ini"), 0u);
    WriteRecordKeyByKey(platform.Profile(), platform.System(), plan, "C:\\keys.ini");
    for (const char* file : {"C:\\once.ini", "C:\\keys.ini"}) {
      std::vector<std::string> read;
      for (int n = 1;; ++n) {
        const std::string value = ReadProfileString(platform.Profile(), "DeleteFile", "File" + std::to_string(n), "", file);
        if (value.empty()) break;
        read.push_back(value);
      }
      EXPECT_EQ(read, row.record) << file;
    }
  }
}

TEST(RecordSlots, FindRecordSlotOnTheFileMatchesTheBuilder) {
  FakePlatform platform;
  RecordBuilder builder(platform.System());
  for (const char* item : {"C:\\a.dll,/S", "C:\\b.txt", "C:\\c.txt", ",x"}) {
    builder.PutListItem("DeleteFile", "File", item, true);
  }
  platform.Files().PutFile("C:\\r.ini", builder.Text());
  const std::pair<const char*, int> rows[] = {
      {"C:\\A.DLL", 1}, {"c:\\c.txt,/W", 3}, {"C:\\new.txt", 4}, {",y", 4}, {"C:\\b.txt,x", 2}};
  for (const auto& [item, slot] : rows) {
    SCOPED_TRACE(item);
    EXPECT_EQ(FindRecordSlot(platform.Profile(), platform.System(), item, "DeleteFile", "File", "C:\\r.ini"), slot);
    EXPECT_EQ(builder.FindRecordSlot(item, "DeleteFile", "File"), slot);
  }
}

TEST(RecordDifferential, BuiltAtOnceReadsAsKeyByKey) {
  std::mt19937 random(1234);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    FakePlatform platform;
    platform.Failures().SetLogging(false);
    const RecordPlan plan = GeneratedPlan(random, 40 + round * 20);
    ASSERT_EQ(WriteRecordAtOnce(platform.Files(), platform.System(), plan, "C:\\once.ini"), 0u);
    WriteRecordKeyByKey(platform.Profile(), platform.System(), plan, "C:\\keys.ini");
    const std::string once = ReadBack(platform.Profile(), plan, "C:\\once.ini");
    const std::string keys = ReadBack(platform.Profile(), plan, "C:\\keys.ini");
    ASSERT_GT(keys.size(), 1000u);
    EXPECT_BYTES(once, keys);
  }
}

TEST(RecordDifferential, DoubleByteLettersMatchInAnyCase) {
  FakePlatform platform;
  const RecordPlan plan = CaseMappingPlan();
  ASSERT_EQ(WriteRecordAtOnce(platform.Files(), platform.System(), plan, "C:\\once.ini"), 0u);
  WriteRecordKeyByKey(platform.Profile(), platform.System(), plan, "C:\\keys.ini");
  EXPECT_BYTES(ReadBack(platform.Profile(), plan, "C:\\once.ini"), ReadBack(platform.Profile(), plan, "C:\\keys.ini"));
  // Five pairs share a slot: full-width, Greek, Cyrillic and ASCII ones.
  EXPECT_EQ(ReadProfileString(platform.Profile(), "DeleteFile", "File6", "", "C:\\once.ini"), "C:\\ａ\\ｱ.txt");
  EXPECT_EQ(ReadProfileString(platform.Profile(), "DeleteFile", "File7", "<none>", "C:\\once.ini"), "<none>");
}

}  // namespace
}  // namespace ov::setup::test
