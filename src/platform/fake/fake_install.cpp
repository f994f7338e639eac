#include "platform/fake/fake_install.h"

#include <cctype>

#include "platform/fake/fake_names.h"

namespace ov::platform::fake {
namespace {

const char kSzddSignature[] = "SZDD\x88\xF0\x27\x33";
constexpr std::size_t kSzddHeader = 14;

std::string NtPath(const std::string& path) { return "\\??\\" + path; }

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && UpperText(text.substr(text.size() - end.size())) == UpperText(end);
}

// The final part of a path, after the last "\" or ":".
std::size_t NameStart(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\:");
  return cut == std::string::npos ? 0 : cut + 1;
}

// A drive root ("C:\") or any existing folder on a drive, as GetDiskFreeSpaceA takes it.
bool IsFolderOnDrive(FakeFiles& files, const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return false;
  std::string folder = root.size() <= 3 ? root.substr(0, 2) + "\\" : root;
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return FolderExists(files, folder);
}

}  // namespace

bool DecodeSzdd(const std::string& data, std::string& decoded, char& lastCharacter) {
  decoded.clear();
  if (data.size() < kSzddHeader || data.compare(0, 8, kSzddSignature, 8) != 0 || data[8] != 'A') return false;
  lastCharacter = data[9];
  std::uint32_t length = 0;
  for (int i = 0; i < 4; ++i) length |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[10 + i])) << (8 * i);
  // The window starts filled with blanks; writing begins 16 bytes before its end.
  std::string window(4096, ' ');
  std::size_t position = 4096 - 16;
  std::size_t in = kSzddHeader;
  while (in < data.size() && decoded.size() < length) {
    const unsigned flags = static_cast<unsigned char>(data[in++]);
    for (int bit = 0; bit < 8 && in < data.size() && decoded.size() < length; ++bit) {
      if (flags & (1u << bit)) {
        const char c = data[in++];
        decoded += c;
        window[position] = c;
        position = (position + 1) & 4095;
      } else {
        if (in + 1 >= data.size()) return true;
        const unsigned b0 = static_cast<unsigned char>(data[in++]);
        const unsigned b1 = static_cast<unsigned char>(data[in++]);
        const std::size_t match = b0 | ((b1 & 0xF0u) << 4);
        const std::size_t count = (b1 & 0x0Fu) + 3;
        for (std::size_t i = 0; i < count && decoded.size() < length; ++i) {
          const char c = window[(match + i) & 4095];
          decoded += c;
          window[position] = c;
          position = (position + 1) & 4095;
        }
      }
    }
  }
  return true;
}

FakeInstallFiles::FakeInstallFiles(FakeFiles& files, FakeRegistry& registry, FakeFailures& failures)
    : files_(files), registry_(registry), failures_(failures) {}

Error FakeInstallFiles::MoveEx(const std::string& from, const std::string& to, std::uint32_t flags) {
  if (const Error injected = failures_.Enter("MoveFileExA", from, to)) return injected;
  if ((flags & move_flag::kDelayUntilReboot) == 0) {
    if (!to.empty() && (flags & move_flag::kReplaceExisting) && FileExists(files_, to)) {
      if (const Error removed = files_.Delete(to)) return removed;
    }
    return to.empty() ? files_.Delete(from) : files_.Move(from, to);
  }
  RegKey key;
  if (const Error opened = RegKey::Create(registry_, reg_root::kLocalMachine, kSessionManagerKey, key)) return opened;
  std::uint32_t type = 0;
  std::string data;
  if (registry_.QueryValue(key.Get(), kPendingRenamesValue, type, data) != error::kSuccess ||
      type != reg_type::kMultiString) {
    data.clear();
  }
  if (data.size() >= 2 && data.compare(data.size() - 2, 2, std::string(2, '\0')) == 0) data.pop_back();
  data += NtPath(from) + '\0';
  if (to.empty()) {
    data += '\0';
  } else {
    data += ((flags & move_flag::kReplaceExisting) ? "!" : "") + NtPath(to) + '\0';
  }
  data += '\0';
  return registry_.SetValue(key.Get(), kPendingRenamesValue, reg_type::kMultiString, data);
}

char FakeInstallFiles::Drive(char letter) { return static_cast<char>(std::toupper(static_cast<unsigned char>(letter))); }

DiskSpace FakeInstallFiles::SpaceOf(char drive) const {
  const auto found = spaces_.find(Drive(drive));
  if (found != spaces_.end()) return found->second;
  DiskSpace space;
  space.sectorsPerCluster = 8;
  space.bytesPerSector = 512;
  space.freeClusters = 250000;
  space.totalClusters = 1000000;
  return space;
}

Error FakeInstallFiles::DiskFreeSpace(const std::string& root, DiskSpace& space) {
  space = DiskSpace();
  if (const Error injected = failures_.Enter("GetDiskFreeSpaceA", root)) return injected;
  if (!IsFolderOnDrive(files_, root)) return error::kPathNotFound;
  space = SpaceOf(root[0]);
  return error::kSuccess;
}

