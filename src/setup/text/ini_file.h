// Profile helpers of the installer (uIniFile): values of any length, and writes that
// flush the system's cached copy of the file first.
#pragma once

#include <string>

#include "platform/platform.h"

namespace ov::setup {

// GetPrivateProfileStringA with a buffer of 256 bytes, grown by 256 while the value fills
// the buffer, so that the value is read whole.
std::string ReadProfileString(platform::ProfileApi& profile, const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& file);

// WritePrivateProfileStringA with only the file name (a flush), then the write; true when
// the write succeeded.
bool WriteProfileString(platform::ProfileApi& profile, const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file);

}  // namespace ov::setup
