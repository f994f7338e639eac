// The installer's operations: restart-time moves in the registry, free space, LZ (SZDD)
// expansion, special folders, shell links, error texts, full-width mapping, and the
// failures of starting programs and loading libraries.
#include "contract/contract_env.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

using namespace platform;

// SZDD data for "hello hello hello hello world\r\n": six literals, a 16-byte back reference
// into the window, then literals. lastCharacter is the recorded end of the name.
std::string Szdd(char lastCharacter) {
  std::string data("SZDD\x88\xF0\x27\x33" "A", 9);
  data += lastCharacter;
  const std::size_t size = 31;
  for (int i = 0; i < 4; ++i) data += static_cast<char>((size >> (8 * i)) & 0xFF);
  data += std::string("\xBF" "hello " "\xF0\xFD" "o", 10);
  data += std::string("\xFF" " world\r\n", 9);
  return data;
}

// Restores the pending-rename value that a test added to.
class PendingRenames {
 public:
  explicit PendingRenames(RegistryApi& registry) : registry_(registry) {
    RegKey::Create(registry_, reg_root::kLocalMachine, kSessionManagerKey, key_);
    std::uint32_t type = 0;
    had_ = registry_.QueryValue(key_.Get(), kPendingRenamesValue, type, saved_) == error::kSuccess;
  }
  ~PendingRenames() {
    if (had_) {
      registry_.SetValue(key_.Get(), kPendingRenamesValue, reg_type::kMultiString, saved_);
    } else {
      registry_.DeleteValue(key_.Get(), kPendingRenamesValue);
    }
  }
  std::string Current() {
    std::uint32_t type = 0;
    std::string data;
    registry_.QueryValue(key_.Get(), kPendingRenamesValue, type, data);
    return data;
  }

 private:
  RegistryApi& registry_;
  RegKey key_;
  bool had_ = false;
  std::string saved_;
};

TEST_F(ContractTest, DelayedMovesAndDeletionsAreWrittenAsPendingRenames) {
  ASSERT_EQ(Files().WriteContents(At("new.dll"), "new"), 0u);
  ASSERT_EQ(Files().WriteContents(At("old.dll"), "old"), 0u);
  ASSERT_EQ(Files().WriteContents(At("gone.txt"), "x"), 0u);
  PendingRenames pending(Registry());
  EXPECT_EQ(P().InstallFiles().MoveEx(At("new.dll"), At("old.dll"),
                                      move_flag::kReplaceExisting | move_flag::kDelayUntilReboot), 0u);
  EXPECT_EQ(P().InstallFiles().MoveEx(At("gone.txt"), "", move_flag::kReplaceExisting | move_flag::kDelayUntilReboot),
            0u);
  const std::string data = pending.Current();
  const std::string move = "\\??\\" + At("new.dll") + '\0' + "!\\??\\" + At("old.dll") + '\0';
  const std::string deletion = std::string("\\??\\") + At("gone.txt") + '\0' + '\0';
  EXPECT_NE(data.find(move), std::string::npos) << test::Readable(data);
  EXPECT_NE(data.find(deletion), std::string::npos) << test::Readable(data);
  EXPECT_LT(data.find(move), data.find(deletion));
  // Nothing happens before the restart.
  std::string contents;
  EXPECT_EQ(Files().ReadContents(At("old.dll"), contents), 0u);
  EXPECT_EQ(contents, "old");
  EXPECT_TRUE(FileExists(Files(), At("gone.txt")));
}

// The uninstaller leaves the folders it removes by making another one current.
TEST_F(ContractTest, CurrentFolderMustBeAnExistingFolder) {
  ASSERT_EQ(Files().CreateFolder(At("here")), 0u);
  ASSERT_EQ(Files().WriteContents(At("file.txt"), "x"), 0u);
  EXPECT_EQ(P().InstallFiles().SetCurrentFolder(At("here")), 0u);
  EXPECT_EQ(P().InstallFiles().SetCurrentFolder(At("file.txt")), error::kDirectory);
  EXPECT_EQ(P().InstallFiles().SetCurrentFolder(At("missing")), error::kFileNotFound);
  // Out again, so that the scratch folder can go.
  EXPECT_EQ(P().InstallFiles().SetCurrentFolder(P().System().TempFolder()), 0u);
}

