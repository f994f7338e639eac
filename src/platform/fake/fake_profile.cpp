#include "platform/fake/fake_profile.h"

#include <algorithm>

#include "base/cp932.h"
#include "platform/fake/fake_names.h"

namespace ov::platform::fake {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b) { return FoldName(a) == FoldName(b); }

// The first section of that name; Windows never looks past it.
ProfileSection* FindSection(std::vector<ProfileSection>& sections, const std::string& name) {
  const auto found = std::find_if(sections.begin(), sections.end(), [&](const ProfileSection& section) {
    return section.hasHeader && SameName(section.name, name);
  });
  return found == sections.end() ? nullptr : &*found;
}

ProfileEntry* FindEntry(ProfileSection& section, const std::string& name) {
  const auto found = std::find_if(section.entries.begin(), section.entries.end(),
                                  [&](const ProfileEntry& entry) { return SameName(entry.name, name); });
  return found == section.entries.end() ? nullptr : &*found;
}

// One pair of enclosing quotes, both " or both ', is not part of the value.
std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A value into a buffer of size bytes: cut to size - 1, never inside a double-byte character.
std::uint32_t CopyValue(const std::string& value, std::string& buffer, std::uint32_t size) {
  buffer.clear();
  if (size == 0) return 0;
  std::size_t end = 0;
  while (end < value.size() && base::NextChar(value, end) <= size - 1) end = base::NextChar(value, end);
  buffer = value.substr(0, end);
  // A cut inside a double-byte character leaves a zero byte in its place and still counts
  // size - 1, as Windows reports a full buffer.
  if (end < value.size()) buffer.resize(size - 1, '\0');
  return static_cast<std::uint32_t>(buffer.size());
}

// A list of names each followed by a zero byte; when the list and its final zero do not
// fit, it is cut to size - 2 bytes (the last two bytes of the buffer are both zero).
std::uint32_t CopyList(const std::vector<std::string>& names, std::string& buffer, std::uint32_t size) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  buffer.clear();
  if (size < 2) return 0;
  if (list.size() + 1 <= size) {
    buffer = list;
  } else {
    buffer = list.substr(0, size - 2);
  }
  return static_cast<std::uint32_t>(buffer.size());
}

}  // namespace

std::vector<ProfileSection> ParseProfile(const std::string& contents) {
  std::vector<ProfileSection> sections(1);
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    const std::string line = Trim(contents.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line[0] == '[') {
      const std::size_t close = base::FindLastAscii(line, ']');
      if (close != std::string::npos) {
        ProfileSection section;
        section.name = Trim(line.substr(1, close - 1));
        section.hasHeader = true;
        sections.push_back(section);
        continue;
      }
    }
    ProfileEntry entry;
    const std::size_t equals = base::FindAscii(line, '=');
    if (equals == std::string::npos) {
      entry.name = line;
    } else {
      entry.name = Trim(line.substr(0, equals));
      entry.value = Trim(line.substr(equals + 1));
      entry.hasValue = true;
    }
    sections.back().entries.push_back(entry);
  }
  return sections;
}

std::string FormatProfile(const std::vector<ProfileSection>& sections) {
  std::string text;
  for (const ProfileSection& section : sections) {
    if (section.hasHeader) text += "[" + section.name + "]\r\n";
    for (const ProfileEntry& entry : section.entries) {
      text += entry.name;
      if (entry.hasValue) text += "=" + entry.value;
      text += "\r\n";
    }
  }
  return text;
}

FakeProfile::FakeProfile(FakeFiles& files, FakeFailures& failures, const std::string& windowsFolder)
    : files_(files), failures_(failures), windowsFolder_(windowsFolder) {}

std::string FakeProfile::FullPath(const std::string& file) const {
  if (base::FindLastAsciiOf(file, "\\/:") != std::string::npos) return file;
  return windowsFolder_ + "\\" + file;
}

std::uint32_t FakeProfile::GetString(const char* section, const char* key, const std::string& defaultValue,
                                     std::string& buffer, std::uint32_t bufferSize, const std::string& file) {
  // The default loses its trailing blanks.
  std::string fallback = defaultValue;
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();

  std::string contents;
  const std::string path = FullPath(file);
  if (failures_.Enter("GetPrivateProfileStringA", path) != error::kSuccess || files_.Load(path, contents) != error::kSuccess) {
    contents.clear();  // an unreadable file reads like a missing one
  }
  std::vector<ProfileSection> sections = ParseProfile(contents);

  if (section == nullptr) {
    std::vector<std::string> names;
    for (const ProfileSection& found : sections) {
      if (found.hasHeader) names.push_back(found.name);
    }
    return CopyList(names, buffer, bufferSize);
  }
  ProfileSection* found = FindSection(sections, section);
  if (key == nullptr) {
    if (found == nullptr) return CopyValue(fallback, buffer, bufferSize);
    std::vector<std::string> names;
    // Comments and lines without "=" are not keys.
    for (const ProfileEntry& entry : found->entries) {
      if (entry.hasValue && !entry.name.empty() && entry.name[0] != ';') names.push_back(entry.name);
    }
    return CopyList(names, buffer, bufferSize);
  }
  const ProfileEntry* entry = found == nullptr ? nullptr : FindEntry(*found, key);
  if (entry == nullptr || !entry->hasValue) return CopyValue(fallback, buffer, bufferSize);
  return CopyValue(Unquote(entry->value), buffer, bufferSize);
}

Error FakeProfile::WriteString(const char* section, const char* key, const char* value, const std::string& file) {
  const std::string path = file.empty() ? std::string() : FullPath(file);
  if (const Error injected = failures_.Enter("WritePrivateProfileStringA", path)) return injected;
  if (section == nullptr) return error::kSuccess;  // all null: flush; nothing is cached here

  std::string contents;
  const Error loaded = files_.Load(path, contents);
  if (loaded != error::kSuccess && loaded != error::kFileNotFound) return loaded;
  std::vector<ProfileSection> sections = ParseProfile(contents);
  ProfileSection* found = FindSection(sections, section);
  if (key == nullptr) {
    if (found == nullptr) return error::kSuccess;
    sections.erase(sections.begin() + (found - sections.data()));
  } else if (value == nullptr) {
    ProfileEntry* entry = found == nullptr ? nullptr : FindEntry(*found, key);
    if (entry == nullptr) return error::kSuccess;
    found->entries.erase(found->entries.begin() + (entry - found->entries.data()));
  } else {
    if (found == nullptr) {
      ProfileSection added;
      added.name = section;
      added.hasHeader = true;
      sections.push_back(added);
      found = &sections.back();
    }
    std::string text = value;
    text.erase(0, std::min(text.size(), text.find_first_not_of(" \t")));  // leading blanks are dropped
    ProfileEntry* entry = FindEntry(*found, key);
    if (entry == nullptr) {
      found->entries.push_back(ProfileEntry{key, true, text});
    } else {
      entry->hasValue = true;
      entry->value = text;
    }
  }
  return files_.Store(path, FormatProfile(sections));
}

}  // namespace ov::platform::fake
