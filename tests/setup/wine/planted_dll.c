/* A DLL that an attacker would drop beside SETUP.EXE in a download folder. Loaded into a
   process it leaves "<its file name>.loaded" beside itself, and "<its file name>.called" at
   the first call of one of its functions; every function passes the call on to the
   system's own DLL of the same name, so that a program bound to it starts and runs as
   usual. One source, one group of exports per PLANT_* definition. */
#include <windows.h>

static HMODULE g_self;

static void LeaveMarker(const char* suffix) {
  char marker[MAX_PATH + 8];
  HANDLE file;
  GetModuleFileNameA(g_self, marker, MAX_PATH);
  lstrcatA(marker, suffix);
  file = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

static HMODULE SystemModule(void) {
  static HMODULE real;
  if (real == NULL) {
    char own[MAX_PATH];
    char path[MAX_PATH];
    const char* name = own;
    const char* p;
    GetModuleFileNameA(g_self, own, MAX_PATH);
    for (p = own; *p != '\0'; ++p) {
      if (*p == '\\') name = p + 1;
    }
    GetSystemDirectoryA(path, MAX_PATH);
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    real = LoadLibraryA(path);
  }
  return real;
}

static FARPROC SystemEntry(const char* name, int marked) {
  if (marked) LeaveMarker(".called");
  return GetProcAddress(SystemModule(), name);
}

#define PASS_ON_MARKED(marked, type, name, params, args, failed)              \
  __declspec(dllexport) type WINAPI name params {                             \
    typedef type(WINAPI * Entry) params;                                      \
    Entry entry = (Entry)(void*)SystemEntry(#name, marked);                   \
    return entry != NULL ? entry args : failed;                               \
  }
#define PASS_ON(type, name, params, args, failed) PASS_ON_MARKED(1, type, name, params, args, failed)
/* Wide functions: the ANSI programs under test never call them, but Wine's own user32
   imports them from version.dll and binds to the planted copy too. */
#define PASS_ON_UNMARKED(type, name, params, args, failed) PASS_ON_MARKED(0, type, name, params, args, failed)

#ifdef PLANT_VERSION
PASS_ON(BOOL, GetFileVersionInfoA, (LPCSTR file, DWORD handle, DWORD size, LPVOID data), (file, handle, size, data),
        FALSE)
PASS_ON(DWORD, GetFileVersionInfoSizeA, (LPCSTR file, LPDWORD handle), (file, handle), 0)
PASS_ON(BOOL, VerQueryValueA, (LPCVOID block, LPCSTR sub, LPVOID* buffer, PUINT length), (block, sub, buffer, length),
        FALSE)
PASS_ON_UNMARKED(BOOL, GetFileVersionInfoW, (LPCWSTR file, DWORD handle, DWORD size, LPVOID data),
                 (file, handle, size, data), FALSE)
PASS_ON_UNMARKED(DWORD, GetFileVersionInfoSizeW, (LPCWSTR file, LPDWORD handle), (file, handle), 0)
PASS_ON_UNMARKED(BOOL, VerQueryValueW, (LPCVOID block, LPCWSTR sub, LPVOID* buffer, PUINT length),
                 (block, sub, buffer, length), FALSE)
#endif
#ifdef PLANT_LZ32
PASS_ON(INT, LZOpenFileA, (LPSTR file, LPOFSTRUCT data, WORD mode), (file, data, mode), -1)
PASS_ON(LONG, LZCopy, (INT from, INT to), (from, to), -1)
__declspec(dllexport) VOID WINAPI LZClose(INT file) {
  typedef VOID(WINAPI * Entry)(INT);
  Entry entry = (Entry)(void*)SystemEntry("LZClose", 1);
  if (entry != NULL) entry(file);
}
PASS_ON(INT, GetExpandedNameA, (LPSTR in, LPSTR out), (in, out), -1)
#endif
#ifdef PLANT_COMCTL32
PASS_ON(BOOL, InitCommonControlsEx, (const void* init), (init), FALSE)
__declspec(dllexport) VOID WINAPI InitCommonControls(void) {
  typedef VOID(WINAPI * Entry)(void);
  Entry entry = (Entry)(void*)SystemEntry("InitCommonControls", 1);
  if (entry != NULL) entry();
}
#endif
#ifdef PLANT_SHFOLDER
PASS_ON(HRESULT, SHGetFolderPathA, (HWND owner, int folder, HANDLE token, DWORD flags, LPSTR path),
        (owner, folder, token, flags, path), E_FAIL)
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = instance;
    LeaveMarker(".loaded");
  }
  return TRUE;
}
