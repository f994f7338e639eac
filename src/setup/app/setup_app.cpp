// The program's windows.
#include "setup/app/setup_app.h"

namespace ov::setup {

SetupApp::SetupApp(ui::Backend& backend, platform::InstallPlatform& platform, StartupValues& values,
                   std::string exePath)
    : platform(platform),
      values(values),
      exePath(std::move(exePath)),
      context(platform, backend),
      frmBack(backend, *this),
      frmMain(backend, *this),
      frmStatus(backend, *this),
      frmCustomDlg(backend, *this) {
  // The wizard's window is made with the others, before the background shows: its
  // FormCreate lets pending messages run, which inside the background's maximising resize
  // (where a first ShowModal would make it) undoes the maximising under Wine.
  frmMain.CreateHandle();
}

SetupApp::~SetupApp() {
  // The windows go in the reverse order of their making.
  frmCustomDlg.Destroy();
  frmStatus.Destroy();
  frmMain.Destroy();
  frmBack.Destroy();
}

}  // namespace ov::setup
