// The file, registry and component utilities against the in-memory Windows, with a
// headless ui that records every message box.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "setup/engine/file_utils.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

class FileUtilsTest : public ::testing::Test {
 protected:
  FileUtilsTest() {
    context_.mainWindow = 0x1234;
    context_.folders[Macro::kWin] = "C:\\WINDOWS\\";
    context_.folders[Macro::kTmp] = "C:\\WINDOWS\\TEMP\\";
    platform_.Files().AddVolume('D');  // the installation medium
  }
  std::uint32_t SharedValue(const std::string& path, bool& present) {
    RegKey key;
    std::uint32_t value = 0;
    present = RegKey::Open(platform_.Registry(), reg_root::kLocalMachine,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", key) == 0 &&
              QueryDwordValue(platform_.Registry(), key.Get(), path, value) == 0;
    return value;
  }
  std::string Contents(const std::string& path) {
    std::string contents;
    platform_.Files().Load(path, contents);
    return contents;
  }
  const std::vector<ui::headless::MessageBoxRecord>& Boxes() const { return ui_.MessageBoxes(); }
  void UseWindows98() { context_.folders.osKind = "notNT"; }

  FakePlatform platform_;
  ui::headless::HeadlessBackend ui_;
  EngineContext context_{platform_, ui_};
};

TEST_F(FileUtilsTest, SharedDllCountsRiseAndFall) {
  const std::string present = "C:\\WINDOWS\\system32\\present.dll";
  const std::string absent = "C:\\WINDOWS\\system32\\absent.dll";
  platform_.Files().PutFile(present, "MZ");
  bool stored = false;

  EXPECT_EQ(ChangeSharedDllCount(context_, absent, true), 1);
  EXPECT_EQ(ChangeSharedDllCount(context_, present, true), 2);  // there already: used once
  EXPECT_EQ(ChangeSharedDllCount(context_, present, true), 3);
  EXPECT_EQ(GetSharedDllCount(context_, present), 3);
  EXPECT_EQ(SharedValue(present, stored), 3u);

  EXPECT_EQ(ChangeSharedDllCount(context_, present, false), 2);
  EXPECT_EQ(SharedValue(present, stored), 2u);
  EXPECT_EQ(ChangeSharedDllCount(context_, absent, false), 0);
  SharedValue(absent, stored);
  EXPECT_FALSE(stored);
  EXPECT_EQ(ChangeSharedDllCount(context_, absent, false), -1);
  SharedValue(absent, stored);
  EXPECT_FALSE(stored);
}

TEST_F(FileUtilsTest, SharedDllCountOfAWrongTypeIsZeroAndFailedWritesRaise) {
  const std::string path = "C:\\x.dll";
  RegKey key;
  ASSERT_EQ(RegKey::Create(platform_.Registry(), reg_root::kLocalMachine,
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", key), 0u);
  ASSERT_EQ(SetStringValue(platform_.Registry(), key.Get(), path, "5"), 0u);
  EXPECT_EQ(GetSharedDllCount(context_, path), 0);
  platform_.Failures().FailPath("RegSetValueExA", "SharedDLLs", error::kAccessDenied);
  EXPECT_THROW(ChangeSharedDllCount(context_, "C:\\y.dll", true), RegistryWriteError);
}

TEST_F(FileUtilsTest, ComponentFilesContainTheExtensionAnywhere) {
  const std::pair<const char*, bool> rows[] = {
      {"C:\\x\\a.dll", true},   {"C:\\x\\A.OCX", true},         {"C:\\x\\plugin.dll.bak", true},
      {"C:\\x.DLL\\a.txt", true}, {"C:\\x\\a.exe", false},     {"C:\\x\\dll", false},
      {"C:\\x\\a.ocx_", true},  {"", false},
  };
  for (const auto& [path, component] : rows) EXPECT_EQ(IsComponentFile(context_, path), component) << path;
}

TEST_F(FileUtilsTest, RegisterComponentReportsEachFailureByMode) {
  fake::FakeProcesses& processes = platform_.Processes();
  processes.AddModule("C:\\a\\good.dll", {{"DllRegisterServer", 0}, {"DllUnregisterServer", 0}});
  processes.AddModule("C:\\a\\failing.ocx", {{"DllRegisterServer", static_cast<std::int32_t>(0x80004005)}});
  processes.AddModule("C:\\a\\plain.dll", {});
  struct Row {
    const char* path;
    const char* mode;
    bool result;
    const char* text;  // the message, or null for none
    const char* caption;
  } rows[] = {
      {"C:\\a\\good.dll", "SETUP", true, nullptr, nullptr},
      {"C:\\a\\failing.ocx", "SETUP", false, "C:\\a\\failing.ocxのDllRegisterServer関数が失敗しました。",
       "OCX/DLL登録エラー(Procedure)"},
      {"C:\\a\\plain.dll", "SETUP", false, "C:\\a\\plain.dllのDllRegisterServerエントリが見つかりません。",
       "OCX/DLL登録エラー(GetProcAddress)"},
      {"C:\\a\\missing.dll", "SETUP", false, "C:\\a\\missing.dllの読み込みに失敗しました。",
       "OCX/DLL登録エラー(LoadLibrary)"},
      {"C:\\a\\missing.dll", "UNSETUP", false, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    ui_.ClearMessageBoxes();
    context_.mode = row.mode;
    EXPECT_EQ(RegisterComponent(context_, row.path, true), row.result) << row.path;
    if (row.text == nullptr) {
      EXPECT_TRUE(Boxes().empty()) << row.path;
    } else {
      ASSERT_EQ(Boxes().size(), 1u) << row.path;
      EXPECT_BYTES(Boxes()[0].text, row.text);
      EXPECT_BYTES(Boxes()[0].caption, row.caption);
      EXPECT_EQ(Boxes()[0].style, 48u);
      EXPECT_EQ(Boxes()[0].owner, 0x1234u);
    }
  }
  EXPECT_EQ(processes.EntryCalls("C:\\a\\good.dll", "DllRegisterServer"), 1u);
  // Unregistering calls its entry, ignores the result and reports false.
  EXPECT_FALSE(RegisterComponent(context_, "C:\\a\\good.dll", false));
  EXPECT_EQ(processes.EntryCalls("C:\\a\\good.dll", "DllUnregisterServer"), 1u);
  EXPECT_FALSE(RegisterComponent(context_, "C:\\a\\plain.dll", false));
  EXPECT_EQ(processes.LoadedModules(), 0);
}

TEST_F(FileUtilsTest, CopyFileReplaceClearsReadOnlyBeforeAndAfter) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("D:\\CD\\a.txt", "new");
  files.SetAttributes("D:\\CD\\a.txt", attribute::kReadOnly);
  files.PutFile("C:\\App\\a.txt", "old");
  files.SetAttributes("C:\\App\\a.txt", attribute::kReadOnly | attribute::kHidden | attribute::kSystem);
  EXPECT_EQ(CopyFileReplace(context_, "D:\\CD\\a.txt", "C:\\App\\a.txt"), 0u);
  EXPECT_EQ(Contents("C:\\App\\a.txt"), "new");
  std::uint32_t attributes = 0;
  files.GetAttributes("C:\\App\\a.txt", attributes);
  EXPECT_EQ(attributes, attribute::kArchive);
  EXPECT_EQ(CopyFileReplace(context_, "D:\\CD\\b.txt", "C:\\App\\b.txt"), error::kFileNotFound);
  platform_.Failures().FailPath("CopyFileA", "c.txt", error::kSharingViolation);
  EXPECT_EQ(CopyFileReplace(context_, "D:\\CD\\a.txt", "C:\\App\\c.txt"), error::kSharingViolation);
}

TEST_F(FileUtilsTest, DeleteFileSilentlyCallsTheShellOnlyForWhatMayExist) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("C:\\App\\a.txt", "a");
  files.PutFile("C:\\App\\b.txt", "b");
  files.MakeFolders("C:\\App\\c.txt.d");
  EXPECT_EQ(DeleteFileSilently(context_, "C:\\App\\missing.txt"), error::kFileNotFound);
  EXPECT_EQ(platform_.Failures().Calls("SHFileOperationA"), 0u);
  EXPECT_EQ(DeleteFileSilently(context_, "C:\\App\\a.txt"), 0u);
  EXPECT_FALSE(FileExists(files, "C:\\App\\a.txt"));
  EXPECT_EQ(platform_.Failures().Calls("SHFileOperationA"), 1u);
  // A pattern always goes to the shell, which matches folders too.
  DeleteFileSilently(context_, "C:\\App\\z*.txt");
  EXPECT_EQ(platform_.Failures().Calls("SHFileOperationA"), 2u);
  EXPECT_EQ(DeleteFileSilently(context_, "C:\\App\\*.t*"), 0u);
  EXPECT_FALSE(FileExists(files, "C:\\App\\b.txt"));
  EXPECT_FALSE(platform::FolderExists(files, "C:\\App\\c.txt.d"));
}

TEST_F(FileUtilsTest, DeleteFileSilentlyUnregistersComponentsFirst) {
  platform_.Processes().AddModule("C:\\App\\comp.ocx", {{"DllUnregisterServer", 0}});
  EXPECT_EQ(DeleteFileSilently(context_, "C:\\App\\comp.ocx"), 0u);
  EXPECT_EQ(platform_.Processes().EntryCalls("C:\\App\\comp.ocx", "DllUnregisterServer"), 1u);
  EXPECT_FALSE(FileExists(platform_.Files(), "C:\\App\\comp.ocx"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FileUtilsTest, DeleteFolderContentsThenTheFolder) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("C:\\Work\\a.txt", "");
  files.PutFile("C:\\Work\\b.log", "");
  files.PutFile("C:\\Work\\sub\\c.txt", "");
  EXPECT_EQ(DeleteFolderContents(context_, "C:\\Work", "*.txt||*.log"), error::kDirNotEmpty);
  EXPECT_FALSE(FileExists(files, "C:\\Work\\a.txt"));
  EXPECT_FALSE(FileExists(files, "C:\\Work\\b.log"));
  EXPECT_EQ(DeleteFolderContents(context_, "C:\\Work\\", "*.*|"), 0u);
  EXPECT_FALSE(platform::FolderExists(files, "C:\\Work"));
}

TEST_F(FileUtilsTest, FolderTestsAndCreation) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("C:\\A\\file", "");
  EXPECT_TRUE(setup::FolderExists(context_, "C:\\A"));
  EXPECT_TRUE(setup::FolderExists(context_, "C:\\A\\"));
  EXPECT_FALSE(setup::FolderExists(context_, "C:\\B"));
  EXPECT_FALSE(setup::FolderExists(context_, "C:\\A\\file"));

  EXPECT_TRUE(ForceFolders(context_, "C:\\A\\表\\ソ\\C"));
  EXPECT_TRUE(platform::FolderExists(files, "C:\\A\\表\\ソ\\C"));
  EXPECT_EQ(platform_.Failures().Calls("CreateDirectoryA"), 3u);
  EXPECT_TRUE(ForceFolders(context_, "C:\\A\\表\\"));  // nothing to create
  EXPECT_EQ(platform_.Failures().Calls("CreateDirectoryA"), 3u);
  platform_.Failures().FailPath("CreateDirectoryA", "Locked", error::kAccessDenied);
  EXPECT_FALSE(ForceFolders(context_, "C:\\Locked\\x"));
}

// SZDD data: "setup.exe" recorded with its last character "e", and a back reference.
std::string CompressedSetup() {
  std::string data("SZDD\x88\xF0\x27\x33" "A" "e", 10);
  const std::string text = "hello hello hello hello world\r\n";
  for (int i = 0; i < 4; ++i) data += static_cast<char>((text.size() >> (8 * i)) & 0xFF);
  data += std::string("\xBF" "hello " "\xF0\xFD" "o", 10);
  data += std::string("\xFF" " world\r\n", 9);
  return data;
}

TEST_F(FileUtilsTest, ExpandCompressedFileStagesAndNamesAutoExt) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("D:\\DISK1\\setup.ex_", CompressedSetup());
  files.PutFile("C:\\WINDOWS\\TEMP\\EXPAND.ODT", "stale");
  EXPECT_BYTES(ExpandCompressedFile(context_, "D:\\DISK1\\setup.ex_", "C:\\App\\AUTO.EXT"),
               "C:\\WINDOWS\\TEMP\\EXPAND.ODT,C:\\App\\SETUP.EXE");
  EXPECT_EQ(Contents("C:\\WINDOWS\\TEMP\\EXPAND.ODT"), "hello hello hello hello world\r\n");
  // Only the exact name "AUTO.EXT" asks for the recorded name.
  EXPECT_BYTES(ExpandCompressedFile(context_, "D:\\DISK1\\setup.ex_", "C:\\App\\auto.ext"),
               "C:\\WINDOWS\\TEMP\\EXPAND.ODT,C:\\App\\auto.ext");
  // A missing source leaves no staging file; nothing is reported.
  EXPECT_BYTES(ExpandCompressedFile(context_, "D:\\DISK1\\gone.dl_", "C:\\App\\gone.dll"),
               "C:\\WINDOWS\\TEMP\\EXPAND.ODT,C:\\App\\gone.dll");
  EXPECT_FALSE(FileExists(files, "C:\\WINDOWS\\TEMP\\EXPAND.ODT"));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FileUtilsTest, CreateShortcutNamesAndFolders) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("C:\\App\\bin\\tool.exe", "MZ");
  files.PutFile("D:\\CD\\Readme.LNK", "link");
  fake::FakeInstallShell& shell = platform_.InstallShell();
  struct Row {
    const char* target;
    const char* link;
    const char* working;
    const char* arguments;
    const char* created;
    const char* savedWorking;
  } rows[] = {
      {"C:\\App\\bin\\tool.exe", "C:\\Menu\\ツール", "", "/s", "C:\\Menu\\ツール.lnk", "C:\\App\\bin\\"},
      {"C:\\App\\bin\\tool.exe", "C:\\Menu\\Tool.LNK", "C:\\App", "", "C:\\Menu\\Tool.LNK", "C:\\App\\"},
      {"C:\\App\\bin\\tool.exe", "C:\\Menu\\b.lnk", "C:\\Gone", "", "C:\\Menu\\b.lnk", "C:\\App\\bin\\"},
  };
  for (const Row& row : rows) {
    EXPECT_BYTES(CreateShortcut(context_, row.target, row.link, row.working, row.arguments), row.created);
    ShellLink link;
    ASSERT_EQ(shell.ReadShellLink(row.created, link), 0u) << test::Readable(row.created);
    EXPECT_BYTES(link.target, row.target);
    EXPECT_BYTES(link.workingDirectory, row.savedWorking);
    EXPECT_BYTES(link.arguments, row.arguments);
  }
  // A target that is itself a shortcut file is copied.
  EXPECT_BYTES(CreateShortcut(context_, "D:\\CD\\Readme.LNK", "C:\\Menu\\Sub\\読んでね", "", ""),
               "C:\\Menu\\Sub\\読んでね.lnk");
  EXPECT_EQ(Contents("C:\\Menu\\Sub\\読んでね.lnk"), "link");
}

