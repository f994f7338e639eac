#include "platform/fake/fake_registry.h"

#include "base/cp932.h"
#include "platform/fake/fake_names.h"

namespace ov::platform::fake {
namespace {

std::shared_ptr<FakeKey> NewKey(const std::string& name, FakeKey* parent) {
  auto key = std::make_shared<FakeKey>();
  key->name = name;
  key->parent = parent;
  return key;
}

// Splits "a\b\c" at the backslashes that are whole characters.
std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (std::size_t pos = 0; pos < path.size(); pos = base::NextChar(path, pos)) {
    if (base::CharLength(path, pos) == 1 && path[pos] == '\\') {
      parts.push_back(current);
      current.clear();
    } else {
      current.append(path, pos, base::CharLength(path, pos));
    }
  }
  parts.push_back(current);
  return parts;
}

std::string FullName(const FakeKey* key) {
  std::string name = key->name;
  for (const FakeKey* up = key->parent; up != nullptr; up = up->parent) name = up->name + "\\" + name;
  return name;
}

}  // namespace

FakeRegistry::FakeRegistry(FakeFailures& failures) : failures_(failures) {
  machine_ = NewKey("HKEY_LOCAL_MACHINE", nullptr);
  users_ = NewKey("HKEY_USERS", nullptr);
  classes_ = Ensure(machine_, "Software\\Classes");
  currentUser_ = Ensure(users_, "S-1-5-21-0-0-0-1000");
  // The keys every Windows has and the product writes below.
  Ensure(users_, ".DEFAULT\\Software");
  Ensure(currentUser_, "Software\\Microsoft\\Windows\\CurrentVersion");
  Ensure(machine_, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  Ensure(machine_, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
  Ensure(machine_, "System\\CurrentControlSet\\Control\\Session Manager");
  Ensure(classes_, "CLSID");
  Ensure(classes_, "*\\shellex\\ContextMenuHandlers");
  Ensure(classes_, "Folder\\shellex\\ContextMenuHandlers");
}

std::shared_ptr<FakeKey> FakeRegistry::Ensure(const std::shared_ptr<FakeKey>& parent, const std::string& path) {
  std::shared_ptr<FakeKey> key = parent;
  for (const std::string& part : SplitKeyPath(path)) {
    std::shared_ptr<FakeKey>& child = key->children[FoldName(part)];
    if (!child) child = NewKey(part, key.get());
    key = child;
  }
  return key;
}

std::shared_ptr<FakeKey> FakeRegistry::KeyOf(RegHandle handle, Error& error) const {
  error = error::kSuccess;
  std::shared_ptr<FakeKey> key;
  switch (handle) {
    case reg_root::kClassesRoot: key = classes_; break;
    case reg_root::kCurrentUser: key = currentUser_; break;
    case reg_root::kLocalMachine: key = machine_; break;
    case reg_root::kUsers: key = users_; break;
    default: {
      const auto found = handles_.find(handle);
      if (found != handles_.end()) key = found->second;
    }
  }
  if (!key) error = error::kInvalidHandle;
  else if (key->deleted) error = error::kKeyDeleted;
  return error == error::kSuccess ? key : nullptr;
}

std::string FakeRegistry::LogPath(RegHandle handle, const std::string& subKey) const {
  Error error = error::kSuccess;
  const std::shared_ptr<FakeKey> key = KeyOf(handle, error);
  if (!key) return subKey;
  return subKey.empty() ? FullName(key.get()) : FullName(key.get()) + "\\" + subKey;
}

Error FakeRegistry::SplitSubKey(RegHandle parent, const std::string& subKey, Access access,
                                std::vector<std::string>& parts) const {
  parts.clear();
  std::string path = subKey;
  if (!path.empty() && path[0] == '\\') {
    if (parent != reg_root::kClassesRoot || access != Access::kOpen) return error::kBadPathname;
    path.erase(0, 1);
  }
  if (path.empty()) return error::kSuccess;
  // Empty parts ("a\\b", a trailing "\") are skipped.
  for (const std::string& part : SplitKeyPath(path)) {
    if (!part.empty()) parts.push_back(part);
  }
  return error::kSuccess;
}

RegHandle FakeRegistry::NewHandle(const std::shared_ptr<FakeKey>& key) {
  const RegHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = key;
  return handle;
}

Error FakeRegistry::CreateKey(RegHandle parent, const std::string& subKey, RegHandle& key, bool* created) {
  key = 0;
  if (created != nullptr) *created = false;
  if (const Error injected = failures_.Enter("RegCreateKeyExA", LogPath(parent, subKey))) return injected;
  Error error = error::kSuccess;
  std::shared_ptr<FakeKey> current = KeyOf(parent, error);
  if (!current) return error;
  std::vector<std::string> parts;
  if (const Error bad = SplitSubKey(parent, subKey, Access::kCreate, parts)) return bad;
  bool isNew = false;
  for (const std::string& part : parts) {
    std::shared_ptr<FakeKey>& child = current->children[FoldName(part)];
    isNew = !child;
    if (isNew) child = NewKey(part, current.get());
    current = child;
  }
  if (created != nullptr) *created = isNew;
  key = NewHandle(current);
  return error::kSuccess;
}

Error FakeRegistry::OpenKey(RegHandle parent, const std::string& subKey, RegHandle& key) {
  key = 0;
  if (const Error injected = failures_.Enter("RegOpenKeyExA", LogPath(parent, subKey))) return injected;
  Error error = error::kSuccess;
  std::shared_ptr<FakeKey> current = KeyOf(parent, error);
  if (!current) return error;
  std::vector<std::string> parts;
  if (const Error bad = SplitSubKey(parent, subKey, Access::kOpen, parts)) return bad;
  for (const std::string& part : parts) {
    const auto found = current->children.find(FoldName(part));
    if (found == current->children.end()) return error::kFileNotFound;
    current = found->second;
  }
  key = NewHandle(current);
  return error::kSuccess;
}

Error FakeRegistry::CloseKey(RegHandle key) {
  if (const Error injected = failures_.Enter("RegCloseKey")) return injected;
  if (key >= reg_root::kClassesRoot && key <= reg_root::kUsers) return error::kSuccess;
  return handles_.erase(key) == 1 ? error::kSuccess : error::kInvalidHandle;
}

Error FakeRegistry::QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, std::string& data) {
  type = reg_type::kNone;
  data.clear();
  if (const Error injected = failures_.Enter("RegQueryValueExA", LogPath(key, ""), name)) return injected;
  Error error = error::kSuccess;
  const std::shared_ptr<FakeKey> current = KeyOf(key, error);
  if (!current) return error;
  const auto found = current->values.find(FoldName(name));
  if (found == current->values.end()) return error::kFileNotFound;
  type = found->second.type;
  data = found->second.data;
  return error::kSuccess;
}

Error FakeRegistry::SetValue(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data) {
  if (const Error injected = failures_.Enter("RegSetValueExA", LogPath(key, ""), name)) return injected;
  Error error = error::kSuccess;
  const std::shared_ptr<FakeKey> current = KeyOf(key, error);
  if (!current) return error;
  FakeKey::Value& value = current->values[FoldName(name)];
  if (value.name.empty()) value.name = name;  // a new value, or the default one
  value.type = type;
  value.data = data;
  // Strings are kept in UTF-16 with their terminator, so one always reads back.
  const bool text = type == reg_type::kString || type == reg_type::kExpandString;
  if (text && (data.empty() || data.back() != '\0')) value.data += '\0';
  return error::kSuccess;
}

Error FakeRegistry::DeleteValue(RegHandle key, const std::string& name) {
  if (const Error injected = failures_.Enter("RegDeleteValueA", LogPath(key, ""), name)) return injected;
  Error error = error::kSuccess;
  const std::shared_ptr<FakeKey> current = KeyOf(key, error);
  if (!current) return error;
  return current->values.erase(FoldName(name)) == 1 ? error::kSuccess : error::kFileNotFound;
}

Error FakeRegistry::DeleteKey(RegHandle parent, const std::string& subKey) {
  if (const Error injected = failures_.Enter("RegDeleteKeyA", LogPath(parent, subKey))) return injected;
  Error error = error::kSuccess;
  std::shared_ptr<FakeKey> current = KeyOf(parent, error);
  if (!current) return error;
  std::vector<std::string> parts;
  if (const Error bad = SplitSubKey(parent, subKey, Access::kDelete, parts)) return bad;
  for (const std::string& part : parts) {
    const auto found = current->children.find(FoldName(part));
    if (found == current->children.end()) return error::kFileNotFound;
    current = found->second;
  }
  if (current->parent == nullptr || current == classes_ || current == currentUser_) return error::kAccessDenied;
  if (!current->children.empty()) return error::kAccessDenied;
  current->deleted = true;
  current->parent->children.erase(FoldName(current->name));
  return error::kSuccess;
}

Error FakeRegistry::EnumKey(RegHandle key, std::uint32_t index, std::string& name) {
  name.clear();
  if (const Error injected = failures_.Enter("RegEnumKeyExA", LogPath(key, ""))) return injected;
  Error error = error::kSuccess;
  const std::shared_ptr<FakeKey> current = KeyOf(key, error);
  if (!current) return error;
  if (index >= current->children.size()) return error::kNoMoreItems;
  auto it = current->children.begin();
  std::advance(it, index);
  name = it->second->name;
  return error::kSuccess;
}

Error FakeRegistry::EnumValue(RegHandle key, std::uint32_t index, std::string& name) {
  name.clear();
  if (const Error injected = failures_.Enter("RegEnumValueA", LogPath(key, ""))) return injected;
  Error error = error::kSuccess;
  const std::shared_ptr<FakeKey> current = KeyOf(key, error);
  if (!current) return error;
  if (index >= current->values.size()) return error::kNoMoreItems;
  auto it = current->values.begin();
  std::advance(it, index);
  name = it->second.name;
  return error::kSuccess;
}

}  // namespace ov::platform::fake
