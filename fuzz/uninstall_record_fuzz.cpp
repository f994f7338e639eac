// Fuzzes the uninstall run over an arbitrary record on the in-memory Windows. The first
// byte picks the uninstall page's boxes and the install folder; the rest is the record
// text. Whatever the record says, the run completes, and the drive root, the folders of
// the system and the user, files nobody named, the record copy and the running
// uninstaller are still there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fake/fake_platform.h"
#include "setup/engine/uninstall_run.h"
#include "ui/headless/headless_backend.h"

namespace {

using namespace ov;

void Check(bool condition) {
  if (!condition) std::abort();
}

class FuzzView : public setup::UninstallRunView {
 public:
  explicit FuzzView(std::uint8_t seed) : seed_(seed) {}
  setup::UninstallChoices choices;
  std::string caption;
  setup::UninstallChoices ReadChoices() override { return choices; }
  void DisableOptions() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  setup::SharedAnswer AskSharedFile(const std::string&) override {
    return static_cast<setup::SharedAnswer>((seed_++ >> 4) % 4);
  }
  void ShowFailureDetails(const std::string&, const std::string&) override { polls_ = 0; }
  bool EventButtonPressed() override { return ++polls_ > 2; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string& text) override { caption = text; }
  void Beep() override {}

 private:
  std::uint8_t seed_;
  int polls_ = 0;
};

bool Exists(platform::FakePlatform& platform, const std::string& path) {
  std::uint32_t attributes = 0;
  return platform.Files().GetAttributes(path, attributes) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 200000) return 0;
  platform::FakePlatform platform;
  platform.Failures().SetLogging(false);
  ui::headless::HeadlessBackend ui;
  setup::EngineContext context{platform, ui};
  context.mode = "UNSETUP";
  setup::ResolveFolderTable(platform, context.folders, "C:\\WINDOWS\\");
  const std::string work = "C:\\WINDOWS\\TEMP\\ODTMP1\\";
  const std::string app = "C:\\Program Files\\Orvane\\";
  setup::StartupValues startup;
  startup.mode = "UNSETUP";
  startup.workFolder = work;
  startup.scriptCopy = work + "UNSETUP.INI";
  platform::fake::FakeFiles& files = platform.Files();
  for (const std::string& folder : context.folders.values) {
    if (folder.size() > 3 && folder[0] == 'C' && folder[1] == ':') files.MakeFolders(folder.substr(0, folder.size() - 1));
  }
  files.MakeFolders(work.substr(0, work.size() - 1));
  files.MakeFolders(app + "bin");
  files.MakeFolders("C:\\Other");
  const std::string kept[] = {"C:\\WINDOWS\\UNOD200X.EXE", work + "SETUPB.EXE", "C:\\Other\\keep.txt",
                              "C:\\WINDOWS\\system32\\kernel32.dll"};
  for (const std::string& path : kept) files.PutFile(path, "x");
  files.PutFile(app + "tool.exe", "x");
  files.PutFile(app + "bin\\a.dll", "x");
  const std::string record(reinterpret_cast<const char*>(data) + 1, size - 1);
  files.PutFile(startup.scriptCopy, record);

  FuzzView view(data[0]);
  const std::string folders[] = {app, "C:\\", "C:\\WINDOWS\\", app + "..\\", "", work, "C:/Other/", app + "bin\\"};
  view.choices.folder = folders[data[0] & 7];
  view.choices.desktopChecked = (data[0] & 8) != 0;
  view.choices.startMenuChecked = (data[0] & 16) != 0;
  const bool alone = (data[0] & 32) != 0;
  view.choices.startMenuVisible = view.choices.startUpVisible = view.choices.sendToVisible = !alone;

  setup::UninstallRun run(context, startup, view);
  run.Run();

  Check(!view.caption.empty());
  Check(Exists(platform, "C:\\"));
  Check(Exists(platform, startup.scriptCopy));
  for (std::size_t i = 0; i < setup::kMacroCount; ++i) {
    const std::string& folder = context.folders.values[i];
    if (i != static_cast<std::size_t>(setup::Macro::kApp) && folder.size() > 3 && folder[0] == 'C' && folder[1] == ':') {
      Check(Exists(platform, folder.substr(0, folder.size() - 1)));
    }
  }
  // Named files may go; the uninstaller and the work folder's program never.
  Check(Exists(platform, kept[0]) && Exists(platform, kept[1]));
  return 0;
}
