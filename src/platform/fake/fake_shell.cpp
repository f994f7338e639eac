#include "platform/fake/fake_shell.h"

#include "base/cp932.h"
#include "base/path_parts.h"

namespace ov::platform::fake {
namespace {

bool HasWildcard(const std::string& name) {
  for (std::size_t pos = 0; pos < name.size(); pos = base::NextChar(name, pos)) {
    if (base::CharLength(name, pos) == 1 && (name[pos] == '*' || name[pos] == '?')) return true;
  }
  return false;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && base::NameStart(folder) == folder.size()) return folder + name;  // ends in "\"
  return folder + "\\" + name;
}

}  // namespace

struct FakeShell::Run {
  std::uint32_t flags = 0;
  bool replaceAll = false;
  bool mergeAll = false;
  bool cancelled = false;
};

bool FakeShell::IsFolder(const std::string& path, bool& exists) {
  std::uint32_t attributes = 0;
  exists = files_.GetAttributes(path, attributes) == error::kSuccess;
  return exists && (attributes & attribute::kDirectory) != 0;
}

bool FakeShell::Expand(const std::string& source, std::uint32_t flags, std::vector<std::string>& paths,
                       Error& error) {
  const std::string name = base::NamePart(source);
  if (!HasWildcard(name)) {
    bool exists = false;
    const bool folder = IsFolder(source, exists);
    if (!exists) {
      error = error::kFileNotFound;
      return false;
    }
    if (!(folder && (flags & shell_flag::kFilesOnly))) paths.push_back(source);
    return true;
  }
  const std::string folder = base::FolderPart(source);
  FindEntry entry;
  std::unique_ptr<FileSearch> search;
  const Error found = files_.FindFirst(source, entry, search);
  if (found == error::kFileNotFound) return true;  // a pattern that matches nothing
  if (found != error::kSuccess) {
    error = found;
    return false;
  }
  do {
    if (entry.name == "." || entry.name == "..") continue;
    if ((entry.attributes & attribute::kDirectory) && (flags & shell_flag::kFilesOnly)) continue;
    paths.push_back(folder + entry.name);
  } while (search->Next(entry) == error::kSuccess);
  return true;
}

FakeShell::Step FakeShell::Confirm(Run& run, ShellQuestion question, const std::string& path, bool& yesToAll) {
  if ((run.flags & shell_flag::kNoConfirmation) || yesToAll) return Step::kGoOn;
  asked_.push_back({question, path});
  const ShellAnswer answer = questions_ != nullptr ? questions_->Ask(question, path) : ShellAnswer::kYes;
  switch (answer) {
    case ShellAnswer::kYesToAll:
      yesToAll = true;
      return Step::kGoOn;
    case ShellAnswer::kYes:
      return Step::kGoOn;
    case ShellAnswer::kNo:
      return Step::kSkip;
    case ShellAnswer::kCancel:
      break;
  }
  run.cancelled = true;
  return Step::kStop;
}

Error FakeShell::CopyTree(const std::string& from, const std::string& to) {
  bool exists = false;
  if (!IsFolder(from, exists)) return files_.Copy(from, to, false);
  bool targetExists = false;
  if (!IsFolder(to, targetExists)) {
    if (const Error error = files_.CreateFolder(to)) return error;
  }
  std::vector<std::string> children;
  Error error = error::kSuccess;
  if (!Expand(Join(from, "*"), 0, children, error)) return error;
  for (const std::string& child : children) {
    if (const Error failed = CopyTree(child, Join(to, base::NamePart(child)))) return failed;
  }
  return error::kSuccess;
}

Error FakeShell::RemoveTree(const std::string& path) {
  bool exists = false;
  if (!IsFolder(path, exists)) return files_.Delete(path);
  std::vector<std::string> children;
  Error error = error::kSuccess;
  if (!Expand(Join(path, "*"), 0, children, error)) return error;
  for (const std::string& child : children) {
    if (const Error failed = RemoveTree(child)) return failed;
  }
  return files_.RemoveFolder(path);
}

