// The installer's operations on the in-memory Windows: restart-time moves written to the
// fake registry as Windows writes them, free space per volume, SZDD expansion of real
// compressed data, special folders and shell links kept in a table, and processes and
// libraries whose behaviour a test sets up.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_failures.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_registry.h"
#include "platform/install.h"

namespace ov::platform::fake {

// Decodes SZDD data ("SZDD" signature, mode "A", LZSS with a 4,096-byte window); false
// when the data is not SZDD. lastCharacter receives the recorded last character of the name.
bool DecodeSzdd(const std::string& data, std::string& decoded, char& lastCharacter);

class FakeInstallFiles : public InstallFileApi {
 public:
  FakeInstallFiles(FakeFiles& files, FakeRegistry& registry, FakeFailures& failures);

  Error MoveEx(const std::string& from, const std::string& to, std::uint32_t flags) override;
  Error DiskFreeSpace(const std::string& root, DiskSpace& space) override;
  Error DiskFreeSpaceEx(const std::string& root, std::uint64_t& freeToCaller) override;
  Error ExpandedName(const std::string& source, std::string& expanded) override;
  Error LzExpand(const std::string& source, const std::string& target) override;
  Error SetCurrentFolder(const std::string& folder) override;
  const std::string& CurrentFolder() const { return currentFolder_; }

  // A volume's free space (by default 8 sectors of 512 bytes, 250,000 of 1,000,000
  // clusters free: about 1 GB).
  void SetDiskSpace(char drive, const DiskSpace& space) { spaces_[Drive(drive)] = space; }
  // Windows 95 before OSR2 has no GetDiskFreeSpaceExA.
  void SetHasFreeSpaceEx(bool has) { hasFreeSpaceEx_ = has; }

 private:
  static char Drive(char letter);
  DiskSpace SpaceOf(char drive) const;

  FakeFiles& files_;
  FakeRegistry& registry_;
  FakeFailures& failures_;
  std::map<char, DiskSpace> spaces_;
  std::string currentFolder_;
  bool hasFreeSpaceEx_ = true;
};

class FakeInstallShell : public InstallShellApi {
 public:
  FakeInstallShell(FakeFiles& files, FakeFailures& failures);

  Error SpecialFolder(int csidl, std::string& path) override;
  Error CreateShellLink(const ShellLink& link, const std::string& linkPath) override;
  Error ReadShellLink(const std::string& linkPath, ShellLink& link) override;
  std::uint32_t Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                        const std::string& folder, int show) override;
  void ChangeNotify(std::int32_t event, std::uint32_t flags) override { notifications_.push_back({event, flags}); }

  // Every SHChangeNotify call, in order.
  struct Notification {
    std::int32_t event = 0;
    std::uint32_t flags = 0;
  };
  const std::vector<Notification>& Notifications() const { return notifications_; }

  // The folder table: a path for a CSIDL, or none (the query fails). It starts as a
  // Japanese Windows XP's for the user "taro"; ClearSpecialFolders empties it.
  void ClearSpecialFolders() { folders_.clear(); }
  void SetSpecialFolder(int csidl, const std::string& path) { folders_[csidl] = path; }
  void RemoveSpecialFolder(int csidl) { folders_.erase(csidl); }
  // Windows 95/98/Me: a link to an MS-DOS program (.com, .bat) is saved as a ".pif".
  void SetPifForDosPrograms(bool on) { pifForDos_ = on; }
  // Every ShellExecuteA call, in order.
  struct Execution {
    std::string verb, file, parameters, folder;
    int show = 0;
  };
  const std::vector<Execution>& Executions() const { return executions_; }

 private:
  FakeFiles& files_;
  FakeFailures& failures_;
  std::map<int, std::string> folders_;
  bool pifForDos_ = false;
  std::vector<Execution> executions_;
  std::vector<Notification> notifications_;
};

class FakeProcesses : public ProcessApi {
 public:
  FakeProcesses(FakeClock& clock, FakeFiles& files, FakeFailures& failures);

  Error StartProcess(const std::string& application, const std::string& commandLine, int show,
                     std::unique_ptr<Process>& process) override;
  Error LoadModule(const std::string& path, std::unique_ptr<Module>& module) override;

  // A program that runs for a clock time and ends with an exit code. Each poll of a running
  // process lets kPollMilliseconds pass. An existing file without a program runs 0 ms.
  static constexpr std::uint32_t kPollMilliseconds = 10;
  void AddProgram(const std::string& path, std::uint32_t runMilliseconds, std::uint32_t exitCode = 0);
  struct Start {
    std::string application, commandLine;
    int show = 0;
  };
  const std::vector<Start>& Starts() const { return starts_; }

  // A library with entries and the HRESULT each returns; calls are counted per entry.
  void AddModule(const std::string& path, const std::map<std::string, std::int32_t>& entries);
  std::uint32_t EntryCalls(const std::string& path, const std::string& entry) const;
  // Libraries loaded and not yet freed.
  int LoadedModules() const { return loaded_; }

 private:
  struct Program {
    std::uint32_t runMilliseconds = 0;
    std::uint32_t exitCode = 0;
  };
  struct Library {
    std::map<std::string, std::int32_t> entries;
    std::map<std::string, std::uint32_t> calls;
  };
  static std::string Key(const std::string& path);

  FakeClock& clock_;
  FakeFiles& files_;
  FakeFailures& failures_;
  std::map<std::string, Program> programs_;
  std::map<std::string, Library> libraries_;
  std::vector<Start> starts_;
  int loaded_ = 0;
};

}  // namespace ov::platform::fake
