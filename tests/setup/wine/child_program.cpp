// A child for the installer's program start: after a pause it writes "ran" to the file that
// its first argument names, so a caller that returns before it ends finds no file.
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Sleep(300);
  const HANDLE file = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "ran", 3, &written, nullptr);
  CloseHandle(file);
  return 0;
}
