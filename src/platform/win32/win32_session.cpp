// The end of the session and version resources through the ANSI Win32 API.
#include <windows.h>

#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_install.h"

namespace ov::platform {
namespace {

constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";

struct TokenOwner {
  HANDLE token = nullptr;
  ~TokenOwner() {
    if (token != nullptr) CloseHandle(token);
  }
};

}  // namespace

Error Win32Session::SetShutdownPrivilege(bool enabled) {
  TokenOwner owner;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &owner.token)) {
    owner.token = nullptr;
    return GetLastError();
  }
  TOKEN_PRIVILEGES privileges{};
  if (!LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &privileges.Privileges[0].Luid)) return GetLastError();
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
  // AdjustTokenPrivileges succeeds also when the token lacks the privilege; the last error
  // then says so (ERROR_NOT_ALL_ASSIGNED).
  SetLastError(ERROR_SUCCESS);
  if (!AdjustTokenPrivileges(owner.token, FALSE, &privileges, 0, nullptr, nullptr)) return GetLastError();
  return GetLastError();
}

bool Win32Session::ShutdownPrivilegeEnabled() {
  TokenOwner owner;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &owner.token)) {
    owner.token = nullptr;
    return false;
  }
  LUID luid{};
  if (!LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &luid)) return false;
  DWORD size = 0;
  GetTokenInformation(owner.token, TokenPrivileges, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(owner.token, TokenPrivileges, buffer.data(), size, &size)) return false;
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
    if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
      return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
  }
  return false;
}

Error Win32Session::EndSession(std::uint32_t flags) {
  if (ExitWindowsEx(flags, 0)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

bool Win32Session::FileVersionText(const std::string& path, std::string& text) {
  text.clear();
  // VERSION.DLL is no known DLL on current Windows: loaded from the system folder, never
  // imported (an import would be resolved from the program's folder first).
  static const SystemLibrary version("version.dll");
  const auto sizeOf = version.Entry<decltype(&GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
  const auto infoOf = version.Entry<decltype(&GetFileVersionInfoA)>("GetFileVersionInfoA");
  const auto query = version.Entry<decltype(&VerQueryValueA)>("VerQueryValueA");
  if (sizeOf == nullptr || infoOf == nullptr || query == nullptr) return false;
  DWORD handle = 0;
  const DWORD size = sizeOf(path.c_str(), &handle);
  if (size < 1) return false;
  std::vector<char> block(size);
  if (!infoOf(path.c_str(), 0, size, block.data())) return true;
  void* value = nullptr;
  UINT length = 0;
  if (query(block.data(), "\\StringFileInfo\\041103a4\\FileVersion", &value, &length) && value != nullptr &&
      length > 0) {
    // The length counts characters with the terminator; the text ends at its first zero.
    text.assign(static_cast<const char*>(value), length);
    const std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
  }
  return true;
}

}  // namespace ov::platform
