#include "platform/fake/fake_files.h"

#include <cstdio>
#include <utility>

#include "base/cp932.h"

namespace ov::platform::fake {
namespace {

using base::CharLength;
using base::NextChar;

// The characters of a text, each one or two bytes.
std::vector<std::string> Characters(std::string_view text) {
  std::vector<std::string> chars;
  for (std::size_t pos = 0; pos < text.size(); pos = NextChar(text, pos)) {
    chars.emplace_back(text.substr(pos, CharLength(text, pos)));
  }
  return chars;
}

bool MatchFrom(const std::vector<std::string>& pattern, std::size_t p, const std::vector<std::string>& name,
               std::size_t n) {
  while (p < pattern.size()) {
    if (pattern[p] == "*") {
      while (p < pattern.size() && pattern[p] == "*") ++p;
      if (p == pattern.size()) return true;
      for (std::size_t from = n; from <= name.size(); ++from) {
        if (MatchFrom(pattern, p, name, from)) return true;
      }
      return false;
    }
    if (n == name.size() || (pattern[p] != "?" && pattern[p] != name[n])) return false;
    ++p;
    ++n;
  }
  return n == name.size();
}

bool HasWildcard(const std::string& text) {
  for (std::size_t pos = 0; pos < text.size(); pos = NextChar(text, pos)) {
    if (CharLength(text, pos) == 1 && (text[pos] == '*' || text[pos] == '?')) return true;
  }
  return false;
}

// "*" and "?" over folded names; a pattern ending in ".*" also matches a name without any
// extension, as "*.*" matches every name.
class Wildcard {
 public:
  explicit Wildcard(const std::string& pattern) {
    const std::string folded = FoldName(pattern);
    chars_ = Characters(folded);
    if (folded.size() >= 2 && folded.compare(folded.size() - 2, 2, ".*") == 0) {
      withoutExtension_ = Characters(folded.substr(0, folded.size() - 2));
      hasStarExtension_ = true;
    }
  }
  bool Matches(const std::string& name) const {
    const std::vector<std::string> target = Characters(FoldName(name));
    return MatchFrom(chars_, 0, target, 0) || (hasStarExtension_ && MatchFrom(withoutExtension_, 0, target, 0));
  }

 private:
  std::vector<std::string> chars_;
  std::vector<std::string> withoutExtension_;
  bool hasStarExtension_ = false;
};

// As Windows reports them: a file with no attribute left shows FILE_ATTRIBUTE_NORMAL.
std::uint32_t ReportedAttributes(const FakeNode& node) {
  return node.IsFolder() || node.attributes != 0 ? node.attributes : attribute::kNormal;
}

// CreateFileA (CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL) and CopyFileA refuse to replace a hidden
// or system file, as they refuse a read-only one.
bool RefusesReplacement(const FakeNode& node) {
  return node.IsFolder() ||
         (node.attributes & (attribute::kReadOnly | attribute::kHidden | attribute::kSystem)) != 0;
}

FindEntry EntryOf(const FakeNode& node, const std::string& name) {
  FindEntry entry;
  entry.name = name;
  entry.shortName = name == node.name ? node.shortName : std::string();
  entry.attributes = ReportedAttributes(node);
  entry.size = node.IsFolder() ? 0 : node.size;
  entry.lastWriteTime = node.lastWriteTime;
  return entry;
}

// A search over a snapshot taken by FindFirst: later changes to the folder do not move it.
class FakeSearch : public FileSearch {
 public:
  FakeSearch(FakeFailures& failures, std::vector<FindEntry> entries)
      : failures_(failures), entries_(std::move(entries)) {}
  Error Next(FindEntry& entry) override {
    if (const Error injected = failures_.Enter("FindNextFileA")) return injected;
    if (next_ >= entries_.size()) return error::kNoMoreFiles;
    entry = entries_[next_++];
    return error::kSuccess;
  }

