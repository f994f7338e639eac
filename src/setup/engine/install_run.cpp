#include "setup/engine/install_run.h"

#include <climits>

#include "base/cp932.h"
#include "base/path_parts.h"
#include "setup/engine/command_line.h"
#include "setup/engine/script_syntax.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

using platform::Error;
namespace error = platform::error;

constexpr const char* kDone = "完了";
constexpr const char* kNothing = "なし";
constexpr const char* kPartlyFailed = "一部失敗";
constexpr const char* kCrLf = "\r\n";
constexpr int kShowNormal = 1;

// The drive of a folder as typed: "X:", or "\\server\share" of a UNC path.
std::string DriveOf(const std::string& folder) {
  if (folder.size() >= 2 && folder[1] == ':') return folder.substr(0, 2);
  if (folder.rfind("\\\\", 0) == 0) {
    const std::size_t server = folder.find('\\', 2);
    if (server == std::string::npos) return folder;
    const std::size_t share = folder.find('\\', server + 1);
    return share == std::string::npos ? folder : folder.substr(0, share);
  }
  return folder.substr(0, 2);
}

}  // namespace

InstallRun::InstallRun(EngineContext& context, const StartupValues& startup, InstallRunView& view)
    : context_(context), startup_(startup), view_(view) {}

std::string InstallRun::RecordPath() const { return context_.folders[Macro::kApp] + kRecordName; }

std::string InstallRun::Script(const std::string& section, const std::string& key, const std::string& fallback) {
  return ReadProfileString(context_.platform.Profile(), section, key, fallback, startup_.scriptCopy);
}

std::string InstallRun::Expand(const std::string& text) {
  return ExpandPathMacros(context_.platform.System(), context_.folders, text);
}

void InstallRun::Refresh(const std::string& item) {
  view_.SetStatusText(item.empty() ? statusLog_ : statusLog_ + kCrLf + item);
  view_.ProcessMessages();
}

void InstallRun::BeginPhase(const std::string& title, const char* result) {
  statusLog_ += title;
  result_ = result;
  Refresh();
}

void InstallRun::ClosePhase(bool pause) {
  statusLog_ += result_ + kCrLf;
  Refresh();
  if (pause) Pause(static_cast<std::uint32_t>(startup_.setupSpeed));
}

void InstallRun::Pause(std::uint32_t milliseconds) { context_.platform.System().Sleep(milliseconds); }

bool InstallRun::Checkpoint() {
  if (!view_.Aborted()) return true;
  end_ = RunEnd::kAborted;
  return false;
}

void InstallRun::StopFatal() {
  ShowMessageBox(context_, startup_.setupString + "を続行できませんでした。", startup_.setupString + "中止",
                 box::kStop);
  view_.FinishWizard();
  end_ = RunEnd::kStopped;
}

void InstallRun::Fail(const std::string& line, const char* result) {
  details_ += line;
  ++failures_;
  result_ = result;
}

void InstallRun::ShowDots(int count) {
  std::string dots;
  for (int i = 0; i < count; ++i) dots += "．";
  view_.SetStatusText(statusLog_ + dots);
  view_.ProcessMessages();
}

void InstallRun::WaitFor(bool (InstallRunView::*pressed)(), std::uint32_t milliseconds) {
  while (!(view_.*pressed)()) {
    Pause(milliseconds);
    view_.ProcessMessages();
  }
}

bool InstallRun::SizeOf(const std::string& path, std::uint64_t& size) {
  platform::FindEntry entry;
  std::unique_ptr<platform::FileSearch> search;
  if (context_.platform.Files().FindFirst(path, entry, search) != error::kSuccess) return false;
  if (entry.attributes & platform::attribute::kDirectory) return false;
  size = entry.size;
  return true;
}

RunEnd InstallRun::Run() {
  try {
    if (!Start() || !ReadRelateTable() || !MeasurePackage() || !CheckFreeSpace() || !CheckInstallFolder()) return end_;
    MergePreviousRecord();
    view_.EnableAbort(true);
    if (!CreateFolders() || !CopyFiles() || !CreateShortcuts() || !CreateRegistryEntries() || !WriteIniEntries()) {
      return end_;
    }
    AddDeletionLists();
    if (!SetAssociations()) return end_;
    UpdateUninstallInformation();
    OfferFailureDetails();
    ShowCompletion();
    FinalChoicePage();
    return RunEnd::kCompleted;
  } catch (...) {
    // Nothing of the run may take the installer down; what was done stays done.
    view_.FinishWizard();
    return RunEnd::kStopped;
  }
}

// Start: the wizard makes way for the status window.
bool InstallRun::Start() {
  statusLog_.clear();
  result_.clear();
  lockedFileSeen_ = false;
  choices_ = view_.ReadChoices();
  view_.HideMainWindow();
  view_.ProcessMessages();
  Pause(500);
  view_.ShowStatusWindow();
  statusLog_ = startup_.setupString + "を開始します．．．" + kCrLf + kCrLf;
  Refresh();
  Pause(1000);
  return true;
}

