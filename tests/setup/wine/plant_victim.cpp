// The control of the DLL-planting case: a program that imports the four DLLs the way
// SETUP.EXE must not, and calls one function of each. Started from the planted folder it
// shows that the planted copies are loaded and called there, so their absence from
// SETUP.EXE's run means something.
#include <windows.h>
#include <commctrl.h>
#include <lzexpand.h>
#include <shlobj.h>

int main() {
  char path[MAX_PATH] = "SETUP.EX_";
  char expanded[MAX_PATH] = {};
  DWORD handle = 0;
  GetFileVersionInfoSizeA("kernel32.dll", &handle);
  GetExpandedNameA(path, expanded);
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&init);
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  return 0;
}
