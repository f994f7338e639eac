#include "shellext/wine/folder_tree.h"

#include <windows.h>

#include <vector>

#include "support/readable.h"

namespace ov::test {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

void ReadInto(const std::string& folder, const std::string& prefix, FolderTree& tree) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + prefix + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      tree[prefix + name + "\\"] = "";
      ReadInto(folder, prefix + name + "\\", tree);
    } else {
      tree[prefix + name] = TextOf(folder + prefix + name);
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

std::string Shown(const std::wstring& name) {
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(), static_cast<int>(name.size()),
                                         nullptr, 0, "?", &usedDefault);
  std::string text(static_cast<std::size_t>(length), '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(), static_cast<int>(name.size()), &text[0], length,
                        "?", &usedDefault);
  }
  return text;
}

std::string TextOfW(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.Valid()) return "<unreadable: error " + std::to_string(GetLastError()) + ">";
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

// Each entry: the name shown, and its wide path relative to the folder.
void ReadIntoW(const std::wstring& folder, const std::wstring& prefix, const std::string& shownPrefix,
               FolderTree& tree, std::vector<std::wstring>* order) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + prefix + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      tree[shownPrefix + Shown(name) + "\\"] = "";
      if (order != nullptr) order->push_back(prefix + name + L"\\");
      ReadIntoW(folder, prefix + name + L"\\", shownPrefix + Shown(name) + "\\", tree, order);
    } else {
      tree[shownPrefix + Shown(name)] = TextOfW(folder + prefix + name);
      if (order != nullptr) order->push_back(prefix + name);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

}  // namespace

bool WriteText(const std::string& path, const std::string& text) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file.Valid() && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

std::string TextOf(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.Valid()) return "<unreadable: error " + std::to_string(GetLastError()) + ">";
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

FolderTree ReadFolderTree(const std::string& folder) {
  FolderTree tree;
  ReadInto(folder, "", tree);
  return tree;
}

std::string ShowTree(const FolderTree& tree) {
  std::string text;
  for (const auto& [path, contents] : tree) text += "  " + Readable(path) + " = " + Readable(contents) + "\n";
  return text;
}

void EmptyFolder(const std::string& folder) {
  const FolderTree tree = ReadFolderTree(folder);
  // A read-only folder keeps what it holds (under Wine it is a folder without write
  // permission), so every attribute goes first.
  for (const auto& entry : tree) SetFileAttributesA((folder + entry.first).c_str(), FILE_ATTRIBUTE_NORMAL);
  // In reverse order a folder's entries come before the folder itself.
  for (auto entry = tree.rbegin(); entry != tree.rend(); ++entry) {
    // A key's last byte can be the second byte of a double-byte character ("能" ends in
    // 0x5C), so the attributes tell a folder, not a trailing "\".
    const std::string path = folder + entry->first;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  }
}

void RemoveFolderTree(const std::string& folder) {
  EmptyFolder(folder);
  RemoveDirectoryA(folder.c_str());
}

bool WriteTextW(const std::wstring& path, const std::string& text) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file.Valid() && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

FolderTree ReadFolderTreeW(const std::wstring& folder) {
  FolderTree tree;
  ReadIntoW(folder, L"", "", tree, nullptr);
  return tree;
}

void RemoveFolderTreeW(const std::wstring& folder) {
  FolderTree tree;
  std::vector<std::wstring> entries;
  ReadIntoW(folder, L"", "", tree, &entries);
  // A folder is listed before what it holds: backwards, its entries go first.
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const std::wstring path = folder + *entry;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!entry->empty() && entry->back() == L'\\') {
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace ov::test
