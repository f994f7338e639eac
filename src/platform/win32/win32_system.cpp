// System information and locale text through the ANSI Win32 API.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace ov::platform {
namespace {

// GetWindowsDirectoryA and its kin: first call sizes, second fills.
template <typename Call>
std::string FolderFrom(Call call) {
  const UINT needed = call(nullptr, 0);
  if (needed == 0) return std::string();
  std::vector<char> buffer(needed + 1);
  const UINT length = call(buffer.data(), static_cast<UINT>(buffer.size()));
  return length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

}  // namespace

int Win32System::CompareNoCase(const std::string& a, const std::string& b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                    b.data(), static_cast<int>(b.size()));
  return result - CSTR_EQUAL;  // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN are 1, 2, 3
}

std::string Win32System::SortKeyNoCase(const std::string& text) {
  // An empty source is an invalid parameter; its key is the empty one, before every other.
  if (text.empty()) return text;
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(text.size());
  const int needed = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::string();
  std::string key(static_cast<std::size_t>(needed), '\0');
  const int written = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, &key[0], needed);
  // The count includes the key's terminating zero, which orders nothing.
  key.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
  return key;
}

std::string Win32System::LowerCase(const std::string& text) {
  std::string result = text;
  if (!result.empty()) CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
  return result;
}

std::string Win32System::UpperCase(const std::string& text) {
  if (text.empty()) return text;
  const int length = static_cast<int>(text.size());
  const int needed = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text.data(), length, nullptr, 0);
  if (needed <= 0) return text;
  std::string result(static_cast<std::size_t>(needed), '\0');
  const int written = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text.data(), length, &result[0], needed);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

std::uint32_t Win32System::AnsiCodePage() { return GetACP(); }

VersionInfo Win32System::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  VersionInfo version;
  if (!GetVersionExA(&info)) {
    version.obtained = false;
    return version;
  }
  version.majorVersion = info.dwMajorVersion;
  version.minorVersion = info.dwMinorVersion;
  version.buildNumber = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  version.csdVersion = info.szCSDVersion;
  return version;
}

std::string Win32System::WindowsFolder() {
  return FolderFrom([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string Win32System::SystemFolder() {
  return FolderFrom([](char* buffer, UINT size) { return GetSystemDirectoryA(buffer, size); });
}

std::string Win32System::TempFolder() {
  return FolderFrom([](char* buffer, UINT size) { return static_cast<UINT>(GetTempPathA(size, buffer)); });
}

void Win32System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t Win32System::TickCount() { return GetTickCount(); }

std::string Win32System::ErrorText(Error code) {
  char buffer[1024];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      buffer, sizeof buffer, nullptr);
  return std::string(buffer, length);
}

std::string Win32System::FullWidth(const std::string& text) {
  if (text.empty()) return text;
  const int length = static_cast<int>(text.size());
  const int needed = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, text.data(), length, nullptr, 0);
  if (needed <= 0) return text;
  std::string result(static_cast<std::size_t>(needed), '\0');
  const int written = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, text.data(), length, &result[0], needed);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

}  // namespace ov::platform
