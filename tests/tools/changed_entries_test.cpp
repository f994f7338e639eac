// The moving, deleting and renaming tools on the fake platform when what the user chose
// has changed before they act (a file replaced by a folder, a size changed) and when the
// target already holds a name, with the fake's shell asking as Windows' does or replacing
// without asking as Wine's does. Every file holds a text of its own; afterwards the whole
// drive is read back, so a lost, overwritten or stray entry fails the case.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "shellext/tools/entry_messages.h"
#include "shellext/tools/folder_combine.h"
#include "shellext/tools/form_conditional_delete.h"
#include "shellext/tools/form_file_series.h"
#include "shellext/tools/form_series_new_name.h"
#include "shellext/tools/safe_rename_batch.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::shellext {
namespace {

using Names = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;  // path below kTop -> text; a folder ends in "\" with ""
using platform::fake::ShellAnswer;
using platform::fake::ShellQuestion;

const std::string kTop = "C:\\作業表\\";  // 表 ends in the byte of "\"

class Answers : public platform::fake::ShellQuestions {
 public:
  explicit Answers(std::vector<ShellAnswer> answers) : answers_(std::move(answers)) {}
  ShellAnswer Ask(ShellQuestion, const std::string&) override { return answers_.at(next_++); }
  std::size_t asked() const { return next_; }