TEST_F(FileUtilsTest, CreateShortcutToAnMsDosProgramGivesAPif) {
  platform_.InstallShell().SetPifForDosPrograms(true);
  platform_.Files().PutFile("C:\\DOS\\edit.com", "");
  EXPECT_BYTES(CreateShortcut(context_, "C:\\DOS\\edit.com", "C:\\Menu\\Edit", "", ""), "C:\\Menu\\Edit.pif");
  EXPECT_TRUE(FileExists(platform_.Files(), "C:\\Menu\\Edit.pif"));
}

TEST_F(FileUtilsTest, CreateShortcutFailureCreatesNothingAndGivesTheError) {
  platform_.Failures().FailCall("IPersistFile::Save", 1, 0x80004005u);
  Error failure = 0;
  EXPECT_BYTES(CreateShortcut(context_, "C:\\a.exe", "C:\\Menu\\a", "", "", &failure), "");
  EXPECT_EQ(failure, 0x80004005u);
  EXPECT_FALSE(FileExists(platform_.Files(), "C:\\Menu\\a.lnk"));
}

TEST_F(FileUtilsTest, SystemErrorTextIsFullWidthWithCrLf) {
  EXPECT_BYTES(SystemErrorText(context_, 0), "");
  const std::string text = SystemErrorText(context_, error::kFileNotFound);
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(text.find("\r\n"), text.size() - 2);
  EXPECT_BYTES(platform_.System().FullWidth("Ab1 (x)ｶﾅ"), "Ａｂ１　（ｘ）カナ");
}

