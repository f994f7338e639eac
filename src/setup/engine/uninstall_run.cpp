#include "setup/engine/uninstall_run.h"

#include <exception>

#include "base/cp932.h"
#include "base/path_parts.h"
#include "setup/engine/uninstall_record.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

using platform::Error;
namespace error = platform::error;

constexpr const char* kDone = "完了";
constexpr const char* kPartlyFailed = "一部失敗";
constexpr const char* kCrLf = "\r\n";
constexpr const char* kRestartNote = "(追加情報)このファイルはWindowsの再起動後に削除が試行されます。\r\n";

bool IsSingle(const std::string& text, std::size_t i, char c) {
  return text[i] == c && base::CharLength(text, i) == 1;
}

bool HasWildcard(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); i = base::NextChar(text, i)) {
    if (IsSingle(text, i, '*') || IsSingle(text, i, '?')) return true;
  }
  return false;
}

// Length of "X:\" or "\\server\share\" at the start of a path ("/" already read as "\");
// 0 when the path is not a full one.
std::size_t RootLength(const std::string& text) {
  if (text.size() >= 3 && text[1] == ':' && text[2] == '\\' &&
      ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
    return 3;
  }
  if (text.rfind("\\\\", 0) != 0) return 0;
  const std::size_t server = base::FindAscii(text, '\\', 2);
  if (server == std::string::npos || server == 2) return 0;
  const std::size_t share = base::FindAscii(text, '\\', server + 1);
  if (share == std::string::npos || share == server + 1) return 0;
  return share + 1;
}

// The text after the first ",", whole.
std::string AfterFirstComma(const std::string& text) {
  const std::size_t comma = text.find(',');
  return comma == std::string::npos ? std::string() : text.substr(comma + 1);
}

}  // namespace

UninstallRun::UninstallRun(EngineContext& context, const StartupValues& startup, UninstallRunView& view)
    : context_(context), startup_(startup), view_(view) {}

std::string UninstallRun::Record(const char* section, const char* key) {
  return ReadProfileString(context_.platform.Profile(), section, key, "", startup_.scriptCopy);
}

std::vector<std::string> UninstallRun::List(const char* section, const char* prefix) {
  std::vector<std::string> values;
  for (int n = 1;; ++n) {
    std::string value = Record(section, (prefix + std::to_string(n)).c_str());
    if (value.empty()) break;
    values.push_back(std::move(value));
  }
  return values;
}

bool UninstallRun::Contains(const std::string& text, const std::string& part) {
  return !part.empty() && FindNoCase(context_.platform.System(), part, text) != 0;
}

std::string UninstallRun::Normalized(const std::string& path) {
  std::string text = path;
  for (std::size_t i = 0; i < text.size(); i = base::NextChar(text, i)) {
    if (IsSingle(text, i, '/')) text[i] = '\\';
  }
  const std::size_t start = RootLength(text);
  if (start == 0) return std::string();
  std::vector<std::string> names;
  std::string name;
  auto close = [&] {
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (name != "." && !name.empty()) {
      // Windows drops trailing dots and blanks of a name.
      std::size_t end = name.size();
      while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ') && base::IsCharStart(name, end - 1)) --end;
      if (end > 0) names.push_back(name.substr(0, end));
    }
    name.clear();
  };
  bool folder = false;  // the path ends with "\"
  for (std::size_t i = start; i < text.size(); i = base::NextChar(text, i)) {
    folder = IsSingle(text, i, '\\');
    if (folder) {
      close();
    } else {
      name.append(text, i, base::CharLength(text, i));
    }
  }
  close();
  std::string result = text.substr(0, start);
  for (std::size_t i = 0; i < names.size(); ++i) result += names[i] + (i + 1 < names.size() || folder ? "\\" : "");
  return result;
}

bool UninstallRun::Protected(const std::string& folder) {
  platform::SystemApi& system = context_.platform.System();
  const std::string path = Normalized(EnsureSeparator(folder, "B"));
  if (path.empty()) return true;
  if (RootLength(path) == path.size()) return true;  // a drive root or a network share
  const std::string upper = system.UpperCase(path);
  static constexpr Macro kKept[] = {Macro::kWin, Macro::kSys, Macro::kTmp, Macro::kSmn, Macro::kSta,
                                    Macro::kDsk, Macro::kSup, Macro::kSen, Macro::kMyd, Macro::kCSmn,
                                    Macro::kCSta, Macro::kCDsk, Macro::kCSup, Macro::kCMyd, Macro::kPrg};
  for (Macro macro : kKept) {
    const std::string kept = Normalized(EnsureSeparator(context_.folders[macro], "B"));
    if (kept.empty()) continue;
    // The folder itself, or one above it.
    if (system.UpperCase(kept).rfind(upper, 0) == 0) return true;
  }
  return false;
}

