#include "shellext/menu/registration.h"

namespace ov::shellext {

namespace {
// Below HKEY_CLASSES_ROOT; the API takes paths relative to the root, without a leading "\".
std::string ClassKey(const std::string& classIdText) { return "CLSID\\" + classIdText; }
const char kFilesHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\Orvane";
const char kFoldersHandlerKey[] = "Folder\\shellex\\ContextMenuHandlers\\Orvane";
}  // namespace

const char kClassIdText[] = "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";
const char kServerName[] = "Orvane Shell Extension";
const char kHandlerName[] = "Orvane";

std::vector<RegistryEntry> ServerEntries(const std::string& classIdText, const std::string& modulePath) {
  const std::string classKey = ClassKey(classIdText);
  return {
      {classKey, "", kServerName},
      {classKey + "\\InprocServer32", "", modulePath},
      {classKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {kFilesHandlerKey, "", classIdText},
      {kFoldersHandlerKey, "", classIdText},
  };
}

std::vector<std::string> ServerKeys(const std::string& classIdText) {
  return {ClassKey(classIdText), kFilesHandlerKey, kFoldersHandlerKey};
}

bool RegisterServer(platform::RegistryApi& registry, const std::string& classIdText, const std::string& modulePath) {
  for (const RegistryEntry& entry : ServerEntries(classIdText, modulePath)) {
    platform::RegKey key;
    if (platform::RegKey::Create(registry, platform::reg_root::kClassesRoot, entry.key, key) !=
        platform::error::kSuccess) {
      return false;
    }
    if (platform::SetStringValue(registry, key.Get(), entry.valueName, entry.data) != platform::error::kSuccess) {
      return false;
    }
  }
  return true;
}

void DeleteKeyTree(platform::RegistryApi& registry, platform::RegHandle parent, const std::string& key) {
  {
    platform::RegKey opened;
    if (platform::RegKey::Open(registry, parent, key, opened) != platform::error::kSuccess) return;
    // Collect the names first: deleting while enumerating would shift the indexes.
    std::vector<std::string> subKeys;
    std::string name;
    for (std::uint32_t index = 0; registry.EnumKey(opened.Get(), index, name) == platform::error::kSuccess; ++index) {
      subKeys.push_back(name);
    }
    for (const std::string& subKey : subKeys) DeleteKeyTree(registry, opened.Get(), subKey);
  }
  registry.DeleteKey(parent, key);
}

void UnregisterServer(platform::RegistryApi& registry, const std::string& classIdText) {
  for (const std::string& key : ServerKeys(classIdText)) {
    DeleteKeyTree(registry, platform::reg_root::kClassesRoot, key);
  }
}

}  // namespace ov::shellext
