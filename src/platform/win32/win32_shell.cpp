// The shell's file operation through SHFileOperationA.
#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_platform.h"

namespace ov::platform {
namespace {

// A list of paths as the shell takes it: each ended by a zero byte, the list by one more.
std::string DoubleZeroList(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) {
    list += path;
    list += '\0';
  }
  list += '\0';
  return list;
}

bool HasWildcard(const std::string& path) {
  for (std::size_t pos = 0; pos < path.size(); pos += IsDBCSLeadByteEx(932, static_cast<BYTE>(path[pos])) ? 2 : 1) {
    if (path[pos] == '*' || path[pos] == '?') return true;
  }
  return false;
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Wine (8.0) cancels a move of several named files into one folder (ERROR_CANCELLED,
// nothing moved), while Windows moves them. Under Wine such a list is handed over as the
// same move with one destination per source (FOF_MULTIDESTFILES), which Wine performs as
// Windows performs the original: same names, same questions on collisions.
bool NeedsOneDestinationPerSource(const ShellFileOperation& operation) {
  if (operation.function != shell_function::kMove || operation.sources.size() < 2) return false;
  if (operation.flags & shell_flag::kMultiDestFiles) return false;
  for (const std::string& source : operation.sources) {
    if (HasWildcard(source)) return false;
  }
  const DWORD attributes = GetFileAttributesA(operation.destination.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return RunningUnderWine();
}

std::string NameOf(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < path.size(); pos += IsDBCSLeadByteEx(932, static_cast<BYTE>(path[pos])) ? 2 : 1) {
    if (path[pos] == '\\' || path[pos] == ':') start = pos + 1;
  }
  return path.substr(start);
}

}  // namespace

bool Win32Shell::AsksBeforeReplacing() { return !RunningUnderWine(); }

ShellFileResult Win32Shell::FileOperation(const ShellFileOperation& operation) {
  const std::string from = DoubleZeroList(operation.sources);
  std::string to;
  std::uint32_t flags = operation.flags;
  if (NeedsOneDestinationPerSource(operation)) {
    std::string folder = operation.destination;
    if (!NameOf(folder).empty()) folder += '\\';
    std::vector<std::string> targets;
    for (const std::string& source : operation.sources) targets.push_back(folder + NameOf(source));
    to = DoubleZeroList(targets);
    flags |= shell_flag::kMultiDestFiles;
  } else if (!operation.destination.empty()) {
    to = DoubleZeroList({operation.destination});
  }
  SHFILEOPSTRUCTA record = {};
  record.hwnd = reinterpret_cast<HWND>(operation.ownerWindow);
  record.wFunc = static_cast<UINT>(operation.function);
  record.pFrom = from.c_str();
  record.pTo = to.empty() ? nullptr : to.c_str();
  record.fFlags = static_cast<FILEOP_FLAGS>(flags);
  record.lpszProgressTitle = operation.progressTitle.empty() ? nullptr : operation.progressTitle.c_str();
  ShellFileResult result;
  result.code = SHFileOperationA(&record);
  result.aborted = record.fAnyOperationsAborted != FALSE;
  return result;
}

}  // namespace ov::platform
