#include "setup/engine/path_macros.h"

#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

using platform::InstallPlatform;

const char* const kTokens[kMacroCount] = {
    "(App)", "(Prg)", "(Win)", "(Sys)", "(Tmp)", "(Boo)", "(Set)", "(Edr)", "(Smn)", "(Sta)",
    "(Dsk)", "(Sup)", "(Sen)", "(Myd)", "(C_Smn)", "(C_Sta)", "(C_Dsk)", "(C_Sup)", "(C_Myd)",
};

// A special folder with its trailing "\"; a failed query gives "\" alone.
std::string SpecialFolderValue(InstallPlatform& platform, int csidl) {
  return EnsureSeparator(SpecialFolderPath(platform, csidl), "B");
}

// A value of "\" is a special folder that was not found.
bool NotFound(const std::string& value) { return value == "\\"; }

// Position (0-based) of needle in haystack at or after from, by upper-case mapping.
std::size_t FindNoCaseFrom(platform::SystemApi& system, const std::string& needle, const std::string& haystack,
                           std::size_t from) {
  if (needle.empty() || from >= haystack.size()) return std::string::npos;
  const std::string upperNeedle = system.UpperCase(needle);
  const std::string upperHaystack = system.UpperCase(haystack);
  // The mapping keeps byte lengths; should a locale not, the unmapped text is searched.
  if (upperHaystack.size() != haystack.size()) return haystack.find(needle, from);
  return upperHaystack.find(upperNeedle, from);
}

}  // namespace

const char* MacroToken(Macro macro) { return kTokens[static_cast<std::size_t>(macro)]; }

PathMacroTable::PathMacroTable() { (*this)[Macro::kApp] = "(App)"; }

std::string OsKindOf(const platform::VersionInfo& version) {
  return version.platformId == platform::platform_id::kWin32Nt ? "NT" : "notNT";
}

std::string SpecialFolderPath(InstallPlatform& platform, int csidl) {
  std::string path;
  return platform.InstallShell().SpecialFolder(csidl, path) == platform::error::kSuccess ? path : std::string();
}

