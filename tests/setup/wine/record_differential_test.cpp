// The uninstall record built in memory and written once, against the same record written
// key by key through the real WritePrivateProfileStringA (a flush before each write, the
// slot search reading every earlier key back): both files must read alike through the
// real GetPrivateProfileStringA, key lists included.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "platform/win32/win32_platform.h"
#include "record_plans.h"
#include "setup/engine/uninstall_record.h"
#include "setup/text/ini_file.h"
#include "support/readable.h"

namespace ov::setup {
namespace {

TEST(RecordDifferential, WrittenAtOnceReadsAsKeyByKeyThroughTheRealProfileFunctions) {
  platform::Win32Platform real;
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string stem = std::string(folder) + "ovrecord" + std::to_string(GetCurrentProcessId());
  const std::string once = stem + "a.ini";
  const std::string keys = stem + "b.ini";
  std::mt19937 random(20261209);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    DeleteFileA(once.c_str());
    DeleteFileA(keys.c_str());
    const RecordPlan plan = test::GeneratedPlan(random, 150 + round * 50);
    ASSERT_EQ(WriteRecordAtOnce(real.Files(), real.System(), plan, once), 0u);
    WriteRecordKeyByKey(real.Profile(), real.System(), plan, keys);
    const std::string fromOnce = test::ReadBack(real.Profile(), plan, once);
    const std::string fromKeys = test::ReadBack(real.Profile(), plan, keys);
    ASSERT_GT(fromKeys.size(), 5000u);
    EXPECT_BYTES(fromOnce, fromKeys);
  }
  DeleteFileA(once.c_str());
  DeleteFileA(keys.c_str());
}

// The builder upper-cases through tables learnt from LCMapStringA; letters that only the
// locale maps (full-width, Greek, Cyrillic) must find the slots the profile functions find.
TEST(RecordDifferential, DoubleByteLettersMatchAsTheRealProfileFunctionsFindThem) {
  platform::Win32Platform real;
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string stem = std::string(folder) + "ovrecordcase" + std::to_string(GetCurrentProcessId());
  const std::string once = stem + "a.ini";
  const std::string keys = stem + "b.ini";
  DeleteFileA(once.c_str());
  DeleteFileA(keys.c_str());
  const RecordPlan plan = test::CaseMappingPlan();
  ASSERT_EQ(WriteRecordAtOnce(real.Files(), real.System(), plan, once), 0u);
  WriteRecordKeyByKey(real.Profile(), real.System(), plan, keys);
  EXPECT_BYTES(test::ReadBack(real.Profile(), plan, once), test::ReadBack(real.Profile(), plan, keys));
  // The full-width, Greek and Cyrillic pairs share their slots.
  EXPECT_EQ(ReadProfileString(real.Profile(), "DeleteFile", "File1", "", once), "C:\\ＡＢＣ\\ONE.TXT,/R");
  EXPECT_EQ(ReadProfileString(real.Profile(), "DeleteFile", "File2", "", once), "c:\\ｶﾀｶﾅ\\ΩД.DLL,/S");
  EXPECT_EQ(ReadProfileString(real.Profile(), "DeleteFile", "File3", "", once), "C:\\Ｚ\\ωMEGA.TXT");
  DeleteFileA(once.c_str());
  DeleteFileA(keys.c_str());
}

}  // namespace
}  // namespace ov::setup
