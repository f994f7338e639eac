#include "setup/engine/startup.h"

#include <cstdint>

#include "base/cp932.h"
#include "setup/engine/script_syntax.h"
#include "setup/engine/startup_checks.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr int kWorkFolderLimit = 99;

// Reads the script copy's keys.
class Script {
 public:
  Script(EngineContext& context, const std::string& file) : context_(context), file_(file) {}
  std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue = "") const {
    return ReadProfileString(context_.platform.Profile(), section, key, defaultValue, file_);
  }

 private:
  EngineContext& context_;
  std::string file_;
};

// The folder of a path, up to and including its last "\".
std::string FolderOf(const std::string& path) {
  const std::size_t slash = base::FindLastAscii(path, '\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Step 5: the general keys of both modes. False (with the error line) when SetupSpeed is
// not a number: the wizard must not go on with a pause nobody chose.
bool ReadCommonKeys(const Script& script, StartupValues& values, std::string& error) {
  values.setupString = script.Read("Extend", "SetupString", "インストール");
  values.unSetupString = script.Read("Extend", "UnSetupString", "アンインストール");
  values.bannerLine1 = script.Read("Title", "CopyRight1");
  values.bannerLine2 = script.Read("Title", "CopyRight2");
  if (values.bannerLine1.empty() && values.bannerLine2.empty()) {
    values.bannerLine1 = "Ondaro! Setup 200x";
    values.bannerLine2 = "汎用インストーラ";
  }
  const std::string speed = script.Read("Extend", "SetupSpeed", "350");
  int parsed = 0;
  if (!ParseDecimal(speed, parsed)) {
    error = "【致命的エラー → [Extend] SetupSpeed の値「" + speed + "」は整数ではありません】" + kCrLf;
    return false;
  }
  values.setupSpeed = parsed < 1 ? 1 : parsed;
  values.setupTitle = script.Read("Title", "Setup", "Ondaro! Setup");
  values.unSetupTitle = script.Read("Title", "UnSetup", values.setupTitle);
  return true;
}

// Step 6, mode "SETUP": the script's folder, replaced in turn by the package's previous
// folder, a registry value and another INI file's value, each when it has one.
std::string DefaultInstallFolder(EngineContext& context, const Script& script, const StartupValues& values) {
  platform::SystemApi& system = context.platform.System();
  std::string folder = script.Read("DefaultFolder", "Folder", "(Prg)\\");
  if (!values.programId.empty()) {
    folder = ReadProfileString(context.platform.Profile(), values.programId, "Folder", folder,
                               context.folders[Macro::kWin] + "ODSET98.INI");
  }
  const std::string referRegistry = script.Read("DefaultFolder", "ReferRegistry");
  if (!referRegistry.empty()) {
    const RegistryReference reference = ParseRegistryRoot(FieldOf(referRegistry, ',', 1));
    platform::RegKey key;
    std::string value;
    if (platform::RegKey::Open(context.platform.Registry(), reference.root, reference.keyPath, key) ==
            platform::error::kSuccess &&
        platform::QueryStringValue(context.platform.Registry(), key.Get(), FieldOf(referRegistry, ',', 2), value) ==
            platform::error::kSuccess &&
        !value.empty()) {
      folder = value;
    }
  }
  const std::string referIni = ExpandPathMacros(system, context.folders, script.Read("DefaultFolder", "ReferIniFile"));
  if (!referIni.empty()) {
    const std::string value = ReadProfileString(context.platform.Profile(), FieldOf(referIni, ',', 2),
                                                FieldOf(referIni, ',', 3), "", FieldOf(referIni, ',', 1));
    if (!value.empty()) folder = value;
  }
  return folder;
}

// Step 7: a shortcut aimed at a folder ticks its box.
void SetShortcutBoxes(EngineContext& context, const Script& script, const StartupValues& values, StartupView& view) {
  static const std::pair<const char*, OptionBox> kTargets[] = {
      {"Dsk)", OptionBox::kDesktop}, {"Sta)", OptionBox::kStartMenu},
      {"Sup)", OptionBox::kStartUp}, {"Sen)", OptionBox::kSendTo}};
  bool ticked[4] = {false, false, false, false};
  for (int n = 1;; ++n) {
    const std::string shortcut = script.Read("ShortCut", "Name" + std::to_string(n));
    if (shortcut.empty()) break;
    for (const auto& [marker, box] : kTargets) {
      if (FindNoCase(context.platform.System(), marker, shortcut) != 0) ticked[static_cast<int>(box)] = true;
    }
  }
  for (const auto& [marker, box] : kTargets) {
    const bool on = ticked[static_cast<int>(box)];
    view.SetShortcutBox(box, on, on && values.userMayChange);
  }
}

std::string SetupMessage(const Script& script, const StartupValues& values) {
  std::string message;
  for (int n = 1; n <= 5; ++n) message += script.Read("TopMessage", "Message" + std::to_string(n)) + kCrLf;
  if (message == "\r\n\r\n\r\n\r\n\r\n") message = values.setupString + "を行います。" + kCrLf;
  return message;
}

std::string UninstallMessage(const StartupValues& values) {
  const std::string& u = values.unSetupString;
  return u + "を行います。" + kCrLf + kCrLf + "開始するには、「" + u + "開始(S)」を選択してください。" + kCrLf;
}

// Step 8.
void SetWindowTexts(const StartupValues& values, StartupView& view) {
  view.SetMessage(values.messageText);
  if (!values.IsUninstall()) view.SetFolderControlsEnabled(values.userMayChange);
  view.SetTitle(values.IsUninstall() ? values.unSetupTitle : values.setupTitle);
  view.SetBanner(values.bannerLine1, values.bannerLine2);
  view.SetFolderGroupCaption(values.setupString + "フォルダ");
  view.SetOptionGroupCaption(values.setupString + "オプション");
  view.SetEndCaption(values.setupString + "終了(&E)");
  view.RefreshFreeSpace();
}

// Step 9, mode "UNSETUP": the last page becomes the uninstall page.
void PrepareUninstallPage(const Script& script, const StartupValues& values, StartupView& view) {
  const std::string& u = values.unSetupString;
  view.SetFolderGroupCaption(u + "フォルダ");
  view.MakeFolderReadOnly();
  view.SetEventCaption(u + "開始(&S)");
  view.SetEventEnabled(true);
  view.SetEndCaption(u + "終了(&E)");
  view.SetEndEnabled(true);
  view.SetOptionGroupCaption(u + "オプション");
  view.ArrangeUninstallOptions("ファイルの追加削除");

  const std::string option = script.Read("UnSetupOption", "CheckBox", "0,0,0,0");
  if (option == "DeleteAll") {
    view.SetUninstallBox(OptionBox::kDesktop, {u + "フォルダ以下の全ファイル・フォルダ", true, true, true, true});
    for (OptionBox box : {OptionBox::kStartMenu, OptionBox::kStartUp, OptionBox::kSendTo}) {
      view.SetUninstallBox(box, {"", false, false, false, false});
    }
  } else {
    const auto flag = [&option](std::size_t position) { return option.size() > position && option[position] == '1'; };
    view.SetUninstallBox(OptionBox::kDesktop, {"*.INIファイル", flag(0), true, true, false});
    view.SetUninstallBox(OptionBox::kStartMenu, {"*.GIDファイル", flag(2), true, true, false});
    view.SetUninstallBox(OptionBox::kStartUp, {"", flag(4), false, true, false});
    view.SetUninstallBox(OptionBox::kSendTo, {"", flag(6), false, true, false});
  }
  view.ShowUninstallInfo("　" + u +
                         "フォルダの中で、コピーされたファイル以外に追加削除するファイルをチェック(選択)してください。");
  view.ShowLastPage();
}

// Only btnEnd stays usable; nothing of the script has been shown.
void ShowErrorState(const StartupValues& values, StartupView& view) {
  view.SetMessage(values.startupError + kCrLf + "処理は続行できません。");
  view.SetEventCaption("処理開始(&S)");
  view.SetEventEnabled(false);
  view.SetEndCaption("終了(&E)");
  view.SetEndEnabled(true);
  view.ShowLastPage();
}

}  // namespace

OsIdentity DetermineOsName(const platform::VersionInfo& version) {
  const bool obtained = version.obtained;
  const std::int32_t platformId = obtained ? static_cast<std::int32_t>(version.platformId) : -1;
  const std::int32_t major = obtained ? static_cast<std::int32_t>(version.majorVersion) : -1;
  const std::int32_t minor = obtained ? static_cast<std::int32_t>(version.minorVersion) : -1;
  const std::int32_t build = obtained ? static_cast<std::int32_t>(version.buildNumber) : -1;
  if (platformId == 2) {
    if (major == 4) return {"Windows NT4.0", "NT"};
    if (major == 5) {
      switch (minor) {
        case 0: return {"Windows 2000", "NT"};
        case 1: return {"Windows XP", "NT"};
        case 2: return {"Windows 2003", "NT"};
        default: return {"Windows NT Technology", "NT"};
      }
    }
    return {"Windows", "NT"};
  }
  if (platformId == 1) {
    // The 9x build field carries major and minor in its high word.
    if (minor >= 90 || build >= 0x045A0BB8) return {"Windows Me", "notNT"};
    if (build >= 0x040A08AE) return {"Windows 98<SE>", "notNT"};
    if (minor >= 10 || build >= 0x040A07CE) return {"Windows 98", "notNT"};
    if (minor >= 0) return {"Windows 95", "notNT"};
    return {"Windows", "notNT"};
  }
  return {"Windows", ""};
}

std::string DecideMode(const std::string& argument1) {
  const std::size_t slash = base::FindLastAscii(argument1, '\\');
  const std::string name = slash == std::string::npos ? argument1 : argument1.substr(slash + 1);
  return name == "UNSETUP.INI" ? "UNSETUP" : "SETUP";
}

std::string CreateWorkFolder(EngineContext& context, const std::string& tempFolder) {
  std::string candidate;
  for (int n = 1; n <= kWorkFolderLimit; ++n) {
    candidate = tempFolder + "ODTMP" + std::to_string(n) + "\\";
    if (!FolderExists(context, candidate)) {
      ForceFolders(context, candidate);
      return candidate;
    }
  }
  return candidate;
}

std::string ProgramRelativePath(const StartupValues& values, const std::string& value) {
  return values.programFolder + DropSeparator(value, "T");
}

StartupOutcome RunStartup(EngineContext& context, StartupValues& values, StartupView& view,
                          const std::string& argument1, const std::string& runningExecutable) {
  values.startupError.clear();
  values.pagesPending = {};

  view.DisableCloseCommand();
  const OsIdentity os = DetermineOsName(context.platform.System().Version());
  values.osName = os.name;
  context.folders.osKind = os.kind;
  view.SetOsTitle("Ondaro! Setup 200x(on " + os.name + ")");

  values.programFolder = FolderOf(runningExecutable);
  for (const std::string& line : ResolveFolderTable(context.platform, context.folders, values.programFolder)) {
    values.startupError += line + kCrLf;
  }

  values.mode = DecideMode(argument1);
  context.mode = values.mode;

  values.workFolder = CreateWorkFolder(context, context.folders[Macro::kTmp]);
  // A failed copy shows only later, when the install run looks for the uninstaller.
  CopyFileReplace(context, runningExecutable, values.workFolder + "SETUPB.EXE");

  if (values.IsUninstall()) {
    values.scriptCopy = values.workFolder + "UNSETUP.INI";
    CopyFileReplace(context, argument1, values.scriptCopy);
  } else {
    values.scriptCopy = values.workFolder + "SETUP.INI";
    const std::string script = values.programFolder + "SETUP.INI";
    if (platform::FileExists(context.platform.Files(), script)) CopyFileReplace(context, script, values.scriptCopy);
  }
  if (!platform::FileExists(context.platform.Files(), values.scriptCopy)) {
    values.startupError += std::string("【致命的エラー → iniファイル読み込み失敗】") + kCrLf;
  }
  if (!values.startupError.empty()) {
    ShowErrorState(values, view);
    return StartupOutcome::kError;
  }

  const Script script(context, values.scriptCopy);
  std::string keyError;
  if (!ReadCommonKeys(script, values, keyError)) {
    values.startupError = keyError;
    ShowErrorState(values, view);
    return StartupOutcome::kError;
  }

  platform::SystemApi& system = context.platform.System();
  std::string folder;
  if (values.IsUninstall()) {
    folder = script.Read("SetupFolder", "Folder");
    values.messageText = UninstallMessage(values);
  } else {
    values.programId = script.Read("ProgramID", "ID");
    values.userMayChange = script.Read("Extend", "Enabled") != "False";
    folder = DefaultInstallFolder(context, script, values);
    values.messageText = SetupMessage(script, values);
  }
  values.installFolder = EnsureSeparator(ExpandPathMacros(system, context.folders, folder), "B");
  view.SetFolderText(values.installFolder);
  if (!values.IsUninstall()) SetShortcutBoxes(context, script, values, view);
  SetWindowTexts(values, view);

  if (values.IsUninstall()) {
    PrepareUninstallPage(script, values, view);
    return StartupOutcome::kUninstallReady;
  }
  values.pagesPending = {true, true, true, true};
  view.Step();
  return RunSetupChecks(context, values, view, script.Read("Extend", "RejectOS"),
                        script.Read("Caution", "UnInstallCheckEx", "NoData"),
                        script.Read("Caution", "UnInstallCheck", "NoData"))
             ? StartupOutcome::kSetupReady
             : StartupOutcome::kSetupBlocked;
}

}  // namespace ov::setup
