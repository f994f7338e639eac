// Profile (INI) files: how GetPrivateProfileStringA reads and WritePrivateProfileStringA
// writes them.
#include "contract/contract_env.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

using namespace platform;

constexpr const char* kSample =
    "; leading comment\r\n"
    "[Main]\r\n"
    "Key1=value1\r\n"
    "  Spaced  =  spaced value  \r\n"
    "Quoted=\"quoted value\"\r\n"
    "Single='single'\r\n"
    "Padded=  \" padded \"  \r\n"
    "Inner=a \"b\" c\r\n"
    "Open=\"abc\r\n"
    "Mixed=\"abc'\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    ";Commented=x\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "Path=C:\\予定表\\ソフト\r\n"
    "表示=漢字\r\n"
    "\r\n"
    "[ Other ]\r\n"
    "Key1=other\r\n"
    "[main]\r\n"
    "Dup=third\r\n"
    "Later=from the second Main\r\n";

class ProfileContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    file_ = At("sample.ini");
    ASSERT_EQ(Files().WriteContents(file_, kSample), error::kSuccess);
  }
  std::string Get(const char* section, const char* key, const std::string& defaultValue = "(default)",
                  std::uint32_t size = 256) {
    std::string buffer;
    const std::uint32_t count = Profile().GetString(section, key, defaultValue, buffer, size, file_);
    EXPECT_EQ(count, buffer.size());
    return buffer;
  }
  std::string Contents() {
    std::string contents;
    EXPECT_EQ(Files().ReadContents(file_, contents), error::kSuccess);
    return contents;
  }

  std::string file_;
};

struct ReadCase {
  const char* section;
  const char* key;
  std::string expected;
};

TEST_F(ProfileContract, ReadsTrimUnquoteAndIgnoreCase) {
  const ReadCase cases[] = {
      {"Main", "Key1", "value1"},
      {"MAIN", "key1", "value1"},
      {"Main", "Spaced", "spaced value"},
      {"Main", "Quoted", "quoted value"},
      {"Main", "Single", "single"},
      {"Main", "Padded", " padded "},
      {"Main", "Inner", "a \"b\" c"},
      {"Main", "Open", "\"abc"},
      {"Main", "Mixed", "\"abc'"},
      {"Main", "Empty", ""},
      {"Main", "Missing", "(default)"},
      {"Missing", "Key1", "(default)"},
      {"Main", "NoEquals", "(default)"},
      {"Main", ";Commented", "x"},  // a comment line is only skipped by the lists
      {"Main", "Dup", "first"},
      {"Main", "Later", "(default)"},
      {"Main", "Path", "C:\\予定表\\ソフト"},
      {"Main", "表示", "漢字"},
      {"Other", "Key1", "other"},
  };
  for (const ReadCase& row : cases) {
    EXPECT_BYTES(Get(row.section, row.key), row.expected) << row.section << "/" << row.key;
  }
}

TEST_F(ProfileContract, DefaultValueLosesTrailingBlanks) {
  EXPECT_BYTES(Get("Main", "Missing", "  def  "), "  def");
  EXPECT_BYTES(Get("Main", "Missing", ""), "");
}

TEST_F(ProfileContract, ListsSectionsAndKeysWithZeroSeparators) {
  // Duplicate sections are listed twice; a key list comes from the first of them only and
  // leaves out comments and lines without "=".
  EXPECT_BYTES(Get(nullptr, nullptr), std::string("Main\0Other\0main\0", 16));
  const char keys[] = "Key1\0Spaced\0Quoted\0Single\0Padded\0Inner\0Open\0Mixed\0Empty\0Dup\0Dup\0Path\0表示\0";
  EXPECT_BYTES(Get("main", nullptr), std::string(keys, sizeof keys - 1));
  EXPECT_BYTES(Get("Other", nullptr), std::string("Key1\0", 5));
  EXPECT_BYTES(Get("Missing", nullptr), "(default)") << "a missing section lists as the default";
}

TEST_F(ProfileContract, TruncationCountsLikeWindows) {
  std::string buffer;
  EXPECT_EQ(Profile().GetString("Main", "Key1", "", buffer, 4, file_), 3u);
  EXPECT_BYTES(buffer, "val");
  EXPECT_EQ(Profile().GetString("Main", "Missing", "longdefault", buffer, 5, file_), 4u);
  EXPECT_BYTES(buffer, "long");
  EXPECT_EQ(Profile().GetString(nullptr, nullptr, "", buffer, 8, file_), 6u);
  EXPECT_BYTES(buffer, std::string("Main\0Ot", 6));
  EXPECT_EQ(Profile().GetString("Other", nullptr, "", buffer, 4, file_), 2u);
  EXPECT_BYTES(buffer, std::string("Ke", 2));
}

