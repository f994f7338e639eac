// The shell's file operation: moves of lists and of whole folder contents, replacement,
// deletion and missing sources, as SHFileOperationA does them. Every case that could meet
// a question runs with FOF_NOCONFIRMATION, so no dialog can wait for a user.
#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "support/readable.h"

#include <algorithm>

namespace ov::contract {
namespace {

using namespace platform;
using Names = std::vector<std::string>;

constexpr std::uint32_t kQuiet = shell_flag::kNoConfirmation | shell_flag::kSilent | shell_flag::kNoErrorUi;

class ShellContract : public ContractTest {
 protected:
  // Writes a file, creating the folders on its way.
  void Write(const std::string& relative, const std::string& contents = "x") {
    for (std::size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1)) {
      Files().CreateFolder(At(relative.substr(0, at)));
    }
    ASSERT_EQ(Files().WriteContents(At(relative), contents), error::kSuccess) << relative;
  }
  void Folder(const std::string& relative) {
    ASSERT_EQ(Files().CreateFolder(At(relative)), error::kSuccess) << relative;
  }
  std::string Read(const std::string& relative) {
    std::string contents;
    Files().ReadContents(At(relative), contents);
    return contents;
  }
  bool Exists(const std::string& relative) {
    std::uint32_t attributes = 0;
    return Files().GetAttributes(At(relative), attributes) == error::kSuccess;
  }
  Names List(const std::string& pattern) {
    Names names = FindNames(Files(), At(pattern));
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    return names;
  }
  ShellFileResult Run(std::uint32_t function, const Names& relativeSources, const std::string& relativeTo,
                      std::uint32_t flags) {
    ShellFileOperation operation;
    operation.function = function;
    for (const std::string& source : relativeSources) operation.sources.push_back(At(source));
    if (!relativeTo.empty()) operation.destination = At(relativeTo);
    operation.flags = flags;
    operation.progressTitle = "ファイル名による自動分類";
    return P().Shell().FileOperation(operation);
  }
};

TEST_F(ShellContract, MovesSeveralFilesIntoAFolderWithoutFlags) {
  Write("IMG_0001.jpg", "one");
  Write("IMG_0002.jpg", "two");
  Write("スーパー01.jpg", "three");
  Folder("IMG");
  // Flags 0, as the series tool moves: nothing collides, so no question comes up.
  const ShellFileResult result = Run(shell_function::kMove, {"IMG_0001.jpg", "IMG_0002.jpg", "スーパー01.jpg"}, "IMG", 0);
  EXPECT_EQ(result.code, 0);
  EXPECT_FALSE(result.aborted);
  EXPECT_EQ(List("*"), Names({"IMG"}));
  EXPECT_EQ(List("IMG\\*"), Names({"IMG_0001.jpg", "IMG_0002.jpg", "スーパー01.jpg"}));
  EXPECT_EQ(Read("IMG\\IMG_0002.jpg"), "two");
}

TEST_F(ShellContract, StarDotStarSourcesMoveAllEntriesIntoTheTarget) {
  Write("alpha\\a.txt", "a");
  Write("alpha\\sub\\deep.txt", "alpha deep");
  Write("Gamma\\g.txt", "g");
  Write("Gamma\\only\\x.txt", "x");
  Write("Beta\\b.txt", "b");
  // Flags 0, as the folder combine moves: nothing collides.
  const ShellFileResult result = Run(shell_function::kMove, {"alpha\\*.*", "Gamma\\*.*"}, "Beta", 0);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(List("Beta\\*"), Names({"a.txt", "b.txt", "g.txt", "only", "sub"}));
  EXPECT_EQ(Read("Beta\\sub\\deep.txt"), "alpha deep");
  EXPECT_EQ(Read("Beta\\only\\x.txt"), "x");
  // The sources stay, empty, for the caller to remove.
  EXPECT_EQ(List("alpha\\*"), Names());
  EXPECT_EQ(Files().RemoveFolder(At("alpha")), error::kSuccess);
  EXPECT_EQ(Files().RemoveFolder(At("Gamma")), error::kSuccess);
}

TEST_F(ShellContract, ASubFolderThatExistsInTheTargetIsMergedWhenConfirmed) {
  Write("alpha\\sub\\deep.txt", "alpha deep");
  Write("Beta\\sub\\mine.txt", "beta");
  const ShellFileResult result = Run(shell_function::kMove, {"alpha\\*.*"}, "Beta", kQuiet);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(Read("Beta\\sub\\mine.txt"), "beta");
  if (Wine(WineDeviation::kShellLeavesACollidingSubFolderUnmerged)) {
    EXPECT_EQ(List("alpha\\sub\\*"), Names({"deep.txt"}));
    EXPECT_EQ(List("Beta\\sub\\*"), Names({"mine.txt"}));
  } else {
    EXPECT_EQ(List("Beta\\sub\\*"), Names({"deep.txt", "mine.txt"}));
    EXPECT_EQ(List("alpha\\*"), Names());
  }
}

TEST_F(ShellContract, MoveOntoAnExistingNameReplacesItWithoutConfirmation) {
  Write("a.txt", "new");
  Write("b.txt", "b");
  Write("dir\\a.txt", "old");
  const ShellFileResult result = Run(shell_function::kMove, {"a.txt", "b.txt"}, "dir", kQuiet);
  EXPECT_EQ(result.code, 0);
  EXPECT_FALSE(result.aborted);
  EXPECT_EQ(Read("dir\\a.txt"), "new");
  EXPECT_EQ(List("*"), Names({"dir"}));
}

TEST_F(ShellContract, CopyKeepsTheSources) {
  Write("a.txt", "a");
  Write("sub\\b.txt", "b");
  Folder("dir");
  EXPECT_EQ(Run(shell_function::kCopy, {"a.txt", "sub"}, "dir", kQuiet).code, 0);
  EXPECT_EQ(Read("dir\\sub\\b.txt"), "b");
  EXPECT_EQ(Read("dir\\a.txt"), "a");
  EXPECT_TRUE(Exists("sub\\b.txt"));
  EXPECT_TRUE(Exists("a.txt"));
}

TEST_F(ShellContract, DeleteRemovesFilesAndFoldersWithOrWithoutUndo) {
  Write("a.txt");
  Write("tree\\inner\\b.txt");
  Write("keep.txt");
  EXPECT_EQ(Run(shell_function::kDelete, {"a.txt", "tree"}, "", kQuiet).code, 0);
  EXPECT_EQ(List("*"), Names({"keep.txt"}));

  // With undo the file goes to the recycle bin (Wine's trash): gone from its folder.
  Write("recycled.txt");
  EXPECT_EQ(Run(shell_function::kDelete, {"recycled.txt"}, "", kQuiet | shell_flag::kAllowUndo).code, 0);
  EXPECT_FALSE(Exists("recycled.txt"));
  EXPECT_TRUE(Exists("keep.txt"));
}

TEST_F(ShellContract, MissingSourceMovesNothing) {
  Folder("dir");
  const ShellFileResult result = Run(shell_function::kMove, {"missing.txt"}, "dir", kQuiet);
  if (Wine(WineDeviation::kShellMoveOfAMissingSourceSucceeds)) {
    EXPECT_EQ(result.code, 0);
  } else {
    EXPECT_EQ(result.code, static_cast<int>(error::kFileNotFound));
  }
  EXPECT_EQ(List("dir\\*"), Names());
  EXPECT_EQ(List("*"), Names({"dir"}));
}

TEST_F(ShellContract, RenameGivesANewName) {
  Write("a.txt", "a");
  EXPECT_EQ(Run(shell_function::kRename, {"a.txt"}, "b.txt", kQuiet).code, 0);
  EXPECT_EQ(List("*"), Names({"b.txt"}));
}

// Several entries of a folder, all of them files, moved into another folder: Windows moves
// them. The folder combine does not hand such a move to Wine's shell, which cancels it.
TEST_F(ShellContract, StarDotStarOfAFolderOfFilesMovesThemAll) {
  Write("Q\\a.txt", "a");
  Write("Q\\b.txt", "b");
  Folder("P");
  const ShellFileResult result = Run(shell_function::kMove, {"Q\\*.*"}, "P", kQuiet);
  if (Wine(WineDeviation::kShellCancelsAMoveOfSeveralFilesIntoAFolder)) {
    EXPECT_EQ(result.code, static_cast<int>(error::kCancelled));
    EXPECT_EQ(List("Q\\*"), Names({"a.txt", "b.txt"}));
    EXPECT_EQ(List("P\\*"), Names());
  } else {
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(List("P\\*"), Names({"a.txt", "b.txt"}));
  }
}

// Windows' shell asks before a move without FOF_NOCONFIRMATION replaces an entry of its
// target, and refuses a folder over a file; so does the fake unless told to act as Wine.
// Tools that must keep what the target holds ask the shell first.
TEST_F(ShellContract, AShellThatDoesNotAskReplacesWithoutAQuestion) {
  const bool asks = P().Shell().AsksBeforeReplacing();
  EXPECT_EQ(asks, !Wine(WineDeviation::kShellReplacesWithoutAsking));
  if (asks) return;  // its question would wait for a user
  Write("P\\same.txt", "P same");
  Write("P\\y", "P file y");
  Write("Q\\same.txt", "Q same");
  Write("Q\\y\\in.txt", "Q y in");
  const ShellFileResult result = Run(shell_function::kMove, {"Q\\*.*"}, "P", 0);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(Read("P\\same.txt"), "Q same");
  EXPECT_EQ(Read("P\\y\\in.txt"), "Q y in");
  EXPECT_EQ(List("Q\\*"), Names());
}

}  // namespace
}  // namespace ov::contract
