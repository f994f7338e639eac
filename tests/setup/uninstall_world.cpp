#include "uninstall_world.h"

namespace ov::setup::test {

using namespace platform;

namespace {
const char* const kSharedKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
}

UninstallWorld::UninstallWorld() {
  context.mainWindow = 0x1234;
  context.mode = "UNSETUP";
  context.folders.osKind = "NT";
  ResolveFolderTable(platform, context.folders, "C:\\WINDOWS\\");
  startup.mode = "UNSETUP";
  startup.programFolder = "C:\\WINDOWS\\";
  startup.workFolder = kWork;
  startup.scriptCopy = std::string(kWork) + "UNSETUP.INI";
  // Every folder of the table is there, as on a used machine.
  for (const std::string& folder : context.folders.values) {
    if (folder.size() > 3 && folder[1] == ':' && folder[0] == 'C') platform.Files().MakeFolders(folder.substr(0, folder.size() - 1));
  }
  platform.Files().MakeFolders(kWork);
  platform.Files().MakeFolders(kApp);
  platform.Files().MakeFolders(kDesktop);
  platform.Files().MakeFolders(kPrograms);
  platform.Files().PutFile("C:\\WINDOWS\\UNOD200X.EXE", "MZ uninstaller");
  platform.Files().PutFile(std::string(kWork) + "SETUPB.EXE", "MZ uninstaller");
  view.choices.folder = kApp;
}

void UninstallWorld::Record(const std::string& text) { platform.Files().PutFile(startup.scriptCopy, text); }

void UninstallWorld::Put(const std::string& path, const std::string& contents) {
  const std::size_t slash = path.rfind('\\');
  platform.Files().MakeFolders(path.substr(0, slash));
  platform.Files().PutFile(path, contents);
}

bool UninstallWorld::Exists(const std::string& path) {
  std::uint32_t attributes = 0;
  std::string bare = path;
  if (bare.size() > 3 && bare.back() == '\\') bare.pop_back();
  return platform.Files().GetAttributes(bare, attributes) == 0;
}

void UninstallWorld::SetShared(const std::string& path, std::uint32_t count) {
  RegKey key;
  RegKey::Create(platform.Registry(), reg_root::kLocalMachine, kSharedKey, key);
  SetDwordValue(platform.Registry(), key.Get(), path, count);
}

std::int64_t UninstallWorld::Shared(const std::string& path) {
  RegKey key;
  std::uint32_t count = 0;
  if (RegKey::Open(platform.Registry(), reg_root::kLocalMachine, kSharedKey, key) != 0) return -1;
  if (QueryDwordValue(platform.Registry(), key.Get(), path, count) != 0) return -1;
  return count;
}

bool UninstallWorld::KeyExists(RegHandle root, const std::string& keyPath) {
  RegKey key;
  return RegKey::Open(platform.Registry(), root, keyPath, key) == 0;
}

std::string UninstallWorld::Default(RegHandle root, const std::string& keyPath) {
  RegKey key;
  std::string text;
  if (RegKey::Open(platform.Registry(), root, keyPath, key) != 0) return "<no key>";
  if (QueryStringValue(platform.Registry(), key.Get(), "", text) != 0) return "<no value>";
  return text;
}

bool UninstallWorld::Scheduled(const std::string& path) {
  RegKey key;
  std::uint32_t type = 0;
  std::string data;
  if (RegKey::Open(platform.Registry(), reg_root::kLocalMachine, kSessionManagerKey, key) != 0) return false;
  if (platform.Registry().QueryValue(key.Get(), kPendingRenamesValue, type, data) != 0) return false;
  return data.find("\\??\\" + path) != std::string::npos;
}

UninstallEnd UninstallWorld::Run() {
  run = std::make_unique<UninstallRun>(context, startup, view);
  return run->Run();
}

}  // namespace ov::setup::test
