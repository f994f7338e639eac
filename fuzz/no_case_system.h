// A SystemApi for the fuzz targets: only the name comparison works (letters A to Z
// without case, double-byte characters compared whole), the rest never gets called.
#pragma once

#include <string>

#include "base/cp932.h"
#include "platform/platform.h"

namespace ov::test {

class NoCaseSystem : public platform::SystemApi {
 public:
  int CompareNoCase(const std::string& a, const std::string& b) override {
    return base::AsciiLower(a).compare(base::AsciiLower(b));
  }
  std::string SortKeyNoCase(const std::string& text) override { return base::AsciiLower(text); }
  std::string LowerCase(const std::string& text) override { return base::AsciiLower(text); }
  std::string UpperCase(const std::string& text) override { return base::AsciiUpper(text); }
  std::uint32_t AnsiCodePage() override { return 932; }
  platform::VersionInfo Version() override { return {}; }
  std::string WindowsFolder() override { return "C:\\WINDOWS"; }
  std::string SystemFolder() override { return "C:\\WINDOWS\\SYSTEM32"; }
  std::string TempFolder() override { return "C:\\TEMP\\"; }
  void Sleep(std::uint32_t) override {}
  std::uint32_t TickCount() override { return 0; }
  std::string ErrorText(platform::Error) override { return std::string(); }
  std::string FullWidth(const std::string& text) override { return text; }
};

}  // namespace ov::test
