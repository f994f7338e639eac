// The uninstall run when any single platform call of a representative uninstallation
// fails, and on hostile records: it always reaches completion, reports every failure it
// counts, and removes nothing the record does not name: never a drive root, a folder of
// the system or the user, the record it reads or the running uninstaller.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "setup/text/str_op.h"
#include "support/readable.h"
#include "uninstall_world.h"

namespace ov::setup::test {
namespace {

using namespace platform;
using ov::test::Readable;

std::string App(const std::string& name) { return std::string(kApp) + name; }

// Every file and folder (with a trailing "\") below folder.
void ListTree(UninstallWorld& world, const std::string& folder, std::set<std::string>& tree) {
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  if (world.platform.Files().FindFirst(folder + "*", entry, search) != 0) return;
  std::vector<std::string> folders;
  do {
    if (entry.name == "." || entry.name == "..") continue;
    const bool isFolder = (entry.attributes & attribute::kDirectory) != 0;
    const std::string path = folder + entry.name + (isFolder ? "\\" : "");
    tree.insert(world.platform.System().UpperCase(path));
    if (isFolder) folders.push_back(path);
  } while (search->Next(entry) == 0);
  for (const std::string& each : folders) ListTree(world, each, tree);
}

std::set<std::string> Tree(UninstallWorld& world) {
  std::set<std::string> tree;
  ListTree(world, "C:\\", tree);
  return tree;
}

// What nobody may lose, whatever the record says.
void Bystanders(UninstallWorld& world) {
  world.Put("C:\\Other\\keep.txt");
  world.Put("C:\\WINDOWS\\system32\\other.dll");
  world.Put("C:\\WINDOWS\\win.ini");
  world.Put(std::string(kDesktop) + "mine.txt");
  world.Put(std::string(kPrograms) + "Other\\x.lnk");
  world.Put("C:\\Documents and Settings\\taro\\My Documents\\letter.doc");
  world.Put(App("user.txt"));  // the user's own file in the install folder
  for (const char* path : {"SOFTWARE\\Keep", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"}) {
    RegKey key;
    RegKey::Create(world.platform.Registry(), reg_root::kLocalMachine, path, key);
  }
  RegKey key;
  RegKey::Create(world.platform.Registry(), reg_root::kClassesRoot, ".keep", key);
}

void CheckBystanders(UninstallWorld& world) {
  for (const std::string& path :
       {std::string("C:\\Other\\keep.txt"), std::string("C:\\WINDOWS\\system32\\other.dll"),
        std::string("C:\\WINDOWS\\win.ini"), std::string(kDesktop) + "mine.txt",
        std::string(kPrograms) + "Other\\x.lnk", std::string("C:\\Documents and Settings\\taro\\My Documents\\letter.doc"),
        std::string("C:\\WINDOWS\\UNOD200X.EXE"), std::string(kWork) + "UNSETUP.INI", std::string(kWork) + "SETUPB.EXE"}) {
    EXPECT_TRUE(world.Exists(path)) << Readable(path);
  }
  for (std::size_t i = 0; i < kMacroCount; ++i) {
    const std::string& folder = world.context.folders.values[i];
    if (i == static_cast<std::size_t>(Macro::kApp) || folder.size() < 3 || folder[1] != ':') continue;
    EXPECT_TRUE(world.Exists(folder)) << Readable(folder);
  }
  EXPECT_TRUE(world.KeyExists(reg_root::kLocalMachine, "SOFTWARE\\Keep"));
  EXPECT_TRUE(world.KeyExists(reg_root::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
  EXPECT_TRUE(world.KeyExists(reg_root::kClassesRoot, ".keep"));
}

// Counted failures and the details log agree, and the run reached its completion.
void CheckReport(UninstallWorld& world) {
  const std::string& details = world.run->Details();
  int tags = 0;
  for (const char* tag : {"<File> ", "<ShortCut> ", "<Folder> ", "<SetupFolder> ", "<CurrentFolder> "}) {
    for (std::size_t at = details.find(tag); at != std::string::npos; at = details.find(tag, at + 1)) {
      if (at == 0 || details[at - 1] == '\n') ++tags;
    }
  }
  EXPECT_EQ(tags, world.run->FailureCount()) << Readable(details);
  const std::string end = "\r\n【処理完了】\r\nアンインストールを完了しました。\r\n";
  const std::string& log = world.view.statusText;
  ASSERT_GE(log.size(), end.size());
  EXPECT_EQ(log.compare(log.size() - end.size(), end.size(), end), 0) << Readable(log);
  EXPECT_BYTES(world.view.completionCaption, "アンインストール完了(&E)");
}

const std::string kShared = App("shared.dll");

void Arrange(UninstallWorld& world) {
  Bystanders(world);
  world.Put(App("tool.exe"));
  world.Put(kShared);
  world.SetShared(kShared, 1);
  world.Put(App("data.ini"));
  world.Put(App("run.log"));
  world.Put(App("bin\\helper.exe"));
  world.Put("C:\\WINDOWS\\system32\\ORVANE.DLL");
  world.Put(App("UNSETUP.INI"));
  world.Put(std::string(kPrograms) + "Orvane\\tool.lnk");
  world.Put(std::string(kDesktop) + "tool.lnk");
  world.Put("C:\\WINDOWS\\ODSET98.INI", "[ORVANE01]\r\nFolder=" + App("") + "\r\n");
  RegistryApi& registry = world.platform.Registry();
  for (const auto& [root, path] : std::initializer_list<std::pair<RegHandle, std::string>>{
           {reg_root::kLocalMachine, "SOFTWARE\\Orvane"},
           {reg_root::kClassesRoot, ".ovx"},
           {reg_root::kClassesRoot, "ovx_auto_file\\shell\\open\\command"},
           {reg_root::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools"}}) {
    RegKey key;
    RegKey::Create(registry, root, path, key);
  }
  world.view.choices.desktopChecked = true;  // "*.INI"
  world.view.sharedAnswers = {SharedAnswer::kYes};
  world.Record("[DeleteFolder]\r\nFolder1=" + App("bin\\") + "\r\n[DeleteFile]\r\nFile1=" + App("tool.exe") +
               ",/F\r\nFile2=" + kShared + ",/S/R\r\nFile3=C:\\WINDOWS\\system32\\ORVANE.DLL\r\nFile4=" +
               App("bin\\helper.exe") + "\r\nFile5=" + App("UNSETUP.INI") + "\r\n[DeleteShortCut]\r\nFile1=" +
               kPrograms + "Orvane\\tool.lnk\r\nFile2=" + kDesktop + "tool.lnk\r\n[DeleteRegistry]\r\n"
               "Key1=(Local)SOFTWARE\\Orvane\r\n[AddDeleteFile]\r\nFile1=" + App("*.log") + "\r\n[RestoreRelate]\r\n"
               "Key1=ovx,\r\n[UnSetupRegistryKey]\r\nKey=SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
               "Orvane Tools\r\n[ProgramID]\r\nID=ORVANE01\r\n");
  world.platform.Failures().ClearLog();
}

// What the representative record names: everything else must stay.
bool Named(const std::string& upperPath) {
  const std::string kAppUpper = "C:\\PROGRAM FILES\\ORVANE\\";
  if (upperPath.rfind(kAppUpper, 0) == 0 && upperPath != kAppUpper + "USER.TXT") return true;
  return upperPath == "C:\\WINDOWS\\SYSTEM32\\ORVANE.DLL" ||
         upperPath.find("\\プログラム\\ORVANE\\") != std::string::npos ||
         upperPath == "C:\\DOCUMENTS AND SETTINGS\\TARO\\デスクトップ\\TOOL.LNK";
}

TEST(UninstallReliability, TheRepresentativeRunIsClean) {
  UninstallWorld world;
  Arrange(world);
  world.Run();
  CheckReport(world);
  CheckBystanders(world);
  // Only the user's file keeps the install folder.
  EXPECT_EQ(world.run->FailureCount(), 1) << Readable(world.run->Details());
  EXPECT_EQ(world.run->Details().rfind("<SetupFolder> ", 0), 0u);
  for (const char* name : {"tool.exe", "shared.dll", "data.ini", "run.log", "bin\\", "UNSETUP.INI"}) {
    EXPECT_FALSE(world.Exists(App(name))) << name;
  }
  EXPECT_FALSE(world.Exists(std::string(kPrograms) + "Orvane\\"));
  EXPECT_FALSE(world.KeyExists(reg_root::kClassesRoot, ".ovx"));
  EXPECT_FALSE(world.KeyExists(reg_root::kLocalMachine, "SOFTWARE\\Orvane"));
}

TEST(UninstallReliability, EveryPlatformCallFailingInTurn) {
  std::vector<fake::FakeCall> calls;
  std::set<std::string> before;
  {
    UninstallWorld world;
    Arrange(world);
    before = Tree(world);
    world.platform.Failures().ClearLog();
    world.Run();
    calls = world.platform.Failures().Log();
  }
  ASSERT_GT(calls.size(), 50u);
  std::map<std::string, std::uint32_t> seen;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string& operation = calls[i].operation;
    const std::uint32_t nth = ++seen[operation];
    SCOPED_TRACE(std::to_string(i) + ": " + operation + " #" + std::to_string(nth) + " " + Readable(calls[i].path));
    UninstallWorld world;
    Arrange(world);
    world.platform.Failures().FailCall(operation, nth, error::kAccessDenied);
    EXPECT_EQ(world.Run(), UninstallEnd::kCompleted);
    CheckReport(world);
    CheckBystanders(world);
    const std::set<std::string> after = Tree(world);
    for (const std::string& path : before) {
      if (after.count(path) == 0) {
        EXPECT_TRUE(Named(path)) << Readable(path);
      }
    }
  }
}

// Hostile records: each names what no uninstallation may take, or is malformed.
struct HostileCase {
  const char* name;
  std::string record;
  std::string folder = kApp;  // the install folder (txtFolder)
  bool deleteAll = false;
};

std::vector<HostileCase> HostileCases() {
  const std::string longName(10000, 'a');
  const std::string longPath = "C:\\Program Files\\Orvane\\" + longName;
  const std::string up = App("..\\..\\");  // C:\ .
  return {
      {"empty record", ""},
      {"missing sections and gaps",
       "[DeleteFile]\r\nFile2=C:\\Other\\keep.txt\r\n[DeleteFolder]\r\nFolder0=C:\\Other\\\r\nFolder2=C:\\Other\\\r\n"},
      {"10,000-character values",
       "[DeleteFile]\r\nFile1=" + longPath + ",/F/S/C\r\nFile2=" + longName + "\r\n[AddDeleteFile]\r\nFile1=" + longPath +
           "*\r\n[DeleteShortCut]\r\nFile1=" + longPath + "\r\n[DeleteFolder]\r\nFolder1=" + longPath +
           "\\\r\n[DeleteRegistry]\r\nKey1=(Local)" + longName + "\r\n[RestoreRelate]\r\nKey1=" + longName + "," +
           longName + "\r\n[UnSetupRegistryKey]\r\nKey=" + longName + "\r\n[ProgramID]\r\nID=" + longName + "\r\n"},
      {"..\\ to the root and beyond",
       "[DeleteFile]\r\nFile1=" + up + "\r\nFile2=" + up + "..\\..\\WINDOWS\r\n[AddDeleteFile]\r\nFile1=" +
           App("..\\Orvane\\..\\*") + "\r\nFile2=" + up + "Documents and Settings\\*\r\n[DeleteFolder]\r\nFolder1=" + up +
           "WINDOWS\\\r\nFolder2=" + up + "\r\n[DeleteShortCut]\r\nFile1=" + up + "WINDOWS\\system32\r\n",
       std::string(kApp) + "..\\..\\", true},
      {"protected folders named",
       "[DeleteFile]\r\nFile1=C:\\WINDOWS\r\nFile2=" + std::string(kDesktop) + "\r\nFile3=C:\\WINDOWS\\system32\\,/F\r\n"
       "File4=C:\\Documents and Settings\r\nFile5=C:\\Program Files\r\n[AddDeleteFile]\r\nFile1=C:\\WINDOWS\\TEMP\\*.*\r\n"
       "File2=C:\\Documents and Settings\\taro\\*.*\r\nFile3=" + std::string(kPrograms) + "*\r\n[DeleteFolder]\r\n"
       "Folder1=C:\\WINDOWS\\\r\nFolder2=" + std::string(kDesktop) + "\r\nFolder3=C:\\Documents and Settings\\\r\n"
       "[DeleteShortCut]\r\nFile1=" + std::string(kDesktop) + "\r\nFile2=" + std::string(kPrograms) + "\r\n",
       kDesktop, true},
      {"the drive root",
       "[DeleteFile]\r\nFile1=C:\\\r\nFile2=C:\r\nFile3=C:/\r\n[AddDeleteFile]\r\nFile1=C:\\*.*\r\nFile2=C:\\*\r\n"
       "[DeleteFolder]\r\nFolder1=C:\\\r\n[DeleteShortCut]\r\nFile1=C:\\\r\n",
       "C:\\", true},
      {"other spellings of system folders",
       "[DeleteFile]\r\nFile1=C:/WINDOWS/\r\nFile2=C:\\WINDOWS.\\\r\nFile3=c:\\windows \\system32\r\nFile4=WINDOWS\r\n"
       "File5=..\\..\\WINDOWS\r\nFile6=\\WINDOWS\r\n[DeleteFolder]\r\nFolder1=C:/WINDOWS/\r\nFolder2=C:\\\\WINDOWS\\\r\n"
       "[AddDeleteFile]\r\nFile1=C:\\*\\*.*\r\nFile2=*.*\r\n"},
      {"the record itself and the running uninstaller",
       "[DeleteFile]\r\nFile1=" + std::string(kWork) + "UNSETUP.INI\r\nFile2=C:\\WINDOWS\\UNOD200X.EXE,/F\r\nFile3=" +
           std::string(kWork) + "SETUPB.EXE\r\nFile4=" + kWork + "\r\n[AddDeleteFile]\r\nFile1=" + kWork +
           "*.*\r\nFile2=C:\\WINDOWS\\UNOD*.EXE\r\nFile3=C:\\WINDOWS\\TEMP\\ODTMP1\\..\\ODTMP1\\*.INI\r\n"
           "[DeleteFolder]\r\nFolder1=" + kWork + "\r\nFolder2=C:\\WINDOWS\\TEMP\\\r\n",
       kWork, true},
      {"hostile registry entries",
       "[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\r\nKey2=(Class)\r\nKey3=(Local)\\\r\nKey4=(Class).keep\\..\r\n"
       "[RestoreRelate]\r\nKey1=\\CLSID,x\r\nKey2=,keep\r\nKey3=keep\\..\\.keep,\r\n"
       "[UnSetupRegistryKey]\r\nKey=SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\r\n"},
  };
}

TEST(UninstallReliability, HostileRecords) {
  for (const HostileCase& hostile : HostileCases()) {
    SCOPED_TRACE(hostile.name);
    UninstallWorld world;
    Bystanders(world);
    world.Put(App("tool.exe"));
    world.view.choices = UninstallChoices{hostile.folder, hostile.deleteAll, false, !hostile.deleteAll,
                                          !hostile.deleteAll, !hostile.deleteAll};
    world.Record(hostile.record);
    const std::set<std::string> before = Tree(world);
    EXPECT_EQ(world.Run(), UninstallEnd::kCompleted);
    CheckReport(world);
    CheckBystanders(world);
    // Files in the root and in the install folder may go (a pattern named them); no folder
    // outside the install folder does.
    const std::set<std::string> after = Tree(world);
    for (const std::string& path : before) {
      if (after.count(path) != 0) continue;
      const bool inApp = path.rfind("C:\\PROGRAM FILES\\ORVANE\\", 0) == 0;
      const bool rootFile = path.back() != '\\' && path.find('\\', 3) == std::string::npos;
      EXPECT_TRUE(inApp || rootFile) << Readable(path);
    }
  }
}

}  // namespace
}  // namespace ov::setup::test
