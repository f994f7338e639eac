// The operating system as the product sees it: files and folders, the registry, profile
// (INI) files and system information, shaped like the ANSI Win32 calls they stand for.
// Results are Win32 error codes (0 is success), paths are Windows paths in code page 932.
// Two backends implement it: win32 (the real API) and fake (an in-memory Windows).
//
// Method names deliberately differ from Win32 function names: <windows.h> defines many of
// those as macros (MoveFile -> MoveFileA), which would rename a method in one translation
// unit and not in another.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ov::platform {

using Error = std::uint32_t;

// Win32 error codes the product and its tests rely on.
namespace error {
constexpr Error kSuccess = 0;
constexpr Error kFileNotFound = 2;
constexpr Error kPathNotFound = 3;
constexpr Error kAccessDenied = 5;
constexpr Error kInvalidHandle = 6;
constexpr Error kNotEnoughMemory = 8;
constexpr Error kInvalidData = 13;
constexpr Error kNotSameDevice = 17;
constexpr Error kNoMoreFiles = 18;
constexpr Error kSharingViolation = 32;
constexpr Error kFileExists = 80;
constexpr Error kInvalidParameter = 87;
constexpr Error kCallNotImplemented = 120;
constexpr Error kInsufficientBuffer = 122;
constexpr Error kInvalidName = 123;
constexpr Error kModNotFound = 126;
constexpr Error kProcNotFound = 127;
constexpr Error kDirNotEmpty = 145;
constexpr Error kBadPathname = 161;
constexpr Error kAlreadyExists = 183;
constexpr Error kBadExeFormat = 193;
constexpr Error kMoreData = 234;
constexpr Error kNoMoreItems = 259;
constexpr Error kDirectory = 267;  // ERROR_DIRECTORY: a folder was expected
constexpr Error kKeyDeleted = 1018;
constexpr Error kCancelled = 1223;  // ERROR_CANCELLED: the user cancelled
}  // namespace error

// File attribute bits (FILE_ATTRIBUTE_*).
namespace attribute {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
constexpr std::uint32_t kInvalid = 0xFFFFFFFFu;
}  // namespace attribute

// A file time: 100-nanosecond intervals since 1601-01-01 UTC, as in FILETIME.
using FileTime = std::uint64_t;

// One entry of a directory search (WIN32_FIND_DATAA).
struct FindEntry {
  std::string name;        // cFileName
  std::string shortName;   // cAlternateFileName; empty when the name is already 8.3
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;  // nFileSizeHigh:nFileSizeLow
  FileTime lastWriteTime = 0;
};

// An open directory search; closing happens on destruction (FindClose).
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // FindNextFileA: kNoMoreFiles after the last entry.
  virtual Error Next(FindEntry& entry) = 0;
};

class FileApi {
 public:
  virtual ~FileApi() = default;

  // GetFileAttributesA. On failure attributes is attribute::kInvalid.
  virtual Error GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
  // SetFileAttributesA.
  virtual Error SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // FindFirstFileA with "*" and "?" wildcards in the last part; "." and ".." are returned
  // for folders as Windows returns them. On success search is open and first is filled.
  virtual Error FindFirst(const std::string& pattern, FindEntry& first, std::unique_ptr<FileSearch>& search) = 0;
  // MoveFileA: renames or moves a file or folder; fails when `to` exists.
  virtual Error Move(const std::string& from, const std::string& to) = 0;
  // CopyFileA.
  virtual Error Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // DeleteFileA.
  virtual Error Delete(const std::string& path) = 0;
  // CreateDirectoryA (one level).
  virtual Error CreateFolder(const std::string& path) = 0;
  // RemoveDirectoryA (must be empty).
  virtual Error RemoveFolder(const std::string& path) = 0;
  // GetTempFileNameA(folder, prefix, unique): with unique 0 draws a new name and leaves an
  // empty file of that name; path receives the full path.
  virtual Error TempFileName(const std::string& folder, const std::string& prefix, std::uint32_t unique,
                             std::string& path) = 0;
  // GetShortPathNameA.
  virtual Error ShortPathName(const std::string& path, std::string& shortPath) = 0;
  // GetFileTime / SetFileTime for the last-write time.
  virtual Error GetLastWriteTime(const std::string& path, FileTime& time) = 0;
  virtual Error SetLastWriteTime(const std::string& path, FileTime time) = 0;

  // Whole-file contents (CreateFileA + ReadFile / WriteFile). WriteContents creates the
  // file or replaces its contents.
  virtual Error ReadContents(const std::string& path, std::string& contents) = 0;
  virtual Error WriteContents(const std::string& path, const std::string& contents) = 0;
};

// A registry key handle: one of the four roots or a key opened through RegistryApi.
using RegHandle = std::uintptr_t;

namespace reg_root {
constexpr RegHandle kClassesRoot = 0x80000000u;  // HKEY_CLASSES_ROOT
constexpr RegHandle kCurrentUser = 0x80000001u;  // HKEY_CURRENT_USER
constexpr RegHandle kLocalMachine = 0x80000002u; // HKEY_LOCAL_MACHINE
constexpr RegHandle kUsers = 0x80000003u;        // HKEY_USERS
}  // namespace reg_root

