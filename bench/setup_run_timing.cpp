// Timing of SETUP's runs under Wine on real files: an installation of N small files
// (default 2,000) with SetupSpeed=1 against the floor of a bare CopyFileA loop over the
// same files plus the pauses the run must make (500 ms and 1000 ms at the start, one
// SetupSpeed after each item and phase); then the uninstallation of what it installed
// against a bare DeleteFileA loop over the same files. The runs are the engine's own,
// with the ui answering every question with its first button. Run by hand:
//   scripts/wine-run build/<win32 build>/bench/setup_run_timing.exe [files]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_install.h"
#include "setup/engine/install_run.h"
#include "setup/engine/uninstall_run.h"
#include "ui/headless/headless_backend.h"

namespace {

using Clock = std::chrono::steady_clock;
using ov::setup::Macro;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::string Temp() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  return path;
}

void Write(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

// The views: nobody at the windows; every wait sees its button pressed at once.
class QuietInstall : public ov::setup::InstallRunView {
 public:
  std::string folder;
  ov::setup::WizardChoices ReadChoices() override {
    ov::setup::WizardChoices choices;
    choices.overwrite = true;
    choices.folder = folder;
    return choices;
  }
  void HideMainWindow() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ShowProgress(bool) override {}
  void SetProgress(int, const std::string&) override {}
  void EnableAbort(bool) override {}
  void ProcessMessages() override {}
  bool Aborted() override { return false; }
  void ShowFailureDetails(const std::string&) override {}
  void EndFailureDetails() override {}
  bool EventButtonPressed() override { return true; }
  void ShowNextButton() override {}
  bool NextPressed() override { return true; }
  void Beep() override {}
  void ShowFinalChoice(const ov::setup::FinalChoice&) override {}
  bool SecondChoiceSelected() override { return true; }
  void HideWindows() override {}
  void RequestRestart() override {}
  void FinishWizard() override {}
};

class QuietUninstall : public ov::setup::UninstallRunView {
 public:
  std::string folder;
  ov::setup::UninstallChoices ReadChoices() override {
    ov::setup::UninstallChoices choices;
    choices.folder = folder;
    return choices;
  }
  void DisableOptions() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  ov::setup::SharedAnswer AskSharedFile(const std::string&) override { return ov::setup::SharedAnswer::kYes; }
  void ShowFailureDetails(const std::string&, const std::string&) override {}
  bool EventButtonPressed() override { return true; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string&) override {}
  void Beep() override {}
};

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::string root = Temp() + "ov_setup_timing\\";
  const std::string medium = root + "medium\\";
  const std::string work = root + "work\\";
  const std::string app = root + "app\\";
  const std::string floorFolder = root + "floor\\";
  for (const std::string& folder : {root, medium, work, floorFolder}) CreateDirectoryA(folder.c_str(), nullptr);

  std::string script = "[ProgramID]\r\nID=OVTIMING\r\n[Title]\r\nUnSetup=OvTiming\r\n[CopyFile]\r\n";
  for (int i = 1; i <= files; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    Write(medium + name, "small file " + std::to_string(i) + "\r\n");
    script += "File" + std::to_string(i) + "=(App)" + name + "\r\n";
  }
  Write(work + "SETUP.INI", script);
  // The uninstaller the run puts in the Windows folder: an old stand-in, so that a real
  // UNOD200X.EXE there is never replaced, and removed afterwards if the run made it.
  Write(work + "SETUPB.EXE", "MZ");
  {
    HANDLE file = CreateFileA((work + "SETUPB.EXE").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME old{};
    old.wYear = 1999;
    old.wMonth = 1;
    old.wDay = 1;
    FILETIME time{};
    SystemTimeToFileTime(&old, &time);
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
  }
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string uninstaller = std::string(windows) + "\\UNOD200X.EXE";
  const bool uninstallerWasThere = GetFileAttributesA(uninstaller.c_str()) != INVALID_FILE_ATTRIBUTES;

  ov::platform::Win32InstallPlatform platform;
  ov::ui::headless::HeadlessBackend ui;
  ov::setup::EngineContext context(platform, ui);
  context.folders.osKind = "NT";
  ov::setup::ResolveFolderTable(platform, context.folders, medium);
  ov::setup::StartupValues startup;
  startup.programFolder = medium;
  startup.workFolder = work;
  startup.scriptCopy = work + "SETUP.INI";
  startup.setupSpeed = 1;
  startup.programId = "OVTIMING";
  startup.setupTitle = startup.unSetupTitle = "OvTiming";

  // The floor of the installation: the copies and the prescribed pauses.
  Clock::time_point start = Clock::now();
  Sleep(500);
  Sleep(1000);
  for (int i = 1; i <= files; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    CopyFileA((medium + name).c_str(), (floorFolder + name).c_str(), FALSE);
    Sleep(1);
  }
  for (int phase = 0; phase < 6; ++phase) Sleep(1);
  const double copyFloor = Seconds(start);

  QuietInstall installView;
  installView.folder = app;
  start = Clock::now();
  ov::setup::InstallRun install(context, startup, installView);
  const ov::setup::RunEnd end = install.Run();
  const double installTime = Seconds(start);
  if (end != ov::setup::RunEnd::kCompleted || install.FailureCount() != 0) {
    std::printf("install run failed: end %d, %d failures\n", static_cast<int>(end), install.FailureCount());
    return 1;
  }

  // The floor of the uninstallation: the same number of deletions.
  start = Clock::now();
  for (int i = 1; i <= files; ++i) DeleteFileA((floorFolder + "f" + std::to_string(i) + ".txt").c_str());
  const double deleteFloor = Seconds(start);

  CopyFileA((app + "UNSETUP.INI").c_str(), (work + "UNSETUP.INI").c_str(), FALSE);
  startup.mode = "UNSETUP";
  startup.scriptCopy = work + "UNSETUP.INI";
  QuietUninstall uninstallView;
  uninstallView.folder = app;
  start = Clock::now();
  ov::setup::UninstallRun uninstall(context, startup, uninstallView);
  uninstall.Run();
  const double uninstallTime = Seconds(start);
  const bool gone = GetFileAttributesA((app + "f1.txt").c_str()) == INVALID_FILE_ATTRIBUTES;

  if (!uninstallerWasThere) DeleteFileA(uninstaller.c_str());
  std::printf("files                 %d\n", files);
  std::printf("install run           %.3f s\n", installTime);
  std::printf("floor (CopyFileA + pauses) %.3f s\n", copyFloor);
  std::printf("ratio                 %.2f\n", installTime / copyFloor);
  std::printf("uninstall run         %.3f s (%s)\n", uninstallTime, gone ? "files removed" : "FILES LEFT");
  std::printf("floor (DeleteFileA)   %.3f s\n", deleteFloor);
  std::printf("ratio                 %.2f\n", uninstallTime / deleteFloor);
  return gone ? 0 : 1;
}
