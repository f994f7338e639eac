// The installer's operations through the ANSI Win32 API: MoveFileExA, free space, LZ
// expansion, special folders, the shell link object, ShellExecuteA, processes and libraries.
#pragma once

#include "platform/platform.h"

namespace ov::platform {

class Win32InstallFiles : public InstallFileApi {
 public:
  Error MoveEx(const std::string& from, const std::string& to, std::uint32_t flags) override;
  Error DiskFreeSpace(const std::string& root, DiskSpace& space) override;
  Error DiskFreeSpaceEx(const std::string& root, std::uint64_t& freeToCaller) override;
  Error ExpandedName(const std::string& source, std::string& expanded) override;
  Error LzExpand(const std::string& source, const std::string& target) override;
};

class Win32InstallShell : public InstallShellApi {
 public:
  Error SpecialFolder(int csidl, std::string& path) override;
  Error CreateShellLink(const ShellLink& link, const std::string& linkPath) override;
  Error ReadShellLink(const std::string& linkPath, ShellLink& link) override;
  std::uint32_t Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                        const std::string& folder, int show) override;
};

class Win32Processes : public ProcessApi {
 public:
  Error StartProcess(const std::string& application, const std::string& commandLine, int show,
                     std::unique_ptr<Process>& process) override;
  Error LoadModule(const std::string& path, std::unique_ptr<Module>& module) override;
};

}  // namespace ov::platform
