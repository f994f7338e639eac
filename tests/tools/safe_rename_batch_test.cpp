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

// A file whose new name is its own name (by the name comparison) keeps it, in either order:
// the other file wanting that name fails with the rename message, as for a name held
// outside the batch.
TEST_F(SafeRenameBatchTest, FileThatKeepsItsNameHoldsIt) {
  struct KeepCase {
    const char* title;
    std::vector<std::string> names;
    std::vector<std::size_t> order;
    std::vector<std::string> newNames;
    std::map<std::string, std::string> expected;
    std::vector<std::string> messages;
  };
  const std::vector<KeepCase> cases = {
      {"the bearer second", {"a", "c"}, {0, 1}, {"c", "c"},
       {{"a", "was a"}, {"c", "was c"}}, {RenameMessage("a", "c")}},
      {"the bearer first", {"a", "c"}, {1, 0}, {"c", "c"},
       {{"a", "was a"}, {"c", "was c"}}, {RenameMessage("a", "c")}},
      {"extension table .jpeg=.jpg", {"x.jpeg", "x.jpg"}, {0, 1}, {"x.jpg", "x.jpg"},
       {{"x.jpeg", "was x.jpeg"}, {"x.jpg", "was x.jpg"}}, {RenameMessage("x.jpeg", "x.jpg")}},
      {"number removal (000)", {"photo(1).jpg", "photo.jpg"}, {0, 1}, {"photo.jpg", "photo.jpg"},
       {{"photo(1).jpg", "was photo(1).jpg"}, {"photo.jpg", "was photo.jpg"}},
       {RenameMessage("photo(1).jpg", "photo.jpg")}},
      // In the selection's order a.txt comes first and is skipped as already named.
      {"number removal -000", {"a.txt", "a-1.txt", "a-2.txt"}, {0, 1, 2}, {"a.txt", "a.txt", "a.txt"},
       {{"a.txt", "was a.txt"}, {"a-1.txt", "was a-1.txt"}, {"a-2.txt", "was a-2.txt"}},
       {RenameMessage("a-1.txt", "a.txt"), RenameMessage("a-2.txt", "a.txt")}},
      {"kept in another letter case", {"a", "B"}, {0, 1}, {"b", "b"},
       {{"a", "was a"}, {"B", "was B"}}, {RenameMessage("a", "b")}},
      // Rotations and swaps around a file that keeps its name still work.
      {"rotation past a keeper", {"a", "b", "k", "c"}, {0, 1, 2, 3}, {"b", "c", "k", "d"},
       {{"b", "was a"}, {"c", "was b"}, {"d", "was c"}, {"k", "was k"}}, {}},
      {"swap around a keeper", {"a", "k", "b"}, {0, 1, 2}, {"b", "k", "a"},
       {{"a", "was b"}, {"b", "was a"}, {"k", "was k"}}, {}},
  };
  for (const KeepCase& c : cases) {
    SCOPED_TRACE(c.title);
    FakePlatform fresh;
    std::vector<std::string> batch;
    for (const std::string& name : c.names) {
      ASSERT_EQ(fresh.Files().PutFile(dir_ + name, "was " + name), 0u);
      batch.push_back(dir_ + name);
    }
    std::vector<std::string> messages;
    SafeRenameBatch(fresh, batch, c.order, [&](std::size_t k, std::size_t) { return c.newNames[k]; },
                    [&](const std::string& text) { messages.push_back(text); });
    std::map<std::string, std::string> files;
    for (const auto& [name, contents] : c.expected) {
      std::string read;
      EXPECT_EQ(fresh.Files().ReadContents(dir_ + name, read), 0u) << test::Readable(name);
      EXPECT_EQ(read, contents) << test::Readable(name);
    }
    platform::FindEntry entry;
    std::unique_ptr<platform::FileSearch> search;
    std::size_t count = 0;
    if (fresh.Files().FindFirst(dir_ + "*", entry, search) == 0) {
      do count += (entry.attributes & platform::attribute::kDirectory) ? 0 : 1;
      while (search->Next(entry) == 0);
    }
    EXPECT_EQ(count, c.expected.size()) << "no temporary file is left";
    ASSERT_EQ(messages.size(), c.messages.size());
    for (std::size_t i = 0; i < messages.size(); ++i) EXPECT_BYTES(messages[i], c.messages[i]);
  }
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

// A new name that is no file name of the file's own folder is never given: the rename
// message, and the file stays; a file with such a name holds its own name.
TEST_F(SafeRenameBatchTest, NameThatIsNoFileNameIsNeverGiven) {
  const std::vector<std::string> invalid = {"..\\t.txt", "", ".", "..", "a.", "a ", "CON", "lpt1.txt",
                                            "a|b", "a:b", "a/b", "a?", "a*", "a<b", "a>b", "a\"b", "sub\\t"};
  for (const std::string& name : invalid) {
    SCOPED_TRACE(test::Readable(name));
    FakePlatform fresh;
    ASSERT_EQ(fresh.Files().PutFile("C:\\photos\\sub\\keep", "was keep"), 0u);
    ASSERT_EQ(fresh.Files().PutFile(dir_ + "f", "was f"), 0u);
    ASSERT_EQ(fresh.Files().PutFile(dir_ + "g", "was g"), 0u);
    std::vector<std::string> messages;
    // f is given the invalid name; g wants f's name.
    const std::vector<std::string> newNames = {name, "f"};
    SafeRenameBatch(fresh, {dir_ + "f", dir_ + "g"}, {0, 1}, [&](std::size_t k, std::size_t) { return newNames[k]; },
                    [&](const std::string& text) { messages.push_back(text); });
    EXPECT_EQ(fresh.Failures().Calls("MoveFileA"), 1u);  // only g's attempt
    std::string read;
    EXPECT_EQ(fresh.Files().ReadContents(dir_ + "f", read), 0u);
    EXPECT_EQ(read, "was f");
    EXPECT_EQ(fresh.Files().ReadContents(dir_ + "g", read), 0u);
    EXPECT_EQ(read, "was g");
    EXPECT_EQ(fresh.Files().ReadContents("C:\\photos\\sub\\keep", read), 0u);
    EXPECT_EQ(read, "was keep");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_BYTES(messages[0], RenameMessage("f", name));
    EXPECT_BYTES(messages[1], RenameMessage("g", "f"));
  }
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
