// Fuzzes the reading of a CF_HDROP block as any sender may hand it, and the box text made
// from what was read: nothing is read beyond the block, no path is empty or holds a zero,
// and the box stays small however long the paths are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shellext/menu/drop_list.h"
#include "shellext/menu/left_out.h"

namespace {

using namespace ov::shellext;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the block's end is caught.
  const std::vector<std::uint8_t> block(data, data + size);
  DropList list;
  if (!ReadDropList(block.data(), block.size(), list)) {
    Check(list.ansi.empty() && list.widePaths.empty());
    return 0;
  }
  std::vector<LeftOutItem> items;
  for (const std::string& path : list.ansi) {
    Check(!path.empty() && path.find('\0') == std::string::npos);
    items.push_back({path, LeftOutReason::kTooLong, ItemKind::kUnknown});
  }
  for (const std::u16string& path : list.widePaths) {
    Check(!path.empty() && path.find(u'\0') == std::u16string::npos);
    items.push_back({std::string(path.size(), '?'), LeftOutReason::kCharacters, ItemKind::kUnknown});
  }
  const std::string text = LeftOutMessage(items);
  Check(text.size() < 16 * 1024);
  return 0;
}
