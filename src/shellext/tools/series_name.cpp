#include "shellext/tools/series_name.h"

#include <map>

#include "base/cp932.h"
#include "base/path_parts.h"

namespace ov::shellext {

const char kDefaultNumericChars[] = "_()~[]+-";

namespace {

// A name as a sequence of CP932 characters, each one or two bytes.
std::vector<std::string> SplitChars(const std::string& text) {
  std::vector<std::string> chars;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = base::CharLength(text, pos);
    chars.push_back(text.substr(pos, length));
    pos += length;
  }
  return chars;
}

// Removes spaces and control characters from both ends; such bytes are never trail bytes.
std::string TrimBlanks(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return text.substr(begin, end - begin);
}

bool IsNumeric(const std::string& character, const std::vector<std::string>& numericSet) {
  if (character.size() == 1 && character[0] >= '0' && character[0] <= '9') return true;
  for (const std::string& member : numericSet) {
    if (member == character) return true;
  }
  return false;
}

std::string Join(const std::vector<std::string>& chars, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += chars[i];
  return text;
}

std::string Derive(const std::string& name, const std::vector<std::string>& numericSet, int suffixAllowance) {
  const std::string base = TrimBlanks(base::NameWithoutExtension(name));
  if (base.empty()) return {};
  const std::vector<std::string> chars = SplitChars(base);

  std::size_t end = chars.size();
  if (!IsNumeric(chars[end - 1], numericSet)) {
    std::size_t suffix = 0;
    while (suffix < end && !IsNumeric(chars[end - 1 - suffix], numericSet)) ++suffix;
    if (static_cast<long long>(suffix) < suffixAllowance && suffix < chars.size()) end -= suffix;
  }
  while (end > 0 && IsNumeric(chars[end - 1], numericSet)) --end;

  if (end > 0) return TrimBlanks(Join(chars, end));
  if (!numericSet.empty()) return Derive(base, {}, suffixAllowance);
  return {};
}

}  // namespace

std::string DeriveSeriesName(const std::string& name, const std::string& numericChars, int suffixAllowance) {
  return Derive(name, SplitChars(numericChars), suffixAllowance);
}

std::vector<Series> ClassifySeries(platform::SystemApi& system, const std::vector<std::string>& paths,
                                   const std::string& numericChars, int suffixAllowance) {
  struct NoCaseLess {
    platform::SystemApi* system;
    bool operator()(const std::string& a, const std::string& b) const { return system->CompareNoCase(a, b) < 0; }
  };
  const std::vector<std::string> numericSet = SplitChars(numericChars);
  std::vector<Series> series;
  std::map<std::string, std::size_t, NoCaseLess> byName(NoCaseLess{&system});
  // Paths in name order mostly share the series of the one before: one comparison with it
  // spares the lookup's several.
  std::size_t previous = 0;
  for (const std::string& path : paths) {
    const std::string name = Derive(base::NamePart(path), numericSet, suffixAllowance);
    if (name.empty()) continue;
    if (previous < series.size() && system.CompareNoCase(series[previous].name, name) == 0) {
      series[previous].members.push_back(path);
      continue;
    }
    const auto [found, isNew] = byName.emplace(name, series.size());
    if (isNew) series.push_back(Series{name, {}});
    previous = found->second;
    series[previous].members.push_back(path);
  }
  return series;
}

}  // namespace ov::shellext
