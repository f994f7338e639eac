// The operations that only the installer needs: restart-time moves, free space, LZ
// expansion, special folders, shell links, ShellExecuteA, processes and libraries. Kept
// apart from platform.h so that the shell extension, which lives inside Explorer, neither
// sees nor links them.
#pragma once

#include "platform/platform.h"

namespace ov::platform {

// Free space of a drive as GetDiskFreeSpaceA reports it.
struct DiskSpace {
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t bytesPerSector = 0;
  std::uint32_t freeClusters = 0;
  std::uint32_t totalClusters = 0;
};

// MOVEFILE_* flags of MoveFileExA.
namespace move_flag {
constexpr std::uint32_t kReplaceExisting = 0x1;
constexpr std::uint32_t kCopyAllowed = 0x2;
constexpr std::uint32_t kDelayUntilReboot = 0x4;
}  // namespace move_flag

// Where Windows keeps the moves and deletions that MoveFileExA delays to the next start:
// HKEY_LOCAL_MACHINE, a REG_MULTI_SZ of pairs "\??\source", then "!\??\target" (replace),
// "\??\target", or "" (delete).
constexpr const char* kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenamesValue = "PendingFileRenameOperations";

// Operations on files that only the installer needs: restart-time moves, free space and
// the expansion of LZ-compressed (SZDD) files.
class InstallFileApi {
 public:
  virtual ~InstallFileApi() = default;
  // MoveFileExA; an empty `to` passes no target (with kDelayUntilReboot: delete then).
  virtual Error MoveEx(const std::string& from, const std::string& to, std::uint32_t flags) = 0;
  // GetDiskFreeSpaceA for a root such as "C:\".
  virtual Error DiskFreeSpace(const std::string& root, DiskSpace& space) = 0;
  // GetDiskFreeSpaceExA, looked up in KERNEL32.DLL at run time: kCallNotImplemented when
  // the system has no such function. freeToCaller: the bytes available to this user.
  virtual Error DiskFreeSpaceEx(const std::string& root, std::uint64_t& freeToCaller) = 0;
  // GetExpandedNameA: the name recorded in a compressed file (its last character put back
  // in place of the "_"); an uncompressed file keeps its own name.
  virtual Error ExpandedName(const std::string& source, std::string& expanded) = 0;
  // LZOpenFileA(source, OF_READ | OF_SHARE_EXCLUSIVE), LZOpenFileA(target, OF_CREATE),
  // LZCopy, LZClose both. An uncompressed source is copied as it is.
  virtual Error LzExpand(const std::string& source, const std::string& target) = 0;
  // SetCurrentDirectoryA: the process's current folder (a folder in use cannot be removed).
  virtual Error SetCurrentFolder(const std::string& folder) = 0;
};

// CSIDL_* numbers of the special folders.
namespace csidl {
constexpr int kPrograms = 2;
constexpr int kPersonal = 5;
constexpr int kStartup = 7;
constexpr int kSendTo = 9;
constexpr int kStartMenu = 11;
constexpr int kDesktopDirectory = 16;
constexpr int kCommonStartMenu = 22;
constexpr int kCommonPrograms = 23;
constexpr int kCommonStartup = 24;
constexpr int kCommonDesktopDirectory = 25;
constexpr int kWindows = 36;
constexpr int kSystem = 37;
constexpr int kProgramFiles = 38;
constexpr int kCommonDocuments = 46;
}  // namespace csidl

// What a shell link (.lnk) holds.
struct ShellLink {
  std::string target;            // IShellLinkA::SetPath
  std::string workingDirectory;  // SetWorkingDirectory
  std::string arguments;         // SetArguments
};

// The shell services of the installer: special folders, shell links and ShellExecuteA.
class InstallShellApi {
 public:
  virtual ~InstallShellApi() = default;
  // SHGetMalloc, SHGetSpecialFolderLocation (owner: the desktop window) and
  // SHGetPathFromIDListA into 260 bytes; the item list goes back to the shell allocator.
  // kFileNotFound when the system has no such folder.
  virtual Error SpecialFolder(int csidl, std::string& path) = 0;
  // The shell link object (CLSID_ShellLink) through IShellLinkA and IPersistFile: sets the
  // link's fields (arguments only when not empty) and saves it to linkPath. A failure to
  // create the object, get an interface or save is returned as its HRESULT.
  virtual Error CreateShellLink(const ShellLink& link, const std::string& linkPath) = 0;
  // Loads a saved link through IPersistFile and reads its fields back.
  virtual Error ReadShellLink(const std::string& linkPath, ShellLink& link) = 0;
  // ShellExecuteA with the desktop window as owner; parameters and folder are passed as
  // null when empty. result: the returned instance value (above 32 on success).
  virtual std::uint32_t Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                                const std::string& folder, int show) = 0;
  // SHChangeNotify(event, flags, null, null): tells the shell that something it shows has
  // changed. Returns nothing, as the system's call.
  virtual void ChangeNotify(std::int32_t event, std::uint32_t flags) = 0;
};

