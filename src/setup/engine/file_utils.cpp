#include "setup/engine/file_utils.h"

#include <cmath>
#include <vector>

#include "base/cp932.h"
#include "base/path_parts.h"
#include "setup/engine/command_line.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

using platform::Error;
namespace error = platform::error;

constexpr std::uint32_t kArchiveOnly = platform::attribute::kArchive;
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

bool Exists(EngineContext& context, const std::string& path) {
  std::uint32_t attributes = 0;
  return context.platform.Files().GetAttributes(path, attributes) == error::kSuccess;
}

// The key is named from the root with a leading "\"; the registry takes it without.
std::string SharedDllsSubKey() { return DropSeparator(kSharedDllsKey, "T"); }

std::vector<std::string> SplitLines(const std::string& contents) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string line = contents.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Puts line directly below "[Rename]" in the Windows folder's WININIT.INI, adding the
// section at the end when it is missing.
bool AddWininitRename(EngineContext& context, const std::string& line) {
  platform::FileApi& files = context.platform.Files();
  platform::SystemApi& system = context.platform.System();
  const std::string path = context.folders[Macro::kWin] + "WININIT.INI";
  std::string contents;
  if (files.ReadContents(path, contents) != error::kSuccess) contents.clear();
  std::vector<std::string> lines = SplitLines(contents);
  const std::string header = "[Rename]";
  std::size_t at = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() == header.size() && system.UpperCase(lines[i]) == system.UpperCase(header)) {
      at = i;
      break;
    }
  }
  if (at == lines.size()) lines.push_back(header);
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at + 1), line);
  std::string saved;
  for (const std::string& each : lines) saved += each + "\r\n";
  return files.WriteContents(path, saved) == error::kSuccess;
}

void ShowMoveFileExFailure(EngineContext& context) {
  ShowMessageBox(context, "MoveFileEx関数が失敗しました。", "内部エラー", box::kExclamation);
}

void ShowProgramFailure(EngineContext& context, const std::string& program, const std::string& arguments, Error code) {
  ShowMessageBox(context,
                 "プログラム実行失敗\r\n" + program + " " + arguments + "\r\n\r\n" + SystemErrorText(context, code),
                 "警告", box::kExclamation);
}

}  // namespace

int ShowMessageBox(EngineContext& context, const std::string& text, const std::string& caption, unsigned style) {
  return context.ui.ShowMessageBox(context.mainWindow, text, caption, style);
}

std::int32_t GetSharedDllCount(EngineContext& context, const std::string& path) {
  platform::RegistryApi& registry = context.platform.Registry();
  platform::RegKey key;
  if (platform::RegKey::Create(registry, platform::reg_root::kLocalMachine, SharedDllsSubKey(), key)) return 0;
  std::uint32_t count = 0;
  if (platform::QueryDwordValue(registry, key.Get(), path, count) != error::kSuccess) return 0;
  return static_cast<std::int32_t>(count);
}

std::int32_t ChangeSharedDllCount(EngineContext& context, const std::string& path, bool increment) {
  platform::RegistryApi& registry = context.platform.Registry();
  const std::int32_t current = GetSharedDllCount(context, path);
  platform::RegKey key;
  if (const Error opened = platform::RegKey::Create(registry, platform::reg_root::kLocalMachine, SharedDllsSubKey(), key)) {
    throw RegistryWriteError("SharedDLLs key not opened", opened);
  }
  if (increment) {
    std::int32_t count = current;
    if (count == 0 && platform::FileExists(context.platform.Files(), path)) count = 1;
    if (const Error written = platform::SetDwordValue(registry, key.Get(), path, static_cast<std::uint32_t>(count + 1))) {
      throw RegistryWriteError("SharedDLLs count not written", written);
    }
    return count + 1;
  }
  const std::int32_t next = current - 1;
  if (current == 1 || next < 0) {
    registry.DeleteValue(key.Get(), path);
  } else if (const Error written = platform::SetDwordValue(registry, key.Get(), path, static_cast<std::uint32_t>(next))) {
    throw RegistryWriteError("SharedDLLs count not written", written);
  }
  return next;
}

bool IsComponentFile(EngineContext& context, const std::string& path) {
  platform::SystemApi& system = context.platform.System();
  return FindNoCase(system, ".OCX", path) != 0 || FindNoCase(system, ".DLL", path) != 0;
}

bool RegisterComponent(EngineContext& context, const std::string& path, bool doRegister) {
  std::unique_ptr<platform::Module> module;
  if (context.platform.Processes().LoadModule(path, module) != error::kSuccess) {
    if (context.mode == "SETUP") {
      ShowMessageBox(context, path + "の読み込みに失敗しました。", "OCX/DLL登録エラー(LoadLibrary)", box::kExclamation);
    }
    return false;
  }
  std::int32_t result = 0;
  if (!doRegister) {
    module->CallEntry("DllUnregisterServer", result);
    return false;
  }
  if (!module->CallEntry("DllRegisterServer", result)) {
    ShowMessageBox(context, path + "のDllRegisterServerエントリが見つかりません。", "OCX/DLL登録エラー(GetProcAddress)",
                   box::kExclamation);
    return false;
  }
  if (result != 0) {
    ShowMessageBox(context, path + "のDllRegisterServer関数が失敗しました。", "OCX/DLL登録エラー(Procedure)",
                   box::kExclamation);
    return false;
  }
  return true;
}

