#include "support/readable.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace ov::test {

namespace {

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

// One CP932 character (1 or 2 bytes) to UTF-8, or empty when it is not valid CP932.
std::string CharToUtf8(const std::string& bytes) {
#ifdef _WIN32
  wchar_t wide[4];
  const int count = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide, 4);
  if (count <= 0) return {};
  char utf8[16];
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, count, utf8, sizeof utf8, nullptr, nullptr);
  return length > 0 ? std::string(utf8, length) : std::string();
#else
  static iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string in = bytes;
  char out[16];
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out;
  size_t outLeft = sizeof out;
  if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return {};
  return std::string(out, sizeof out - outLeft);
#endif
}

}  // namespace

std::string Readable(const std::string& cp932) {
  std::string out;
  for (size_t pos = 0; pos < cp932.size();) {
    const unsigned char byte = static_cast<unsigned char>(cp932[pos]);
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    const size_t length = (lead && pos + 1 < cp932.size()) ? 2 : 1;
    if (byte < 0x20 || byte == 0x7F) {
      out += byte == '\r' ? "\\r" : byte == '\n' ? "\\n" : Hex(byte);
    } else if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else {
      const std::string utf8 = CharToUtf8(cp932.substr(pos, length));
      if (utf8.empty()) {
        for (size_t i = 0; i < length; ++i) out += Hex(static_cast<unsigned char>(cp932[pos + i]));
      } else {
        out += utf8;
      }
    }
    pos += length;
  }
  return out;
}

::testing::AssertionResult SameBytes(const char* actualExpr, const char* expectedExpr, const std::string& actual,
                                     const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actualExpr << " is \"" << Readable(actual) << "\"\n"
                                       << expectedExpr << " is \"" << Readable(expected) << "\"";
}

}  // namespace ov::test
