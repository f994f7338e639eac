#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shellext/tools/safe_rename_batch.h"
#include "support/readable.h"

namespace ov::shellext {
namespace {

using platform::FakePlatform;

// A folder of files on the fake machine, each holding its own name as contents, so that
// every test can tell which file ended under which name.
class SafeRenameBatchTest : public ::testing::Test {
 protected:
  std::vector<std::string> Put(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      EXPECT_EQ(platform_.Files().PutFile(folder + name, "was " + name), 0u);
      paths.push_back(folder + name);
    }
    return paths;
  }

  // name -> contents of every file in the folder.
  std::map<std::string, std::string> Folder(const std::string& folder) {
    std::map<std::string, std::string> files;
    platform::FindEntry entry;
    std::unique_ptr<platform::FileSearch> search;
    if (platform_.Files().FindFirst(folder + "*", entry, search) != 0) return files;
    do {
      if (entry.attributes & platform::attribute::kDirectory) continue;
      std::string contents;
      platform_.Files().ReadContents(folder + entry.name, contents);
      files[entry.name] = contents;
    } while (search->Next(entry) == 0);
    return files;
  }

  void Run(const std::vector<std::string>& batch, const std::vector<std::size_t>& order,
           const std::vector<std::string>& newNames) {
    SafeRenameBatch(platform_, batch, order,
                    [&](std::size_t k, std::size_t) { return newNames[k]; },
                    [&](const std::string& text) { messages_.push_back(text); });
  }

  static std::string RenameMessage(const std::string& from, const std::string& to) {
    return std::string(kRenameFailedMessage) + "\r\nFrom: " + from + "\r\nTo: " + to;
  }

  std::vector<std::size_t> InOrder(std::size_t count) {
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    return order;
  }

