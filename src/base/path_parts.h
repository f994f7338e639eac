// Path parts of CP932 paths: the folder part runs up to and including the last "\" or ":",
// the name part is the rest, and the extension runs from the last "." of the name part,
// dot included. The second byte of a double-byte character is never a separator or a dot.
#pragma once

#include <string>
#include <string_view>

namespace ov::base {

// Index where the name part starts (0 when the path has no separator).
std::size_t NameStart(std::string_view path);

// "C:\dir\a.txt" -> "C:\dir\"; "a.txt" -> ""; "C:a" -> "C:".
std::string FolderPart(std::string_view path);

// "C:\dir\a.txt" -> "a.txt"; "C:\dir\" -> "".
std::string NamePart(std::string_view path);

// ".txt" for "C:\dir\a.txt", "" for "C:\dir.d\readme", "." for "a." and for ".".
std::string ExtensionPart(std::string_view path);

// The name part without its extension: "a.tar" for "C:\x\a.tar.gz".
std::string NameWithoutExtension(std::string_view path);

// True when name can stand as one file or folder name inside a folder: not empty, no
// control character and none of \ / : * ? " < > |, not ending in a blank or a dot (which
// Windows drops, so that "." and ".." are refused too) or in a lone lead byte, and not a
// device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, any case, with or without an
// extension). Trail bytes are never taken for those characters (表 ends in 0x5C).
bool IsValidFileName(std::string_view name);

}  // namespace ov::base
