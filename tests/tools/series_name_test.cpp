#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/tools/series_name.h"
#include "support/readable.h"

namespace ov::shellext {
namespace {

struct SeriesCase {
  const char* name;
  const char* numericChars;
  int suffixAllowance;
  const char* expected;
};

TEST(DeriveSeriesName, Table) {
  const char* d = kDefaultNumericChars;
  const std::vector<SeriesCase> cases = {
      {"IMG_0001.jpg", d, 0, "IMG"},
      {"IMG_0002.JPG", d, 0, "IMG"},
      {"DSC-0001.jpg", d, 0, "DSC"},
      {"photo(1).jpg", d, 0, "photo"},
      {"photo[01].png", d, 0, "photo"},
      {"My Photo 01.jpg", d, 0, "My Photo"},
      {"a~b~01.txt", d, 0, "a~b"},
      {"report_final.doc", d, 0, "report_final"},
      {"archive.tar.gz", d, 0, "archive.tar"},
      // The suffix allowance: a tail shorter than K is set aside.
      {"file01a.jpg", d, 0, "file01a"},
      {"file01a.jpg", d, 1, "file01a"},
      {"file01a.jpg", d, 2, "file"},
      {"file01ab.jpg", d, 2, "file01ab"},
      {"file01ab.jpg", d, 3, "file"},
      {"abc.jpg", d, 5, "abc"},  // a tail as long as the whole base is never set aside
      // Only numbers: the second pass counts ASCII digits only.
      {"(01).jpg", d, 0, "(01)"},
      {"0001.jpg", d, 0, ""},
      {"(01).jpg", "", 0, "(01)"},
      {"0001.jpg", "", 0, ""},
      {"1.2.jpg", ".", 0, ""},
      // Blanks and control characters at both ends of the base, and around the number.
      {" 01 .jpg", d, 0, ""},
      {"\tshot 7 .png", d, 0, "shot"},
      {".jpg", d, 0, ""},
      {"", d, 0, ""},
      // Double-byte characters stay whole: the second byte of ー is "[" and of ソ is "\".
      {"スーパー01.jpg", d, 0, "スーパー"},
      {"ソ_12.jpg", d, 0, "ソ"},
      {"写真０１.jpg", d, 0, "写真０１"},  // full-width digits count only when listed
      {"写真０１.jpg", "０１", 0, "写真"},
      {"写真_01", d, 0, "写真"},
  };
  for (const SeriesCase& c : cases) {
    SCOPED_TRACE(ov::test::Readable(c.name) + " C=" + ov::test::Readable(c.numericChars) + " K=" +
                 std::to_string(c.suffixAllowance));
    EXPECT_BYTES(DeriveSeriesName(c.name, c.numericChars, c.suffixAllowance), c.expected);
  }
}

}  // namespace
}  // namespace ov::shellext
