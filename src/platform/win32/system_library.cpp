// DLLs loaded by full path, and the program's DLL search narrowed at its start.
#include "platform/win32/system_library.h"

#include "base/cp932.h"

namespace ov::platform {
namespace {

// Flags of LoadLibraryExA and SetDefaultDllDirectories newer than the MinGW headers' target.
constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;    // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesEntry = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryEntry = BOOL(WINAPI*)(LPCSTR);

// Kernel32 is a known DLL: the system's copy is the one mapped into every process.
template <typename Function>
Function KernelEntry(const char* name) {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

// The LOAD_LIBRARY_SEARCH_* flags came with SetDefaultDllDirectories; where it is missing
// LoadLibraryExA refuses them.
bool SearchFlagsKnown() { return KernelEntry<SetDefaultDllDirectoriesEntry>("SetDefaultDllDirectories") != nullptr; }

// A DLL by its absolute path, its own imports looked up in its folder and the system
// folder (or, on older systems, by the altered search order that puts its folder where
// the program's folder would be).
HMODULE LoadByFullPath(const std::string& path) {
  const DWORD flags = SearchFlagsKnown() ? kSearchDllLoadDir | kSearchSystem32 : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExA(path.c_str(), nullptr, flags);
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path(folder, length);
  // "C:\" keeps its separator; a trail byte 0x5C is no separator.
  if (base::FindLastAscii(path, '\\') != path.size() - 1) path += '\\';
  return LoadByFullPath(path + name);
}

HMODULE LoadComponentLibrary(const std::string& path) { return LoadByFullPath(path); }

void RestrictDllSearch() {
  if (const auto setDefault = KernelEntry<SetDefaultDllDirectoriesEntry>("SetDefaultDllDirectories")) {
    setDefault(kSearchSystem32);
  }
  // An empty text takes the current folder out of the search order.
  if (const auto setDirectory = KernelEntry<SetDllDirectoryEntry>("SetDllDirectoryA")) setDirectory("");
}

}  // namespace ov::platform
