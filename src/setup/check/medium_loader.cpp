#include "setup/check/medium_loader.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace ov::setup {

bool LoadMediumFolder(const std::string& folder, platform::FakePlatform& platform, char drive) {
  namespace fs = std::filesystem;
  std::error_code failed;
  if (!fs::is_directory(folder, failed)) return false;
  platform.Files().AddVolume(drive);
  const std::string root = std::string(1, drive) + ":\\";
  for (fs::recursive_directory_iterator it(folder, failed), end; !failed && it != end; it.increment(failed)) {
    std::string relative = fs::relative(it->path(), folder).string();
    for (char& c : relative) {
      if (c == '/') c = '\\';
    }
    if (it->is_directory()) {
      platform.Files().MakeFolders(root + relative);
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    if (!in && !in.eof()) return false;
    platform.Files().PutFile(root + relative, contents.str());
  }
  return !failed;
}

}  // namespace ov::setup
