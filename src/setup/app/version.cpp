// The version resource's FileVersion string read as numbers and shown as text.
#include "setup/app/version.h"

#include <cstdio>

namespace ov::setup {

namespace {

// Leading and trailing blanks are ignored; anything else that is not a digit makes the
// part 0. Digits beyond what fits stop the number growing.
long long NumberOf(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return 0;
  std::size_t last = text.find_last_not_of(' ');
  long long value = 0;
  for (std::size_t i = first; i <= last; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return 0;
    if (value < 100000000000000000LL) value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

FileVersion ParseFileVersion(std::string text) {
  FileVersion version;
  long long* parts[] = {&version.major, &version.minor, &version.release};
  for (long long* part : parts) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) {
      *part = 0;
      continue;
    }
    *part = NumberOf(text.substr(0, dot));
    text.erase(0, dot + 1);
  }
  version.build = NumberOf(text);
  return version;
}

bool ReadFileVersion(platform::SessionApi& session, const std::string& path, FileVersion& version) {
  version = FileVersion();
  std::string text;
  if (!session.FileVersionText(path, text)) return false;
  version = ParseFileVersion(text);
  return true;
}

std::string VersionText(const FileVersion& version) {
  // Minor and release are written one after the other and read again as one number.
  const std::string joined = std::to_string(version.minor) + std::to_string(version.release);
  const long long minorRelease = NumberOf(joined);
  char buffer[96];
  std::snprintf(buffer, sizeof(buffer), "%lld.%02lld(Build:%04lld)", version.major, minorRelease, version.build);
  return buffer;
}

}  // namespace ov::setup
