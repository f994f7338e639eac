#include "shellext/tools/entry_messages.h"

namespace ov::shellext {

const char kMoveFailedMessage[] = "移動に失敗しました";
const char kDeleteFailedMessage[] = "削除に失敗しました";

std::string MoveFailedText(const std::string& from, const std::string& to) {
  return std::string(kMoveFailedMessage) + "\r\nFrom: " + from + "\r\nTo: " + to;
}

std::string DeleteFailedText(const std::string& path) { return std::string(kDeleteFailedMessage) + "\r\n" + path; }

}  // namespace ov::shellext
