// System information and locale text: name comparison, case mapping, code page, version
// record and the system folders.
#include "contract/contract_env.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

using namespace platform;

int Sign(int value) { return (value > 0) - (value < 0); }

struct CompareCase {
  const char* a;
  const char* b;
  int sign;
};

TEST_F(ContractTest, CompareNoCaseIgnoresCaseButNotWidth) {
  const CompareCase cases[] = {
      {"readme.txt", "README.TXT", 0},
      {"Ａｂｃ", "ａＢＣ", 0},
      {"表示ソフト", "表示ソフト", 0},
      {"C:\\Dir\\File", "c:\\dir\\file", 0},
      {"", "", 0},
      {"A", "Ａ", -1},
      {"abc", "ＡＢＣ", -1},
      {"ｶﾅ", "カナ", -1},
      {"カナ", "かな", -1},
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"", "a", -1},
      {"b", "A", 1},
  };
  for (const CompareCase& row : cases) {
    EXPECT_EQ(Sign(System().CompareNoCase(row.a, row.b)), row.sign) << test::Readable(row.a) << " vs "
                                                                        << test::Readable(row.b);
    EXPECT_EQ(Sign(System().CompareNoCase(row.b, row.a)), -row.sign) << test::Readable(row.b) << " vs "
                                                                         << test::Readable(row.a);
  }
}

// File names and paths in the order a sort by the name comparison gives them.
const char* const kSortedNames[] = {
    "(copy) readme.txt",
    "[old]data.csv",
    "_private.dat",
    "001.txt",
    "1st.txt",
    "a b",
    "a.b.c",
    "ab",
    "a-b",
    "ａb",
    "abc",
    "Ac",
    "C:\\Data Old\\a.txt",
    "C:\\Data.bak\\a.txt",
    "C:\\Data_Old\\a.txt",
    "C:\\Data\\a.txt",
    "C:\\Data\\b.txt",
    "C:\\Data\\表示\\x.txt",
    "C:\\Data-Old\\a.txt",
    "full.txt",
    "Ｆｕｌｌ.txt",
    "IMG_0001.JPG",
    "IMG-0002.JPG",
    "img1.jpg",
    "img10.jpg",
    "img2.jpg",
    "read me.txt",
    "read_me.txt",
    "readme(1).txt",
    "readme.doc",
    "readme.txt",
    "read-me.txt",
    "readme[1].txt",
    "Readme2.txt",
    "ｶﾀｶﾅ.txt",
    "カタカナ.txt",
    "かたかな.txt",
    "かっこう.txt",
    "がっこう.txt",
    "ソフト.txt",
    "漢字.txt",
    "表示.txt",
};

TEST_F(ContractTest, CompareNoCaseSortsFileNamesInWindowsOrder) {
  const std::size_t count = sizeof kSortedNames / sizeof kSortedNames[0];
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = i + 1; j < count; ++j) {
      EXPECT_LT(System().CompareNoCase(kSortedNames[i], kSortedNames[j]), 0)
          << test::Readable(kSortedNames[i]) << " before " << test::Readable(kSortedNames[j]);
      EXPECT_GT(System().CompareNoCase(kSortedNames[j], kSortedNames[i]), 0)
          << test::Readable(kSortedNames[j]) << " after " << test::Readable(kSortedNames[i]);
    }
  }
}

TEST_F(ContractTest, CaseMappingLeavesDoubleByteCharactersWhole) {
  // Each of 表, ソ and 予 has a trail byte that is an ASCII letter or "\" in disguise.
  EXPECT_BYTES(System().LowerCase("ABC 表示ソフト 予定Ｘ"), "abc 表示ソフト 予定ｘ");
  EXPECT_BYTES(System().UpperCase("abc 表示ソフト 予定ｘ"), "ABC 表示ソフト 予定Ｘ");
  EXPECT_BYTES(System().LowerCase("ﾃﾞｰﾀ.TXT"), "ﾃﾞｰﾀ.txt");
  EXPECT_BYTES(System().UpperCase("ﾃﾞｰﾀ.txt"), "ﾃﾞｰﾀ.TXT");
  EXPECT_BYTES(System().LowerCase("ΑΩ ЖЯ"), "αω жя");
  EXPECT_BYTES(System().UpperCase("αω жя"), "ΑΩ ЖЯ");
  EXPECT_EQ(System().CompareNoCase("ΑΩЖЯ", "αωжя"), 0);
  EXPECT_BYTES(System().LowerCase(""), "");
  // ｧ (0xA7) and ﾁ (0xC1) are single bytes beyond ASCII; they have no case.
  EXPECT_BYTES(System().UpperCase("ｧﾁ"), "ｧﾁ");
}

TEST_F(ContractTest, JapaneseCodePageAndAPlausibleVersion) {
  EXPECT_EQ(System().AnsiCodePage(), 932u);
  const VersionInfo version = System().Version();
  EXPECT_GE(version.majorVersion, 4u);
  EXPECT_TRUE(version.platformId == platform_id::kWin32Nt || version.platformId == platform_id::kWin32Windows);
  EXPECT_GT(version.buildNumber, 0u);
  EXPECT_TRUE(version.obtained);
  // NT reports the build alone; only Windows 95/98/Me put major and minor in the high word,
  // which the installer's names of those systems compare.
  if (version.platformId == platform_id::kWin32Nt) {
    EXPECT_LT(version.buildNumber, 0x10000u);
  }
}

// Sleep never returns early, and the tick count counts milliseconds (Windows' tick may
// lag by one clock interrupt of up to 16 ms, hence the margin).
TEST_F(ContractTest, TheTickCountMovesWithSleep) {
  const std::uint32_t before = System().TickCount();
  System().Sleep(40);
  const std::uint32_t elapsed = System().TickCount() - before;
  EXPECT_GE(elapsed, 40u - 16u);
}

TEST_F(ContractTest, SystemFoldersExist) {
  const std::string windows = System().WindowsFolder();
  const std::string system = System().SystemFolder();
  const std::string temp = System().TempFolder();
  EXPECT_TRUE(FolderExists(Files(), windows)) << windows;
  EXPECT_TRUE(FolderExists(Files(), system)) << system;
  EXPECT_TRUE(FolderExists(Files(), temp)) << temp;
  ASSERT_GT(windows.size(), 3u);
  EXPECT_NE(windows.back(), '\\');
  EXPECT_NE(system.back(), '\\');
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(System().CompareNoCase(system.substr(0, windows.size() + 1), windows + "\\"), 0) << system;
}

}  // namespace
}  // namespace ov::contract
