#include "shellext/tools/safe_rename_batch.h"

#include <map>
#include <set>

#include "base/path_parts.h"

namespace ov::shellext {

const char kTempNamePrefix[] = "RNF";
const char kTempNameFailedMessage[] = "一時的なファイル名の生成に失敗しました";
const char kRenameFailedMessage[] = "リネームに失敗しました";

namespace {

// Where each file of the batch is to be found now. Lookups by path use the name
// comparison's equality through an ordered index, so a batch of 100,000 files costs
// O(log n) comparisons per lookup rather than a scan of the list.
class WorkingList {
 public:
  WorkingList(platform::SystemApi& system, const std::vector<std::string>& batch)
      : paths_(batch), index_(NoCaseLess{&system}) {
    for (std::size_t k = 0; k < paths_.size(); ++k) index_[paths_[k]].insert(k);
  }

  const std::string& operator[](std::size_t k) const { return paths_[k]; }

  // Index of the first entry equal to path, or npos.
  std::size_t FindFirst(const std::string& path) const {
    const auto found = index_.find(path);
    return found == index_.end() ? npos : *found->second.begin();
  }

  void Replace(std::size_t k, const std::string& path) {
    const auto old = index_.find(paths_[k]);
    old->second.erase(k);
    if (old->second.empty()) index_.erase(old);
    paths_[k] = path;
    index_[path].insert(k);
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

}  // namespace

void SafeRenameBatch(platform::Platform& platform, const std::vector<std::string>& batch,
                     const std::vector<std::size_t>& order, const NewNameFunction& newName,
                     const MessageFunction& showMessage) {
  platform::FileApi& files = platform.Files();
  platform::SystemApi& system = platform.System();
  WorkingList working(system, batch);

  for (std::size_t position = 0; position < order.size(); ++position) {
    const std::size_t k = order[position];
    const std::string current = working[k];
    const std::string target = base::FolderPart(current) + newName(k, position);
    if (system.CompareNoCase(current, target) == 0) continue;

    const std::size_t holder = working.FindFirst(target);
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
        working.Replace(holder, temporary);
      }
    }

    // Checked right before the rename: a file replaced by a folder meanwhile is not renamed.
    if (platform::FolderExists(files, current) || files.Move(current, target) != platform::error::kSuccess) {
      showMessage(std::string(kRenameFailedMessage) + "\r\nFrom: " + base::NamePart(current) +
                  "\r\nTo: " + base::NamePart(target));
    }
  }
}

}  // namespace ov::shellext
