#include "setup/engine/uninstall_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/cp932.h"
#include "setup/engine/path_macros.h"
#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

const std::string kNoField;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The profile functions drop the blanks before a written value.
std::string_view AsWrittenView(std::string_view value) {
  const std::size_t first = value.find_first_not_of(" \t");
  return first == std::string_view::npos ? std::string_view() : value.substr(first);
}

// Section and key names are compared without case by the profile functions; the record's
// names are ASCII.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void FoldName(std::string_view name, std::string& folded) {
  folded.assign(name.data(), name.size());
  for (char& c : folded) c = AsciiUpper(c);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// What the profile functions read back for a value written as it stands.
std::string_view ReadsAs(std::string_view written) {
  std::size_t begin = 0;
  std::size_t end = written.size();
  while (begin < end && IsBlank(written[begin])) ++begin;
  while (end > begin && IsBlank(written[end - 1])) --end;
  std::string_view value = written.substr(begin, end - begin);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::string_view FirstField(std::string_view text) { return text.substr(0, text.find(',')); }

// A lead byte followed by one of these is one character to every code page conversion.
bool IsTrailByte(unsigned char byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC); }

std::uint32_t Rotate(std::uint32_t value, int bits) { return value << bits | value >> (32 - bits); }

// Four bytes a step (the builder hashes every first field and key it writes).
std::uint32_t Hash(std::string_view text) {
  std::uint32_t hash = static_cast<std::uint32_t>(text.size()) * 0x9E3779B1u;
  std::size_t i = 0;
  for (; i + 4 <= text.size(); i += 4) {
    std::uint32_t word;
    std::memcpy(&word, text.data() + i, 4);
    hash = Rotate(hash ^ Rotate(word * 0xCC9E2D51u, 15) * 0x1B873593u, 13) * 5 + 0xE6546B64u;
  }
  std::uint32_t tail = 0;
  for (int shift = 0; i < text.size(); ++i, shift += 8) tail |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << shift;
  hash ^= Rotate(tail * 0xCC9E2D51u, 15) * 0x1B873593u;
  hash ^= hash >> 16;
  hash *= 0x85EBCA6Bu;
  hash ^= hash >> 13;
  return hash;
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

std::uint32_t RecordBuilder::TextTable::Probe(std::string_view text, std::uint32_t hash) const {
  const std::uint32_t mask = static_cast<std::uint32_t>(buckets_.size()) - 1;
  for (std::uint32_t bucket = hash & mask;; bucket = (bucket + 1) & mask) {
    const std::uint32_t held = buckets_[bucket].number;
    if (held == 0) return bucket;
    if (buckets_[bucket].hash != hash) continue;
    const Span span = spans_[held - 1];
    if (span.length == text.size() &&
        std::string_view(bytes_).substr(span.offset, span.length) == text) {
      return bucket;
    }
  }
}

std::uint32_t RecordBuilder::TextTable::Find(std::string_view text) const {
  if (buckets_.empty()) return kNone;
  const std::uint32_t held = buckets_[Probe(text, Hash(text))].number;
  return held == 0 ? kNone : held - 1;
}

std::uint32_t RecordBuilder::TextTable::Add(std::string_view text) {
  if (spans_.size() * 2 >= buckets_.size()) Rehash(buckets_.empty() ? 16 : buckets_.size() * 2);
  const std::uint32_t hash = Hash(text);
  const std::uint32_t bucket = Probe(text, hash);
  if (buckets_[bucket].number != 0) return buckets_[bucket].number - 1;
  spans_.push_back(Span{static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(text.size())});
  bytes_.append(text.data(), text.size());
  buckets_[bucket] = Bucket{static_cast<std::uint32_t>(spans_.size()), hash};
  return static_cast<std::uint32_t>(spans_.size() - 1);
}

void RecordBuilder::TextTable::Reserve(std::size_t count, std::size_t bytes) {
  spans_.reserve(count);
  bytes_.reserve(bytes);
  std::size_t size = 16;
  while (size < count * 2) size *= 2;
  if (size > buckets_.size()) Rehash(size);
}

void RecordBuilder::TextTable::Rehash(std::size_t size) {
  std::vector<Bucket> old(size);
  old.swap(buckets_);
  const std::uint32_t mask = static_cast<std::uint32_t>(size) - 1;
  for (const Bucket& held : old) {
    if (held.number == 0) continue;
    std::uint32_t bucket = held.hash & mask;
    while (buckets_[bucket].number != 0) bucket = (bucket + 1) & mask;
    buckets_[bucket] = held;
  }
}

RecordBuilder::RecordBuilder(platform::SystemApi& system) : system_(system) {
  fields_.Add(std::string_view());  // number 0: the empty field
}

RecordBuilder::Section& RecordBuilder::SectionNamed(const std::string& name) {
  if (lastSection_ < sections_.size() && name == sections_[lastSection_].name) return sections_[lastSection_];
  FoldName(name, keyScratch_);
  const std::uint32_t number = sectionNames_.Add(keyScratch_);
  if (number == sections_.size()) sections_.push_back(Section{name, {}, {}});
  lastSection_ = number;
  return sections_[number];
}

RecordBuilder::Span RecordBuilder::Store(std::string_view text) {
  const Span span{static_cast<std::uint32_t>(store_.size()), static_cast<std::uint32_t>(text.size())};
  store_.append(text.data(), text.size());
  return span;
}

void RecordBuilder::LearnSingles() {
  singlesLearnt_ = true;
  for (short& single : singles_) single = -1;
  // ASCII on its own, so that an odd mapping of the upper half cannot cost it.
  std::string low;
  std::string high;
  for (int byte = 1; byte < 256; ++byte) {
    if (base::IsLeadByte(static_cast<unsigned char>(byte))) continue;
    (byte < 0x80 ? low : high) += static_cast<char>(byte);
  }
  for (const std::string* bytes : {&low, &high}) {
    // Each byte is one character, and none maps to nothing: the same length means one
    // byte each.
    const std::string upper = system_.UpperCase(*bytes);
    if (upper.size() != bytes->size()) continue;
    for (std::size_t i = 0; i < upper.size(); ++i) {
      singles_[static_cast<unsigned char>((*bytes)[i])] = static_cast<unsigned char>(upper[i]);
    }
  }
}

bool RecordBuilder::LearnPairs(std::string_view text) {
  std::string pairs;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (!base::IsLeadByte(lead)) continue;
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    if (IsTrailByte(trail) && (pairs_.empty() || pairs_[lead << 8 | trail] == 0)) pairs.append(text.substr(i, 2));
    ++i;
  }
  if (pairs.empty()) return false;
  // No character maps to more than two bytes: the same length means two bytes each.
  const std::string upper = system_.UpperCase(pairs);
  if (upper.size() != pairs.size()) return false;
  if (pairs_.empty()) pairs_.assign(1 << 16, 0);
  for (std::size_t i = 0; i < pairs.size(); i += 2) {
    const auto code = static_cast<std::size_t>(static_cast<unsigned char>(pairs[i]) << 8 | static_cast<unsigned char>(pairs[i + 1]));
    pairs_[code] = static_cast<std::uint16_t>(static_cast<unsigned char>(upper[i]) << 8 | static_cast<unsigned char>(upper[i + 1]));
  }
  return true;
}

