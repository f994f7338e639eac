#include "setup/check/setup_check.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "base/cp932.h"
#include "base/path_parts.h"
#include "setup/engine/path_macros.h"
#include "setup/engine/script_syntax.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

constexpr const char* kScriptName = "SETUP.INI";
constexpr int kRelatePairs = 20;
constexpr int kTopMessages = 5;

bool SameAscii(const std::string& a, const std::string& b) { return base::AsciiUpper(a) == base::AsciiUpper(b); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The number of fields FieldOf finds: "," is never a second byte, so every one counts.
int FieldCount(const std::string& value) {
  return 1 + static_cast<int>(std::count(value.begin(), value.end(), ','));
}

// The parts of a path between "\" and "/" separators, stepping over double-byte characters.
std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i < path.size(); i = base::NextChar(path, i)) {
    if (path[i] == '\\' || path[i] == '/') {
      parts.push_back(part);
      part.clear();
    } else {
      part.append(path, i, base::CharLength(path, i));
    }
  }
  parts.push_back(part);
  return parts;
}

bool ClimbsUp(const std::string& path) {
  const std::vector<std::string> parts = PathParts(path);
  return std::find(parts.begin(), parts.end(), "..") != parts.end();
}

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
}

bool IsMacroToken(const std::string& token) {
  for (std::size_t m = 0; m < kMacroCount; ++m) {
    if (SameAscii(token, MacroToken(static_cast<Macro>(m)))) return true;
  }
  return false;
}

// Every text shaped like a token: "(", two to six ASCII letters or "_", ")".
std::vector<std::string> TokensIn(const std::string& text) {
  std::vector<std::string> tokens;
  for (std::size_t i = 0; i < text.size(); i = base::NextChar(text, i)) {
    if (text[i] != '(') continue;
    std::size_t j = i + 1;
    while (j < text.size() && (std::isalpha(static_cast<unsigned char>(text[j])) || text[j] == '_') &&
           static_cast<unsigned char>(text[j]) < 0x80) {
      ++j;
    }
    const std::size_t length = j - i - 1;
    if (j < text.size() && text[j] == ')' && length >= 2 && length <= 6) tokens.push_back(text.substr(i, j - i + 1));
  }
  return tokens;
}

// A path that starts at a root: a macro folder, a drive or a UNC share.
bool IsFullPath(const std::string& path) {
  if (HasDrive(path) || path.rfind("\\\\", 0) == 0) return true;
  const std::vector<std::string> tokens = TokensIn(path);
  return !tokens.empty() && path.rfind(tokens.front(), 0) == 0 && IsMacroToken(tokens.front());
}

// The registry root token as the install run and the default folder take it (the first
// seven characters when the reference starts with "(" or has ")" as its seventh).
bool NamesRootToken(const std::string& reference) {
  return !reference.empty() && (reference[0] == '(' || (reference.size() >= 7 && reference[6] == ')'));
}
bool IsRootToken(const std::string& token) {
  return token == "(Class)" || token == "(Local)" || token == "(Users)" || token == "(Cuser)";
}

// Option letters of a [CopyFile] or [AddDeleteFile] entry: "/" and one letter each.
std::string UnknownOptions(const std::string& options, const std::string& allowed) {
  std::string unknown;
  for (std::size_t i = 0; i < options.size();) {
    if (options[i] == ' ') {
      ++i;
      continue;
    }
    const std::size_t length = base::CharLength(options, i);
    if (options[i] == '/' && i + 1 < options.size() &&
        allowed.find(static_cast<char>(std::toupper(static_cast<unsigned char>(options[i + 1])))) !=
            std::string::npos) {
      i += 2;
      continue;
    }
    std::size_t end = i + length;
    while (end < options.size() && options[end] != '/' && options[end] != ' ') end = base::NextChar(options, end);
    unknown += (unknown.empty() ? "" : " ") + options.substr(i, end - i);
    i = end;
  }
  return unknown;
}

// The keys a section holds: fixed names, and numbered lists whose prefix is given.
struct SectionRule {
  const char* name;
  std::vector<const char*> keys;
  std::vector<const char*> numbered;
};

