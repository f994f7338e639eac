// An installation taken back: the install run on the in-memory Windows, then the
// uninstall run on the record it wrote. Afterwards the machine differs from the one
// before the installation only by what the uninstallation leaves on purpose: the
// uninstaller in the Windows folder and ODSET98.INI without the package's section.
#include <gtest/gtest.h>

#include <map>

#include "install_world.h"
#include "setup/engine/uninstall_run.h"
#include "setup/text/ini_file.h"
#include "support/readable.h"

namespace ov::setup::test {
namespace {

using namespace platform;
using ov::test::Readable;

class QuietView : public UninstallRunView {
 public:
  std::vector<std::string> sharedQuestions;
  SharedAnswer answer = SharedAnswer::kYes;
  UninstallChoices choices;
  UninstallChoices ReadChoices() override { return choices; }
  void DisableOptions() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  SharedAnswer AskSharedFile(const std::string& text) override {
    sharedQuestions.push_back(text);
    return answer;
  }
  void ShowFailureDetails(const std::string&, const std::string&) override {}
  bool EventButtonPressed() override { return true; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string&) override {}
  void Beep() override {}
};

void ListFiles(InstallWorld& world, const std::string& folder, std::map<std::string, std::string>& state) {
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  if (world.platform.Files().FindFirst(folder + "*", entry, search) != 0) return;
  std::vector<std::string> folders;
  do {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string path = folder + entry.name;
    if (entry.attributes & attribute::kDirectory) {
      state[path + "\\"] = "";
      folders.push_back(path + "\\");
    } else {
      state[path] = world.Contents(path);
    }
  } while (search->Next(entry) == 0);
  for (const std::string& each : folders) ListFiles(world, each, state);
}

void ListKeys(InstallWorld& world, RegHandle key, const std::string& name, std::map<std::string, std::string>& state) {
  RegistryApi& registry = world.platform.Registry();
  state[name] = "";
  std::string value;
  for (std::uint32_t i = 0; registry.EnumValue(key, i, value) == 0; ++i) {
    std::uint32_t type = 0;
    std::string data;
    registry.QueryValue(key, value, type, data);
    state[name + " = " + value] = std::to_string(type) + ":" + data;
  }
  std::string child;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, child) == 0; ++i) {
    RegKey sub;
    if (RegKey::Open(registry, key, child, sub) == 0) ListKeys(world, sub.Get(), name + "\\" + child, state);
  }
}

std::map<std::string, std::string> State(InstallWorld& world) {
  std::map<std::string, std::string> state;
  ListFiles(world, "C:\\", state);
  for (const auto& [root, name] : {std::pair<RegHandle, const char*>{reg_root::kLocalMachine, "HKLM"},
                                   {reg_root::kCurrentUser, "HKCU"},
                                   {reg_root::kClassesRoot, "HKCR"}}) {
    ListKeys(world, root, name, state);
  }
  return state;
}

const char* const kPackage =
    "[CopyFile]\r\nFile1=(App)tool.exe\r\nFile2=(App)bin\\helper.exe\r\nFile3=(App)shared.dll,/S/R\r\n"
    "File4=(Sys)ORVANE.DLL\r\n"
    "[MakeFolder]\r\nFolder1=(App)bin\r\nFolder2=(App)data\r\n"
    "[ShortCut]\r\nMake1=(App)tool.exe\r\nName1=Orvane\\Tool\r\nMake2=(App)tool.exe\r\nName2=(Dsk)Tool\r\n"
    "[Registry]\r\nKey1=(Local)SOFTWARE\\Orvane\\Test\r\nName1=Path\r\nValue1=(Str)(App)\r\n"
    "[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\Orvane\r\n"
    "[AddDeleteFile]\r\nFile1=(App)*.log\r\n"
    "[Relate]\r\nName1=ovx,Orvane document\r\nFile1=open,(App)tool.exe,\"%1\",,0\r\n"
    "Name2=txt,Text\r\nFile2=open,(App)tool.exe,\"%1\",,0\r\n";

