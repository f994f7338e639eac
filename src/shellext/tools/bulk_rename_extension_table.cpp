#include "shellext/tools/bulk_rename_extension_table.h"

#include "base/cp932.h"

namespace ov::shellext {

namespace {

std::string WithLeadingDot(std::string text) {
  if (text.empty() || text[0] != '.') text.insert(0, 1, '.');
  return text;
}

}  // namespace

std::optional<std::string> ExtensionLineName(const std::string& line) {
  const std::size_t equals = base::FindAscii(line, '=');
  if (equals == std::string::npos) return std::nullopt;
  return line.substr(0, equals);
}

std::optional<std::size_t> FindExtensionLine(platform::SystemApi& system, const std::vector<std::string>& table,
                                             const std::string& extension) {
  for (std::size_t k = 0; k < table.size(); ++k) {
    const std::optional<std::string> name = ExtensionLineName(table[k]);
    if (name && system.CompareNoCase(*name, extension) == 0) return k;
  }
  return std::nullopt;
}

std::optional<std::string> LookupExtension(platform::SystemApi& system, const std::vector<std::string>& table,
                                           const std::string& extension) {
  const std::optional<std::size_t> found = FindExtensionLine(system, table, extension);
  if (!found) return std::nullopt;
  const std::string& line = table[*found];
  return line.substr(base::FindAscii(line, '=') + 1);
}

ExtensionFields AddExtensionLine(platform::SystemApi& system, std::vector<std::string>& table,
                                 ExtensionFields fields) {
  fields.oldExt = WithLeadingDot(std::move(fields.oldExt));
  table.push_back(fields.oldExt + "=");
  if (!fields.newExt.empty()) {
    fields.newExt = WithLeadingDot(std::move(fields.newExt));
    // Usually the line just appended, unless an earlier one has the name; none at all
    // when the old extension itself holds a "=".
    if (const std::optional<std::size_t> found = FindExtensionLine(system, table, fields.oldExt)) {
      std::string& line = table[*found];
      line.erase(base::FindAscii(line, '=') + 1);
      line += fields.newExt;
    }
  }
  return fields;
}

ExtensionFields TakeExtensionLine(platform::SystemApi& system, std::vector<std::string>& table,
                                  std::size_t index) {
  ExtensionFields fields;
  if (index >= table.size()) return fields;
  const std::string& line = table[index];
  fields.oldExt = ExtensionLineName(line).value_or(line);
  fields.newExt = LookupExtension(system, table, fields.oldExt).value_or(std::string());
  table.erase(table.begin() + static_cast<std::ptrdiff_t>(index));
  return fields;
}

}  // namespace ov::shellext
