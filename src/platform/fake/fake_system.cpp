#include "platform/fake/fake_system.h"

#include "platform/fake/fake_collation.h"
#include "platform/fake/fake_names.h"

namespace ov::platform::fake {

// The tick count a freshly booted machine shows after a minute or so.
constexpr std::uint32_t kBootTicks = 60000;

FakeSystem::FakeSystem(FakeClock& clock, FakeFailures& failures) : clock_(clock), failures_(failures) {
  version_.majorVersion = 5;
  version_.minorVersion = 1;
  version_.buildNumber = 2600;
  version_.platformId = platform_id::kWin32Nt;
  version_.csdVersion = "Service Pack 2";
}

// The locale calls stay out of the call log: a sort makes millions of them.
int FakeSystem::CompareNoCase(const std::string& a, const std::string& b) {
  return CompareNoCaseJapanese(a, b);
}

std::string FakeSystem::LowerCase(const std::string& text) { return LowerText(text); }

std::string FakeSystem::UpperCase(const std::string& text) { return UpperText(text); }

VersionInfo FakeSystem::Version() {
  failures_.Enter("GetVersionExA");
  return version_;
}

std::string FakeSystem::WindowsFolder() {
  failures_.Enter("GetWindowsDirectoryA");
  return windows_;
}

std::string FakeSystem::SystemFolder() {
  failures_.Enter("GetSystemDirectoryA");
  return system_;
}

std::string FakeSystem::TempFolder() {
  failures_.Enter("GetTempPathA");
  return temp_;
}

void FakeSystem::SetFolders(const std::string& windows, const std::string& system, const std::string& temp) {
  windows_ = windows;
  system_ = system;
  temp_ = temp;
}

void FakeSystem::Sleep(std::uint32_t milliseconds) {
  failures_.Enter("Sleep");
  clock_.Advance(milliseconds);
}

std::uint32_t FakeSystem::TickCount() { return static_cast<std::uint32_t>(kBootTicks + clock_.Elapsed()); }

}  // namespace ov::platform::fake
