#include "support/win_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

namespace ov::test {
namespace {

struct CloseFile {
  void operator()(HANDLE file) const {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};
using File = std::unique_ptr<void, CloseFile>;

struct CloseFind {
  void operator()(HANDLE find) const {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }
};
using Find = std::unique_ptr<void, CloseFind>;

std::string WithSeparator(std::string folder) {
  // The last byte alone can be the second byte of a double-byte character.
  if (folder.empty() || *CharPrevA(folder.c_str(), folder.c_str() + folder.size()) != '\\') folder += '\\';
  return folder;
}

std::string SystemPath(UINT(WINAPI* get)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  get(path, MAX_PATH);
  return WithSeparator(path);
}

}  // namespace

std::string ThisFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder.resize(folder.find_last_of('\\') + 1);  // the build folder's name is ASCII
  return folder;
}

std::string TempFolder() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  return WithSeparator(path);
}

std::string WindowsFolder() { return SystemPath(&GetWindowsDirectoryA); }

std::string SystemFolder() { return SystemPath(&GetSystemDirectoryA); }

void Write(const std::string& path, const std::string& text) {
  const File file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Read(const std::string& path) {
  const File file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& folder) {
  {
    // Closed before the folder goes: an open search holds it.
    WIN32_FIND_DATAA found;
    const Find find(FindFirstFileA((folder + "*").c_str(), &found));
    if (find.get() != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path + "\\");
        } else {
          DeleteFileA(path.c_str());
        }
      } while (FindNextFileA(find.get(), &found));
    }
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

}  // namespace ov::test