TEST_F(FileUtilsTest, FreeSpaceBothWays) {
  fake::FakeInstallFiles& install = platform_.InstallFiles();
  DiskSpace space;
  space.sectorsPerCluster = 64;
  space.bytesPerSector = 512;
  space.freeClusters = 200000;  // 6.5 GB: beyond 32 bits
  space.totalClusters = 300000;
  install.SetDiskSpace('C', space);
  std::int64_t bytes = 0;
  EXPECT_TRUE(QueryFreeSpaceEx(context_, "C:", bytes));
  EXPECT_EQ(bytes, 6553600000);
  EXPECT_TRUE(QueryFreeSpace(context_, "c:\\", bytes));
  EXPECT_EQ(bytes, 6553600000);
  EXPECT_FALSE(QueryFreeSpace(context_, "Q:", bytes));
  EXPECT_EQ(bytes, -1);
  install.SetHasFreeSpaceEx(false);
  EXPECT_FALSE(QueryFreeSpaceEx(context_, "C:", bytes));
  EXPECT_EQ(bytes, -1);
}

// The result is true whatever happens: what counts is which key goes and how often the
// removal is tried.
TEST_F(FileUtilsTest, DeleteRegistryKeyRemovesTheTreeUnderTheTokensRoot) {
  struct Case {
    const char* token;
    RegHandle removedFrom;
  };
  const RegHandle roots[] = {reg_root::kClassesRoot, reg_root::kLocalMachine, reg_root::kUsers,
                             reg_root::kCurrentUser};
  for (const Case& c : {Case{"(Class)", reg_root::kClassesRoot}, Case{"(Local)", reg_root::kLocalMachine},
                        Case{"(Users)", reg_root::kUsers}, Case{"(User)", reg_root::kCurrentUser},
                        Case{"(local)", reg_root::kCurrentUser}}) {
    SCOPED_TRACE(c.token);
    RegistryApi& registry = platform_.Registry();
    RegKey key;
    for (RegHandle root : roots) {
      ASSERT_EQ(RegKey::Create(registry, root, "SOFTWARE\\Acme\\App\\1.0\\Deep", key), 0u);
      key.Reset();
    }
    EXPECT_TRUE(DeleteRegistryKey(context_, c.token, "SOFTWARE\\Acme\\App"));
    for (RegHandle root : roots) {
      EXPECT_EQ(RegKey::Open(registry, root, "SOFTWARE\\Acme\\App", key) == 0u, root != c.removedFrom) << root;
      EXPECT_EQ(RegKey::Open(registry, root, "SOFTWARE\\Acme", key), 0u) << root;  // the parent stays
      key.Reset();
      DeleteRegistryTree(registry, root, "SOFTWARE\\Acme");
    }
    EXPECT_EQ(platform_.Registry().OpenHandles(), 0u);
  }
}

