// The syntax of setup script values that the install run acts on and the distributors'
// checker inspects: the parts of a [CopyFile] entry and the type token and numbers of a
// [Registry] value. One reading of the rules for both, so that they cannot drift apart.
#pragma once

#include <cstdint>
#include <string>

namespace ov::setup {

// One [CopyFile] value, after path macro expansion (the checker passes it unexpanded).
struct CopyEntry {
  bool diskChange = false;      // a leading "(Dch)", exact case: first file of a further disk
  std::string optionText;       // field 2 as written (/S /W /R, and /C /L /F for the uninstall)
  std::string destinationPath;  // field 1 up to "|": its file name is the medium's file
  std::string destination;      // where the file goes: "AUTO.EXT" stands for a compressed file's recorded name
  std::string newName;          // the text after "|", empty without one
  bool hasNewName = false;
  std::string sourceName;       // the file's name on the medium
  bool compressed = false;      // the medium's name ends in "_": an LZ-compressed file
};
CopyEntry ParseCopyEntry(const std::string& value);

// True when the last character of text is "_" (not the second byte of a double-byte one).
bool EndsWithUnderscore(const std::string& text);

// The first five characters of a [Registry] value name its type; anything else writes the
// whole value as a string.
enum class RegistryValueType { kString, kExpandString, kDword, kBinary, kWholeText };
RegistryValueType RegistryTypeOf(const std::string& value);

// (Int)/(Dwd) data: decimal, or hexadecimal after "$", within 32 bits (a sign allowed).
bool ParseRegistryNumber(const std::string& text, std::uint32_t& value);
// (Bin) data: a hexadecimal number of at most eight digits.
bool ParseRegistryHex(const std::string& text, std::uint32_t& value);

// [Extend] SetupSpeed: a decimal integer with an optional sign and nothing else, within
// the range of int.
bool ParseDecimal(const std::string& text, int& value);

}  // namespace ov::setup
