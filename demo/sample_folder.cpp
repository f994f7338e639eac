#include "sample_folder.h"

#include <windows.h>

#include "base/path_parts.h"

namespace ov::demo {

const char kSampleMarker[] = "ovsample.ini";

namespace {

constexpr std::uint32_t KB = 1024;
constexpr std::uint32_t MB = 1024 * 1024;

std::vector<SampleEntry> MakeEntries() {
  std::vector<SampleEntry> entries;
  auto file = [&](const std::string& path, std::uint32_t size) { entries.push_back({path, size, false}); };
  auto folder = [&](const std::string& path) { entries.push_back({path, 0, true}); };
  auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };

  // Series: volumes of comics, a photo series, issues of a magazine.
  for (int n = 1; n <= 5; ++n) file("[山田太郎] 星降る町 第" + two(n) + "巻.zip", 2 * MB + static_cast<std::uint32_t>(n) * 180 * KB);
  for (int n = 1; n <= 3; ++n) file("[佐藤花子] 海辺のソナタ 第" + two(n) + "巻.zip", 3 * MB + static_cast<std::uint32_t>(n) * 70 * KB);
  for (int n = 1; n <= 6; ++n) file("青空ダイアリー " + two(n) + ".jpg", 280 * KB + static_cast<std::uint32_t>(n) * 45 * KB);
  for (int n = 12; n <= 15; ++n) file("週刊テクノ通信 第" + two(n) + "号.pdf", 1 * MB + static_cast<std::uint32_t>(n) * 20 * KB);
  // Numbered photos from two cameras.
  for (int n = 1; n <= 8; ++n) {
    file("IMG_000" + std::to_string(n) + ".JPG", 1800 * KB + static_cast<std::uint32_t>(n * 211) * KB);
  }
  for (int n = 12; n <= 16; ++n) file("DSC000" + std::to_string(n) + ".jpg", 800 * KB + static_cast<std::uint32_t>(n * 37) * KB);
  // Names whose second byte is a backslash (0x5C): 表, ソ, 能.
  file("表示テスト.txt", 3 * KB);
  file("ソフト一覧.txt", 12 * KB);
  file("能力表.doc", 45 * KB);
  // Copies of one file, as Explorer names them.
  file("写真.jpg", 1200 * KB);
  file("写真 - コピー.jpg", 1200 * KB);
  file("写真 (2).jpg", 1200 * KB);
  file("議事録_0412.doc", 36 * KB);
  file("議事録_0412 - コピー.doc", 36 * KB);
  // A few small ones.
  file("メモ.txt", 1 * KB / 2);
  file("readme.txt", 2 * KB);
  file("予算表2024.xls", 80 * KB);
  // Sub-folders for the folder combine (both trips hold a 地図.png).
  folder("旅行 2023");
  file("旅行 2023\\IMG_0101.JPG", 2 * MB);
  file("旅行 2023\\IMG_0102.JPG", 2 * MB + 300 * KB);
  file("旅行 2023\\地図.png", 150 * KB);
  folder("旅行 2024");
  file("旅行 2024\\IMG_0201.JPG", 2 * MB + 100 * KB);
  file("旅行 2024\\IMG_0202.JPG", 2 * MB + 500 * KB);
  file("旅行 2024\\地図.png", 170 * KB);
  file("旅行 2024\\しおり.txt", 4 * KB);
  folder("未整理");
  file("未整理\\DSC00020.jpg", 900 * KB);
  file("未整理\\メモ.txt", 1 * KB);
  return entries;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Names in a folder, "." and ".." left out; false when it cannot be read.
bool Names(const std::string& folder, std::vector<std::string>& names) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return true;
}

bool RemoveTree(const std::string& folder) {
  std::vector<std::string> names;
  if (!Names(folder, names)) return false;
  for (const std::string& name : names) {
    const std::string path = folder + "\\" + name;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      // A link to a folder goes as a link: what it leads to was never made here.
      if (!RemoveDirectoryA(path.c_str())) return false;
    } else if (IsFolder(path)) {
      if (!RemoveTree(path)) return false;
    } else {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileA(path.c_str())) return false;
    }
  }
  return RemoveDirectoryA(folder.c_str()) != FALSE;
}

// A file of the given size; its contents are zeros, which the tools never read.
bool WriteSized(const std::string& path, std::uint32_t size, DWORD attributes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = size;
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return sized;
}

std::string SystemError() {
  const DWORD code = GetLastError();
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text, nullptr);
  std::string message = text;
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message + " (" + std::to_string(code) + ")";
}

}  // namespace

const std::vector<SampleEntry>& SampleEntries() {
  static const std::vector<SampleEntry> entries = MakeEntries();
  return entries;
}

bool CreateSampleFolder(const std::string& folder, std::string& error) {
  if (folder.size() < 4 || folder[1] != ':' || base::NamePart(folder).empty()) {
    error = "the sample folder must be a full path without a trailing \\, e.g. C:\\サンプル";
    return false;
  }
  if (IsFolder(folder)) {
    std::vector<std::string> names;
    Names(folder, names);
    const bool ours = GetFileAttributesA((folder + "\\" + kSampleMarker).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!names.empty() && !ours) {
      error = folder + " exists and was not made by ovexplorer; it is left as it is";
      return false;
    }
    if (!RemoveTree(folder)) {
      error = "cannot remove the old sample " + folder + ": " + SystemError();
      return false;
    }
  }
  if (!CreateDirectoryA(folder.c_str(), nullptr)) {
    error = "cannot create " + folder + ": " + SystemError();
    return false;
  }
  if (!WriteSized(folder + "\\" + kSampleMarker, 0, FILE_ATTRIBUTE_HIDDEN)) {
    error = "cannot write the marker in " + folder + ": " + SystemError();
    return false;
  }
  for (const SampleEntry& entry : SampleEntries()) {
    const std::string path = folder + "\\" + entry.path;
    const bool made = entry.folder ? CreateDirectoryA(path.c_str(), nullptr) != FALSE
                                   : WriteSized(path, entry.size, FILE_ATTRIBUTE_NORMAL);
    if (!made) {
      error = "cannot create " + path + ": " + SystemError();
      return false;
    }
  }
  return true;
}

}  // namespace ov::demo
