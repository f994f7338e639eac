#include "shellext/wine/test_host.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace ov::test {

const CLSID kShellExtClassId = {0x5AC8F479, 0x8E1A, 0x433E, {0x9D, 0x53, 0x72, 0xF1, 0xCA, 0xAE, 0x3A, 0xFF}};
const char kShellExtClassIdText[] = "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";

DropDataObject::DropDataObject(std::vector<std::string> paths, bool offerDrop)
    : paths_(std::move(paths)), offerDrop_(offerDrop) {}

HRESULT STDMETHODCALLTYPE DropDataObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject)) return E_NOINTERFACE;
  *out = static_cast<IDataObject*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE DropDataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
ULONG STDMETHODCALLTYPE DropDataObject::Release() { return static_cast<ULONG>(InterlockedDecrement(&count_)); }

HRESULT STDMETHODCALLTYPE DropDataObject::QueryGetData(FORMATETC* format) {
  if (format == nullptr) return E_INVALIDARG;
  return offerDrop_ && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK
                                                                                         : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out != nullptr) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  ++getDataCalls_;
  if (format == nullptr || medium == nullptr) return E_INVALIDARG;
  if (QueryGetData(format) != S_OK || format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& path : paths_) size += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (memory == nullptr) return E_OUTOFMEMORY;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char* text = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const std::string& path : paths_) {
    std::memcpy(text, path.c_str(), path.size() + 1);
    text += path.size() + 1;
  }
  GlobalUnlock(memory);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

std::wstring Wide(const std::string& cp932) {
  const int length = MultiByteToWideChar(CP_ACP, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, cp932.data(), static_cast<int>(cp932.size()), &wide[0], length);
  return wide;
}

HRESULT STDMETHODCALLTYPE WideDropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (format == nullptr || medium == nullptr) return E_INVALIDARG;
  if (QueryGetData(format) != S_OK || format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  std::wstring text;
  for (const std::wstring& path : paths_) text += path + L'\0';
  text += L'\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + text.size() * sizeof(WCHAR));
  if (memory == nullptr) return E_OUTOFMEMORY;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), text.data(), text.size() * sizeof(WCHAR));
  GlobalUnlock(memory);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "ovshellex-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  for (const std::string& file : files_) DeleteFileA(file.c_str());
  for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) RemoveDirectoryA(folder->c_str());
  RemoveDirectoryA(path_.c_str());
}

std::string ScratchFolder::File(const std::string& name) {
  const std::string path = path_ + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  files_.push_back(path);
  return path;
}

std::string ScratchFolder::Folder(const std::string& name) {
  const std::string path = path_ + name;
  CreateDirectoryA(path.c_str(), nullptr);
  folders_.push_back(path);
  return path;
}

bool SaveScreen(const RECT& area, const std::string& path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
  const int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (lines != height) return false;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::fwrite(pixels.data(), pixels.size(), 1, out);
  std::fclose(out);
  return true;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

namespace {
// GetProcAddress's result as the export's own type (through the generic function type).
template <class Function>
void Bind(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
}  // namespace

ShellExtModule::ShellExtModule() : module_(LoadLibraryA((ProgramFolder() + "ovshellex.dll").c_str())) {
  if (module_ == nullptr) return;
  Bind(module_, "DllGetClassObject", getClassObject);
  Bind(module_, "DllCanUnloadNow", canUnloadNow);
  Bind(module_, "DllRegisterServer", registerServer);
  Bind(module_, "DllUnregisterServer", unregisterServer);
}

ShellExtModule::~ShellExtModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool ShellExtModule::Loaded() const {
  return module_ != nullptr && getClassObject != nullptr && canUnloadNow != nullptr && registerServer != nullptr &&
         unregisterServer != nullptr;
}

std::string ShellExtModule::Path() const {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module_, path, MAX_PATH);
  return path;
}

std::vector<MenuEntry> ReadMenu(HMENU menu) {
  std::vector<MenuEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    MenuEntry entry;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
      entry.text = "<unreadable>";
      entries.push_back(entry);
      continue;
    }
    entry.separator = (info.fType & MFT_SEPARATOR) != 0;
    entry.id = info.wID;
    char text[256] = {};
    if (!entry.separator && GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION) > 0) {
      entry.text = text;
    }
    if (info.hSubMenu != nullptr) {
      entry.popup = true;
      entry.submenu = ReadMenu(info.hSubMenu);
    }
    entries.push_back(entry);
  }
  return entries;
}

namespace {
// Closes a key for its lifetime.
class KeyOwner {
 public:
  KeyOwner(const std::string& key, bool& opened) {
    opened = RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS;
    if (!opened) key_ = nullptr;
  }
  ~KeyOwner() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  KeyOwner(const KeyOwner&) = delete;
  KeyOwner& operator=(const KeyOwner&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};
}  // namespace

bool ReadClassesText(const std::string& key, const std::string& valueName, std::string& text, DWORD& type) {
  bool opened = false;
  const KeyOwner owner(key, opened);
  if (!opened) return false;
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  if (RegQueryValueExA(owner.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  text = data;
  return true;
}

bool ClassesKeyExists(const std::string& key) {
  bool opened = false;
  const KeyOwner owner(key, opened);
  return opened;
}

bool ClassesKeyCounts(const std::string& key, DWORD& subKeys, DWORD& values) {
  bool opened = false;
  const KeyOwner owner(key, opened);
  if (!opened) return false;
  return RegQueryInfoKeyA(owner.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                          nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

ShellExtModule* RegisteredModuleTest::module_ = nullptr;

void RegisteredModuleTest::SetUpTestSuite() {
  module_ = new ShellExtModule;
  if (module_->Loaded()) module_->registerServer();
}

void RegisteredModuleTest::TearDownTestSuite() {
  if (module_->Loaded()) module_->unregisterServer();
  delete module_;
  module_ = nullptr;
}

void RegisteredModuleTest::SetUp() {
  ASSERT_TRUE(module_->Loaded());
  ASSERT_TRUE(SUCCEEDED(apartment_.Result()));
}

}  // namespace ov::test
