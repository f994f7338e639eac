#include "base/cp932.h"

namespace ov::base {

std::size_t CharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) && text[pos + 1] != '\0') {
    return 2;
  }
  return 1;
}

std::size_t FindLastAsciiOf(std::string_view text, std::string_view asciis) {
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < text.size(); pos = NextChar(text, pos)) {
    if (CharLength(text, pos) == 1 && asciis.find(text[pos]) != std::string_view::npos) found = pos;
  }
  return found;
}

std::size_t FindLastAscii(std::string_view text, char ascii) {
  return FindLastAsciiOf(text, std::string_view(&ascii, 1));
}

std::size_t FindAscii(std::string_view text, char ascii, std::size_t from) {
  for (std::size_t pos = 0; pos < text.size(); pos = NextChar(text, pos)) {
    if (pos >= from && CharLength(text, pos) == 1 && text[pos] == ascii) return pos;
  }
  return std::string_view::npos;
}

bool IsCharStart(std::string_view text, std::size_t pos) {
  std::size_t at = 0;
  while (at < pos && at < text.size()) at = NextChar(text, at);
  return at == pos;
}

namespace {
template <typename Map>
std::string MapAscii(std::string_view text, Map map) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size(); pos = NextChar(out, pos)) {
    if (CharLength(out, pos) == 1) out[pos] = map(out[pos]);
  }
  return out;
}
}  // namespace

std::string AsciiUpper(std::string_view text) {
  return MapAscii(text, [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
}

std::string AsciiLower(std::string_view text) {
  return MapAscii(text, [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
}

}  // namespace ov::base
