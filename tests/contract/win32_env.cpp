// The contract suite's backend under Wine: the real ANSI API, scratch space in the Wine
// temp folder and below HKEY_CURRENT_USER, named after the process so runs never meet.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "contract/contract_env.h"
#include "contract/contract_support.h"
#include "contract/wine_deviations.h"
#include "platform/win32/win32_install.h"

namespace ov::contract {

std::unique_ptr<ContractEnv> MakeContractEnv() {
  return std::make_unique<ScratchEnv<platform::Win32InstallPlatform>>("win32", std::to_string(GetCurrentProcessId()));
}

bool BackendIsWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Set by scripts/wine-run from `id -u`: nothing inside the prefix tells the Unix user.
bool WineRunsAsUnixRoot() {
  const char* root = std::getenv("OV_WINE_UNIX_ROOT");
  return root != nullptr && std::strcmp(root, "1") == 0;
}

}  // namespace ov::contract
