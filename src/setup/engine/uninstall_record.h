// The uninstall record UNSETUP.INI and the per-machine file ODSET98.INI. A record is first
// described as the sequence of profile writes that make it (a plan); the writer then
// builds the file in memory, with the slot rules that writing key by key through the
// profile functions would follow, and writes it once. Writing key by key costs a re-read
// of the file per write and a read-back of every earlier key per slot search.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/install.h"

namespace ov::setup {

constexpr const char* kRecordName = "UNSETUP.INI";
constexpr const char* kMachineRecordName = "ODSET98.INI";
constexpr const char* kUninstallerName = "UNOD200X.EXE";
constexpr const char* kUninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// One write of the record: a plain key, or an item of a numbered list that goes to the
// slot FindRecordSlot gives it.
struct RecordWrite {
  enum class Kind { kKey, kListItem };
  Kind kind = Kind::kKey;
  std::string section;
  std::string key;  // the key, or the prefix of a numbered list ("File", "Folder", "Key")
  std::string value;
  bool sharedDllRule = false;  // DeleteFile: a slot once marked "/S" stays marked
};
using RecordPlan = std::vector<RecordWrite>;

// Appends every item of a "|"-terminated list (the last "|" may be missing).
void AddListToPlan(RecordPlan& plan, const std::string& section, const std::string& prefix, const std::string& list,
                   bool sharedDllRule = false);

// What the profile functions return for a value written as it stands: blanks around it
// and one pair of enclosing quotes are not part of it.
std::string ProfileReadsAs(const std::string& written);

// An INI file built in memory: sections and keys in the order of their first write, a
// rewritten key keeping its place, numbered lists with the slot search of the record.
class RecordBuilder {
 public:
  explicit RecordBuilder(platform::SystemApi& system) : system_(system) {}

  void Put(const std::string& section, const std::string& key, const std::string& value);
  // The key number under which the item goes: the first slot whose value reads with an
  // empty first field, or with the item's first field in any case; else the next free.
  int FindRecordSlot(const std::string& item, const std::string& section, const std::string& prefix);
  // Writes the item at its slot, applying the shared-DLL rule when asked. Returns the slot.
  int PutListItem(const std::string& section, const std::string& prefix, const std::string& item,
                  bool sharedDllRule);
  // Applies every write of the plan in order. The first fields of all list items are
  // upper-cased beforehand in one call of the system, not one call per item.
  void Apply(const RecordPlan& plan);

  // The file as the profile functions would have left it.
  std::string Text() const;

 private:
  struct Entry {
    std::string key;
    std::string value;  // as written (leading blanks dropped)
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::map<std::string, std::size_t> index;  // folded key -> entry
  };
  // The slots of one numbered list: which slots read with which first field.
  struct Slots {
    std::vector<std::string> folded;               // per slot: folded first field read back
    std::unordered_map<std::string, int> first;    // folded first field -> its lowest slot
  };
  Section& SectionNamed(const std::string& name);
  std::string Fold(const std::string& text) const;
  void Prefold(const RecordPlan& plan);
  const std::string* Value(const std::string& section, const std::string& key) const;
  Slots& SlotsOf(const std::string& section, const std::string& prefix);
  int SlotOf(const Slots& slots, const std::string& foldedField) const;

  platform::SystemApi& system_;
  std::vector<Section> sections_;
  std::map<std::string, std::size_t> sectionIndex_;
  std::string lastSection_;  // the section of the last write, as named, and its place
  std::size_t lastSectionIndex_ = 0;
  std::map<std::string, Slots> slots_;  // section + "\n" + prefix
  std::unordered_map<std::string, std::string> folded_;  // text -> upper case, from Prefold
};

// Writes the plan at once: the file is replaced by the built text. 0 or the write's error.
platform::Error WriteRecordAtOnce(platform::FileApi& files, platform::SystemApi& system, const RecordPlan& plan,
                                  const std::string& path);
// Writes the plan key by key through the profile functions, each write after a flush and
// each slot found by reading the record back: the reference the built file must match.
void WriteRecordKeyByKey(platform::ProfileApi& profile, platform::SystemApi& system, const RecordPlan& plan,
                         const std::string& path);
// The slot search against the file itself, through the profile functions.
int FindRecordSlot(platform::ProfileApi& profile, platform::SystemApi& system, const std::string& item,
                   const std::string& section, const std::string& prefix, const std::string& recordPath);

}  // namespace ov::setup