TEST_F(ContractTest, FreeSpaceOfTheScratchDrive) {
  const std::string root = scratch_.substr(0, 3);
  DiskSpace space;
  ASSERT_EQ(P().InstallFiles().DiskFreeSpace(root, space), 0u);
  EXPECT_GT(space.bytesPerSector, 0u);
  EXPECT_GT(space.sectorsPerCluster, 0u);
  EXPECT_LE(space.freeClusters, space.totalClusters);
  std::uint64_t freeToCaller = 0;
  ASSERT_EQ(P().InstallFiles().DiskFreeSpaceEx(root, freeToCaller), 0u);
  EXPECT_GT(freeToCaller, 0u);
  EXPECT_NE(P().InstallFiles().DiskFreeSpace(At("missing\\"), space), 0u);
}

TEST_F(ContractTest, CompressedFilesExpandUnderTheirRecordedName) {
  ASSERT_EQ(Files().WriteContents(At("setup.ex_"), Szdd('e')), 0u);
  ASSERT_EQ(Files().WriteContents(At("PLAIN.TX_"), "not compressed"), 0u);
  InstallFileApi& install = P().InstallFiles();
  std::string name;
  ASSERT_EQ(install.ExpandedName(At("setup.ex_"), name), 0u);
  EXPECT_BYTES(name, At("setup.exe"));
  ASSERT_EQ(install.ExpandedName(At("PLAIN.TX_"), name), 0u);
  EXPECT_BYTES(name, At("PLAIN.TX_"));

  ASSERT_EQ(install.LzExpand(At("setup.ex_"), At("setup.exe")), 0u);
  std::string contents;
  ASSERT_EQ(Files().ReadContents(At("setup.exe"), contents), 0u);
  EXPECT_EQ(contents, "hello hello hello hello world\r\n");
  ASSERT_EQ(install.LzExpand(At("PLAIN.TX_"), At("plain.txt")), 0u);
  ASSERT_EQ(Files().ReadContents(At("plain.txt"), contents), 0u);
  EXPECT_EQ(contents, "not compressed");
  EXPECT_NE(install.LzExpand(At("missing.ex_"), At("missing.exe")), 0u);
}

TEST_F(ContractTest, SpecialFoldersAnswerForTheWindowsAndSystemFolders) {
  std::string path;
  ASSERT_EQ(P().InstallShell().SpecialFolder(csidl::kWindows, path), 0u);
  EXPECT_EQ(System().CompareNoCase(path, System().WindowsFolder()), 0) << test::Readable(path);
  ASSERT_EQ(P().InstallShell().SpecialFolder(csidl::kSystem, path), 0u);
  EXPECT_EQ(System().CompareNoCase(path, System().SystemFolder()), 0) << test::Readable(path);
  ASSERT_EQ(P().InstallShell().SpecialFolder(csidl::kDesktopDirectory, path), 0u);
  EXPECT_FALSE(path.empty());
}

