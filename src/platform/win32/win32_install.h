// The installer's operations through the ANSI Win32 API: MoveFileExA, free space, LZ
// expansion, special folders, the shell link object, ShellExecuteA, processes and libraries.
#pragma once

#include "platform/install.h"
#include "platform/win32/win32_platform.h"

namespace ov::platform {

class Win32InstallFiles : public InstallFileApi {
 public:
  Error MoveEx(const std::string& from, const std::string& to, std::uint32_t flags) override;
  Error DiskFreeSpace(const std::string& root, DiskSpace& space) override;
  Error DiskFreeSpaceEx(const std::string& root, std::uint64_t& freeToCaller) override;
  Error ExpandedName(const std::string& source, std::string& expanded) override;
  Error LzExpand(const std::string& source, const std::string& target) override;
  Error SetCurrentFolder(const std::string& folder) override;
};

class Win32InstallShell : public InstallShellApi {
 public:
  Error SpecialFolder(int csidl, std::string& path) override;
  Error CreateShellLink(const ShellLink& link, const std::string& linkPath) override;
  Error ReadShellLink(const std::string& linkPath, ShellLink& link) override;
  std::uint32_t Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                        const std::string& folder, int show) override;
  void ChangeNotify(std::int32_t event, std::uint32_t flags) override;
};

class Win32Processes : public ProcessApi {
 public:
  Error StartProcess(const std::string& application, const std::string& commandLine, int show,
                     std::unique_ptr<Process>& process) override;
  Error LoadModule(const std::string& path, std::unique_ptr<Module>& module) override;
};

class Win32Session : public SessionApi {
 public:
  Error SetShutdownPrivilege(bool enabled) override;
  bool ShutdownPrivilegeEnabled() override;
  Error EndSession(std::uint32_t flags) override;
  bool FileVersionText(const std::string& path, std::string& text) override;
};

// The installer's real platform: the shell extension's operations and its own.
class Win32InstallPlatform : public InstallPlatform {
 public:
  FileApi& Files() override { return base_.Files(); }
  RegistryApi& Registry() override { return base_.Registry(); }
  ProfileApi& Profile() override { return base_.Profile(); }
  SystemApi& System() override { return base_.System(); }
  ShellApi& Shell() override { return base_.Shell(); }
  SessionApi& Session() override { return session_; }
  InstallFileApi& InstallFiles() override { return installFiles_; }
  InstallShellApi& InstallShell() override { return installShell_; }
  ProcessApi& Processes() override { return processes_; }

 private:
  Win32Platform base_;
  Win32InstallFiles installFiles_;
  Win32InstallShell installShell_;
  Win32Processes processes_;
  Win32Session session_;
};

}  // namespace ov::platform