bool RecordBuilder::FoldByTable(std::string_view text, std::string& folded) {
  folded.resize(text.size());
  char* out = &folded[0];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (!base::IsLeadByte(byte)) {
      if (byte == 0 || singles_[byte] < 0) return false;
      out[i] = static_cast<char>(singles_[byte]);
      continue;
    }
    if (i + 1 == text.size() || !IsTrailByte(static_cast<unsigned char>(text[i + 1])) || pairs_.empty()) return false;
    const std::uint16_t upper = pairs_[byte << 8 | static_cast<unsigned char>(text[i + 1])];
    if (upper == 0) return false;
    out[i] = static_cast<char>(upper >> 8);
    out[++i] = static_cast<char>(upper & 0xFF);
  }
  return true;
}

void RecordBuilder::FoldInto(std::string_view text, std::string& folded) {
  // The system maps character by character, so a text maps as its characters do, each
  // learnt once; a text with a lone lead byte or a zero goes to the system whole.
  if (!singlesLearnt_) LearnSingles();
  if (FoldByTable(text, folded)) return;
  if (LearnPairs(text) && FoldByTable(text, folded)) return;
  folded = text.empty() ? std::string() : system_.UpperCase(std::string(text));
}

std::uint32_t RecordBuilder::FieldNumber(std::string_view field) {
  if (field.empty()) return 0;
  FoldInto(field, scratch_);
  return fields_.Add(scratch_);
}