// SHCNE_* events and SHCNF_* flags of ChangeNotify.
namespace change_notify {
constexpr std::int32_t kUpdateDir = 0x00001000;
constexpr std::int32_t kUpdateItem = 0x00002000;
constexpr std::int32_t kAssocChanged = 0x08000000;
constexpr std::uint32_t kIdList = 0x0000;
}  // namespace change_notify

// A started process; its handles close on destruction.
class Process {
 public:
  virtual ~Process() = default;
  // WaitForSingleObject with a zero time-out: true once the process has ended.
  virtual bool Finished() = 0;
  // GetExitCodeProcess (259, STILL_ACTIVE, while it runs).
  virtual std::uint32_t ExitCode() = 0;
};

// A loaded library; FreeLibrary on destruction.
class Module {
 public:
  virtual ~Module() = default;
  // GetProcAddress of an entry shaped like DllRegisterServer (no arguments, an HRESULT),
  // and a call of it. False when the module has no such entry.
  virtual bool CallEntry(const char* name, std::int32_t& result) = 0;
};

// Programs and components: CreateProcessA and LoadLibraryA.
class ProcessApi {
 public:
  virtual ~ProcessApi() = default;
  // GetStartupInfoA of this process with wShowWindow set to show, then CreateProcessA with
  // the application name, the command line (null when empty), no inheritance,
  // CREATE_DEFAULT_ERROR_MODE, this process's environment and current folder.
  virtual Error StartProcess(const std::string& application, const std::string& commandLine, int show,
                             std::unique_ptr<Process>& process) = 0;
  // LoadLibraryA's part: the module by its full path; its own imports are found beside it
  // or in the system folder, never beside the program (see win32/system_library.h).
  virtual Error LoadModule(const std::string& path, std::unique_ptr<Module>& module) = 0;
};

// The end of the Windows session and the version resource of a program file: what the
// installer's window chrome needs.
class SessionApi {
 public:
  virtual ~SessionApi() = default;
  // OpenProcessToken (TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY), LookupPrivilegeValueA (no
  // system name) of "SeShutdownPrivilege" and AdjustTokenPrivileges with that one privilege
  // enabled or not; the token is closed. Windows 95/98/Me have no tokens: 120.
  virtual Error SetShutdownPrivilege(bool enabled) = 0;
  // Whether this process's token holds the privilege enabled (false without tokens).
  virtual bool ShutdownPrivilegeEnabled() = 0;
  // ExitWindowsEx(flags, 0).
  virtual Error EndSession(std::uint32_t flags) = 0;
  // GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA of
  // "\StringFileInfo\041103a4\FileVersion". False when the file has no version
  // information; true with the empty text when that string is missing.
  virtual bool FileVersionText(const std::string& path, std::string& text) = 0;
};

// ExitWindowsEx flags.
namespace exit_flag {
constexpr std::uint32_t kLogOff = 0x0;
constexpr std::uint32_t kShutdown = 0x1;
constexpr std::uint32_t kReboot = 0x2;
}  // namespace exit_flag

// The installer's platform: the shell extension's and the installer's own operations.
class InstallPlatform : public Platform {
 public:
  virtual SessionApi& Session() = 0;
  virtual InstallFileApi& InstallFiles() = 0;
  virtual InstallShellApi& InstallShell() = 0;
  virtual ProcessApi& Processes() = 0;
};

}  // namespace ov::platform