TEST_F(FileUtilsTest, DeleteRegistryKeyTouchesNothingForAnEmptyPathAndStopsWhenTheKeyIsGone) {
  RegKey key;
  ASSERT_EQ(RegKey::Create(platform_.Registry(), reg_root::kLocalMachine, "SOFTWARE\\Acme", key), 0u);
  key.Reset();
  fake::FakeFailures& calls = platform_.Failures();
  const std::uint32_t before = calls.TotalCalls();
  EXPECT_TRUE(DeleteRegistryKey(context_, "(Local)", ""));
  EXPECT_EQ(calls.TotalCalls(), before);  // not even the root is opened

  EXPECT_TRUE(DeleteRegistryKey(context_, "(Local)", "SOFTWARE\\Missing"));
  EXPECT_EQ(calls.Calls("RegDeleteKeyA"), 0u);
  EXPECT_TRUE(DeleteRegistryKey(context_, "(Local)", "SOFTWARE\\Acme"));
  EXPECT_EQ(calls.Calls("RegDeleteKeyA"), 1u);  // gone at the first attempt: no second
  EXPECT_NE(RegKey::Open(platform_.Registry(), reg_root::kLocalMachine, "SOFTWARE\\Acme", key), 0u);
}

// A key that refuses to go is tried 99 times, then left: the call returns all the same.
TEST_F(FileUtilsTest, DeleteRegistryKeyGivesUpAfterNinetyNineAttempts) {
  RegKey key;
  ASSERT_EQ(RegKey::Create(platform_.Registry(), reg_root::kLocalMachine, "SOFTWARE\\Stuck", key), 0u);
  key.Reset();
  fake::FakeFailures& calls = platform_.Failures();
  calls.FailPath("RegDeleteKeyA", "SOFTWARE\\Stuck", error::kAccessDenied);
  EXPECT_TRUE(DeleteRegistryKey(context_, "(Local)", "SOFTWARE\\Stuck"));
  EXPECT_EQ(calls.Calls("RegDeleteKeyA"), 99u);
  calls.Clear();
  EXPECT_EQ(RegKey::Open(platform_.Registry(), reg_root::kLocalMachine, "SOFTWARE\\Stuck", key), 0u);
}

