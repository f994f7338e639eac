// DLLs loaded by full path. SETUP.EXE runs from download folders where anyone can drop a
// file: a DLL of a system name beside the program must never be the one loaded.
#pragma once

#include <windows.h>

#include <string>

namespace ov::platform {

// The system folder's DLL of that name ("version.dll"), its own imports resolved from the
// system folder too; null when it cannot be loaded (GetLastError tells why).
HMODULE LoadSystemLibrary(const char* name);

// A component named by a script, by its full path: the DLLs beside it and the system's
// satisfy its imports, never the program's folder.
HMODULE LoadComponentLibrary(const std::string& path);

// For the start of a program, before anything loads a DLL by name: later loads search the
// system folder only (where the system can say so, Windows 7 with KB2533623 and later) and
// never the current folder (Windows XP SP1 and later). Older systems lack both.
void RestrictDllSearch();

// A system DLL held from construction to destruction, its entries looked up by name.
class SystemLibrary {
 public:
  explicit SystemLibrary(const char* name) : module_(LoadSystemLibrary(name)) {}
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;
  ~SystemLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  // Null when the DLL or the entry is missing.
  template <typename Function>
  Function Entry(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

}  // namespace ov::platform
