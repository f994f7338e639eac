#include "shellext/tools/safe_rename_batch.h"

#include <map>
#include <set>

#include "base/path_parts.h"

namespace ov::shellext {

const char kTempNamePrefix[] = "RNF";
const char kTempNameFailedMessage[] = "一時的なファイル名の生成に失敗しました";
const char kRenameFailedMessage[] = "リネームに失敗しました";

namespace {

// Where each file of the batch is to be found now, and which files may still be moved
// aside: those not yet processed that are to be renamed. A file that got its new name, or
// failed to, or keeps its name, is never moved aside again, since it would be left under a
// temporary name that nothing renames; a later file wanting its name fails instead.
// Lookups go through an ordered index by the name comparison, so a batch of 100,000 files
// costs O(log n) comparisons per lookup rather than a scan of the list.
class WorkingList {
 public:
  WorkingList(platform::SystemApi& system, const std::vector<std::string>& batch)
      : paths_(batch), index_(NoCaseLess{&system}) {}

  const std::string& operator[](std::size_t k) const { return paths_[k]; }

  void AllowMoveAside(std::size_t k) { index_[paths_[k]].insert(k); }

  // Index of the first file that may be moved aside and is found under path, or npos.
  std::size_t FindMovable(const std::string& path) const {
    const auto found = index_.find(path);
    return found == index_.end() ? npos : *found->second.begin();
  }

  // File k is now found under path; done says whether it has been processed.
  void Update(std::size_t k, const std::string& path, bool done) {
    const auto old = index_.find(paths_[k]);
    if (old != index_.end() && old->second.erase(k) != 0) {
      if (old->second.empty()) index_.erase(old);
      if (!done) index_[path].insert(k);
    }
    paths_[k] = path;
  }

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  struct NoCaseLess {
    platform::SystemApi* system;
    bool operator()(const std::string& a, const std::string& b) const { return system->CompareNoCase(a, b) < 0; }
  };

  std::vector<std::string> paths_;
  std::map<std::string, std::set<std::size_t>, NoCaseLess> index_;
};

std::string RenameFailed(const std::string& from, const std::string& toName) {
  return std::string(kRenameFailedMessage) + "\r\nFrom: " + base::NamePart(from) + "\r\nTo: " + toName;
}

}  // namespace

void SafeRenameBatch(platform::Platform& platform, const std::vector<std::string>& batch,
                     const std::vector<std::size_t>& order, const NewNameFunction& newName,
                     const MessageFunction& showMessage) {
  platform::FileApi& files = platform.Files();
  platform::SystemApi& system = platform.System();
  WorkingList working(system, batch);

  // Every new name is known before the first rename: whether a file stays where it is
  // decides whether it may be moved aside.
  std::vector<std::string> names(batch.size());
  std::vector<std::string> targets(batch.size());
  std::vector<bool> renamed(batch.size(), false);  // to be renamed: a valid new name of its own
  for (std::size_t position = 0; position < order.size(); ++position) {
    const std::size_t k = order[position];
    names[k] = newName(k, position);
    targets[k] = base::FolderPart(batch[k]) + names[k];
    renamed[k] = system.CompareNoCase(batch[k], targets[k]) != 0 && base::IsValidFileName(names[k]);
    if (renamed[k]) working.AllowMoveAside(k);
  }

  for (const std::size_t k : order) {
    const std::string current = working[k];
    const std::string& target = targets[k];
    working.Update(k, current, true);
    if (system.CompareNoCase(current, target) == 0) continue;
    if (!renamed[k]) {
      // A name that would leave the folder, name a device or be cut by Windows.
      showMessage(RenameFailed(current, names[k]));
      continue;
    }

    const std::size_t holder = working.FindMovable(target);
    if (holder != WorkingList::npos) {
      std::string temporary;
      if (files.TempFileName(base::FolderPart(target), kTempNamePrefix, 0, temporary) != platform::error::kSuccess) {
        showMessage(kTempNameFailedMessage);
        return;
      }
      temporary = temporary.substr(0, temporary.find('\0'));
      // A failure here is silent: the rename below then fails on the occupied target. So
      // does a holder that has become a folder: it is no longer the file the user chose.
      if (files.Delete(temporary) == platform::error::kSuccess && !platform::FolderExists(files, target) &&
          files.Move(target, temporary) == platform::error::kSuccess) {
        working.Update(holder, temporary, false);
      }
    }

    // Checked right before the rename: a file replaced by a folder meanwhile is not renamed.
    if (!platform::FolderExists(files, current) && files.Move(current, target) == platform::error::kSuccess) {
      working.Update(k, target, true);
    } else {
      showMessage(RenameFailed(current, names[k]));
    }
  }
}

}  // namespace ov::shellext
