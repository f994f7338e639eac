#include "platform/fake/fake_platform.h"

namespace ov::platform {

FakePlatform::FakePlatform()
    : files_(clock_, failures_),
      registry_(failures_),
      system_(clock_, failures_),
      profile_(files_, failures_, "C:\\WINDOWS"),
      shell_(files_, failures_) {
  SetFolders("C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\WINDOWS\\TEMP\\");
}

void FakePlatform::SetFolders(const std::string& windows, const std::string& system, const std::string& temp) {
  system_.SetFolders(windows, system, temp);
  profile_.SetWindowsFolder(windows);
  files_.MakeFolders(windows);
  files_.MakeFolders(system);
  files_.MakeFolders(temp);
}

}  // namespace ov::platform