bool UninstallRun::InWorkFolder(const std::string& path) {
  platform::SystemApi& system = context_.platform.System();
  const std::string work = system.UpperCase(Normalized(EnsureSeparator(startup_.workFolder, "B")));
  return !work.empty() && (system.UpperCase(Normalized(path)) + "\\").rfind(work, 0) == 0;
}

bool UninstallRun::InUse(const std::string& path) {
  platform::SystemApi& system = context_.platform.System();
  const std::string upper = system.UpperCase(Normalized(path));
  const std::string work = system.UpperCase(Normalized(EnsureSeparator(startup_.workFolder, "B")));
  if (InWorkFolder(path)) return true;
  if (!work.empty() && work.rfind(EnsureSeparator(upper, "B"), 0) == 0) return true;  // above the work folder
  const std::string uninstaller = system.UpperCase(Normalized(context_.folders[Macro::kWin] + kUninstallerName));
  return !uninstaller.empty() && upper == uninstaller;
}

void UninstallRun::Show() {
  view_.SetStatusText(statusLog_);
  view_.ProcessMessages();
}

void UninstallRun::NextStep(const std::string& name) {
  statusLog_ += result_ + kCrLf + name + startup_.unSetupString + "処理．．．";
  result_ = kDone;
  Show();
}

void UninstallRun::Fail(const std::string& lines) {
  details_ += lines;
  result_ = kPartlyFailed;
  ++failures_;
}

bool UninstallRun::Ask(const std::string& text) {
  return ShowMessageBox(context_, text, "ファイル削除の確認", box::kQuestion) == box::kYes;
}

UninstallEnd UninstallRun::Run() {
  try {
    if (!Prepare()) return UninstallEnd::kNoFolder;
    RemoveFiles("DeleteFile", true);
    RemoveFiles("AddDeleteFile", false);
    RemoveShortcuts();
    RemoveFolders();
    RemoveRegistryKeys();
    RestoreAssociations();
    RemoveUninstallEntry();
    RemoveInstallFolder();
    OfferFailureDetails();
  } catch (const std::exception&) {
    // Nothing of the run may take the uninstaller down; what was removed stays removed.
    statusLog_ += std::string(kCrLf) + kPartlyFailed + kCrLf;
  }
  Complete();
  return UninstallEnd::kCompleted;
}

bool UninstallRun::Prepare() {
  const std::string& u = startup_.unSetupString;
  statusLog_ = u + "を行っています。" + kCrLf + kCrLf + "【処理状況】" + kCrLf;
  choices_ = view_.ReadChoices();
  view_.DisableOptions();
  if (choices_.desktopChecked) {
    if (choices_.startMenuVisible || choices_.startUpVisible || choices_.sendToVisible) {
      patterns_ += "*.INI|";
    } else {
      deleteAll_ = true;
    }
  }
  if (choices_.startMenuChecked) patterns_ += "*.GID|";
  view_.ShowStatusWindow();
  Show();

  if (choices_.folder.empty()) {
    ShowMessageBox(context_, u + "フォルダが不明です。" + kCrLf + u + "は続行できません。", "致命的エラー", box::kStop);
    // Nothing is removed; the button that ends the program must still be there.
    view_.ShowCompletionButton(u + "完了(&E)");
    return false;
  }
  SetInstallFolder(context_.folders, choices_.folder, false);
  installFolder_ = context_.folders[Macro::kApp];

  const std::string id = Record("ProgramID", "ID");
  if (!id.empty()) {
    context_.platform.Profile().WriteString(id.c_str(), nullptr, nullptr,
                                            context_.folders[Macro::kWin] + kMachineRecordName);
  }

  statusLog_ += "ファイルの" + u + "処理．．．";
  result_ = kDone;
  // No folder that is to go may be the process's current folder.
  const std::string temp = context_.folders[Macro::kTmp];
  if (const Error moved = context_.platform.InstallFiles().SetCurrentFolder(temp)) {
    Fail("<CurrentFolder> " + temp + kCrLf + SystemErrorText(context_, moved) + kCrLf);
  }
  Show();
  return true;
}

