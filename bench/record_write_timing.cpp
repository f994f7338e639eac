// Timing of the uninstall record's writing: a record of N entries (default 10,000) built in
// memory with the slot rules and written once, against the floor of writing the same
// bytes with one file write, both measured in the same run. The key-by-key writing (a
// flush before every write, every slot search reading the earlier keys back) is timed on
// smaller records to show how it grows. On Windows (Wine) the real profile functions and
// files are used; on Linux the in-memory Windows. Run by hand:
//   scripts/wine-run build/<win32 build>/bench/record_write_timing.exe [entries [rounds]]
//   build/host/bench/record_write_timing [entries [rounds]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "setup/engine/uninstall_record.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_platform.h"
using BenchPlatform = ov::platform::Win32Platform;
std::string Scratch() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "ovrecord_bench.ini";
}
#else
#include "platform/fake/fake_platform.h"
using BenchPlatform = ov::platform::FakePlatform;
std::string Scratch() { return "C:\\ovrecord_bench.ini"; }
#endif

namespace {

using Clock = std::chrono::steady_clock;
using ov::setup::RecordPlan;
using ov::setup::RecordWrite;

// A record as an installation of `entries` files makes it: the head, the files (one in
// ten a shared DLL, one in twenty named again in another case, as a merged earlier record
// does), a few folders and shortcuts, the tail.
RecordPlan Plan(int entries) {
  RecordPlan plan;
  const auto put = [&plan](const char* section, const char* key, const std::string& value) {
    plan.push_back(RecordWrite{RecordWrite::Kind::kKey, section, key, value, false});
  };
  put("Information", "Message1", "Ondaro! Setup 200x UnSetup(UnInstall) Initialize File");
  put("Title", "UnSetup", "表示ソフト");
  put("SetupFolder", "Folder", "C:\\Program Files\\Orvane\\");
  for (int i = 0; i < entries / 100 + 1; ++i) {
    plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, "DeleteFolder", "Folder",
                               "C:\\Program Files\\Orvane\\data" + std::to_string(i) + "\\", false});
  }
  for (int i = 0; i < entries; ++i) {
    std::string item = "C:\\Program Files\\Orvane\\data" + std::to_string(i / 100) + "\\ファイル" + std::to_string(i) + ".dat";
    if (i % 10 == 0) item += ",/S";
    plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, "DeleteFile", "File", item, true});
    if (i % 20 == 19) {
      std::string again = "c:\\program files\\orvane\\DATA" + std::to_string((i - 5) / 100) + "\\ファイル" +
                          std::to_string(i - 5) + ".DAT";
      plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, "DeleteFile", "File", again, true});
    }
  }
  put("Extend", "SetupString", "インストール");
  put("ProgramID", "ID", "ORVANE01");
  return plan;
}

double Seconds(Clock::duration elapsed) { return std::chrono::duration<double>(elapsed).count(); }

template <typename Work>
double Best(int rounds, Work work) {
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    work();
    best = std::min(best, Seconds(Clock::now() - start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  BenchPlatform platform;
  const std::string path = Scratch();
  const RecordPlan plan = Plan(entries);
  ov::setup::RecordBuilder builder(platform.System());
  builder.Apply(plan);
  const std::string text = builder.Text();

  const double floor = Best(rounds, [&] { platform.Files().WriteContents(path, text); });
  const double once = Best(rounds, [&] { ov::setup::WriteRecordAtOnce(platform.Files(), platform.System(), plan, path); });
  const double build = Best(rounds, [&] {
    ov::setup::RecordBuilder again(platform.System());
    again.Apply(plan);
  });
  const double upper = Best(rounds, [&] { platform.System().UpperCase(text); });
  std::printf("  of which building %.3f ms, one upper-casing of the whole text %.3f ms\n", build * 1e3, upper * 1e3);
  std::string written;
  platform.Files().ReadContents(path, written);
  std::printf("record of %d entries, %zu bytes%s\n", entries, text.size(), written == text ? "" : " (MISMATCH)");
  std::printf("  floor: one file write          %10.3f ms\n", floor * 1e3);
  std::printf("  built in memory, written once  %10.3f ms   %.2fx the floor\n", once * 1e3, once / floor);
  for (int small : {entries / 100, entries / 50, entries / 25}) {
    if (small < 10) continue;
    const RecordPlan part = Plan(small);
    const double keys = Best(1, [&] {
      platform.Files().WriteContents(path, std::string());
      ov::setup::WriteRecordKeyByKey(platform.Profile(), platform.System(), part, path);
    });
    std::printf("  key by key, %6d entries      %10.3f ms\n", small, keys * 1e3);
  }
  return written == text ? 0 : 1;
}
