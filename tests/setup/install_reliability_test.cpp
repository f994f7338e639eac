// The install run when the user aborts at any checkpoint, and when any single platform
// call of a representative installation fails: it ends, reports what failed, keeps what
// was on the machine, and its record never misses a file it put there.
#include <gtest/gtest.h>

#include <map>

#include "install_world.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"
#include "support/readable.h"

namespace ov::setup::test {
namespace {

using namespace platform;

const char* const kScript =
    "[CopyFile]\r\n"
    "File1=(App)tool.exe\r\n"
    "File2=(App)bin\\new.exe|old.exe,/W\r\n"
    "File3=(Sys)SETUP.DL_\r\n"
    "File4=(App)keep.dat\r\n"
    "File5=(App)shared.dll,/S/R\r\n"
    "File6=(Dch)(App)disk2.txt\r\n"
    "[MakeFolder]\r\nFolder1=(App)bin\r\nFolder2=(App)data\r\n"
    "[ShortCut]\r\nMake1=(App)tool.exe,/x\r\nName1=Default\r\nMake2=(App)tool.exe\r\nName2=(App)Tool\r\n"
    "[Registry]\r\nKey1=(Local)SOFTWARE\\Orvane\r\nName1=Path\r\nValue1=(Str)(App)(Pdd)\r\n"
    "Key2=(Local)SOFTWARE\\Orvane\r\nName2=Count\r\nValue2=(Dwd)3\r\n"
    "[IniFile]\r\nData1=Options,Path,(App),(Win)TOOL.INI\r\n"
    "[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\Orvane\r\n"
    "[AddDeleteFile]\r\nFile1=(App)*.log\r\n"
    "[Relate]\r\nName1=ovx,Orvane\r\nFile1=open,(App)tool.exe,\"%1\",,0\r\n"
    "[ExecuteFile]\r\nFile=(App)tool.exe,/first,CreateProcess\r\n";

const char* const kDestinations[] = {"tool.exe", "bin\\old.exe", "keep.dat", "shared.dll", "disk2.txt"};

void Arrange(InstallWorld& world) {
  world.Script(kScript);
  world.Medium("tool.exe", "TOOL");
  world.Medium("new.exe", "NEW");
  world.Medium("SETUP.DL_", Compressed("dll body", 'L'));
  world.Medium("keep.dat", "theirs");
  world.Medium("shared.dll", "MZ shared");
  world.Medium("disk2.txt", "second disk");
  fake::FakeFiles& files = world.platform.Files();
  files.PutFile(std::string(kApp) + "bin\\old.exe", "old");
  files.PutFile(std::string(kApp) + "keep.dat", "mine");
  world.platform.Processes().AddModule(std::string(kApp) + "shared.dll", {{"DllRegisterServer", 0}});
  files.Delete(std::string(kApp) + "shared.dll");
  world.platform.Processes().AddProgram(std::string(kApp) + "tool.exe", 10);
  files.Delete(std::string(kApp) + "tool.exe");  // the program is the one the run copies
  // keep.dat is newer than the medium's: the date rule keeps it; /W replaces old.exe.
  // Every question (folder, disk, association) takes its first button.
  world.view.choices.overwrite = true;
  FileTime medium = 0;
  files.GetLastWriteTime("D:\\keep.dat", medium);
  files.SetLastWriteTime(std::string(kApp) + "keep.dat", medium + 10000000);
  world.platform.Failures().ClearLog();
}

// The DeleteFile entries of the record, by their path part.
std::vector<std::string> RecordedFiles(InstallWorld& world) {
  std::vector<std::string> files;
  for (int n = 1;; ++n) {
    const std::string value = ReadProfileString(world.platform.Profile(), "DeleteFile", "File" + std::to_string(n), "",
                                                std::string(kApp) + "UNSETUP.INI");
    if (value.empty()) break;
    files.push_back(FieldOf(value, ',', 1));
  }
  return files;
}

bool Scheduled(InstallWorld& world, const std::string& path) {
  RegKey key;
  std::uint32_t type = 0;
  std::string data;
  if (RegKey::Open(world.platform.Registry(), reg_root::kLocalMachine, kSessionManagerKey, key) != 0) return false;
  if (world.platform.Registry().QueryValue(key.Get(), kPendingRenamesValue, type, data) != 0) return false;
  return data.find("\\??\\" + path) != std::string::npos;
}

// What must hold after any run, however it ended.
void CheckInvariants(InstallWorld& world, RunEnd end) {
  const std::string app = kApp;
  // What was there before is kept, except where the overwrite rules replace it.
  EXPECT_EQ(world.Contents(app + "keep.dat"), "mine");
  const std::string old = world.Contents(app + "bin\\old.exe");
  EXPECT_TRUE(old == "old" || old == "NEW") << old;
  if (end != RunEnd::kCompleted) {
    EXPECT_FALSE(world.Exists(app + "UNSETUP.INI"));
    return;
  }
  // Each phase that closed with "完了" reported nothing under its own tag.
  const std::string& log = world.run->StatusLog();
  const std::string& details = world.run->Details();
  const std::pair<const char*, const char*> phases[] = {
      {"フォルダを作成しています．．．", "<Folder> "},
      {"ショートカットを作成しています．．．", "<ShortCut> "},
      {"レジストリキーを作成しています．．．", "<Registry> (Local)SOFTWARE\\Orvane\r\n"},
      {"INIファイルを設定しています．．．", "<IniFile> "},
  };
  for (const auto& [title, tag] : phases) {
    if (log.find(std::string(title) + "完了") != std::string::npos) {
      EXPECT_EQ(details.find(tag), std::string::npos) << ov::test::Readable(title);
    }
  }
  const bool copyDone = log.find("ファイルをコピーしています．．．完了") != std::string::npos;
  if (copyDone) {
    EXPECT_EQ(details.find("<File> "), std::string::npos);
  }
  EXPECT_EQ(world.run->FailureCount() > 0, !details.empty());

  // The record never misses what the run put on the disk.
  const std::vector<std::string> recorded = RecordedFiles(world);
  if (world.Exists(app + "UNSETUP.INI")) {
    for (const std::string& path : recorded) {
      EXPECT_TRUE(world.Exists(path) || Scheduled(world, path)) << ov::test::Readable(path);
    }
    for (const char* name : kDestinations) {
      const std::string path = app + name;
      const bool there = world.Exists(path);
      const bool listed = std::find(recorded.begin(), recorded.end(), path) != recorded.end();
      if (there && path != app + "keep.dat" && path != app + "bin\\old.exe") {
        EXPECT_TRUE(listed) << ov::test::Readable(path);
      }
    }
    if (world.Exists("C:\\WINDOWS\\system32\\SETUP.DLL")) {
      EXPECT_NE(std::find(recorded.begin(), recorded.end(), "C:\\WINDOWS\\system32\\SETUP.DLL"), recorded.end());
    }
  } else {
    // Only a failed record write leaves no record, and that is reported.
    EXPECT_NE(details.find("<SetupFile> " + app + "UNSETUP.INI"), std::string::npos);
  }
}

std::string Value(InstallWorld& world, RegHandle root, const std::string& keyPath, const std::string& name) {
  RegKey key;
  std::uint32_t type = 0;
  std::string data;
  if (RegKey::Open(world.platform.Registry(), root, keyPath, key) != 0) return "<no key>";
  if (world.platform.Registry().QueryValue(key.Get(), name, type, data) != 0) return "<no value>";
  return std::to_string(type) + ":" + data;
}

// Everything the representative installation leaves on the machine.
std::string Snapshot(InstallWorld& world) {
  const std::string app = kApp;
  const std::string startMenu = "C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム\\";
  std::string text;
  for (const std::string& path :
       {app + "tool.exe", app + "bin\\old.exe", app + "keep.dat", app + "shared.dll", app + "disk2.txt",
        std::string("C:\\WINDOWS\\system32\\SETUP.DLL"), startMenu + "tool.exe.lnk", app + "Tool.lnk",
        std::string("C:\\WINDOWS\\TOOL.INI"), std::string("C:\\WINDOWS\\UNOD200X.EXE"),
        std::string("C:\\WINDOWS\\ODSET98.INI"), app + "UNSETUP.INI"}) {
    text += path + "=" + world.Contents(path) + "\n";
  }
  const RegHandle local = reg_root::kLocalMachine;
  const RegHandle classes = reg_root::kClassesRoot;
  text += Value(world, local, "SOFTWARE\\Orvane", "Path") + Value(world, local, "SOFTWARE\\Orvane", "Count") +
          Value(world, classes, ".ovx", "") + Value(world, classes, "ovx_auto_file\\shell\\open\\command", "") +
          Value(world, classes, "ovx_auto_file\\DefaultIcon", "") + Value(world, classes, "ovx_auto_file", "") +
          Value(world, local, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools",
                "UninstallString") +
          Value(world, local, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", app + "shared.dll");
  return text;
}

// The run told the user that something went wrong: a failure detail, or a box that is
// not one of the run's ordinary questions.
bool Reported(InstallWorld& world) {
  if (!world.run->Details().empty()) return true;
  for (const auto& box : world.ui.MessageBoxes()) {
    const std::string& caption = box.caption;
    if (caption != "ディスク交換" && caption != "関連付けの確認" && caption != "フォルダ作成" && caption != "上書き確認") {
      return true;
    }
  }
  return false;
}

TEST(InstallReliability, TheRepresentativeRunIsClean) {
  InstallWorld world;
  Arrange(world);
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  EXPECT_BYTES(world.run->Details(), "");
  EXPECT_EQ(world.Contents(std::string(kApp) + "disk2.txt"), "second disk");
  CheckInvariants(world, RunEnd::kCompleted);
  EXPECT_EQ(RecordedFiles(world).size(), 7u);
}

TEST(InstallReliability, AbortAtEveryCheckpoint) {
  int checkpoints = 0;
  {
    InstallWorld world;
    Arrange(world);
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    checkpoints = world.view.checkpoints;
  }
  // Package size, folder check, 2 folders, 6 files (item and progress), 2 shortcuts,
  // 2 registry entries, 1 INI entry, 1 association.
  EXPECT_EQ(checkpoints, 2 + 2 + 6 * 2 + 2 + 2 + 1 + 1);
  for (int at = 1; at <= checkpoints; ++at) {
    SCOPED_TRACE(at);
    InstallWorld world;
    Arrange(world);
    world.view.abortAt = at;
    ASSERT_EQ(world.Run(), RunEnd::kAborted);
    EXPECT_EQ(world.view.checkpoints, at);  // nothing after the checkpoint asks again
    EXPECT_FALSE(world.view.finalShown);
    EXPECT_EQ(world.Contents("C:\\WINDOWS\\UNOD200X.EXE"), "<missing>");
    EXPECT_EQ(world.view.finished, 0);  // the abort handler has ended the wizard
    CheckInvariants(world, RunEnd::kAborted);
  }
}

TEST(InstallReliability, AbortEndsTheRunAtItsCheckpoint) {
  struct Row {
    int at;
    bool dataFolder;  // (App)data\ made
    bool tool;        // tool.exe copied
  };
  // 1 package size, 2 folder check, 3 and 4 the folders' items, 5 the first file's item,
  // 6 its progress.
  const Row rows[] = {{2, false, false}, {4, false, false}, {5, true, false}, {6, true, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.at);
    InstallWorld world;
    Arrange(world);
    world.view.abortAt = row.at;
    ASSERT_EQ(world.Run(), RunEnd::kAborted);
    EXPECT_EQ(FolderExists(world.platform.Files(), std::string(kApp) + "data"), row.dataFolder);
    EXPECT_EQ(world.Exists(std::string(kApp) + "tool.exe"), row.tool);
    EXPECT_EQ(world.view.abortEnabled, row.at > 2);  // the button is live from the folders on
  }
}

TEST(InstallReliability, EveryPlatformCallFailingInTurn) {
  std::vector<fake::FakeCall> calls;
  std::string clean;
  {
    InstallWorld world;
    Arrange(world);
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    calls = world.platform.Failures().Log();
    clean = Snapshot(world);
  }
  ASSERT_GT(calls.size(), 100u);
  std::map<std::string, std::uint32_t> seen;
  int completed = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string& operation = calls[i].operation;
    const std::uint32_t nth = ++seen[operation];
    SCOPED_TRACE(std::to_string(i) + ": " + operation + " #" + std::to_string(nth) + " " +
                 ov::test::Readable(calls[i].path));
    InstallWorld world;
    Arrange(world);
    world.platform.Failures().FailCall(operation, nth, error::kAccessDenied);
    const RunEnd end = world.Run();
    ASSERT_NE(end, RunEnd::kAborted);
    if (end == RunEnd::kCompleted) ++completed;
    CheckInvariants(world, end);
    // A failure that changed what the installation left is never passed over in silence.
    // The profile functions return a default for a read that fails, telling nobody: a
    // failed read of the script is an entry the script did not have.
    const bool scriptRead = operation == "GetPrivateProfileStringA";
    if (end == RunEnd::kCompleted && !scriptRead && Snapshot(world) != clean) {
      EXPECT_TRUE(Reported(world)) << ov::test::Readable(Snapshot(world)) << "\n----\n" << ov::test::Readable(clean);
    }
  }
  EXPECT_GT(completed, static_cast<int>(calls.size()) / 2);
}

}  // namespace
}  // namespace ov::setup::test