 private:
  FakeFailures& failures_;
  std::vector<FindEntry> entries_;
  std::size_t next_ = 1;  // FindFirst handed out the first entry
};

const char kShortNameSpecials[] = "+,;=[]";

bool IsShortName(const std::string& name) {
  if (name.empty() || name[0] == '.' || name == "." || name == "..") return name == "." || name == "..";
  const std::size_t dot = base::FindLastAscii(name, '.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  if (stem.empty() || stem.size() > 8 || extension.size() > 3) return false;
  for (std::size_t pos = 0; pos < name.size(); pos = NextChar(name, pos)) {
    if (CharLength(name, pos) != 1) continue;
    const char c = name[pos];
    if (c == ' ' || (c == '.' && pos != dot) || std::string(kShortNameSpecials).find(c) != std::string::npos) {
      return false;
    }
  }
  return true;
}

// Up to limit bytes of the characters of text, never half a double-byte character.
std::string Leading(const std::string& text, std::size_t limit) {
  std::size_t end = 0;
  while (end < text.size() && NextChar(text, end) <= limit) end = NextChar(text, end);
  return text.substr(0, end);
}

// The letters a short name keeps: no blanks or dots, specials as "_", upper case.
std::string ShortNameLetters(const std::string& text) {
  std::string letters;
  for (std::size_t pos = 0; pos < text.size(); pos = NextChar(text, pos)) {
    const std::size_t length = CharLength(text, pos);
    if (length == 1 && (text[pos] == ' ' || text[pos] == '.')) continue;
    if (length == 1 && std::string(kShortNameSpecials).find(text[pos]) != std::string::npos) {
      letters += '_';
    } else {
      letters.append(text, pos, length);
    }
  }
  return FoldName(letters);
}

}  // namespace

FakeFiles::FakeFiles(FakeClock& clock, FakeFailures& failures) : clock_(clock), failures_(failures) {
  AddVolume('C');
}

void FakeFiles::AddVolume(char drive) {
  auto root = std::make_unique<FakeNode>();
  root->attributes = attribute::kDirectory;
  root->lastWriteTime = clock_.Now();
  volumes_[FoldName(std::string(1, drive))[0]] = std::move(root);
}

FakeNode* FakeFiles::Child(FakeNode& folder, const std::string& name) {
  const std::string key = FoldName(name);
  const auto found = folder.children.find(key);
  if (found != folder.children.end()) return found->second.get();
  if (base::FindAscii(name, '~') == std::string::npos) return nullptr;  // cannot be a short name
  EnsureShortNames(folder);
  const auto alias = folder.shortNames.find(key);
  return alias == folder.shortNames.end() ? nullptr : alias->second;
}

Error FakeFiles::Locate(const std::string& path, Located& located, bool keepLast) {
  located = Located();
  ParsedPath parsed;
  if (const Error error = ParsePath(path, parsed, keepLast)) return error;
  const auto volume = volumes_.find(parsed.drive);
  if (volume == volumes_.end()) return error::kPathNotFound;
  FakeNode* folder = volume->second.get();
  if (parsed.parts.empty()) {
    located.node = folder;
    return error::kSuccess;
  }
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
    folder = Child(*folder, parsed.parts[i]);
    if (folder == nullptr || !folder->IsFolder()) return error::kPathNotFound;
  }
  located.parent = folder;
  located.name = parsed.parts.back();
  located.node = Child(*folder, located.name);
  return error::kSuccess;
}

Error FakeFiles::LocateExisting(const std::string& path, Located& located) {
  if (const Error error = Locate(path, located)) return error;
  return located.node == nullptr ? error::kFileNotFound : error::kSuccess;
}

void FakeFiles::EnsureShortNames(FakeNode& folder) {
  if (folder.shortNamesCurrent) return;
  for (auto& [key, child] : folder.children) {
    if (child->shortName.empty() && !IsShortName(child->name)) AssignShortName(folder, *child);
  }
  folder.shortNamesCurrent = true;
}

void FakeFiles::AssignShortName(FakeNode& folder, FakeNode& node) {
  const std::size_t dot = base::FindLastAscii(node.name, '.');
  const std::string stem = ShortNameLetters(dot == std::string::npos ? node.name : node.name.substr(0, dot));
  const std::string extension =
      dot == std::string::npos ? std::string() : Leading(ShortNameLetters(node.name.substr(dot + 1)), 3);
  // Like NTFS: "LONGFI~1" to "~4", then two letters, four hex digits of a hash of the long
  // name and "~1" (so that a folder of 100,000 similar names stays cheap).
  std::uint32_t hash = 2166136261u;
  for (const char c : FoldName(node.name)) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>((hash ^ (hash >> 16)) & 0xFFFF));
  const std::string base = stem.empty() ? std::string("_") : stem;
  for (unsigned number = 1;; ++number) {
    const std::string tail = "~" + std::to_string(number <= 4 ? number : number - 4);
    std::string candidate = number <= 4 ? Leading(base, 8 - tail.size()) + tail
                                        : Leading(Leading(base, 2) + hex, 8 - tail.size()) + tail;
    if (!extension.empty()) candidate += "." + extension;
    const std::string key = FoldName(candidate);
    if (folder.shortNames.count(key) == 0 && folder.children.count(key) == 0) {
      node.shortName = candidate;
      folder.shortNames[key] = &node;
      return;
    }
  }
}

