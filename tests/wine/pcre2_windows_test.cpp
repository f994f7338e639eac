// The regular-expression library as the Windows build links it: the static MinGW build
// compiles a caseless pattern and matches CP932 bytes from the start of a subject.
#include <gtest/gtest.h>

#include <pcre2.h>

#include <string>

namespace {

TEST(Pcre2OnWindows, CaselessMatchWithCaptureOffsets) {
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  const std::string pattern = "^(IMG)_(\\d+)";
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.c_str()), pattern.size(), PCRE2_CASELESS,
                                   &errorCode, &errorOffset, nullptr);
  ASSERT_NE(code, nullptr);
  uint32_t groups = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
  EXPECT_EQ(groups, 2u);

  pcre2_match_data* match = pcre2_match_data_create_from_pattern(code, nullptr);
  const std::string subject = "img_0042表.jpg";
  const int result = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.c_str()), subject.size(), 0, 0, match,
                                 nullptr);
  ASSERT_EQ(result, 3);
  const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(match);
  EXPECT_EQ(subject.substr(offsets[4], offsets[5] - offsets[4]), "0042");
  pcre2_match_data_free(match);
  pcre2_code_free(code);
}

}  // namespace