bool InstallRun::ReadRelateTable() {
  statusLog_ = startup_.setupString + "の情報を作成しています．．．";
  result_ = kDone;
  Refresh();
  for (int n = 1; n <= kRelateSlots; ++n) {
    const std::string name = Script("Relate", "Name" + std::to_string(n));
    if (name.empty()) continue;
    const std::string file = Script("Relate", "File" + std::to_string(n));
    if (!file.empty()) relateTable_.push_back(RelatePair{name, file});
  }
  ClosePhase(true);
  return true;
}

bool InstallRun::MeasurePackage() {
  BeginPhase(startup_.setupString + "に必要な容量を調べています．．．", kDone);
  if (!Checkpoint()) return false;
  Pause(static_cast<std::uint32_t>(startup_.setupSpeed));
  // The file name is taken as the copy will take it, after expansion with the folder the
  // wizard holds: the raw text "(App)tool.exe" names no file of the medium.
  PathMacroTable folders = context_.folders;
  SetInstallFolder(folders, choices_.folder, true);
  copyEntries_.clear();
  measuredSizes_.clear();
  for (int n = 1;; ++n) {
    const std::string value = Script("CopyFile", "File" + std::to_string(n));
    if (value.empty()) break;
    copyEntries_.push_back(value);
    ++entryCount_;
    const CopyEntry entry = ParseCopyEntry(ExpandPathMacros(context_.platform.System(), folders, value));
    std::uint64_t size = 0;
    const std::string source = startup_.programFolder + entry.sourceName;
    const bool found = SizeOf(source, size);
    measuredSizes_.push_back(MeasuredSize{source, size, found});
    if (!found || size > INT_MAX) {
      sizeProgress_ = false;
      continue;
    }
    byteTotal_ += size == 0 ? 1 : size;
  }
  ClosePhase(false);
  return true;
}

bool InstallRun::CheckFreeSpace() {
  if (!sizeProgress_) return true;
  BeginPhase("ディスクの空き容量をチェックしています．．．", kDone);
  const std::string drive = DriveOf(choices_.folder);
  std::int64_t free = -1;
  bool known = QueryFreeSpaceEx(context_, drive, free);
  if (!known) known = QueryFreeSpace(context_, drive, free);
  if (!(known && free > static_cast<std::int64_t>(byteTotal_))) {
    const std::string& setup = startup_.setupString;
    std::string message;
    if (!known) {
      message = "ディスクの空き容量取得関数が失敗しました。" + std::string(kCrLf) + setup + "に必要なディスク容量は " +
                std::to_string(byteTotal_) + "Byteです。" + kCrLf + "空き容量があるようであれば、" + setup +
                "を続行してください。" + kCrLf + kCrLf + setup + "を続行しますか？";
      result_ = "関数失敗";
    } else {
      message = "ディスクの空き容量が不足しているため、エラーになる可能性があります。" + std::string(kCrLf) +
                "このまま" + setup + "を続行しますか？";
      result_ = "不足の可能性あり";
    }
    if (ShowMessageBox(context_, message, "空き容量チェックエラー", box::kQuestion) != box::kYes) {
      StopFatal();
      return false;
    }
  }
  ClosePhase(true);
  return true;
}

bool InstallRun::CheckInstallFolder() {
  BeginPhase("フォルダをチェックしています．．．", kDone);
  if (!Checkpoint()) return false;
  SetInstallFolder(context_.folders, choices_.folder, false);
  const std::string& app = context_.folders[Macro::kApp];
  if (!FolderExists(context_, app)) {
    bool create = ShowMessageBox(context_,
                                 "このフォルダは存在しません。作成してもよろしいですか？" + std::string(kCrLf) + kCrLf +
                                     app,
                                 "フォルダ作成", box::kQuestion) == box::kYes;
    if (create && !ForceFolders(context_, app)) {
      ShowMessageBox(context_,
                     startup_.setupString + "フォルダの作成に失敗しました。" + kCrLf + kCrLf +
                         "プログラム作者へご報告ください。",
                     "致命的エラー", box::kStop);
      result_ = "作成失敗";
      create = false;
    }
    if (!create) {
      StopFatal();
      return false;
    }
  }
  context_.folders[Macro::kSet] = app.substr(0, 2) + "\\";
  ClosePhase(false);
  return true;
}

