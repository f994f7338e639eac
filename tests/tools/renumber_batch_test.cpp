// SafeRenameBatch on files that the platform really holds: the same table runs against the
// fake on Linux and against the ANSI file API under Wine, so the fake's answers are checked
// by what Windows does with the same batch.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shellext/tools/safe_rename_batch.h"
#include "support/readable.h"
#include "tools/renumber_platform.h"

namespace ov::shellext {
namespace {

using Contents = std::map<std::string, std::string>;

// Temporary names differ from run to run and between the fake and Windows.
std::string Normalized(const std::string& text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 3, "RNF") == 0) {
      const std::size_t end = text.find(".tmp", i);
      if (end != std::string::npos && end - i <= 8) {
        out += "<temp>";
        i = end + 4;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

Contents Normalized(const Contents& contents) {
  Contents out;
  for (const auto& [name, text] : contents) out[Normalized(name)] = text;
  return out;
}

std::string RenameMessage(const std::string& from, const std::string& to) {
  return std::string("リネームに失敗しました") + "\r\nFrom: " + from + "\r\nTo: " + to;
}

struct BatchCase {
  const char* title;
  const char* subFolder;               // "" for the scratch folder itself
  std::vector<std::string> batch;      // names of the batch, in batch-list order
  std::vector<std::string> outsiders;  // other files of the folder
  std::vector<std::size_t> order;
  std::vector<std::string> newNames;   // by file index
  Contents expected;                   // the folder afterwards
  std::vector<std::string> messages;
};

const BatchCase kCases[] = {
    {"rotation", "", {"a", "b", "c"}, {}, {0, 1, 2}, {"b", "c", "d"},
     {{"b", "was a"}, {"c", "was b"}, {"d", "was c"}}, {}},
    {"rotation from the free end", "", {"a", "b", "c"}, {}, {2, 1, 0}, {"b", "c", "d"},
     {{"b", "was a"}, {"c", "was b"}, {"d", "was c"}}, {}},
    {"swap", "", {"a", "b"}, {}, {0, 1}, {"b", "a"}, {{"a", "was b"}, {"b", "was a"}}, {}},
    {"cycle of three", "", {"a", "b", "c"}, {}, {0, 1, 2}, {"b", "c", "a"},
     {{"a", "was c"}, {"b", "was a"}, {"c", "was b"}}, {}},
    {"target held outside the batch", "", {"a", "b"}, {"x"}, {0, 1}, {"x", "c"},
     {{"a", "was a"}, {"c", "was b"}, {"x", "was x"}}, {RenameMessage("a", "x")}},
    {"letter case only", "", {"A.TXT", "b.txt"}, {}, {0, 1}, {"a.txt", "B.txt"},
     {{"A.TXT", "was A.TXT"}, {"b.txt", "was b.txt"}}, {}},
    {"same new name, neither bears it", "", {"a", "b"}, {}, {0, 1}, {"c", "c"},
     {{"b", "was b"}, {"c", "was a"}}, {RenameMessage("b", "c")}},
    // The bearer keeps its name (its new name is its name): the other file is refused.
    {"same new name, the bearer first", "", {"a", "c"}, {}, {1, 0}, {"c", "c"},
     {{"a", "was a"}, {"c", "was c"}}, {RenameMessage("a", "c")}},
    {"same new name, the bearer second", "", {"a", "c"}, {}, {0, 1}, {"c", "c"},
     {{"a", "was a"}, {"c", "was c"}}, {RenameMessage("a", "c")}},
    {"same new name after the name was freed", "", {"ta.txt", "ta1.txt", "ta2.txt"}, {}, {0, 1, 2},
     {"t.txt", "ta.txt", "ta.txt"}, {{"t.txt", "was ta.txt"}, {"ta.txt", "was ta1.txt"}, {"ta2.txt", "was ta2.txt"}},
     {RenameMessage("ta2.txt", "ta.txt")}},
    {"extension onto a name kept", "", {"x.jpeg", "x.jpg"}, {}, {0, 1}, {"x.jpg", "x.jpg"},
     {{"x.jpeg", "was x.jpeg"}, {"x.jpg", "was x.jpg"}}, {RenameMessage("x.jpeg", "x.jpg")}},
    {"number removal onto a name kept first", "", {"a.txt", "a-1.txt", "a-2.txt"}, {}, {0, 1, 2},
     {"a.txt", "a.txt", "a.txt"}, {{"a.txt", "was a.txt"}, {"a-1.txt", "was a-1.txt"}, {"a-2.txt", "was a-2.txt"}},
     {RenameMessage("a-1.txt", "a.txt"), RenameMessage("a-2.txt", "a.txt")}},
    {"swap around a name kept", "", {"a", "k", "b"}, {}, {0, 1, 2}, {"b", "k", "a"},
     {{"a", "was b"}, {"b", "was a"}, {"k", "was k"}}, {}},
    {"number removal onto a name kept second", "", {"photo(1).jpg", "photo.jpg"}, {}, {0, 1},
     {"photo.jpg", "photo.jpg"}, {{"photo(1).jpg", "was photo(1).jpg"}, {"photo.jpg", "was photo.jpg"}},
     {RenameMessage("photo(1).jpg", "photo.jpg")}},
    {"name kept in another letter case", "", {"a", "B"}, {}, {0, 1}, {"b", "b"},
     {{"a", "was a"}, {"B", "was B"}}, {RenameMessage("a", "b")}},
    {"rotation past a name kept", "", {"a", "b", "k", "c"}, {}, {0, 1, 2, 3}, {"b", "c", "k", "d"},
     {{"b", "was a"}, {"c", "was b"}, {"d", "was c"}, {"k", "was k"}}, {}},
    // Never given, such a name leaves its file where it is, holding its own name.
    {"names that are no file names", "sub", {"a", "b", "c", "d"}, {}, {0, 1, 2, 3},
     {"..\\a", "a", "CON.txt", "d."},
     {{"a", "was a"}, {"b", "was b"}, {"c", "was c"}, {"d", "was d"}},
     {RenameMessage("a", "..\\a"), RenameMessage("b", "a"), RenameMessage("c", "CON.txt"), RenameMessage("d", "d.")}},
};

void PrintTo(const BatchCase& c, std::ostream* out) { *out << c.title; }

class RenameBatchOnFiles : public ::testing::TestWithParam<BatchCase> {};

TEST_P(RenameBatchOnFiles, EndsWithTheExpectedFilesAndMessages) {
  const BatchCase& c = GetParam();
  platform::Platform& platform = test::RenumberPlatform();
  test::RenumberFolder folder(platform, c.subFolder);
  const std::vector<std::string> batch = folder.Put(c.batch);
  folder.Put(c.outsiders);

  std::vector<std::string> messages;
  SafeRenameBatch(platform, batch, c.order, [&](std::size_t k, std::size_t) { return c.newNames[k]; },
                  [&](const std::string& text) { messages.push_back(Normalized(text)); });

  const Contents after = Normalized(folder.Contents());
  ASSERT_EQ(after.size(), c.expected.size());
  for (const auto& [name, text] : c.expected) {
    const auto found = after.find(name);
    ASSERT_NE(found, after.end()) << test::Readable(name) << " missing";
    EXPECT_BYTES(found->second, text);
  }
  ASSERT_EQ(messages.size(), c.messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i) EXPECT_BYTES(messages[i], c.messages[i]);
}

INSTANTIATE_TEST_SUITE_P(Table, RenameBatchOnFiles, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BatchCase>& info) {
                           return "case" + std::to_string(info.index);
                         });

// A rotation large enough that every step moves a file aside; nothing is lost, and no
// temporary file stays behind.
TEST(RenameBatchOnFilesLarge, RotationOfFiveHundred) {
  platform::Platform& platform = test::RenumberPlatform();
  test::RenumberFolder folder(platform);
  std::vector<std::string> names;
  std::vector<std::size_t> order;
  for (int i = 0; i < 500; ++i) {
    names.push_back("f" + std::to_string(i));
    order.push_back(static_cast<std::size_t>(i));
  }
  const std::vector<std::string> batch = folder.Put(names);
  std::vector<std::string> messages;
  SafeRenameBatch(platform, batch, order, [](std::size_t k, std::size_t) { return "f" + std::to_string(k + 1); },
                  [&](const std::string& text) { messages.push_back(text); });
  EXPECT_TRUE(messages.empty());
  const Contents after = folder.Contents();
  ASSERT_EQ(after.size(), 500u);
  for (int i = 0; i < 500; ++i) {
    const auto found = after.find("f" + std::to_string(i + 1));
    ASSERT_NE(found, after.end()) << i;
    EXPECT_EQ(found->second, "was f" + std::to_string(i));
  }
}

}  // namespace
}  // namespace ov::shellext
