#include "install_world.h"

namespace ov::setup::test {

std::string Compressed(const std::string& text, char lastCharacter) {
  std::string data("SZDD\x88\xF0\x27\x33" "A", 9);
  data += lastCharacter;
  for (int i = 0; i < 4; ++i) data += static_cast<char>((text.size() >> (8 * i)) & 0xFF);
  // Literal bytes only: one flag byte of eight literals at a time.
  for (std::size_t i = 0; i < text.size(); i += 8) {
    data += '\xFF';
    data += text.substr(i, 8);
  }
  return data;
}

InstallWorld::InstallWorld() {
  platform.Files().AddVolume('D');
  context.mainWindow = 0x1234;
  context.folders.osKind = "NT";
  ResolveFolderTable(platform, context.folders, "D:\\");
  startup.programFolder = "D:\\";
  startup.workFolder = kWork;
  startup.scriptCopy = std::string(kWork) + "SETUP.INI";
  startup.setupSpeed = 350;
  startup.programId = "ORVANE01";
  startup.setupTitle = "Orvane Tools";
  startup.unSetupTitle = "Orvane Tools";
  platform.Files().PutFile(std::string(kWork) + "SETUPB.EXE", "MZsetup");
  platform.Files().MakeFolders(kApp);
  view.choices.folder = "C:\\Program Files\\Orvane";
  view.choices.shortcutStartMenu = true;
}

void InstallWorld::Script(const std::string& text) { platform.Files().PutFile(startup.scriptCopy, text); }

void InstallWorld::Medium(const std::string& name, const std::string& contents) {
  platform.Files().PutFile("D:\\" + name, contents);
}

std::string InstallWorld::Contents(const std::string& path) {
  std::string contents;
  if (platform.Files().Load(path, contents) != 0) return "<missing>";
  return contents;
}

bool InstallWorld::Exists(const std::string& path) { return platform::FileExists(platform.Files(), path); }

RunEnd InstallWorld::Run() {
  run = std::make_unique<InstallRun>(context, startup, view);
  return run->Run();
}

}  // namespace ov::setup::test
