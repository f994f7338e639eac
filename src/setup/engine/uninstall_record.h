// The uninstall record UNSETUP.INI and the per-machine file ODSET98.INI. A record is first
// described as the sequence of profile writes that make it (a plan); the writer then
// builds the file in memory, with the slot rules that writing key by key through the
// profile functions would follow, and writes it once. Writing key by key costs a re-read
// of the file per write and a read-back of every earlier key per slot search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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
  explicit RecordBuilder(platform::SystemApi& system);

  void Put(const std::string& section, const std::string& key, const std::string& value);
  // The key number under which the item goes: the first slot whose value reads with an
  // empty first field, or with the item's first field in any case; else the next free.
  int FindRecordSlot(const std::string& item, const std::string& section, const std::string& prefix);
  // Writes the item at its slot, applying the shared-DLL rule when asked. Returns the slot.
  int PutListItem(const std::string& section, const std::string& prefix, const std::string& item,
                  bool sharedDllRule);
  // Applies every write of the plan in order. Upper case comes from tables learnt from
  // the system: one call for the single-byte characters, one per text that brings
  // double-byte characters not seen before.
  void Apply(const RecordPlan& plan);

  // The file as the profile functions would have left it.
  std::string Text() const;

 private:
  // A run of bytes in one of the builder's stores.
  struct Span {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };
  // Texts numbered in the order they are first added; never removed, so that a lookup
  // costs one hash and no copy.
  class TextTable {
   public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t Find(std::string_view text) const;
    std::uint32_t Add(std::string_view text);  // the number of the text, added when new
    void Reserve(std::size_t count, std::size_t bytes);

   private:
    struct Bucket {
      std::uint32_t number = 0;  // the text's number + 1; 0 is free
      std::uint32_t hash = 0;
    };
    std::uint32_t Probe(std::string_view text, std::uint32_t hash) const;  // bucket index
    void Rehash(std::size_t size);
    std::string bytes_;
    std::vector<Span> spans_;
    std::vector<Bucket> buckets_;
  };
  struct Entry {
    Span key;
    Span value;  // as written (leading blanks dropped)
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    TextTable keys;  // folded key; its number is the entry's place
  };
  // The slots of one numbered list: which slots read with which first field. Fields are
  // numbered by the builder's table of folded fields; number 0 is the empty field.
  struct Slots {
    std::string section;
    std::string prefix;
    std::vector<std::uint32_t> field;  // per slot: folded first field read back
    std::vector<int> first;            // per field: its lowest slot, 0 when none
  };
  Section& SectionNamed(const std::string& name);
  // Upper case as the system maps it, through tables learnt from the system; a text the
  // tables cannot map exactly goes to the system whole.
  void FoldInto(std::string_view text, std::string& folded);
  bool FoldByTable(std::string_view text, std::string& folded);
  void LearnSingles();
  bool LearnPairs(std::string_view text);
  std::uint32_t FieldNumber(std::string_view field);
  bool HasSharedMark(std::string_view text);
  void PutAt(Section& section, std::uint32_t entry, std::string_view key, std::string_view value);
  std::string_view Stored(Span span) const { return std::string_view(store_).substr(span.offset, span.length); }
  Span Store(std::string_view text);
  Slots& SlotsOf(const std::string& section, const std::string& prefix);
  int SlotOf(Slots& slots, std::uint32_t field);
  void SetFirst(Slots& slots, std::uint32_t field, int slot);

  platform::SystemApi& system_;
  std::vector<Section> sections_;
  TextTable sectionNames_;   // folded section name; its number is the section's place
  std::size_t lastSection_ = static_cast<std::size_t>(-1);  // the section of the last write
  std::vector<Slots> slots_;
  std::size_t lastSlots_ = 0;
  std::string store_;        // keys and values as written
  TextTable fields_;         // folded first fields
  std::string scratch_;      // reused for folding
  std::string keyScratch_;
  std::string upperMark_;    // "/S" upper-cased
  bool singlesLearnt_ = false;
  short singles_[256] = {};             // byte -> upper byte; -1 when not one byte
  std::vector<std::uint16_t> pairs_;    // lead << 8 | trail -> upper pair; 0 unknown
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
