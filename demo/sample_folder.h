// A folder of files such as a Japanese user keeps: volumes of several series, numbered
// photos, names whose second byte is 0x5C, copies of one file, sizes from a few KB to some
// MB, and a few sub-folders. The demonstration opens every tool on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ov::demo {

struct SampleEntry {
  std::string path;     // relative to the sample folder; a folder has no size
  std::uint32_t size;   // bytes
  bool folder;
};

// Every entry in creation order: each folder before what it holds.
const std::vector<SampleEntry>& SampleEntries();

// Hidden file that marks a folder as made by CreateSampleFolder.
extern const char kSampleMarker[];

// Creates the sample folder afresh. A folder left by an earlier run (it holds the marker) is
// removed first; any other existing folder that is not empty is refused, so that no file
// of the user's is ever removed. False with the reason in `error`.
bool CreateSampleFolder(const std::string& folder, std::string& error);

}  // namespace ov::demo
