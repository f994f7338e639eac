// The registry through the ANSI Win32 registry API. A RegHandle is the HKEY itself.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace ov::platform {
namespace {

HKEY ToKey(RegHandle handle) { return reinterpret_cast<HKEY>(handle); }
RegHandle ToHandle(HKEY key) { return reinterpret_cast<RegHandle>(key); }

bool IsRoot(RegHandle handle) { return handle >= reg_root::kClassesRoot && handle <= reg_root::kUsers; }

// Longest key name is 255 characters; value names up to 16383.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;

}  // namespace

Error Win32Registry::CreateKey(RegHandle parent, const std::string& subKey, RegHandle& key, bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  const LONG result = RegCreateKeyExA(ToKey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &opened, &disposition);
  key = result == ERROR_SUCCESS ? ToHandle(opened) : 0;
  if (created != nullptr) *created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
  return static_cast<Error>(result);
}

Error Win32Registry::OpenKey(RegHandle parent, const std::string& subKey, RegHandle& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(ToKey(parent), subKey.c_str(), 0, KEY_ALL_ACCESS, &opened);
  key = result == ERROR_SUCCESS ? ToHandle(opened) : 0;
  return static_cast<Error>(result);
}

Error Win32Registry::CloseKey(RegHandle key) {
  if (IsRoot(key)) return error::kSuccess;
  return static_cast<Error>(RegCloseKey(ToKey(key)));
}

Error Win32Registry::QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, std::string& data) {
  data.clear();
  type = reg_type::kNone;
  // The first call sizes the data. For strings the ANSI size can be an overestimate (the
  // system may report the UTF-16 size), so the second call's size is the one kept; the loop
  // covers a value that grows in between.
  for (;;) {
    DWORD valueType = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &valueType, nullptr, &size);
    if (result != ERROR_SUCCESS) return static_cast<Error>(result);
    std::vector<BYTE> buffer(size + 1);
    size = static_cast<DWORD>(buffer.size());
    result = RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &valueType, buffer.data(), &size);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return static_cast<Error>(result);
    type = valueType;
    data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return error::kSuccess;
  }
}

Error Win32Registry::SetValue(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data) {
  return static_cast<Error>(RegSetValueExA(ToKey(key), name.c_str(), 0, type,
                                          reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())));
}

Error Win32Registry::DeleteValue(RegHandle key, const std::string& name) {
  return static_cast<Error>(RegDeleteValueA(ToKey(key), name.c_str()));
}

Error Win32Registry::DeleteKey(RegHandle parent, const std::string& subKey) {
  return static_cast<Error>(RegDeleteKeyA(ToKey(parent), subKey.c_str()));
}

Error Win32Registry::EnumKey(RegHandle key, std::uint32_t index, std::string& name) {
  char buffer[kMaxKeyName] = {};
  DWORD length = kMaxKeyName;
  const LONG result = RegEnumKeyExA(ToKey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  name = result == ERROR_SUCCESS ? std::string(buffer, length) : std::string();
  return static_cast<Error>(result);
}

Error Win32Registry::EnumValue(RegHandle key, std::uint32_t index, std::string& name) {
  std::vector<char> buffer(kMaxValueName);
  DWORD length = kMaxValueName;
  const LONG result = RegEnumValueA(ToKey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
  name = result == ERROR_SUCCESS ? std::string(buffer.data(), length) : std::string();
  return static_cast<Error>(result);
}

}  // namespace ov::platform
