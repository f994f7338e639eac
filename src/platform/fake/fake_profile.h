// The profile functions of the in-memory Windows, over files of FakeFiles. Each call reads
// the file, and each write rewrites it whole, the way Wine keeps profile files.
#pragma once

#include <string>
#include <vector>

#include "platform/fake/fake_failures.h"
#include "platform/fake/fake_files.h"
#include "platform/platform.h"

namespace ov::platform::fake {

// A profile file as Windows reads it: sections of entries, in file order. Lines before
// the first section header form a section without a name.
struct ProfileEntry {
  std::string name;
  bool hasValue = false;  // false for a line without "="
  std::string value;
};
struct ProfileSection {
  std::string name;
  bool hasHeader = false;
  std::vector<ProfileEntry> entries;
};
std::vector<ProfileSection> ParseProfile(const std::string& contents);
std::string FormatProfile(const std::vector<ProfileSection>& sections);

class FakeProfile : public ProfileApi {
 public:
  // windowsFolder: where a file named without a folder lives.
  FakeProfile(FakeFiles& files, FakeFailures& failures, const std::string& windowsFolder);

  std::uint32_t GetString(const char* section, const char* key, const std::string& defaultValue,
                          std::string& buffer, std::uint32_t bufferSize, const std::string& file) override;
  Error WriteString(const char* section, const char* key, const char* value, const std::string& file) override;

  void SetWindowsFolder(const std::string& folder) { windowsFolder_ = folder; }

 private:
  std::string FullPath(const std::string& file) const;

  FakeFiles& files_;
  FakeFailures& failures_;
  std::string windowsFolder_;
};

}  // namespace ov::platform::fake
