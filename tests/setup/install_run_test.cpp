// Golden installations on the in-memory Windows: a script, the user's answers, and then
// every trace the run leaves (status log, failure detail, files, registry, UNSETUP.INI,
// ODSET98.INI, the uninstall entry, restart-time moves).
#include <gtest/gtest.h>

#include "install_world.h"
#include "setup/text/ini_file.h"
#include "support/readable.h"

namespace ov::setup::test {
namespace {

using namespace platform;

const std::string kStartMenu = "C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム\\";

std::string RegString(InstallWorld& world, RegHandle root, const std::string& keyPath, const std::string& name) {
  RegKey key;
  std::string text;
  if (RegKey::Open(world.platform.Registry(), root, keyPath, key) != 0) return "<no key>";
  if (QueryStringValue(world.platform.Registry(), key.Get(), name, text) != 0) return "<no value>";
  return text;
}

std::string RegRaw(InstallWorld& world, RegHandle root, const std::string& keyPath, const std::string& name,
                   std::uint32_t& type) {
  RegKey key;
  std::string data;
  type = 0;
  if (RegKey::Open(world.platform.Registry(), root, keyPath, key) != 0) return "<no key>";
  if (world.platform.Registry().QueryValue(key.Get(), name, type, data) != 0) return "<no value>";
  return data;
}

std::string Link(InstallWorld& world, const std::string& path) {
  ShellLink link;
  if (world.platform.InstallShell().ReadShellLink(path, link) != 0) return "<no link>";
  return link.target + "|" + link.workingDirectory + "|" + link.arguments;
}

std::uint32_t SharedCount(InstallWorld& world, const std::string& path) {
  RegKey key;
  std::uint32_t count = 0;
  if (RegKey::Open(world.platform.Registry(), reg_root::kLocalMachine,
                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", key) != 0) {
    return 0;
  }
  QueryDwordValue(world.platform.Registry(), key.Get(), path, count);
  return count;
}

std::string Record(InstallWorld& world, const std::string& section, const std::string& key,
                   const std::string& folder = kApp) {
  return ReadProfileString(world.platform.Profile(), section, key, "<none>", folder + std::string("UNSETUP.INI"));
}

std::vector<std::string> Captions(InstallWorld& world) {
  std::vector<std::string> captions;
  for (const auto& box : world.ui.MessageBoxes()) captions.push_back(box.caption);
  return captions;
}

const char* const kFullScript =
    "[CopyFile]\r\n"
    "File1=(App)tool.exe\r\n"
    "File2=(App)bin\\new.exe|old.exe,/W\r\n"
    "File3=(Sys)SETUP.DL_\r\n"
    "File4=(App)keep.dat\r\n"
    "File5=(App)locked.dll,/S\r\n"
    "File6=(App)missing.txt\r\n"
    "File7=(App)ovshellex.dll,/S/R\r\n"
    "[MakeFolder]\r\n"
    "Folder1=(App)bin\r\n"
    "Folder2=(App)data\r\n"
    "[ShortCut]\r\n"
    "Make1=(App)tool.exe,/x\r\n"
    "Name1=Default\r\n"
    "Make2=(App)tool.exe\r\n"
    "Name2=MyTool\r\n"
    "Make3=(App)tool.exe\r\n"
    "Name3=(Dsk)MyTool\r\n"
    "Make4=(App)tool.exe\r\n"
    "Name4=(App)MyTool,(App)bin\r\n"
    "[Registry]\r\n"
    "Key1=(Local)SOFTWARE\\Orvane\\Test\r\nName1=Count\r\nValue1=(Dwd)12\r\n"
    "Key2=(Local)SOFTWARE\\Orvane\\Test\r\nName2=Bin\r\nValue2=(Bin)0A0B\r\n"
    "Key3=(Local)SOFTWARE\\Orvane\\Test\r\nName3=Path\r\nValue3=(Str)(App)(Pdd)\r\n"
    "Key4=(Local)SOFTWARE\\Orvane\\Test\r\nName4=Plain\r\nValue4=plain text\r\n"
    "Key5=(Local)SOFTWARE\\Orvane\\Empty\r\nName5=Empty\r\nValue5=\r\n"
    "Key6=(Local)SOFTWARE\\Orvane\\Test\r\nName6=Bad\r\nValue6=(Dwd)abc\r\n"
    "Key7=(Local)SOFTWARE\\Orvane\\Test\r\nName7=BadBin\r\nValue7=(Bin)xyz\r\n"
    "Key8=(Local)SOFTWARE\\Orvane\\Test\r\nName8=Hex\r\nValue8=(Int)$1F\r\n"
    "Key9=(Class)OrvaneDoc\r\nName9=\r\nValue9=(Exp)%SystemRoot%\\x\r\n"
    "[IniFile]\r\n"
    "Data1=Options,Path,(App),(Win)TOOL.INI\r\n"
    "[DeleteRegistry]\r\n"
    "Key1=(Local)SOFTWARE\\Orvane\r\n"
    "[AddDeleteFile]\r\n"
    "File1=(App)*.log\r\n"
    "[Relate]\r\n"
    "Name1=ovx,Orvane document\r\n"
    "File1=open,(App)tool.exe,/open,\"%1\",0\r\n"
    "Name3=skip\r\n"
    "[ExecuteFile]\r\n"
    "File=(App)tool.exe,/first,CreateProcess\r\n"
    "[Extend]\r\n"
    "UnSetupOption=1\r\n";

// The full package: every kind of entry, a previous file kept and one replaced, a locked
// destination, a missing source.
class FullInstall : public ::testing::Test {
 protected:
  FullInstall() {
    world_.Script(kFullScript);
    world_.Medium("tool.exe", "TOOL");
    world_.Medium("new.exe", "NEW");
    world_.Medium("SETUP.DL_", Compressed("dll body", 'L'));
    world_.Medium("keep.dat", "theirs");
    world_.Medium("locked.dll", "LOCKED-NEW");
    world_.Medium("ovshellex.dll", "MZ shellex");
    fake::FakeFiles& files = world_.platform.Files();
    files.PutFile(std::string(kApp) + "bin\\old.exe", "old");
    files.PutFile(std::string(kApp) + "keep.dat", "mine");
    files.PutFile(std::string(kApp) + "locked.dll", "LOCKED-OLD");
    world_.platform.Processes().AddModule(std::string(kApp) + "ovshellex.dll", {{"DllRegisterServer", 0}});
    files.Delete(std::string(kApp) + "ovshellex.dll");
    world_.platform.Failures().FailPath("CopyFileA", std::string(kApp) + "locked.dll", error::kSharingViolation,
                                        fake::PathMatch::kEquals);
    // old.exe: the question is answered No and /W copies anyway; keep.dat: No keeps it.
    world_.ui.QueueAnswer(box::kNo);
    world_.ui.QueueAnswer(box::kNo);
  }
  InstallWorld world_;
};

TEST_F(FullInstall, StatusLogAndAnswers) {
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  EXPECT_BYTES(world_.run->StatusLog(),
               "インストールの情報を作成しています．．．完了\r\n"
               "インストールに必要な容量を調べています．．．完了\r\n"
               "フォルダをチェックしています．．．完了\r\n"
               "フォルダを作成しています．．．完了\r\n"
               "ファイルをコピーしています．．．一部失敗・ロックファイルあり\r\n"
               "ショートカットを作成しています．．．完了\r\n"
               "レジストリキーを作成しています．．．完了\r\n"
               "INIファイルを設定しています．．．完了\r\n"
               "関連付けを設定しています．．．完了\r\n"
               "アンインストール情報を更新しています．．．完了\r\n"
               "\r\n【処理完了】\r\n"
               "　プログラムのアンインストールは、「プログラム(アプリケーション)の追加と削除」から行うことができます。\r\n"
               "　「次へ(N)」をクリックして、インストールを完了してください。\r\n");
  // The missing source switched size-based progress off, and with it the free-space check.
  EXPECT_BYTES(world_.run->Details(), "<File> D:\\missing.txt\r\nコピー元のファイルが見つかりません。\r\n\r\n");
  EXPECT_EQ(world_.run->FailureCount(), 1);
  EXPECT_EQ(Captions(world_),
            (std::vector<std::string>{"上書き確認", "上書き確認", "上書き確認", "関連付けの確認", "警告"}));
  EXPECT_TRUE(world_.view.detailsShown);
  EXPECT_BYTES(world_.view.failureDetails, world_.run->Details());
  // Progress by entry number: 1/7 ... 7/7.
  ASSERT_EQ(world_.view.progress.size(), 7u);
  EXPECT_EQ(world_.view.progress[0], "14|14%(1/7)");
  EXPECT_EQ(world_.view.progress[6], "100|100%(7/7)");
  EXPECT_FALSE(world_.view.progressVisible);
  EXPECT_FALSE(world_.view.abortEnabled);
  // The locked file proposes a restart, and the user takes it: the program is not run.
  EXPECT_TRUE(world_.run->LockedFileSeen());
  EXPECT_TRUE(world_.view.restartRequested);
  EXPECT_TRUE(world_.platform.Processes().Starts().empty());
  EXPECT_BYTES(world_.view.finalChoice.secondChoice, "いいえ、Windowsは再起動せずに、プログラムを実行します。(&N)");
  EXPECT_BYTES(world_.view.finalChoice.message,
               "　インストールを完了するには、Windowsを再起動する必要があります。\r\n\r\n"
               "　Windowsの再起動を選択した場合、現在稼動している他のプログラムは強制的に終了され、"
               "かつ、終了後プログラムは実行されませんので、十分にご注意ください。\r\n\r\n"
               "【インストーラ終了後、以下のプログラムが実行されます。】\r\n"
               "C:\\Program Files\\Orvane\\tool.exe/first");
  EXPECT_BYTES(world_.view.finalChoice.buttonCaption, "インストール完了(&E)");
  EXPECT_EQ(world_.view.finished, 1);
}

TEST_F(FullInstall, FilesAndCounts) {
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  const std::string app = kApp;
  EXPECT_EQ(world_.Contents(app + "tool.exe"), "TOOL");
  EXPECT_EQ(world_.Contents(app + "bin\\old.exe"), "NEW");
  EXPECT_FALSE(world_.Exists(app + "bin\\new.exe"));
  EXPECT_EQ(world_.Contents("C:\\WINDOWS\\system32\\SETUP.DLL"), "dll body");
  EXPECT_FALSE(world_.Exists("C:\\WINDOWS\\TEMP\\EXPAND.ODT"));
  EXPECT_EQ(world_.Contents(app + "keep.dat"), "mine");
  EXPECT_EQ(world_.Contents(app + "locked.dll"), "LOCKED-OLD");
  EXPECT_EQ(world_.Contents("C:\\WINDOWS\\ODTMP1.TMP"), "LOCKED-NEW");
  EXPECT_TRUE(FolderExists(world_.platform.Files(), app + "data"));
  EXPECT_EQ(SharedCount(world_, app + "locked.dll"), 2u);  // present but uncounted: used once
  EXPECT_EQ(SharedCount(world_, app + "ovshellex.dll"), 1u);
  EXPECT_EQ(world_.platform.Processes().EntryCalls(app + "ovshellex.dll", "DllRegisterServer"), 1u);
  std::uint32_t type = 0;
  const char pending[] = "\\??\\C:\\WINDOWS\\ODTMP1.TMP\0!\\??\\C:\\Program Files\\Orvane\\locked.dll\0";
  EXPECT_EQ(RegRaw(world_, reg_root::kLocalMachine, kSessionManagerKey, kPendingRenamesValue, type),
            std::string(pending, sizeof pending));
  EXPECT_EQ(world_.Contents("C:\\WINDOWS\\UNOD200X.EXE"), "MZsetup");
  EXPECT_BYTES(Link(world_, kStartMenu + "tool.exe.lnk"),
               "C:\\Program Files\\Orvane\\tool.exe|C:\\Program Files\\Orvane\\|/x");
  EXPECT_TRUE(world_.Exists(kStartMenu + "MyTool.lnk"));  // no parentheses: always, in (Sta)
  EXPECT_FALSE(world_.Exists("C:\\Documents and Settings\\taro\\デスクトップ\\MyTool.lnk"));
  EXPECT_BYTES(Link(world_, app + "MyTool.lnk"),
               "C:\\Program Files\\Orvane\\tool.exe|C:\\Program Files\\Orvane\\bin\\|");
}

TEST_F(FullInstall, RegistryIniAndAssociation) {
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  const RegHandle local = reg_root::kLocalMachine;
  std::uint32_t type = 0;
  EXPECT_EQ(RegRaw(world_, local, "SOFTWARE\\Orvane\\Test", "Count", type), std::string("\x0C\0\0\0", 4));
  EXPECT_EQ(type, reg_type::kDword);
  EXPECT_EQ(RegRaw(world_, local, "SOFTWARE\\Orvane\\Test", "Bin", type), std::string("\x0B\x0A\0\0", 4));
  EXPECT_EQ(type, reg_type::kBinary);
  EXPECT_EQ(RegString(world_, local, "SOFTWARE\\Orvane\\Test", "Path"), "C:\\Program Files\\Orvane");
  EXPECT_EQ(RegString(world_, local, "SOFTWARE\\Orvane\\Test", "Plain"), "plain text");
  EXPECT_EQ(RegString(world_, local, "SOFTWARE\\Orvane\\Empty", "Empty"), "<no value>");
  EXPECT_EQ(RegRaw(world_, local, "SOFTWARE\\Orvane\\Test", "Bad", type), std::string(4, '\0'));
  EXPECT_EQ(RegString(world_, local, "SOFTWARE\\Orvane\\Test", "BadBin"), "<no value>");
  EXPECT_EQ(RegRaw(world_, local, "SOFTWARE\\Orvane\\Test", "Hex", type), std::string("\x1F\0\0\0", 4));
  RegRaw(world_, reg_root::kClassesRoot, "OrvaneDoc", "", type);
  EXPECT_EQ(type, reg_type::kExpandString);

  EXPECT_BYTES(ReadProfileString(world_.platform.Profile(), "Options", "Path", "", "C:\\WINDOWS\\TOOL.INI"), kApp);

  const RegHandle classes = reg_root::kClassesRoot;
  EXPECT_EQ(RegString(world_, classes, ".ovx", ""), "ovx_auto_file");
  EXPECT_EQ(RegString(world_, classes, "ovx_auto_file", ""), "Orvane document");
  EXPECT_EQ(RegString(world_, classes, "ovx_auto_file\\DefaultIcon", ""), "C:\\Program Files\\Orvane\\tool.exe,0");
  EXPECT_EQ(RegString(world_, classes, "ovx_auto_file\\shell\\open\\command", ""),
            "\"C:\\Program Files\\Orvane\\tool.exe\" /open \"%1\"");
  EXPECT_BYTES(world_.ui.MessageBoxes()[3].text,
               "拡張子 *.ovx を\r\nC:\\Program Files\\Orvane\\tool.exe\r\nに関連付けします。よろしいですか？");
}

TEST_F(FullInstall, RecordMachineFileAndUninstallEntry) {
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  EXPECT_BYTES(world_.Contents(std::string(kApp) + "UNSETUP.INI"),
               "[Information]\r\n"
               "Message1=Ondaro! Setup 200x UnSetup(UnInstall) Initialize File\r\n"
               "Message2=！！！　警告　！！！\r\n"
               "Message3=このファイルをエディタなどで書き換えたり、削除しないでください。\r\n"
               "Message4=書き換えた場合、アンインストール動作の保証はできません。\r\n"
               "\r\n[Title]\r\nUnSetup=Orvane Tools\r\n"
               "\r\n[SetupFolder]\r\nFolder=C:\\Program Files\\Orvane\\\r\n"
               "\r\n[DeleteFolder]\r\n"
               "Folder1=C:\\Program Files\\Orvane\\bin\\\r\n"
               "Folder2=C:\\Program Files\\Orvane\\data\\\r\n"
               "\r\n[DeleteFile]\r\n"
               "File1=C:\\Program Files\\Orvane\\tool.exe\r\n"
               "File2=C:\\Program Files\\Orvane\\bin\\old.exe,/W\r\n"
               "File3=C:\\WINDOWS\\system32\\SETUP.DLL\r\n"
               "File4=C:\\Program Files\\Orvane\\keep.dat\r\n"
               "File5=C:\\Program Files\\Orvane\\locked.dll,/S\r\n"
               "File6=C:\\Program Files\\Orvane\\ovshellex.dll,/S/R\r\n"
               "File7=C:\\Program Files\\Orvane\\UNSETUP.INI\r\n"
               "\r\n[DeleteShortCut]\r\n"
               "File1=C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム\\tool.exe.lnk\r\n"
               "File2=C:\\Documents and Settings\\taro\\スタート メニュー\\プログラム\\MyTool.lnk\r\n"
               "File3=C:\\Program Files\\Orvane\\MyTool.lnk\r\n"
               "\r\n[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\Orvane\r\n"
               "\r\n[AddDeleteFile]\r\nFile1=C:\\Program Files\\Orvane\\*.log\r\n"
               "\r\n[RestoreRelate]\r\nKey1=ovx,\r\n"
               "\r\n[UnSetupOption]\r\nCheckBox=1\r\n"
               "\r\n[Extend]\r\nSetupString=インストール\r\nUnSetupString=アンインストール\r\n"
               "\r\n[UnSetupRegistryKey]\r\n"
               "Key=SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools\r\n"
               "\r\n[ProgramID]\r\nID=ORVANE01\r\n");
  EXPECT_BYTES(ReadProfileString(world_.platform.Profile(), "ORVANE01", "Folder", "", "C:\\WINDOWS\\ODSET98.INI"),
               kApp);
  const std::string entry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools";
  EXPECT_EQ(RegString(world_, reg_root::kLocalMachine, entry, "DisplayName"), "Orvane Tools");
  EXPECT_EQ(RegString(world_, reg_root::kLocalMachine, entry, "UninstallString"),
            "C:\\WINDOWS\\UNOD200X.EXE \"C:\\Program Files\\Orvane\\UNSETUP.INI\"");
  EXPECT_EQ(RegString(world_, reg_root::kLocalMachine, entry, "DisplayIcon"), "C:\\WINDOWS\\UNOD200X.EXE");
}

// A small package of one file, for the rules that need a clean machine each.
class SmallInstall : public ::testing::Test {
 protected:
  void Package(const std::string& copyFile, const std::string& extra = std::string()) {
    world_.Script("[CopyFile]\r\n" + copyFile + extra);
  }
  InstallWorld world_;
};

TEST_F(SmallInstall, OverwriteRules) {
  struct Row {
    const char* name;
    bool overwrite;
    bool destinationNewer;
    int answer;  // to the overwrite question, 0 when none is expected
    const char* options;
    const char* expected;
  };
  const Row rows[] = {
      {"auto, destination newer: kept", true, true, 0, "", "there"},
      {"auto, destination older: copied", true, false, 0, "", "medium"},
      {"auto, destination newer, /W: copied", true, true, 0, ",/W", "medium"},
      {"asked, Yes: copied", false, true, box::kYes, "", "medium"},
      {"asked, No: kept", false, false, box::kNo, "", "there"},
      {"asked, No, /W: copied", false, true, box::kNo, ",/W", "medium"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    InstallWorld world;
    world.Script(std::string("[CopyFile]\r\nFile1=(App)a.txt") + row.options + "\r\n");
    world.Medium("a.txt", "medium");
    world.platform.Clock().Advance(1000);
    world.platform.Files().PutFile(std::string(kApp) + "a.txt", "there");
    FileTime medium = 0;
    world.platform.Files().GetLastWriteTime("D:\\a.txt", medium);
    world.platform.Files().SetLastWriteTime(std::string(kApp) + "a.txt",
                                            row.destinationNewer ? medium + 10000000 : medium - 10000000);
    world.view.choices.overwrite = row.overwrite;
    if (row.answer != 0) world.ui.QueueAnswer(row.answer);
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    EXPECT_EQ(world.Contents(std::string(kApp) + "a.txt"), row.expected);
    EXPECT_EQ(Record(world, "DeleteFile", "File1"), std::string(kApp) + "a.txt" + (*row.options ? ",/W" : ""));
    const bool asked = !world.ui.MessageBoxes().empty() && world.ui.MessageBoxes()[0].caption == "上書き確認";
    EXPECT_EQ(asked, row.answer != 0);
  }
}

TEST_F(SmallInstall, EmptyCopyListPassesTheFreeSpaceCheckAndRecordsItself) {
  world_.Script("[Title]\r\nUnSetup=x\r\n");
  world_.platform.InstallFiles().SetDiskSpace('C', DiskSpace{1, 1, 1, 10});  // one byte free
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  EXPECT_NE(world_.run->StatusLog().find("ディスクの空き容量をチェックしています．．．完了\r\n"), std::string::npos);
  EXPECT_TRUE(world_.view.progress.empty());
  EXPECT_BYTES(world_.run->Lists().files, std::string(kApp) + "UNSETUP.INI|");
  EXPECT_BYTES(Record(world_, "DeleteFile", "File1"), std::string(kApp) + "UNSETUP.INI");
  EXPECT_EQ(Record(world_, "DeleteFile", "File2"), "<none>");
}

TEST_F(SmallInstall, FreeSpaceWarnings) {
  struct Row {
    const char* name;
    bool functionsFail;
    int answer;
    RunEnd end;
    const char* word;
  };
  const Row rows[] = {
      {"short, continued", false, box::kYes, RunEnd::kCompleted, "不足の可能性あり"},
      {"short, declined", false, box::kNo, RunEnd::kStopped, nullptr},
      {"functions failed, continued", true, box::kYes, RunEnd::kCompleted, "関数失敗"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    InstallWorld world;
    world.Script("[CopyFile]\r\nFile1=(App)a.txt\r\n");
    world.Medium("a.txt", std::string(5000, 'x'));
    world.platform.InstallFiles().SetHasFreeSpaceEx(false);
    if (row.functionsFail) {
      world.platform.Failures().FailPath("GetDiskFreeSpaceA", "C:", error::kAccessDenied);
    } else {
      world.platform.InstallFiles().SetDiskSpace('C', DiskSpace{1, 512, 4, 10});
    }
    world.ui.QueueAnswer(row.answer);
    EXPECT_EQ(world.Run(), row.end);
    const auto& box = world.ui.MessageBoxes().at(0);
    EXPECT_BYTES(box.caption, "空き容量チェックエラー");
    EXPECT_EQ(box.style, box::kQuestion);
    if (row.functionsFail) {
      EXPECT_NE(box.text.find("インストールに必要なディスク容量は 5000Byteです。"), std::string::npos);
    }
    if (row.word != nullptr) {
      EXPECT_NE(world.run->StatusLog().find(std::string("チェックしています．．．") + row.word + "\r\n"),
                std::string::npos);
    } else {
      EXPECT_BYTES(world.ui.MessageBoxes().at(1).text, "インストールを続行できませんでした。");
      EXPECT_BYTES(world.ui.MessageBoxes().at(1).caption, "インストール中止");
      EXPECT_FALSE(world.Exists(std::string(kApp) + "a.txt"));
      EXPECT_EQ(world.view.finished, 1);
    }
  }
}

TEST_F(SmallInstall, DeclinedInstallFolderStops) {
  Package("File1=(App)a.txt\r\n");
  world_.Medium("a.txt", "a");
  world_.view.choices.folder = "C:\\New Folder";
  world_.ui.QueueAnswer(box::kNo);
  EXPECT_EQ(world_.Run(), RunEnd::kStopped);
  EXPECT_EQ(Captions(world_), (std::vector<std::string>{"フォルダ作成", "インストール中止"}));
  EXPECT_BYTES(world_.ui.MessageBoxes()[0].text,
               "このフォルダは存在しません。作成してもよろしいですか？\r\n\r\nC:\\New Folder\\");
  EXPECT_FALSE(FolderExists(world_.platform.Files(), "C:\\New Folder"));
}

TEST_F(SmallInstall, DiskChangesPromptForEachDiskInTurn) {
  Package("File1=(App)a.txt\r\nFile2=(Dch)(App)b.txt\r\nFile3=(Dch)(App)c.txt\r\nFile4=(Dch)(App)d.txt\r\n");
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) world_.Medium(name, name);
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  std::vector<std::string> prompts;
  for (const auto& box : world_.ui.MessageBoxes()) {
    EXPECT_EQ(box.style, box::kInformationOkCancel);
    prompts.push_back(box.text);
  }
  EXPECT_EQ(prompts, (std::vector<std::string>{"2枚目のディスクに交換してください。", "3枚目のディスクに交換してください。",
                                               "4枚目のディスクに交換してください。"}));
  EXPECT_EQ(world_.Contents(std::string(kApp) + "d.txt"), "d.txt");
}

TEST_F(SmallInstall, DiskChangeRepeatsUntilTheFileIsThereAndCancelStops) {
  Package("File1=(App)a.txt\r\nFile2=(Dch)(App)b.txt\r\n");
  world_.Medium("a.txt", "a");
  // The first OK finds no disk; the user cancels the second prompt.
  world_.ui.QueueAnswer(box::kOk);
  world_.ui.QueueAnswer(box::kCancel);
  EXPECT_EQ(world_.Run(), RunEnd::kStopped);
  EXPECT_EQ(Captions(world_), (std::vector<std::string>{"ディスク交換", "ディスク交換", "致命的エラー"}));
  EXPECT_BYTES(world_.ui.MessageBoxes()[2].text, "インストールを続行できませんでした。");
  EXPECT_EQ(world_.Contents(std::string(kApp) + "a.txt"), "a");  // what was copied stays
  EXPECT_FALSE(world_.Exists(std::string(kApp) + "UNSETUP.INI"));
  EXPECT_EQ(world_.view.finished, 1);
}

TEST_F(SmallInstall, ShortcutChoices) {
  struct Row {
    const char* name;
    bool desktop;
    bool startMenu;
    const char* expected;  // the link created, or "" for none
  };
  const std::string desktop = "C:\\Documents and Settings\\taro\\デスクトップ\\";
  const Row rows[] = {
      {"Default", false, true, "tool.exe.lnk"},
      {"Default", false, false, ""},
      {"MyTool", false, false, "MyTool.lnk"},
      {"(Dsk)MyTool", true, false, "desktop"},
      {"(Dsk)MyTool", false, true, ""},
      {"(C_Dsk)MyTool", false, false, ""},
      {"(App)MyTool", false, false, "app"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + (row.startMenu ? " start menu" : "") + (row.desktop ? " desktop" : ""));
    InstallWorld world;
    world.Script(std::string("[ShortCut]\r\nMake1=(App)tool.exe\r\nName1=") + row.name +
                 "\r\nMake2=(App)second.exe\r\nName2=(App)Second\r\n");
    world.view.choices.shortcutDesktop = row.desktop;
    world.view.choices.shortcutStartMenu = row.startMenu;
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    std::string expected = row.expected;
    if (expected == "desktop") expected = desktop + "MyTool.lnk";
    else if (expected == "app") expected = std::string(kApp) + "MyTool.lnk";
    else if (!expected.empty()) expected = kStartMenu + expected;
    // The list goes on after a skipped entry.
    const std::string second = std::string(kApp) + "Second.lnk|";
    EXPECT_BYTES(world.run->Lists().shortcuts, expected.empty() ? second : expected + "|" + second);
    if (!expected.empty()) {
      EXPECT_TRUE(world.Exists(expected));
    }
  }
}

TEST_F(SmallInstall, ProgramAtTheEnd) {
  struct Row {
    const char* value;
    const char* firstChoice;
    bool created;  // started by CreateProcess
    bool opened;   // opened by the shell
  };
  const Row rows[] = {
      {"(App)tool.exe,/first,CreateProcess", "インストーラを終了して、プログラムを実行します。(&Y)", true, false},
      {"(App)readme.txt", "インストーラを終了して、プログラムを実行します。(&Y)", false, true},
      {"", "インストーラを終了します。(&Y)", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    InstallWorld world;
    world.Script(std::string("[ExecuteFile]\r\nFile=") + row.value + "\r\n");
    world.platform.Processes().AddProgram(std::string(kApp) + "tool.exe", 10);
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    EXPECT_BYTES(world.view.finalChoice.firstChoice, row.firstChoice);
    EXPECT_TRUE(world.view.finalChoice.secondChoice.empty());
    EXPECT_FALSE(world.view.restartRequested);
    ASSERT_EQ(world.platform.Processes().Starts().size(), row.created ? 1u : 0u);
    if (row.created) {
      EXPECT_EQ(world.platform.Processes().Starts()[0].commandLine, "\"C:\\Program Files\\Orvane\\tool.exe\" /first");
    }
    EXPECT_EQ(world.platform.InstallShell().Executions().size(), row.opened ? 1u : 0u);
  }
}

TEST_F(SmallInstall, RestartDeclinedRunsNothingWithoutAProgram) {
  Package("File1=(App)a.txt\r\n");
  world_.Medium("a.txt", "a");
  world_.platform.Failures().FailPath("CopyFileA", std::string(kApp) + "a.txt", error::kSharingViolation,
                                      fake::PathMatch::kEquals);
  world_.view.chooseSecond = true;
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  EXPECT_NE(world_.run->StatusLog().find("ファイルをコピーしています．．．ロックファイルあり\r\n"), std::string::npos);
  EXPECT_BYTES(world_.view.finalChoice.firstChoice, "はい、Windowsを再起動します。(&Y)");
  EXPECT_BYTES(world_.view.finalChoice.secondChoice, "いいえ、Windowsは再起動せずに、インストーラーを終了します。(&N)");
  EXPECT_FALSE(world_.view.restartRequested);
  EXPECT_BYTES(Record(world_, "DeleteFile", "File1"), std::string(kApp) + "a.txt");
  EXPECT_EQ(world_.run->FailureCount(), 0);
}

TEST_F(SmallInstall, FolderCreationRecordsExistingFoldersAndReportsFailures) {
  Package("", "[MakeFolder]\r\nFolder1=(App)data\r\nFolder2=(App)no\\such\r\nFolder3=(App)later\r\n");
  world_.platform.Files().MakeFolders(std::string(kApp) + "data");
  world_.ui.QueueAnswer(box::kNo);  // no detail page
  ASSERT_EQ(world_.Run(), RunEnd::kCompleted);
  EXPECT_BYTES(world_.run->Lists().folders, std::string(kApp) + "data\\|" + kApp + "later\\|");
  EXPECT_EQ(world_.run->Details().rfind("<Folder> C:\\Program Files\\Orvane\\no\\such\\\r\n", 0), 0u);
  EXPECT_NE(world_.run->StatusLog().find("フォルダを作成しています．．．一部失敗\r\n"), std::string::npos);
  EXPECT_FALSE(world_.view.detailsShown);
}

TEST_F(SmallInstall, CompressedFileThatDoesNotExpandIsReportedAndNotInstalled) {
  for (const char* operation : {"LZCopy", "GetExpandedNameA"}) {
    SCOPED_TRACE(operation);
    InstallWorld world;
    world.Script("[CopyFile]\r\nFile1=(Sys)SETUP.DL_\r\n");
    world.Medium("SETUP.DL_", Compressed("dll body", 'L'));
    world.platform.Failures().FailCall(operation, 1, error::kInvalidData);
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    EXPECT_EQ(world.run->Details().rfind("<File> D:\\SETUP.DL_\r\n", 0), 0u);
    EXPECT_FALSE(world.Exists("C:\\WINDOWS\\system32\\SETUP.DLL"));
    EXPECT_FALSE(world.Exists("C:\\WINDOWS\\system32\\SETUP.DL_"));
    EXPECT_FALSE(world.Exists("C:\\WINDOWS\\TEMP\\EXPAND.ODT"));
    EXPECT_BYTES(world.run->Lists().files, std::string(kApp) + "UNSETUP.INI|");
  }
}

const char* const kTwiceScript =
    "[CopyFile]\r\nFile1=(App)a.dll%s\r\nFile2=(App)b.txt\r\n"
    "[MakeFolder]\r\nFolder1=(App)data\r\n"
    "[Relate]\r\nName1=ovx\r\nFile1=open,(App)a.dll\r\n";

std::string TwiceScript(const char* options) {
  char text[512];
  std::snprintf(text, sizeof text, kTwiceScript, options);
  return text;
}

TEST(RepeatedInstall, SameFolderTwiceKeepsOneEntryPerFileAndTheSharedMark) {
  InstallWorld world;
  world.Medium("a.dll", "A");
  world.Medium("b.txt", "B");
  RegKey key;
  RegKey::Create(world.platform.Registry(), reg_root::kClassesRoot, ".ovx", key);
  SetStringValue(world.platform.Registry(), key.Get(), "", "oldtype");
  world.Script(TwiceScript(",/S"));
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  EXPECT_BYTES(Record(world, "RestoreRelate", "Key1"), "ovx,oldtype");

  // The second installation: the same files, a.dll now without options, one new file.
  world.Script("[CopyFile]\r\nFile1=(App)a.dll\r\nFile2=(App)b.txt\r\nFile3=(App)c.txt\r\n"
               "[MakeFolder]\r\nFolder1=(App)data\r\n[Relate]\r\nName1=ovx\r\nFile1=open,(App)a.dll\r\n");
  world.Medium("c.txt", "C");
  world.view.choices.overwrite = true;
  world.ui.ClearMessageBoxes();
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  const std::string app = kApp;
  EXPECT_BYTES(Record(world, "DeleteFile", "File1"), app + "a.dll,/S");
  EXPECT_BYTES(Record(world, "DeleteFile", "File2"), app + "b.txt");
  EXPECT_BYTES(Record(world, "DeleteFile", "File3"), app + "UNSETUP.INI");
  EXPECT_BYTES(Record(world, "DeleteFile", "File4"), app + "c.txt");
  EXPECT_EQ(Record(world, "DeleteFile", "File5"), "<none>");
  EXPECT_BYTES(Record(world, "DeleteFolder", "Folder1"), app + "data\\");
  EXPECT_EQ(Record(world, "DeleteFolder", "Folder2"), "<none>");
  // The default the first installation saved is what the uninstaller restores.
  EXPECT_BYTES(Record(world, "RestoreRelate", "Key1"), "ovx,oldtype");
  EXPECT_EQ(Record(world, "RestoreRelate", "Key2"), "<none>");
}

TEST(RepeatedInstall, SecondFolderLeavesTheFirstRecordAndPointsTheMachineAtTheNewOne) {
  InstallWorld world;
  world.Medium("a.dll", "A");
  world.Medium("b.txt", "B");
  world.Script(TwiceScript(""));
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  const std::string first = world.Contents(std::string(kApp) + "UNSETUP.INI");

  world.view.choices.folder = "D:\\Second";
  world.platform.Files().MakeFolders("D:\\Second");
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  EXPECT_EQ(world.Contents(std::string(kApp) + "UNSETUP.INI"), first);
  EXPECT_BYTES(Record(world, "DeleteFile", "File1", "D:\\Second\\"), "D:\\Second\\a.dll");
  EXPECT_BYTES(ReadProfileString(world.platform.Profile(), "ORVANE01", "Folder", "", "C:\\WINDOWS\\ODSET98.INI"),
               "D:\\Second\\");
  EXPECT_EQ(RegString(world, reg_root::kLocalMachine,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools", "UninstallString"),
            "C:\\WINDOWS\\UNOD200X.EXE \"D:\\Second\\UNSETUP.INI\"");
}

TEST(SetupOnly, LeavesNoRecordNorEntryButTheUninstallerAndTheMachineFile) {
  InstallWorld world;
  world.startup.unSetupTitle = "Orvane Setup Only.";
  world.Script("[CopyFile]\r\nFile1=(App)a.txt\r\n");
  world.Medium("a.txt", "a");
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  EXPECT_FALSE(world.Exists(std::string(kApp) + "UNSETUP.INI"));
  EXPECT_EQ(RegString(world, reg_root::kLocalMachine,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Setup Only.", "DisplayName"),
            "<no key>");
  EXPECT_EQ(world.Contents("C:\\WINDOWS\\UNOD200X.EXE"), "MZsetup");
  EXPECT_BYTES(ReadProfileString(world.platform.Profile(), "ORVANE01", "Folder", "", "C:\\WINDOWS\\ODSET98.INI"),
               kApp);
  EXPECT_EQ(world.run->StatusLog().find("追加と削除"), std::string::npos);
  EXPECT_EQ(world.view.statusText.find("．．．．"), std::string::npos);
}

TEST(Pacing, PausesGoThroughTheClock) {
  // Start 500 + 1000; per phase and per item SetupSpeed; the three wait loops.
  InstallWorld world;
  world.startup.setupSpeed = 7;
  world.Script("[CopyFile]\r\nFile1=(App)a.txt\r\nFile2=(App)b.txt\r\n[MakeFolder]\r\nFolder1=(App)x\r\n");
  world.Medium("a.txt", "a");
  world.Medium("b.txt", "b");
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  // 1500 start; association table 7; package size 7; free space 7; folder 7; two files
  // 14; completion wait 1 × 100; final page 1 × 150.
  EXPECT_EQ(world.platform.Clock().Elapsed(), 1500u + 7 * 6 + 100 + 150);
}

}  // namespace
}  // namespace ov::setup::test