const std::vector<SectionRule>& Rules() {
  static const std::vector<SectionRule> rules = {
      {"Title", {"Setup", "UnSetup", "CopyRight1", "CopyRight2", "Program", "UnSetupKey", "UnSetupDisplay"}, {}},
      {"Extend",
       {"SetupString", "UnSetupString", "SetupSpeed", "Enabled", "RejectOS", "InstallChecker", "UnSetupOption"},
       {}},
      {"DefaultFolder", {"Folder", "ReferRegistry", "ReferIniFile"}, {}},
      {"ProgramID", {"ID"}, {}},
      {"TopMessage", {}, {"Message"}},
      {"Caution", {"UnInstallCheckEx", "UnInstallCheck"}, {}},
      {"EULA", {"File", "ScrollBars", "CheckBox"}, {}},
      {"Readme", {"File", "Title", "ScrollBars"}, {}},
      {"MakeFolder", {}, {"Folder"}},
      {"CopyFile", {}, {"File"}},
      {"ShortCut", {}, {"Make", "Name"}},
      {"Registry", {}, {"Key", "Name", "Value"}},
      {"IniFile", {}, {"Data"}},
      {"DeleteRegistry", {}, {"Key"}},
      {"AddDeleteFile", {}, {"File"}},
      {"Relate", {}, {"Name", "File"}},
      {"ExecuteFile", {"File"}, {}},
  };
  return rules;
}

class Checker {
 public:
  Checker(platform::Platform& platform, const std::string& medium, const CheckOptions& options)
      : platform_(platform), medium_(medium), script_(medium + kScriptName), options_(options) {
    // Stand-in folders, so that a value splits as it will on the target machine.
    for (std::size_t m = 0; m < kMacroCount; ++m) {
      const std::string token = MacroToken(static_cast<Macro>(m));
      placeholders_.values[m] = "Z:\\" + token.substr(1, token.size() - 2) + "\\";
    }
    placeholders_[Macro::kBoo] = "Z:";
    placeholders_[Macro::kEdr] = "Z:";
    placeholders_[Macro::kSet] = "Z:\\";
  }

  std::vector<Finding> Run() {
    std::string text;
    if (platform_.Files().ReadContents(script_, text) != platform::error::kSuccess) {
      Add(Severity::kError, "", "", "no SETUP.INI on the medium: SETUP stops at start-up");
      return findings_;
    }
    CheckEncoding(text);
    CheckLayout();
    CheckGeneralKeys();
    CheckPages();
    CheckFolders();
    CheckCopyFiles();
    CheckShortcuts();
    CheckRegistry();
    CheckIniFiles();
    CheckDeletionLists();
    CheckRelate();
    CheckExecuteFile();
    return findings_;
  }

 private:
  void Add(Severity severity, const std::string& section, const std::string& key, const std::string& reason) {
    findings_.push_back(Finding{severity, section, key, reason});
  }
  void Error(const std::string& section, const std::string& key, const std::string& reason) {
    Add(Severity::kError, section, key, reason);
  }
  void Warn(const std::string& section, const std::string& key, const std::string& reason) {
    Add(Severity::kWarning, section, key, reason);
  }

  std::string Read(const std::string& section, const std::string& key) {
    return ReadProfileString(platform_.Profile(), section, key, "", script_);
  }