TEST_F(ContractTest, ShellLinksAreSavedAndReadBack) {
  ASSERT_EQ(Files().WriteContents(At("ツール.exe"), "MZ"), 0u);
  ASSERT_EQ(Files().CreateFolder(At("作業")), 0u);
  ShellLink link;
  link.target = At("ツール.exe");
  link.workingDirectory = At("作業\\");
  link.arguments = "/s \"表 示\"";
  ASSERT_EQ(P().InstallShell().CreateShellLink(link, At("ツール.lnk")), 0u);
  EXPECT_TRUE(FileExists(Files(), At("ツール.lnk")));
  ShellLink read;
  ASSERT_EQ(P().InstallShell().ReadShellLink(At("ツール.lnk"), read), 0u);
  EXPECT_BYTES(read.target, link.target);
  EXPECT_EQ(System().CompareNoCase(read.workingDirectory.substr(0, link.workingDirectory.size() - 1),
                                   link.workingDirectory.substr(0, link.workingDirectory.size() - 1)), 0)
      << test::Readable(read.workingDirectory);
  EXPECT_BYTES(read.arguments, link.arguments);

  link.arguments.clear();
  ASSERT_EQ(P().InstallShell().CreateShellLink(link, At("no arguments.lnk")), 0u);
  ASSERT_EQ(P().InstallShell().ReadShellLink(At("no arguments.lnk"), read), 0u);
  EXPECT_BYTES(read.arguments, "");
  EXPECT_NE(P().InstallShell().ReadShellLink(At("missing.lnk"), read), 0u);
}

TEST_F(ContractTest, ErrorTextsAndFullWidthMapping) {
  const std::string notFound = System().ErrorText(error::kFileNotFound);
  const std::string denied = System().ErrorText(error::kAccessDenied);
  const std::string sharing = System().ErrorText(error::kSharingViolation);
  for (const std::string& text : {notFound, denied, sharing}) {
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << test::Readable(text);
  }
  EXPECT_NE(notFound, denied);
  EXPECT_NE(denied, sharing);
  // The texts of a Japanese system.
  const std::pair<Error, const char*> texts[] = {
      {error::kFileNotFound, "ファイルが見つかりません。\r\n"},
      {error::kPathNotFound, "パスが見つかりません。\r\n"},
      {error::kAccessDenied, "アクセスが拒否されました。\r\n"},
      {error::kSharingViolation, "共有違反です。\r\n"},
      {error::kFileExists, "ファイルはすでに存在します。\r\n"},
      {112, "ディスクがいっぱいです。\r\n"},
  };
  for (const auto& [code, text] : texts) EXPECT_BYTES(System().ErrorText(code), text) << code;
  EXPECT_BYTES(System().FullWidth("Ab1 (x)\\~表"), "Ａｂ１　（ｘ）\\～表");
  EXPECT_BYTES(System().FullWidth("ｱｲｳ"), "アイウ");
}

TEST_F(ContractTest, MissingProgramsAndLibrariesFail) {
  std::unique_ptr<Process> process;
  EXPECT_EQ(P().Processes().StartProcess(At("missing.exe"), "", 1, process), error::kFileNotFound);
  EXPECT_EQ(process, nullptr);
  std::unique_ptr<Module> module;
  EXPECT_EQ(P().Processes().LoadModule(At("missing.dll"), module), error::kModNotFound);
  EXPECT_EQ(module, nullptr);
  EXPECT_EQ(P().InstallShell().Execute("open", At("missing.txt"), "", "", 1), 2u);  // SE_ERR_FNF
}

}  // namespace
}  // namespace ov::contract

namespace ov::contract {
namespace {

// A value cut by a small buffer inside a double-byte character: the count is still the
// buffer size less one, and the half character becomes a zero byte. (The installer's
// profile reading grows its buffer on exactly that count.)
TEST_F(ContractTest, ProfileValuesCutInsideADoubleByteCharacter) {
  const std::string file = At("wide.ini");
  ASSERT_EQ(Files().WriteContents(file, "[S]\r\nWide=ソソソ\r\n"), 0u);
  const std::pair<std::uint32_t, std::string> rows[] = {
      {3, "ソ"}, {4, std::string("ソ\0", 3)}, {5, "ソソ"}, {6, std::string("ソソ\0", 5)}, {7, "ソソソ"}, {8, "ソソソ"},
  };
  for (const auto& [size, expected] : rows) {
    std::string buffer;
    EXPECT_EQ(Profile().GetString("S", "Wide", "", buffer, size, file), expected.size()) << size;
    EXPECT_BYTES(buffer, expected) << size;
  }
}

}  // namespace
}  // namespace ov::contract
