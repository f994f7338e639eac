// Profile (INI) files through GetPrivateProfileStringA / WritePrivateProfileStringA.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace ov::platform {

std::uint32_t Win32Profile::GetString(const char* section, const char* key, const std::string& defaultValue,
                                      std::string& buffer, std::uint32_t bufferSize, const std::string& file) {
  // One spare byte so that a zero-sized request still has somewhere to point.
  std::vector<char> bytes(bufferSize + 1, '\0');
  const DWORD count =
      GetPrivateProfileStringA(section, key, defaultValue.c_str(), bytes.data(), bufferSize, file.c_str());
  buffer.assign(bytes.data(), count);
  return count;
}

Error Win32Profile::WriteString(const char* section, const char* key, const char* value, const std::string& file) {
  if (WritePrivateProfileStringA(section, key, value, file.empty() ? nullptr : file.c_str())) return error::kSuccess;
  return static_cast<Error>(GetLastError());
}

}  // namespace ov::platform