void InstallRun::MergePreviousRecord() {
  const std::string record = RecordPath();
  if (!platform::FileExists(context_.platform.Files(), record)) return;
  const std::string backup = startup_.workFolder + "UNSETUPB.INI";
  // The lists come from the backup; should it not be made, from the record itself, so
  // that nothing the earlier installation recorded is dropped.
  const std::string source = CopyFileReplace(context_, record, backup) == error::kSuccess ? backup : record;
  platform::ProfileApi& profile = context_.platform.Profile();
  platform::SystemApi& system = context_.platform.System();
  for (int n = 1; n <= kRelateSlots; ++n) {
    const std::string value = ReadProfileString(profile, "RestoreRelate", "Key" + std::to_string(n), "", record);
    if (value.empty()) continue;
    for (std::string& slot : restoreRelateSlots_) {
      if (slot.empty()) {
        slot = value;
        break;
      }
      if (FindNoCase(system, value, slot) != 0) break;
    }
  }
  struct ListSource {
    const char* section;
    const char* prefix;
    std::string* list;
  };
  const ListSource sources[] = {
      {"DeleteFolder", "Folder", &lists_.folders}, {"DeleteFile", "File", &lists_.files},
      {"DeleteShortCut", "File", &lists_.shortcuts}, {"DeleteRegistry", "Key", &lists_.registry},
      {"AddDeleteFile", "File", &lists_.addFiles},
  };
  for (const ListSource& each : sources) {
    for (int n = 1;; ++n) {
      const std::string value = ReadProfileString(profile, each.section, each.prefix + std::to_string(n), "", source);
      if (value.empty()) break;
      *each.list += value + "|";
    }
  }
}

bool InstallRun::CreateFolders() {
  BeginPhase("フォルダを作成しています．．．", kDone);
  for (int n = 1;; ++n) {
    const std::string raw = Script("MakeFolder", "Folder" + std::to_string(n));
    if (raw.empty()) break;
    const std::string path = Expand(EnsureSeparator(raw, "B"));
    Refresh("【作成中】 -> " + path);
    if (!Checkpoint()) return false;
    const Error created = context_.platform.Files().CreateFolder(DropSeparator(path, "B"));
    if (created == error::kSuccess || created == error::kAlreadyExists) {
      lists_.folders += path + "|";
    } else {
      Fail("<Folder> " + path + kCrLf + SystemErrorText(context_, created) + kCrLf);
    }
    Pause(static_cast<std::uint32_t>(startup_.setupSpeed));
  }
  ClosePhase(false);
  return true;
}

bool InstallRun::CopyFiles() {
  view_.ShowProgress(true);
  BeginPhase("ファイルをコピーしています．．．", kDone);
  std::uint64_t copiedBytes = 0;
  int processed = 0;
  int disk = 1;
  // The entries as the size phase read them: the script copy in the work folder is the
  // run's own, and reading every key again costs a search of the section each.
  for (std::size_t i = 0; i < copyEntries_.size(); ++i) {
    if (!CopyOne(static_cast<int>(i) + 1, copyEntries_[i], copiedBytes, processed, disk)) return false;
  }
  if (lockedFileSeen_) {
    result_ = result_.find(kPartlyFailed) != std::string::npos ? "一部失敗・ロックファイルあり" : "ロックファイルあり";
  }
  ClosePhase(false);
  view_.ShowProgress(false);
  lists_.files += RecordPath() + "|";
  return true;
}