TEST(RoundTrip, InstallThenUninstallLeavesOnlyWhatIsLeftOnPurpose) {
  InstallWorld world;
  world.Script(kPackage);
  for (const char* name : {"tool.exe", "helper.exe", "shared.dll", "ORVANE.DLL"}) {
    world.Medium(name, std::string("data of ") + name);
  }
  world.platform.Processes().AddModule(std::string(kApp) + "shared.dll", {{"DllRegisterServer", 0}});
  world.platform.Files().Delete(std::string(kApp) + "shared.dll");  // the module, not yet its file
  {
    RegKey key;
    RegKey::Create(world.platform.Registry(), reg_root::kClassesRoot, ".txt", key);
    SetStringValue(world.platform.Registry(), key.Get(), "", "txtfile");
  }
  // Keys every Windows has.
  for (const char* path : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
    RegKey key;
    RegKey::Create(world.platform.Registry(), reg_root::kLocalMachine, path, key);
  }
  world.platform.Files().MakeFolders(world.context.folders[Macro::kSta]);  // a used machine has its Start menu
  world.platform.Files().RemoveFolder("C:\\Program Files\\Orvane");
  world.view.choices.folder = "C:\\Program Files\\Orvane";
  const std::map<std::string, std::string> before = State(world);
  ASSERT_EQ(world.Run(), RunEnd::kCompleted);
  ASSERT_EQ(world.run->Details(), "");

  // Start-up on the record: its copy in the work folder, the folder from the record.
  const std::string record = std::string(kApp) + "UNSETUP.INI";
  StartupValues startup = world.startup;
  startup.mode = "UNSETUP";
  startup.scriptCopy = std::string(kWork) + "UNSETUP.INI";
  ASSERT_EQ(world.platform.Files().Copy(record, startup.scriptCopy, false), 0u);
  world.context.mode = "UNSETUP";
  world.ui.ClearMessageBoxes();
  QuietView view;
  view.choices.folder = ReadProfileString(world.platform.Profile(), "SetupFolder", "Folder", "", startup.scriptCopy);
  UninstallRun run(world.context, startup, view);
  ASSERT_EQ(run.Run(), UninstallEnd::kCompleted);
  EXPECT_EQ(run.Details(), "") << Readable(run.Details());
  EXPECT_EQ(view.sharedQuestions.size(), 1u);  // shared.dll, counted once, reaches 0
  // Question B for the DLL in the system folder, answered Yes; nothing else asked.
  ASSERT_EQ(world.ui.MessageBoxes().size(), 1u);
  EXPECT_NE(world.ui.MessageBoxes()[0].text.find("ORVANE.DLL"), std::string::npos);

  std::map<std::string, std::string> after = State(world);
  std::string odset = after["C:\\WINDOWS\\ODSET98.INI"];
  EXPECT_EQ(odset.find("ORVANE01"), std::string::npos) << Readable(odset);
  after.erase("C:\\WINDOWS\\ODSET98.INI");
  after.erase("C:\\WINDOWS\\UNOD200X.EXE");
  for (auto it = after.begin(); it != after.end();) {
    it = it->first.rfind(kWork, 0) == 0 ? after.erase(it) : std::next(it);
  }
  std::map<std::string, std::string> expected = before;
  for (auto it = expected.begin(); it != expected.end();) {
    it = it->first.rfind(kWork, 0) == 0 ? expected.erase(it) : std::next(it);
  }
  for (const auto& [name, value] : expected) {
    EXPECT_TRUE(after.count(name) != 0 && after[name] == value) << "lost or changed: " << Readable(name);
  }
  for (const auto& [name, value] : after) {
    EXPECT_TRUE(expected.count(name) != 0) << "left behind: " << Readable(name) << " " << Readable(value);
  }
}

}  // namespace
}  // namespace ov::setup::test
