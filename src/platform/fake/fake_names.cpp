#include "platform/fake/fake_names.h"

#include "base/cp932.h"

namespace ov::platform::fake {
namespace {

using base::CharLength;

// Double-byte letter ranges of code page 932: lower-case code -> upper-case code.
unsigned ToUpperCode(unsigned code) {
  if (code >= 0x8281 && code <= 0x829A) return code - 0x21;                  // ａ-ｚ -> Ａ-Ｚ
  if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;                  // α-ω -> Α-Ω
  if (code >= 0x8470 && code <= 0x847E) return code - 0x30;                  // а-о -> А-О
  if (code >= 0x8480 && code <= 0x8491) return code - 0x31;                  // п-я -> П-Я (0x847F is unused)
  return code;
}

unsigned ToLowerCode(unsigned code) {
  if (code >= 0x8260 && code <= 0x8279) return code + 0x21;
  if (code >= 0x839F && code <= 0x83B6) return code + 0x20;
  if (code >= 0x8440 && code <= 0x844E) return code + 0x30;
  if (code >= 0x844F && code <= 0x8460) return code + 0x31;
  return code;
}

template <typename Single, typename Double>
std::string MapText(std::string_view text, Single single, Double twoBytes) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size(); pos = base::NextChar(out, pos)) {
    if (CharLength(out, pos) == 1) {
      out[pos] = single(out[pos]);
    } else {
      const unsigned code = (static_cast<unsigned char>(out[pos]) << 8) | static_cast<unsigned char>(out[pos + 1]);
      const unsigned mapped = twoBytes(code);
      out[pos] = static_cast<char>(mapped >> 8);
      out[pos + 1] = static_cast<char>(mapped & 0xFF);
    }
  }
  return out;
}

char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasInvalidCharacter(const std::string& name) {
  for (std::size_t pos = 0; pos < name.size(); pos = base::NextChar(name, pos)) {
    if (CharLength(name, pos) != 1) continue;
    const unsigned char c = static_cast<unsigned char>(name[pos]);
    if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' || c == ':') return true;
  }
  return false;
}

// Windows drops trailing dots and blanks of every name part ("a." is "a").
std::string DropTrailingDotsAndBlanks(const std::string& name) {
  std::size_t end = name.size();
  while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ') && base::IsCharStart(name, end - 1)) --end;
  return end == 0 ? name : name.substr(0, end);
}

}  // namespace

std::string FoldName(std::string_view name) { return MapText(name, AsciiToUpper, ToUpperCode); }
std::string LowerText(std::string_view text) { return MapText(text, AsciiToLower, ToLowerCode); }
std::string UpperText(std::string_view text) { return MapText(text, AsciiToUpper, ToUpperCode); }

bool ContainsNoCase(std::string_view text, std::string_view part) {
  const std::string folded = FoldName(text);
  const std::string wanted = FoldName(part);
  if (wanted.empty()) return true;
  for (std::size_t pos = 0; pos < folded.size(); pos = base::NextChar(folded, pos)) {
    if (folded.compare(pos, wanted.size(), wanted) == 0) return true;
  }
  return false;
}

Error ParsePath(const std::string& path, ParsedPath& parsed, bool keepLast) {
  parsed = ParsedPath();
  const char letter = AsciiToUpper(path.empty() ? '\0' : path[0]);
  if (path.size() < 3 || letter < 'A' || letter > 'Z' || path[1] != ':' || !IsSeparator(path[2])) {
    return error::kPathNotFound;
  }
  parsed.drive = letter;
  std::vector<std::string> raw;
  std::string current;
  for (std::size_t pos = 3; pos < path.size(); pos = base::NextChar(path, pos)) {
    if (CharLength(path, pos) == 1 && IsSeparator(path[pos])) {
      raw.push_back(current);
      current.clear();
    } else {
      current.append(path, pos, CharLength(path, pos));
    }
  }
  raw.push_back(current);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    std::string part = raw[i];
    const bool last = i + 1 == raw.size();
    if (!(last && keepLast)) part = DropTrailingDotsAndBlanks(part);
    if (part.empty() || part == ".") continue;
    if (part == ".." && !(last && keepLast)) {
      if (!parsed.parts.empty()) parsed.parts.pop_back();
      continue;
    }
    if (!(last && keepLast) && HasInvalidCharacter(part)) return error::kInvalidName;
    parsed.parts.push_back(part);
  }
  return error::kSuccess;
}

std::string JoinPath(char drive, const std::vector<std::string>& parts) {
  std::string path = std::string(1, drive) + ":";
  if (parts.empty()) return path + "\\";
  for (const std::string& part : parts) path += "\\" + part;
  return path;
}

}  // namespace ov::platform::fake
