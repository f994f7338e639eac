// The installer's operations through the ANSI Win32 API.
#include <windows.h>
#include <lzexpand.h>
#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/win32_install.h"
#include "platform/win32/system_library.h"

namespace ov::platform {
namespace {

Error LastError() { return static_cast<Error>(GetLastError()); }

// Owns one COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (pointer_) pointer_->Release();
  }
  T* operator->() const { return pointer_; }
  T** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }

 private:
  T* pointer_ = nullptr;
};

// CoInitialize for the length of one call; a thread already initialised gets S_FALSE,
// which still needs its CoUninitialize.
class ComScope {
 public:
  ComScope() : result_(CoInitialize(nullptr)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

// LZ32.DLL is no known DLL: it is loaded from the system folder when first needed, never
// imported (an import would be resolved from the program's folder first).
struct LzLibrary {
  SystemLibrary library{"lz32.dll"};
  decltype(&LZOpenFileA) open = library.Entry<decltype(&LZOpenFileA)>("LZOpenFileA");
  decltype(&LZCopy) copy = library.Entry<decltype(&LZCopy)>("LZCopy");
  decltype(&LZClose) close = library.Entry<decltype(&LZClose)>("LZClose");
  decltype(&GetExpandedNameA) expandedName = library.Entry<decltype(&GetExpandedNameA)>("GetExpandedNameA");
  bool Complete() const { return open != nullptr && copy != nullptr && close != nullptr && expandedName != nullptr; }
};

const LzLibrary& Lz() {
  static const LzLibrary library;
  return library;
}

// An LZ handle from LZOpenFileA.
class LzHandle {
 public:
  explicit LzHandle(INT handle) : handle_(handle) {}
  LzHandle(const LzHandle&) = delete;
  LzHandle& operator=(const LzHandle&) = delete;
  ~LzHandle() {
    if (handle_ >= 0) Lz().close(handle_);
  }
  INT get() const { return handle_; }

 private:
  INT handle_;
};

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
  return wide;
}

// LZ results are negative codes (LZERROR_*), not system errors.
Error LzError(LONG code) {
  switch (code) {
    case LZERROR_BADINHANDLE:
    case LZERROR_READ:
      return error::kFileNotFound;
    case LZERROR_BADOUTHANDLE:
    case LZERROR_WRITE:
      return error::kAccessDenied;
    case LZERROR_GLOBALLOC:
      return error::kNotEnoughMemory;
    default:
      return error::kInvalidData;
  }
}

class Win32Process : public Process {
 public:
  explicit Win32Process(HANDLE process) : process_(process) {}
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;
  ~Win32Process() override { CloseHandle(process_); }
  bool Finished() override { return WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }
  std::uint32_t ExitCode() override {
    DWORD code = 0;
    return GetExitCodeProcess(process_, &code) ? code : STILL_ACTIVE;
  }

 private:
  HANDLE process_;
};

class Win32Module : public Module {
 public:
  explicit Win32Module(HMODULE module) : module_(module) {}
  Win32Module(const Win32Module&) = delete;
  Win32Module& operator=(const Win32Module&) = delete;
  ~Win32Module() override { FreeLibrary(module_); }
  bool CallEntry(const char* name, std::int32_t& result) override {
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const Entry entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    if (entry == nullptr) return false;
    result = entry();
    return true;
  }

 private:
  HMODULE module_;
};

}  // namespace

Error Win32InstallFiles::MoveEx(const std::string& from, const std::string& to, std::uint32_t flags) {
  return MoveFileExA(from.c_str(), to.empty() ? nullptr : to.c_str(), flags) ? error::kSuccess : LastError();
}

Error Win32InstallFiles::SetCurrentFolder(const std::string& folder) {
  return SetCurrentDirectoryA(folder.c_str()) ? error::kSuccess : LastError();
}

Error Win32InstallFiles::DiskFreeSpace(const std::string& root, DiskSpace& space) {
  space = DiskSpace();
  DWORD sectors = 0, bytes = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeClusters, &totalClusters)) return LastError();
  space.sectorsPerCluster = sectors;
  space.bytesPerSector = bytes;
  space.freeClusters = freeClusters;
  space.totalClusters = totalClusters;
  return error::kSuccess;
}

Error Win32InstallFiles::DiskFreeSpaceEx(const std::string& root, std::uint64_t& freeToCaller) {
  freeToCaller = 0;
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
  if (kernel == nullptr) return LastError();
  const FreeSpaceEx query =
      reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  Error result = error::kCallNotImplemented;
  if (query != nullptr) {
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (query(root.c_str(), &available, &total, &totalFree)) {
      freeToCaller = available.QuadPart;
      result = error::kSuccess;
    } else {
      result = LastError();
    }
  }
  FreeLibrary(kernel);
  return result;
}

Error Win32InstallFiles::ExpandedName(const std::string& source, std::string& expanded) {
  std::vector<char> source_copy(source.begin(), source.end());
  source_copy.push_back('\0');
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  if (!Lz().Complete()) {
    expanded = source;
    return ERROR_MOD_NOT_FOUND;
  }
  const INT result = Lz().expandedName(source_copy.data(), buffer.data());
  if (result < 0) {
    expanded = source;
    return LzError(result);
  }
  expanded = buffer.data();
  return error::kSuccess;
}