// Registry value types (REG_*).
namespace reg_type {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kString = 1;        // REG_SZ
constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
constexpr std::uint32_t kBinary = 3;        // REG_BINARY
constexpr std::uint32_t kDword = 4;         // REG_DWORD
constexpr std::uint32_t kMultiString = 7;   // REG_MULTI_SZ
}  // namespace reg_type

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // RegCreateKeyExA with KEY_ALL_ACCESS; created (when given) tells whether the key is new.
  virtual Error CreateKey(RegHandle parent, const std::string& subKey, RegHandle& key, bool* created = nullptr) = 0;
  // RegOpenKeyExA with KEY_ALL_ACCESS.
  virtual Error OpenKey(RegHandle parent, const std::string& subKey, RegHandle& key) = 0;
  // RegCloseKey. Closing a root is a no-op.
  virtual Error CloseKey(RegHandle key) = 0;
  // RegQueryValueExA: the stored bytes as they are (a string keeps its terminating zero
  // when it was written with one). An empty name is the default value.
  virtual Error QueryValue(RegHandle key, const std::string& name, std::uint32_t& type, std::string& data) = 0;
  // RegSetValueExA with the given bytes.
  virtual Error SetValue(RegHandle key, const std::string& name, std::uint32_t type, const std::string& data) = 0;
  // RegDeleteValueA.
  virtual Error DeleteValue(RegHandle key, const std::string& name) = 0;
  // RegDeleteKeyA: fails with kAccessDenied while the key has subkeys.
  virtual Error DeleteKey(RegHandle parent, const std::string& subKey) = 0;
  // RegEnumKeyExA / RegEnumValueA: kNoMoreItems past the last index.
  virtual Error EnumKey(RegHandle key, std::uint32_t index, std::string& name) = 0;
  virtual Error EnumValue(RegHandle key, std::uint32_t index, std::string& name) = 0;
};

class ProfileApi {
 public:
  virtual ~ProfileApi() = default;

  // GetPrivateProfileStringA into a buffer of bufferSize bytes. A null section lists the
  // section names, a null key the keys of the section, each followed by a zero byte.
  // buffer receives the bytes Windows would leave before the final terminator; the result
  // is the count Windows returns (bufferSize - 1, or bufferSize - 2 for lists, when cut).
  virtual std::uint32_t GetString(const char* section, const char* key, const std::string& defaultValue,
                                  std::string& buffer, std::uint32_t bufferSize, const std::string& file) = 0;
  // WritePrivateProfileStringA: a null value deletes the key, a null key the section, and
  // all three null flush the cache for the file.
  virtual Error WriteString(const char* section, const char* key, const char* value, const std::string& file) = 0;
};

// OSVERSIONINFOA.
struct VersionInfo {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;  // 1 = Windows 95/98/Me, 2 = NT
  std::string csdVersion;
  bool obtained = true;  // false when GetVersionExA failed (every number is then 0)
};

namespace platform_id {
constexpr std::uint32_t kWin32Windows = 1;
constexpr std::uint32_t kWin32Nt = 2;
}  // namespace platform_id

class SystemApi {
 public:
  virtual ~SystemApi() = default;

  // CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE): negative, zero or positive.
  virtual int CompareNoCase(const std::string& a, const std::string& b) = 0;
  // LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE): bytes that order
  // as std::string compares them (unsigned, a prefix first) exactly as CompareNoCase
  // orders the texts, equal for texts it finds equal. One call per text instead of one
  // per comparison, for sorting long lists.
  virtual std::string SortKeyNoCase(const std::string& text) = 0;
  // CharLowerBuffA over the whole text.
  virtual std::string LowerCase(const std::string& text) = 0;
  // LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE).
  virtual std::string UpperCase(const std::string& text) = 0;
  // GetACP.
  virtual std::uint32_t AnsiCodePage() = 0;
  // GetVersionExA.
  virtual VersionInfo Version() = 0;
  // GetWindowsDirectoryA and GetSystemDirectoryA (no trailing "\" unless a root),
  // GetTempPathA (with its trailing "\").
  virtual std::string WindowsFolder() = 0;
  virtual std::string SystemFolder() = 0;
  virtual std::string TempFolder() = 0;
  // Sleep; GetTickCount. The fake's clock only moves when slept.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t TickCount() = 0;
  // FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM) in the default language, as the system
  // writes it (usually ending in CR LF); empty for an unknown code.
  virtual std::string ErrorText(Error code) = 0;
  // LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH).
  virtual std::string FullWidth(const std::string& text) = 0;
};

// The shell's file operation (SHFileOperationA): moves, copies, deletes and renames whole
// lists of files and folders, with the shell's own progress window and questions.
namespace shell_function {
constexpr std::uint32_t kMove = 1;    // FO_MOVE
constexpr std::uint32_t kCopy = 2;    // FO_COPY
constexpr std::uint32_t kDelete = 3;  // FO_DELETE
constexpr std::uint32_t kRename = 4;  // FO_RENAME
}  // namespace shell_function

