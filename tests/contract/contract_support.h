// Clean-up helpers shared by the contract environments: they work through the platform
// interface only, so both backends clear their scratch areas the same way.
#pragma once

#include <string>
#include <vector>

#include "contract/contract_env.h"
#include "platform/platform.h"

namespace ov::contract {

// Removes everything inside folder (which ends with "\"), clearing read-only attributes
// first; the folder itself stays.
void EmptyFolder(platform::FileApi& files, const std::string& folder);

// Deletes subKey below parent with all its subkeys; a missing key is fine.

// A backend with a scratch folder below its temp folder and a scratch key below
// HKEY_CURRENT_USER, both named with the given suffix, emptied first and removed after.
template <class PlatformType>
class ScratchEnv : public ContractEnv {
 public:
  ScratchEnv(const char* name, const std::string& suffix)
      : name_(name),
        scratch_(platform_.System().TempFolder() + "ovcontract" + suffix + "\\"),
        key_("Software\\OrvaneContract" + suffix) {
    platform_.Files().CreateFolder(scratch_.substr(0, scratch_.size() - 1));
    EmptyFolder(platform_.Files(), scratch_);
  }

  platform::InstallPlatform& Platform() override { return platform_; }
  const char* Name() const override { return name_; }
  std::string ScratchFolder() override { return scratch_; }
  std::string ScratchKey() override { return key_; }
  void CleanUp() override {
    EmptyFolder(platform_.Files(), scratch_);
    platform_.Files().RemoveFolder(scratch_.substr(0, scratch_.size() - 1));
    platform::DeleteRegistryTree(platform_.Registry(), platform::reg_root::kCurrentUser, key_);
  }

 private:
  PlatformType platform_;  // first: the names below come from it
  const char* name_;
  std::string scratch_;
  std::string key_;
};

// The names a search returns, sorted bytewise (the order of a search is the file system's).
std::vector<std::string> FindNames(platform::FileApi& files, const std::string& pattern);

}  // namespace ov::contract