bool RecordBuilder::HasSharedMark(std::string_view text) {
  // As FindNoCase finds it: in the upper-cased text, or in the text itself should the
  // mapping change its length.
  if (text.empty()) return false;
  if (upperMark_.empty()) FoldInto("/S", upperMark_);
  FoldInto(text, scratch_);
  if (scratch_.size() != text.size()) return text.find("/S") != std::string_view::npos;
  return scratch_.find(upperMark_) != std::string::npos;
}

void RecordBuilder::Put(const std::string& section, const std::string& key, const std::string& value) {
  Section& held = SectionNamed(section);
  FoldName(key, keyScratch_);
  PutAt(held, held.keys.Add(keyScratch_), key, value);
}

void RecordBuilder::PutAt(Section& section, std::uint32_t entry, std::string_view key, std::string_view value) {
  const Span written = Store(AsWrittenView(value));
  if (entry < section.entries.size()) {
    section.entries[entry].value = written;
  } else {
    section.entries.push_back(Entry{Store(key), written});
  }
}

RecordBuilder::Slots& RecordBuilder::SlotsOf(const std::string& section, const std::string& prefix) {
  if (lastSlots_ < slots_.size() && SameName(slots_[lastSlots_].section, section) &&
      SameName(slots_[lastSlots_].prefix, prefix)) {
    return slots_[lastSlots_];
  }
  for (lastSlots_ = 0; lastSlots_ < slots_.size(); ++lastSlots_) {
    if (SameName(slots_[lastSlots_].section, section) && SameName(slots_[lastSlots_].prefix, prefix)) {
      return slots_[lastSlots_];
    }
  }
  slots_.push_back(Slots{section, prefix, {}, {}});
  return slots_.back();
}

int RecordBuilder::FindRecordSlot(const std::string& item, const std::string& section, const std::string& prefix) {
  Slots& slots = SlotsOf(section, prefix);
  return SlotOf(slots, FieldNumber(FirstField(item)));
}

int RecordBuilder::SlotOf(Slots& slots, std::uint32_t field) {
  int slot = static_cast<int>(slots.field.size()) + 1;
  for (const std::uint32_t number : {std::uint32_t{0}, field}) {
    if (number < slots.first.size() && slots.first[number] != 0) slot = std::min(slot, slots.first[number]);
  }
  return slot;
}

void RecordBuilder::SetFirst(Slots& slots, std::uint32_t field, int slot) {
  if (field >= slots.first.size()) slots.first.resize(std::max<std::size_t>(field + 1, slots.first.size() * 2), 0);
  slots.first[field] = slot;
}

