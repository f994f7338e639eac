// The base layer's CP932 stepping against what Windows itself says (IsDBCSLeadByteEx and
// CharNextExA), for every byte and every two-byte sequence, in the Japanese prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/cp932.h"
#include "base/path_parts.h"

namespace {

TEST(Cp932OnWindows, AnsiCodePageIs932) {
  EXPECT_EQ(GetACP(), 932u);
}

TEST(Cp932OnWindows, LeadBytesAgreeWithIsDBCSLeadByteEx) {
  for (int byte = 0; byte < 256; ++byte) {
    const bool windows = IsDBCSLeadByteEx(932, static_cast<BYTE>(byte)) != FALSE;
    EXPECT_EQ(ov::base::IsLeadByte(static_cast<unsigned char>(byte)), windows) << "byte " << byte;
  }
}

TEST(Cp932OnWindows, SteppingAgreesWithCharNextExAForEveryPair) {
  int disagreements = 0;
  for (int first = 1; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const char text[3] = {static_cast<char>(first), static_cast<char>(second), '\0'};
      const std::string view(text, second == 0 ? 1 : 2);
      const std::size_t windows = static_cast<std::size_t>(CharNextExA(932, text, 0) - text);
      const std::size_t ours = ov::base::CharLength(view, 0);
      if (windows != ours && ++disagreements <= 10) {
        ADD_FAILURE() << "bytes " << first << "," << second << ": Windows steps " << windows << ", we step " << ours;
      }
    }
  }
  EXPECT_EQ(disagreements, 0);
}

TEST(Cp932OnWindows, TrailByte5CIsNotASeparatorForWindowsEither) {
  // PathFindFileNameA-free check: CharPrevExA from the end of "C:\表" lands on the lead byte.
  const std::string path = "C:\\表";
  const char* end = path.c_str() + path.size();
  const char* previous = CharPrevExA(932, path.c_str(), end, 0);
  EXPECT_EQ(previous - path.c_str(), 3);
  EXPECT_EQ(ov::base::NamePart(path), "表");
}

}  // namespace