// FOF_* flags.
namespace shell_flag {
constexpr std::uint32_t kMultiDestFiles = 0x1;
constexpr std::uint32_t kSilent = 0x4;
constexpr std::uint32_t kRenameOnCollision = 0x8;
constexpr std::uint32_t kNoConfirmation = 0x10;
constexpr std::uint32_t kAllowUndo = 0x40;
constexpr std::uint32_t kFilesOnly = 0x80;
constexpr std::uint32_t kSimpleProgress = 0x100;
constexpr std::uint32_t kNoConfirmMkdir = 0x200;
constexpr std::uint32_t kNoErrorUi = 0x400;
}  // namespace shell_flag

// One SHFILEOPSTRUCTA. The win32 backend joins the sources with zero bytes and ends the
// list with one more; a source may end in "\*.*" for all entries of a folder.
struct ShellFileOperation {
  std::uintptr_t ownerWindow = 0;  // hwnd
  std::uint32_t function = 0;      // wFunc, a shell_function value
  std::vector<std::string> sources;
  std::string destination;         // pTo; empty for a delete
  std::uint32_t flags = 0;         // fFlags, shell_flag bits
  std::string progressTitle;       // lpszProgressTitle
};

struct ShellFileResult {
  int code = 0;          // the return value of SHFileOperationA; 0 is success
  bool aborted = false;  // fAnyOperationsAborted
};

class ShellApi {
 public:
  virtual ~ShellApi() = default;
  // SHFileOperationA.
  virtual ShellFileResult FileOperation(const ShellFileOperation& operation) = 0;
  // Whether a move without FOF_NOCONFIRMATION asks the user before it replaces an entry of
  // its target, as Windows' shell does. Wine's shell (8.0) replaces files without asking,
  // and a file by a folder; a caller that must keep what the target holds cannot leave
  // that to such a shell.
  virtual bool AsksBeforeReplacing() = 0;
};

// The platform of the shell extension, handed to every object that needs it by reference.
// The installer's own operations are in platform/install.h.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual FileApi& Files() = 0;
  virtual RegistryApi& Registry() = 0;
  virtual ProfileApi& Profile() = 0;
  virtual SystemApi& System() = 0;
  virtual ShellApi& Shell() = 0;
};

// Owns an opened registry key and closes it on destruction.
class RegKey {
 public:
  RegKey() = default;
  RegKey(RegistryApi& registry, RegHandle handle) : registry_(&registry), handle_(handle) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept : registry_(other.registry_), handle_(other.Release()) {}
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = other.registry_;
      handle_ = other.Release();
    }
    return *this;
  }
  ~RegKey() { Reset(); }

  RegHandle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  RegHandle Release() {
    const RegHandle handle = handle_;
    handle_ = 0;
    return handle;
  }
  void Reset() {
    if (handle_ != 0 && registry_ != nullptr) registry_->CloseKey(handle_);
    handle_ = 0;
  }

  // Opens or creates subKey below parent, owning the result.
  static Error Create(RegistryApi& registry, RegHandle parent, const std::string& subKey, RegKey& key,
                      bool* created = nullptr);
  static Error Open(RegistryApi& registry, RegHandle parent, const std::string& subKey, RegKey& key);

 private:
  RegistryApi* registry_ = nullptr;
  RegHandle handle_ = 0;
};

// Text values: written with their terminating zero, read without it.
Error SetStringValue(RegistryApi& registry, RegHandle key, const std::string& name, const std::string& text,
                     std::uint32_t type = reg_type::kString);
Error QueryStringValue(RegistryApi& registry, RegHandle key, const std::string& name, std::string& text);
Error SetDwordValue(RegistryApi& registry, RegHandle key, const std::string& name, std::uint32_t value);
Error QueryDwordValue(RegistryApi& registry, RegHandle key, const std::string& name, std::uint32_t& value);

// Deletes subKey below parent with everything below it, subkeys first (RegDeleteKeyA
// removes only empty keys on NT). A subkey that cannot be deleted is passed over and the
// rest still go; the result is that of deleting subKey itself. Refused with
// kInvalidParameter before anything is touched, whatever the registry would make of it:
// an empty name, an empty part ("A\\B", a trailing or leading "\"), and directly below a
// root the keys that belong to Windows (every top-level key of HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER and HKEY_USERS; "CLSID", "Interface", "*", "Folder" and the like of
// HKEY_CLASSES_ROOT, whose other top-level keys are file types that installers own).
Error DeleteRegistryTree(RegistryApi& registry, RegHandle parent, const std::string& subKey);

// True when DeleteRegistryTree would refuse the name below that parent.
bool IsProtectedRegistryKey(RegHandle parent, const std::string& subKey);

// True when the path names an existing file (not a folder), or an existing folder.
bool FileExists(FileApi& files, const std::string& path);
bool FolderExists(FileApi& files, const std::string& path);

}  // namespace ov::platform
