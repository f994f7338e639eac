// The command lines the installer builds, with program and file paths that hold blanks and
// double-byte characters whose second byte is 0x5C: the quoting helpers, and what the
// install run writes and starts with them.
#include <gtest/gtest.h>

#include <string>

#include "install_world.h"
#include "setup/engine/command_line.h"
#include "support/readable.h"

namespace ov::setup::test {
namespace {

using platform::RegHandle;
using platform::RegKey;
namespace reg_root = platform::reg_root;

// 表, ソ and 能 end in the byte 0x5C.
constexpr const char* kJapaneseApp = "C:\\Program Files\\表 ソフト 能\\";

TEST(CommandLine, QuotingHelpers) {
  struct Row {
    const char* input;
    const char* quoted;       // QuotedWhenBlank
    const char* commandLine;  // ProgramCommandLine(input, "/first")
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\UNOD200X.EXE", "C:\\WINDOWS\\UNOD200X.EXE", "C:\\WINDOWS\\UNOD200X.EXE /first"},
      {"C:\\Program Files\\Orvane\\tool.exe", "\"C:\\Program Files\\Orvane\\tool.exe\"",
       "\"C:\\Program Files\\Orvane\\tool.exe\" /first"},
      {"C:\\Program Files\\表 ソフト 能\\ツール.exe", "\"C:\\Program Files\\表 ソフト 能\\ツール.exe\"",
       "\"C:\\Program Files\\表 ソフト 能\\ツール.exe\" /first"},
      {"C:\\表\\能.exe", "C:\\表\\能.exe", "C:\\表\\能.exe /first"},
      {"C:\\Tab\there\\a.exe", "\"C:\\Tab\there\\a.exe\"", "\"C:\\Tab\there\\a.exe\" /first"},
      // Quoted by the script already: one pair of quotes, not two.
      {"\"C:\\Program Files\\a.exe\"", "\"C:\\Program Files\\a.exe\"", "\"C:\\Program Files\\a.exe\" /first"},
      // One quote is no pair.
      {"\"C:\\Program Files\\a.exe", "\"\"C:\\Program Files\\a.exe\"", "\"\"C:\\Program Files\\a.exe\" /first"},
      {"", "", " /first"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ov::test::Readable(row.input));
    EXPECT_BYTES(QuotedWhenBlank(row.input), row.quoted);
    EXPECT_BYTES(ProgramCommandLine(row.input, "/first"), row.commandLine);
  }
  EXPECT_EQ(ProgramCommandLine("C:\\Program Files\\a.exe", ""), "\"C:\\Program Files\\a.exe\"");
}

TEST(CommandLine, AssociationArguments) {
  const std::pair<const char*, const char*> rows[] = {
      {"%1", "\"%1\""}, {"%L", "\"%L\""},     {"%l", "\"%l\""},       {"\"%1\"", "\"%1\""},
      {"/open", "/open"}, {"%*", "%*"},       {"/f=%1", "/f=%1"},      {"", ""},
  };
  for (const auto& [input, expected] : rows) EXPECT_EQ(AssociationArgument(input), expected) << input;
}

std::string RegString(InstallWorld& world, RegHandle root, const std::string& keyPath, const std::string& name) {
  RegKey key;
  std::string text;
  if (RegKey::Open(world.platform.Registry(), root, keyPath, key) != 0) return "<no key>";
  if (platform::QueryStringValue(world.platform.Registry(), key.Get(), name, text) != 0) return "<no value>";
  return text;
}

// The package installed into a folder whose name has blanks and 0x5C second bytes.
struct JapaneseFolderWorld : InstallWorld {
  JapaneseFolderWorld() {
    platform.Files().MakeFolders(kJapaneseApp);
    view.choices.folder = std::string(kJapaneseApp).substr(0, std::string(kJapaneseApp).size() - 1);
  }
};

TEST(CommandLine, AssociationCommandsOfTheInstallRun) {
  struct Row {
    const char* file;  // the [Relate] File1 value
    const char* command;
  };
  const std::string app = kJapaneseApp;
  // An argument 1 alone is followed by the blank that joins it to an empty argument 2.
  const Row rows[] = {
      {"open,(App)tool.exe,%1", "\"C:\\Program Files\\表 ソフト 能\\tool.exe\" \"%1\" "},
      {"open,(App)tool.exe,/view,%1", "\"C:\\Program Files\\表 ソフト 能\\tool.exe\" /view \"%1\""},
      {"open,(App)tool.exe,/view,\"%1\"", "\"C:\\Program Files\\表 ソフト 能\\tool.exe\" /view \"%1\""},
      {"open,\"(App)tool.exe\",%L", "\"C:\\Program Files\\表 ソフト 能\\tool.exe\" \"%L\" "},
      {"open,(App)tool.exe", "\"C:\\Program Files\\表 ソフト 能\\tool.exe\""},
      {"open,C:\\TOOLS\\VIEW.EXE,%1", "C:\\TOOLS\\VIEW.EXE \"%1\" "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ov::test::Readable(row.file));
    JapaneseFolderWorld world;
    world.Script(std::string("[Relate]\r\nName1=ovq\r\nFile1=") + row.file + "\r\n");
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    EXPECT_BYTES(RegString(world, reg_root::kClassesRoot, "ovq_auto_file\\shell\\open\\command", ""), row.command);
  }
}

TEST(CommandLine, UninstallEntryQuotesTheRecordAndAProgramPathWithABlank) {
  struct Row {
    const char* windows;
    const char* uninstall;
  };
  const Row rows[] = {
      {"C:\\WINDOWS\\", "C:\\WINDOWS\\UNOD200X.EXE \"C:\\Program Files\\表 ソフト 能\\UNSETUP.INI\""},
      {"C:\\WIN DOWS\\", "\"C:\\WIN DOWS\\UNOD200X.EXE\" \"C:\\Program Files\\表 ソフト 能\\UNSETUP.INI\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.windows);
    JapaneseFolderWorld world;
    world.platform.Files().MakeFolders(row.windows);
    world.context.folders[Macro::kWin] = row.windows;
    world.Script("[Title]\r\nUnSetupKey=Orvane Tools\r\n");
    ASSERT_EQ(world.Run(), RunEnd::kCompleted);
    const std::string entry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools";
    EXPECT_BYTES(RegString(world, reg_root::kLocalMachine, entry, "UninstallString"), row.uninstall);
  }
}

TEST(CommandLine, TheProgramStartedAtTheEndGetsItsOwnPathFirst) {
  JapaneseFolderWorld world;
  world.Script("[ExecuteFile]\r\nFile=(App)tool.exe,/first,CreateProcess\r\n");
  world.platform.Processes().AddProgram(std::string(kJapaneseApp) + "tool.exe", 10);
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  ASSERT_EQ(world.platform.Processes().Starts().size(), 1u);
  EXPECT_BYTES(world.platform.Processes().Starts()[0].application, std::string(kJapaneseApp) + "tool.exe");
  EXPECT_BYTES(world.platform.Processes().Starts()[0].commandLine,
               "\"C:\\Program Files\\表 ソフト 能\\tool.exe\" /first");
}

}  // namespace
}  // namespace ov::setup::test
