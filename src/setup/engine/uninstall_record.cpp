#include "setup/engine/uninstall_record.h"

#include <cctype>

#include "setup/engine/path_macros.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

const std::string kNoField;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The profile functions drop the blanks before a written value.
std::string AsWritten(const std::string& value) {
  const std::size_t first = value.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : value.substr(first);
}

// Section and key names are compared without case by the profile functions; the record's
// names are ASCII.
std::string FoldName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return folded;
}

// A slot once marked as a shared DLL keeps the mark, whichever entry wins the slot.
std::string WithSharedMark(platform::SystemApi& system, const std::string& item, const std::string& previous) {
  if (FindNoCase(system, "/S", previous) == 0 || FindNoCase(system, "/S", item) != 0) return item;
  return item + (item.find(",/") != std::string::npos ? "/S" : ",/S");
}

}  // namespace

void AddListToPlan(RecordPlan& plan, const std::string& section, const std::string& prefix, const std::string& list,
                   bool sharedDllRule) {
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('|', start);
    if (end == std::string::npos) end = list.size();
    plan.push_back(RecordWrite{RecordWrite::Kind::kListItem, section, prefix, list.substr(start, end - start),
                               sharedDllRule});
    start = end + 1;
  }
}

std::string ProfileReadsAs(const std::string& written) {
  std::size_t begin = 0;
  std::size_t end = written.size();
  while (begin < end && IsBlank(written[begin])) ++begin;
  while (end > begin && IsBlank(written[end - 1])) --end;
  std::string value = written.substr(begin, end - begin);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

RecordBuilder::Section& RecordBuilder::SectionNamed(const std::string& name) {
  if (!sections_.empty() && name == lastSection_) return sections_[lastSectionIndex_];
  const std::string folded = FoldName(name);
  const auto found = sectionIndex_.find(folded);
  if (found != sectionIndex_.end()) {
    lastSectionIndex_ = found->second;
  } else {
    lastSectionIndex_ = sections_.size();
    sectionIndex_.emplace(folded, sections_.size());
    sections_.push_back(Section{name, {}, {}});
  }
  lastSection_ = name;
  return sections_[lastSectionIndex_];
}

std::string RecordBuilder::Fold(const std::string& text) const {
  if (text.empty()) return text;
  const auto found = folded_.find(text);
  return found != folded_.end() ? found->second : system_.UpperCase(text);
}

void RecordBuilder::Prefold(const RecordPlan& plan) {
  std::vector<std::string*> pending;
  std::string joined;
  const auto add = [&](const std::string& field) {
    if (field.empty() || field.find('\n') != std::string::npos) return;
    const auto [place, added] = folded_.emplace(field, std::string());
    if (!added) return;
    pending.push_back(&place->second);
    joined += field;
    joined += '\n';
  };
  for (const RecordWrite& write : plan) {
    if (write.kind != RecordWrite::Kind::kListItem) continue;
    const std::string raw = FieldOf(write.value, ',', 1);
    add(raw);
    const std::string read = FieldOf(ProfileReadsAs(AsWritten(write.value)), ',', 1);
    if (read != raw) add(read);
  }
  // A line feed is never the second byte of a character and maps to itself.
  const std::string upper = system_.UpperCase(joined);
  std::size_t start = 0;
  std::size_t line = 0;
  while (start < upper.size() && line < pending.size()) {
    const std::size_t end = upper.find('\n', start);
    if (end == std::string::npos) break;
    pending[line++]->assign(upper, start, end - start);
    start = end + 1;
  }
  if (line != pending.size()) folded_.clear();  // the mapping changed the lines: fold one by one
}

const std::string* RecordBuilder::Value(const std::string& section, const std::string& key) const {
  const auto foundSection = sectionIndex_.find(FoldName(section));
  if (foundSection == sectionIndex_.end()) return nullptr;
  const Section& held = sections_[foundSection->second];
  const auto foundKey = held.index.find(FoldName(key));
  return foundKey == held.index.end() ? nullptr : &held.entries[foundKey->second].value;
}

void RecordBuilder::Put(const std::string& section, const std::string& key, const std::string& value) {
  Section& held = SectionNamed(section);
  const std::string folded = FoldName(key);
  const auto found = held.index.find(folded);
  if (found != held.index.end()) {
    held.entries[found->second].value = AsWritten(value);
    return;
  }
  held.index.emplace(folded, held.entries.size());
  held.entries.push_back(Entry{key, AsWritten(value)});
}

RecordBuilder::Slots& RecordBuilder::SlotsOf(const std::string& section, const std::string& prefix) {
  return slots_[FoldName(section) + "\n" + FoldName(prefix)];
}

int RecordBuilder::FindRecordSlot(const std::string& item, const std::string& section, const std::string& prefix) {
  return SlotOf(SlotsOf(section, prefix), Fold(FieldOf(item, ',', 1)));
}

int RecordBuilder::SlotOf(const Slots& slots, const std::string& folded) const {
  int slot = static_cast<int>(slots.folded.size()) + 1;
  for (const std::string* field : {&kNoField, &folded}) {
    const auto found = slots.first.find(*field);
    if (found != slots.first.end()) slot = std::min(slot, found->second);
  }
  return slot;
}

int RecordBuilder::PutListItem(const std::string& section, const std::string& prefix, const std::string& item,
                               bool sharedDllRule) {
  Slots& slots = SlotsOf(section, prefix);
  const std::string rawField = FieldOf(item, ',', 1);
  const std::string rawFolded = Fold(rawField);
  const int slot = SlotOf(slots, rawFolded);
  const std::string key = prefix + std::to_string(slot);
  std::string value = item;
  if (sharedDllRule) {
    const std::string* previous = Value(section, key);
    if (previous != nullptr) value = WithSharedMark(system_, item, ProfileReadsAs(*previous));
  }
  Put(section, key, value);

  const std::string readField = FieldOf(ProfileReadsAs(AsWritten(value)), ',', 1);
  const std::string field = readField == rawField ? rawFolded : Fold(readField);
  if (slot > static_cast<int>(slots.folded.size())) {
    slots.folded.push_back(field);
    slots.first.emplace(field, slot);  // an earlier slot with the same field stays first
    return slot;
  }
  std::string& old = slots.folded[static_cast<std::size_t>(slot - 1)];
  if (old == field) return slot;
  const auto was = slots.first.find(old);
  if (was != slots.first.end() && was->second == slot) {
    // The next slot that reads with the old field becomes its first.
    std::size_t next = static_cast<std::size_t>(slot);
    while (next < slots.folded.size() && slots.folded[next] != old) ++next;
    if (next < slots.folded.size()) was->second = static_cast<int>(next + 1);
    else slots.first.erase(was);
  }
  old = field;
  const auto now = slots.first.find(field);
  if (now == slots.first.end()) slots.first.emplace(field, slot);
  else now->second = std::min(now->second, slot);
  return slot;
}

void RecordBuilder::Apply(const RecordPlan& plan) {
  Prefold(plan);
  for (const RecordWrite& write : plan) {
    if (write.kind == RecordWrite::Kind::kKey) {
      Put(write.section, write.key, write.value);
    } else {
      PutListItem(write.section, write.key, write.value, write.sharedDllRule);
    }
  }
}

std::string RecordBuilder::Text() const {
  std::string text;
  for (const Section& section : sections_) {
    if (!text.empty()) text += "\r\n";
    text += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) text += entry.key + "=" + entry.value + "\r\n";
  }
  return text;
}

