// A pre-installation checker for the wizard's hook: it copies CHECK.TXT from its own folder
// to <Windows folder>\ODRESULT.INI, as a package's checker leaves its verdict there.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string source = path;
  source.resize(source.find_last_of('\\') + 1);
  source += "CHECK.TXT";
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string target = std::string(windows) + "\\ODRESULT.INI";
  Sleep(200);
  return CopyFileA(source.c_str(), target.c_str(), FALSE) ? 0 : 1;
}
