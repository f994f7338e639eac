// The program's version as its version resource holds it, and the text the background's
// caption shows: 1.2.3.45 reads "1.23(Build:0045)".
#pragma once

#include <string>

#include "platform/install.h"

namespace ov::setup {

struct FileVersion {
  long long major = 0;
  long long minor = 0;
  long long release = 0;
  long long build = 0;
};

// "1.2.3.45" -> 1, 2, 3, 45. Three numbers are taken each before the next "."; where no
// "." is left, that number is 0 and the text stays; what remains is the build. A part that
// is not a number counts as 0.
FileVersion ParseFileVersion(std::string text);

// Reads the FileVersion string of the Japanese (code page 932) version resource of path;
// false when the file has no version information (the numbers are then 0).
bool ReadFileVersion(platform::SessionApi& session, const std::string& path, FileVersion& version);

// major + "." + minor and release as one number of at least two digits + "(Build:" + build
// in at least four digits + ")".
std::string VersionText(const FileVersion& version);

}  // namespace ov::setup
