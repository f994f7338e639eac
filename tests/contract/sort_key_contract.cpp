// Sort keys against the name comparison: the selection lists are sorted by keys, which is
// right only while comparing two keys gives the comparison's answer for every pair of names,
// equal names included. Checked on every pair of a corpus built from the characters the
// Japanese collation treats differently.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "contract/contract_env.h"
#include "support/readable.h"

namespace ov::contract {
namespace {

// One character or short run of each kind the comparison weighs differently.
const char* const kAtoms[] = {
    // Latin letters in both cases and widths, Greek, Cyrillic
    "a", "A", "b", "B", "z", "ａ", "Ａ", "ｚ", "α", "Α", "ж", "Ж",
    // digits, half and full width
    "0", "1", "9", "10", "０", "１", "９",
    // symbols, half and full width; the apostrophe, hyphen and minus sign count only at the end
    " ", "!", "(", ")", "[", "]", "_", ".", "~", "\\", "'", "-", "　", "（", "－", "・", "「", "、", "｡", "･", "①", "Ⅰ",
    // kana: plain, voiced, semi-voiced and small; katakana, hiragana and half width
    "ｱ", "ア", "あ", "ｧ", "ァ", "ぁ", "ｶ", "カ", "か", "ｶﾞ", "ガ", "が", "ﾊ", "ハ", "は", "ﾊﾞ", "バ", "ば", "ﾊﾟ", "パ",
    "ぱ", "ﾂ", "ツ", "つ", "ｯ", "ッ", "っ", "ウ", "ヴ", "ﾝ", "ン", "ん", "ワ", "ヮ", "ゎ", "ヰ", "ゐ",
    // voicing marks on their own, the long vowel mark
    "ﾞ", "ﾟ", "゛", "゜", "ｰ", "ー",
    // kanji, among them 表 and 能 (and the katakana ソ) whose second byte is "\"
    "亜", "一", "漢", "字", "表", "能", "ソ", "熙",
};

// File names and paths as a selection holds them.
const char* const kNames[] = {
    "", "README.TXT", "readme.txt", "ReadMe.txt", "read-me.txt", "read_me.txt", "readme", "readme.", "readme.txt.bak",
    "img1.jpg", "img10.jpg", "img2.jpg", "img01.jpg", "IMG_0001.JPG", "IMG-0002.JPG", "ａｂｃ.txt", "ＡＢＣ.TXT",
    "a-b", "ab-", "-ab", "'ab", "ab", "a'b", "カー", "かー", "カア", "カァ", "ｶｰ", "ーア", "データ", "ﾃﾞｰﾀ", "デエタ",
    "テータ", "写真 - コピー.jpg", "写真 (2).jpg", "ソフト一覧.txt", "能力表.doc", "C:\\", "D:\\", "C:\\Data",
    "C:\\Data\\", "c:\\data\\A.TXT", "C:\\Data\\a.txt", "C:\\Data\\b.txt", "C:\\Data Old\\a.txt", "C:\\Data-Old\\a.txt",
    "C:\\Data_Old\\a.txt", "C:\\Data.bak\\a.txt", "C:\\Data\\sub\\a.txt", "C:\\Data\\sub.txt", "C:\\Data\\sub-a.txt",
    "C:\\Data\\表示\\x.txt", "C:\\Data\\表\\x.txt", "C:\\Data\\ソフト\\x.txt", "C:\\DATA\\ｿﾌﾄ\\X.TXT",
    "C:\\Data\\そふと\\x.txt",
};

std::vector<std::string> Corpus() {
  std::vector<std::string> corpus(std::begin(kNames), std::end(kNames));
  // Each atom alone, and followed by what changes the weight of the character before it
  // (voicing marks, the long vowel mark) or makes a longer name of it.
  for (const char* atom : kAtoms) {
    for (const char* after : {"", "ﾞ", "ー", "ｰ", "a", "-", "\\"}) corpus.push_back(std::string(atom) + after);
  }
  // Names of two to six atoms, drawn with a fixed sequence so that every run compares the
  // same names.
  const std::size_t atomCount = sizeof kAtoms / sizeof kAtoms[0];
  std::uint32_t seed = 15;
  const auto draw = [&seed](std::size_t below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::size_t>((seed >> 16) % below);
  };
  for (int k = 0; k < 500; ++k) {
    std::string name;
    for (std::size_t length = 2 + draw(5); length > 0; --length) name += kAtoms[draw(atomCount)];
    corpus.push_back(name);
  }
  return corpus;
}

int Sign(int value) { return (value > 0) - (value < 0); }

TEST_F(ContractTest, SortKeysOrderAsTheNameComparisonForEveryPair) {
  const std::vector<std::string> corpus = Corpus();
  std::vector<std::string> keys;
  for (const std::string& name : corpus) keys.push_back(System().SortKeyNoCase(name));
  long pairs = 0;
  long differ = 0;
  for (std::size_t i = 0; i < corpus.size(); ++i) {
    for (std::size_t j = i; j < corpus.size(); ++j) {
      ++pairs;
      const int compared = Sign(System().CompareNoCase(corpus[i], corpus[j]));
      const int byKey = Sign(keys[i].compare(keys[j]));
      if (compared == byKey) continue;
      // The first few are enough to see what goes wrong.
      if (++differ <= 20) {
        ADD_FAILURE() << test::Readable(corpus[i]) << " vs " << test::Readable(corpus[j]) << ": comparison "
                      << compared << ", sort keys " << byKey;
      }
    }
  }
  std::printf("[ sort keys ] %s: %zu names, %ld pairs compared, %ld differ\n", env_->Name(), corpus.size(), pairs,
              differ);
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace ov::contract
