// The package's medium as this build made it, installed and uninstalled by the engine's
// runs against the real system: start-up reads its script beside its SETUP.EXE, the run
// expands ovshellex.dl_ through LZ32 under the name its header records, registers the real
// module, makes the Start-menu shortcut and the uninstall entry; the uninstall run
// unregisters and removes it all again. Installed into a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "install_world.h"
#include "platform/win32/win32_install.h"
#include "recording_view.h"
#include "setup/engine/install_run.h"
#include "setup/engine/startup.h"
#include "setup/engine/uninstall_record.h"
#include "setup/engine/uninstall_run.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

constexpr const char* kClassKey = "CLSID\\{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}\\InprocServer32";
constexpr const char* kProgramId = "ORVANE_FILETOOLS";
constexpr const char* kOwnKey = "SOFTWARE\\Orvane\\FileTools";

class YesView : public UninstallRunView {
 public:
  UninstallChoices choices;
  std::string details;
  UninstallChoices ReadChoices() override { return choices; }
  void DisableOptions() override {}
  void ShowStatusWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  SharedAnswer AskSharedFile(const std::string&) override { return SharedAnswer::kYes; }
  void ShowFailureDetails(const std::string&, const std::string& text) override { details = text; }
  bool EventButtonPressed() override { return true; }
  void HideMainWindow() override {}
  void ShowStatusAgain() override {}
  void ShowCompletionButton(const std::string&) override {}
  void Beep() override {}
};

std::string WindowsPath(std::string unixPath) {
  for (char& c : unixPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + unixPath + "\\";
}

class MediumWindowsTest : public ::testing::Test {
 protected:
  // Whatever a failed run left of this installation goes, so that the next run is not
  // taken for a second installation; nothing of another installation is touched.
  void TearDown() override {
    SetCurrentDirectoryA(context_.folders[Macro::kTmp].c_str());
    if (!app_.empty()) {
      const std::string odset = context_.folders[Macro::kWin] + "ODSET98.INI";
      if (ReadProfileString(platform_.Profile(), kProgramId, "Folder", "", odset) == app_) {
        WritePrivateProfileStringA(kProgramId, nullptr, nullptr, odset.c_str());
        DeleteRegistryKey(context_, "(Local)", std::string(kUninstallKeyPrefix) + "OrvaneFileTools");
      }
      // A module of this folder under whatever name the run gave it.
      const std::string registered = Text(HKEY_CLASSES_ROOT, kClassKey, nullptr);
      if (FindNoCase(platform_.System(), app_, registered) == 1) RegisterComponent(context_, registered, false);
      DeleteFileSilently(context_, DropSeparator(app_, "B"));
    }
    if (!values_.workFolder.empty()) DeleteFileSilently(context_, DropSeparator(values_.workFolder, "B"));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane");
  }
  std::string Text(HKEY root, const std::string& path, const char* name) {
    char text[MAX_PATH] = {};
    DWORD size = sizeof text;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    const LONG read = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? text : "<no value>";
  }
  bool Exists(const std::string& path) {
    return GetFileAttributesA(DropSeparator(path, "B").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  Win32InstallPlatform platform_;
  ui::headless::HeadlessBackend ui_;
  EngineContext context_{platform_, ui_};
  StartupValues values_;
  RecordingView view_;
  std::string app_;
};

TEST_F(MediumWindowsTest, ThePackageInstallsFromItsMediumAndUninstallsCompletely) {
  const std::string medium = WindowsPath(OV_MEDIUM_DIR);
  ASSERT_EQ(RunStartup(context_, values_, view_, "", medium + "SETUP.EXE"), StartupOutcome::kSetupReady)
      << "an earlier installation of " << kProgramId << " in this prefix blocks it; "
      << ov::test::Readable(values_.startupError);
  app_ = context_.folders[Macro::kTmp] + "ovmedium" + std::to_string(GetCurrentProcessId()) + "\\ツール表\\";
  ASSERT_TRUE(ForceFolders(context_, app_));

  test::RecordingRunView runView;
  runView.choices.folder = app_;
  runView.choices.overwrite = true;
  runView.choices.shortcutStartMenu = view_.boxes[OptionBox::kStartMenu].checked;
  InstallRun install(context_, values_, runView);
  ASSERT_EQ(install.Run(), RunEnd::kCompleted);
  EXPECT_EQ(install.FailureCount(), 0) << ov::test::Readable(install.Details());

  const std::string module = app_ + "OVSHELLEX.DLL";
  std::string contents;
  ASSERT_EQ(platform_.Files().ReadContents(module, contents), 0u) << ov::test::Readable(module);
  EXPECT_EQ(contents.compare(0, 2, "MZ"), 0);
  EXPECT_EQ(platform_.System().CompareNoCase(Text(HKEY_CLASSES_ROOT, kClassKey, nullptr), module), 0)
      << ov::test::Readable(Text(HKEY_CLASSES_ROOT, kClassKey, nullptr));
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kOwnKey, "InstallDir"), DropSeparator(app_, "B"));
  const std::string shortcut = FieldOf(install.Lists().shortcuts, '|', 1);
  EXPECT_TRUE(Exists(shortcut)) << ov::test::Readable(shortcut);
  const std::string entry = std::string(kUninstallKeyPrefix) + "OrvaneFileTools";
  EXPECT_BYTES(Text(HKEY_LOCAL_MACHINE, entry, "UninstallString"),
               context_.folders[Macro::kWin] + "UNOD200X.EXE \"" + app_ + "UNSETUP.INI\"");

  // The uninstall, as UNOD200X.EXE runs it on the record.
  StartupValues uninstall = values_;
  uninstall.mode = "UNSETUP";
  uninstall.scriptCopy = values_.workFolder + "UNSETUP.INI";
  ASSERT_EQ(CopyFileReplace(context_, app_ + "UNSETUP.INI", uninstall.scriptCopy), 0u);
  context_.mode = "UNSETUP";
  YesView yes;
  yes.choices.folder = app_;
  UninstallRun run(context_, uninstall, yes);
  ASSERT_EQ(run.Run(), UninstallEnd::kCompleted);
  EXPECT_EQ(run.FailureCount(), 0) << ov::test::Readable(yes.details);
  EXPECT_FALSE(Exists(app_));
  EXPECT_FALSE(Exists(shortcut));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kClassKey, nullptr), "<no key>");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kOwnKey, "InstallDir"), "<no key>");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, entry, "UninstallString"), "<no key>");
  EXPECT_EQ(ReadProfileString(platform_.Profile(), kProgramId, "Folder", "",
                              context_.folders[Macro::kWin] + "ODSET98.INI"),
            "");
}

}  // namespace
}  // namespace ov::setup
