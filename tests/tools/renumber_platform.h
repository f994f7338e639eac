// The platform the renumber suites run on: the fake on Linux, the real ANSI API under Wine;
// and a scratch folder of real (or fake) files, created through that platform.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::test {

platform::Platform& RenumberPlatform();

// A fresh folder under the temporary folder (path with a trailing "\"), removed with its
// files when the object goes.
class RenumberFolder {
 public:
  explicit RenumberFolder(platform::Platform& platform, const std::string& subFolder = std::string());
  ~RenumberFolder();
  RenumberFolder(const RenumberFolder&) = delete;
  RenumberFolder& operator=(const RenumberFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Creates files holding "was " + their name; returns their full paths in the given order.
  std::vector<std::string> Put(const std::vector<std::string>& names);
  // name -> contents of every file in the folder, names as the file system spells them.
  std::map<std::string, std::string> Contents();

 private:
  platform::Platform& platform_;
  std::string root_;
  std::string path_;
};

}  // namespace ov::test
