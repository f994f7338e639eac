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

}  // namespace ov::base
