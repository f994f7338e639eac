// The installer's profile reading against the real GetPrivateProfileStringA on a corpus of
// generated INI files: the growing buffer must return what one very large buffer returns,
// and the in-memory Windows must read every file as the real one does.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "platform/fake/fake_platform.h"
#include "platform/win32/win32_platform.h"
#include "setup/text/ini_file.h"
#include "support/readable.h"

namespace ov::setup {
namespace {

const char* const kSections[] = {"Setup", "setup", "設定", "Files", "ソフト表示", "Empty"};
const char* const kKeys[] = {"Title", "title", "File1", "名前", "Long", "Quoted", "Blank", "表"};

std::string Value(std::mt19937& random) {
  const char* const pieces[] = {"abc", " padded ", "\"quoted\"", "'single'", "\"half", "表示ソフト", "a=b",
                                ";not a comment", "x\\y", "ｶﾅ", "\t", "[x]"};
  std::string value;
  const int count = static_cast<int>(random() % 4);
  for (int i = 0; i < count; ++i) value += pieces[random() % (sizeof pieces / sizeof *pieces)];
  switch (random() % 10) {
    case 0:
      value += std::string(300 + random() % 10, 'L');
      break;
    case 1:
      value += std::string(4100 + random() % 10, 'M');
      break;
    case 2:
      for (int i = 0; i < 150; ++i) value += "ソ";
      break;
    default:
      break;
  }
  return value;
}

std::string IniFile(std::mt19937& random) {
  std::string file;
  const int lines = 5 + static_cast<int>(random() % 25);
  for (int i = 0; i < lines; ++i) {
    const std::string section = kSections[random() % (sizeof kSections / sizeof *kSections)];
    const std::string key = kKeys[random() % (sizeof kKeys / sizeof *kKeys)];
    switch (random() % 12) {
      case 0:
        file += "[" + section + "]";
        break;
      case 1:
        file += "  [" + section + "]  ";
        break;
      case 2:
        file += "[" + section;  // no closing bracket
        break;
      case 3:
        file += "; " + key + "=comment";
        break;
      case 4:
        file += "";
        break;
      case 5:
        file += key;  // no "="
        break;
      case 6:
        file += "  " + key + "  =  " + Value(random) + "  ";
        break;
      default:
        file += key + "=" + Value(random);
        break;
    }
    file += "\r\n";
  }
  return file;
}

TEST(ProfileDifferential, GeneratedFilesReadAlikeOnTheRealAndTheFakeSystem) {
  platform::Win32Platform real;
  platform::FakePlatform fake;
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "ovprofile" + std::to_string(GetCurrentProcessId()) + ".ini";
  const std::string fakePath = "C:\\profile.ini";
  std::mt19937 random(20261208);
  std::vector<char> large(70000);
  int compared = 0;
  int fakeDiffers = 0;
  for (int round = 0; round < 150; ++round) {
    const std::string contents = IniFile(random);
    ASSERT_EQ(real.Files().WriteContents(path, contents), 0u);
    ASSERT_EQ(fake.Files().PutFile(fakePath, contents), 0u);
    for (const char* section : kSections) {
      for (const char* key : kKeys) {
        const DWORD length =
            GetPrivateProfileStringA(section, key, "(none)", large.data(), static_cast<DWORD>(large.size()), path.c_str());
        const std::string expected(large.data(), length);
        const std::string ours = ReadProfileString(real.Profile(), section, key, "(none)", path);
        EXPECT_BYTES(ours, expected) << "round " << round << " [" << test::Readable(section) << "] "
                                     << test::Readable(key);
        const std::string onFake = ReadProfileString(fake.Profile(), section, key, "(none)", fakePath);
        if (onFake != expected) {
          ++fakeDiffers;
          if (fakeDiffers <= 5) {
            ADD_FAILURE() << "fake differs, round " << round << " [" << test::Readable(section) << "] "
                          << test::Readable(key) << "\nreal: " << test::Readable(expected)
                          << "\nfake: " << test::Readable(onFake) << "\nfile:\n" << test::Readable(contents);
          }
        }
        ++compared;
      }
    }
  }
  DeleteFileA(path.c_str());
  EXPECT_EQ(fakeDiffers, 0) << "of " << compared;
  EXPECT_EQ(compared, 150 * 6 * 8);
}

}  // namespace
}  // namespace ov::setup