TEST_F(ProfileContract, WriteThenReadBack) {
  ASSERT_EQ(Profile().WriteString("Main", "Key1", "changed", file_), error::kSuccess);
  ASSERT_EQ(Profile().WriteString("MAIN", "NewKey", "new value", file_), error::kSuccess);
  ASSERT_EQ(Profile().WriteString("Brand New", "k", "v", file_), error::kSuccess);
  EXPECT_BYTES(Get("Main", "Key1"), "changed");
  EXPECT_BYTES(Get("Main", "NewKey"), "new value");
  EXPECT_BYTES(Get("brand new", "K"), "v");
  EXPECT_BYTES(Get("Other", "Key1"), "other");
  // The file is written anew: blanks around names and values, and blank lines, are gone;
  // a new key ends its section and a new section ends the file.
  EXPECT_BYTES(Contents(),
               "; leading comment\r\n[Main]\r\nKey1=changed\r\nSpaced=spaced value\r\nQuoted=\"quoted value\"\r\n"
               "Single='single'\r\nPadded=\" padded \"\r\nInner=a \"b\" c\r\nOpen=\"abc\r\nMixed=\"abc'\r\n"
               "Empty=\r\nNoEquals\r\n;Commented=x\r\nDup=first\r\nDup=second\r\nPath=C:\\予定表\\ソフト\r\n"
               "表示=漢字\r\nNewKey=new value\r\n[Other]\r\nKey1=other\r\n[main]\r\nDup=third\r\n"
               "Later=from the second Main\r\n[Brand New]\r\nk=v\r\n");
}

TEST_F(ProfileContract, WrittenValuesLoseLeadingBlanksAndKeepQuotes) {
  ASSERT_EQ(Profile().WriteString("Main", "Lead", "  padded  ", file_), error::kSuccess);
  ASSERT_EQ(Profile().WriteString("Main", "Q", "\"quoted\"", file_), error::kSuccess);
  EXPECT_BYTES(Get("Main", "Lead"), "padded");
  EXPECT_BYTES(Get("Main", "Q"), "quoted");
}

TEST_F(ProfileContract, DeletingADuplicateSectionRemovesTheFirst) {
  ASSERT_EQ(Profile().WriteString("main", nullptr, nullptr, file_), error::kSuccess);
  EXPECT_BYTES(Get(nullptr, nullptr), std::string("Other\0main\0", 11));
  EXPECT_BYTES(Get("Main", "Dup"), "third");
}

TEST_F(ProfileContract, NullValueDeletesTheKeyAndNullKeyTheSection) {
  ASSERT_EQ(Profile().WriteString("Main", "key1", nullptr, file_), error::kSuccess);
  EXPECT_BYTES(Get("Main", "Key1"), "(default)");
  ASSERT_EQ(Profile().WriteString("OTHER", nullptr, nullptr, file_), error::kSuccess);
  EXPECT_BYTES(Get("Other", "Key1"), "(default)");
  EXPECT_BYTES(Get(nullptr, nullptr), std::string("Main\0main\0", 10));
  EXPECT_EQ(Profile().WriteString(nullptr, nullptr, nullptr, file_), error::kSuccess);
}

TEST_F(ProfileContract, WritingCreatesAMissingFile) {
  const std::string created = At("new.ini");
  ASSERT_EQ(Profile().WriteString("Setup", "Title", "表示ソフト", created), error::kSuccess);
  ASSERT_EQ(Profile().WriteString("Setup", "Speed", "10", created), error::kSuccess);
  ASSERT_EQ(Profile().WriteString("Files", "File1", "a.txt", created), error::kSuccess);
  std::string contents;
  ASSERT_EQ(Files().ReadContents(created, contents), error::kSuccess);
  EXPECT_BYTES(contents, "[Setup]\r\nTitle=表示ソフト\r\nSpeed=10\r\n[Files]\r\nFile1=a.txt\r\n");
  std::string buffer;
  EXPECT_EQ(Profile().GetString("Setup", "Title", "", buffer, 64, created), 10u);
  EXPECT_BYTES(buffer, "表示ソフト");
}

TEST_F(ProfileContract, AMissingFileReadsAsDefaults) {
  std::string buffer;
  EXPECT_EQ(Profile().GetString("Setup", "Title", "none", buffer, 64, At("missing.ini")), 4u);
  EXPECT_BYTES(buffer, "none");
  EXPECT_EQ(Profile().GetString(nullptr, nullptr, "", buffer, 64, At("missing.ini")), 0u);
  EXPECT_FALSE(FileExists(Files(), At("missing.ini")));
}

}  // namespace
}  // namespace ov::contract