platform::Error WriteRecordAtOnce(platform::FileApi& files, platform::SystemApi& system, const RecordPlan& plan,
                                  const std::string& path) {
  RecordBuilder builder(system);
  builder.Apply(plan);
  return files.WriteContents(path, builder.Text());
}

int FindRecordSlot(platform::ProfileApi& profile, platform::SystemApi& system, const std::string& item,
                   const std::string& section, const std::string& prefix, const std::string& recordPath) {
  const std::string wanted = system.UpperCase(FieldOf(item, ',', 1));
  for (int slot = 1;; ++slot) {
    const std::string field =
        FieldOf(ReadProfileString(profile, section, prefix + std::to_string(slot), "", recordPath), ',', 1);
    if (field.empty() || system.UpperCase(field) == wanted) return slot;
  }
}

void WriteRecordKeyByKey(platform::ProfileApi& profile, platform::SystemApi& system, const RecordPlan& plan,
                         const std::string& path) {
  for (const RecordWrite& write : plan) {
    if (write.kind == RecordWrite::Kind::kKey) {
      WriteProfileString(profile, write.section, write.key, write.value, path);
      continue;
    }
    const int slot = FindRecordSlot(profile, system, write.value, write.section, write.key, path);
    const std::string key = write.key + std::to_string(slot);
    std::string value = write.value;
    if (write.sharedDllRule) {
      value = WithSharedMark(system, value, ReadProfileString(profile, write.section, key, "", path));
    }
    WriteProfileString(profile, write.section, key, value, path);
  }
}

}  // namespace ov::setup
