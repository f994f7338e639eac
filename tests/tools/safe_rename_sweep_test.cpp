// Fault injection over SafeRenameBatch: for each batch, every platform call of a clean run
// is made to fail in turn (and every pair of them), on the fake. After each run every
// original file exists exactly once, under its old name, its new name or a temporary "RNF"
// name; nothing is overwritten; and the messages are exactly those the failed calls call
// for: the temporary-name message (ending the run) for a temporary name that could not be
// drawn, the rename message for a rename to a new name that failed, nothing otherwise.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/path_parts.h"
#include "platform/fake/fake_platform.h"
#include "shellext/tools/safe_rename_batch.h"
#include "support/readable.h"

namespace ov::shellext {
namespace {

using platform::Error;
using platform::FakePlatform;

// One file operation as the batch made it, with the answer it got.
struct Record {
  std::string operation;
  std::string path;
  std::string path2;
  Error result = 0;
};

// The fake's file operations, each recorded with its result.
class RecordingFiles : public platform::FileApi {
 public:
  explicit RecordingFiles(platform::FileApi& inner) : inner_(inner) {}
  std::vector<Record> records;

  Error GetAttributes(const std::string& path, std::uint32_t& attributes) override {
    return Keep("GetFileAttributesA", path, "", inner_.GetAttributes(path, attributes));
  }
  Error SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return Keep("SetFileAttributesA", path, "", inner_.SetAttributes(path, attributes));
  }
  Error FindFirst(const std::string& pattern, platform::FindEntry& first,
                  std::unique_ptr<platform::FileSearch>& search) override {
    return Keep("FindFirstFileA", pattern, "", inner_.FindFirst(pattern, first, search));
  }
  Error Move(const std::string& from, const std::string& to) override {
    return Keep("MoveFileA", from, to, inner_.Move(from, to));
  }
  Error Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    return Keep("CopyFileA", from, to, inner_.Copy(from, to, failIfExists));
  }
  Error Delete(const std::string& path) override { return Keep("DeleteFileA", path, "", inner_.Delete(path)); }
  Error CreateFolder(const std::string& path) override {
    return Keep("CreateDirectoryA", path, "", inner_.CreateFolder(path));
  }
  Error RemoveFolder(const std::string& path) override {
    return Keep("RemoveDirectoryA", path, "", inner_.RemoveFolder(path));
  }
  Error TempFileName(const std::string& folder, const std::string& prefix, std::uint32_t unique,
                     std::string& path) override {
    const Error result = inner_.TempFileName(folder, prefix, unique, path);
    return Keep("GetTempFileNameA", folder, result == 0 ? path : "", result);
  }
  Error ShortPathName(const std::string& path, std::string& shortPath) override {
    return Keep("GetShortPathNameA", path, "", inner_.ShortPathName(path, shortPath));
  }
  Error GetLastWriteTime(const std::string& path, platform::FileTime& time) override {
    return Keep("GetFileTime", path, "", inner_.GetLastWriteTime(path, time));
  }
  Error SetLastWriteTime(const std::string& path, platform::FileTime time) override {
    return Keep("SetFileTime", path, "", inner_.SetLastWriteTime(path, time));
  }
  Error ReadContents(const std::string& path, std::string& contents) override {
    return Keep("ReadFile", path, "", inner_.ReadContents(path, contents));
  }
  Error WriteContents(const std::string& path, const std::string& contents) override {
    return Keep("WriteFile", path, "", inner_.WriteContents(path, contents));
  }

 private:
  Error Keep(const char* operation, const std::string& path, const std::string& path2, Error result) {
    records.push_back({operation, path, path2, result});
    return result;
  }
  platform::FileApi& inner_;
};

class RecordingPlatform : public platform::Platform {
 public:
  explicit RecordingPlatform(FakePlatform& inner) : inner_(inner), files_(inner.Files()) {}
  RecordingFiles& Files() override { return files_; }
  platform::RegistryApi& Registry() override { return inner_.Registry(); }
  platform::ProfileApi& Profile() override { return inner_.Profile(); }
  platform::SystemApi& System() override { return inner_.System(); }
  platform::ShellApi& Shell() override { return inner_.Shell(); }

