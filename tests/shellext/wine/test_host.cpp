#include "shellext/wine/test_host.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace ov::test {

const CLSID kShellExtClassId = {0x5AC8F479, 0x8E1A, 0x433E, {0x9D, 0x53, 0x72, 0xF1, 0xCA, 0xAE, 0x3A, 0xFF}};
const char kShellExtClassIdText[] = "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";

void ExpectPlayedThrough(const Played& played) {
  EXPECT_EQ(played.invoked, S_OK);
  EXPECT_TRUE(played.userFinished) << "the user did not finish within the limit";
  EXPECT_TRUE(played.closedByTool) << "the tool's windows stayed open after the user's part";
}

std::wstring Wide(const std::string& cp932) {
  const int length = MultiByteToWideChar(CP_ACP, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, cp932.data(), static_cast<int>(cp932.size()), &wide[0], length);
  return wide;
}

std::string WideDropDataObject::Block() const {
  std::wstring text;
  for (const std::wstring& path : paths_) text += path + L'\0';
  text += L'\0';
  return WithHeader(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(WCHAR)), true);
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