Error UninstallRun::DeleteEntry(const std::string& entryPath) {
  const std::string path = Normalized(entryPath);
  if (path.empty()) return error::kInvalidName;
  const std::string folder = base::FolderPart(path);
  const std::string name = path.substr(folder.size());
  if (HasWildcard(folder)) return error::kInvalidName;
  if (HasWildcard(name)) {
    if (InWorkFolder(folder)) return error::kSharingViolation;
    // In a drive root or a folder of the system or the user, a pattern takes files only:
    // "(App)*.*" of a package installed into "C:\" must not take the drive with it.
    if (Protected(folder) || InUse(folder)) return DeleteMatchingFiles(path);
    return DeleteFileSilently(context_, path);
  }
  if (name.empty() || InUse(path)) return name.empty() ? error::kAccessDenied : error::kSharingViolation;
  std::uint32_t attributes = 0;
  if (context_.platform.Files().GetAttributes(path, attributes) == error::kSuccess &&
      (attributes & platform::attribute::kDirectory) && Protected(path)) {
    return error::kAccessDenied;
  }
  return DeleteFileSilently(context_, path);
}

Error UninstallRun::DeleteMatchingFiles(const std::string& pattern) {
  const std::string folder = base::FolderPart(pattern);
  platform::ShellFileOperation operation;
  operation.ownerWindow = context_.mainWindow;
  operation.function = platform::shell_function::kDelete;
  operation.flags = platform::shell_flag::kSilent | platform::shell_flag::kNoConfirmation |
                    platform::shell_flag::kNoErrorUi | platform::shell_flag::kFilesOnly;
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  const Error found = context_.platform.Files().FindFirst(pattern, entry, search);
  if (found == error::kFileNotFound || found == error::kNoMoreFiles) return error::kSuccess;
  if (found != error::kSuccess) return found;
  do {
    const std::string path = folder + entry.name;
    // Folders stay, and so does the running uninstaller.
    if ((entry.attributes & platform::attribute::kDirectory) == 0 && !InUse(path)) operation.sources.push_back(path);
  } while (search->Next(entry) == error::kSuccess);
  if (operation.sources.empty()) return error::kSuccess;
  return static_cast<Error>(context_.platform.Shell().FileOperation(operation).code);
}

FileDecision UninstallRun::DecideFile(const std::string& entry) {
  platform::SystemApi& system = context_.platform.System();
  FileDecision decision;
  decision.path = FieldOf(entry, ',', 1);
  decision.flags = FieldOf(entry, ',', 2);
  const std::string& path = decision.path;
  auto flag = [&](const char* text) { return FindNoCase(system, text, decision.flags) != 0; };
  enum class Action { kDelete, kKeep } action = Action::kDelete;

  const std::int32_t count = GetSharedDllCount(context_, path);
  if (count == 0) {
    if (flag("/C")) {
      action = Ask(path + kCrLf + kCrLf + "このファイルを削除してもよろしいですか？" + kCrLf + kCrLf +
                   "<<　注意　>>" + kCrLf + "DLL/OCXなどは他のプログラムでも使用される可能性があります。" + kCrLf +
                   "確実に使用されないことがわかっている場合のみ削除してください。")
                   ? Action::kDelete
                   : Action::kKeep;
    } else if (flag("/L")) {
      action = Action::kKeep;
    } else if (IsComponentFile(context_, path) &&
               (Contains(path, context_.folders[Macro::kWin]) || Contains(path, context_.folders[Macro::kSys]))) {
      action = Ask(path + kCrLf + kCrLf + "このDLL/OCXファイルは、共有登録されていませんが、" + kCrLf +
                   "今後、他のプログラムで使われる可能性があります。" + kCrLf + "このファイルを削除してもよろしいですか？")
                   ? Action::kDelete
                   : Action::kKeep;
    }
  } else if (flag("/S")) {
    std::int32_t next = 0;
    try {
      next = ChangeSharedDllCount(context_, path, false);
    } catch (const RegistryWriteError& failed) {
      // The count stays as it was: other programs still count on the file.
      decision.result = failed.code();
      decision.flags += "/L";
      return decision;
    }
    if (next != 0) {
      action = Action::kKeep;
    } else {
      if (channel_ != "Delete" && channel_ != "Save") {
        channel_.clear();
        static const char* const kAnswers[] = {"Yes", "No", "Delete", "Save"};
        channel_ = kAnswers[static_cast<int>(view_.AskSharedFile(
            path + kCrLf + kCrLf + "この共有ファイルは、現在、他のどのプログラムからも使われていません。" + kCrLf +
            "しかし、今後、他のプログラムで使われる可能性があります。" + kCrLf +
            "このファイルを削除してもよろしいですか？"))];
      }
      action = channel_ == "Delete" || channel_ == "Yes" ? Action::kDelete : Action::kKeep;
    }
  } else {
    action = Action::kKeep;
  }

  if (action == Action::kKeep) {
    decision.flags += "/L";
    return decision;
  }
  decision.result = DeleteEntry(path);
  const std::string normal = Normalized(path);
  // A refused entry (not a full path, a pattern in a folder of its own, the program's own
  // files, a folder) is not handed to the restart either.
  if (!flag("/F") || normal.empty() || HasWildcard(normal) || InUse(normal) ||
      decision.result == error::kInvalidName) {
    return decision;
  }
  std::uint32_t attributes = 0;
  const bool exists = context_.platform.Files().GetAttributes(normal, attributes) == error::kSuccess;
  if (exists && (attributes & platform::attribute::kDirectory)) return decision;  // files only
  if (decision.result != 0) {
    DeleteAtRestart(context_, normal);
    decision.scheduled = true;
  } else if (exists && !flag("/L")) {
    decision.result = error::kAccessDenied;
    DeleteAtRestart(context_, normal);
    decision.scheduled = true;
  }
  return decision;
}

