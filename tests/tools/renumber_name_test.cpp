// BuildRenumberName and the dialog's start-up defaults, as tables; under Wine the lower
// case comes from CharLowerBuffA itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/tools/renumber_name.h"
#include "support/readable.h"
#include "tools/renumber_platform.h"

namespace ov::shellext {
namespace {

struct NameCase {
  const char* base;
  int digits;
  bool changeExtension;
  const char* newExtension;
  bool lowerCase;
  const char* name;
  int number;
  const char* expected;
};

const NameCase kNames[] = {
    {"img", 2, false, "", false, "a.png", 9, "img09.png"},
    {"img", 2, false, "", false, "b.JPG", 10, "img10.JPG"},
    {"img", 2, false, "", true, "b.JPG", 10, "img10.jpg"},
    {"IMG", 1, false, "", true, "X.TXT", 1, "img1.txt"},
    // A longer number is not cut; 2 digits run 01 to 99, then 100 on.
    {"", 2, false, "", false, "a.jpg", 1, "01.jpg"},
    {"", 2, false, "", false, "a.jpg", 99, "99.jpg"},
    {"", 2, false, "", false, "a.jpg", 150, "150.jpg"},
    {"p", 1, false, "", false, "a", 32767, "p32767"},
    {"p", 1, false, "", false, "a", 32769, "p32769"},
    {"p", 5, false, "", false, "a", 7, "p00007"},
    // A "%" in the base is text, not a format.
    {"100%d%s", 3, false, "", false, "a.txt", 4, "100%d%s004.txt"},
    // The extension: of the new extension's text, or of the name; the last dot counts.
    {"p", 1, true, ".txt", false, "a.jpg", 1, "p1.txt"},
    {"p", 1, true, "txt", false, "a.jpg", 1, "p1"},
    {"p", 1, true, "", false, "a.jpg", 1, "p1"},
    {"p", 1, true, "x.tar.GZ", true, "a.jpg", 1, "p1.gz"},
    {"p", 1, true, "dir.d\\readme", false, "a.jpg", 1, "p1"},
    {"p", 1, false, ".txt", false, "a.b.jpg", 3, "p3.jpg"},
    {"p", 1, false, "", false, "noext", 3, "p3"},
    // Double-byte text: the trail byte 0x5C is no separator, and lower case leaves
    // double-byte characters alone.
    {"表", 2, false, "", true, "ソ.JPG", 3, "表03.jpg"},
    {"p", 1, true, "x.ソ", true, "a", 3, "p3.ソ"},
    // The largest digit count.
    {"", 100, false, "", false, "a", 1, "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000001"},
};

TEST(BuildRenumberName, Table) {
  platform::SystemApi& system = test::RenumberPlatform().System();
  for (const NameCase& c : kNames) {
    RenumberSettings settings;
    settings.baseName = c.base;
    settings.digits = c.digits;
    settings.changeExtension = c.changeExtension;
    settings.newExtension = c.newExtension;
    settings.lowerCase = c.lowerCase;
    EXPECT_BYTES(BuildRenumberName(system, settings, c.name, c.number), c.expected)
        << test::Readable(c.base) << " " << c.number << " " << test::Readable(c.name);
  }
}

TEST(RenumberDigitDefault, IntegerPartOfTheDecimalLogarithmAtLeastOne) {
  const struct {
    std::size_t files;
    int digits;
  } cases[] = {{1, 1}, {2, 1}, {9, 1}, {10, 1}, {99, 1}, {100, 2}, {150, 2}, {999, 2}, {1000, 3}, {9999, 3}, {10000, 4}};
  for (const auto& c : cases) EXPECT_EQ(RenumberDigitDefault(c.files), c.digits) << c.files;
}

TEST(RenumberExtensionItems, EachExtensionOnceInOrderOfFirstAppearance) {
  platform::SystemApi& system = test::RenumberPlatform().System();
  const std::vector<std::string> items =
      RenumberExtensionItems(system, {"a.JPG", "b", "c.jpg", "d.png", "e", "f.Png", "g.表"});
  const std::vector<std::string> expected = {".JPG", "", ".png", ".表"};
  ASSERT_EQ(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_BYTES(items[i], expected[i]);
}

}  // namespace
}  // namespace ov::shellext
