// The shell's file operation of the in-memory Windows. It moves, copies, deletes and
// renames on the fake volumes through the fake's own file calls, so their failure rules
// and call log apply inside an operation too. The questions the real shell asks in its
// own dialogs (replace a file? merge a folder? delete these items?) go to a callback that
// the ui layer or a test provides; FOF_NOCONFIRMATION answers them all with yes.
#pragma once

#include <string>
#include <vector>

#include "platform/fake/fake_failures.h"
#include "platform/fake/fake_files.h"
#include "platform/platform.h"

namespace ov::platform::fake {

enum class ShellQuestion {
  kReplaceFile,   // a file of that name exists in the target folder
  kMergeFolder,   // a folder of that name exists in the target folder
  kCreateFolder,  // the destination folder of several sources does not exist
  kDeleteItems,   // confirm deletion (asked once per operation)
};

enum class ShellAnswer { kYes, kYesToAll, kNo, kCancel };

class ShellQuestions {
 public:
  virtual ~ShellQuestions() = default;
  // path is the existing target (or the items' first path for kDeleteItems).
  virtual ShellAnswer Ask(ShellQuestion question, const std::string& path) = 0;
};

// SHFileOperationA's result when the user cancels (ERROR_CANCELLED).
constexpr int kShellCancelled = 1223;

// One item moved to the recycle bin by a delete with FOF_ALLOWUNDO.
struct RecycledItem {
  std::string path;  // where it was
  bool folder = false;
};

struct AskedQuestion {
  ShellQuestion question;
  std::string path;
};

class FakeShell : public ShellApi {
 public:
  FakeShell(FakeFiles& files, FakeFailures& failures) : files_(files), failures_(failures) {}

  ShellFileResult FileOperation(const ShellFileOperation& operation) override;

  // Who answers the questions; without one every question is answered yes (the default
  // button of the shell's dialogs). Not owned.
  void SetQuestions(ShellQuestions* questions) { questions_ = questions; }
  // Wine's shell: a move or copy onto a taken name asks nothing. A file replaces a file, a
  // folder replaces a file, a file stays where it is before a folder, and a folder stays
  // unmerged before a folder.
  void SetReplacesWithoutAsking(bool replaces) { replacesWithoutAsking_ = replaces; }
  bool AsksBeforeReplacing() override { return !replacesWithoutAsking_; }
  // Every operation requested and every question asked, in order.
  const std::vector<ShellFileOperation>& Operations() const { return operations_; }
  const std::vector<AskedQuestion>& Asked() const { return asked_; }
  const std::vector<RecycledItem>& RecycleBin() const { return recycled_; }

 private:
  enum class Step { kGoOn, kSkip, kStop };
  struct Run;

  bool Expand(const std::string& source, std::uint32_t flags, std::vector<std::string>& paths, Error& error);
  Step Confirm(Run& run, ShellQuestion question, const std::string& path, bool& yesToAll);
  Error Transfer(Run& run, const std::string& from, const std::string& toFolder, bool keepSource);
  Error TransferTo(Run& run, const std::string& from, const std::string& to, bool keepSource);
  Error ReplaceWithoutAsking(const std::string& from, const std::string& to, bool sourceFolder, bool targetFolder,
                             bool keepSource);
  Error CopyTree(const std::string& from, const std::string& to);
  Error RemoveTree(const std::string& path);
  bool IsFolder(const std::string& path, bool& exists);

  FakeFiles& files_;
  FakeFailures& failures_;
  ShellQuestions* questions_ = nullptr;
  bool replacesWithoutAsking_ = false;
  std::vector<ShellFileOperation> operations_;
  std::vector<AskedQuestion> asked_;
  std::vector<RecycledItem> recycled_;
};

}  // namespace ov::platform::fake
