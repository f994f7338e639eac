// String helpers of the installer (uStrOp): fields of a delimited text and the path
// separator at either end of a text.
#pragma once

#include <string>

namespace ov::setup {

// The k-th field (k from 1) of text split at every occurrence of the one-byte separator;
// empty when the text has fewer fields. The scan is byte by byte.
std::string FieldOf(const std::string& text, char separator, int k);

// end "T" (top): prefix "\" unless the text starts with one; end "B" (bottom): append "\"
// unless it ends with one. Only the first letter of end counts; the second byte of a
// double-byte character is not a separator.
std::string EnsureSeparator(const std::string& text, const std::string& end);

// Removes one leading ("T") or one trailing ("B") "\" if present.
std::string DropSeparator(const std::string& text, const std::string& end);

// True when the last character of text is a "\" (not the second byte of a double-byte one).
bool EndsWithSeparator(const std::string& text);

}  // namespace ov::setup