std::vector<std::string> ResolveFolderTable(InstallPlatform& platform, PathMacroTable& table, const std::string& sourceFolder) {
  using namespace platform::csidl;
  std::vector<std::string> fatal;
  PathMacroTable& t = table;

  const std::string temp = platform.System().TempFolder();
  t[Macro::kTmp] = EnsureSeparator(temp.empty() ? sourceFolder : temp, "B");

  t[Macro::kWin] = SpecialFolderValue(platform, kWindows);
  if (NotFound(t[Macro::kWin])) {
    const std::string windows = platform.System().WindowsFolder();
    if (windows.empty()) {
      fatal.push_back("【致命的エラー → Windowsフォルダ取得失敗】");
    } else {
      t[Macro::kWin] = EnsureSeparator(windows, "B");
    }
  }
  t[Macro::kSys] = SpecialFolderValue(platform, kSystem);
  if (NotFound(t[Macro::kSys])) {
    const std::string system = platform.System().SystemFolder();
    if (system.empty()) {
      fatal.push_back("【致命的エラー → WindowsSystemフォルダ取得失敗】");
    } else {
      t[Macro::kSys] = EnsureSeparator(system, "B");
    }
  }
  t.hasShfolder = platform::FileExists(platform.Files(), t[Macro::kSys] + "Shfolder.dll");

  const std::string windowsDrive = t[Macro::kWin].substr(0, 2);
  t[Macro::kPrg] = SpecialFolderValue(platform, kProgramFiles);
  if (NotFound(t[Macro::kPrg])) {
    platform::RegKey key;
    std::string programFiles;
    if (platform::RegKey::Open(platform.Registry(), platform::reg_root::kLocalMachine,
                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", key) == platform::error::kSuccess) {
      platform::QueryStringValue(platform.Registry(), key.Get(), "ProgramFilesDir", programFiles);
    }
    t[Macro::kPrg] = EnsureSeparator(programFiles, "B");
  }
  if (NotFound(t[Macro::kPrg]) || !platform::FolderExists(platform.Files(), t[Macro::kPrg])) {
    t[Macro::kPrg] = windowsDrive + "\\Program Files\\";
  }

  t[Macro::kMyd] = SpecialFolderValue(platform, kPersonal);
  if (NotFound(t[Macro::kMyd])) t[Macro::kMyd] = windowsDrive + "\\My Documents\\";
  t[Macro::kCMyd] = t[Macro::kMyd];
  t[Macro::kApp] = "(App)";
  t[Macro::kBoo] = windowsDrive;
  t[Macro::kEdr] = sourceFolder.substr(0, 2);
  t[Macro::kSmn] = t[Macro::kCSmn] = SpecialFolderValue(platform, kStartMenu);
  t[Macro::kSta] = t[Macro::kCSta] = SpecialFolderValue(platform, kPrograms);
  t[Macro::kDsk] = t[Macro::kCDsk] = SpecialFolderValue(platform, kDesktopDirectory);
  t[Macro::kSup] = t[Macro::kCSup] = SpecialFolderValue(platform, kStartup);
  t[Macro::kSen] = SpecialFolderValue(platform, kSendTo);
  if (t.osKind == "NT") {
    t[Macro::kCSmn] = SpecialFolderValue(platform, kCommonStartMenu);
    t[Macro::kCSta] = SpecialFolderValue(platform, kCommonPrograms);
    t[Macro::kCDsk] = SpecialFolderValue(platform, kCommonDesktopDirectory);
    t[Macro::kCSup] = SpecialFolderValue(platform, kCommonStartup);
  }
  if (t.osKind == "NT" || t.hasShfolder) t[Macro::kCMyd] = SpecialFolderValue(platform, kCommonDocuments);
  return fatal;
}

void SetInstallFolder(PathMacroTable& table, const std::string& folder, bool setDrive) {
  table[Macro::kApp] = EnsureSeparator(folder, "B");
  if (setDrive) table[Macro::kSet] = table[Macro::kApp].substr(0, 2) + "\\";
}

std::size_t FindNoCase(platform::SystemApi& system, const std::string& needle, const std::string& haystack) {
  const std::size_t found = FindNoCaseFrom(system, needle, haystack, 0);
  return found == std::string::npos ? 0 : found + 1;
}

std::string ReplaceToken(platform::SystemApi& system, const std::string& text, const std::string& token,
                         const std::string& value) {
  std::string result = text;
  std::size_t from = 0;
  const bool valueEndsWithSeparator = EndsWithSeparator(value);
  for (;;) {
    const std::size_t found = FindNoCaseFrom(system, token, result, from);
    if (found == std::string::npos) return result;
    std::string right = result.substr(found + token.size());
    if (valueEndsWithSeparator && !right.empty() && right[0] == '\\') right.erase(0, 1);
    result = result.substr(0, found) + value + right;
    from = found + value.size();
  }
}

std::string ExpandPathMacros(platform::SystemApi& system, const PathMacroTable& table, const std::string& text) {
  std::string result = text;
  for (std::size_t i = 0; i < kMacroCount; ++i) {
    if (FindNoCase(system, kTokens[i], result) != 0) result = ReplaceToken(system, result, kTokens[i], table.values[i]);
  }
  return result;
}

platform::RegHandle RootOfToken(const std::string& token) {
  if (token == "(Class)") return platform::reg_root::kClassesRoot;
  if (token == "(Local)") return platform::reg_root::kLocalMachine;
  if (token == "(Users)") return platform::reg_root::kUsers;
  return platform::reg_root::kCurrentUser;
}

RegistryReference ParseRegistryRoot(const std::string& reference) {
  RegistryReference result;
  if ((!reference.empty() && reference[0] == '(') || (reference.size() >= 7 && reference[6] == ')')) {
    result.root = RootOfToken(reference.substr(0, 7));
    result.keyPath = reference.size() > 7 ? reference.substr(7) : std::string();
  } else {
    result.keyPath = reference;
  }
  result.keyPath = DropSeparator(DropSeparator(result.keyPath, "T"), "B");
  return result;
}

}  // namespace ov::setup
