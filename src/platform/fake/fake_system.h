// System information of the in-memory Windows: a configurable version record and system
// folders (by default a Japanese Windows XP), code page 932, the Japanese name comparison
// and the manual clock.
#pragma once

#include <string>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_failures.h"
#include "platform/platform.h"

namespace ov::platform::fake {

class FakeSystem : public SystemApi {
 public:
  FakeSystem(FakeClock& clock, FakeFailures& failures);

  int CompareNoCase(const std::string& a, const std::string& b) override;
  std::string SortKeyNoCase(const std::string& text) override;
  std::string LowerCase(const std::string& text) override;
  std::string UpperCase(const std::string& text) override;
  std::uint32_t AnsiCodePage() override { return 932; }
  VersionInfo Version() override;
  std::string WindowsFolder() override;
  std::string SystemFolder() override;
  std::string TempFolder() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t TickCount() override;
  std::string ErrorText(Error code) override;
  std::string FullWidth(const std::string& text) override;

  void SetVersion(const VersionInfo& version) { version_ = version; }
  // Folders as GetWindowsDirectoryA, GetSystemDirectoryA and GetTempPathA return them.
  void SetFolders(const std::string& windows, const std::string& system, const std::string& temp);

 private:
  FakeClock& clock_;
  FakeFailures& failures_;
  VersionInfo version_;
  std::string windows_ = "C:\\WINDOWS";
  std::string system_ = "C:\\WINDOWS\\system32";
  std::string temp_ = "C:\\WINDOWS\\TEMP\\";
};

}  // namespace ov::platform::fake
