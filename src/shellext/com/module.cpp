// The module entry and the four exports of ovshellex.dll: the class object for Explorer,
// the unload test, and registration for installers.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_backend.h"
#include "shellext/com/iclassfactory.h"
#include "shellext/com/server.h"
#include "shellext/com/tool_table.h"
#include "shellext/menu/registration.h"

namespace {

using namespace ov::shellext;

// {5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}
const CLSID kClassId = {0x5AC8F479, 0x8E1A, 0x433E, {0x9D, 0x53, 0x72, 0xF1, 0xCA, 0xAE, 0x3A, 0xFF}};

constexpr DWORD kModulePathSize = 260;
HMODULE moduleHandle = nullptr;
char modulePath[kModulePathSize] = {};

// The one platform of the process and the context every object of the module gets.
com::ServerContext& Context() {
  static ov::platform::Win32Platform platform;
  static ov::ui::win32::Win32Backend ui;
  static com::ServerContext context{platform, ui, com::ShellTools()};
  return context;
}

// The class identifier as StringFromCLSID writes it, in ANSI.
std::string ClassIdText() {
  LPOLESTR wide = nullptr;
  if (FAILED(StringFromCLSID(kClassId, &wide)) || wide == nullptr) return std::string();
  char text[64] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  CoTaskMemFree(wide);
  return text;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    moduleHandle = instance;
    GetModuleFileNameA(instance, modulePath, kModulePathSize);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID, REFIID iid, LPVOID* out) {
  // Every class identifier gets the factory: the module serves one class.
  try {
    return com::GetClassObject(Context(), iid, out);
  } catch (...) {
    return E_FAIL;
  }
}

STDAPI DllCanUnloadNow() {
  // Objects still referenced and tool dialogs still open keep the module as well as the
  // server lock: unloading under them would bring the host down.
  try {
    return com::CanUnload() ? S_OK : S_FALSE;
  } catch (...) {
    return S_FALSE;
  }
}

STDAPI DllRegisterServer() {
  try {
    const std::string classId = ClassIdText();
    if (classId.empty()) return E_FAIL;
    const std::string path(modulePath);
    return RegisterServer(Context().platform.Registry(), classId, path) ? S_OK : E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
}

STDAPI DllUnregisterServer() {
  try {
    return UnregisterServer(Context().platform.Registry(), ClassIdText()) ? S_OK : E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
}
