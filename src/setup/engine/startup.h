// The installer's start-up: names the operating system, fills the folder table, makes the
// private work folder, copies the program and the script there, decides the mode, reads
// the script's general keys and prepares the wizard for that mode, refusing an operating
// system or a previous version the script names. It talks to the wizard only through
// StartupView, so that it runs the same against a real form and a recording stand-in.
#pragma once

#include <string>

#include "platform/platform.h"
#include "setup/engine/file_utils.h"
#include "setup/engine/startup_values.h"

namespace ov::setup {

// The four check boxes of the wizard's option group, left to right.
enum class OptionBox { kDesktop, kStartMenu, kStartUp, kSendTo };  // chkSCut...

// What start-up asks of the wizard (TfrmMain implements it). Each call does exactly what
// its comment says and nothing else; the texts come ready-made.
class StartupView {
 public:
  virtual ~StartupView() = default;

  // Greys the Close item of the wizard's system menu (SC_CLOSE, MF_DISABLED | MF_GRAYED).
  virtual void DisableCloseCommand() = 0;
  // Caption of lblTitleA2.
  virtual void SetOsTitle(const std::string& caption) = 0;
  // Caption of lblBackTitle1, lblBackTitle2 (background window) and of the wizard itself.
  virtual void SetTitle(const std::string& title) = 0;
  // The two banner lines at the lower right of the background window.
  virtual void SetBanner(const std::string& line1, const std::string& line2) = 0;
  // Caption of lblMessage.
  virtual void SetMessage(const std::string& text) = 0;
  // Text of txtFolder.
  virtual void SetFolderText(const std::string& folder) = 0;
  // Enables or disables txtFolder, btnRefer and chkOverWrite together.
  virtual void SetFolderControlsEnabled(bool enabled) = 0;
  // Caption of grpSetupFolder and of grpOption.
  virtual void SetFolderGroupCaption(const std::string& caption) = 0;
  virtual void SetOptionGroupCaption(const std::string& caption) = 0;
  // Runs txtFolderChange once (the free-space caption of grpSetupFolder).
  virtual void RefreshFreeSpace() = 0;
  // btnEvent and btnEnd: caption and enabled state, separately; FocusEnd focuses btnEnd.
  virtual void SetEventCaption(const std::string& caption) = 0;
  virtual void SetEventEnabled(bool enabled) = 0;
  virtual void SetEndCaption(const std::string& caption) = 0;
  virtual void SetEndEnabled(bool enabled) = 0;
  virtual void FocusEnd() = 0;
  // Ticks or clears one option box and enables or disables it; its caption stays.
  virtual void SetShortcutBox(OptionBox box, bool checked, bool enabled) = 0;
  // Runs btnEventClick once (shows the title page in mode "SETUP").
  virtual void Step() = 0;
  // Shows the last page: grpMessage, grpSetupFolder and grpOption.
  virtual void ShowLastPage() = 0;

  // The uninstall page. txtFolder becomes read-only and enabled.
  virtual void MakeFolderReadOnly() = 0;
  // Hides chkOverWrite, gives fraShortCut the caption, moves it up to chkOverWrite's top
  // and makes it as high as grpOption less 24.
  virtual void ArrangeUninstallOptions(const std::string& frameCaption) = 0;
  // One box of the uninstall options, caption included. wide: as wide as fraShortCut less 16.
  struct BoxState {
    std::string caption;
    bool checked = false;
    bool enabled = false;
    bool visible = true;
    bool wide = false;
  };
  virtual void SetUninstallBox(OptionBox box, const BoxState& state) = 0;
  // lblUnSetupInfo: the caption, placed 2 pixels below chkSCutDesktop, and shown.
  virtual void ShowUninstallInfo(const std::string& caption) = 0;
};

// How start-up ended.
enum class StartupOutcome {
  kError,           // a fatal error: only btnEnd is usable
  kSetupReady,      // the title page is shown
  kSetupBlocked,    // the operating system or a previous version refused the installation
  kUninstallReady,  // the uninstall page is shown
};

// The operating system's name and kind ("NT", "notNT" or empty) from GetVersionExA's
// record; a failed call counts as -1 for every number.
struct OsIdentity {
  std::string name;
  std::string kind;
};
OsIdentity DetermineOsName(const platform::VersionInfo& version);

// "UNSETUP" when the file-name part of argument 1 is exactly "UNSETUP.INI", else "SETUP".
std::string DecideMode(const std::string& argument1);

// The first work folder <temp>ODTMP<n> (n = 1..99, with a trailing "\") that is not a
// folder yet, created; ODTMP99 unchanged when all exist.
std::string CreateWorkFolder(EngineContext& context, const std::string& tempFolder);

// A script path relative to the program folder ([EULA] File, [Readme] File, [Extend]
// InstallChecker): one leading "\" removed and the program folder put before it.
std::string ProgramRelativePath(const StartupValues& values, const std::string& value);

// Runs the whole start-up (first activation of the wizard only). Fills values and the
// context's mode and folder table, and prepares the wizard through view.
StartupOutcome RunStartup(EngineContext& context, StartupValues& values, StartupView& view,
                          const std::string& argument1, const std::string& runningExecutable);

}  // namespace ov::setup
