// The registry of the in-memory Windows: a tree of keys under HKEY_LOCAL_MACHINE and
// HKEY_USERS, with HKEY_CLASSES_ROOT showing HKLM\Software\Classes and HKEY_CURRENT_USER
// showing the user's key under HKEY_USERS, as on NT.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/fake/fake_failures.h"
#include "platform/platform.h"

namespace ov::platform::fake {

struct FakeKey {
  struct Value {
    std::string name;  // as first written
    std::uint32_t type = 0;
    std::string data;
  };
  std::string name;
  FakeKey* parent = nullptr;
  bool deleted = false;  // handles to a deleted key stay valid but fail
  std::map<std::string, std::shared_ptr<FakeKey>> children;  // folded name -> key
  std::map<std::string, Value> values;                       // folded name -> value
};

class FakeRegistry : public RegistryApi {
 public:
  explicit FakeRegistry(FakeFailures& failures);

  Error CreateKey(RegHandle parent, const std::string& subKey, RegHandle& key, bool* created) override;
  Error OpenKey(RegHandle parent, const std::string& subKey, RegHandle& key) override;
  Error CloseKey(RegHandle key) override;
  Error QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, std::string& data) override;
  Error SetValue(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data) override;
  Error DeleteValue(RegHandle key, const std::string& name) override;
  Error DeleteKey(RegHandle parent, const std::string& subKey) override;
  Error EnumKey(RegHandle key, std::uint32_t index, std::string& name) override;
  Error EnumValue(RegHandle key, std::uint32_t index, std::string& name) override;

  // Handles opened and not yet closed (roots do not count): a test can prove that every
  // key was closed.
  std::size_t OpenHandles() const { return handles_.size(); }

 private:
  enum class Access { kOpen, kCreate, kDelete };
  // The key a handle stands for, or null (kInvalidHandle / kKeyDeleted in error).
  std::shared_ptr<FakeKey> KeyOf(RegHandle handle, Error& error) const;
  // "HKEY_LOCAL_MACHINE\Software\..." for the call log and the failure rules.
  std::string LogPath(RegHandle handle, const std::string& subKey) const;
  // Splits a subkey path; kBadPathname for a leading "\" except when opening below
  // HKEY_CLASSES_ROOT, which Windows allows.
  Error SplitSubKey(RegHandle parent, const std::string& subKey, Access access, std::vector<std::string>& parts) const;
  RegHandle NewHandle(const std::shared_ptr<FakeKey>& key);
  std::shared_ptr<FakeKey> Ensure(const std::shared_ptr<FakeKey>& parent, const std::string& path);

  FakeFailures& failures_;
  std::shared_ptr<FakeKey> machine_;
  std::shared_ptr<FakeKey> users_;
  std::shared_ptr<FakeKey> classes_;
  std::shared_ptr<FakeKey> currentUser_;
  std::map<RegHandle, std::shared_ptr<FakeKey>> handles_;
  RegHandle nextHandle_ = 0x1000;
};

}  // namespace ov::platform::fake
