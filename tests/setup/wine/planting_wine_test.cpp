// DLL planting under Wine: SETUP.EXE started from a folder that also holds planted copies of
// version.dll, lz32.dll, comctl32.dll and shfolder.dll (tests/setup/wine/planted_dll.c) runs
// up to its wizard and never calls into any of them, nor loads the three that Wine's own
// DLLs do not import. A program that imports them shows that the planted copies are taken
// under the same settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "setup_driver/setup_driver.h"
#include "support/win_files.h"

namespace {

const char* const kPlanted[] = {"version.dll", "lz32.dll", "comctl32.dll", "shfolder.dll"};

using namespace ov::setup::driver;
using ov::test::Exists;
using ov::test::ThisFolder;

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

// Started from its own folder, as a user starts SETUP.EXE from the medium.
bool Start(const std::string& program, Program& started) {
  return started.Start("\"" + program + "\"", program.substr(0, program.find_last_of('\\') + 1));
}

class PlantedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ov::test::TempFolder() + "ov_planted" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    for (const char* name : kPlanted) {
      ASSERT_TRUE(CopyFileA((ThisFolder() + "planted\\" + name).c_str(), (folder_ + name).c_str(), FALSE)) << name;
    }
  }
  void TearDown() override { ov::test::RemoveTree(folder_); }
  bool Marked(const char* dll, const char* what) const { return Exists(folder_ + dll + what); }

  std::string folder_;
};

TEST_F(PlantedFolder, AProgramThatImportsTheDllsLoadsAndCallsThePlantedCopies) {
  ASSERT_TRUE(CopyFileA((ThisFolder() + "plant_victim.exe").c_str(), (folder_ + "VICTIM.EXE").c_str(), FALSE));
  PreferNativeDlls prefer("VICTIM.EXE");
  Program victim;
  ASSERT_TRUE(Start(folder_ + "VICTIM.EXE", victim));
  ASSERT_EQ(WaitForSingleObject(victim.Handle(), 30000), WAIT_OBJECT_0);
  for (const char* name : kPlanted) {
    EXPECT_TRUE(Marked(name, ".loaded")) << name;
    EXPECT_TRUE(Marked(name, ".called")) << name;
  }
}

TEST_F(PlantedFolder, SetupRunsToItsWizardWithoutThePlantedDlls) {
  ASSERT_TRUE(CopyFileA((ThisFolder() + "SETUP.EXE").c_str(), (folder_ + "SETUP.EXE").c_str(), FALSE));
  ASSERT_NO_FATAL_FAILURE(
      ov::test::Write(folder_ + "SETUP.INI", "[Title]\r\nProgram=植え込み\r\n[Extend]\r\nSetupString=植込\r\n"));

  PreferNativeDlls prefer("SETUP.EXE");
  Program setup;
  ASSERT_TRUE(Start(folder_ + "SETUP.EXE", setup));
  // The title page comes after the background, whose caption holds the version resource
  // read through version.dll, and after the common controls are set up.
  ASSERT_NE(WaitForButton(setup.Id(), "植込続行(&C)"), nullptr) << "SETUP.EXE did not reach its wizard";
  HWND end = WaitForButton(setup.Id(), "植込終了(&E)");
  ASSERT_NE(end, nullptr);
  PostMessageA(end, BM_CLICK, 0, 0);
  HWND box = WaitForBox(setup.Id(), "終了確認");
  ASSERT_NE(box, nullptr);
  Answer(box, IDYES);
  ASSERT_EQ(WaitForSingleObject(setup.Handle(), 15000), WAIT_OBJECT_0);

  for (const char* name : kPlanted) EXPECT_FALSE(Marked(name, ".called")) << name;
  // Wine's own user32 imports version.dll, and Wine resolves that import from the program's
  // folder too (Windows resolves a known DLL's imports from the system folder): the planted
  // version.dll is mapped there before SETUP.EXE runs a line, so only its calls are checked.
  for (const char* name : {"lz32.dll", "comctl32.dll", "shfolder.dll"}) EXPECT_FALSE(Marked(name, ".loaded")) << name;
}

}  // namespace
