// Code page 932 (Shift-JIS) character stepping. Every scan over CP932 text goes through
// these helpers, so that a trail byte is never read as "\", ".", ":" or any other ASCII.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ov::base {

// Lead bytes of CP932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Length in bytes of the character that starts at pos: 2 for a lead byte followed by a
// non-zero byte, else 1 (a lone lead byte at the end, or before a zero, is one character;
// this is how CharNextExA steps). pos must be below text.size().
std::size_t CharLength(std::string_view text, std::size_t pos);

// Index of the character after the one at pos (text.size() at most).
inline std::size_t NextChar(std::string_view text, std::size_t pos) {
  return pos + CharLength(text, pos);
}

// Index of the last character start in text that holds the given ASCII byte, or npos.
// Trail bytes never match.
std::size_t FindLastAscii(std::string_view text, char ascii);

// Index of the last character start that holds any of the given ASCII bytes, or npos.
std::size_t FindLastAsciiOf(std::string_view text, std::string_view asciis);

// Index of the first character start at or after from that holds the ASCII byte, or npos.
std::size_t FindAscii(std::string_view text, char ascii, std::size_t from = 0);

// True when pos is the start of a character (not the second byte of a double-byte one).
bool IsCharStart(std::string_view text, std::size_t pos);

// ASCII letters to upper or lower case; double-byte characters are left whole.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

}  // namespace ov::base