  // Section names (section empty) or a section's keys, read whole.
  std::vector<std::string> List(const std::string& section) {
    std::string buffer;
    std::uint32_t size = 1024;
    for (;;) {
      const std::uint32_t length = platform_.Profile().GetString(section.empty() ? nullptr : section.c_str(), nullptr,
                                                                 "", buffer, size, script_);
      if (size < 2 || length != size - 2) break;
      size *= 2;
    }
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < buffer.size()) {
      const std::size_t end = buffer.find('\0', start);
      const std::string name = buffer.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!name.empty()) names.push_back(name);
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return names;
  }

  // How many entries a numbered list has for the runs: up to the first empty one.
  int CountOf(const std::string& section, const std::string& prefix) {
    int n = 0;
    while (!Read(section, prefix + std::to_string(n + 1)).empty()) ++n;
    return n;
  }

  void CheckEncoding(const std::string& text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
      Error("", "", "starts with a UTF-8 byte order mark: the first section's name is not read; save it in code page 932");
      return;
    }
    for (std::size_t i = 0; i < text.size(); i = base::NextChar(text, i)) {
      const unsigned char byte = static_cast<unsigned char>(text[i]);
      if (base::IsLeadByte(byte)) {
        const unsigned char trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
          Error("", "", "not code page 932 text (a lead byte without its second byte): Japanese texts show garbled");
          return;
        }
      } else if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD) {
        Error("", "", "not code page 932 text: Japanese texts show garbled; save it in code page 932");
        return;
      }
    }
  }

  // Sections and keys SETUP reads, numbered keys after a gap and keys the runs never reach.
  void CheckLayout() {
    for (const std::string& section : List("")) {
      const auto rule = std::find_if(Rules().begin(), Rules().end(),
                                     [&](const SectionRule& r) { return SameAscii(section, r.name); });
      if (rule == Rules().end()) {
        Warn(section, "", "SETUP reads no section of this name");
        continue;
      }
      std::vector<int> counts;
      for (const char* prefix : rule->numbered) counts.push_back(CountOf(section, prefix));
      const std::vector<std::string> keys = List(section);
      for (const std::string& key : keys) CheckKey(*rule, counts, keys, key);
    }
  }

  void CheckKey(const SectionRule& rule, const std::vector<int>& counts, const std::vector<std::string>& keys,
                const std::string& key) {
    for (const char* name : rule.keys) {
      if (SameAscii(key, name)) return;
    }
    for (std::size_t p = 0; p < rule.numbered.size(); ++p) {
      const std::string prefix = rule.numbered[p];
      if (key.size() <= prefix.size() || !SameAscii(key.substr(0, prefix.size()), prefix)) continue;
      const std::string digits = key.substr(prefix.size());
      if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
      const std::string section = rule.name;
      if (digits[0] == '0' || digits.size() > 9) {
        Error(section, key, "never read: the runs read " + prefix + "1, " + prefix + "2, ... without leading zeros");
        return;
      }
      const int n = std::stoi(digits);
      if (section == "Relate") {
        // One finding for the pair: on its FileN only when there is no NameN.
        const bool named = std::any_of(keys.begin(), keys.end(), [&](const std::string& other) {
          return SameAscii(other, "Name" + std::to_string(n));
        });
        if (n > kRelatePairs && (p == 0 || !named)) {
          Error(section, key, "never read: [Relate] holds the pairs 1 to 20 only");
        }
        return;
      }
      if (section == "TopMessage") {
        if (n > kTopMessages) Warn(section, key, "never read: the message has the lines Message1 to Message5");
        return;
      }
      // An empty key holds nothing to lose; it is what ends the list.
      if (Read(section, key).empty()) return;
      // The first prefix leads the list; the others are read only beside it.
      const int count = counts[0];
      if (n > count) {
        if (p == 0) {
          Error(section, key, "after a gap: the list ends before " + prefix + std::to_string(count + 1) +
                                  " (missing or empty), so the runs ignore this entry");
        } else if (std::none_of(keys.begin(), keys.end(), [&](const std::string& other) {
                     return SameAscii(other, rule.numbered[0] + std::to_string(n));
                   })) {
          // Beside a leading key after a gap, that key's finding says it all.
          Error(section, key, "never read: there is no " + std::string(rule.numbered[0]) + std::to_string(n));
        }
      }
      return;
    }
    Warn(rule.name, key, "SETUP reads no key of this name in [" + std::string(rule.name) + "]");
  }

  // Tokens that are no path macro (the extra tokens given are allowed, exactly spelt).
  bool CheckTokens(const std::string& section, const std::string& key, const std::string& value,
                   const std::vector<std::string>& extra = {}) {
    for (const std::string& token : TokensIn(value)) {
      if (IsMacroToken(token) || std::find(extra.begin(), extra.end(), token) != extra.end()) continue;
      Error(section, key, "unknown token " + token + ": it is no path macro and stays in the text as it is");
      return false;
    }
    return true;
  }

  void CheckFields(const std::string& section, const std::string& key, const std::string& value, int most,
                   const std::string& what) {
    if (FieldCount(value) > most) {
      Error(section, key, "more than " + std::to_string(most) + " fields (" + what +
                              "): a \",\" inside a field cuts it, and the text after the last field is ignored");
    }
  }

  void CheckFullPath(const std::string& section, const std::string& key, const std::string& path) {
    if (!IsFullPath(path)) {
      Error(section, key, "the path " + Quoted(path) +
                              " is relative: it would land in whatever folder is current; start it with a path macro such as (App)");
    }
  }

  // A path relative to the medium's folder ([EULA] File, [Readme] File, [Extend] InstallChecker).
  void CheckMediumFile(const std::string& section, const std::string& key, const std::string& what) {
    const std::string value = Read(section, key);
    if (value.empty()) return;
    if (ClimbsUp(value) || HasDrive(value) || value.rfind("\\\\", 0) == 0) {
      Error(section, key, Quoted(value) + " leaves the medium: the path is taken relative to the medium's folder");
      return;
    }
    if (!platform::FileExists(platform_.Files(), medium_ + DropSeparator(value, "T"))) {
      Warn(section, key, Quoted(value) + " is not on the medium: " + what);
    }
  }

  void CheckGeneralKeys() {
    const std::string speed = Read("Extend", "SetupSpeed");
    int parsed = 0;
    if (!speed.empty() && !ParseDecimal(speed, parsed)) {
      Error("Extend", "SetupSpeed", Quoted(speed) + " is not a decimal integer: SETUP stops at start-up");
    }
    const std::string enabled = Read("Extend", "Enabled");
    if (enabled != "False" && SameAscii(enabled, "False")) {
      Warn("Extend", "Enabled", Quoted(enabled) + " leaves the folder changeable: only \"False\", spelt so, locks it");
    }
    const std::string option = Read("Extend", "UnSetupOption");
    if (!option.empty() && option != "DeleteAll") {
      bool flags = option.size() == 7;
      for (std::size_t i = 0; flags && i < option.size(); ++i) {
        flags = (i % 2 == 1) ? option[i] == ',' : (option[i] == '0' || option[i] == '1');
      }
      if (!flags) {
        Warn("Extend", "UnSetupOption",
             Quoted(option) + " is neither \"DeleteAll\" nor four flags \"0\"/\"1\" separated by \",\"");
      }
    }
    CheckMediumFile("Extend", "InstallChecker", "no check runs");

    const std::string folder = Read("DefaultFolder", "Folder");
    if (CheckTokens("DefaultFolder", "Folder", folder)) {
      if (!folder.empty() && FindNoCase(platform_.System(), "(App)", folder) != 0) {
        Error("DefaultFolder", "Folder", "(App) is not known at start-up: the folder shows the literal text (App)");
      } else if (FindNoCase(platform_.System(), "(Set)", folder) != 0) {
        Warn("DefaultFolder", "Folder", "(Set) is empty at start-up: the folder loses its drive");
      } else if (!folder.empty()) {
        CheckFullPath("DefaultFolder", "Folder", folder);
      }
    }
    const std::string referRegistry = Read("DefaultFolder", "ReferRegistry");
    if (!referRegistry.empty()) {
      CheckRootToken("DefaultFolder", "ReferRegistry", FieldOf(referRegistry, ',', 1));
      CheckFields("DefaultFolder", "ReferRegistry", referRegistry, 2, "key, value name");
    }
    const std::string referIni = Read("DefaultFolder", "ReferIniFile");
    if (!referIni.empty() && CheckTokens("DefaultFolder", "ReferIniFile", referIni)) {
      if (FieldCount(referIni) != 3) {
        Error("DefaultFolder", "ReferIniFile", "needs exactly three fields (file, section, key)");
      }
    }

    for (const char* key : {"UnInstallCheckEx", "UnInstallCheck"}) {
      const std::string check = Read("Caution", key);
      if (FindNoCase(platform_.System(), "IDCheck", check) != 0 && FieldOf(check, ':', 2).empty()) {
        Error("Caution", key, "\"IDCheck\" without a program ID after \":\": the check never finds anything");
      } else if (FindNoCase(platform_.System(), "IDCheck", check) == 0 && (ClimbsUp(check) || HasDrive(check))) {
        Error("Caution", key, Quoted(check) + " leaves the install folder: the file is looked for inside it");
      }
    }

    if (Has("Title", "UnSetupKey") && Read("Title", "UnSetupKey").empty()) {
      Error("Title", "UnSetupKey", "empty: the uninstall entry cannot be registered with Windows");
    }
  }

  bool Has(const std::string& section, const std::string& key) {
    for (const std::string& name : List(section)) {
      if (SameAscii(name, key)) return true;
    }
    return false;
  }

  void CheckPages() {
    CheckMediumFile("EULA", "File", "the licence agreement page is skipped");
    CheckMediumFile("Readme", "File", "the readme page is skipped");
    for (const char* section : {"EULA", "Readme"}) {
      const std::string bars = Read(section, "ScrollBars");
      if (!bars.empty() && bars != "ssVertical" && bars != "ssHorizontal" && bars != "ssBoth") {
        Warn(section, "ScrollBars", Quoted(bars) + " is none of ssVertical, ssHorizontal, ssBoth: the text keeps its vertical scroll bar");
      }
    }
    const std::string checkBox = Read("EULA", "CheckBox");
    if (checkBox != "Hide" && SameAscii(checkBox, "Hide")) {
      Warn("EULA", "CheckBox", Quoted(checkBox) + " still shows the box: only \"Hide\", spelt so, hides it");
    }
  }

  void CheckFolders() {
    const int count = CountOf("MakeFolder", "Folder");
    for (int n = 1; n <= count; ++n) {
      const std::string key = "Folder" + std::to_string(n);
      const std::string value = Read("MakeFolder", key);
      if (CheckTokens("MakeFolder", key, value)) CheckFullPath("MakeFolder", key, value);
    }
  }

  void CheckCopyFiles() {
    const int count = CountOf("CopyFile", "File");
    bool laterDisk = false;
    for (int n = 1; n <= count; ++n) {
      const std::string key = "File" + std::to_string(n);
      const std::string value = Read("CopyFile", key);
      const CopyEntry entry = ParseCopyEntry(ExpandPathMacros(platform_.System(), placeholders_, value));
      laterDisk = laterDisk || entry.diskChange;
      const std::string text = entry.diskChange ? value.substr(5) : value;
      if (!CheckTokens("CopyFile", key, text)) continue;
      if (FieldCount(text) > 2) {
        Error("CopyFile", key, "more than two fields: a \",\" ends the destination, and fields after the options are ignored");
        continue;
      }
      const std::string unknown = UnknownOptions(entry.optionText, "SWRCLF");
      if (!unknown.empty()) {
        Error("CopyFile", key, "option text " + Quoted(unknown) +
                                   " is none of /S /W /R /C /L /F (each a \"/\" and one letter): it is ignored");
      }
      const std::string written = FieldOf(text, ',', 1);
      CheckFullPath("CopyFile", key, written.substr(0, std::min(written.size(), base::FindAscii(written, '|'))));
      if (entry.hasNewName && (ClimbsUp(entry.newName) || HasDrive(entry.newName) || entry.newName.rfind("\\", 0) == 0)) {
        Error("CopyFile", key, "the new name " + Quoted(entry.newName) + " leaves the destination's folder");
      }
      if (entry.sourceName.empty()) {
        Error("CopyFile", key, "the destination names no file: the medium's file is taken from its name");
        continue;
      }
      // Files of a later disk are not in this folder; SETUP asks for the disk first.
      if (laterDisk || BuiltLater(entry.sourceName)) continue;
      const std::string source = medium_ + entry.sourceName;
      if (!platform::FileExists(platform_.Files(), source)) {
        Error("CopyFile", key, Quoted(entry.sourceName) + " is not on the medium: the copy fails");
        continue;
      }
      if (entry.compressed && !entry.hasNewName) CheckCompressedName(key, entry.sourceName);
    }
  }

  // A compressed file installed under its recorded name: the header must record the last
  // character of the name in place of the "_".
  void CheckCompressedName(const std::string& key, const std::string& name) {
    std::string data;
    platform_.Files().ReadContents(medium_ + name, data);
    if (data.compare(0, 4, "SZDD") != 0) {
      Warn("CopyFile", key, Quoted(name) + " ends in \"_\" but is not LZ-compressed: it is installed under that name");
    } else if (data.size() < 10 || data[9] == '\0') {
      Error("CopyFile", key, Quoted(name) +
                                 " does not record the last character of its name: it is installed without it (compress with the character recorded, or give the name after \"|\")");
    }
  }

  void CheckShortcuts() {
    const int count = CountOf("ShortCut", "Make");
    for (int n = 1; n <= count; ++n) {
      const std::string make = "Make" + std::to_string(n);
      const std::string target = Read("ShortCut", make);
      if (CheckTokens("ShortCut", make, target)) {
        CheckFields("ShortCut", make, target, 2, "target, arguments");
        CheckFullPath("ShortCut", make, FieldOf(target, ',', 1));
      }
      const std::string name = "Name" + std::to_string(n);
      const std::string link = Read("ShortCut", name);
      if (link.empty() || link == "Default" || !CheckTokens("ShortCut", name, link)) continue;
      CheckFields("ShortCut", name, link, 2, "link, working folder");
      if (ClimbsUp(FieldOf(link, ',', 1))) {
        Error("ShortCut", name, Quoted(FieldOf(link, ',', 1)) + " climbs out of its folder with \"..\"");
      }
    }
  }

  void CheckRootToken(const std::string& section, const std::string& key, const std::string& reference) {
    if (NamesRootToken(reference) && !IsRootToken(reference.substr(0, 7))) {
      Error(section, key, Quoted(reference.substr(0, 7)) +
                              " is taken as a root token and is none of (Class) (Local) (Users) (Cuser), spelt so: the key goes below HKEY_CURRENT_USER");
    }
  }

  void CheckRegistry() {
    const int count = CountOf("Registry", "Key");
    for (int n = 1; n <= count; ++n) {
      const std::string keyKey = "Key" + std::to_string(n);
      const std::string reference = Read("Registry", keyKey);
      CheckRootToken("Registry", keyKey, reference);
      const std::string valueKey = "Value" + std::to_string(n);
      std::string value = Read("Registry", valueKey);
      if (!CheckTokens("Registry", valueKey, value, {"(Pdd)", "(Str)", "(Int)", "(Dwd)", "(Bin)", "(Exp)"})) continue;
      value = ReplaceToken(platform_.System(), value, "(Pdd)", "");
      const std::vector<std::string> tokens = TokensIn(value);
      const bool typed = !tokens.empty() && value.rfind(tokens.front(), 0) == 0 && !IsMacroToken(tokens.front());
      const RegistryValueType type = RegistryTypeOf(value);
      const std::string data = value.size() > 5 ? value.substr(5) : std::string();
      std::uint32_t number = 0;
      if (typed && type == RegistryValueType::kWholeText) {
        Error("Registry", valueKey, Quoted(tokens.front()) + " is no type token here: the value is written as a string, token included");
      } else if (type == RegistryValueType::kDword && data.find('(') == std::string::npos &&
                 !ParseRegistryNumber(data, number)) {
        Error("Registry", valueKey, Quoted(data) + " is not a number: 0 is written");
      } else if (type == RegistryValueType::kBinary && data.find('(') == std::string::npos &&
                 !ParseRegistryHex(data, number)) {
        Error("Registry", valueKey, Quoted(data) + " is not a hexadecimal number of at most eight digits: nothing is written");
      }
    }
  }

  void CheckIniFiles() {
    const int count = CountOf("IniFile", "Data");
    for (int n = 1; n <= count; ++n) {
      const std::string key = "Data" + std::to_string(n);
      const std::string value = Read("IniFile", key);
      if (!CheckTokens("IniFile", key, value)) continue;
      if (FieldCount(value) != 4) {
        Error("IniFile", key, "needs exactly four fields (section, key, value, file); a value cannot contain \",\"");
      } else {
        CheckFullPath("IniFile", key, FieldOf(value, ',', 4));
      }
    }
  }

  void CheckDeletionLists() {
    for (int n = 1, count = CountOf("DeleteRegistry", "Key"); n <= count; ++n) {
      const std::string key = "Key" + std::to_string(n);
      const std::string reference = Read("DeleteRegistry", key);
      // The uninstall run takes a root token only when the reference starts with "(" and
      // has ")" as its seventh character.
      const bool rooted = reference.size() >= 7 && reference[0] == '(' && reference[6] == ')';
      if (NamesRootToken(reference) && !rooted) {
        Error("DeleteRegistry", key, "the uninstall run reads " + Quoted(reference) + " as a key path below HKEY_CURRENT_USER");
        continue;
      }
      CheckRootToken("DeleteRegistry", key, reference);
      // After a root token the run drops a "\" at either end, as the install run does.
      const std::string path = rooted ? DropSeparator(DropSeparator(reference.substr(7), "T"), "B") : reference;
      const bool emptyPart = path.empty() || path.front() == '\\' || path.back() == '\\' ||
                             path.find("\\\\") != std::string::npos;
      if (emptyPart) {
        Error("DeleteRegistry", key, "the key path " + Quoted(path) +
                                         " has a leading, trailing or doubled \"\\\": the uninstall run takes it as written and never deletes the key");
      } else if (platform::IsProtectedRegistryKey(rooted ? RootOfToken(reference.substr(0, 7))
                                                         : platform::reg_root::kCurrentUser,
                                                  path)) {
        Error("DeleteRegistry", key, Quoted(reference) + " is a key of Windows' own: the uninstall run never deletes it");
      }
    }
    for (int n = 1, count = CountOf("AddDeleteFile", "File"); n <= count; ++n) {
      const std::string key = "File" + std::to_string(n);
      const std::string value = Read("AddDeleteFile", key);
      if (!CheckTokens("AddDeleteFile", key, value)) continue;
      CheckFields("AddDeleteFile", key, value, 2, "path, options");
      const std::string unknown = UnknownOptions(FieldOf(value, ',', 2), "CLF");
      if (!unknown.empty()) {
        Error("AddDeleteFile", key, "option text " + Quoted(unknown) +
                                        " is none of /C /L /F (each a \"/\" and one letter): it is ignored");
      }
      CheckFullPath("AddDeleteFile", key, FieldOf(value, ',', 1));
    }
  }

  void CheckRelate() {
    for (int n = 1; n <= kRelatePairs; ++n) {
      const std::string nameKey = "Name" + std::to_string(n);
      const std::string fileKey = "File" + std::to_string(n);
      const std::string name = Read("Relate", nameKey);
      const std::string file = Read("Relate", fileKey);
      if (name.empty() && file.empty()) continue;
      if (name.empty() || file.empty()) {
        Error("Relate", name.empty() ? fileKey : nameKey,
              "the pair is dropped: " + (name.empty() ? nameKey : fileKey) + " is missing or empty");
        continue;
      }
      CheckFields("Relate", nameKey, name, 2, "extension, description");
      const std::string extension = FieldOf(name, ',', 1);
      if (extension.empty() || extension[0] == '.') {
        Error("Relate", nameKey, "the extension is written without its dot and must not be empty");
      }
      if (!CheckTokens("Relate", fileKey, file)) continue;
      CheckFields("Relate", fileKey, file, 5, "verb, program, argument 1, argument 2, icon index");
      if (FieldOf(file, ',', 1).empty() || FieldOf(file, ',', 2).empty()) {
        Error("Relate", fileKey, "needs a verb and a program: the association would start nothing");
      }
    }
  }

  void CheckExecuteFile() {
    const std::string value = Read("ExecuteFile", "File");
    if (value.empty() || value == "WINDOWS_REBOOT") return;
    if (SameAscii(value, "WINDOWS_REBOOT")) {
      Error("ExecuteFile", "File", Quoted(value) + " is no restart: only \"WINDOWS_REBOOT\", spelt so, restarts Windows");
      return;
    }
    if (!CheckTokens("ExecuteFile", "File", value)) return;
    CheckFields("ExecuteFile", "File", value, 3, "program, arguments, method");
    const std::string method = FieldOf(value, ',', 3);
    if (!method.empty() && method != "CreateProcess") {
      Warn("ExecuteFile", "File", "method " + Quoted(method) + " is not \"CreateProcess\": the shell opens the program instead");
    }
    CheckFullPath("ExecuteFile", "File", FieldOf(value, ',', 1));
  }

  bool BuiltLater(const std::string& name) const {
    return std::any_of(options_.builtLater.begin(), options_.builtLater.end(),
                       [&](const std::string& later) { return SameAscii(later, name); });
  }

  platform::Platform& platform_;
  std::string medium_;
  std::string script_;
  CheckOptions options_;
  PathMacroTable placeholders_;
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckMedium(platform::Platform& platform, const std::string& mediumFolder,
                                 const CheckOptions& options) {
  return Checker(platform, EnsureSeparator(mediumFolder, "B"), options).Run();
}

std::string FormatFinding(const Finding& finding) {
  std::string line = kScriptName;
  if (!finding.section.empty()) line += " [" + finding.section + "]";
  if (!finding.key.empty()) line += " " + finding.key;
  line += finding.severity == Severity::kError ? ": error: " : ": warning: ";
  return line + finding.reason;
}

int ExitStatusOf(const std::vector<Finding>& findings) {
  int status = 0;
  for (const Finding& finding : findings) status = std::max(status, finding.severity == Severity::kError ? 2 : 1);
  return status;
}

}  // namespace ov::setup
