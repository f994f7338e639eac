#include "record_plans.h"

#include <set>

#include "setup/text/ini_file.h"

namespace ov::setup::test {
namespace {

const char* const kFolders[] = {"C:\\Program Files\\Orvane\\", "C:\\ﾌﾟﾛｸﾞﾗﾑ\\表示ソフト\\", "D:\\a;b\\",
                                "C:\\WINDOWS\\system32\\"};
const char* const kNames[] = {"tool.exe", "TOOL.EXE", "ソフト.dll", "a,b.txt", "x;y.ocx", "十表.dat", "\"q\".txt",
                              " lead.txt", "trail.txt ", "'s'.ini"};
const char* const kOptions[] = {"", ",/S", ",/S/R", ",/W", ",/C", ",/R", ", /S"};

std::string Item(std::mt19937& random) {
  std::string item = kFolders[random() % 4];
  item += kNames[random() % 10];
  if (random() % 7 == 0) item += std::to_string(random() % 50);
  if (random() % 23 == 0) item = "\"" + item + "\"";
  if (random() % 29 == 0) item += std::string(300 + random() % 700, 'L');
  return item + kOptions[random() % 7];
}

}  // namespace

RecordPlan GeneratedPlan(std::mt19937& random, int entries) {
  RecordPlan plan;
  const auto put = [&plan](const char* section, const char* key, const std::string& value) {
    plan.push_back(RecordWrite{RecordWrite::Kind::kKey, section, key, value, false});
  };
  put("Information", "Message1", "Ondaro! Setup 200x UnSetup(UnInstall) Initialize File");
  put("Information", "Message2", "！！！　警告　！！！");
  put("Title", "UnSetup", "  表示ソフト; \"title\"  ");
  put("SetupFolder", "Folder", "C:\\Program Files\\Orvane\\");
  struct List {
    const char* section;
    const char* prefix;
    bool shared;
  };
  const List lists[] = {{"DeleteFolder", "Folder", false}, {"DeleteFile", "File", true},
                        {"DeleteShortCut", "File", false}, {"DeleteRegistry", "Key", false},
                        {"AddDeleteFile", "File", false}};
  for (const List& list : lists) {
    // Entries of an earlier record first (as merged), then this installation's, which
    // repeat some of them in other cases and with other options.
    const int count = list.shared ? entries : entries / 8 + 1;
    for (int i = 0; i < count; ++i) {
      std::string item = Item(random);
      if (random() % 50 == 0) item = "," + item;  // an empty first field
      plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, list.section, list.prefix, item, list.shared});
    }
  }
  for (int k = 1; k <= 20; k += 1 + static_cast<int>(random() % 3)) {
    put("RestoreRelate", ("Key" + std::to_string(k)).c_str(), "ext" + std::to_string(k) + ",表示;type");
  }
  put("Extend", "SetupString", "インストール");
  put("ProgramID", "ID", "");
  return plan;
}

RecordPlan CaseMappingPlan() {
  const char* const items[] = {
      "C:\\ａｂｃ\\one.txt",    "C:\\ｶﾀｶﾅ\\ωд.dll,/S", "C:\\ＡＢＣ\\ONE.TXT,/R", "c:\\ｶﾀｶﾅ\\ΩД.DLL",
      "C:\\ｚ\\Ωmega.txt",      "C:\\Ｚ\\ωMEGA.TXT",   "C:\\яё\\ソフト.dat",     "C:\\ЯЁ\\ソフト.DAT,/S",
      "C:\\ｱ\\ａ.txt",          "C:\\ｱ\\Ａ.TXT",         "C:\\ａ\\ｱ.txt"};
  RecordPlan plan;
  for (const char* item : items) plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, "DeleteFile", "File", item, true});
  return plan;
}

std::string ReadBack(platform::ProfileApi& profile, const RecordPlan& plan, const std::string& path) {
  std::string text;
  std::set<std::string> sections;
  for (const RecordWrite& write : plan) {
    if (!sections.insert(write.section).second) continue;
    std::string keys;
    for (std::uint32_t size = 1 << 16;; size *= 4) {
      const std::uint32_t length = profile.GetString(write.section.c_str(), nullptr, "", keys, size, path);
      if (length < size - 2) break;
    }
    text += "[" + write.section + "]\n";
    std::size_t start = 0;
    while (start < keys.size()) {
      std::size_t end = keys.find('\0', start);
      if (end == std::string::npos) end = keys.size();
      const std::string key = keys.substr(start, end - start);
      if (!key.empty()) text += key + "=" + ReadProfileString(profile, write.section, key, "<default>", path) + "\n";
      start = end + 1;
    }
  }
  return text;
}

}  // namespace ov::setup::test