 private:
  FakePlatform& inner_;
  RecordingFiles files_;
};

struct Sweep {
  const char* title;
  std::vector<std::string> batch;
  std::vector<std::string> outsiders;
  std::vector<std::size_t> order;
  std::vector<std::string> newNames;
};

const Sweep kSweeps[] = {
    {"rotation", {"a", "b", "c", "d"}, {}, {0, 1, 2, 3}, {"b", "c", "d", "e"}},
    {"rotation from the free end", {"a", "b", "c"}, {}, {2, 1, 0}, {"b", "c", "d"}},
    {"swap", {"a", "b"}, {}, {0, 1}, {"b", "a"}},
    {"cycle of three", {"a", "b", "c"}, {}, {0, 1, 2}, {"b", "c", "a"}},
    {"same new name, neither bears it", {"a", "b"}, {}, {0, 1}, {"c", "c"}},
    {"same new name, the bearer first", {"a", "c"}, {}, {1, 0}, {"c", "c"}},
    {"same new name, the bearer second", {"a", "c"}, {}, {0, 1}, {"c", "c"}},
    {"target held outside the batch", {"a", "b", "c"}, {"x"}, {0, 1, 2}, {"x", "c", "d"}},
    // Duplicate targets: a file that got its name is never moved aside for another.
    {"same new name after a name was freed", {"ta", "ta1", "ta2"}, {}, {0, 1, 2}, {"t", "ta", "ta"}},
    {"three files, one new name", {"a", "b", "c"}, {}, {0, 1, 2}, {"d", "d", "d"}},
    {"rotation into a shared name", {"a", "b", "c"}, {}, {0, 1, 2}, {"b", "x", "x"}},
    {"shared name held by the last", {"a", "b", "c"}, {}, {0, 1, 2}, {"c", "c", "d"}},
    // Files that keep their names hold them.
    {"keeper second", {"x.jpeg", "x.jpg"}, {}, {0, 1}, {"x.jpg", "x.jpg"}},
    {"keeper first", {"a", "a-1", "a-2"}, {}, {0, 1, 2}, {"a", "a", "a"}},
    {"rotation past a keeper", {"a", "b", "k", "c"}, {}, {0, 1, 2, 3}, {"b", "c", "k", "d"}},
    {"swap around a keeper", {"a", "k", "b"}, {}, {0, 1, 2}, {"b", "k", "a"}},
    {"keeper differing in case", {"a", "B"}, {}, {0, 1}, {"b", "b"}},
};

void PrintTo(const Sweep& sweep, std::ostream* out) { *out << sweep.title; }

const char kFolder[] = "C:\\work\\";

