#include "platform/platform.h"

namespace ov::platform {

Error RegKey::Create(RegistryApi& registry, RegHandle parent, const std::string& subKey, RegKey& key,
                     bool* created) {
  RegHandle handle = 0;
  const Error result = registry.CreateKey(parent, subKey, handle, created);
  key = result == error::kSuccess ? RegKey(registry, handle) : RegKey();
  return result;
}

Error RegKey::Open(RegistryApi& registry, RegHandle parent, const std::string& subKey, RegKey& key) {
  RegHandle handle = 0;
  const Error result = registry.OpenKey(parent, subKey, handle);
  key = result == error::kSuccess ? RegKey(registry, handle) : RegKey();
  return result;
}

Error SetStringValue(RegistryApi& registry, RegHandle key, const std::string& name, const std::string& text,
                     std::uint32_t type) {
  return registry.SetValue(key, name, type, text + '\0');
}

Error QueryStringValue(RegistryApi& registry, RegHandle key, const std::string& name, std::string& text) {
  std::uint32_t type = reg_type::kNone;
  std::string data;
  const Error result = registry.QueryValue(key, name, type, data);
  text.clear();
  if (result != error::kSuccess) return result;
  if (type != reg_type::kString && type != reg_type::kExpandString) return error::kInvalidData;
  const std::size_t end = data.find('\0');
  text = data.substr(0, end);
  return error::kSuccess;
}

Error SetDwordValue(RegistryApi& registry, RegHandle key, const std::string& name, std::uint32_t value) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return registry.SetValue(key, name, reg_type::kDword, data);
}

Error QueryDwordValue(RegistryApi& registry, RegHandle key, const std::string& name, std::uint32_t& value) {
  std::uint32_t type = reg_type::kNone;
  std::string data;
  const Error result = registry.QueryValue(key, name, type, data);
  value = 0;
  if (result != error::kSuccess) return result;
  if (type != reg_type::kDword || data.size() != 4) return error::kInvalidData;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  return error::kSuccess;
}

bool FileExists(FileApi& files, const std::string& path) {
  std::uint32_t attributes = attribute::kInvalid;
  return files.GetAttributes(path, attributes) == error::kSuccess && (attributes & attribute::kDirectory) == 0;
}

bool FolderExists(FileApi& files, const std::string& path) {
  std::uint32_t attributes = attribute::kInvalid;
  return files.GetAttributes(path, attributes) == error::kSuccess && (attributes & attribute::kDirectory) != 0;
}

}  // namespace ov::platform
