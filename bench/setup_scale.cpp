// SETUP at scale under Wine: a package of N small files (default 2,000) installed by the
// install run with SetupSpeed=1 from a medium folder, then removed by the uninstall run
// from the record that the installation wrote. Each is timed against its floor in the same
// run: a bare CopyFileA (or DeleteFileA) loop over the same files that also sleeps every
// pause the run asked the system for, in the same amounts. The runs go through start-up
// and the real platform; only the windows are stand-ins that answer at once. Run by hand:
//   scripts/wine-run build/<win32 build>/bench/setup_scale.exe [--count N] [--rounds R]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "install_world.h"
#include "platform/win32/win32_install.h"
#include "recording_view.h"
#include "setup/engine/install_run.h"
#include "setup/engine/startup.h"
#include "setup/engine/uninstall_run.h"
#include "ui/headless/headless_backend.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace ov;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The system of the real platform, keeping every pause that the run asks for.
class PauseRecordingSystem : public platform::SystemApi {
 public:
  explicit PauseRecordingSystem(platform::SystemApi& real) : real_(real) {}
  std::vector<std::uint32_t> pauses;

  int CompareNoCase(const std::string& a, const std::string& b) override { return real_.CompareNoCase(a, b); }
  std::string SortKeyNoCase(const std::string& text) override { return real_.SortKeyNoCase(text); }
  std::string LowerCase(const std::string& text) override { return real_.LowerCase(text); }
  std::string UpperCase(const std::string& text) override { return real_.UpperCase(text); }
  std::uint32_t AnsiCodePage() override { return real_.AnsiCodePage(); }
  platform::VersionInfo Version() override { return real_.Version(); }
  std::string WindowsFolder() override { return real_.WindowsFolder(); }
  std::string SystemFolder() override { return real_.SystemFolder(); }
  std::string TempFolder() override { return real_.TempFolder(); }
  void Sleep(std::uint32_t milliseconds) override {
    pauses.push_back(milliseconds);
    real_.Sleep(milliseconds);
  }
  std::uint32_t TickCount() override { return real_.TickCount(); }
  std::string ErrorText(platform::Error code) override { return real_.ErrorText(code); }
  std::string FullWidth(const std::string& text) override { return real_.FullWidth(text); }

 private:
  platform::SystemApi& real_;
};

class BenchPlatform : public platform::InstallPlatform {
 public:
  BenchPlatform() : system_(real_.System()) {}
  platform::FileApi& Files() override { return real_.Files(); }
  platform::RegistryApi& Registry() override { return real_.Registry(); }
  platform::ProfileApi& Profile() override { return real_.Profile(); }
  platform::SystemApi& System() override { return system_; }
  platform::ShellApi& Shell() override { return real_.Shell(); }
  platform::SessionApi& Session() override { return real_.Session(); }
  platform::InstallFileApi& InstallFiles() override { return real_.InstallFiles(); }
  platform::InstallShellApi& InstallShell() override { return real_.InstallShell(); }
  platform::ProcessApi& Processes() override { return real_.Processes(); }
  std::vector<std::uint32_t>& Pauses() { return system_.pauses; }

 private:
  platform::Win32InstallPlatform real_;
  PauseRecordingSystem system_;
};

// The uninstall page and status window: the choices given, every question answered at once.
class AnsweringUninstallView : public setup::UninstallRunView {
 public:
  setup::UninstallChoices choices;
  setup::UninstallChoices ReadChoices() override { return choices; }
  void DisableOptions() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  setup::SharedAnswer AskSharedFile(const std::string&) override { return setup::SharedAnswer::kYes; }
  void ShowFailureDetails(const std::string&, const std::string&) override {}
  bool EventButtonPressed() override { return true; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string&) override {}
  void Beep() override {}
};

void WriteText(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(2);
  }
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string FileName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "f%05d.dat", i);
  return name;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

void Replay(const std::vector<std::uint32_t>& pauses) {
  for (std::uint32_t pause : pauses) Sleep(pause);
}

struct Round {
  double install = 0, installFloor = 0, uninstall = 0, uninstallFloor = 0;
};

