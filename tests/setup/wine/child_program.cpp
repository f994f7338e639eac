// A child for the installer's program start: after a pause it writes "ran" to the file
// that its whole command line names, so a caller that returns before it ends finds no file.
#include <windows.h>

int main() {
  Sleep(300);
  const HANDLE file = CreateFileA(GetCommandLineA(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "ran", 3, &written, nullptr);
  CloseHandle(file);
  return 0;
}