Error Win32InstallFiles::LzExpand(const std::string& source, const std::string& target) {
  std::vector<char> sourcePath(source.begin(), source.end());
  sourcePath.push_back('\0');
  std::vector<char> targetPath(target.begin(), target.end());
  targetPath.push_back('\0');
  if (!Lz().Complete()) return ERROR_MOD_NOT_FOUND;
  OFSTRUCT sourceRecord{};
  OFSTRUCT targetRecord{};
  LzHandle in(Lz().open(sourcePath.data(), &sourceRecord, OF_READ | OF_SHARE_EXCLUSIVE));
  if (in.get() < 0) return LzError(in.get());
  LzHandle out(Lz().open(targetPath.data(), &targetRecord, OF_CREATE));
  if (out.get() < 0) return LzError(out.get());
  const LONG copied = Lz().copy(in.get(), out.get());
  return copied < 0 ? LzError(copied) : error::kSuccess;
}

Error Win32InstallShell::SpecialFolder(int csidl, std::string& path) {
  path.clear();
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out()))) return error::kNotEnoughMemory;
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), csidl, &items)) || items == nullptr) {
    return error::kFileNotFound;
  }
  char* buffer = static_cast<char*>(allocator->Alloc(MAX_PATH));
  Error result = error::kNotEnoughMemory;
  if (buffer != nullptr) {
    buffer[0] = '\0';
    if (SHGetPathFromIDListA(items, buffer)) {
      path = buffer;
      result = error::kSuccess;
    } else {
      result = error::kFileNotFound;
    }
    allocator->Free(buffer);
  }
  allocator->Free(items);
  return result;
}

Error Win32InstallShell::CreateShellLink(const ShellLink& link, const std::string& linkPath) {
  ComScope com;
  ComPtr<IShellLinkA> shellLink;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    shellLink.OutVoid());
  if (FAILED(result)) return static_cast<Error>(result);
  ComPtr<IPersistFile> file;
  result = shellLink->QueryInterface(IID_IPersistFile, file.OutVoid());
  if (FAILED(result)) return static_cast<Error>(result);
  shellLink->SetPath(link.target.c_str());
  shellLink->SetWorkingDirectory(link.workingDirectory.c_str());
  if (!link.arguments.empty()) shellLink->SetArguments(link.arguments.c_str());
  result = file->Save(Wide(linkPath).c_str(), FALSE);
  return FAILED(result) ? static_cast<Error>(result) : error::kSuccess;
}

Error Win32InstallShell::ReadShellLink(const std::string& linkPath, ShellLink& link) {
  link = ShellLink();
  ComScope com;
  ComPtr<IShellLinkA> shellLink;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    shellLink.OutVoid());
  if (FAILED(result)) return static_cast<Error>(result);
  ComPtr<IPersistFile> file;
  result = shellLink->QueryInterface(IID_IPersistFile, file.OutVoid());
  if (FAILED(result)) return static_cast<Error>(result);
  result = file->Load(Wide(linkPath).c_str(), STGM_READ);
  if (FAILED(result)) return static_cast<Error>(result);
  char buffer[1024];
  buffer[0] = '\0';
  shellLink->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH);
  link.target = buffer;
  buffer[0] = '\0';
  shellLink->GetWorkingDirectory(buffer, sizeof buffer);
  link.workingDirectory = buffer;
  buffer[0] = '\0';
  shellLink->GetArguments(buffer, sizeof buffer);
  link.arguments = buffer;
  return error::kSuccess;
}

std::uint32_t Win32InstallShell::Execute(const std::string& verb, const std::string& file,
                                         const std::string& parameters, const std::string& folder, int show) {
  const HINSTANCE result = ShellExecuteA(GetDesktopWindow(), verb.c_str(), file.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(),
                                         folder.empty() ? nullptr : folder.c_str(), show);
  return static_cast<std::uint32_t>(reinterpret_cast<INT_PTR>(result));
}

void Win32InstallShell::ChangeNotify(std::int32_t event, std::uint32_t flags) {
  SHChangeNotify(static_cast<LONG>(event), static_cast<UINT>(flags), nullptr, nullptr);
}

Error Win32Processes::StartProcess(const std::string& application, const std::string& commandLine, int show,
                                   std::unique_ptr<Process>& process) {
  process.reset();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  startup.wShowWindow = static_cast<WORD>(show);
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(application.c_str(), commandLine.empty() ? nullptr : line.data(), nullptr, nullptr, FALSE,
                      CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &info)) {
    return LastError();
  }
  CloseHandle(info.hThread);
  process = std::make_unique<Win32Process>(info.hProcess);
  return error::kSuccess;
}

Error Win32Processes::LoadModule(const std::string& path, std::unique_ptr<Module>& module) {
  module.reset();
  HMODULE loaded = LoadComponentLibrary(path);
  if (loaded == nullptr) return LastError();
  module = std::make_unique<Win32Module>(loaded);
  return error::kSuccess;
}

}  // namespace ov::platform
