// The contract suite's backend on Linux: a fresh in-memory Windows for every test.
#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "platform/fake/fake_platform.h"

namespace ov::contract {

std::unique_ptr<ContractEnv> MakeContractEnv() {
  return std::make_unique<ScratchEnv<platform::FakePlatform>>("fake", "");
}

}  // namespace ov::contract

namespace ov::contract {

bool BackendIsWine() { return false; }
bool WineRunsAsUnixRoot() { return false; }

}  // namespace ov::contract