int RecordBuilder::PutListItem(const std::string& section, const std::string& prefix, const std::string& item,
                               bool sharedDllRule) {
  Slots& slots = SlotsOf(section, prefix);
  const std::string_view rawField = FirstField(item);
  const std::uint32_t rawNumber = FieldNumber(rawField);
  const int slot = SlotOf(slots, rawNumber);
  char digits[12];
  char* first = digits + sizeof digits;
  for (unsigned left = static_cast<unsigned>(slot); left != 0 || first == digits + sizeof digits; left /= 10) {
    *--first = static_cast<char>('0' + left % 10);
  }
  std::string key;
  key.reserve(prefix.size() + static_cast<std::size_t>(digits + sizeof digits - first));
  key.append(prefix).append(first, digits + sizeof digits);

  Section& held = SectionNamed(section);
  FoldName(key, keyScratch_);
  const std::uint32_t entry = held.keys.Add(keyScratch_);
  std::string marked;
  const std::string* value = &item;
  // A slot once marked as a shared DLL keeps the mark, whichever entry wins the slot.
  if (sharedDllRule && entry < held.entries.size() && HasSharedMark(ReadsAs(Stored(held.entries[entry].value))) &&
      !HasSharedMark(item)) {
    marked = item + (item.find(",/") != std::string::npos ? "/S" : ",/S");
    value = &marked;
  }
  PutAt(held, entry, key, *value);

  const std::string_view readField = FirstField(ReadsAs(AsWrittenView(*value)));
  const std::uint32_t field = readField == rawField ? rawNumber : FieldNumber(readField);
  if (slot > static_cast<int>(slots.field.size())) {
    slots.field.push_back(field);
    if (field >= slots.first.size() || slots.first[field] == 0) SetFirst(slots, field, slot);
    return slot;
  }
  std::uint32_t& old = slots.field[static_cast<std::size_t>(slot - 1)];
  if (old == field) return slot;
  if (old < slots.first.size() && slots.first[old] == slot) {
    // The next slot that reads with the old field becomes its first.
    std::size_t next = static_cast<std::size_t>(slot);
    while (next < slots.field.size() && slots.field[next] != old) ++next;
    slots.first[old] = next < slots.field.size() ? static_cast<int>(next + 1) : 0;
  }
  old = field;
  if (field >= slots.first.size() || slots.first[field] == 0 || slots.first[field] > slot) SetFirst(slots, field, slot);
  return slot;
}

void RecordBuilder::Apply(const RecordPlan& plan) {
  // Room for everything the plan writes, so that no table grows while it is applied.
  std::size_t bytes = 0;
  std::size_t items = 0;
  std::size_t itemBytes = 0;
  for (std::size_t run = 0; run < plan.size();) {
    std::size_t end = run;
    std::size_t keyBytes = 0;
    for (; end < plan.size() && plan[end].section == plan[run].section; ++end) {
      const RecordWrite& write = plan[end];
      keyBytes += write.key.size() + 6;
      bytes += write.key.size() + write.value.size() + 6;
      if (write.kind == RecordWrite::Kind::kListItem) {
        ++items;
        itemBytes += write.value.size();
      }
    }
    Section& section = SectionNamed(plan[run].section);
    section.entries.reserve(section.entries.size() + (end - run));
    section.keys.Reserve(section.entries.size() + (end - run), keyBytes);
    run = end;
  }
  store_.reserve(store_.size() + bytes);
  fields_.Reserve(items, itemBytes);
  for (const RecordWrite& write : plan) {
    if (write.kind == RecordWrite::Kind::kKey) {
      Put(write.section, write.key, write.value);
    } else {
      PutListItem(write.section, write.key, write.value, write.sharedDllRule);
    }
  }
}

std::string RecordBuilder::Text() const {
  std::size_t size = 0;
  for (const Section& section : sections_) {
    size += section.name.size() + 6;
    for (const Entry& entry : section.entries) size += entry.key.length + entry.value.length + 3;
  }
  // One buffer, filled by copies: a record holds tens of thousands of short lines.
  std::string text(size, '\0');
  char* out = &text[0];
  const auto put = [&out](const char* bytes, std::size_t length) {
    std::memcpy(out, bytes, length);
    out += length;
  };
  const char* const store = store_.data();
  for (const Section& section : sections_) {
    if (out != text.data()) put("\r\n", 2);
    put("[", 1);
    put(section.name.data(), section.name.size());
    put("]\r\n", 3);
    for (const Entry& entry : section.entries) {
      put(store + entry.key.offset, entry.key.length);
      *out++ = '=';
      put(store + entry.value.offset, entry.value.length);
      put("\r\n", 2);
    }
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
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
