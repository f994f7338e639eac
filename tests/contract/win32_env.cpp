// The contract suite's backend under Wine: the real ANSI API, scratch space in the Wine
// temp folder and below HKEY_CURRENT_USER.
#include <windows.h>

#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "platform/win32/win32_platform.h"

namespace ov::contract {
namespace {

class Win32Env : public ContractEnv {
 public:
  Win32Env() {
    const std::string id = std::to_string(GetCurrentProcessId());
    scratch_ = platform_.System().TempFolder() + "ovcontract" + id + "\\";
    key_ = "Software\\OrvaneContract" + id;
    platform_.Files().CreateFolder(scratch_.substr(0, scratch_.size() - 1));
    EmptyFolder(platform_.Files(), scratch_);
  }

  platform::Platform& Platform() override { return platform_; }
  const char* Name() const override { return "win32"; }
  std::string ScratchFolder() override { return scratch_; }
  std::string ScratchKey() override { return key_; }
  void CleanUp() override {
    EmptyFolder(platform_.Files(), scratch_);
    platform_.Files().RemoveFolder(scratch_.substr(0, scratch_.size() - 1));
    DeleteKeyTree(platform_.Registry(), platform::reg_root::kCurrentUser, key_);
  }

 private:
  platform::Win32Platform platform_;
  std::string scratch_;
  std::string key_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<Win32Env>(); }

}  // namespace ov::contract
