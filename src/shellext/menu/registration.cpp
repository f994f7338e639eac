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

bool IsWellFormedClassId(const std::string& text) {
  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": 38 characters.
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  for (std::size_t i = 1; i < 37; ++i) {
    const char c = text[i];
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (dash ? c != '-' : !hex) return false;
  }
  return true;
}

bool RegisterServer(platform::RegistryApi& registry, const std::string& classIdText, const std::string& modulePath) {
  if (!IsWellFormedClassId(classIdText)) return false;
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

bool UnregisterServer(platform::RegistryApi& registry, const std::string& classIdText) {
  if (!IsWellFormedClassId(classIdText)) return false;
  for (const std::string& key : ServerKeys(classIdText)) {
    platform::DeleteRegistryTree(registry, platform::reg_root::kClassesRoot, key);
  }
  return true;
}

}  // namespace ov::shellext
