#include "platform/fake/fake_system.h"

#include "platform/fake/fake_collation.h"
#include "platform/fake/fake_names.h"

#include <map>

#include "base/cp932.h"

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

std::string FakeSystem::SortKeyNoCase(const std::string& text) { return SortKeyJapanese(text); }

std::string FakeSystem::LowerCase(const std::string& text) { return LowerText(text); }

std::string FakeSystem::UpperCase(const std::string& text) { return UpperText(text); }

VersionInfo FakeSystem::Version() {
  if (failures_.Enter("GetVersionExA") != error::kSuccess) {
    VersionInfo failed;
    failed.obtained = false;
    return failed;
  }
  return version_;
}

// An injected failure returns the empty text, as the calls' zero result does on Windows.
std::string FakeSystem::WindowsFolder() {
  return failures_.Enter("GetWindowsDirectoryA") != error::kSuccess ? std::string() : windows_;
}

std::string FakeSystem::SystemFolder() {
  return failures_.Enter("GetSystemDirectoryA") != error::kSuccess ? std::string() : system_;
}

std::string FakeSystem::TempFolder() {
  return failures_.Enter("GetTempPathA") != error::kSuccess ? std::string() : temp_;
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

// The system's messages for the codes the product meets, in Japanese.
std::string FakeSystem::ErrorText(Error code) {
  failures_.Enter("FormatMessageA");
  static const std::map<Error, const char*> kTexts = {
      {error::kFileNotFound, "ファイルが見つかりません。"},
      {error::kPathNotFound, "パスが見つかりません。"},
      {error::kAccessDenied, "アクセスが拒否されました。"},
      {error::kSharingViolation, "共有違反です。"},
      {error::kFileExists, "ファイルはすでに存在します。"},
      {112, "ディスクがいっぱいです。"},
  };
  const auto found = kTexts.find(code);
  return found == kTexts.end() ? std::string() : std::string(found->second) + "\r\n";
}

// Half-width "\x81\x40", "\x81\x49", "\xFA\x57", "\x81\x94", "\x81\x90", "\x81\x93", "\x81\x95", "\xFA\x56", "\x81\x69", "\x81\x6A", "\x81\x96", "\x81\x7B", "\x81\x43", "\x81\x7C", "\x81\x44", "\x81\x5E", "\x82\x4F", "\x82\x50", "\x82\x51", "\x82\x52", "\x82\x53", "\x82\x54", "\x82\x55", "\x82\x56", "\x82\x57", "\x82\x58", "\x81\x46", "\x81\x47", "\x81\x83", "\x81\x81", "\x81\x84", "\x81\x48", "\x81\x97", "\x82\x60", "\x82\x61", "\x82\x62", "\x82\x63", "\x82\x64", "\x82\x65", "\x82\x66", "\x82\x67", "\x82\x68", "\x82\x69", "\x82\x6A", "\x82\x6B", "\x82\x6C", "\x82\x6D", "\x82\x6E", "\x82\x6F", "\x82\x70", "\x82\x71", "\x82\x72", "\x82\x73", "\x82\x74", "\x82\x75", "\x82\x76", "\x82\x77", "\x82\x78", "\x82\x79", "\x81\x6D", "\x81\x5F", "\x81\x6E", "\x81\x4F", "\x81\x51", "\x81\x4D", "\x82\x81", "\x82\x82", "\x82\x83", "\x82\x84", "\x82\x85", "\x82\x86", "\x82\x87", "\x82\x88", "\x82\x89", "\x82\x8A", "\x82\x8B", "\x82\x8C", "\x82\x8D", "\x82\x8E", "\x82\x8F", "\x82\x90", "\x82\x91", "\x82\x92", "\x82\x93", "\x82\x94", "\x82\x95", "\x82\x96", "\x82\x97", "\x82\x98", "\x82\x99", "\x82\x9A", "\x81\x6F", "\x81\x62", "\x81\x70", "\x81\x60" (0x20 to 0x7E) and half-width katakana (0xA1 to 0xDF) become their
// full-width characters; everything else stays.
std::string FakeSystem::FullWidth(const std::string& text) {
  static const char* const kAscii[] = {"\x81\x40", "\x81\x49", "\xFA\x57", "\x81\x94", "\x81\x90", "\x81\x93", "\x81\x95", "\xFA\x56", "\x81\x69", "\x81\x6A", "\x81\x96", "\x81\x7B", "\x81\x43", "\x81\x7C", "\x81\x44", "\x81\x5E", "\x82\x4F", "\x82\x50", "\x82\x51", "\x82\x52", "\x82\x53", "\x82\x54", "\x82\x55", "\x82\x56", "\x82\x57", "\x82\x58", "\x81\x46", "\x81\x47", "\x81\x83", "\x81\x81", "\x81\x84", "\x81\x48", "\x81\x97", "\x82\x60", "\x82\x61", "\x82\x62", "\x82\x63", "\x82\x64", "\x82\x65", "\x82\x66", "\x82\x67", "\x82\x68", "\x82\x69", "\x82\x6A", "\x82\x6B", "\x82\x6C", "\x82\x6D", "\x82\x6E", "\x82\x6F", "\x82\x70", "\x82\x71", "\x82\x72", "\x82\x73", "\x82\x74", "\x82\x75", "\x82\x76", "\x82\x77", "\x82\x78", "\x82\x79", "\x81\x6D", "\x81\x5F", "\x81\x6E", "\x81\x4F", "\x81\x51", "\x81\x4D", "\x82\x81", "\x82\x82", "\x82\x83", "\x82\x84", "\x82\x85", "\x82\x86", "\x82\x87", "\x82\x88", "\x82\x89", "\x82\x8A", "\x82\x8B", "\x82\x8C", "\x82\x8D", "\x82\x8E", "\x82\x8F", "\x82\x90", "\x82\x91", "\x82\x92", "\x82\x93", "\x82\x94", "\x82\x95", "\x82\x96", "\x82\x97", "\x82\x98", "\x82\x99", "\x82\x9A", "\x81\x6F", "\x81\x62", "\x81\x70", "\x81\x60"};
  static const char* const kKana[] = {"\x81\x42", "\x81\x75", "\x81\x76", "\x81\x41", "\x81\x45", "\x83\x92", "\x83\x40", "\x83\x42", "\x83\x44", "\x83\x46", "\x83\x48", "\x83\x83", "\x83\x85", "\x83\x87", "\x83\x62", "\x81\x5B", "\x83\x41", "\x83\x43", "\x83\x45", "\x83\x47", "\x83\x49", "\x83\x4A", "\x83\x4C", "\x83\x4E", "\x83\x50", "\x83\x52", "\x83\x54", "\x83\x56", "\x83\x58", "\x83\x5A", "\x83\x5C", "\x83\x5E", "\x83\x60", "\x83\x63", "\x83\x65", "\x83\x67", "\x83\x69", "\x83\x6A", "\x83\x6B", "\x83\x6C", "\x83\x6D", "\x83\x6E", "\x83\x71", "\x83\x74", "\x83\x77", "\x83\x7A", "\x83\x7D", "\x83\x7E", "\x83\x80", "\x83\x81", "\x83\x82", "\x83\x84", "\x83\x86", "\x83\x88", "\x83\x89", "\x83\x8A", "\x83\x8B", "\x83\x8C", "\x83\x8D", "\x83\x8F", "\x83\x93", "\x81\x4A", "\x81\x4B"};
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (base::IsLeadByte(c) && i + 1 < text.size()) {
      result.append(text, i, 2);
      ++i;
    } else if (c >= 0x20 && c <= 0x7E && c != '\\') {  // "\" stays: in code page 932 it is the yen sign
      result += kAscii[c - 0x20];
    } else if (c >= 0xA1 && c <= 0xDF) {
      result += kKana[c - 0xA1];
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

}  // namespace ov::platform::fake