// One [CopyFile] entry, steps 1 to 12; false when the run ends here.
bool InstallRun::CopyOne(int n, const std::string& raw, std::uint64_t& copiedBytes, int& processed, int& disk) {
  platform::FileApi& files = context_.platform.Files();
  platform::SystemApi& system = context_.platform.System();
  const CopyEntry entry = ParseCopyEntry(Expand(raw));
  const bool diskChange = entry.diskChange;
  const std::string& optionText = entry.optionText;
  const std::string options = optionText.empty() ? std::string() : "," + optionText;
  std::string destination = entry.destination;
  const std::string mediumSource = startup_.programFolder + entry.sourceName;
  std::string source = mediumSource;

  if (diskChange) {
    ++disk;
    do {
      if (ShowMessageBox(context_, std::to_string(disk) + "枚目のディスクに交換してください。", "ディスク交換",
                         box::kInformationOkCancel) == box::kCancel) {
        ShowMessageBox(context_, startup_.setupString + "を続行できませんでした。", "致命的エラー", box::kStop);
        view_.FinishWizard();
        end_ = RunEnd::kStopped;
        return false;
      }
    } while (!platform::FileExists(files, source));
  }

  const auto progress = [&]() {
    int position;
    if (sizeProgress_) {
      position = byteTotal_ == 0 ? 100 : static_cast<int>(copiedBytes * 100 / byteTotal_);
    } else {
      // A count read short (a failed read while measuring) must not divide by zero.
      position = entryCount_ == 0 ? 100 : n * 100 / entryCount_;
    }
    view_.SetProgress(position, std::to_string(position) + "%(" + std::to_string(processed) + "/" +
                                    std::to_string(entryCount_) + ")");
    if (!Checkpoint()) return false;
    Pause(static_cast<std::uint32_t>(startup_.setupSpeed));
    return true;
  };

  if (!platform::FileExists(files, source)) {
    Refresh("【コピー元】" + source + kCrLf + "【コピー先】" + destination + kCrLf +
            "ファイルが存在しないためコピーをスキップしています．．．");
    if (!Checkpoint()) return false;
    Fail("<File> " + source + kCrLf + "コピー元のファイルが見つかりません。" + kCrLf + kCrLf);
    ++processed;
    return progress();
  }

  const bool compressed = entry.compressed;
  std::string staging;
  if (compressed) {
    staging = context_.folders[Macro::kTmp] + "EXPAND.ODT";
    Error expandFailure = error::kSuccess;
    const std::string expanded = ExpandCompressedFile(context_, source, destination, &expandFailure);
    destination = expanded.substr(staging.size() + 1);
    source = staging;
    if (expandFailure != error::kSuccess) {
      // A partial staging file, or one without its recorded name, is not installed.
      Fail("<File> " + mediumSource + kCrLf + SystemErrorText(context_, expandFailure) + kCrLf);
      ++processed;
      DeleteFileSilently(context_, staging);
      return progress();
    }
  }

  Refresh("【コピー元】" + base::NamePart(source) + kCrLf + "【コピー先】" + destination + kCrLf);
  if (!Checkpoint()) return false;

  // An existence test that fails for another reason than absence counts as present: the
  // file there is asked about or compared, never overwritten unseen.
  std::uint32_t attributes = 0;
  Error present = files.GetAttributes(destination, attributes);
  if (present != error::kSuccess && present != error::kFileNotFound && present != error::kPathNotFound) {
    present = files.GetAttributes(destination, attributes);
  }
  const bool exists = present != error::kFileNotFound && present != error::kPathNotFound;
  bool copy = true;
  if (exists) {
    if (!choices_.overwrite) {
      copy = ShowMessageBox(context_,
                            destination + kCrLf + kCrLf + "このファイルは既に存在します。" + kCrLf +
                                "上書きしてもよろしいですか？",
                            "上書き確認", box::kQuestion) == box::kYes;
    } else {
      platform::FileTime destinationTime = 0;
      platform::FileTime sourceTime = 0;
      copy = files.GetLastWriteTime(destination, destinationTime) == error::kSuccess &&
             files.GetLastWriteTime(source, sourceTime) == error::kSuccess && destinationTime < sourceTime;
    }
  }
  if (FindNoCase(system, "/S", optionText) != 0) {
    try {
      ChangeSharedDllCount(context_, destination, true);
    } catch (const RegistryWriteError& failure) {
      Fail("<File> " + destination + kCrLf + SystemErrorText(context_, failure.code()) + kCrLf);
    }
  }
  if (FindNoCase(system, "/W", optionText) != 0) copy = true;

  Error code = copy ? CopyFileReplace(context_, source, destination) : error::kSuccess;
  ++processed;

  if (FindNoCase(system, "/R", optionText) != 0 && platform::FileExists(files, destination)) {
    if (!RegisterComponent(context_, destination, true)) {
      Fail("<File> " + destination + kCrLf + "OCX/DLLの登録に失敗しました。" + kCrLf + kCrLf);
    }
  }

  if (code == error::kSharingViolation) {
    lockedFileSeen_ = true;
    if (!ReplaceAtRestart(context_, source, destination)) {
      Fail("<File> " + destination + kCrLf + "MoveFileEx関数が失敗しました。" + kCrLf + kCrLf);
    }
    code = error::kSuccess;
  }
  if (code == error::kSuccess) {
    lists_.files += destination + options + "|";
  } else {
    Fail("<File> " + destination + kCrLf + SystemErrorText(context_, code) + kCrLf);
  }

  if (compressed) DeleteFileSilently(context_, staging);

  if (sizeProgress_) {
    // The size the size phase found for this very file, while the first disk is in; a
    // file of a later disk is looked up now. A search by name in a folder of thousands of
    // files is not cheap.
    std::uint64_t size = 0;
    const std::size_t index = static_cast<std::size_t>(n - 1);
    const bool measured = disk == 1 && index < measuredSizes_.size() && measuredSizes_[index].found &&
                          measuredSizes_[index].path == mediumSource;
    if (measured) {
      size = measuredSizes_[index].size;
    } else if (!SizeOf(mediumSource, size)) {
      size = std::uint64_t{INT_MAX} + 1;  // a failed look-up ends size-based progress
    }
    if (size > INT_MAX) {
      sizeProgress_ = false;
      ShowMessageBox(context_, "ファイルサイズの取得に失敗したため、進行状況の表示方法を変更します。", "内部エラー",
                     box::kExclamation);
    } else {
      copiedBytes += size == 0 ? 1 : size;
    }
  }
  return progress();
}

