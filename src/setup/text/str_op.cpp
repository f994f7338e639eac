#include "setup/text/str_op.h"

#include <cctype>

#include "base/cp932.h"

namespace ov::setup {
namespace {

// The first letter of an end selector, upper-cased; 0 for an empty selector.
char EndOf(const std::string& end) {
  return end.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(end[0])));
}

}  // namespace

std::string FieldOf(const std::string& text, char separator, int k) {
  if (k < 1) return std::string();
  std::size_t start = 0;
  for (int field = 1; field < k; ++field) {
    const std::size_t next = text.find(separator, start);
    if (next == std::string::npos) return std::string();
    start = next + 1;
  }
  const std::size_t end = text.find(separator, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool EndsWithSeparator(const std::string& text) {
  return !text.empty() && text.back() == '\\' && base::IsCharStart(text, text.size() - 1);
}

std::string EnsureSeparator(const std::string& text, const std::string& end) {
  switch (EndOf(end)) {
    case 'T':
      return !text.empty() && text[0] == '\\' ? text : "\\" + text;
    case 'B':
      return EndsWithSeparator(text) ? text : text + "\\";
    default:
      return text;
  }
}

std::string DropSeparator(const std::string& text, const std::string& end) {
  switch (EndOf(end)) {
    case 'T':
      return !text.empty() && text[0] == '\\' ? text.substr(1) : text;
    case 'B':
      return EndsWithSeparator(text) ? text.substr(0, text.size() - 1) : text;
    default:
      return text;
  }
}

}  // namespace ov::setup
