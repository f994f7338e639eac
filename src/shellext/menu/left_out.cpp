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

std::string Shown(const std::string& path) {
  if (path.size() <= kMaxShownBytes) return path;
  std::size_t end = 0;
  while (base::NextChar(path, end) <= kMaxShownBytes) end = base::NextChar(path, end);
  return path.substr(0, end) + "...";
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
