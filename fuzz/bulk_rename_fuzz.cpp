// libFuzzer target for the bulk rename rules: arbitrary names, patterns, formats and
// extension tables through ExpandOutputFormat, BuildBulkRenameName and the table edits.
//
// Input layout: one byte of switches, then fields separated by zero bytes:
//   name \0 pattern \0 format \0 table lines separated by "\n" \0 old ext \0 new ext
// Switches: bit 0 number removal, bits 1-2 its item (3 is out of range), bit 3 extension
// table, bit 4 regular expression.
// Every pattern is also matched against the name with each byte from 0x40 up hidden as the
// second byte of a double-byte character: no match or group may start or end inside a
// character, in either subject.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp932.h"
#include "shellext/tools/bulk_rename_extension_table.h"
#include "shellext/tools/bulk_rename_rules.h"
#include "shellext/tools/regex_pattern.h"
#include "no_case_system.h"

namespace {

using ov::shellext::BulkRenameSettings;
using ov::shellext::RegexPattern;

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

void Require(bool condition) {
  if (!condition) std::abort();
}

bool HasAny(std::string_view text, std::string_view bytes) { return text.find_first_of(bytes) != text.npos; }

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The name with every byte that can be a second byte (0x40-0xFC but 0x7F) made the second
// byte of a double-byte character led by 0x83 (ア is 0x83 "A", ソ 0x83 "\\", ゼ 0x83 "[").
std::string HideInSecondBytes(std::string_view name) {
  std::string out;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x40 && byte <= 0xFC && byte != 0x7F) out += '\x83';
    out += c;
  }
  return out;
}

void CheckExpansion(std::string_view subject, std::string_view patternText, std::string_view format) {
  // ASCII reaches the engine as it stands.
  if (IsAscii(patternText)) Require(ov::shellext::ToEngineText(patternText) == patternText);
  const std::optional<RegexPattern> pattern = RegexPattern::Compile(patternText);
  if (!pattern) return;
  const ov::shellext::RegexMatch match = pattern->Match(subject);
  for (int group = 0; group < match.Count(); ++group) {
    if (!match.GroupSet(group)) continue;
    Require(match.GroupStart(group) <= match.GroupEnd(group) && match.GroupEnd(group) <= subject.size());
    Require(ov::base::IsCharStart(subject, match.GroupStart(group)));
    Require(ov::base::IsCharStart(subject, match.GroupEnd(group)));
  }
  const std::string expanded = ov::shellext::ExpandOutputFormat(subject, *pattern, format);
  // Without references or escapes the format comes back as it is, or not at all.
  if (!HasAny(format, "$\\")) Require(expanded.empty() || expanded == format);
  // Expansion only removes "$d" and "\\" and inserts text of the subject.
  if (!HasAny(format, "$")) Require(expanded.empty() || expanded.size() <= format.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t switches = data[0];
  std::vector<std::string> fields = Split(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), '\0');
  fields.resize(6);

  ov::test::NoCaseSystem system;
  BulkRenameSettings settings;
  settings.removeNumbers = (switches & 0x01) != 0;
  settings.removeNumbersItem = (switches >> 1) & 0x03;
  settings.changeExt = (switches & 0x08) != 0;
  settings.useRegExp = (switches & 0x10) != 0;
  settings.pattern = fields[1];
  settings.format = fields[2];
  if (!fields[3].empty()) settings.changeExtTable = Split(fields[3], '\n');

  const std::string& name = fields[0];
  const std::string hidden = HideInSecondBytes(name);
  for (const std::string* subject : {&name, &hidden}) {
    CheckExpansion(*subject, fields[1], fields[2]);
    for (const char* removal : ov::shellext::kRemoveNumbersPatterns) CheckExpansion(*subject, removal, "$1");
  }
  // Hidden in second bytes, no ASCII letter, digit or sign of the name can be found by a
  // pattern without double-byte characters, "." or classes: the number removal finds no
  // "-", "(" or "[" there unless the name had one below 0x40 ("-", "(", digits).
  if (name.find_first_of("[]") != std::string::npos && name.find_first_of("-()0123456789") == std::string::npos) {
    const std::optional<RegexPattern> brackets = RegexPattern::Compile(ov::shellext::kRemoveNumbersPatterns[2]);
    Require(brackets.has_value() && !brackets->Match(hidden).Matched());
  }

  const std::string renamed = ov::shellext::BuildBulkRenameName(system, settings, name);
  if (!settings.removeNumbers && !settings.changeExt && !settings.useRegExp) Require(renamed == name);

  std::vector<std::string> table = settings.changeExtTable;
  const std::size_t lines = table.size();
  const ov::shellext::ExtensionFields written =
      ov::shellext::AddExtensionLine(system, table, {fields[4], fields[5]});
  Require(table.size() == lines + 1 && !written.oldExt.empty() && written.oldExt[0] == '.');
  Require(written.newExt.empty() || written.newExt[0] == '.');
  ov::shellext::TakeExtensionLine(system, table, switches % (table.size() + 1));
  return 0;
}
