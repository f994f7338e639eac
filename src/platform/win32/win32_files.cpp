// Files and folders through the ANSI Win32 file API.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace ov::platform {
namespace {

Error LastError() { return static_cast<Error>(GetLastError()); }
Error Result(BOOL ok) { return ok ? error::kSuccess : LastError(); }

// Owns a file handle from CreateFileA.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

void FillEntry(const WIN32_FIND_DATAA& data, FindEntry& entry) {
  entry.name = data.cFileName;
  entry.shortName = data.cAlternateFileName;
  entry.attributes = data.dwFileAttributes;
  entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry.lastWriteTime =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// An open FindFirstFileA search; FindClose on destruction.
class Win32Search : public FileSearch {
 public:
  explicit Win32Search(HANDLE handle) : handle_(handle) {}
  Win32Search(const Win32Search&) = delete;
  Win32Search& operator=(const Win32Search&) = delete;
  ~Win32Search() override { FindClose(handle_); }

  Error Next(FindEntry& entry) override {
    WIN32_FIND_DATAA data{};
    if (!FindNextFileA(handle_, &data)) return LastError();
    FillEntry(data, entry);
    return error::kSuccess;
  }

 private:
  HANDLE handle_;
};

FILETIME ToFileTime(FileTime time) {
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(time & 0xFFFFFFFFu);
  result.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return result;
}

// Opens a file or folder for its times; folders need FILE_FLAG_BACKUP_SEMANTICS.
HANDLE OpenForTimes(const std::string& path, DWORD access) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

Error Win32Files::GetAttributes(const std::string& path, std::uint32_t& attributes) {
  attributes = GetFileAttributesA(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? LastError() : error::kSuccess;
}

Error Win32Files::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return Result(SetFileAttributesA(path.c_str(), attributes));
}

Error Win32Files::FindFirst(const std::string& pattern, FindEntry& first, std::unique_ptr<FileSearch>& search) {
  search.reset();
  WIN32_FIND_DATAA data{};
  const HANDLE handle = FindFirstFileA(pattern.c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  search = std::make_unique<Win32Search>(handle);
  FillEntry(data, first);
  return error::kSuccess;
}

Error Win32Files::Move(const std::string& from, const std::string& to) {
  return Result(MoveFileA(from.c_str(), to.c_str()));
}

Error Win32Files::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  return Result(CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE));
}

Error Win32Files::Delete(const std::string& path) { return Result(DeleteFileA(path.c_str())); }

Error Win32Files::CreateFolder(const std::string& path) { return Result(CreateDirectoryA(path.c_str(), nullptr)); }

Error Win32Files::RemoveFolder(const std::string& path) { return Result(RemoveDirectoryA(path.c_str())); }

Error Win32Files::TempFileName(const std::string& folder, const std::string& prefix, std::uint32_t unique,
                               std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  path.clear();
  if (GetTempFileNameA(folder.c_str(), prefix.c_str(), unique, buffer) == 0) return LastError();
  path = buffer;
  return error::kSuccess;
}

Error Win32Files::ShortPathName(const std::string& path, std::string& shortPath) {
  shortPath.clear();
  const DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
  if (needed == 0) return LastError();
  std::vector<char> buffer(needed + 1);
  const DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return LastError();
  shortPath.assign(buffer.data(), length);
  return error::kSuccess;
}

Error Win32Files::GetLastWriteTime(const std::string& path, FileTime& time) {
  time = 0;
  const FileHandle file(OpenForTimes(path, GENERIC_READ));
  if (!file.valid()) return LastError();
  FILETIME written{};
  if (!GetFileTime(file.get(), nullptr, nullptr, &written)) return LastError();
  time = (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
  return error::kSuccess;
}

Error Win32Files::SetLastWriteTime(const std::string& path, FileTime time) {
  const FileHandle file(OpenForTimes(path, FILE_WRITE_ATTRIBUTES));
  if (!file.valid()) return LastError();
  const FILETIME written = ToFileTime(time);
  return Result(SetFileTime(file.get(), nullptr, nullptr, &written));
}

Error Win32Files::ReadContents(const std::string& path, std::string& contents) {
  contents.clear();
  const FileHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError();
  char chunk[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) return LastError();
    if (read == 0) return error::kSuccess;
    contents.append(chunk, read);
  }
}

Error Win32Files::WriteContents(const std::string& path, const std::string& contents) {
  const FileHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError();
  std::size_t done = 0;
  while (done < contents.size()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
    if (!WriteFile(file.get(), contents.data() + done, want, &written, nullptr)) return LastError();
    done += written;
  }
  return error::kSuccess;
}

}  // namespace ov::platform
