#include "base/path_parts.h"

#include "base/cp932.h"

namespace ov::base {

std::size_t NameStart(std::string_view path) {
  const std::size_t separator = FindLastAsciiOf(path, "\\:");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

std::string FolderPart(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string NamePart(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtensionPart(std::string_view path) {
  const std::string_view name = path.substr(NameStart(path));
  const std::size_t dot = FindLastAscii(name, '.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string NameWithoutExtension(std::string_view path) {
  const std::string_view name = path.substr(NameStart(path));
  const std::size_t dot = FindLastAscii(name, '.');
  return std::string(name.substr(0, dot));
}

namespace {

// The device names Windows opens in place of a file of that name in any folder.
bool IsDeviceName(std::string_view name) {
  // The device is named by what comes before the first dot, blanks at its end dropped.
  const std::size_t dot = FindAscii(name, '.');
  std::string_view stem = name.substr(0, dot);
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  const std::string upper = AsciiUpper(stem);
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

bool IsValidFileName(std::string_view name) {
  if (name.empty()) return false;
  std::size_t last = 0;
  for (std::size_t pos = 0; pos < name.size(); pos = NextChar(name, pos)) {
    last = pos;
    if (CharLength(name, pos) == 2) continue;
    const auto byte = static_cast<unsigned char>(name[pos]);
    if (byte < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(byte)) != std::string_view::npos) {
      return false;
    }
  }
  if (CharLength(name, last) == 1) {
    const auto byte = static_cast<unsigned char>(name[last]);
    if (byte == ' ' || byte == '.' || IsLeadByte(byte)) return false;
  }
  return !IsDeviceName(name);
}

}  // namespace ov::base
