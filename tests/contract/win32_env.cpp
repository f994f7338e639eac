// The contract suite's backend under Wine: the real ANSI API, scratch space in the Wine
// temp folder and below HKEY_CURRENT_USER, named after the process so runs never meet.
#include <windows.h>

#include <string>

#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "platform/win32/win32_install.h"

namespace ov::contract {

std::unique_ptr<ContractEnv> MakeContractEnv() {
  return std::make_unique<ScratchEnv<platform::Win32InstallPlatform>>("win32", std::to_string(GetCurrentProcessId()));
}

}  // namespace ov::contract