void UninstallRun::RemoveFiles(const char* section, bool counted) {
  for (const std::string& entry : List(section, "File")) {
    FileDecision decision = DecideFile(entry);
    if (counted && decision.result != 0) {
      Fail("<File> " + decision.path + kCrLf + SystemErrorText(context_, decision.result) +
           (decision.scheduled ? kRestartNote : "") + kCrLf);
    }
    decisions_.push_back(std::move(decision));
  }
}

void UninstallRun::RemoveShortcuts() {
  NextStep("ショートカットの");
  static constexpr Macro kShortcutFolders[] = {Macro::kSta,  Macro::kDsk,  Macro::kSup, Macro::kSen,
                                               Macro::kCSta, Macro::kCDsk, Macro::kCSup};
  for (const std::string& path : List("DeleteShortCut", "File")) {
    if (const Error failed = DeleteEntry(path)) {
      Fail("<ShortCut> " + path + kCrLf + SystemErrorText(context_, failed) + kCrLf);
    }
    const std::string normal = Normalized(path);
    if (normal.empty()) continue;
    const std::string folder = base::FolderPart(normal);
    bool kept = Protected(folder) || InUse(folder);
    for (Macro macro : kShortcutFolders) kept = kept || folder == context_.folders[macro];
    // A program group left empty in the Start menu goes with its last shortcut.
    if (!kept) DeleteFolderContents(context_, folder, "");
  }
}

void UninstallRun::RemoveFolders() {
  NextStep("フォルダの");
  const std::vector<std::string> folders = List("DeleteFolder", "Folder");
  const std::string install = Normalized(installFolder_);
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    const std::string folder = Normalized(EnsureSeparator(*it, "B"));
    if (folder.empty()) {
      Fail("<Folder> " + *it + kCrLf + SystemErrorText(context_, error::kInvalidName) + kCrLf);
      continue;
    }
    if (Protected(folder) || InUse(folder)) continue;
    const bool holdsInstall = Contains(folder, install);
    const Error code = DeleteFolderContents(context_, folder, holdsInstall ? patterns_ : std::string());
    if (holdsInstall && deleteAll_) continue;  // the whole tree goes with the install folder
    if (code != error::kSuccess) Fail("<Folder> " + *it + kCrLf + SystemErrorText(context_, code) + kCrLf);
  }
}

void UninstallRun::RemoveRegistryKeys() {
  NextStep("レジストリの");
  for (const std::string& value : List("DeleteRegistry", "Key")) {
    if (value.size() >= 7 && value[0] == '(' && value[6] == ')') {
      // The path as the install run reads it: a "\" after the root token or at the end is
      // no part of the key's name.
      DeleteRegistryKey(context_, value.substr(0, 7), DropSeparator(DropSeparator(value.substr(7), "T"), "B"));
    } else {
      DeleteRegistryKey(context_, "(Cuser)", value);
    }
  }
}