bool InstallRun::ShortcutWanted(const std::string& name) {
  platform::SystemApi& system = context_.platform.System();
  if (FindNoCase(system, "Dsk)", name) != 0) return choices_.shortcutDesktop;
  if (FindNoCase(system, "Sta)", name) != 0) return choices_.shortcutStartMenu;
  if (name == "Default") return choices_.shortcutStartMenu;
  if (FindNoCase(system, "Sup)", name) != 0) return choices_.shortcutStartUp;
  if (FindNoCase(system, "Sen)", name) != 0) return choices_.shortcutSendTo;
  return true;
}

bool InstallRun::CreateShortcuts() {
  BeginPhase("ショートカットを作成しています．．．", kDone);
  for (int n = 1;; ++n) {
    const std::string make = Script("ShortCut", "Make" + std::to_string(n));
    if (make.empty()) break;
    const std::string name = Script("ShortCut", "Name" + std::to_string(n), "Default");
    if (!ShortcutWanted(name)) continue;
    const std::string targetValue = Expand(make);
    const std::string arguments = FieldOf(targetValue, ',', 2);
    const std::string target = FieldOf(targetValue, ',', 1);
    std::string linkText = name == "Default" ? base::NamePart(target) : name;
    if (linkText.find_first_of("()") == std::string::npos) linkText = "(Sta)" + linkText;
    const std::string linkValue = Expand(linkText);
    const std::string working = FieldOf(linkValue, ',', 2);
    const std::string link = FieldOf(linkValue, ',', 1);
    Refresh("【作成元】" + target + kCrLf + "【作成先】" + DropSeparator(link, "T") + kCrLf);
    if (!Checkpoint()) return false;
    Error failure = error::kSuccess;
    const std::string created = CreateShortcut(context_, target, link, working, arguments, &failure);
    Pause(static_cast<std::uint32_t>(startup_.setupSpeed));
    if (!created.empty()) lists_.shortcuts += created + "|";
    if (failure != error::kSuccess) {
      Fail("<ShortCut> " + link + kCrLf + SystemErrorText(context_, failure) + kCrLf);
    }
  }
  ClosePhase(false);
  return true;
}

Error InstallRun::WriteRegistryValue(platform::RegHandle key, const std::string& name, const std::string& value) {
  platform::RegistryApi& registry = context_.platform.Registry();
  const std::string data = value.size() > 5 ? value.substr(5) : std::string();
  std::uint32_t number = 0;
  switch (RegistryTypeOf(value)) {
    case RegistryValueType::kString:
      return platform::SetStringValue(registry, key, name, data);
    case RegistryValueType::kExpandString:
      return platform::SetStringValue(registry, key, name, data, platform::reg_type::kExpandString);
    case RegistryValueType::kDword:
      if (!ParseRegistryNumber(data, number)) number = 0;
      return platform::SetDwordValue(registry, key, name, number);
    case RegistryValueType::kBinary: {
      if (!ParseRegistryHex(data, number)) return error::kSuccess;
      std::string bytes(4, '\0');
      for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
      return registry.SetValue(key, name, platform::reg_type::kBinary, bytes);
    }
    case RegistryValueType::kWholeText:
      break;
  }
  return platform::SetStringValue(registry, key, name, value);
}

bool InstallRun::CreateRegistryEntries() {
  platform::SystemApi& system = context_.platform.System();
  BeginPhase("レジストリキーを作成しています．．．", kNothing);
  for (int n = 1;; ++n) {
    const std::string reference = Script("Registry", "Key" + std::to_string(n));
    if (reference.empty()) break;
    const std::string name = Script("Registry", "Name" + std::to_string(n));
    std::string value = Script("Registry", "Value" + std::to_string(n));
    Refresh();
    if (!Checkpoint()) return false;
    const RegistryReference parsed = ParseRegistryRoot(reference);
    platform::RegKey key;
    if (const Error created = platform::RegKey::Create(context_.platform.Registry(), parsed.root, parsed.keyPath, key)) {
      Fail("<Registry> " + reference + kCrLf + SystemErrorText(context_, created) + kCrLf);
      continue;
    }
    const bool dropSeparator = FindNoCase(system, "(Pdd)", value) != 0;
    if (dropSeparator) value = ReplaceToken(system, value, "(Pdd)", "");
    value = Expand(value);
    if (dropSeparator && value.size() > 5) value = value.substr(0, 5) + DropSeparator(value.substr(5), "B");
    if (!value.empty()) {
      if (const Error written = WriteRegistryValue(key.Get(), name, value)) {
        Fail("<Registry> " + reference + kCrLf + SystemErrorText(context_, written) + kCrLf);
        continue;
      }
    }
    if (result_ != kPartlyFailed) result_ = kDone;
  }
  return true;
}