TEST_F(FileUtilsTest, ReplaceAtRestartOnNtStagesAndSchedulesTheMove) {
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("C:\\WINDOWS\\ODTMP1.TMP", "left over");
  files.PutFile("D:\\CD\\new.dll", "new");
  files.PutFile("C:\\App\\new.dll", "old");
  EXPECT_TRUE(ReplaceAtRestart(context_, "D:\\CD\\new.dll", "C:\\App\\new.dll"));
  EXPECT_EQ(Contents("C:\\WINDOWS\\ODTMP2.TMP"), "new");
  EXPECT_TRUE(DeleteAtRestart(context_, "C:\\App\\old.txt"));
  RegKey key;
  ASSERT_EQ(RegKey::Open(platform_.Registry(), reg_root::kLocalMachine, kSessionManagerKey, key), 0u);
  std::uint32_t type = 0;
  std::string data;
  ASSERT_EQ(platform_.Registry().QueryValue(key.Get(), kPendingRenamesValue, type, data), 0u);
  EXPECT_EQ(type, reg_type::kMultiString);
  const char expected[] = "\\??\\C:\\WINDOWS\\ODTMP2.TMP\0!\\??\\C:\\App\\new.dll\0"
                          "\\??\\C:\\App\\old.txt\0\0\0";
  EXPECT_EQ(data, std::string(expected, sizeof expected - 1));
  EXPECT_TRUE(Boxes().empty());

  platform_.Failures().FailCall("MoveFileExA", 1, error::kAccessDenied);
  EXPECT_FALSE(DeleteAtRestart(context_, "C:\\App\\x.txt"));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_BYTES(Boxes()[0].text, "MoveFileEx関数が失敗しました。");
  EXPECT_BYTES(Boxes()[0].caption, "内部エラー");
  EXPECT_EQ(Boxes()[0].style, 48u);
}