 private:
  std::vector<ShellAnswer> answers_;
  std::size_t next_ = 0;
};

class ChangedEntries : public ::testing::Test {
 public:
  // Files ("name" with the text "was name") and folders ("name\") below kTop.
  void Make(const Names& entries) {
    for (const std::string& entry : entries) {
      if (entry.back() == '\\') {
        ASSERT_EQ(files().MakeFolders(kTop + entry.substr(0, entry.size() - 1)), 0u) << entry;
      } else {
        ASSERT_EQ(files().PutFile(kTop + entry, "was " + entry), 0u) << entry;
      }
    }
  }
  Names At(const Names& relative) const {
    Names paths;
    for (const std::string& path : relative) paths.push_back(kTop + path);
    return paths;
  }
  // Another program replaces a file by a folder of the same name that holds a document.
  void ReplaceByFolder(const std::string& relative) {
    ASSERT_EQ(files().Delete(kTop + relative), 0u);
    ASSERT_EQ(files().PutFile(kTop + relative + "\\doc.txt", "document"), 0u);
  }
  Tree Read(const std::string& relative = "") {
    Tree tree;
    platform::FindEntry entry;
    std::unique_ptr<platform::FileSearch> search;
    if (files().FindFirst(kTop + relative + "*", entry, search) != 0) return tree;
    do {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = relative + entry.name;
      if (entry.attributes & platform::attribute::kDirectory) {
        tree[path + "\\"] = "";
        for (const auto& inner : Read(path + "\\")) tree.insert(inner);
      } else {
        files().ReadContents(kTop + path, tree[path]);
      }
    } while (search->Next(entry) == 0);
    return tree;
  }
  Names Boxes() const {
    Names texts;
    for (const ui::headless::MessageBoxRecord& box : ui_.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }
  std::string Moved(const std::string& from, const std::string& to) const {
    return MoveFailedText(kTop + from, kTop + to);
  }
  platform::fake::FakeFiles& files() { return platform_.Files(); }

 protected:
  platform::FakePlatform platform_;
  ui::headless::HeadlessBackend ui_;
};

std::string Show(const Tree& tree) {
  std::string text;
  for (const auto& [path, contents] : tree) text += "  " + test::Readable(path) + " = " + test::Readable(contents) + "\n";
  return text;
}

#define EXPECT_TREE(actual, expected)                                                                    \
  do {                                                                                                   \
    const Tree actualTree = (actual);                                                                    \
    const Tree expectedTree = (expected);                                                                \
    EXPECT_EQ(actualTree, expectedTree) << "found:\n" << Show(actualTree) << "expected:\n" << Show(expectedTree); \
  } while (false)

// ---- series classification ----

struct SeriesCase {
  const char* title;
  bool shellAsks;
  std::vector<ShellAnswer> answers;  // to the shell's questions, when it asks
  Names before;
  std::function<void(ChangedEntries&)> whileOpen;
  Names boxes;  // as "from>to" below kTop
  Tree after;
};

void PrintTo(const SeriesCase& c, std::ostream* out) { *out << c.title; }

class SeriesChanged : public ChangedEntries, public ::testing::WithParamInterface<SeriesCase> {};

TEST_P(SeriesChanged, OnlyTheChosenFilesMoveAndNothingIsReplacedWithoutConsent) {
  const SeriesCase& c = GetParam();
  Make(c.before);
  platform_.Shell().SetReplacesWithoutAsking(!c.shellAsks);
  Answers answers(c.answers);
  platform_.Shell().SetQuestions(&answers);
  TFormFileSeries form(ui_, platform_, At({"AB1.txt", "AB2.txt"}));
  if (c.whileOpen) c.whileOpen(*this);
  form.BtnOK.Click();
  EXPECT_EQ(answers.asked(), c.answers.size());
  Names expected;
  for (const std::string& box : c.boxes) expected.push_back(Moved(box.substr(0, box.find('>')), box.substr(box.find('>') + 1)));
  EXPECT_EQ(Boxes(), expected);
  EXPECT_TREE(Read(), c.after);
}

const SeriesCase kSeriesCases[] = {
    {"FileBecameAFolderWindows", true, {}, {"AB1.txt", "AB2.txt"},
     [](ChangedEntries& t) { t.ReplaceByFolder("AB1.txt"); }, {"AB1.txt>AB\\AB1.txt"},
     {{"AB\\", ""}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt\\", ""}, {"AB1.txt\\doc.txt", "document"}}},
    {"FileBecameAFolderWine", false, {}, {"AB1.txt", "AB2.txt"},
     [](ChangedEntries& t) { t.ReplaceByFolder("AB1.txt"); }, {"AB1.txt>AB\\AB1.txt"},
     {{"AB\\", ""}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt\\", ""}, {"AB1.txt\\doc.txt", "document"}}},
    // The series folder holds a file of that name already.
    {"NameTakenWine", false, {}, {"AB\\", "AB\\AB1.txt", "AB1.txt", "AB2.txt"}, nullptr, {"AB1.txt>AB\\AB1.txt"},
     {{"AB\\", ""}, {"AB\\AB1.txt", "was AB\\AB1.txt"}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt", "was AB1.txt"}}},
    {"NameTakenWindowsUserKeepsIt", true, {ShellAnswer::kNo}, {"AB\\", "AB\\AB1.txt", "AB1.txt", "AB2.txt"}, nullptr, {},
     {{"AB\\", ""}, {"AB\\AB1.txt", "was AB\\AB1.txt"}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt", "was AB1.txt"}}},
    {"NameTakenWindowsUserReplacesIt", true, {ShellAnswer::kYes}, {"AB\\", "AB\\AB1.txt", "AB1.txt", "AB2.txt"}, nullptr,
     {}, {{"AB\\", ""}, {"AB\\AB1.txt", "was AB1.txt"}, {"AB\\AB2.txt", "was AB2.txt"}}},
    // A folder of that name in the series folder: neither shell puts a file over it.
    {"FolderOfThatNameWine", false, {}, {"AB\\AB1.txt\\", "AB1.txt", "AB2.txt"}, nullptr, {"AB1.txt>AB\\AB1.txt"},
     {{"AB\\", ""}, {"AB\\AB1.txt\\", ""}, {"AB\\AB2.txt", "was AB2.txt"}, {"AB1.txt", "was AB1.txt"}}},
};

INSTANTIATE_TEST_SUITE_P(Fake, SeriesChanged, ::testing::ValuesIn(kSeriesCases),
                         [](const ::testing::TestParamInfo<SeriesCase>& info) { return std::string(info.param.title); });

// ---- folder combine ----

class CombineChanged : public ChangedEntries {
 protected:
  // Combines the folders into the one at `keep` of the sorted list.
  void Combine(const Names& folders, int keep, std::function<void()> whileOpen = nullptr) {
    ui_.SetModalHandler([&](ui::Form& form) {
      auto& chooser = dynamic_cast<TFormSeriesNewName&>(form);
      chooser.NewSeriesName.SetItemIndex(keep);
      if (whileOpen) whileOpen();
      chooser.BtnOK.Click();
    });
    const Names paths = At(folders);
    TFolderCombine(ui_, platform_, &paths).Run(0);
    ui_.SetModalHandler(nullptr);
  }
};

// Q into P: P's same.txt and P's file y stay; Q's entries of those names stay in Q, each
// reported; the rest moves, and Q stays since it is not empty.
TEST_F(CombineChanged, WithoutAskingTakenNamesStayInTheSourceAndAreReported) {
  Make({"P\\same.txt", "P\\y", "Q\\same.txt", "Q\\y\\in.txt", "Q\\only.txt", "Q\\sub\\deep.txt"});
  platform_.Shell().SetReplacesWithoutAsking(true);
  Combine({"P", "Q"}, 0);
  EXPECT_EQ(Boxes(), (Names{Moved("Q\\same.txt", "P\\same.txt"), Moved("Q\\y", "P\\y")}));
  EXPECT_TREE(Read(), (Tree{{"P\\", ""},
                            {"P\\only.txt", "was Q\\only.txt"},
                            {"P\\same.txt", "was P\\same.txt"},
                            {"P\\sub\\", ""},
                            {"P\\sub\\deep.txt", "was Q\\sub\\deep.txt"},
                            {"P\\y", "was P\\y"},
                            {"Q\\", ""},
                            {"Q\\same.txt", "was Q\\same.txt"},
                            {"Q\\y\\", ""},
                            {"Q\\y\\in.txt", "was Q\\y\\in.txt"}}));
}

// Windows' shell asks: the user's No keeps P's file; a folder never replaces a file (the
// shell refuses and the operation fails, so no folder is removed).
TEST_F(CombineChanged, WhenTheShellAsksItsQuestionDecides) {
  Make({"P\\same.txt", "P\\y", "Q\\same.txt", "Q\\y\\in.txt", "Q\\only.txt"});
  Answers answers({ShellAnswer::kNo});
  platform_.Shell().SetQuestions(&answers);
  Combine({"P", "Q"}, 0);
  EXPECT_EQ(answers.asked(), 1u);
  EXPECT_EQ(Boxes(), Names{});
  EXPECT_TREE(Read(), (Tree{{"P\\", ""},
                            {"P\\only.txt", "was Q\\only.txt"},
                            {"P\\same.txt", "was P\\same.txt"},
                            {"P\\y", "was P\\y"},
                            {"Q\\", ""},
                            {"Q\\same.txt", "was Q\\same.txt"},
                            {"Q\\y\\", ""},
                            {"Q\\y\\in.txt", "was Q\\y\\in.txt"}}));
}

// Any number of folders, and entries of every attribute, move; the emptied folders go.
TEST_F(CombineChanged, WithoutAskingEveryFolderAndEveryAttributeMoves) {
  Names folders;
  Tree expected = {{"F000\\", ""}};
  for (int i = 0; i < 120; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "F%03d", i);
    folders.push_back(name);
    Make({std::string(name) + "\\f" + (name + 1) + ".txt"});
    expected["F000\\f" + std::string(name + 1) + ".txt"] = "was " + std::string(name) + "\\f" + (name + 1) + ".txt";
  }
  const std::uint32_t kinds[] = {platform::attribute::kReadOnly, platform::attribute::kHidden,
                                 platform::attribute::kSystem};
  for (const std::uint32_t kind : kinds) {
    const std::string name = "F119\\attr" + std::to_string(kind) + ".txt";
    Make({name});
    ASSERT_EQ(files().SetAttributes(kTop + name, kind), 0u);
    expected["F000\\attr" + std::to_string(kind) + ".txt"] = "was " + name;
  }
  platform_.Shell().SetReplacesWithoutAsking(true);
  Combine(folders, 0);
  EXPECT_EQ(Boxes(), Names{});
  EXPECT_TREE(Read(), expected);
  for (const std::uint32_t kind : kinds) {
    std::uint32_t attributes = 0;
    ASSERT_EQ(files().GetAttributes(kTop + "F000\\attr" + std::to_string(kind) + ".txt", attributes), 0u);
    EXPECT_EQ(attributes & kind, kind);
  }
}

// A source that another program replaced by a file while the choice was open is left
// alone and reported, on both kinds of shell; the other source still moves.
TEST_F(CombineChanged, ASourceThatIsNoLongerAFolderIsLeftAlone) {
  for (const bool asks : {true, false}) {
    SCOPED_TRACE(asks ? "shell asks" : "shell replaces without asking");
    ui_.ClearMessageBoxes();
    Make({"A\\a.txt", "B\\b.txt", "C\\c.txt"});
    platform_.Shell().SetReplacesWithoutAsking(!asks);
    Combine({"A", "B", "C"}, 1, [&] {
      ASSERT_EQ(files().Delete(kTop + "A\\a.txt"), 0u);
      ASSERT_EQ(files().RemoveFolder(kTop + "A"), 0u);
      ASSERT_EQ(files().PutFile(kTop + "A", "a file now"), 0u);
    });
    EXPECT_EQ(Boxes(), Names{MoveFailedText(kTop + "A", kTop + "B")});
    EXPECT_TREE(Read(), (Tree{{"A", "a file now"}, {"B\\", ""}, {"B\\b.txt", "was B\\b.txt"}, {"B\\c.txt", "was C\\c.txt"}}));
    files().Delete(kTop + "A");
    files().Delete(kTop + "B\\b.txt");
    files().Delete(kTop + "B\\c.txt");
    files().RemoveFolder(kTop + "B");
  }
}

// ---- conditional delete ----

struct DeleteCase {
  const char* title;
  bool smallerThan;  // "smaller than 1 KB" ticked
  std::function<void(ChangedEntries&)> beforeOpen;
  std::function<void(ChangedEntries&)> whileOpen;
  Names boxes;  // paths below kTop
  Tree after;
};

void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.title; }

class DeleteChanged : public ChangedEntries, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteChanged, AFileThatChangedIsNotDeleted) {
  const DeleteCase& c = GetParam();
  Make({"other.txt", "victim.txt", "keep\\", "keep\\doc.txt"});
  ASSERT_EQ(files().PutFile(kTop + "victim.txt", "v"), 0u);  // 1 byte
  const Names selection = At({"other.txt", "victim.txt"});
  if (c.beforeOpen) c.beforeOpen(*this);
  TFormConditionalDelete form(ui_, platform_, selection);
  if (c.smallerThan) form.ChkSmallerThan.Click();
  form.ChkUseRecycleBin.Click();
  if (c.whileOpen) c.whileOpen(*this);
  form.BtnOK.Click();
  Names expected;
  for (const std::string& box : c.boxes) expected.push_back(DeleteFailedText(kTop + box));
  EXPECT_EQ(Boxes(), expected);
  EXPECT_TREE(Read(), c.after);
  for (const platform::ShellFileOperation& operation : platform_.Shell().Operations()) {
    EXPECT_EQ(operation.sources, Names{kTop + "other.txt"});
  }
}

const Tree kVictimFolder = {{"keep\\", ""}, {"keep\\doc.txt", "was keep\\doc.txt"}, {"victim.txt\\", ""},
                            {"victim.txt\\doc.txt", "document"}};

const DeleteCase kDeleteCases[] = {
    {"BecameAFolderWhileOpen", true, nullptr, [](ChangedEntries& t) { t.ReplaceByFolder("victim.txt"); },
     {"victim.txt"}, kVictimFolder},
    {"BecameAFolderBeforeOpenNoCondition", false, [](ChangedEntries& t) { t.ReplaceByFolder("victim.txt"); }, nullptr,
     {"victim.txt"}, kVictimFolder},
    {"GrewPastItsJudgedSize", true, nullptr,
     [](ChangedEntries& t) { ASSERT_EQ(t.files().PutFile(kTop + "victim.txt", std::string(5000, 'v')), 0u); },
     {"victim.txt"}, {{"keep\\", ""}, {"keep\\doc.txt", "was keep\\doc.txt"}, {"victim.txt", std::string(5000, 'v')}}},
};

INSTANTIATE_TEST_SUITE_P(Fake, DeleteChanged, ::testing::ValuesIn(kDeleteCases),
                         [](const ::testing::TestParamInfo<DeleteCase>& info) { return std::string(info.param.title); });

// Without a size condition the size is not what the file was chosen by: a grown file that
// is still a file goes.
TEST_F(ChangedEntries, WithoutASizeConditionAGrownFileIsDeleted) {
  Make({"a.txt"});
  TFormConditionalDelete form(ui_, platform_, At({"a.txt"}));
  form.ChkUseRecycleBin.Click();
  ASSERT_EQ(files().PutFile(kTop + "a.txt", std::string(5000, 'a')), 0u);
  form.BtnOK.Click();
  EXPECT_EQ(Boxes(), Names{});
  EXPECT_TREE(Read(), Tree{});
}

// ---- the collision-safe rename of renumber and bulk rename ----

// a, b, c -> b, c, d while b has become a folder: the folder is neither moved aside nor
// renamed (two rename messages); c still reaches d through its temporary name.
TEST_F(ChangedEntries, RenameBatchLeavesAFileThatBecameAFolder) {
  Make({"a", "b", "c"});
  ReplaceByFolder("b");
  Names messages;
  SafeRenameBatch(platform_, At({"a", "b", "c"}), {0, 1, 2},
                  [](std::size_t k, std::size_t) { return Names{"b", "c", "d"}[k]; },
                  [&](const std::string& text) { messages.push_back(text); });
  const std::string failed = kRenameFailedMessage;
  EXPECT_EQ(messages, (Names{failed + "\r\nFrom: a\r\nTo: b", failed + "\r\nFrom: b\r\nTo: c"}));
  EXPECT_TREE(Read(), (Tree{{"a", "was a"}, {"b\\", ""}, {"b\\doc.txt", "document"}, {"d", "was c"}}));
}

}  // namespace
}  // namespace ov::shellext