bool IsTemporaryName(const std::string& name) {
  return name.size() > 7 && name.compare(0, 3, "RNF") == 0 && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

struct Outcome {
  std::vector<Record> records;
  std::vector<std::string> messages;
  std::map<std::string, std::string> folder;  // name -> contents
};

// One run of the batch on a fresh machine; `failures` are (operation, n-th call) pairs.
Outcome RunSweep(const Sweep& sweep, const std::vector<std::pair<std::string, std::uint32_t>>& failures) {
  FakePlatform fake;
  EXPECT_EQ(fake.Files().CreateFolder("C:\\work"), 0u);
  std::vector<std::string> batch;
  for (const std::string& name : sweep.batch) {
    EXPECT_EQ(fake.Files().PutFile(kFolder + name, "was " + name), 0u);
    batch.push_back(kFolder + name);
  }
  for (const std::string& name : sweep.outsiders) EXPECT_EQ(fake.Files().PutFile(kFolder + name, "was " + name), 0u);
  for (const auto& [operation, n] : failures) fake.Failures().FailCall(operation, n, platform::error::kAccessDenied);

  RecordingPlatform platform(fake);
  Outcome outcome;
  SafeRenameBatch(platform, batch, sweep.order, [&](std::size_t k, std::size_t) { return sweep.newNames[k]; },
                  [&](const std::string& text) { outcome.messages.push_back(text); });
  outcome.records = platform.Files().records;

  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  if (fake.Files().FindFirst(std::string(kFolder) + "*", entry, search) == 0) {
    do {
      if (entry.attributes & platform::attribute::kDirectory) continue;
      std::string contents;
      fake.Files().ReadContents(kFolder + entry.name, contents);
      outcome.folder[entry.name] = contents;
    } while (search->Next(entry) == 0);
  }
  return outcome;
}

// The messages that the recorded answers call for.
std::vector<std::string> MessagesCalledFor(const std::vector<Record>& records) {
  std::vector<std::string> messages;
  std::set<std::string> drawn;
  for (const Record& record : records) {
    if (record.operation == "GetTempFileNameA") {
      if (record.result != 0) {
        messages.push_back(kTempNameFailedMessage);
      } else {
        drawn.insert(record.path2);
      }
    } else if (record.operation == "MoveFileA" && drawn.count(record.path2) == 0 && record.result != 0) {
      messages.push_back(std::string(kRenameFailedMessage) + "\r\nFrom: " + base::NamePart(record.path) +
                         "\r\nTo: " + base::NamePart(record.path2));
    }
  }
  return messages;
}

void ExpectNothingLost(const Sweep& sweep, const Outcome& outcome) {
  // Each original content exactly once, under one of the names it may have.
  std::map<std::string, int> seen;
  for (const auto& [name, contents] : outcome.folder) {
    if (contents.empty()) {
      EXPECT_TRUE(IsTemporaryName(name)) << "empty file " << test::Readable(name);
      continue;
    }
    ++seen[contents];
    bool allowed = IsTemporaryName(name);
    for (std::size_t k = 0; k < sweep.batch.size(); ++k) {
      if (contents == "was " + sweep.batch[k]) allowed = allowed || name == sweep.batch[k] || name == sweep.newNames[k];
    }
    for (const std::string& outsider : sweep.outsiders) {
      if (contents == "was " + outsider) allowed = name == outsider;
    }
    EXPECT_TRUE(allowed) << test::Readable(contents) << " under " << test::Readable(name);
  }
  for (const std::string& name : sweep.batch) EXPECT_EQ(seen["was " + name], 1) << test::Readable(name);
  for (const std::string& name : sweep.outsiders) EXPECT_EQ(seen["was " + name], 1) << test::Readable(name);

  // A file whose new name is its own keeps it, whatever failed.
  for (std::size_t k = 0; k < sweep.batch.size(); ++k) {
    if (sweep.batch[k] != sweep.newNames[k]) continue;
    const auto found = outcome.folder.find(sweep.batch[k]);
    EXPECT_TRUE(found != outcome.folder.end() && found->second == "was " + sweep.batch[k])
        << test::Readable(sweep.batch[k]) << " lost its name";
  }
  // A file left under a temporary name is named by a message, unless the run stopped for
  // want of a temporary name (a file moved aside before then keeps it, as told).
  bool stopped = false;
  for (const std::string& message : outcome.messages) stopped = stopped || message == kTempNameFailedMessage;
  if (stopped) return;
  for (const auto& [name, contents] : outcome.folder) {
    if (contents.empty() || !IsTemporaryName(name)) continue;
    bool told = false;
    for (const std::string& message : outcome.messages) told = told || message.find("From: " + name + "\r\n") != std::string::npos;
    EXPECT_TRUE(told) << test::Readable(contents) << " left under " << test::Readable(name) << " without a word";
  }
}

void ExpectMessagesCalledFor(const Outcome& outcome) {
  const std::vector<std::string> expected = MessagesCalledFor(outcome.records);
  ASSERT_EQ(outcome.messages.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_BYTES(outcome.messages[i], expected[i]);
  // A temporary name that could not be drawn ends the run.
  for (std::size_t i = 0; i < outcome.records.size(); ++i) {
    if (outcome.records[i].operation == "GetTempFileNameA" && outcome.records[i].result != 0) {
      EXPECT_EQ(i + 1, outcome.records.size()) << "calls after the temporary name failed";
    }
  }
}

// (operation, n-th call of that operation) for each call of a run.
std::vector<std::pair<std::string, std::uint32_t>> CallsOf(const std::vector<Record>& records) {
  std::map<std::string, std::uint32_t> counts;
  std::vector<std::pair<std::string, std::uint32_t>> calls;
  for (const Record& record : records) calls.emplace_back(record.operation, ++counts[record.operation]);
  return calls;
}

class SafeRenameSweep : public ::testing::TestWithParam<Sweep> {};

TEST_P(SafeRenameSweep, EveryFailedCallLosesNothingAndShowsOnlyItsMessage) {
  const Sweep& sweep = GetParam();
  const Outcome clean = RunSweep(sweep, {});
  ExpectNothingLost(sweep, clean);
  ExpectMessagesCalledFor(clean);
  const auto calls = CallsOf(clean.records);
  ASSERT_FALSE(calls.empty());

  for (std::size_t k = 0; k < calls.size(); ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k + 1) + ": " + calls[k].first);
    const Outcome outcome = RunSweep(sweep, {calls[k]});
    // The run is the clean one up to the failed call, which failed.
    ASSERT_GT(outcome.records.size(), k);
    EXPECT_EQ(outcome.records[k].operation, calls[k].first);
    EXPECT_NE(outcome.records[k].result, 0u);
    ExpectNothingLost(sweep, outcome);
    ExpectMessagesCalledFor(outcome);
  }
}

