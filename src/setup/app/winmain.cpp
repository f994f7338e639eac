// SETUP.EXE's entry: one instance at a time (the named mutex "ODRSETUP"), then the four
// windows and the message loop of the background.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_install.h"
#include "setup/app/run_windows.h"
#include "setup/app/setup_app.h"
#include "ui/win32/win32_backend.h"

namespace {

struct HandleOwner {
  HANDLE handle = nullptr;
  ~HandleOwner() {
    if (handle != nullptr) CloseHandle(handle);
  }
};

std::string ProgramPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

int Run() {
  {
    HandleOwner existing{OpenMutexA(MUTEX_ALL_ACCESS, FALSE, ov::setup::kSetupMutexName)};
    if (existing.handle != nullptr) {
      // Another installer runs: end at once, without a window.
      PostQuitMessage(0);
      return 0;
    }
  }
  HandleOwner mutex{CreateMutexA(nullptr, FALSE, ov::setup::kSetupMutexName)};
  ov::platform::Win32InstallPlatform platform;
  ov::ui::win32::Win32Backend backend;
  ov::setup::StartupValues values;
  auto app = std::make_unique<ov::setup::SetupApp>(backend, platform, values, ProgramPath());
  ov::setup::RunWindows runs(*app);
  app->runStarter = &runs;
  // The C runtime has split the command line (quotes removed) as the program's arguments.
  if (__argc > 1 && __argv != nullptr && __argv[1] != nullptr) app->argument1 = __argv[1];
  app->Run();
  app.reset();
  // Not owned (created so), so there is nothing to release; closing the handle frees the name.
  if (mutex.handle != nullptr) ReleaseMutex(mutex.handle);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  // The program runs from download folders: before anything loads a DLL by name, the
  // program's and the current folder leave the search where the system allows it. Every
  // import is of a known DLL; the others are loaded by full path (system_library.h).
  ov::platform::RestrictDllSearch();
  try {
    return Run();
  } catch (...) {
    // No exception leaves WinMain.
    return 1;
  }
}
