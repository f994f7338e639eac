#include "setup/engine/script_syntax.h"

#include <cerrno>
#include <cstdlib>

#include "base/cp932.h"
#include "base/path_parts.h"
#include "setup/text/str_op.h"

namespace ov::setup {

bool EndsWithUnderscore(const std::string& text) {
  return !text.empty() && text.back() == '_' && base::IsCharStart(text, text.size() - 1);
}

CopyEntry ParseCopyEntry(const std::string& value) {
  CopyEntry entry;
  std::string text = value;
  entry.diskChange = text.rfind("(Dch)", 0) == 0;
  if (entry.diskChange) text.erase(0, 5);
  entry.optionText = FieldOf(text, ',', 2);
  const std::string part = FieldOf(text, ',', 1);
  entry.destinationPath = part;
  entry.destination = part;
  const std::size_t bar = base::FindAscii(part, '|');
  if (bar != std::string::npos) {
    entry.hasNewName = true;
    entry.destinationPath = part.substr(0, bar);
    entry.newName = part.substr(bar + 1);
    entry.destination = base::FolderPart(entry.destinationPath) + entry.newName;
  } else if (EndsWithUnderscore(part)) {
    entry.destination = base::FolderPart(part) + "AUTO.EXT";
  }
  entry.sourceName = base::NamePart(entry.destinationPath);
  entry.compressed = EndsWithUnderscore(entry.sourceName);
  return entry;
}

RegistryValueType RegistryTypeOf(const std::string& value) {
  const std::string type = value.substr(0, 5);
  if (type == "(Str)") return RegistryValueType::kString;
  if (type == "(Exp)") return RegistryValueType::kExpandString;
  if (type == "(Int)" || type == "(Dwd)") return RegistryValueType::kDword;
  if (type == "(Bin)") return RegistryValueType::kBinary;
  return RegistryValueType::kWholeText;
}

bool ParseRegistryNumber(const std::string& text, std::uint32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i >= text.size()) return false;
  std::uint64_t number = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    number = number * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (number > (hex ? 0xFFFFFFFFull : 0x80000000ull)) return false;
  }
  if (!hex && !negative && number > 0x7FFFFFFFull) return false;
  value = static_cast<std::uint32_t>(negative ? 0 - number : number);
  return true;
}

bool ParseRegistryHex(const std::string& text, std::uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  return ParseRegistryNumber("$" + text, value);
}

bool ParseDecimal(const std::string& text, int& value) {
  std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t j = i; j < text.size(); ++j) {
    if (text[j] < '0' || text[j] > '9') return false;
  }
  errno = 0;
  const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace ov::setup