  FakePlatform platform_;
  std::vector<std::string> messages_;
  const std::string dir_ = "C:\\photos\\";
};

TEST_F(SafeRenameBatchTest, RotationMovesEachHolderAsideAndLeavesNoTemporaryFile) {
  const auto batch = Put(dir_, {"a", "b", "c"});
  Run(batch, InOrder(3), {"b", "c", "d"});
  const std::map<std::string, std::string> expected = {{"b", "was a"}, {"c", "was b"}, {"d", "was c"}};
  EXPECT_EQ(Folder(dir_), expected);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SafeRenameBatchTest, SwapMovesOnlyTheFirstHolderAside) {
  const auto batch = Put(dir_, {"a", "b"});
  Run(batch, InOrder(2), {"b", "a"});
  const std::map<std::string, std::string> expected = {{"a", "was b"}, {"b", "was a"}};
  EXPECT_EQ(Folder(dir_), expected);
  EXPECT_TRUE(messages_.empty());
  // The working list follows each rename: a is free when the second file's turn comes.
  EXPECT_EQ(platform_.Failures().Calls("GetTempFileNameA"), 1u);
}

TEST_F(SafeRenameBatchTest, ProcessingOrderDecidesWhoMovesFirst) {
  const auto batch = Put(dir_, {"a", "b", "c"});
  // c takes b (b moves aside), then b takes a from its temporary name, then a becomes x.
  Run(batch, {2, 1, 0}, {"x", "a", "b"});
  const std::map<std::string, std::string> expected = {{"a", "was b"}, {"b", "was c"}, {"x", "was a"}};
  EXPECT_EQ(Folder(dir_), expected);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SafeRenameBatchTest, TargetHeldOutsideTheBatchIsNeverTouched) {
  const auto batch = Put(dir_, {"a", "b"});
  Put(dir_, {"x"});
  Run(batch, InOrder(2), {"x", "y"});
  const std::map<std::string, std::string> expected = {{"a", "was a"}, {"x", "was x"}, {"y", "was b"}};
  EXPECT_EQ(Folder(dir_), expected);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_BYTES(messages_[0], RenameMessage("a", "x"));
}

TEST_F(SafeRenameBatchTest, NameThatDiffersOnlyInCaseIsLeftAlone) {
  const auto batch = Put(dir_, {"a.TXT", "B.txt"});
  Run(batch, InOrder(2), {"A.txt", "b.TXT"});
  EXPECT_EQ(platform_.Failures().Calls("MoveFileA"), 0u);
  EXPECT_EQ(platform_.Failures().Calls("GetTempFileNameA"), 0u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SafeRenameBatchTest, SameNewNameForTwoFilesThatDoNotBearIt) {
  const auto batch = Put(dir_, {"a", "b"});
  Run(batch, InOrder(2), {"c", "c"});
  const std::map<std::string, std::string> expected = {{"b", "was b"}, {"c", "was a"}};
  EXPECT_EQ(Folder(dir_), expected);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_BYTES(messages_[0], RenameMessage("b", "c"));
}

// A file that got its new name in this run holds it: x.txt took "t", ta1 took "ta"; ta2,
// wanting "ta" too, fails instead of moving ta1 aside under a temporary name.
TEST_F(SafeRenameBatchTest, NameGivenInThisRunIsNeverMovedAside) {
  const auto batch = Put(dir_, {"ta.txt", "ta1.txt", "ta2.txt"});
  Run(batch, InOrder(3), {"t.txt", "ta.txt", "ta.txt"});
  const std::map<std::string, std::string> expected = {
      {"t.txt", "was ta.txt"}, {"ta.txt", "was ta1.txt"}, {"ta2.txt", "was ta2.txt"}};
  EXPECT_EQ(Folder(dir_), expected);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_BYTES(messages_[0], RenameMessage("ta2.txt", "ta.txt"));
  EXPECT_EQ(platform_.Failures().Calls("GetTempFileNameA"), 0u);
}

// A file processed already, whose own rename failed, keeps the name it has.
TEST_F(SafeRenameBatchTest, FileWhoseRenameFailedIsNotMovedAsideLater) {
  const auto batch = Put(dir_, {"a", "b"});
  platform_.Failures().FailPath("MoveFileA", dir_ + "a", platform::error::kSharingViolation,
                                platform::fake::PathMatch::kEquals);
  Run(batch, InOrder(2), {"x", "a"});
  const std::map<std::string, std::string> expected = {{"a", "was a"}, {"b", "was b"}};
  EXPECT_EQ(Folder(dir_), expected);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_BYTES(messages_[0], RenameMessage("a", "x"));
  EXPECT_BYTES(messages_[1], RenameMessage("b", "a"));
}

TEST_F(SafeRenameBatchTest, NoTemporaryNameStopsTheRun) {
  const auto batch = Put(dir_, {"a", "b", "c"});
  platform_.Failures().FailCall("GetTempFileNameA", 1, platform::error::kAccessDenied);
  // a -> x succeeds; b -> c needs c moved aside: no name, the run stops before c -> d.
  Run(batch, InOrder(3), {"x", "c", "d"});
  const std::map<std::string, std::string> expected = {{"b", "was b"}, {"c", "was c"}, {"x", "was a"}};
  EXPECT_EQ(Folder(dir_), expected);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_BYTES(messages_[0], kTempNameFailedMessage);
}

TEST_F(SafeRenameBatchTest, FailedMoveAsideIsSilentAndTheRenameReportsIt) {
  const auto batch = Put(dir_, {"a", "b"});
  platform_.Failures().FailCall("DeleteFileA", 1, platform::error::kAccessDenied);
  Run(batch, InOrder(2), {"b", "z"});
  const auto files = Folder(dir_);
  // The empty temporary file stays; a keeps its name; b still gets its own new name.
  EXPECT_EQ(files.at("a"), "was a");
  EXPECT_EQ(files.at("z"), "was b");
  ASSERT_EQ(files.size(), 3u);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_BYTES(messages_[0], RenameMessage("a", "b"));
}

TEST_F(SafeRenameBatchTest, FailedRenameGoesOnWithTheNextFile) {
  const auto batch = Put(dir_, {"a", "b"});
  platform_.Failures().FailPath("MoveFileA", dir_ + "a", platform::error::kSharingViolation,
                                platform::fake::PathMatch::kEquals);
  Run(batch, InOrder(2), {"x", "y"});
  const std::map<std::string, std::string> expected = {{"a", "was a"}, {"y", "was b"}};
  EXPECT_EQ(Folder(dir_), expected);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_BYTES(messages_[0], RenameMessage("a", "x"));
}

TEST_F(SafeRenameBatchTest, DoubleByteNamesWithTrailByte5CKeepTheirFolder) {
  const std::string folder = "C:\\表\\ソフト\\";
  const auto batch = Put(folder, {"ソ1.txt", "ソ2.txt"});
  Run(batch, InOrder(2), {"ソ2.txt", "表3.txt"});
  const std::map<std::string, std::string> expected = {{"ソ2.txt", "was ソ1.txt"}, {"表3.txt", "was ソ2.txt"}};
  EXPECT_EQ(Folder(folder), expected);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SafeRenameBatchTest, FilesInSeveralFoldersStayInTheirOwn) {
  const auto one = Put("C:\\one\\", {"a"});
  platform_.Files().AddVolume('D');
  const auto twoAgain = Put("D:\\two\\", {"a"});
  Run({one[0], twoAgain[0]}, InOrder(2), {"b", "b"});
  EXPECT_EQ(Folder("C:\\one\\").count("b"), 1u);
  EXPECT_EQ(Folder("D:\\two\\").count("b"), 1u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SafeRenameBatchTest, RunningTheSameBatchTwiceChangesNothingTheSecondTime) {
  auto batch = Put(dir_, {"a", "b", "c"});
  Run(batch, InOrder(3), {"b", "c", "d"});
  const auto afterFirst = Folder(dir_);
  const std::vector<std::string> renamed = {dir_ + "b", dir_ + "c", dir_ + "d"};
  platform_.Failures().ClearLog();
  const auto movesBefore = platform_.Failures().Calls("MoveFileA");
  Run(renamed, InOrder(3), {"b", "c", "d"});
  EXPECT_EQ(Folder(dir_), afterFirst);
  EXPECT_EQ(platform_.Failures().Calls("MoveFileA"), movesBefore);
}

TEST_F(SafeRenameBatchTest, LongRotationEndsWithEveryFileOneStepOn) {
  constexpr std::size_t kCount = 3000;
  platform_.Failures().SetLogging(false);
  std::vector<std::string> names;
  std::vector<std::string> newNames;
  for (std::size_t i = 0; i < kCount; ++i) {
    names.push_back("f" + std::to_string(i));
    newNames.push_back("f" + std::to_string(i + 1));
  }
  const auto batch = Put(dir_, names);
  Run(batch, InOrder(kCount), newNames);
  const auto files = Folder(dir_);
  ASSERT_EQ(files.size(), kCount);
  EXPECT_EQ(files.at("f1"), "was f0");
  EXPECT_EQ(files.at("f" + std::to_string(kCount)), "was f" + std::to_string(kCount - 1));
  EXPECT_EQ(files.count("f0"), 0u);
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
}  // namespace ov::shellext