TEST_F(FileUtilsTest, RestartOperationsOnWindows98GoToWininit) {
  UseWindows98();
  fake::FakeFiles& files = platform_.Files();
  files.PutFile("C:\\WINDOWS\\WININIT.INI", "[Other]\r\nx=y\r\n[rename]\r\nNUL=C:\\OLD.TXT\r\n");
  files.PutFile("D:\\CD\\a.dll", "a");
  files.PutFile("D:\\CD\\b.dll", "b");
  files.PutFile("C:\\Program Files\\Acme\\a.dll", "old a");
  files.PutFile("C:\\Program Files\\Acme\\b.dll", "old b");
  files.PutFile("C:\\Program Files\\Acme\\readme.txt", "");
  EXPECT_TRUE(ReplaceAtRestart(context_, "D:\\CD\\a.dll", "C:\\Program Files\\Acme\\a.dll"));
  EXPECT_TRUE(ReplaceAtRestart(context_, "D:\\CD\\b.dll", "C:\\Program Files\\Acme\\b.dll"));
  EXPECT_TRUE(DeleteAtRestart(context_, "C:\\Program Files\\Acme\\readme.txt"));
  EXPECT_TRUE(DeleteAtRestart(context_, "C:\\Program Files\\Acme"));
  const std::string acme = ShortPathOf(context_, "C:\\Program Files\\Acme");
  ASSERT_FALSE(acme.empty());
  EXPECT_EQ(Contents("C:\\WINDOWS\\WININIT.INI"),
            "[Other]\r\nx=y\r\n[rename]\r\n"
            "DirNul=" + acme + "\r\n"
            "Nul=" + acme + "\\readme.txt\r\n" +
            acme + "\\b.dll=C:\\WINDOWS\\ODTMP2.TMP\r\n" +
            acme + "\\a.dll=C:\\WINDOWS\\ODTMP1.TMP\r\n"
            "NUL=C:\\OLD.TXT\r\n");
  EXPECT_EQ(acme.find(' '), std::string::npos);
}