bool InstallRun::WriteIniEntries() {
  ClosePhase(false);
  BeginPhase("INIファイルを設定しています．．．", kNothing);
  platform::ProfileApi& profile = context_.platform.Profile();
  for (int n = 1;; ++n) {
    const std::string raw = Script("IniFile", "Data" + std::to_string(n));
    if (raw.empty()) break;
    Refresh();
    if (!Checkpoint()) return false;
    const std::string value = Expand(raw);
    const std::string file = FieldOf(value, ',', 4);
    profile.WriteString(nullptr, nullptr, nullptr, file);
    const Error written =
        profile.WriteString(FieldOf(value, ',', 1).c_str(), FieldOf(value, ',', 2).c_str(),
                            FieldOf(value, ',', 3).c_str(), file);
    if (written != error::kSuccess) {
      Fail("<IniFile> " + file + kCrLf + SystemErrorText(context_, written) + kCrLf);
    } else if (result_ != kPartlyFailed) {
      result_ = kDone;
    }
  }
  return true;
}

void InstallRun::AddDeletionLists() {
  ClosePhase(false);
  for (int n = 1;; ++n) {
    const std::string key = Script("DeleteRegistry", "Key" + std::to_string(n));
    if (key.empty()) break;
    lists_.registry += key + "|";
  }
  for (int n = 1;; ++n) {
    const std::string file = Script("AddDeleteFile", "File" + std::to_string(n));
    if (file.empty()) break;
    lists_.addFiles += Expand(file) + "|";
  }
}

Error InstallRun::SetDefaultValue(platform::RegHandle root, const std::string& keyPath, const std::string& value) {
  platform::RegKey key;
  if (const Error created = platform::RegKey::Create(context_.platform.Registry(), root, keyPath, key)) return created;
  return platform::SetStringValue(context_.platform.Registry(), key.Get(), "", value);
}

bool InstallRun::SetAssociations() {
  platform::SystemApi& system = context_.platform.System();
  platform::RegistryApi& registry = context_.platform.Registry();
  BeginPhase("関連付けを設定しています．．．", kNothing);
  for (const RelatePair& pair : relateTable_) {
    Refresh();
    if (!Checkpoint()) return false;
    const std::string extension = FieldOf(pair.name, ',', 1);
    std::string description = FieldOf(pair.name, ',', 2);
    if (description.empty()) description = pair.name + " File";
    const std::string file = Expand(pair.file);
    const std::string verb = FieldOf(file, ',', 1);
    const std::string program = FieldOf(file, ',', 2);
    // A program already quoted by the script keeps its one pair of quotes.
    const std::string programPart = QuotedWhenBlank(program);
    const std::string argument1 = AssociationArgument(FieldOf(file, ',', 3));
    const std::string argument2 = AssociationArgument(FieldOf(file, ',', 4));
    const std::string arguments = argument1.empty() ? argument2 : argument1 + " " + argument2;
    const std::string command = arguments.empty() ? programPart : programPart + " " + arguments;
    if (ShowMessageBox(context_,
                       "拡張子 *." + extension + " を" + kCrLf + program + kCrLf + "に関連付けします。よろしいですか？",
                       "関連付けの確認", box::kQuestion) != box::kYes) {
      continue;
    }
    const std::string icon = program + "," + FieldOf(file, ',', 5);
    platform::RegKey key;
    Error failed = platform::RegKey::Create(registry, platform::reg_root::kClassesRoot, "." + extension, key);
    if (failed == error::kSuccess) {
      // The default before the first association is what the uninstaller restores; an
      // extension saved once (by an earlier installation too) keeps its first default.
      const std::string wanted = system.UpperCase(extension);
      bool saved = false;
      for (const std::string& slot : restoreRelateSlots_) {
        if (!slot.empty() && system.UpperCase(FieldOf(slot, ',', 1)) == wanted) saved = true;
      }
      if (!saved) {
        std::string previous;
        platform::QueryStringValue(registry, key.Get(), "", previous);
        for (std::string& slot : restoreRelateSlots_) {
          if (slot.empty()) {
            slot = extension + "," + previous;
            break;
          }
        }
      }
      key.Reset();
      const std::string type = extension + "_auto_file";
      const std::pair<std::string, std::string> defaults[] = {
          {"." + extension, type},
          {type, description},
          {type + "\\DefaultIcon", icon},
          {type + "\\shell\\" + verb + "\\command", command},
      };
      for (const auto& [keyPath, value] : defaults) {
        if (failed == error::kSuccess) failed = SetDefaultValue(platform::reg_root::kClassesRoot, keyPath, value);
      }
    }
    if (failed != error::kSuccess) {
      Fail("<Registry> (Class)." + extension + kCrLf + SystemErrorText(context_, failed) + kCrLf);
    } else if (result_ != kPartlyFailed) {
      result_ = kDone;
    }
  }
  ClosePhase(false);
  return true;
}

