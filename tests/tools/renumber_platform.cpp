#include "tools/renumber_platform.h"

#include <gtest/gtest.h>

#include <memory>

namespace ov::test {

namespace {

void RemoveTree(platform::FileApi& files, const std::string& folder) {
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  if (files.FindFirst(folder + "*", entry, search) == platform::error::kSuccess) {
    do {
      if (entry.name == "." || entry.name == "..") continue;
      if (entry.attributes & platform::attribute::kDirectory) {
        RemoveTree(files, folder + entry.name + "\\");
      } else {
        files.Delete(folder + entry.name);
      }
    } while (search->Next(entry) == platform::error::kSuccess);
  }
  search.reset();
  files.RemoveFolder(folder.substr(0, folder.size() - 1));
}

}  // namespace

RenumberFolder::RenumberFolder(platform::Platform& platform, const std::string& subFolder) : platform_(platform) {
  platform::FileApi& files = platform_.Files();
  // A name the temporary folder does not hold yet, turned into a folder.
  std::string unique;
  EXPECT_EQ(files.TempFileName(platform_.System().TempFolder(), "ovr", 0, unique), platform::error::kSuccess);
  files.Delete(unique);
  EXPECT_EQ(files.CreateFolder(unique), platform::error::kSuccess) << unique;
  root_ = unique + "\\";
  path_ = root_;
  if (!subFolder.empty()) {
    path_ += subFolder + "\\";
    EXPECT_EQ(files.CreateFolder(root_ + subFolder), platform::error::kSuccess) << subFolder;
  }
}

RenumberFolder::~RenumberFolder() { RemoveTree(platform_.Files(), root_); }

std::vector<std::string> RenumberFolder::Put(const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    EXPECT_EQ(platform_.Files().WriteContents(path_ + name, "was " + name), platform::error::kSuccess) << name;
    paths.push_back(path_ + name);
  }
  return paths;
}

std::map<std::string, std::string> RenumberFolder::Contents() {
  std::map<std::string, std::string> contents;
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  if (platform_.Files().FindFirst(path_ + "*", entry, search) != platform::error::kSuccess) return contents;
  do {
    if (entry.attributes & platform::attribute::kDirectory) continue;
    std::string text;
    platform_.Files().ReadContents(path_ + entry.name, text);
    contents[entry.name] = text;
  } while (search->Next(entry) == platform::error::kSuccess);
  return contents;
}

}  // namespace ov::test
