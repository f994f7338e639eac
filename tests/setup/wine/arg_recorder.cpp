// A program for the command lines the installer builds: it writes the arguments the C
// runtime split from its command line, each followed by a line feed, to "args.txt" beside
// itself, the way an ordinary program would receive them.
#include <windows.h>
#include <mbctype.h>
#include <mbstring.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  _setmbcp(_MB_CP_ANSI);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  // The folder may end in a double-byte character whose second byte is 0x5C.
  unsigned char* separator = _mbsrchr(reinterpret_cast<unsigned char*>(path), '\\');
  if (separator == nullptr) return 3;
  separator[1] = '\0';
  const std::string out = std::string(path) + "args.txt";
  std::string text;
  for (int i = 1; i < __argc; ++i) text += std::string(__argv[i]) + "\n";
  const HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
