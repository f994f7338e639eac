#include "shellext/menu/left_out.h"

#include "base/cp932.h"

namespace ov::shellext {

namespace {

const char kHeading[] = "選択された項目のうち、次のものは名前を正しく扱えないため対象から外しました。\r\n"
                        "残りの項目だけを処理します。\r\n";
const char kCharactersHeading[] = "シフトJISで表せない文字を含む名前：";
const char kTooLongHeading[] = "259バイトを超える長いパス：";
const char kIndent[] = "  ";

// A path from a malformed list may run to megabytes: the box shows its start.
constexpr std::size_t kMaxShownBytes = 600;

// A message box does not break a path, which has no spaces: a long one would make the box
// wider than the screen. It is broken after a "\" where one is near enough, else between
// two characters; the lines after the first are indented further.
constexpr std::size_t kLineBytes = 40;
const char kContinuation[] = "\r\n    ";

std::string Shown(const std::string& path) {
  std::size_t shownEnd = 0;
  while (shownEnd < path.size() && base::NextChar(path, shownEnd) <= kMaxShownBytes) {
    shownEnd = base::NextChar(path, shownEnd);
  }
  std::string text;
  std::size_t lineStart = 0;
  while (shownEnd - lineStart > kLineBytes) {
    std::size_t lastFit = lineStart;
    std::size_t afterSeparator = lineStart;
    for (std::size_t at = lineStart; base::NextChar(path, at) - lineStart <= kLineBytes;) {
      const bool separator = path[at] == '\\';
      at = base::NextChar(path, at);
      lastFit = at;
      if (separator) afterSeparator = at;
    }
    // Half a line or more before the break: a separator, else as much as fits.
    const std::size_t end = afterSeparator - lineStart >= kLineBytes / 2 ? afterSeparator : lastFit;
    text += path.substr(lineStart, end - lineStart) + kContinuation;
    lineStart = end;
  }
  text += path.substr(lineStart, shownEnd - lineStart);
  if (shownEnd < path.size()) text += "...";
  return text;
}

}  // namespace

std::string LeftOutMessage(const std::vector<LeftOutItem>& items) {
  std::string text = kHeading;
  std::size_t budget = kMaxShownLeftOut;
  for (const LeftOutReason reason : {LeftOutReason::kCharacters, LeftOutReason::kTooLong}) {
    std::size_t hidden = 0;
    bool headed = false;
    for (const LeftOutItem& item : items) {
      if (item.reason != reason) continue;
      if (!headed) {
        text += "\r\n";
        text += reason == LeftOutReason::kCharacters ? kCharactersHeading : kTooLongHeading;
        headed = true;
      }
      if (budget == 0) {
        ++hidden;
        continue;
      }
      --budget;
      text += "\r\n";
      text += kIndent + Shown(item.shown);
    }
    if (hidden > 0) text += "\r\n" + std::string(kIndent) + "ほか " + std::to_string(hidden) + " 件";
  }
  return text;
}

}  // namespace ov::shellext
