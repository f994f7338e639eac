#include "contract/contract_support.h"

#include <algorithm>
#include <memory>

namespace ov::contract {

using namespace platform;

void EmptyFolder(FileApi& files, const std::string& folder) {
  std::vector<FindEntry> entries;
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  if (files.FindFirst(folder + "*", entry, search) == error::kSuccess) {
    do {
      if (entry.name != "." && entry.name != "..") entries.push_back(entry);
    } while (search->Next(entry) == error::kSuccess);
  }
  search.reset();
  for (const FindEntry& found : entries) {
    const std::string path = folder + found.name;
    if (found.attributes & attribute::kReadOnly) files.SetAttributes(path, attribute::kNormal);
    if (found.attributes & attribute::kDirectory) {
      EmptyFolder(files, path + "\\");
      files.RemoveFolder(path);
    } else {
      files.Delete(path);
    }
  }
}


std::vector<std::string> FindNames(FileApi& files, const std::string& pattern) {
  std::vector<std::string> names;
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  if (files.FindFirst(pattern, entry, search) != error::kSuccess) return names;
  do {
    names.push_back(entry.name);
  } while (search->Next(entry) == error::kSuccess);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace ov::contract