void InstallRun::UpdateUninstallInformation() {
  platform::FileApi& files = context_.platform.Files();
  statusLog_ += startup_.unSetupString + "情報を更新しています";
  result_ = "．．．完了";
  const int failuresBefore = failures_;
  ShowDots(1);
  view_.EnableAbort(false);

  const std::string source = startup_.workFolder + "SETUPB.EXE";
  const std::string uninstaller = context_.folders[Macro::kWin] + kUninstallerName;
  platform::FileTime sourceTime = 0;
  platform::FileTime uninstallerTime = 0;
  const bool sourceKnown = files.GetLastWriteTime(source, sourceTime) == error::kSuccess;
  const bool uninstallerThere = files.GetLastWriteTime(uninstaller, uninstallerTime) == error::kSuccess;
  if (!uninstallerThere || !sourceKnown || uninstallerTime < sourceTime) {
    if (const Error copied = CopyFileReplace(context_, source, uninstaller)) {
      details_ += "<SetupFile> " + uninstaller + kCrLf + SystemErrorText(context_, copied) + kCrLf;
      ++failures_;
    }
  }
  ShowDots(2);
  WriteMachineRecord();
  ShowDots(3);
  if (FindNoCase(context_.platform.System(), "Setup Only.", startup_.unSetupTitle) == 0) WriteUninstallRecord();
  // A part that failed is not reported as done.
  if (failures_ > failuresBefore) result_ = "．．．一部失敗";
  statusLog_ += result_ + kCrLf;
  Refresh();
}

void InstallRun::WriteMachineRecord() {
  platform::ProfileApi& profile = context_.platform.Profile();
  const std::string path = context_.folders[Macro::kWin] + kMachineRecordName;
  profile.WriteString(nullptr, nullptr, nullptr, path);
  if (startup_.programId.empty()) return;
  if (!WriteProfileString(profile, startup_.programId, "Folder", context_.folders[Macro::kApp], path)) {
    details_ += "<SetupFile> " + path + kCrLf + kCrLf;
    ++failures_;
  }
}

RecordPlan InstallRun::UninstallRecordPlan() {
  RecordPlan plan;
  const auto put = [&plan](const std::string& section, const std::string& key, const std::string& value) {
    plan.push_back(RecordWrite{RecordWrite::Kind::kKey, section, key, value, false});
  };
  put("Information", "Message1", "Ondaro! Setup 200x UnSetup(UnInstall) Initialize File");
  put("Information", "Message2", "！！！　警告　！！！");
  put("Information", "Message3", "このファイルをエディタなどで書き換えたり、削除しないでください。");
  put("Information", "Message4", "書き換えた場合、" + startup_.unSetupString + "動作の保証はできません。");
  put("Title", "UnSetup", startup_.unSetupTitle);
  put("SetupFolder", "Folder", context_.folders[Macro::kApp]);
  AddListToPlan(plan, "DeleteFolder", "Folder", lists_.folders);
  AddListToPlan(plan, "DeleteFile", "File", lists_.files, true);
  AddListToPlan(plan, "DeleteShortCut", "File", lists_.shortcuts);
  AddListToPlan(plan, "DeleteRegistry", "Key", lists_.registry);
  AddListToPlan(plan, "AddDeleteFile", "File", lists_.addFiles);
  for (int k = 1; k <= kRelateSlots; ++k) {
    const std::string& slot = restoreRelateSlots_[static_cast<std::size_t>(k - 1)];
    if (!slot.empty()) put("RestoreRelate", "Key" + std::to_string(k), slot);
  }
  const std::string option = Script("Extend", "UnSetupOption");
  if (!option.empty()) put("UnSetupOption", "CheckBox", option);
  put("Extend", "SetupString", startup_.setupString);
  put("Extend", "UnSetupString", startup_.unSetupString);
  put("UnSetupRegistryKey", "Key", kUninstallKeyPrefix + Script("Title", "UnSetupKey", startup_.unSetupTitle));
  put("ProgramID", "ID", startup_.programId);
  return plan;
}

void InstallRun::WriteUninstallRecord() {
  const std::string record = RecordPath();
  DeleteFileSilently(context_, record);
  const RecordPlan plan = UninstallRecordPlan();
  // The dots mark the record's parts as they are made ready; the file is written once.
  for (int dots = 4; dots <= 8; ++dots) ShowDots(dots);
  if (const Error written =
          WriteRecordAtOnce(context_.platform.Files(), context_.platform.System(), plan, record)) {
    details_ += "<SetupFile> " + record + kCrLf + SystemErrorText(context_, written) + kCrLf;
    ++failures_;
  }

  const std::string keyName = Script("Title", "UnSetupKey", startup_.unSetupTitle);
  const std::string displayName = Script("Title", "UnSetupDisplay", keyName);
  const std::string uninstaller = context_.folders[Macro::kWin] + kUninstallerName;
  const std::string keyPath = kUninstallKeyPrefix + keyName;
  Error failed = error::kInvalidName;
  // Without a name the values would land on the list's own key.
  if (!keyName.empty()) {
    platform::RegistryApi& registry = context_.platform.Registry();
    platform::RegKey key;
    failed = platform::RegKey::Create(registry, platform::reg_root::kLocalMachine, keyPath, key);
    if (failed == error::kSuccess) failed = platform::SetStringValue(registry, key.Get(), "DisplayName", displayName);
    if (failed == error::kSuccess) {
      // The record path is always quoted; the program path too when the Windows folder has
      // a blank, or the system would run the first word of it.
      failed = platform::SetStringValue(registry, key.Get(), "UninstallString",
                                        QuotedWhenBlank(uninstaller) + " \"" + record + "\"");
    }
    if (failed == error::kSuccess) failed = platform::SetStringValue(registry, key.Get(), "DisplayIcon", uninstaller);
  }
  if (failed != error::kSuccess) {
    details_ += "<Registry> (Local)" + keyPath + kCrLf + SystemErrorText(context_, failed) + kCrLf;
    ++failures_;
  }
}