Error FakeInstallFiles::DiskFreeSpaceEx(const std::string& root, std::uint64_t& freeToCaller) {
  freeToCaller = 0;
  if (!hasFreeSpaceEx_) return error::kCallNotImplemented;
  if (const Error injected = failures_.Enter("GetDiskFreeSpaceExA", root)) return injected;
  if (!IsFolderOnDrive(files_, root)) return error::kPathNotFound;
  const DiskSpace space = SpaceOf(root[0]);
  freeToCaller = static_cast<std::uint64_t>(space.freeClusters) * space.sectorsPerCluster * space.bytesPerSector;
  return error::kSuccess;
}

Error FakeInstallFiles::ExpandedName(const std::string& source, std::string& expanded) {
  expanded = source;
  if (const Error injected = failures_.Enter("GetExpandedNameA", source)) return injected;
  std::string data;
  if (const Error read = files_.Load(source, data)) return read;
  std::string decoded;
  char last = 0;
  if (!DecodeSzdd(data, decoded, last)) return error::kSuccess;
  const std::size_t start = NameStart(source);
  if (expanded.size() <= start || expanded.back() != '_') return error::kSuccess;
  bool lower = false;
  for (std::size_t i = start; i < expanded.size(); ++i) {
    if (std::islower(static_cast<unsigned char>(expanded[i]))) lower = true;
  }
  expanded.pop_back();
  if (last != '\0') {
    const unsigned char c = static_cast<unsigned char>(last);
    expanded += static_cast<char>(lower ? std::tolower(c) : std::toupper(c));
  }
  return error::kSuccess;
}

Error FakeInstallFiles::SetCurrentFolder(const std::string& folder) {
  if (const Error injected = failures_.Enter("SetCurrentDirectoryA", folder)) return injected;
  std::uint32_t attributes = 0;
  if (const Error missing = files_.GetAttributes(folder, attributes)) return missing;
  if ((attributes & attribute::kDirectory) == 0) return error::kDirectory;
  currentFolder_ = folder;
  return error::kSuccess;
}

Error FakeInstallFiles::LzExpand(const std::string& source, const std::string& target) {
  if (const Error injected = failures_.Enter("LZCopy", source, target)) return injected;
  std::string data;
  if (const Error read = files_.Load(source, data)) return read;
  std::string decoded;
  char last = 0;
  if (!DecodeSzdd(data, decoded, last)) decoded = data;
  return files_.WriteContents(target, decoded);
}

FakeInstallShell::FakeInstallShell(FakeFiles& files, FakeFailures& failures) : files_(files), failures_(failures) {
  const std::string user = "C:\\Documents and Settings\\taro\\";
  const std::string all = "C:\\Documents and Settings\\All Users\\";
  folders_ = {
      {csidl::kWindows, "C:\\WINDOWS"},
      {csidl::kSystem, "C:\\WINDOWS\\system32"},
      {csidl::kProgramFiles, "C:\\Program Files"},
      {csidl::kPersonal, user + "My Documents"},
      {csidl::kStartMenu, user + "スタート メニュー"},
      {csidl::kPrograms, user + "スタート メニュー\\プログラム"},
      {csidl::kDesktopDirectory, user + "デスクトップ"},
      {csidl::kStartup, user + "スタート メニュー\\プログラム\\スタートアップ"},
      {csidl::kSendTo, user + "SendTo"},
      {csidl::kCommonStartMenu, all + "スタート メニュー"},
      {csidl::kCommonPrograms, all + "スタート メニュー\\プログラム"},
      {csidl::kCommonDesktopDirectory, all + "デスクトップ"},
      {csidl::kCommonStartup, all + "スタート メニュー\\プログラム\\スタートアップ"},
      {csidl::kCommonDocuments, all + "Documents"},
  };
}

Error FakeInstallShell::SpecialFolder(int csidl, std::string& path) {
  path.clear();
  if (const Error injected = failures_.Enter("SHGetSpecialFolderLocation", std::to_string(csidl))) return injected;
  const auto found = folders_.find(csidl);
  if (found == folders_.end()) return error::kFileNotFound;
  path = found->second;
  return error::kSuccess;
}

// A saved link is a file whose contents are its three fields, one a line.
Error FakeInstallShell::CreateShellLink(const ShellLink& link, const std::string& linkPath) {
  if (const Error injected = failures_.Enter("IPersistFile::Save", linkPath, link.target)) return injected;
  std::string saved = linkPath;
  if (pifForDos_ && (EndsWithNoCase(link.target, ".com") || EndsWithNoCase(link.target, ".bat"))) {
    const std::size_t dot = saved.find_last_of('.');
    if (dot != std::string::npos && dot >= NameStart(saved)) saved.erase(dot);
    saved += ".pif";
  }
  return files_.WriteContents(saved, "L\n" + link.target + "\n" + link.workingDirectory + "\n" + link.arguments);
}

