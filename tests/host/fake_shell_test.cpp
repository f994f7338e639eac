// The fake's shell file operation beyond the contract: the questions it asks through the
// callback (yes, yes to all, no, cancel), the recycle bin, failure injection and moves
// across volumes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace ov::platform::fake {
namespace {

using Names = std::vector<std::string>;

class Answers : public ShellQuestions {
 public:
  explicit Answers(std::vector<ShellAnswer> answers) : answers_(std::move(answers)) {}
  ShellAnswer Ask(ShellQuestion, const std::string&) override { return answers_.at(next_++); }

 private:
  std::vector<ShellAnswer> answers_;
  std::size_t next_ = 0;
};

class FakeShellTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  // A fresh machine with a.txt, b.txt and c.txt in C:\src ("new") and C:\dst ("old").
  void Reset() {
    machine_ = std::make_unique<FakePlatform>();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      ASSERT_EQ(machine_->Files().PutFile(std::string("C:\\src\\") + name, "new"), 0u);
      ASSERT_EQ(machine_->Files().PutFile(std::string("C:\\dst\\") + name, "old"), 0u);
    }
  }
  ShellFileResult Move(std::uint32_t flags = 0) {
    ShellFileOperation operation;
    operation.function = shell_function::kMove;
    operation.sources = {"C:\\src\\a.txt", "C:\\src\\b.txt", "C:\\src\\c.txt"};
    operation.destination = "C:\\dst";
    operation.flags = flags;
    return machine_->Shell().FileOperation(operation);
  }
  std::string Contents(const std::string& path) {
    std::string contents;
    machine_->Files().ReadContents(path, contents);
    return contents;
  }
  std::string Dst() {
    return Contents("C:\\dst\\a.txt") + "," + Contents("C:\\dst\\b.txt") + "," + Contents("C:\\dst\\c.txt");
  }

  std::unique_ptr<FakePlatform> machine_;
};

TEST_F(FakeShellTest, EachAnswerToTheReplaceQuestion) {
  struct Case {
    std::vector<ShellAnswer> answers;
    std::string dst;
    std::size_t asked;
    int code;
  };
  const std::vector<Case> cases = {
      {{ShellAnswer::kYes, ShellAnswer::kNo, ShellAnswer::kYes}, "new,old,new", 3, 0},
      {{ShellAnswer::kNo, ShellAnswer::kYesToAll}, "old,new,new", 2, 0},
      {{ShellAnswer::kYes, ShellAnswer::kCancel}, "new,old,old", 2, kShellCancelled},
  };
  for (const Case& c : cases) {
    Reset();
    Answers answers(c.answers);
    machine_->Shell().SetQuestions(&answers);
    const ShellFileResult result = Move();
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.aborted, c.code == kShellCancelled);
    EXPECT_EQ(Dst(), c.dst);
    EXPECT_EQ(machine_->Shell().Asked().size(), c.asked);
  }
}

TEST_F(FakeShellTest, NoConfirmationAsksNothing) {
  Answers none({});
  machine_->Shell().SetQuestions(&none);
  EXPECT_EQ(Move(shell_flag::kNoConfirmation).code, 0);
  EXPECT_EQ(Dst(), "new,new,new");
  EXPECT_TRUE(machine_->Shell().Asked().empty());
}

TEST_F(FakeShellTest, DeleteAsksOnceAndRecyclesWithUndo) {
  ShellFileOperation operation;
  operation.function = shell_function::kDelete;
  operation.sources = {"C:\\src\\a.txt", "C:\\dst"};
  Answers no({ShellAnswer::kNo});
  machine_->Shell().SetQuestions(&no);
  EXPECT_EQ(machine_->Shell().FileOperation(operation).code, 0);
  EXPECT_TRUE(FileExists(machine_->Files(), "C:\\src\\a.txt"));

  Answers yes({ShellAnswer::kYes});
  machine_->Shell().SetQuestions(&yes);
  operation.flags = shell_flag::kAllowUndo;
  EXPECT_EQ(machine_->Shell().FileOperation(operation).code, 0);
  EXPECT_FALSE(FileExists(machine_->Files(), "C:\\src\\a.txt"));
  EXPECT_FALSE(FolderExists(machine_->Files(), "C:\\dst"));
  ASSERT_EQ(machine_->Shell().RecycleBin().size(), 2u);
  EXPECT_EQ(machine_->Shell().RecycleBin()[1].path, "C:\\dst");
  EXPECT_TRUE(machine_->Shell().RecycleBin()[1].folder);
  EXPECT_EQ(machine_->Shell().Asked().size(), 2u);

  // Without undo nothing goes to the bin.
  operation.sources = {"C:\\src\\b.txt"};
  operation.flags = shell_flag::kNoConfirmation;
  EXPECT_EQ(machine_->Shell().FileOperation(operation).code, 0);
  EXPECT_EQ(machine_->Shell().RecycleBin().size(), 2u);
}

