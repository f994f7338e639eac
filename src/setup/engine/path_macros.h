// Path macros and registry roots: the folder table behind the tokens "(App)" to "(C_Myd)",
// how it is filled from the system, the case-insensitive search and the token replacement
// that expand script and record texts, and the root tokens before registry key paths.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/install.h"

namespace ov::setup {

// The tokens in the order in which expansion tests them.
enum class Macro {
  kApp, kPrg, kWin, kSys, kTmp, kBoo, kSet, kEdr, kSmn, kSta, kDsk, kSup, kSen, kMyd,
  kCSmn, kCSta, kCDsk, kCSup, kCMyd,
};
constexpr std::size_t kMacroCount = 19;

// "(App)" ... "(C_Myd)".
const char* MacroToken(Macro macro);

struct PathMacroTable {
  // Folder values end with "\"; (Boo) and (Edr) are "X:", (Set) is "X:\" or empty.
  std::array<std::string, kMacroCount> values;
  std::string osKind = "NT";  // "NT" or "notNT"
  bool hasShfolder = false;   // "Shfolder.dll" is in the system folder

  PathMacroTable();
  std::string& operator[](Macro macro) { return values[static_cast<std::size_t>(macro)]; }
  const std::string& operator[](Macro macro) const { return values[static_cast<std::size_t>(macro)]; }
};

// "NT" for the NT platform, "notNT" for Windows 95/98/Me.
std::string OsKindOf(const platform::VersionInfo& version);

// The special folder's path, empty when the system has none.
std::string SpecialFolderPath(platform::InstallPlatform& platform, int csidl);

// Fills every value except (App) (its own token) and (Set) (empty), in the order that
// lets later values derive from earlier ones. table.osKind must be set. sourceFolder: the
// folder that holds the running installer. Returns the fatal error lines (Windows or
// system folder not obtained).
std::vector<std::string> ResolveFolderTable(platform::InstallPlatform& platform, PathMacroTable& table,
                                            const std::string& sourceFolder);

// (App) := folder with one trailing "\"; with setDrive also (Set) := its drive and "\".
void SetInstallFolder(PathMacroTable& table, const std::string& folder, bool setDrive);

// 1-based byte position of needle in haystack, compared in upper case by the locale; 0
// when absent.
std::size_t FindNoCase(platform::SystemApi& system, const std::string& needle, const std::string& haystack);

// Replaces every occurrence of token (any case) by value; a "\" that would follow a value
// ending in "\" is dropped once. Scanning goes on behind each inserted value.
std::string ReplaceToken(platform::SystemApi& system, const std::string& text, const std::string& token,
                         const std::string& value);

// Expands every token of the table, in table order.
std::string ExpandPathMacros(platform::SystemApi& system, const PathMacroTable& table, const std::string& text);

// The registry root token ("(Class)", "(Local)", "(Users)", else the current user) and
// the key path of a registry reference.
struct RegistryReference {
  platform::RegHandle root = platform::reg_root::kCurrentUser;
  std::string keyPath;
};
RegistryReference ParseRegistryRoot(const std::string& reference);

// The root key a token stands for, compared exactly; anything else is the current user.
platform::RegHandle RootOfToken(const std::string& token);

}  // namespace ov::setup