Error FakeShell::TransferTo(Run& run, const std::string& from, const std::string& to, bool keepSource) {
  bool sourceExists = false;
  const bool sourceFolder = IsFolder(from, sourceExists);
  if (!sourceExists) return error::kFileNotFound;
  bool targetExists = false;
  const bool targetFolder = IsFolder(to, targetExists);
  if (!targetExists) {
    if (keepSource) return CopyTree(from, to);
    const Error moved = files_.Move(from, to);
    if (moved != error::kNotSameDevice) return moved;
    if (const Error error = CopyTree(from, to)) return error;
    return RemoveTree(from);
  }
  if (replacesWithoutAsking_) return ReplaceWithoutAsking(from, to, sourceFolder, targetFolder, keepSource);
  if (sourceFolder != targetFolder) return error::kAccessDenied;
  if (!sourceFolder) {
    const Step step = Confirm(run, ShellQuestion::kReplaceFile, to, run.replaceAll);
    if (step != Step::kGoOn) return error::kSuccess;
    if (keepSource) return files_.Copy(from, to, false);
    if (const Error error = files_.Delete(to)) return error;
    return files_.Move(from, to);
  }
  const Step step = Confirm(run, ShellQuestion::kMergeFolder, to, run.mergeAll);
  if (step != Step::kGoOn) return error::kSuccess;
  std::vector<std::string> children;
  Error error = error::kSuccess;
  if (!Expand(Join(from, "*"), 0, children, error)) return error;
  for (const std::string& child : children) {
    if (const Error failed = TransferTo(run, child, Join(to, base::NamePart(child)), keepSource)) return failed;
    if (run.cancelled) return error::kSuccess;
  }
  if (!keepSource) files_.RemoveFolder(from);  // stays when the user kept some of its entries
  return error::kSuccess;
}

Error FakeShell::ReplaceWithoutAsking(const std::string& from, const std::string& to, bool sourceFolder,
                                      bool targetFolder, bool keepSource) {
  if (targetFolder) return error::kSuccess;  // kept in its source, and no word of it
  if (const Error error = files_.Delete(to)) return error;
  if (keepSource) return CopyTree(from, to);
  if (!sourceFolder) return files_.Move(from, to);
  const Error moved = files_.Move(from, to);
  if (moved != error::kNotSameDevice) return moved;
  if (const Error error = CopyTree(from, to)) return error;
  return RemoveTree(from);
}

Error FakeShell::Transfer(Run& run, const std::string& from, const std::string& toFolder, bool keepSource) {
  return TransferTo(run, from, Join(toFolder, base::NamePart(from)), keepSource);
}

ShellFileResult FakeShell::FileOperation(const ShellFileOperation& operation) {
  operations_.push_back(operation);
  ShellFileResult result;
  const std::string first = operation.sources.empty() ? std::string() : operation.sources.front();
  if (const Error injected = failures_.Enter("SHFileOperationA", first, operation.destination)) {
    result.code = static_cast<int>(injected);
    return result;
  }
  Run run;
  run.flags = operation.flags;
  bool anyWildcard = false;
  std::vector<std::string> items;
  for (const std::string& source : operation.sources) {
    anyWildcard = anyWildcard || HasWildcard(base::NamePart(source));
    Error error = error::kSuccess;
    if (!Expand(source, operation.flags, items, error)) {
      result.code = static_cast<int>(error);
      return result;
    }
  }
  if (operation.sources.empty()) {
    result.code = static_cast<int>(error::kFileNotFound);
    return result;
  }

  Error error = error::kSuccess;
  switch (operation.function) {
    case shell_function::kMove:
    case shell_function::kCopy: {
      const bool keep = operation.function == shell_function::kCopy;
      bool exists = false;
      const bool folder = IsFolder(operation.destination, exists);
      if (!folder && operation.sources.size() == 1 && !anyWildcard && items.size() == 1) {
        error = TransferTo(run, items.front(), operation.destination, keep);  // a new name
        break;
      }
      if (!folder) {
        if (exists) {
          error = error::kAccessDenied;
          break;
        }
        bool createAll = (operation.flags & shell_flag::kNoConfirmMkdir) != 0;
        const Step step = Confirm(run, ShellQuestion::kCreateFolder, operation.destination, createAll);
        if (step != Step::kGoOn) break;
        if ((error = files_.MakeFolders(operation.destination)) != error::kSuccess) break;
      }
      for (const std::string& item : items) {
        if ((error = Transfer(run, item, operation.destination, keep)) != error::kSuccess || run.cancelled) break;
      }
      break;
    }
    case shell_function::kDelete: {
      bool confirmed = false;
      if (items.empty()) break;
      if (Confirm(run, ShellQuestion::kDeleteItems, items.front(), confirmed) != Step::kGoOn) break;
      for (const std::string& item : items) {
        bool exists = false;
        const bool folder = IsFolder(item, exists);
        if ((error = RemoveTree(item)) != error::kSuccess) break;
        if (operation.flags & shell_flag::kAllowUndo) recycled_.push_back({item, folder});
      }
      break;
    }
    case shell_function::kRename:
      error = items.size() == 1 ? files_.Move(items.front(), operation.destination) : error::kInvalidParameter;
      break;
    default:
      error = error::kInvalidParameter;
      break;
  }
  if (run.cancelled) {
    result.code = kShellCancelled;
    result.aborted = true;
  } else {
    result.code = static_cast<int>(error);
  }
  return result;
}

}  // namespace ov::platform::fake
