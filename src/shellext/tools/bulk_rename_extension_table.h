// The bulk rename tool's extension table: an ordered list of lines old=new (".jpeg=.jpg",
// ".tmp="), looked up by the old extension with letter case ignored, and the edits that
// the dialog's add and edit buttons make to it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::shellext {

// The text of a line before its first "="; no value for a line without "=".
std::optional<std::string> ExtensionLineName(const std::string& line);

// Index of the first line whose name equals extension by the name comparison
// (CompareStringA, case ignored); a line without "=" never matches.
std::optional<std::size_t> FindExtensionLine(platform::SystemApi& system, const std::vector<std::string>& table,
                                             const std::string& extension);

// The text after the first "=" of the line FindExtensionLine finds.
std::optional<std::string> LookupExtension(platform::SystemApi& system, const std::vector<std::string>& table,
                                           const std::string& extension);

// The texts of the old and new extension fields.
struct ExtensionFields {
  std::string oldExt;
  std::string newExt;
};

// Adds the fields to the table as BtnAddExtClick does: a "." is put in front of the old
// extension (and of a non-empty new one) unless it begins with one; the line old= is
// appended, and then the first line named old receives the new extension as its value,
// which is an earlier line when the table already had one. Returns the fields as written
// back to the dialog.
ExtensionFields AddExtensionLine(platform::SystemApi& system, std::vector<std::string>& table,
                                 ExtensionFields fields);

// Removes line `index` and returns the fields for editing it again, as BtnEditExtClick
// does: the line's name, and the value looked up by that name (the first line with that
// name, which need not be this one).
ExtensionFields TakeExtensionLine(platform::SystemApi& system, std::vector<std::string>& table,
                                  std::size_t index);

}  // namespace ov::shellext