// One installation and its removal, each with its floor. False when a run did not do what
// it should have (the figures would mean nothing).
bool RunRound(const std::string& root, int count, Round& round) {
  const std::string medium = root + "medium\\";
  const std::string app = root + "app\\";
  const std::string floorCopy = root + "floor\\";

  BenchPlatform platform;
  ui::headless::HeadlessBackend backend;
  setup::StartupValues values;
  setup::EngineContext context(platform, backend);
  setup::RecordingView startupView;
  if (setup::RunStartup(context, values, startupView, "", medium + "SETUP.EXE") != setup::StartupOutcome::kSetupReady) {
    std::fprintf(stderr, "start-up did not get ready: %s\n", values.startupError.c_str());
    return false;
  }
  setup::test::RecordingRunView installView;
  installView.choices.folder = app;
  platform.Pauses().clear();
  auto start = Clock::now();
  setup::InstallRun install(context, values, installView);
  const setup::RunEnd end = install.Run();
  round.install = Seconds(start);
  const std::vector<std::uint32_t> installPauses = platform.Pauses();
  if (end != setup::RunEnd::kCompleted || install.FailureCount() != 0) {
    std::fprintf(stderr, "the install run did not complete cleanly:\n%s\n", install.Details().c_str());
    return false;
  }
  for (int i = 0; i < count; i += count / 10 + 1) {
    if (GetFileAttributesA((app + FileName(i)).c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::fprintf(stderr, "%s was not installed\n", FileName(i).c_str());
      return false;
    }
  }

  CreateDirectoryA(floorCopy.c_str(), nullptr);
  start = Clock::now();
  for (int i = 0; i < count; ++i) CopyFileA((medium + FileName(i)).c_str(), (floorCopy + FileName(i)).c_str(), FALSE);
  Replay(installPauses);
  round.installFloor = Seconds(start);

  // The uninstall run reads the record from the work folder's copy, as the uninstaller
  // started from Windows' list does.
  setup::StartupValues removal;
  setup::EngineContext removalContext(platform, backend);
  setup::RecordingView removalStartupView;
  if (setup::RunStartup(removalContext, removal, removalStartupView, app + "UNSETUP.INI", medium + "SETUP.EXE") !=
      setup::StartupOutcome::kUninstallReady) {
    std::fprintf(stderr, "start-up for the removal did not get ready: %s\n", removal.startupError.c_str());
    return false;
  }
  AnsweringUninstallView uninstallView;
  uninstallView.choices.folder = app;
  uninstallView.choices.desktopChecked = true;
  uninstallView.choices.startMenuChecked = true;
  platform.Pauses().clear();
  start = Clock::now();
  setup::UninstallRun uninstall(removalContext, removal, uninstallView);
  const setup::UninstallEnd removed = uninstall.Run();
  round.uninstall = Seconds(start);
  const std::vector<std::uint32_t> uninstallPauses = platform.Pauses();
  if (removed != setup::UninstallEnd::kCompleted || uninstall.FailureCount() != 0) {
    std::fprintf(stderr, "the uninstall run did not complete cleanly:\n%s\n", uninstall.Details().c_str());
    return false;
  }
  for (int i = 0; i < count; ++i) {
    if (GetFileAttributesA((app + FileName(i)).c_str()) != INVALID_FILE_ATTRIBUTES) {
      std::fprintf(stderr, "%s was not removed\n", FileName(i).c_str());
      return false;
    }
  }

  start = Clock::now();
  for (int i = 0; i < count; ++i) DeleteFileA((floorCopy + FileName(i)).c_str());
  Replay(uninstallPauses);
  round.uninstallFloor = Seconds(start);
  RemoveTree(floorCopy);
  RemoveTree(app);
  SetCurrentDirectoryA(root.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 2000;
  int rounds = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--count") == 0) count = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
  }
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string root = std::string(temp) + "ovsetup_scale" + std::to_string(GetCurrentProcessId()) + "\\";
  const std::string medium = root + "medium\\";
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA(medium.c_str(), nullptr);
  std::string script =
      "[Title]\r\nSetup=スケール　インストール\r\nProgram=スケール\r\nUnSetup=スケール　アンインストール\r\n"
      "[Extend]\r\nSetupSpeed=1\r\n[ProgramID]\r\nID=OvSetupScale\r\n[CopyFile]\r\n";
  const std::string contents(120, 'x');
  for (int i = 0; i < count; ++i) {
    WriteText(medium + FileName(i), contents);
    script += "File" + std::to_string(i + 1) + "=(App)" + FileName(i) + "\r\n";
  }
  WriteText(medium + "SETUP.INI", script);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  CopyFileA(self, (medium + "SETUP.EXE").c_str(), FALSE);

  // The runs install this program as the Windows folder's uninstaller; whatever stands
  // there is put back afterwards, so that no later installation keeps the bench's copy.
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string uninstaller = std::string(windows) + "\\UNOD200X.EXE";
  const std::string keptUninstaller = root + "UNOD200X.KEPT";
  const bool hadUninstaller = MoveFileA(uninstaller.c_str(), keptUninstaller.c_str()) != FALSE;

  std::vector<Round> results;
  bool ok = true;
  for (int r = 0; r < rounds && ok; ++r) {
    Round round;
    ok = RunRound(root, count, round);
    if (ok) results.push_back(round);
  }
  DeleteFileA(uninstaller.c_str());
  if (hadUninstaller) MoveFileA(keptUninstaller.c_str(), uninstaller.c_str());
  RemoveTree(root);
  if (!ok) return 1;
  const auto median = [&results](double Round::*field) {
    std::vector<double> values;
    for (const Round& round : results) values.push_back(round.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  const double install = median(&Round::install), installFloor = median(&Round::installFloor);
  const double uninstall = median(&Round::uninstall), uninstallFloor = median(&Round::uninstallFloor);
  std::printf("files %d, rounds %d (medians)\n", count, static_cast<int>(results.size()));
  std::printf("install    %8.3f s   floor %8.3f s   x_floor %.2f\n", install, installFloor, install / installFloor);
  std::printf("uninstall  %8.3f s   floor %8.3f s   x_floor %.2f\n", uninstall, uninstallFloor,
              uninstall / uninstallFloor);
  return 0;
}
