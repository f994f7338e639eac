// Windows compares in levels: first the base letters of both texts (symbols before digits
// before Latin letters before kana before kanji); where those tie, the voicing marks of
// kana; then width and kana type (half-width < full-width, katakana < hiragana). The
// hyphen and the apostrophe do not count as letters at all; they only break a tie at the
// very end. Case never counts here. Kanji follow their JIS order, which is their code
// order in code page 932.
//
// Not reproduced: the prolonged sound mark repeats the weight of the character before it
// whatever that is, and a half-width voicing mark counts like the hyphen instead of voicing
// the kana before it (Windows sorts ｶﾞ after が; this table sorts it before か).
#include "platform/fake/fake_collation.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/cp932.h"

namespace ov::platform::fake {
namespace {

struct Weight {
  std::uint32_t primary = 0;  // 0: ignored until the last level
  std::uint8_t voicing = 0;   // kana: 1 voiced, 2 semi-voiced
  std::uint8_t form = 0;      // width and kana type
  std::uint8_t special = 0;   // the weight of an ignored character
  bool repeat = false;        // the prolonged sound mark
};

// Primary ranges, in their sort order.
constexpr std::uint32_t kSymbol = 0x10000;
constexpr std::uint32_t kOtherSymbol = 0x20000;
constexpr std::uint32_t kDigit = 0x30000;
constexpr std::uint32_t kLatin = 0x40000;
constexpr std::uint32_t kGreek = 0x50000;
constexpr std::uint32_t kCyrillic = 0x60000;
constexpr std::uint32_t kKana = 0x70000;
constexpr std::uint32_t kKanji = 0x80000;

constexpr std::uint8_t kHalfWidth = 0;
constexpr std::uint8_t kFullWidth = 1;
constexpr std::uint8_t kKatakana = 1;
constexpr std::uint8_t kHiragana = 2;

unsigned CodeOf(std::string_view text) {
  return text.size() == 1 ? static_cast<unsigned char>(text[0])
                          : (static_cast<unsigned char>(text[0]) << 8) | static_cast<unsigned char>(text[1]);
}

std::vector<std::string> Chars(std::string_view text) {
  std::vector<std::string> chars;
  for (std::size_t pos = 0; pos < text.size(); pos = base::NextChar(text, pos)) {
    chars.emplace_back(text.substr(pos, base::CharLength(text, pos)));
  }
  return chars;
}

using Table = std::array<Weight, 0x10000>;

void Set(Table& table, std::string_view character, Weight weight) { table[CodeOf(character)] = weight; }

// Symbols in Windows order; the full-width twin (when there is one) shares the weight.
void AddSymbols(Table& table) {
  const struct {
    const char* half;
    const char* full;
  } symbols[] = {
      {" ", "　"}, {"!", "！"}, {"\"", "”"}, {"#", "＃"}, {"$", "＄"}, {"%", "％"}, {"&", "＆"},
      {"(", "（"}, {")", "）"}, {"*", "＊"}, {",", "，"}, {"､", "、"}, {".", "．"}, {"｡", "。"},
      {"/", "／"}, {":", "："}, {";", "；"}, {"?", "？"}, {"@", "＠"}, {"[", "［"}, {"]", "］"},
      {"^", "＾"}, {"_", "＿"}, {"`", "｀"}, {"{", "｛"}, {"|", "｜"}, {"}", "｝"}, {"~", "～"},
      {"\\", "＼"}, {"｢", "「"}, {"｣", "」"}, {"･", "・"}, {"+", "＋"}, {"<", "＜"}, {"=", "＝"},
      {">", "＞"},
  };
  std::uint32_t next = kSymbol;
  for (const auto& symbol : symbols) {
    ++next;
    Set(table, symbol.half, Weight{next, 0, kHalfWidth, 0, false});
    Set(table, symbol.full, Weight{next, 0, kFullWidth, 0, false});
  }
  Set(table, "'", Weight{0, 0, 0, 1, false});
  Set(table, "-", Weight{0, 0, 0, 2, false});
  Set(table, "－", Weight{0, 0, 0, 3, false});
  Set(table, "ﾞ", Weight{0, 0, 0, 4, false});
  Set(table, "ﾟ", Weight{0, 0, 0, 5, false});
  Set(table, "ｰ", Weight{0, 0, kHalfWidth, 0, true});
  Set(table, "ー", Weight{0, 0, kFullWidth, 0, true});
}

void AddLettersAndDigits(Table& table) {
  for (unsigned i = 0; i < 10; ++i) {
    table['0' + i] = Weight{kDigit + i, 0, kHalfWidth, 0, false};
    table[0x824F + i] = Weight{kDigit + i, 0, kFullWidth, 0, false};
  }
  for (unsigned i = 0; i < 26; ++i) {
    const Weight half{kLatin + i, 0, kHalfWidth, 0, false};
    const Weight full{kLatin + i, 0, kFullWidth, 0, false};
    table['A' + i] = half;
    table['a' + i] = half;
    table[0x8260 + i] = full;
    table[0x8281 + i] = full;
  }
  for (unsigned i = 0; i < 24; ++i) {
    table[0x839F + i] = Weight{kGreek + i, 0, kFullWidth, 0, false};
    table[0x83BF + i] = Weight{kGreek + i, 0, kFullWidth, 0, false};
  }
  for (unsigned i = 0; i < 33; ++i) {
    table[0x8440 + i] = Weight{kCyrillic + i, 0, kFullWidth, 0, false};
    table[(i < 15 ? 0x8470 : 0x8471) + i] = Weight{kCyrillic + i, 0, kFullWidth, 0, false};
  }
}

// Kana by the order of the syllabary; the voiced and small forms share the base weight.
void AddKana(Table& table) {
  const std::vector<std::string> hiragana = Chars(
      "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわゐゑをん");
  const std::vector<std::string> katakana = Chars(
      "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヰヱヲン");
  const std::vector<std::string> halfWidth = Chars(
      "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜ  ｦﾝ");
  const auto weightOf = [&](const std::string& base, std::uint8_t voicing, std::uint8_t form) {
    for (std::size_t i = 0; i < hiragana.size(); ++i) {
      if (hiragana[i] == base) return Weight{kKana + static_cast<std::uint32_t>(i), voicing, form, 0, false};
    }
    return Weight{};
  };
  for (std::size_t i = 0; i < hiragana.size(); ++i) {
    Set(table, hiragana[i], weightOf(hiragana[i], 0, 2 * kHiragana + 1));
    Set(table, katakana[i], weightOf(hiragana[i], 0, 2 * kKatakana + 1));
    if (halfWidth[i] != " ") Set(table, halfWidth[i], weightOf(hiragana[i], 0, 2 * kHalfWidth + 1));
  }
  // Derived forms: {hiragana, katakana, base, voicing, small}.
  const struct {
    const char* forms;
    const char* katakanaForms;
    const char* bases;
    std::uint8_t voicing;
    bool small;
  } derived[] = {
      {"がぎぐげござじずぜぞだぢづでどばびぶべぼ", "ガギグゲゴザジズゼゾダヂヅデドバビブベボ",
       "かきくけこさしすせそたちつてとはひふへほ", 1, false},
      {"ぱぴぷぺぽ", "パピプペポ", "はひふへほ", 2, false},
      {"ぁぃぅぇぉっゃゅょゎ", "ァィゥェォッャュョヮ", "あいうえおつやゆよわ", 0, true},
  };
  for (const auto& row : derived) {
    const std::vector<std::string> forms = Chars(row.forms);
    const std::vector<std::string> katakanaForms = Chars(row.katakanaForms);
    const std::vector<std::string> bases = Chars(row.bases);
    for (std::size_t i = 0; i < forms.size(); ++i) {
      const std::uint8_t small = row.small ? 0 : 1;
      Set(table, forms[i], weightOf(bases[i], row.voicing, static_cast<std::uint8_t>(2 * kHiragana + small)));
      Set(table, katakanaForms[i], weightOf(bases[i], row.voicing, static_cast<std::uint8_t>(2 * kKatakana + small)));
    }
  }
  Set(table, "ヴ", weightOf("う", 1, 2 * kKatakana + 1));
  const std::vector<std::string> smallHalf = Chars("ｧｨｩｪｫｯｬｭｮ");
  const std::vector<std::string> smallBases = Chars("あいうえおつやゆよ");
  for (std::size_t i = 0; i < smallHalf.size(); ++i) Set(table, smallHalf[i], weightOf(smallBases[i], 0, 0));
}

std::unique_ptr<Table> BuildTable() {
  auto table = std::make_unique<Table>();
  // Everything not named below: single bytes and double-byte symbols sort as symbols by
  // code, kanji (lead byte 0x88 and up) by code after all kana.
  for (unsigned code = 0; code < 0x10000; ++code) {
    (*table)[code] = Weight{(code >= 0x8800 ? kKanji : kOtherSymbol) + code % 0x10000, 0, kFullWidth, 0, false};
  }
  AddSymbols(*table);
  AddLettersAndDigits(*table);
  AddKana(*table);
  return table;
}

const Table& Weights() {
  static const std::unique_ptr<Table> table = BuildTable();
  return *table;
}

// Steps through the weighed characters of a text (the ignored ones are skipped), giving
// the prolonged sound mark the weight of the character before it.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool Next(Weight& weight) {
    while (pos_ < text_.size()) {
      const std::size_t length = base::CharLength(text_, pos_);
      Weight current = Weights()[CodeOf(text_.substr(pos_, length))];
      pos_ += length;
      if (current.repeat) {
        if (!hasLast_) continue;
        current = last_;
      }
      if (current.primary == 0) continue;
      last_ = current;
      hasLast_ = true;
      weight = current;
      return true;
    }
    return false;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  Weight last_;
  bool hasLast_ = false;
};

// One level over both texts: the first difference decides, then the shorter text.
template <typename Field>
int CompareLevel(std::string_view a, std::string_view b, Field field) {
  Cursor left(a);
  Cursor right(b);
  Weight x;
  Weight y;
  for (;;) {
    const bool hasLeft = left.Next(x);
    const bool hasRight = right.Next(y);
    if (!hasLeft || !hasRight) return hasLeft == hasRight ? 0 : (hasLeft ? 1 : -1);
    if (field(x) != field(y)) return field(x) < field(y) ? -1 : 1;
  }
}

// The last level: the ignored characters, by position and then weight.
std::vector<std::uint32_t> IgnoredOf(std::string_view text) {
  std::vector<std::uint32_t> ignored;
  std::uint32_t position = 0;
  for (std::size_t pos = 0; pos < text.size(); pos = base::NextChar(text, pos), ++position) {
    const Weight weight = Weights()[CodeOf(text.substr(pos, base::CharLength(text, pos)))];
    if (weight.primary == 0 && !weight.repeat) ignored.push_back(position << 8 | weight.special);
  }
  return ignored;
}

// A sort key writes every weight in fixed-width bytes of 0x80 and above and ends each level
// with 0x01, so that a level that runs out first sorts first, as in CompareLevel.
void PutWeight(std::string& key, std::uint32_t value, int digits) {
  for (int digit = digits - 1; digit >= 0; --digit) key += static_cast<char>(0x80 | ((value >> (7 * digit)) & 0x7F));
}

template <typename Field>
void PutLevel(std::string& key, std::string_view text, Field field, int digits) {
  Cursor cursor(text);
  Weight weight;
  while (cursor.Next(weight)) PutWeight(key, field(weight), digits);
  key += '\x01';
}

}  // namespace

std::string SortKeyJapanese(std::string_view text) {
  std::string key;
  PutLevel(key, text, [](const Weight& w) { return w.primary; }, 3);  // below 2^21
  PutLevel(key, text, [](const Weight& w) { return std::uint32_t{w.voicing}; }, 1);
  PutLevel(key, text, [](const Weight& w) { return std::uint32_t{w.form}; }, 1);
  for (const std::uint32_t ignored : IgnoredOf(text)) PutWeight(key, ignored, 5);
  return key;
}

int CompareNoCaseJapanese(std::string_view a, std::string_view b) {
  if (const int result = CompareLevel(a, b, [](const Weight& w) { return w.primary; })) return result;
  if (const int result = CompareLevel(a, b, [](const Weight& w) { return w.voicing; })) return result;
  if (const int result = CompareLevel(a, b, [](const Weight& w) { return w.form; })) return result;
  const std::vector<std::uint32_t> left = IgnoredOf(a);
  const std::vector<std::uint32_t> right = IgnoredOf(b);
  if (left == right) return 0;
  return left < right ? -1 : 1;
}

}  // namespace ov::platform::fake
