// The platform as the real ANSI Win32 API: each method is one call (or the two calls that
// size and fill a buffer), with errors from GetLastError or the registry's return code.
#pragma once

#include "platform/platform.h"

namespace ov::platform {

class Win32Files : public FileApi {
 public:
  Error GetAttributes(const std::string& path, std::uint32_t& attributes) override;
  Error SetAttributes(const std::string& path, std::uint32_t attributes) override;
  Error FindFirst(const std::string& pattern, FindEntry& first, std::unique_ptr<FileSearch>& search) override;
  Error Move(const std::string& from, const std::string& to) override;
  Error Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  Error Delete(const std::string& path) override;
  Error CreateFolder(const std::string& path) override;
  Error RemoveFolder(const std::string& path) override;
  Error TempFileName(const std::string& folder, const std::string& prefix, std::uint32_t unique,
                     std::string& path) override;
  Error ShortPathName(const std::string& path, std::string& shortPath) override;
  Error GetLastWriteTime(const std::string& path, FileTime& time) override;
  Error SetLastWriteTime(const std::string& path, FileTime time) override;
  Error ReadContents(const std::string& path, std::string& contents) override;
  Error WriteContents(const std::string& path, const std::string& contents) override;
};

class Win32Registry : public RegistryApi {
 public:
  Error CreateKey(RegHandle parent, const std::string& subKey, RegHandle& key, bool* created) override;
  Error OpenKey(RegHandle parent, const std::string& subKey, RegHandle& key) override;
  Error CloseKey(RegHandle key) override;
  Error QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, std::string& data) override;
  Error SetValue(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data) override;
  Error DeleteValue(RegHandle key, const std::string& name) override;
  Error DeleteKey(RegHandle parent, const std::string& subKey) override;
  Error EnumKey(RegHandle key, std::uint32_t index, std::string& name) override;
  Error EnumValue(RegHandle key, std::uint32_t index, std::string& name) override;
};

class Win32Profile : public ProfileApi {
 public:
  std::uint32_t GetString(const char* section, const char* key, const std::string& defaultValue,
                          std::string& buffer, std::uint32_t bufferSize, const std::string& file) override;
  Error WriteString(const char* section, const char* key, const char* value, const std::string& file) override;
};

class Win32System : public SystemApi {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) override;
  std::string SortKeyNoCase(const std::string& text) override;
  std::string LowerCase(const std::string& text) override;
  std::string UpperCase(const std::string& text) override;
  std::uint32_t AnsiCodePage() override;
  VersionInfo Version() override;
  std::string WindowsFolder() override;
  std::string SystemFolder() override;
  std::string TempFolder() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t TickCount() override;
  std::string ErrorText(Error code) override;
  std::string FullWidth(const std::string& text) override;
};

class Win32Shell : public ShellApi {
 public:
  ShellFileResult FileOperation(const ShellFileOperation& operation) override;
  bool AsksBeforeReplacing() override;
};

// The one real platform of a process; stateless, so any number may exist.
class Win32Platform : public Platform {
 public:
  FileApi& Files() override { return files_; }
  RegistryApi& Registry() override { return registry_; }
  ProfileApi& Profile() override { return profile_; }
  SystemApi& System() override { return system_; }
  ShellApi& Shell() override { return shell_; }

 private:
  Win32Files files_;
  Win32Registry registry_;
  Win32Profile profile_;
  Win32System system_;
  Win32Shell shell_;
};

}  // namespace ov::platform