void InstallRun::OfferFailureDetails() {
  if (failures_ == 0) return;
  if (ShowMessageBox(context_,
                     "フォルダの作成・ファイルのコピーで、一部の処理が失敗しました。" + std::string(kCrLf) +
                         "詳細を表示しますか？",
                     "警告", box::kExclamationYesNo) != box::kYes) {
    return;
  }
  view_.ShowFailureDetails(details_);
  WaitFor(&InstallRunView::EventButtonPressed, 150);
  view_.EndFailureDetails();
  Pause(500);
}

void InstallRun::ShowCompletion() {
  platform::SystemApi& system = context_.platform.System();
  statusLog_ += std::string(kCrLf) + "【処理完了】" + kCrLf;
  if (FindNoCase(system, "Setup Only.", startup_.unSetupTitle) == 0) {
    statusLog_ += "　プログラムの" + startup_.unSetupString +
                  "は、「プログラム(アプリケーション)の追加と削除」から行うことができます。" + kCrLf;
  }
  statusLog_ += "　「次へ(N)」をクリックして、" + startup_.setupString + "を完了してください。" + kCrLf;
  Refresh();
  view_.Beep();
  view_.ShowNextButton();
  WaitFor(&InstallRunView::NextPressed, 100);
}

void InstallRun::FinalChoicePage() {
  const std::string& setup = startup_.setupString;
  std::string value = Script("ExecuteFile", "File");
  const bool restart = lockedFileSeen_ || value == "WINDOWS_REBOOT";
  FinalChoice choice;
  if (restart) {
    choice.message = "　" + setup + "を完了するには、Windowsを再起動する必要があります。" + kCrLf + kCrLf +
                     "　Windowsの再起動を選択した場合、現在稼動している他のプログラムは強制的に終了され、" +
                     "かつ、終了後プログラムは実行されませんので、十分にご注意ください。";
  } else {
    choice.message = setup + "を完了しました。";
  }
  if (value == "WINDOWS_REBOOT") value.clear();
  value = Expand(value);
  std::string program = value;
  std::string arguments;
  std::string method;
  if (value.find(',') != std::string::npos) {
    method = FieldOf(value, ',', 3);
    arguments = FieldOf(value, ',', 2);
    program = FieldOf(value, ',', 1);
  }
  if (!program.empty()) {
    choice.message += std::string(kCrLf) + kCrLf + "【インストーラ終了後、以下のプログラムが実行されます。】" + kCrLf +
                      program + arguments;
  }
  if (!restart) {
    choice.firstChoice = program.empty() ? "インストーラを終了します。(&Y)"
                                         : "インストーラを終了して、プログラムを実行します。(&Y)";
  } else {
    choice.firstChoice = "はい、Windowsを再起動します。(&Y)";
    choice.secondChoice = program.empty() ? "いいえ、Windowsは再起動せずに、インストーラーを終了します。(&N)"
                                          : "いいえ、Windowsは再起動せずに、プログラムを実行します。(&N)";
  }
  choice.buttonCaption = setup + "完了(&E)";
  view_.ShowFinalChoice(choice);
  WaitFor(&InstallRunView::EventButtonPressed, 150);
  const bool secondChosen = restart && view_.SecondChoiceSelected();
  view_.HideWindows();

  if (restart && !secondChosen) {
    view_.RequestRestart();
  } else if (!program.empty()) {
    const Error started = method == "CreateProcess" ? RunProgram(context_, program, arguments, kShowNormal, false)
                                                    : OpenWithShell(context_, program, arguments);
    if (started >= 1) {
      ShowMessageBox(context_,
                     "終了後プログラムの起動に失敗しました。" + std::string(kCrLf) +
                         "iniファイルの記述ミスの可能性があります。" + kCrLf + "プログラム提供者へご報告ください。",
                     "警告", box::kExclamation);
    }
  }
  view_.FinishWizard();
}

}  // namespace ov::setup
