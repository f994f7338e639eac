#include "platform/platform.h"

#include <array>

#include "base/cp932.h"

namespace ov::platform {

namespace {

bool IsRoot(RegHandle key) {
  return key == reg_root::kClassesRoot || key == reg_root::kCurrentUser || key == reg_root::kLocalMachine ||
         key == reg_root::kUsers;
}

// The parts of a key path between its "\" separators; trail bytes are never separators.
std::vector<std::string> KeyParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t separator = base::FindAscii(path, '\\', start);
    if (separator == std::string::npos) {
      parts.push_back(path.substr(start));
      return parts;
    }
    parts.push_back(path.substr(start, separator - start));
    start = separator + 1;
  }
}

// HKEY_CLASSES_ROOT's own structure: the classes, interfaces and the handlers of every file,
// folder and drive. Below them lives every other program's registration.
constexpr std::array<const char*, 14> kClassesRootOwnKeys = {
    "CLSID", "Interface", "TypeLib", "AppID", "*", "Folder", "Directory", "Drive",
    "AllFilesystemObjects", "Unknown", "SystemFileAssociations", "MIME", "Installer", "Component Categories"};

}  // namespace

bool IsProtectedRegistryKey(RegHandle parent, const std::string& subKey) {
  const std::vector<std::string> parts = KeyParts(subKey);
  for (const std::string& part : parts) {
    if (part.empty()) return true;
  }
  if (!IsRoot(parent) || parts.size() > 1) return false;
  if (parent != reg_root::kClassesRoot) return true;
  const std::string name = base::AsciiUpper(parts.front());
  for (const char* own : kClassesRootOwnKeys) {
    if (name == base::AsciiUpper(own)) return true;
  }
  return false;
}

Error DeleteRegistryTree(RegistryApi& registry, RegHandle parent, const std::string& subKey) {
  if (IsProtectedRegistryKey(parent, subKey)) return error::kInvalidParameter;
  {
    RegKey key;
    if (const Error opened = RegKey::Open(registry, parent, subKey, key)) return opened;
    // Index 0 while deletions succeed (each shifts the rest down); past a subkey that stays.
    std::uint32_t index = 0;
    std::string child;
    while (registry.EnumKey(key.Get(), index, child) == error::kSuccess) {
      if (child.empty() || DeleteRegistryTree(registry, key.Get(), child) != error::kSuccess) ++index;
    }
  }
  return registry.DeleteKey(parent, subKey);
}

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
