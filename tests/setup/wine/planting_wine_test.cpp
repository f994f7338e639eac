// DLL planting under Wine: SETUP.EXE started from a folder that also holds planted copies of
// version.dll, lz32.dll, comctl32.dll and shfolder.dll (tests/setup/wine/planted_dll.c) runs
// up to its wizard and never calls into any of them, nor loads the three that Wine's own
// DLLs do not import. A program that imports them shows that the planted copies are taken
// under the same settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const char* const kPlanted[] = {"version.dll", "lz32.dll", "comctl32.dll", "shfolder.dll"};

std::string ThisFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder.resize(folder.find_last_of('\\') + 1);
  return folder;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Started {
  PROCESS_INFORMATION info{};
  ~Started() {
    if (info.hProcess != nullptr) {
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
      CloseHandle(info.hProcess);
      CloseHandle(info.hThread);
    }
  }
};

// Wine takes its builtin DLL even for a file of that name in the program's folder, where
// Windows takes the file. A per-program override (SETUP.EXE and VICTIM.EXE only) makes Wine
// prefer the native file as Windows does; the environment would not reach a child.
class PreferNativeDlls {
 public:
  explicit PreferNativeDlls(const std::string& program) : key_("Software\\Wine\\AppDefaults\\" + program) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const char* dll : {"version", "lz32", "comctl32", "shfolder"}) {
      RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
    }
    RegCloseKey(key);
  }
  ~PreferNativeDlls() {
    RegDeleteKeyA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
  }

 private:
  std::string key_;
};

bool Start(const std::string& program, Started& started) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + program + "\"";
  const std::string folder = program.substr(0, program.find_last_of('\\') + 1);
  return CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &started.info) != FALSE;
}

struct Search {
  DWORD process;
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK SearchButton(HWND top, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(top, &process);
  if (process != search.process || !IsWindowVisible(top)) return TRUE;
  search.found = FindWindowExA(top, nullptr, "Button", search.caption.c_str());
  return search.found == nullptr;
}

HWND WaitForButton(DWORD process, const std::string& caption) {
  for (int i = 0; i < 300; ++i) {
    Search search{process, caption};
    EnumWindows(&SearchButton, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(50);
  }
  return nullptr;
}

HWND WaitForBox(DWORD process, const std::string& caption) {
  for (int i = 0; i < 300; ++i) {
    HWND box = FindWindowA("#32770", caption.c_str());
    DWORD owner = 0;
    if (box != nullptr) GetWindowThreadProcessId(box, &owner);
    if (box != nullptr && owner == process) return box;
    Sleep(50);
  }
  return nullptr;
}

class PlantedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "ov_planted" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    for (const char* name : kPlanted) {
      ASSERT_TRUE(CopyFileA((ThisFolder() + "planted\\" + name).c_str(), (folder_ + name).c_str(), FALSE)) << name;
    }
  }
  void TearDown() override {
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder_ + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileA((folder_ + found.cFileName).c_str());
      } while (FindNextFileA(find, &found));
      FindClose(find);
    }
    RemoveDirectoryA(folder_.c_str());
  }
  bool Marked(const char* dll, const char* what) const { return Exists(folder_ + dll + what); }

  std::string folder_;
};

TEST_F(PlantedFolder, AProgramThatImportsTheDllsLoadsAndCallsThePlantedCopies) {
  ASSERT_TRUE(CopyFileA((ThisFolder() + "plant_victim.exe").c_str(), (folder_ + "VICTIM.EXE").c_str(), FALSE));
  PreferNativeDlls prefer("VICTIM.EXE");
  Started victim;
  ASSERT_TRUE(Start(folder_ + "VICTIM.EXE", victim));
  ASSERT_EQ(WaitForSingleObject(victim.info.hProcess, 30000), WAIT_OBJECT_0);
  for (const char* name : kPlanted) {
    EXPECT_TRUE(Marked(name, ".loaded")) << name;
    EXPECT_TRUE(Marked(name, ".called")) << name;
  }
}

TEST_F(PlantedFolder, SetupRunsToItsWizardWithoutThePlantedDlls) {
  ASSERT_TRUE(CopyFileA((ThisFolder() + "SETUP.EXE").c_str(), (folder_ + "SETUP.EXE").c_str(), FALSE));
  HANDLE script = CreateFileA((folder_ + "SETUP.INI").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(script, INVALID_HANDLE_VALUE);
  const std::string text = "[Title]\r\nProgram=植え込み\r\n[Extend]\r\nSetupString=植込\r\n";
  DWORD written = 0;
  WriteFile(script, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(script);

  PreferNativeDlls prefer("SETUP.EXE");
  Started setup;
  ASSERT_TRUE(Start(folder_ + "SETUP.EXE", setup));
  // The title page comes after the background, whose caption holds the version resource
  // read through version.dll, and after the common controls are set up.
  ASSERT_NE(WaitForButton(setup.info.dwProcessId, "植込続行(&C)"), nullptr) << "SETUP.EXE did not reach its wizard";
  HWND end = WaitForButton(setup.info.dwProcessId, "植込終了(&E)");
  ASSERT_NE(end, nullptr);
  PostMessageA(end, BM_CLICK, 0, 0);
  HWND box = WaitForBox(setup.info.dwProcessId, "終了確認");
  ASSERT_NE(box, nullptr);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
  ASSERT_EQ(WaitForSingleObject(setup.info.hProcess, 15000), WAIT_OBJECT_0);

  for (const char* name : kPlanted) EXPECT_FALSE(Marked(name, ".called")) << name;
  // Wine's own user32 imports version.dll, and Wine resolves that import from the program's
  // folder too (Windows resolves a known DLL's imports from the system folder): the planted
  // version.dll is mapped there before SETUP.EXE runs a line, so only its calls are checked.
  for (const char* name : {"lz32.dll", "comctl32.dll", "shfolder.dll"}) EXPECT_FALSE(Marked(name, ".loaded")) << name;
}

}  // namespace
