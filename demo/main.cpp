// ovexplorer.exe: plays Explorer for the shell extension under Wine, whose own explorer.exe
// does not load context-menu handlers.
//   ovexplorer.exe <folder>                                 the window on a folder
//   ovexplorer.exe --sample <folder>                        (re)creates the sample folder
//   ovexplorer.exe --walkthrough <folder> [<screens folder>] sample, then every tool by itself
// The screens folder defaults to the environment variable OV_SCREENS_WIN.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include "console.h"
#include "explorer_window.h"
#include "sample_folder.h"
#include "walkthrough.h"

namespace {

using ov::demo::WriteLine;

// COM for the window's thread, as Explorer's threads have it.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~Apartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  bool Ready() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

int Usage() {
  WriteLine("usage: ovexplorer.exe <folder>");
  WriteLine("       ovexplorer.exe --sample <folder>");
  WriteLine("       ovexplorer.exe --walkthrough <folder> [<screens folder>]");
  return 2;
}

bool MakeSample(const std::string& folder) {
  std::string error;
  if (!ov::demo::CreateSampleFolder(folder, error)) {
    WriteLine("sample: " + error);
    return false;
  }
  int files = 0;
  int folders = 0;
  for (const ov::demo::SampleEntry& entry : ov::demo::SampleEntries()) ++(entry.folder ? folders : files);
  WriteLine("sample: " + folder + " holds " + std::to_string(files) + " files in all and " + std::to_string(folders) +
            " sub-folders (series, numbered photos, copies, names with a 0x5C second byte)");
  return true;
}

int RunWindow(const std::string& folder, const std::string* screens) {
  Apartment apartment;
  if (!apartment.Ready()) {
    WriteLine("ovexplorer: COM could not be initialized");
    return 1;
  }
  ov::demo::ExplorerWindow window(folder);
  if (!window.Create(SW_SHOWNORMAL)) {
    WriteLine("ovexplorer: the window could not be created");
    return 1;
  }
  HANDLE walkthrough = nullptr;
  if (screens != nullptr) {
    walkthrough = ov::demo::StartWalkthrough(window, *screens);
    if (walkthrough == nullptr) {
      WriteLine("walkthrough: the user thread could not start");
      return 1;
    }
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (walkthrough == nullptr) return 0;
  const int result = ov::demo::WalkthroughResult(walkthrough);
  CloseHandle(walkthrough);
  return result;
}

int Main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--sample" && argc == 3) return MakeSample(argv[2]) ? 0 : 1;
  if (mode == "--walkthrough" && (argc == 3 || argc == 4)) {
    const char* fromEnvironment = std::getenv("OV_SCREENS_WIN");
    const std::string screens = argc == 4 ? argv[3] : (fromEnvironment != nullptr ? fromEnvironment : "");
    if (screens.empty()) {
      WriteLine("walkthrough: no folder for the screenshots (argument or OV_SCREENS_WIN)");
      return 2;
    }
    if (!MakeSample(argv[2])) return 1;
    return RunWindow(argv[2], &screens);
  }
  if (argc == 2 && mode.rfind("--", 0) != 0) return RunWindow(mode, nullptr);
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (...) {
    WriteLine("ovexplorer: an unexpected error ended the program");
    return 1;
  }
}