void UninstallRun::RestoreAssociations() {
  NextStep("関連付けの");
  platform::RegistryApi& registry = context_.platform.Registry();
  platform::SystemApi& system = context_.platform.System();
  for (const std::string& value : List("RestoreRelate", "Key")) {
    const std::string extension = FieldOf(value, ',', 1);
    std::string previous = AfterFirstComma(value);
    // An extension is one name; anything else would reach other keys of the classes.
    if (extension.empty() || extension.find('\\') != std::string::npos) continue;
    bool restored = false;
    if (!previous.empty()) {
      platform::RegKey key;
      if (platform::RegKey::Open(registry, platform::reg_root::kClassesRoot, "." + extension, key) ==
          error::kSuccess) {
        platform::SetStringValue(registry, key.Get(), "", previous);
        restored = true;
      }
    }
    if (!restored) previous.clear();
    if (previous.empty()) DeleteRegistryKey(context_, "(Class)", "." + extension);
    const std::string type = extension + "_auto_file";
    if (system.UpperCase(previous) != system.UpperCase(type)) DeleteRegistryKey(context_, "(Class)", type);
  }
}

void UninstallRun::RemoveUninstallEntry() {
  statusLog_ += result_ + kCrLf + "「プログラム(アプリケーション)の追加と削除」の処理．．．";
  result_ = kDone;
  Show();
  const std::string key = Record("UnSetupRegistryKey", "Key");
  // Only an entry of the list, never the list itself or a key elsewhere.
  const std::string prefix = kUninstallKeyPrefix;
  platform::SystemApi& system = context_.platform.System();
  if (key.size() > prefix.size() && system.UpperCase(key.substr(0, prefix.size())) == system.UpperCase(prefix)) {
    DeleteRegistryKey(context_, "(Local)", key);
  }
}

void UninstallRun::RemoveInstallFolder() {
  const std::string& s = startup_.setupString;
  statusLog_ += result_ + kCrLf + s + "フォルダの" + startup_.unSetupString + "処理．．．";
  result_ = kDone;
  Show();
  const std::string folder = Normalized(installFolder_);
  Error code = error::kSuccess;
  if (!Protected(folder) && !InUse(folder)) {
    std::uint32_t attributes = 0;
    // Removed already with the record's folders: nothing is left to do.
    if (context_.platform.Files().GetAttributes(folder, attributes) == error::kSuccess) {
      code = DeleteFolderContents(context_, folder, deleteAll_ ? "*.*|" : patterns_);
    }
  }
  if (code != error::kSuccess) {
    std::string lines = "<SetupFolder> " + installFolder_ + kCrLf;
    if (code == error::kDirNotEmpty || code == error::kAccessDenied) {
      lines += deleteAll_ ? "全ファイル・フォルダの削除を試みましたが、エラーが発生したため、"
                          : "ファイル・フォルダが残っているため、";
      lines += s + "フォルダを削除できませんでした。エクスプローラなどから、直接削除してください。" + kCrLf + kCrLf;
    } else {
      lines += SystemErrorText(context_, code) + kCrLf;
    }
    Fail(lines);
  }
  statusLog_ += result_ + kCrLf;
  Show();
}

void UninstallRun::OfferFailureDetails() {
  if (failures_ == 0) return;
  const std::string& u = startup_.unSetupString;
  statusLog_ += "《情報》" + u + "の過程で、一部の処理が失敗しました。" + kCrLf;
  Show();
  if (ShowMessageBox(context_, u + "の過程で、一部の処理が失敗しました。" + kCrLf + "詳細を表示しますか？", "情報",
                     box::kExclamationYesNo) != box::kYes) {
    return;
  }
  view_.ShowFailureDetails("削除処理失敗　詳細表示", details_);
  while (!view_.EventButtonPressed()) {
    context_.platform.System().Sleep(150);
    view_.ProcessMessages();
  }
  view_.HideMainWindow();
  view_.ProcessMessages();
  context_.platform.System().Sleep(500);
  view_.ShowStatusAgain();
}

void UninstallRun::Complete() {
  const std::string& u = startup_.unSetupString;
  statusLog_ += std::string(kCrLf) + "【処理完了】" + kCrLf + u + "を完了しました。" + kCrLf;
  Show();
  view_.ShowCompletionButton(u + "完了(&E)");
  view_.Beep();
}

}  // namespace ov::setup