Error FakeInstallShell::ReadShellLink(const std::string& linkPath, ShellLink& link) {
  link = ShellLink();
  std::string contents;
  if (const Error read = files_.ReadContents(linkPath, contents)) return read;
  if (contents.compare(0, 2, "L\n") != 0) return error::kInvalidData;
  std::vector<std::string> lines;
  std::size_t start = 2;
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = i < 2 ? contents.find('\n', start) : contents.size();
    if (end == std::string::npos) return error::kInvalidData;
    lines.push_back(contents.substr(start, end - start));
    start = end + 1;
  }
  link.target = lines[0];
  link.workingDirectory = lines[1];
  link.arguments = lines[2];
  return error::kSuccess;
}

std::uint32_t FakeInstallShell::Execute(const std::string& verb, const std::string& file,
                                        const std::string& parameters, const std::string& folder, int show) {
  executions_.push_back({verb, file, parameters, folder, show});
  if (const Error injected = failures_.Enter("ShellExecuteA", file)) return injected <= 32 ? injected : 0;
  std::uint32_t attributes = 0;
  if (files_.GetAttributes(file, attributes) != error::kSuccess) return error::kFileNotFound;  // SE_ERR_FNF
  return 42;
}

namespace {

class FakeProcess : public Process {
 public:
  FakeProcess(FakeClock& clock, std::uint64_t end, std::uint32_t exitCode)
      : clock_(clock), end_(end), exitCode_(exitCode) {}
  bool Finished() override {
    if (clock_.Elapsed() >= end_) return true;
    clock_.Advance(FakeProcesses::kPollMilliseconds);
    return false;
  }
  std::uint32_t ExitCode() override { return clock_.Elapsed() >= end_ ? exitCode_ : 259; }

 private:
  FakeClock& clock_;
  std::uint64_t end_;
  std::uint32_t exitCode_;
};

class FakeModule : public Module {
 public:
  FakeModule(std::map<std::string, std::int32_t>& entries, std::map<std::string, std::uint32_t>& calls, int& loaded)
      : entries_(entries), calls_(calls), loaded_(loaded) {
    ++loaded_;
  }
  ~FakeModule() override { --loaded_; }
  bool CallEntry(const char* name, std::int32_t& result) override {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return false;
    ++calls_[name];
    result = found->second;
    return true;
  }

 private:
  std::map<std::string, std::int32_t>& entries_;
  std::map<std::string, std::uint32_t>& calls_;
  int& loaded_;
};

}  // namespace

FakeProcesses::FakeProcesses(FakeClock& clock, FakeFiles& files, FakeFailures& failures)
    : clock_(clock), files_(files), failures_(failures) {}

std::string FakeProcesses::Key(const std::string& path) { return UpperText(path); }

void FakeProcesses::AddProgram(const std::string& path, std::uint32_t runMilliseconds, std::uint32_t exitCode) {
  programs_[Key(path)] = Program{runMilliseconds, exitCode};
  if (!FileExists(files_, path)) files_.PutFile(path, "MZ");
}

Error FakeProcesses::StartProcess(const std::string& application, const std::string& commandLine, int show,
                                  std::unique_ptr<Process>& process) {
  process.reset();
  starts_.push_back({application, commandLine, show});
  if (const Error injected = failures_.Enter("CreateProcessA", application)) return injected;
  std::uint32_t attributes = 0;
  if (const Error missing = files_.GetAttributes(application, attributes)) return missing;
  if (attributes & attribute::kDirectory) return error::kAccessDenied;
  const auto found = programs_.find(Key(application));
  const Program program = found == programs_.end() ? Program() : found->second;
  process = std::make_unique<FakeProcess>(clock_, clock_.Elapsed() + program.runMilliseconds, program.exitCode);
  return error::kSuccess;
}

void FakeProcesses::AddModule(const std::string& path, const std::map<std::string, std::int32_t>& entries) {
  libraries_[Key(path)].entries = entries;
  if (!FileExists(files_, path)) files_.PutFile(path, "MZ");
}

std::uint32_t FakeProcesses::EntryCalls(const std::string& path, const std::string& entry) const {
  const auto library = libraries_.find(Key(path));
  if (library == libraries_.end()) return 0;
  const auto calls = library->second.calls.find(entry);
  return calls == library->second.calls.end() ? 0 : calls->second;
}

Error FakeProcesses::LoadModule(const std::string& path, std::unique_ptr<Module>& module) {
  module.reset();
  if (const Error injected = failures_.Enter("LoadLibraryA", path)) return injected;
  if (!FileExists(files_, path)) return error::kModNotFound;
  const auto found = libraries_.find(Key(path));
  // A file that is no library of the table does not load (ERROR_BAD_EXE_FORMAT).
  if (found == libraries_.end()) return error::kBadExeFormat;
  module = std::make_unique<FakeModule>(found->second.entries, found->second.calls, loaded_);
  return error::kSuccess;
}

}  // namespace ov::platform::fake