TEST_P(SafeRenameSweep, EveryPairOfFailedCallsLosesNothing) {
  const Sweep& sweep = GetParam();
  const auto calls = CallsOf(RunSweep(sweep, {}).records);
  for (std::size_t a = 0; a < calls.size(); ++a) {
    for (std::size_t b = a + 1; b < calls.size(); ++b) {
      SCOPED_TRACE("failing calls " + std::to_string(a + 1) + " and " + std::to_string(b + 1));
      const Outcome outcome = RunSweep(sweep, {calls[a], calls[b]});
      ExpectNothingLost(sweep, outcome);
      ExpectMessagesCalledFor(outcome);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Batches, SafeRenameSweep, ::testing::ValuesIn(kSweeps),
                         [](const ::testing::TestParamInfo<Sweep>& info) { return "batch" + std::to_string(info.index); });

// The prescribed consequence of each kind of failure, on the rotation a, b, c -> b, c, d.
TEST(SafeRenameSweepKinds, EachKindOfFailureHasItsOwnConsequence) {
  const Sweep& rotation = kSweeps[0];
  const std::string renameAB = std::string(kRenameFailedMessage) + "\r\nFrom: a\r\nTo: b";
  // The first temporary name fails: message, and the run stops before any rename.
  Outcome outcome = RunSweep(rotation, {{"GetTempFileNameA", 1}});
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_BYTES(outcome.messages[0], kTempNameFailedMessage);
  EXPECT_EQ(outcome.records.size(), 1u);
  // Deleting the drawn empty file fails: silent there, the empty file stays, and the
  // rename onto the occupied name shows its message.
  outcome = RunSweep(rotation, {{"DeleteFileA", 1}});
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_BYTES(outcome.messages[0], renameAB);
  int empty = 0;
  for (const auto& [name, contents] : outcome.folder) empty += contents.empty() ? 1 : 0;
  EXPECT_EQ(empty, 1);
  // Moving the holder aside fails: the same single message.
  outcome = RunSweep(rotation, {{"MoveFileA", 1}});
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_BYTES(outcome.messages[0], renameAB);
  // The rename itself fails: its message, and the run goes on with the next files.
  outcome = RunSweep(rotation, {{"MoveFileA", 2}});
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_BYTES(outcome.messages[0], renameAB);
  EXPECT_EQ(outcome.folder.at("e"), "was d");
}

}  // namespace
}  // namespace ov::shellext
