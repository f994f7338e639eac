// What start-up decides once and every later step of the installer reads: the mode, the
// operating system, the folders of this run, the script copy, the words and titles of the
// windows, the pause between steps and the package's identity and folder.
#pragma once

#include <string>

namespace ov::setup {

struct StartupValues {
  std::string mode = "SETUP";  // "SETUP" or "UNSETUP"; chosen once
  std::string osName;          // "Windows XP", "Windows 98<SE>", ...
  // The OS kind ("NT", "notNT" or empty) lives in the folder table beside the folders.
  std::string programFolder;   // folder of the running executable, trailing "\"
  std::string workFolder;      // <Temp>ODTMP<n>\ .
  std::string scriptCopy;      // <work folder>SETUP.INI or UNSETUP.INI: every key is read here
  std::string setupString = "インストール";
  std::string unSetupString = "アンインストール";
  std::string setupTitle;
  std::string unSetupTitle;
  std::string bannerLine1;
  std::string bannerLine2;
  int setupSpeed = 1;          // milliseconds between steps, at least 1
  std::string programId;       // may be empty
  std::string installFolder;   // trailing "\"; the wizard's folder field starts from it
  bool userMayChange = true;   // false when [Extend] Enabled is exactly "False"
  std::string messageText;     // the last page's message
  std::string startupError;    // the collected fatal lines; not empty in the error state

  // Pages still to show, consumed by the wizard.
  struct PagesPending {
    bool title = false;
    bool licence = false;
    bool readme = false;
    bool options = false;
  } pagesPending;

  bool IsUninstall() const { return mode == "UNSETUP"; }
};

}  // namespace ov::setup
