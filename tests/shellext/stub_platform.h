// Small stand-ins for the platform pieces the context menu uses: file attributes from a
// table, an ordinal ignore-case comparison, and a registry of keys and text values that
// records every call and can be told to fail one.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "platform/platform.h"

namespace ov::test {

using platform::Error;

class StubFiles : public platform::FileApi {
 public:
  std::map<std::string, std::uint32_t> attributes;  // path -> attributes

  Error GetAttributes(const std::string& path, std::uint32_t& result) override {
    const auto found = attributes.find(path);
    result = found == attributes.end() ? platform::attribute::kInvalid : found->second;
    return found == attributes.end() ? platform::error::kFileNotFound : platform::error::kSuccess;
  }
  Error SetAttributes(const std::string&, std::uint32_t) override { return Unused(); }
  Error FindFirst(const std::string&, platform::FindEntry&, std::unique_ptr<platform::FileSearch>&) override {
    return Unused();
  }
  Error Move(const std::string&, const std::string&) override { return Unused(); }
  Error Copy(const std::string&, const std::string&, bool) override { return Unused(); }
  Error Delete(const std::string&) override { return Unused(); }
  Error CreateFolder(const std::string&) override { return Unused(); }
  Error RemoveFolder(const std::string&) override { return Unused(); }
  Error TempFileName(const std::string&, const std::string&, std::uint32_t, std::string&) override { return Unused(); }
  Error ShortPathName(const std::string&, std::string&) override { return Unused(); }
  Error GetLastWriteTime(const std::string&, platform::FileTime&) override { return Unused(); }
  Error SetLastWriteTime(const std::string&, platform::FileTime) override { return Unused(); }
  Error ReadContents(const std::string&, std::string&) override { return Unused(); }
  Error WriteContents(const std::string&, const std::string&) override { return Unused(); }

 private:
  static Error Unused() { return platform::error::kCallNotImplemented; }
};

// Ignores the case of ASCII letters only; enough to tell a case-insensitive sort from a
// byte sort.
class StubSystem : public platform::SystemApi {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) override {
    const std::string x = base::AsciiLower(a), y = base::AsciiLower(b);
    return x < y ? -1 : (x == y ? 0 : 1);
  }
  std::string LowerCase(const std::string& text) override { return base::AsciiLower(text); }
  std::string UpperCase(const std::string& text) override { return base::AsciiUpper(text); }
  std::uint32_t AnsiCodePage() override { return 932; }
  platform::VersionInfo Version() override { return {}; }
  std::string WindowsFolder() override { return "C:\\WINDOWS"; }
  std::string SystemFolder() override { return "C:\\WINDOWS\\system32"; }
  std::string TempFolder() override { return "C:\\TEMP\\"; }
  void Sleep(std::uint32_t) override {}
  std::uint32_t TickCount() override { return 0; }
};

// Keys are full paths below the root ("CLSID\{...}\InprocServer32"), compared as given.
class StubRegistry : public platform::RegistryApi {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;  // key -> value name -> data
  std::vector<std::string> calls;                                   // "create K", "set K|name=data", ...
  std::string failOn;                        // a call that fails, as it is recorded
  std::size_t failAt = std::size_t(-1);      // or the call with this index

  Error CreateKey(platform::RegHandle parent, const std::string& subKey, platform::RegHandle& key,
                  bool* created) override {
    const std::string path = PathOf(parent, subKey);
    if (Record("create " + path)) return platform::error::kAccessDenied;
    const bool isNew = keys.count(path) == 0;
    if (created != nullptr) *created = isNew;
    // Creating a key creates the keys above it.
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
      keys[path.substr(0, at)];
    }
    keys[path];
    key = Handle(path);
    return platform::error::kSuccess;
  }
  Error OpenKey(platform::RegHandle parent, const std::string& subKey, platform::RegHandle& key) override {
    const std::string path = PathOf(parent, subKey);
    if (Record("open " + path)) return platform::error::kAccessDenied;
    if (keys.count(path) == 0) return platform::error::kFileNotFound;
    key = Handle(path);
    return platform::error::kSuccess;
  }
  Error CloseKey(platform::RegHandle key) override {
    if (key >= platform::reg_root::kClassesRoot) return platform::error::kSuccess;
    Record("close " + open_.at(key - 1));
    --openKeys_;
    return platform::error::kSuccess;
  }
  Error QueryValue(platform::RegHandle key, const std::string& name, std::uint32_t& type, std::string& data) override {
    const auto& values = keys.at(PathOf(key, ""));
    const auto found = values.find(name);
    if (found == values.end()) return platform::error::kFileNotFound;
    type = platform::reg_type::kString;
    data = found->second;
    return platform::error::kSuccess;
  }
  Error SetValue(platform::RegHandle key, const std::string& name, std::uint32_t type,
                 const std::string& data) override {
    const std::string path = PathOf(key, "");
    const std::string text = data.substr(0, data.find('\0'));
    if (Record("set " + path + "|" + name + "=" + text)) return platform::error::kAccessDenied;
    if (type != platform::reg_type::kString || data.empty() || data.back() != '\0') {
      return platform::error::kInvalidData;  // only zero-terminated REG_SZ is expected here
    }
    keys.at(path)[name] = text;
    return platform::error::kSuccess;
  }
  Error DeleteValue(platform::RegHandle, const std::string&) override { return platform::error::kCallNotImplemented; }
  Error DeleteKey(platform::RegHandle parent, const std::string& subKey) override {
    const std::string path = PathOf(parent, subKey);
    if (Record("delete " + path)) return platform::error::kAccessDenied;
    if (keys.count(path) == 0) return platform::error::kFileNotFound;
    if (!SubKeys(path).empty()) return platform::error::kAccessDenied;
    keys.erase(path);
    return platform::error::kSuccess;
  }
  Error EnumKey(platform::RegHandle key, std::uint32_t index, std::string& name) override {
    const std::vector<std::string> children = SubKeys(PathOf(key, ""));
    if (index >= children.size()) return platform::error::kNoMoreItems;
    name = children[index];
    return platform::error::kSuccess;
  }
  Error EnumValue(platform::RegHandle, std::uint32_t, std::string&) override {
    return platform::error::kCallNotImplemented;
  }

  std::vector<std::string> SubKeys(const std::string& path) const {
    std::vector<std::string> children;
    const std::string prefix = path + "\\";
    for (const auto& entry : keys) {
      if (entry.first.compare(0, prefix.size(), prefix) == 0 && entry.first.find('\\', prefix.size()) == std::string::npos) {
        children.push_back(entry.first.substr(prefix.size()));
      }
    }
    return children;
  }
  // Keys that were opened or created and are not closed yet.
  int OpenKeys() const { return openKeys_; }

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    return call == failOn || calls.size() - 1 == failAt;
  }
  platform::RegHandle Handle(const std::string& path) {
    open_.push_back(path);
    ++openKeys_;
    return open_.size();
  }
  std::string PathOf(platform::RegHandle parent, const std::string& subKey) const {
    if (parent == platform::reg_root::kClassesRoot) return subKey;
    const std::string& base = open_.at(parent - 1);
    return subKey.empty() ? base : base + "\\" + subKey;
  }
  std::vector<std::string> open_;
  int openKeys_ = 0;
};

}  // namespace ov::test
