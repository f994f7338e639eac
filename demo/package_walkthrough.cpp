// The package as a user meets it, driven through its windows: SETUP.EXE started from the
// installation medium installs the package through every wizard page; afterwards the
// files and the registry are checked (the shell extension registered by the run from the
// install folder, the uninstall entry, the uninstall record). With "--uninstall" the
// uninstaller is started with the command that Windows' list of installed programs holds,
// and afterwards everything the installation made is checked gone. Each step prints one
// line; every page is saved as build/screens/walk-*.png. Exit status 0 when every check
// held.
//   package_walkthrough.exe --install <medium folder>
//   package_walkthrough.exe --uninstall <medium folder>
//   package_walkthrough.exe --installed <medium folder>          exit 0 when installed
//   package_walkthrough.exe --start-uninstaller <medium folder>  the entry's command, for a person
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setup_driver/setup_driver.h"

namespace {

using namespace ov::setup::driver;

// The shell extension's class, as its registration writes it.
constexpr const char* kExtensionKey = "CLSID\\{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}\\InprocServer32";

int g_failures = 0;

void Step(const std::string& text) { std::printf("  %s\n", text.c_str()); std::fflush(stdout); }

void Check(bool held, const std::string& what) {
  if (!held) ++g_failures;
  std::printf("  %s %s\n", held ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
}

std::string Profile(const std::string& file, const char* section, const char* key, const char* fallback = "") {
  char value[2048] = {};
  GetPrivateProfileStringA(section, key, fallback, value, sizeof(value), file.c_str());
  return value;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string RegistryText(HKEY root, const std::string& path, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char value[2048] = {};
  DWORD size = sizeof(value) - 1;
  DWORD type = 0;
  const bool read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return read ? std::string(value) : std::string();
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

struct Package {
  std::string medium;    // with "\"
  std::string script;    // medium's SETUP.INI
  std::string setupString, unSetupString, programId, uninstallKey;
};

Package ReadPackage(const std::string& medium) {
  Package package;
  package.medium = WithSeparator(medium);
  package.script = package.medium + "SETUP.INI";
  package.setupString = Profile(package.script, "Extend", "SetupString", "インストール");
  package.unSetupString = Profile(package.script, "Extend", "UnSetupString", "アンインストール");
  package.programId = Profile(package.script, "ProgramID", "ID");
  // The uninstall entry's key name, as the install run names it.
  package.uninstallKey = Profile(package.script, "Title", "UnSetupKey");
  if (package.uninstallKey.empty()) package.uninstallKey = Profile(package.script, "Title", "UnSetup");
  return package;
}

std::string UninstallKey(const Package& package) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + package.uninstallKey;
}

// What the program shows instead of what was awaited: its buttons' captions.
void ShowButtons(const Program& program) {
  WaitFor(program.Id(), [](HWND w) {
    if (ClassOf(w) == "Button") Step("shown: [" + TextOf(w) + "]" + (IsWindowEnabled(w) ? "" : " (disabled)"));
    return false;
  }, 0);
  CaptureScreen("walk-unexpected");
}

// Presses the button with this caption, with a picture of the screen before.
bool Press(const Program& program, const std::string& caption, const std::string& picture, DWORD wait = 20000) {
  HWND button = WaitForButton(program.Id(), caption, wait);
  if (button == nullptr) {
    Check(false, "the button \"" + caption + "\" appeared");
    return false;
  }
  for (int i = 0; i < 100 && !IsWindowEnabled(button); ++i) Sleep(50);
  if (!picture.empty()) CaptureScreen(picture);
  return ClickWhenEnabled(button);
}

// The installer's pages, in order: title, licence agreement (ticked, agreed), readme, the
// last page, the status window through the copy, and the final choice without a restart.
bool Install(const Package& package) {
  const std::string& s = package.setupString;
  Program setup;
  if (!setup.Start("\"" + package.medium + "SETUP.EXE\"", package.medium)) {
    Check(false, "SETUP.EXE started");
    return false;
  }
  Step("SETUP.EXE started from the medium");
  if (!Press(setup, s + "続行(&C)", "walk-1-title")) return false;
  Step("title page: " + s + "続行");
  if (!Profile(package.script, "EULA", "File").empty()) {
    HWND agree = WaitForButton(setup.Id(), "同意する(&A)");
    HWND read = WaitFor(setup.Id(), [](HWND w) {
      return ClassOf(w) == "Button" && TextOf(w).rfind("上記「使用許諾契約書」を確認のうえ、", 0) == 0;
    });
    if (agree == nullptr || read == nullptr) {
      Check(false, "the licence page with its check box");
      return false;
    }
    if (SendMessageA(read, BM_GETCHECK, 0, 0) != BST_CHECKED) SendMessageA(read, BM_CLICK, 0, 0);
    if (!Press(setup, "同意する(&A)", "walk-2-licence")) return false;
    Step("licence agreement: read and agreed");
  }
  if (!Profile(package.script, "Readme", "File").empty()) {
    // The readme's button keeps the title page's caption; wait for the page to change.
    Sleep(500);
    if (!Press(setup, s + "続行(&C)", "walk-3-readme")) return false;
    Step("readme page");
  }
  if (!Press(setup, s + "開始(&S)", "walk-4-folder")) return false;
  Step("last page: folder and options, " + s + "開始");

  // The status window during the copy, then whatever the run asks, then the final choice.
  // The status window while the files are copied (the question about the new folder
  // comes first).
  const DWORD copyWait = GetTickCount();
  while (GetTickCount() - copyWait < 30000 && setup.Running()) {
    if (HWND box = FindBox(setup.Id())) {
      CaptureScreen("walk-5-question");
      Step("question \"" + TextOf(box) + "\": " + BoxText(box).substr(0, BoxText(box).find('\r')) + " -> yes");
      Answer(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
      Sleep(300);
      continue;
    }
    if (WaitFor(setup.Id(), [](HWND w) { return ClassOf(w) == "msctls_progress32"; }, 200) != nullptr) {
      CaptureScreen("walk-5-copy", 60);
      Step("status window: copying, with its progress");
      break;
    }
  }
  const DWORD start = GetTickCount();
  HWND finish = nullptr;
  while (finish == nullptr && GetTickCount() - start < 180000 && setup.Running()) {
    if (HWND box = FindBox(setup.Id())) {
      const std::string text = BoxText(box);
      CaptureScreen("walk-5-question");
      Step("question \"" + TextOf(box) + "\": " + text.substr(0, text.find('\r')) + " -> yes");
      Answer(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
      Sleep(300);
      continue;
    }
    if (HWND next = WaitForButton(setup.Id(), "続行(&C)", 0)) {
      CaptureScreen("walk-5-failures");
      Check(false, "no failure details page");
      ClickWhenEnabled(next);
    }
    if (HWND next = WaitForButton(setup.Id(), "次へ(&N)", 0)) {
      if (IsWindowEnabled(next)) {
        CaptureScreen("walk-6-finished");
        Step("status window: every phase done, 次へ");
        ClickWhenEnabled(next);
        Sleep(300);
      }
    }
    finish = WaitForButton(setup.Id(), s + "完了(&E)", 200);
  }
  if (finish == nullptr) {
    ShowButtons(setup);
    Check(false, setup.Running() ? "the completion page appeared" : "SETUP.EXE reached its completion page before it ended");
    return false;
  }
  HWND first = WaitFor(setup.Id(), [](HWND w) { return ClassOf(w) == "Button" && TextOf(w).find("(&Y)") != std::string::npos; }, 2000);
  const std::string firstText = first != nullptr ? TextOf(first) : std::string();
  if (firstText.find("再起動") != std::string::npos) {
    // A restart is proposed: the walkthrough takes the choice without it.
    HWND second = WaitFor(setup.Id(), [](HWND w) { return ClassOf(w) == "Button" && TextOf(w).find("(&N)") != std::string::npos && TextOf(w).find("いいえ") == 0; }, 2000);
    if (second != nullptr) SendMessageA(second, BM_CLICK, 0, 0);
  }
  if (!Press(setup, s + "完了(&E)", "walk-7-complete")) return false;
  Step("completion page: " + s + "完了");
  Check(setup.Wait(30000) == 0, "SETUP.EXE ended");
  return true;
}

std::string InstallFolder(const Package& package) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  return WithSeparator(Profile(std::string(windows) + "\\ODSET98.INI", package.programId.c_str(), "Folder"));
}

// What the uninstall record lists: files (options cut off) and shortcuts.
std::vector<std::string> RecordedPaths(const std::string& record) {
  std::vector<std::string> paths;
  for (const char* section : {"DeleteFile", "DeleteShortCut"}) {
    for (int n = 1;; ++n) {
      const std::string value = Profile(record, section, ("File" + std::to_string(n)).c_str());
      if (value.empty()) break;
      paths.push_back(value.substr(0, value.find(',')));
    }
  }
  return paths;
}

void CheckInstalled(const Package& package, const std::string& folder) {
  Check(!folder.empty() && Exists(folder), "the install folder is recorded in ODSET98.INI: " + folder);
  Check(Exists(folder + "UNSETUP.INI"), "the uninstall record " + folder + "UNSETUP.INI");
  Check(Exists(folder + "ovshellex.dll"), "the shell extension was expanded into the install folder");
  const std::string server = RegistryText(HKEY_CLASSES_ROOT, kExtensionKey, nullptr);
  Check(lstrcmpiA(server.c_str(), (folder + "ovshellex.dll").c_str()) == 0,
        "the shell extension is registered from the install folder (" + server + ")");
  const std::string command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(package), "UninstallString");
  Check(command.find("UNOD200X.EXE") != std::string::npos && command.find("UNSETUP.INI") != std::string::npos,
        "the uninstall entry's command: " + command);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  Check(Exists(std::string(windows) + "\\UNOD200X.EXE"), "the uninstaller UNOD200X.EXE in the Windows folder");
  const std::vector<std::string> recorded = RecordedPaths(folder + "UNSETUP.INI");
  int missing = 0;
  for (const std::string& path : recorded) {
    if (!Exists(path)) {
      ++missing;
      Step("missing: " + path);
    }
  }
  Check(!recorded.empty() && missing == 0,
        "every file and shortcut the record lists is there (" + std::to_string(recorded.size()) + ")");
}

// The uninstaller as Windows' list of installed programs starts it: the entry's command.
bool Uninstall(const Package& package, const std::string& folder) {
  const std::string command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(package), "UninstallString");
  if (command.empty()) {
    Check(false, "the uninstall entry holds a command");
    return false;
  }
  const std::string& u = package.unSetupString;
  const std::vector<std::string> recorded = RecordedPaths(folder + "UNSETUP.INI");
  Program uninstaller;
  if (!uninstaller.Start(command)) {
    Check(false, "the uninstall command started: " + command);
    return false;
  }
  Step("started the uninstall entry's command: " + command);
  if (!Press(uninstaller, u + "開始(&S)", "walk-8-uninstall")) return false;
  Step("uninstall page: " + u + "開始");
  const DWORD start = GetTickCount();
  HWND done = nullptr;
  while (done == nullptr && GetTickCount() - start < 180000 && uninstaller.Running()) {
    if (HWND box = FindBox(uninstaller.Id())) {
      const std::string text = BoxText(box);
      CaptureScreen("walk-8-question");
      Step("question \"" + TextOf(box) + "\": " + text.substr(0, text.find('\r')) + " -> yes");
      Answer(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
      Sleep(300);
      continue;
    }
    if (HWND yes = WaitForButton(uninstaller.Id(), "はい(&Y)", 0)) {
      CaptureScreen("walk-8-shared");
      Step("shared file question -> はい");
      ClickWhenEnabled(yes);
      Sleep(300);
      continue;
    }
    if (HWND next = WaitForButton(uninstaller.Id(), "続行(&C)", 0)) {
      CaptureScreen("walk-8-failures");
      Check(false, "no failure details page");
      ClickWhenEnabled(next);
    }
    done = WaitForButton(uninstaller.Id(), u + "完了(&E)", 200);
  }
  if (done == nullptr) {
    ShowButtons(uninstaller);
    Check(false, "the uninstaller's completion button appeared");
    return false;
  }
  if (!Press(uninstaller, u + "完了(&E)", "walk-9-uninstalled")) return false;
  Step("status window: " + u + "完了");
  Check(uninstaller.Wait(30000) == 0, "the uninstaller ended");
  int left = 0;
  for (const std::string& path : recorded) {
    if (Exists(path)) {
      ++left;
      Step("left: " + path);
    }
  }
  Check(left == 0, "every file and shortcut the record listed is gone (" + std::to_string(recorded.size()) + ")");
  Check(!Exists(folder + "ovshellex.dll"), "the shell extension's file is gone");
  Check(!Exists(folder + "UNSETUP.INI"), "the uninstall record is gone");
  Check(!Exists(folder), "the install folder is gone");
  Check(!KeyExists(HKEY_CLASSES_ROOT, kExtensionKey), "the shell extension is unregistered");
  Check(!KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(package)), "the uninstall entry is gone");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const auto is = [&](const char* option) { return argc == 3 && std::strcmp(argv[1], option) == 0; };
  if (!is("--install") && !is("--uninstall") && !is("--installed") && !is("--start-uninstaller")) {
    std::fprintf(stderr,
                 "usage: package_walkthrough.exe --install|--uninstall|--installed|--start-uninstaller <medium>\n");
    return 2;
  }
  const Package package = ReadPackage(argv[2]);
  if (!Exists(package.script) || package.programId.empty()) {
    std::fprintf(stderr, "no package with a [ProgramID] at %s\n", package.script.c_str());
    return 2;
  }
  if (is("--installed")) return KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(package)) ? 0 : 1;
  if (is("--start-uninstaller")) {
    // For a person at the screen: the entry's command, left to them.
    const std::string command = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(package), "UninstallString");
    Program uninstaller;
    if (command.empty() || !uninstaller.Start(command)) return 1;
    return uninstaller.Wait(INFINITE);
  }
  if (is("--install")) {
    if (Install(package)) CheckInstalled(package, InstallFolder(package));
  } else {
    Uninstall(package, InstallFolder(package));
  }
  return g_failures == 0 ? 0 : 1;
}
