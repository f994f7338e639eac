#include "setup/text/ini_file.h"

namespace ov::setup {

std::string ReadProfileString(platform::ProfileApi& profile, const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& file) {
  constexpr std::uint32_t kStep = 256;
  std::string buffer;
  for (std::uint32_t size = kStep;; size += kStep) {
    const std::uint32_t length = profile.GetString(section.c_str(), key.c_str(), defaultValue, buffer, size, file);
    if (length != size - 1) return buffer.substr(0, length);
  }
}

bool WriteProfileString(platform::ProfileApi& profile, const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
  profile.WriteString(nullptr, nullptr, nullptr, file);
  return profile.WriteString(section.c_str(), key.c_str(), value.c_str(), file) == platform::error::kSuccess;
}

}  // namespace ov::setup
