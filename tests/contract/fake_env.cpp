// The contract suite's backend on Linux: a fresh in-memory Windows for every test.
#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "platform/fake/fake_platform.h"

namespace ov::contract {
namespace {

class FakeEnv : public ContractEnv {
 public:
  FakeEnv() { platform_.Files().CreateFolder(scratch_.substr(0, scratch_.size() - 1)); }

  platform::Platform& Platform() override { return platform_; }
  const char* Name() const override { return "fake"; }
  std::string ScratchFolder() override { return scratch_; }
  std::string ScratchKey() override { return key_; }
  void CleanUp() override {
    EmptyFolder(platform_.Files(), scratch_);
    platform_.Files().RemoveFolder(scratch_.substr(0, scratch_.size() - 1));
    DeleteKeyTree(platform_.Registry(), platform::reg_root::kCurrentUser, key_);
  }

 private:
  platform::FakePlatform platform_;
  std::string scratch_ = platform_.System().TempFolder() + "ovcontract\\";
  std::string key_ = "Software\\OrvaneContract";
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() { return std::make_unique<FakeEnv>(); }

}  // namespace ov::contract