Error CopyFileReplace(EngineContext& context, const std::string& source, const std::string& destination) {
  platform::FileApi& files = context.platform.Files();
  if (Exists(context, destination)) files.SetAttributes(destination, kArchiveOnly);
  const Error result = files.Copy(source, destination, false);
  if (Exists(context, destination)) files.SetAttributes(destination, kArchiveOnly);
  return result;
}

Error DeleteFileSilently(EngineContext& context, const std::string& path) {
  const bool pattern = path.find_first_of("*?") != std::string::npos;
  if (!pattern && !Exists(context, path)) return error::kFileNotFound;
  if (IsComponentFile(context, path)) RegisterComponent(context, path, false);
  platform::ShellFileOperation operation;
  operation.ownerWindow = context.mainWindow;
  operation.function = platform::shell_function::kDelete;
  operation.sources = {path};
  operation.flags = platform::shell_flag::kSilent | platform::shell_flag::kNoConfirmation |
                    platform::shell_flag::kNoErrorUi;
  const platform::ShellFileResult result = context.platform.Shell().FileOperation(operation);
  return static_cast<Error>(result.code);
}

Error DeleteFolderContents(EngineContext& context, const std::string& folder, const std::string& patterns) {
  const std::string root = EnsureSeparator(folder, "B");
  std::size_t start = 0;
  while (start < patterns.size()) {
    std::size_t end = patterns.find('|', start);
    if (end == std::string::npos) end = patterns.size();
    const std::string pattern = patterns.substr(start, end - start);
    if (!pattern.empty()) DeleteFileSilently(context, root + pattern);
    start = end + 1;
  }
  return context.platform.Files().RemoveFolder(DropSeparator(root, "B"));
}

bool FolderExists(EngineContext& context, const std::string& path) {
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  return context.platform.Files().FindFirst(DropSeparator(path, "B") + "\\*.*", entry, search) == error::kSuccess;
}

bool ForceFolders(EngineContext& context, const std::string& path) {
  const std::string full = EnsureSeparator(path, "B");
  bool result = true;
  for (std::size_t i = 0; i < full.size(); i = base::NextChar(full, i)) {
    if (full[i] != '\\') continue;
    const std::string prefix = full.substr(0, i + 1);
    if (FolderExists(context, prefix)) continue;
    result = context.platform.Files().CreateFolder(DropSeparator(prefix, "B")) == error::kSuccess;
  }
  return result;
}

std::string ExpandCompressedFile(EngineContext& context, const std::string& source, const std::string& destination,
                                 Error* failure) {
  platform::InstallFileApi& install = context.platform.InstallFiles();
  Error first = error::kSuccess;
  std::string target = destination;
  if (base::NamePart(destination) == "AUTO.EXT") {
    std::string expanded;
    first = install.ExpandedName(source, expanded);
    target = base::FolderPart(destination) + context.platform.System().UpperCase(base::NamePart(expanded));
  }
  const std::string staging = context.folders[Macro::kTmp] + "EXPAND.ODT";
  if (Exists(context, staging)) context.platform.Files().Delete(staging);
  const Error expandedData = install.LzExpand(source, staging);
  if (first == error::kSuccess) first = expandedData;
  if (failure != nullptr) *failure = first;
  return staging + "," + target;
}

std::string CreateShortcut(EngineContext& context, const std::string& target, const std::string& linkPath,
                           const std::string& workingFolder, const std::string& arguments, Error* failure) {
  platform::SystemApi& system = context.platform.System();
  if (failure != nullptr) *failure = error::kSuccess;
  std::string link = linkPath;
  if (FindNoCase(system, ".lnk", link) == 0) link += ".lnk";
  std::string working = workingFolder;
  if (working.empty() || !FolderExists(context, working)) working = base::FolderPart(target);
  working = EnsureSeparator(working, "B");
  const std::string linkFolder = base::FolderPart(link);
  if (!FolderExists(context, linkFolder)) ForceFolders(context, linkFolder);
  if (FindNoCase(system, ".LNK", target) != 0) {
    const Error copied = CopyFileReplace(context, target, link);
    if (failure != nullptr) *failure = copied;
    return link;
  }
  platform::ShellLink fields;
  fields.target = target;
  fields.workingDirectory = working;
  fields.arguments = arguments;
  if (const Error saved = context.platform.InstallShell().CreateShellLink(fields, link)) {
    if (failure != nullptr) *failure = saved;
    return std::string();
  }
  if (!platform::FileExists(context.platform.Files(), link)) {
    // The shell saved a program information file for an MS-DOS program. Only when that
    // file is there: a failed look-up of the link must not name a file that was not made.
    const std::string pif = link.substr(0, link.size() - base::ExtensionPart(link).size()) + ".pif";
    if (platform::FileExists(context.platform.Files(), pif)) link = pif;
  }
  return link;
}