TEST_F(FileUtilsTest, RestartOnWindows98WithoutWininitStartsTheSection) {
  UseWindows98();
  platform_.Files().PutFile("C:\\App\\x.txt", "");
  EXPECT_TRUE(DeleteAtRestart(context_, "C:\\App\\x.txt"));
  EXPECT_EQ(Contents("C:\\WINDOWS\\WININIT.INI"), "[Rename]\r\nNul=C:\\App\\x.txt\r\n");
  // A path that cannot be read counts as a folder.
  EXPECT_TRUE(DeleteAtRestart(context_, "C:\\App\\gone"));
  EXPECT_EQ(Contents("C:\\WINDOWS\\WININIT.INI"), "[Rename]\r\nDirNul=\r\nNul=C:\\App\\x.txt\r\n");
}

TEST_F(FileUtilsTest, RunProgramWaitsWhileProcessingMessages) {
  fake::FakeProcesses& processes = platform_.Processes();
  processes.AddProgram("C:\\App\\setup2.exe", 500);
  const std::uint64_t before = platform_.Clock().Elapsed();
  EXPECT_EQ(RunProgram(context_, "C:\\App\\setup2.exe", "/q", 1, true), 0u);
  EXPECT_GE(platform_.Clock().Elapsed() - before, 500u);
  EXPECT_GE(ui_.ProcessMessagesCalls(), 500 / static_cast<int>(fake::FakeProcesses::kPollMilliseconds));
  ASSERT_EQ(processes.Starts().size(), 1u);
  // The program's own path comes first, as every program reads it.
  EXPECT_EQ(processes.Starts()[0].commandLine, "C:\\App\\setup2.exe /q");
  EXPECT_EQ(processes.Starts()[0].show, 1);

  const int calls = ui_.ProcessMessagesCalls();
  EXPECT_EQ(RunProgram(context_, "C:\\App\\setup2.exe", "", 1, false), 0u);
  EXPECT_EQ(ui_.ProcessMessagesCalls(), calls);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(FileUtilsTest, RunProgramAndOpenWithShellReportFailures) {
  EXPECT_EQ(RunProgram(context_, "C:\\WINDOWS\\gone.exe", "/x", 1, true), error::kFileNotFound);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_BYTES(Boxes()[0].text, "プログラム実行失敗\r\nC:\\WINDOWS\\gone.exe /x\r\n\r\n" +
                                    SystemErrorText(context_, error::kFileNotFound));
  EXPECT_BYTES(Boxes()[0].caption, "警告");
  EXPECT_EQ(Boxes()[0].style, 48u);

  EXPECT_EQ(OpenWithShell(context_, "C:\\WINDOWS\\gone.txt", ""), 0u);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_BYTES(Boxes()[1].text, Boxes()[0].text.substr(0, 0) + "プログラム実行失敗\r\nC:\\WINDOWS\\gone.txt \r\n\r\n" +
                                    SystemErrorText(context_, error::kFileNotFound));
  platform_.Files().PutFile("C:\\App\\readme.txt", "");
  EXPECT_EQ(OpenWithShell(context_, "C:\\App\\readme.txt", ""), 0u);
  EXPECT_EQ(Boxes().size(), 2u);
  ASSERT_EQ(platform_.InstallShell().Executions().size(), 2u);
  EXPECT_EQ(platform_.InstallShell().Executions()[1].verb, "open");
  EXPECT_EQ(platform_.InstallShell().Executions()[1].show, 1);
}

}  // namespace
}  // namespace ov::setup