FakeNode& FakeFiles::Attach(FakeNode& folder, std::unique_ptr<FakeNode> node) {
  FakeNode& attached = *node;
  attached.parent = &folder;
  attached.shortName.clear();
  if (!IsShortName(attached.name)) folder.shortNamesCurrent = false;
  folder.children[FoldName(attached.name)] = std::move(node);
  return attached;
}

std::unique_ptr<FakeNode> FakeFiles::Detach(FakeNode& node) {
  FakeNode& folder = *node.parent;
  if (!node.shortName.empty()) folder.shortNames.erase(FoldName(node.shortName));
  const auto found = folder.children.find(FoldName(node.name));
  std::unique_ptr<FakeNode> detached = std::move(found->second);
  folder.children.erase(found);
  detached->parent = nullptr;
  return detached;
}

FakeNode& FakeFiles::NewNode(FakeNode& folder, const std::string& name, std::uint32_t attributes) {
  auto node = std::make_unique<FakeNode>();
  node->name = name;
  node->attributes = attributes;
  node->lastWriteTime = clock_.Now();
  return Attach(folder, std::move(node));
}

Error FakeFiles::GetAttributes(const std::string& path, std::uint32_t& attributes) {
  attributes = attribute::kInvalid;
  if (const Error injected = failures_.Enter("GetFileAttributesA", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  attributes = ReportedAttributes(*located.node);
  return error::kSuccess;
}

Error FakeFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if (const Error injected = failures_.Enter("SetFileAttributesA", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  FakeNode& node = *located.node;
  // Only the settable bits change; a folder stays a folder.
  constexpr std::uint32_t settable = attribute::kReadOnly | attribute::kHidden | attribute::kSystem |
                                     attribute::kArchive;
  node.attributes = (node.attributes & attribute::kDirectory) | (attributes & settable);
  return error::kSuccess;
}

Error FakeFiles::FindFirst(const std::string& pattern, FindEntry& first, std::unique_ptr<FileSearch>& search) {
  search.reset();
  if (const Error injected = failures_.Enter("FindFirstFileA", pattern)) return injected;
  Located located;
  if (const Error error = Locate(pattern, located, true)) return error;
  if (located.parent == nullptr) return error::kFileNotFound;  // a bare root
  FakeNode& folder = *located.parent;
  EnsureShortNames(folder);
  std::vector<FindEntry> entries;
  if (!HasWildcard(located.name)) {
    // Without wildcards the name is looked up like any path, trailing dots dropped.
    Located exact;
    if (LocateExisting(pattern, exact) == error::kSuccess && exact.node->parent == &folder) {
      entries.push_back(EntryOf(*exact.node, exact.node->name));
    }
  } else {
    const Wildcard wildcard(located.name);
    if (folder.parent != nullptr) {
      if (wildcard.Matches(".")) entries.push_back(EntryOf(folder, "."));
      if (wildcard.Matches("..")) entries.push_back(EntryOf(*folder.parent, ".."));
    }
    for (const auto& [key, child] : folder.children) {
      if (wildcard.Matches(child->name)) entries.push_back(EntryOf(*child, child->name));
    }
  }
  if (entries.empty()) return error::kFileNotFound;
  first = entries.front();
  search = std::make_unique<FakeSearch>(failures_, std::move(entries));
  return error::kSuccess;
}

Error FakeFiles::Move(const std::string& from, const std::string& to) {
  if (const Error injected = failures_.Enter("MoveFileA", from, to)) return injected;
  Located source;
  if (const Error error = LocateExisting(from, source)) return error;
  if (source.parent == nullptr) return error::kAccessDenied;
  Located target;
  if (const Error error = Locate(to, target)) return error;
  if (target.parent == nullptr) return error::kAlreadyExists;
  if (target.node == source.node) {
    if (caseOnlyRenameChangesName_ && target.name != source.node->name) {
      std::unique_ptr<FakeNode> node = Detach(*source.node);
      node->name = target.name;
      Attach(*target.parent, std::move(node));
    }
    return error::kSuccess;
  }
  if (target.node != nullptr) return error::kAlreadyExists;
  const FakeNode* sourceRoot = source.node;
  while (sourceRoot->parent != nullptr) sourceRoot = sourceRoot->parent;
  const FakeNode* targetRoot = target.parent;
  for (const FakeNode* up = target.parent; up != nullptr; up = up->parent) {
    if (up == source.node) return error::kInvalidParameter;  // a folder into itself
    targetRoot = up;
  }
  // Across volumes only a file can move (the system copies it); a folder cannot.
  if (sourceRoot != targetRoot && source.node->IsFolder()) return error::kNotSameDevice;
  std::unique_ptr<FakeNode> node = Detach(*source.node);
  node->name = target.name;
  Attach(*target.parent, std::move(node));
  return error::kSuccess;
}

Error FakeFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  if (const Error injected = failures_.Enter("CopyFileA", from, to)) return injected;
  Located source;
  if (const Error error = LocateExisting(from, source)) return error;
  if (source.node->IsFolder()) return error::kAccessDenied;
  Located target;
  if (const Error error = Locate(to, target)) return error;
  if (target.parent == nullptr) return error::kAccessDenied;
  if (target.node == source.node) return error::kSharingViolation;
  FakeNode* node = target.node;
  if (node != nullptr) {
    if (failIfExists) return error::kFileExists;
    if (RefusesReplacement(*node)) return error::kAccessDenied;
  } else {
    node = &NewNode(*target.parent, target.name, 0);
  }
  node->contents = source.node->contents;
  node->size = source.node->size;
  node->lastWriteTime = source.node->lastWriteTime;
  node->attributes = source.node->attributes | attribute::kArchive;
  return error::kSuccess;
}

Error FakeFiles::Delete(const std::string& path) {
  if (const Error injected = failures_.Enter("DeleteFileA", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  if (located.node->IsFolder() || (located.node->attributes & attribute::kReadOnly)) return error::kAccessDenied;
  Detach(*located.node);
  return error::kSuccess;
}

Error FakeFiles::CreateFolder(const std::string& path) {
  if (const Error injected = failures_.Enter("CreateDirectoryA", path)) return injected;
  Located located;
  if (const Error error = Locate(path, located)) return error;
  if (located.node != nullptr) return error::kAlreadyExists;
  NewNode(*located.parent, located.name, attribute::kDirectory);
  return error::kSuccess;
}

Error FakeFiles::RemoveFolder(const std::string& path) {
  if (const Error injected = failures_.Enter("RemoveDirectoryA", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  FakeNode& node = *located.node;
  if (!node.IsFolder()) return error::kDirectory;
  if (node.parent == nullptr || (node.attributes & attribute::kReadOnly)) return error::kAccessDenied;
  if (!node.children.empty()) return error::kDirNotEmpty;
  Detach(node);
  return error::kSuccess;
}

Error FakeFiles::TempFileName(const std::string& folder, const std::string& prefix, std::uint32_t unique,
                              std::string& path) {
  path.clear();
  if (const Error injected = failures_.Enter("GetTempFileNameA", folder)) return injected;
  Located located;
  const Error found = LocateExisting(folder, located);
  if (found == error::kFileNotFound || (found == error::kSuccess && !located.node->IsFolder())) {
    return error::kDirectory;
  }
  if (found != error::kSuccess) return found;
  std::string base = folder;
  const std::size_t last = base::FindLastAscii(base, '\\');
  if (base.empty() || last != base.size() - 1) base += '\\';
  base += Leading(prefix, 3);
  const auto nameFor = [](std::uint32_t number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x.tmp", static_cast<unsigned>(number & 0xFFFF));
    return std::string(hex);
  };
  if (unique != 0) {
    path = base + nameFor(unique);
    return error::kSuccess;
  }
  // Like Windows: start from the clock and take the first free number.
  std::uint32_t number = static_cast<std::uint32_t>(clock_.Elapsed() & 0xFFFF);
  for (std::uint32_t tries = 0; tries < 0xFFFF; ++tries) {
    number = number % 0xFFFF + 1;
    const std::string candidate = base + nameFor(number);
    Located free;
    if (Locate(candidate, free) != error::kSuccess) return error::kPathNotFound;
    if (free.node == nullptr) {
      NewNode(*free.parent, free.name, attribute::kArchive);
      path = candidate;
      return error::kSuccess;
    }
  }
  return error::kFileExists;
}

Error FakeFiles::ShortPathName(const std::string& path, std::string& shortPath) {
  shortPath.clear();
  if (const Error injected = failures_.Enter("GetShortPathNameA", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  std::vector<std::string> parts;
  for (FakeNode* node = located.node; node->parent != nullptr; node = node->parent) {
    EnsureShortNames(*node->parent);
    parts.insert(parts.begin(), node->shortName.empty() ? node->name : node->shortName);
  }
  shortPath = JoinPath(path[0], parts);  // the drive letter as the caller spelled it
  return error::kSuccess;
}

Error FakeFiles::GetLastWriteTime(const std::string& path, FileTime& time) {
  time = 0;
  if (const Error injected = failures_.Enter("GetFileTime", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  time = located.node->lastWriteTime;
  return error::kSuccess;
}

Error FakeFiles::SetLastWriteTime(const std::string& path, FileTime time) {
  if (const Error injected = failures_.Enter("SetFileTime", path)) return injected;
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  located.node->lastWriteTime = time;
  return error::kSuccess;
}

Error FakeFiles::ReadContents(const std::string& path, std::string& contents) {
  contents.clear();
  if (const Error injected = failures_.Enter("ReadFile", path)) return injected;
  return Load(path, contents);
}

Error FakeFiles::WriteContents(const std::string& path, const std::string& contents) {
  if (const Error injected = failures_.Enter("WriteFile", path)) return injected;
  Located located;
  if (const Error error = Locate(path, located)) return error;
  if (located.node != nullptr && RefusesReplacement(*located.node)) return error::kAccessDenied;
  return Store(path, contents);
}

Error FakeFiles::Load(const std::string& path, std::string& contents) {
  contents.clear();
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  if (located.node->IsFolder()) return error::kAccessDenied;
  contents = located.node->contents;
  return error::kSuccess;
}

Error FakeFiles::Store(const std::string& path, const std::string& contents) {
  Located located;
  if (const Error error = Locate(path, located)) return error;
  FakeNode* node = located.node;
  if (node != nullptr) {
    if (node->IsFolder() || (node->attributes & attribute::kReadOnly)) {
      return error::kAccessDenied;
    }
    node->attributes |= attribute::kArchive;
  } else {
    node = &NewNode(*located.parent, located.name, attribute::kArchive);
  }
  node->contents = contents;
  node->size = contents.size();
  node->lastWriteTime = clock_.Now();
  return error::kSuccess;
}

Error FakeFiles::MakeFolders(const std::string& path) {
  ParsedPath parsed;
  if (const Error error = ParsePath(path, parsed)) return error;
  const auto volume = volumes_.find(parsed.drive);
  if (volume == volumes_.end()) return error::kPathNotFound;
  FakeNode* folder = volume->second.get();
  for (const std::string& part : parsed.parts) {
    FakeNode* next = Child(*folder, part);
    if (next == nullptr) next = &NewNode(*folder, part, attribute::kDirectory);
    if (!next->IsFolder()) return error::kAlreadyExists;
    folder = next;
  }
  return error::kSuccess;
}

Error FakeFiles::PutFile(const std::string& path, const std::string& contents) {
  ParsedPath parsed;
  if (const Error error = ParsePath(path, parsed)) return error;
  if (parsed.parts.empty()) return error::kAccessDenied;
  parsed.parts.pop_back();
  if (const Error error = MakeFolders(JoinPath(parsed.drive, parsed.parts))) return error;
  return Store(path, contents);
}

Error FakeFiles::SetFileSize(const std::string& path, std::uint64_t size) {
  Located located;
  if (const Error error = LocateExisting(path, located)) return error;
  if (located.node->IsFolder()) return error::kAccessDenied;
  located.node->size = size;
  return error::kSuccess;
}

}  // namespace ov::platform::fake