TEST_F(FakeShellTest, InjectedFailuresStopTheOperation) {
  machine_->Failures().FailCall("SHFileOperationA", 1, error::kAccessDenied);
  EXPECT_EQ(Move(shell_flag::kNoConfirmation).code, static_cast<int>(error::kAccessDenied));
  EXPECT_EQ(Dst(), "old,old,old");
  // A locked file inside the operation: the ones before it moved, the rest stay.
  machine_->Failures().FailPath("DeleteFileA", "dst\\b.txt", error::kSharingViolation);
  EXPECT_EQ(Move(shell_flag::kNoConfirmation).code, static_cast<int>(error::kSharingViolation));
  EXPECT_EQ(Dst(), "new,old,old");
  EXPECT_TRUE(FileExists(machine_->Files(), "C:\\src\\c.txt"));
}

TEST_F(FakeShellTest, FoldersMoveAcrossVolumesByCopying) {
  machine_->Files().AddVolume('D');
  ASSERT_EQ(machine_->Files().PutFile("C:\\tree\\in\\x.txt", "x"), 0u);
  ASSERT_EQ(machine_->Files().MakeFolders("D:\\to"), 0u);
  ShellFileOperation operation;
  operation.function = shell_function::kMove;
  operation.sources = {"C:\\tree"};
  operation.destination = "D:\\to";
  EXPECT_EQ(machine_->Shell().FileOperation(operation).code, 0);
  EXPECT_EQ(Contents("D:\\to\\tree\\in\\x.txt"), "x");
  EXPECT_FALSE(FolderExists(machine_->Files(), "C:\\tree"));
}

// Wine's shell: no question at all. A file or a folder replaces a file; before a folder a
// file stays in its source, and a folder stays unmerged.
TEST_F(FakeShellTest, WithoutAskingAFileOrFolderReplacesAFileAndAFolderIsLeft) {
  EXPECT_TRUE(machine_->Shell().AsksBeforeReplacing());
  machine_->Shell().SetReplacesWithoutAsking(true);
  EXPECT_FALSE(machine_->Shell().AsksBeforeReplacing());
  Answers none({});
  machine_->Shell().SetQuestions(&none);
  FakeFiles& files = machine_->Files();
  ASSERT_EQ(files.PutFile("C:\\src\\y\\in.txt", "src y"), 0u);        // a folder over a file
  ASSERT_EQ(files.PutFile("C:\\dst\\y", "dst y"), 0u);
  ASSERT_EQ(files.PutFile("C:\\src\\z", "src z"), 0u);                  // a file over a folder
  ASSERT_EQ(files.PutFile("C:\\dst\\z\\in.txt", "dst z"), 0u);
  ASSERT_EQ(files.PutFile("C:\\src\\w\\in.txt", "src w"), 0u);        // a folder over a folder
  ASSERT_EQ(files.PutFile("C:\\dst\\w\\mine.txt", "dst w"), 0u);
  ShellFileOperation operation;
  operation.function = shell_function::kMove;
  operation.sources = {"C:\\src\\*.*"};
  operation.destination = "C:\\dst";
  EXPECT_EQ(machine_->Shell().FileOperation(operation).code, 0);
  EXPECT_TRUE(machine_->Shell().Asked().empty());
  EXPECT_EQ(Dst(), "new,new,new");
  EXPECT_EQ(Contents("C:\\dst\\y\\in.txt"), "src y");
  EXPECT_EQ(Contents("C:\\src\\z"), "src z");
  EXPECT_EQ(Contents("C:\\dst\\z\\in.txt"), "dst z");
  EXPECT_EQ(Contents("C:\\src\\w\\in.txt"), "src w");
  EXPECT_FALSE(FileExists(files, "C:\\dst\\w\\in.txt"));
}

}  // namespace
}  // namespace ov::platform::fake