std::string SystemErrorText(EngineContext& context, Error code) {
  if (code == error::kSuccess) return std::string();
  std::string text = context.platform.System().ErrorText(code);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return context.platform.System().FullWidth(text) + "\r\n";
}

bool QueryFreeSpaceEx(EngineContext& context, const std::string& drive, std::int64_t& bytes) {
  std::uint64_t free = 0;
  if (context.platform.InstallFiles().DiskFreeSpaceEx(EnsureSeparator(drive, "B"), free) != error::kSuccess) {
    bytes = -1;
    return false;
  }
  bytes = static_cast<std::int64_t>(free);
  return true;
}

bool QueryFreeSpace(EngineContext& context, const std::string& drive, std::int64_t& bytes) {
  platform::DiskSpace space;
  if (context.platform.InstallFiles().DiskFreeSpace(EnsureSeparator(drive, "B"), space) != error::kSuccess) {
    bytes = -1;
    return false;
  }
  const double free = static_cast<double>(space.freeClusters) * space.sectorsPerCluster * space.bytesPerSector;
  bytes = std::llround(free);
  return true;
}

bool DeleteRegistryKey(EngineContext& context, const std::string& rootToken, const std::string& keyPath) {
  if (keyPath.empty()) return true;
  platform::RegistryApi& registry = context.platform.Registry();
  const platform::RegHandle root = RootOfToken(rootToken);
  for (int attempt = 0; attempt < 99; ++attempt) {
    platform::RegKey key;
    if (platform::RegKey::Open(registry, root, keyPath, key) != error::kSuccess) break;
    key.Reset();
    // A refused name (a key of Windows' own) ends the attempts: it would never go.
    if (platform::DeleteRegistryTree(registry, root, keyPath) == error::kInvalidParameter) break;
  }
  return true;
}

std::string ShortPathOf(EngineContext& context, const std::string& path) {
  std::string shortPath;
  return context.platform.Files().ShortPathName(path, shortPath) == error::kSuccess ? shortPath : std::string();
}

bool ReplaceAtRestart(EngineContext& context, const std::string& source, const std::string& destination) {
  std::string staged;
  for (std::uint64_t n = 1;; ++n) {
    staged = context.folders[Macro::kWin] + "ODTMP" + std::to_string(n) + ".TMP";
    if (!Exists(context, staged)) break;
  }
  CopyFileReplace(context, source, staged);
  const std::string& os = context.folders.osKind;
  if (os == "NT") {
    const bool moved = context.platform.InstallFiles().MoveEx(
                           staged, destination, platform::move_flag::kReplaceExisting |
                                                    platform::move_flag::kDelayUntilReboot) == error::kSuccess;
    if (!moved) ShowMoveFileExFailure(context);
    return moved;
  }
  if (os == "notNT") {
    AddWininitRename(context, ShortPathOf(context, destination) + "=" + ShortPathOf(context, staged));
  }
  return true;
}

bool DeleteAtRestart(EngineContext& context, const std::string& path) {
  const std::string& os = context.folders.osKind;
  if (os == "NT") {
    const bool moved = context.platform.InstallFiles().MoveEx(
                           path, std::string(), platform::move_flag::kReplaceExisting |
                                                    platform::move_flag::kDelayUntilReboot) == error::kSuccess;
    if (!moved) ShowMoveFileExFailure(context);
    return moved;
  }
  if (os == "notNT") {
    std::uint32_t attributes = platform::attribute::kInvalid;
    const bool readable = context.platform.Files().GetAttributes(path, attributes) == error::kSuccess;
    const bool folder = !readable || (attributes & platform::attribute::kDirectory) != 0;
    AddWininitRename(context, (folder ? "DirNul=" : "Nul=") + ShortPathOf(context, path));
  }
  return true;
}

Error RunProgram(EngineContext& context, const std::string& program, const std::string& arguments, int show,
                 bool wait) {
  std::unique_ptr<platform::Process> process;
  const std::string commandLine = ProgramCommandLine(program, arguments);
  if (const Error started = context.platform.Processes().StartProcess(program, commandLine, show, process)) {
    ShowProgramFailure(context, program, arguments, started);
    return started;
  }
  if (wait) {
    while (!process->Finished()) context.ui.ProcessMessages();
  }
  return error::kSuccess;
}

Error OpenWithShell(EngineContext& context, const std::string& program, const std::string& arguments) {
  const std::uint32_t result =
      context.platform.InstallShell().Execute("open", program, arguments, std::string(), kShowNormal);
  if (result <= 32) ShowProgramFailure(context, program, arguments, result);
  return error::kSuccess;
}

}  // namespace ov::setup
