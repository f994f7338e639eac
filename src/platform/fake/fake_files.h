// The files and folders of the in-memory Windows: volumes of nodes, each folder indexing
// its children by folded name (and by short name), so that lookups and renames cost a
// map access even in a folder of 100,000 files. Short names are drawn when first needed:
// a lookup of a name with "~", a search, or GetShortPathNameA.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_failures.h"
#include "platform/fake/fake_names.h"
#include "platform/platform.h"

namespace ov::platform::fake {

struct FakeNode {
  std::string name;       // as created
  std::string shortName;  // 8.3 alias; empty when the name is already 8.3
  std::uint32_t attributes = 0;
  FileTime lastWriteTime = 0;
  std::uint64_t size = 0;  // the contents' size unless a test set a larger one
  std::string contents;
  FakeNode* parent = nullptr;
  std::map<std::string, std::unique_ptr<FakeNode>> children;  // folded name -> child
  std::map<std::string, FakeNode*> shortNames;                // folded short name -> child
  bool shortNamesCurrent = true;  // every child that needs a short name has one

  bool IsFolder() const { return (attributes & attribute::kDirectory) != 0; }
};

class FakeFiles : public FileApi {
 public:
  FakeFiles(FakeClock& clock, FakeFailures& failures);

  Error GetAttributes(const std::string& path, std::uint32_t& attributes) override;
  Error SetAttributes(const std::string& path, std::uint32_t attributes) override;
  Error FindFirst(const std::string& pattern, FindEntry& first, std::unique_ptr<FileSearch>& search) override;
  Error Move(const std::string& from, const std::string& to) override;
  Error Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  Error Delete(const std::string& path) override;
  Error CreateFolder(const std::string& path) override;
  Error RemoveFolder(const std::string& path) override;
  Error TempFileName(const std::string& folder, const std::string& prefix, std::uint32_t unique,
                     std::string& path) override;
  Error ShortPathName(const std::string& path, std::string& shortPath) override;
  Error GetLastWriteTime(const std::string& path, FileTime& time) override;
  Error SetLastWriteTime(const std::string& path, FileTime time) override;
  Error ReadContents(const std::string& path, std::string& contents) override;
  Error WriteContents(const std::string& path, const std::string& contents) override;

  // Test set-up, outside the call log and the failure rules.
  // Adds an empty volume (the fake starts with C:).
  void AddVolume(char drive);
  // Creates the folder and any missing folders above it.
  Error MakeFolders(const std::string& path);
  // Creates or replaces a file, making its folders.
  Error PutFile(const std::string& path, const std::string& contents);
  // Gives a file a size beyond its contents (a 5 GB file costs nothing).
  Error SetFileSize(const std::string& path, std::uint64_t size);
  // Windows on NTFS shows the new spelling when a rename changes only the case of a name,
  // and so does the fake; told otherwise, it keeps the old one as Wine does.
  void SetCaseOnlyRenameChangesName(bool changes) { caseOnlyRenameChangesName_ = changes; }

  // The same file access without the call log: the profile functions read and write
  // their files through these.
  Error Load(const std::string& path, std::string& contents);
  Error Store(const std::string& path, const std::string& contents);

 private:
  struct Located {
    FakeNode* parent = nullptr;  // the folder that holds (or would hold) the node
    FakeNode* node = nullptr;    // null when the last part does not exist
    std::string name;            // the last part as given
  };
  // kPathNotFound when a folder on the way is missing; a missing last part is not an error.
  Error Locate(const std::string& path, Located& located, bool keepLast = false);
  Error LocateExisting(const std::string& path, Located& located);
  FakeNode* Child(FakeNode& folder, const std::string& name);
  void EnsureShortNames(FakeNode& folder);
  FakeNode& Attach(FakeNode& folder, std::unique_ptr<FakeNode> node);
  std::unique_ptr<FakeNode> Detach(FakeNode& node);
  FakeNode& NewNode(FakeNode& folder, const std::string& name, std::uint32_t attributes);
  void AssignShortName(FakeNode& folder, FakeNode& node);

  FakeClock& clock_;
  FakeFailures& failures_;
  std::map<char, std::unique_ptr<FakeNode>> volumes_;
  bool caseOnlyRenameChangesName_ = true;
};

}  // namespace ov::platform::fake
